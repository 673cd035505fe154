#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "geometry/VisStructure.h"

namespace korvex {
namespace {

constexpr double kDegree = Pi / 180;

bool Finite(const TVector& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

double Length(const TVector& v) { return VectorLength(v.x, v.y, v.z); }

// The unit vector of v.
TVector Unit(TVector v) {
  Normalize(v.x, v.y, v.z);
  return v;
}

void ExpectAlong(const TVector& v, double x, double y, double z, double tol = 1e-12) {
  const TVector u = Unit(v);
  EXPECT_NEAR(u.x, x, tol);
  EXPECT_NEAR(u.y, y, tol);
  EXPECT_NEAR(u.z, z, tol);
}

// What the recompute cycle does for the geometry, on a private settings record.
class Geometry : public ::testing::Test {
 protected:
  Geometry() : s1(settings), s2(settings) {
    settings.RecomputeDone = true;
    s1.StructureName = "Si";
    s1.InUse = true;
    s2.StructureName = "InAs";
  }

  void Recompute() { ComputeStructures(s1, s2, settings); }

  // Reciprocal vector of the indices in structure 1.
  TVector Rec(int32_t h, int32_t k, int32_t l) const {
    TVector v;
    s1.ReciprocalVector(h, k, l, v.x, v.y, v.z);
    return v;
  }

  TSettings settings;
  TVisStructure s1;
  TVisStructure s2;
};

TEST_F(Geometry, DefaultSettingTurnsBStarOntoX) {
  Recompute();
  EXPECT_TRUE(s1.Message.empty()) << s1.Message;
  ExpectAlong(s1.RecB, 1, 0, 0);
  ExpectAlong(s1.VecB, 1, 0, 0);
  ExpectAlong(s1.RecA, 0, -1, 0);
  ExpectAlong(s1.VecA, 0, -1, 0);
  ExpectAlong(s1.RecC, 0, 0, 1);
  ExpectAlong(s1.VecC, 0, 0, 1);
  EXPECT_NEAR(Length(s1.VecA), 5.431, 0.01);
  EXPECT_NEAR(Length(s1.RecA) * Length(s1.VecA), 1, 1e-14);
  EXPECT_EQ(settings.IncPlanePoint, (std::array<int32_t, 3>{0, 1, 0}));
  EXPECT_EQ(s1.IncidencePlaneNormal.y, 1);
  EXPECT_EQ(s1.SurfaceNormal.z, 1);
  EXPECT_EQ(s1.SurfaceDirection.x, 1);
  ExpectAlong(s1.HVector, 0, 0, 1);
  EXPECT_EQ(s1.IncidenceAngle, 0);  // ComputeGeometry does not solve
}

// The in-surface direction of the plane-of-incidence point always ends at azimuth -phi,
// whatever the sign of its y component, and the rewritten point names that direction.
TEST_F(Geometry, PlanePointEndsAtMinusPhiForEverySign) {
  struct Case {
    std::array<int32_t, 3> point;
    std::array<int32_t, 3> rewritten;
  };
  const Case cases[] = {{{1, 0, 0}, {1, 0, 0}},    {{0, 1, 0}, {0, 1, 0}},
                        {{1, -1, 0}, {1, -1, 0}},  {{-1, 0, 0}, {-1, 0, 0}},
                        {{0, -1, 0}, {0, -1, 0}},  {{2, 2, 0}, {1, 1, 0}},
                        {{-1, -3, 0}, {-1, -3, 0}}};
  for (const double phiDeg : {0.0, 30.0, -50.0, 180.0}) {
    for (const Case& c : cases) {
      settings.IncPlanePoint = c.point;
      settings.Phi = phiDeg * kDegree;
      Recompute();
      EXPECT_EQ(settings.IncPlanePoint, c.rewritten);
      const TVector d = Unit(Rec(c.rewritten[0], c.rewritten[1], c.rewritten[2]));
      EXPECT_NEAR(d.x, std::cos(-settings.Phi), 1e-12) << c.point[0] << c.point[1] << phiDeg;
      EXPECT_NEAR(d.y, std::sin(-settings.Phi), 1e-12) << c.point[0] << c.point[1] << phiDeg;
      EXPECT_NEAR(d.z, 0, 1e-12);
    }
  }
}

TEST_F(Geometry, PlanePoint100IsTurnedByPhi) {
  settings.IncPlanePoint = {1, 0, 0};
  Recompute();
  ExpectAlong(s1.RecA, 1, 0, 0);  // nothing turns at phi = 0
  ExpectAlong(s1.RecB, 0, 1, 0);
  settings.Phi = 30 * kDegree;
  Recompute();
  ExpectAlong(s1.RecA, std::cos(30 * kDegree), -std::sin(30 * kDegree), 0);
}

// For every normal the normal's reciprocal vector ends along +z and the rewritten point is
// perpendicular to it in index space and lies along +x.
TEST_F(Geometry, NormalsEndUpAndPointsNameTheXAxis) {
  struct Case {
    std::array<int32_t, 3> normal;
    std::array<int32_t, 3> point;
    std::array<int32_t, 3> rewritten;
  };
  const Case cases[] = {
      {{0, 0, 1}, {0, 1, 0}, {0, 1, 0}},      {{0, 0, -1}, {0, 1, 0}, {0, 1, 0}},
      {{1, 1, 1}, {0, 1, 0}, {-1, 2, -1}},    {{1, 1, 0}, {0, 1, 0}, {-1, 1, 0}},
      {{-1, -1, -1}, {1, 0, 0}, {2, -1, -1}}, {{1, 0, 0}, {0, 1, 0}, {0, 1, 0}},
      {{0, 0, -2}, {1, 1, 0}, {1, 1, 0}},     {{2, 1, 3}, {1, 0, 0}, {5, -1, -3}},
      {{0, -1, 0}, {1, 0, 0}, {1, 0, 0}},
  };
  for (const Case& c : cases) {
    settings.Normal = c.normal;
    settings.IncPlanePoint = c.point;
    Recompute();
    EXPECT_TRUE(s1.Message.empty()) << s1.Message;
    EXPECT_EQ(settings.IncPlanePoint, c.rewritten);
    ExpectAlong(Rec(c.normal[0], c.normal[1], c.normal[2]), 0, 0, 1);
    ExpectAlong(Rec(c.rewritten[0], c.rewritten[1], c.rewritten[2]), 1, 0, 0);
    // The lattice stays right-handed: a turn, never a mirror.
    TVector cross;
    Cross(s1.VecA.x, s1.VecA.y, s1.VecA.z, s1.VecB.x, s1.VecB.y, s1.VecB.z, cross.x, cross.y,
          cross.z);
    EXPECT_GT(Dot(cross.x, cross.y, cross.z, s1.VecC.x, s1.VecC.y, s1.VecC.z), 0);
  }
}

TEST_F(Geometry, NormalDownTurnsTheCrystalOver) {
  settings.Normal = {0, 0, -1};
  Recompute();
  ExpectAlong(s1.RecC, 0, 0, -1);
  ExpectAlong(s1.VecC, 0, 0, -1);
  ExpectAlong(s1.RecB, 1, 0, 0);
}

TEST_F(Geometry, BlockCorners) {
  settings.NReal = -1;
  Recompute();
  EXPECT_EQ(s1.Corners[6].x, 0);  // one corner at the origin
  EXPECT_NEAR(s1.Corners[0].z, s1.VecC.z, 1e-12);
  EXPECT_NEAR(s1.Extent.z, 5.431, 0.01);
  EXPECT_DOUBLE_EQ(settings.RealExtent, s1.LatticeA);
  settings.NReal = 2;
  Recompute();
  EXPECT_NEAR(s1.Corners[0].z, 2.2 * s1.LatticeA, 1e-12);
  EXPECT_NEAR(s1.Corners[6].z, -2.2 * s1.LatticeA, 1e-12);
  EXPECT_NEAR(s1.Extent.x, 2.2 * s1.LatticeA, 1e-12);
  // Both shown: the substrate's top and the layer's bottom end half a cell from the surface.
  s2.InUse = true;
  Recompute();
  EXPECT_EQ(s1.Slot, 2);
  EXPECT_EQ(s2.Slot, 12);
  for (int i = 0; i < 8; ++i) {
    const double fz1 = i < 4 ? 0.5 : 2.2;
    const double fz2 = i < 4 ? 2.2 : 0.5;
    EXPECT_NEAR(s1.Corners[i].z, fz1 * (i < 4 ? 1 : -1) * s1.VecC.z, 1e-12) << i;
    EXPECT_NEAR(s2.Corners[i].z, fz2 * (i < 4 ? 1 : -1) * s2.VecC.z, 1e-12) << i;
  }
  EXPECT_DOUBLE_EQ(settings.NodeRadius, 0.1 / s1.LatticeA);
}

TEST_F(Geometry, PaletteBySlotAndBlackWhite) {
  struct Case {
    int32_t slot;
    bool bw;
    TColor node, vector, surface, incident, diffracted;
  };
  const Case cases[] = {{0, false, 0xFF0000, 0x800000, 0x800000, 0x0000FF, 0x00FF00},
                        {2, false, 0xFF0000, 0x800000, 0x800000, 0x0000FF, 0x00FF00},
                        {1, false, 0x008000, 0x808000, 0x808000, 0x0000FF, 0x00FF00},
                        {12, false, 0x008000, 0x808000, 0x808000, 0x0000FF, 0x00FF00},
                        {0, true, 0x000000, 0x000000, 0x808080, 0x000000, 0xC0C0C0},
                        {12, true, 0xFFFFFF, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xC0C0C0}};
  for (const Case& c : cases) {
    settings.BlackWhite = c.bw;
    s1.Setup(c.slot);
    EXPECT_EQ(s1.NodeColour, c.node);
    EXPECT_EQ(s1.VectorColour, c.vector);
    EXPECT_EQ(s1.SurfaceColour, c.surface);
    EXPECT_EQ(s1.IncidentColour, c.incident);
    EXPECT_EQ(s1.DiffractedColour, c.diffracted);
  }
}

struct RecordingHost : TGeometryHost {
  void ShowAngles(const TVisStructure& s) override { shown.push_back(s.ScatteringAngle); }
  void StyleBlackWhite(bool bw) override { styles.push_back(bw); }
  std::vector<double> shown;
  std::vector<bool> styles;
};

TEST_F(Geometry, HostShowsSolvedAnglesAndStylesSeries) {
  RecordingHost host;
  s1.SetHost(&host);
  settings.BlackWhite = true;
  Recompute();
  ASSERT_EQ(host.styles.size(), 1u);
  EXPECT_TRUE(host.styles[0]);
  s1.SolveWaveVectors();
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_GT(host.shown[0], 0);
  settings.Hkl = {0, 0, 8};  // unreachable: the labels are not refreshed
  Recompute();
  s1.SolveWaveVectors();
  EXPECT_EQ(host.shown.size(), 1u);
}

// Reflection in the plane of incidence: the incidence and exit angles are theta_B -+ psi,
// the scattering angle 2 theta_B.
TEST_F(Geometry, WaveVectorsObeyBraggsLaw) {
  struct Case {
    const char* name;
    std::array<int32_t, 3> hkl;
    bool reachable;
  };
  const Case cases[] = {
      {"Si", {0, 0, 4}, true},   {"Si", {0, 0, 8}, false},  {"Si", {2, 2, 4}, true},
      {"Si", {1, 1, 3}, true},   {"GaAs", {0, 0, 4}, true}, {"GaAs", {0, 0, 8}, false},
      {"GaAs", {2, 2, 4}, true}, {"GaAs", {1, 1, 3}, true}, {"Si", {-1, -1, 3}, true}};
  settings.Lambda = 1.5406;
  settings.IncPlanePoint = {1, 1, 0};
  const double tol = 1e-9 * kDegree;
  for (const Case& c : cases) {
    s1.StructureName = c.name;
    settings.Hkl = c.hkl;
    settings.IncPlanePoint = {1, 1, 0};
    Recompute();
    s1.SolveWaveVectors();
    const double a = s1.LatticeA;
    const double hLen =
        std::sqrt(double(c.hkl[0] * c.hkl[0] + c.hkl[1] * c.hkl[1] + c.hkl[2] * c.hkl[2])) / a;
    const std::string what = std::string(c.name) + " " + std::to_string(c.hkl[0]) +
                             std::to_string(c.hkl[1]) + std::to_string(c.hkl[2]);
    if (!c.reachable) {
      EXPECT_EQ(Length(s1.K0), 0) << what;
      EXPECT_EQ(Length(s1.Kh), 0) << what;
      EXPECT_EQ(s1.ScatteringAngle, 0) << what;
      EXPECT_EQ(s1.IncidenceAngle, 0) << what;
      EXPECT_NEAR(Length(s1.K0Second), s1.WaveNumber, 1e-12) << what;
      EXPECT_NEAR(Length(s1.KhSecond), s1.WaveNumber, 1e-12) << what;
      continue;
    }
    const double thetaB = std::asin(settings.Lambda * hLen / 2);
    const double inPlane = std::hypot(double(c.hkl[0]), double(c.hkl[1]));
    const double psi = std::atan2(inPlane, double(c.hkl[2]));
    EXPECT_NEAR(s1.ScatteringAngle, 2 * thetaB, tol) << what;
    const double lo = std::min(s1.IncidenceAngle, s1.ExitAngle);
    const double hi = std::max(s1.IncidenceAngle, s1.ExitAngle);
    EXPECT_NEAR(lo, thetaB - psi, tol) << what;
    EXPECT_NEAR(hi, thetaB + psi, tol) << what;
    EXPECT_GT(s1.IncidenceAngle, 0) << what;  // Bragg case: both beams outside the crystal
    EXPECT_GT(s1.ExitAngle, 0) << what;
    EXPECT_NEAR(Length(s1.K0), 1 / settings.Lambda, 1e-13) << what;
    EXPECT_NEAR(Length(s1.Kh), 1 / settings.Lambda, 1e-13) << what;
    EXPECT_NEAR(s1.Kh.x - s1.K0.x, s1.HVector.x, 1e-13);
    EXPECT_NEAR(s1.K0.y, 0, 1e-13);  // in the plane of incidence
  }
}

TEST_F(Geometry, SecondBeamOnlyWithBothBeams) {
  settings.Hkl = {2, 2, 4};
  settings.IncPlanePoint = {1, 1, 0};
  Recompute();
  s1.SolveWaveVectors();
  EXPECT_EQ(Length(s1.K0Second), 0);
  EXPECT_NEAR(Length(s1.KhSecond), Length(s1.HVector), 1e-13);  // 0 + H
  settings.BothBeams = true;
  s1.SolveWaveVectors();
  EXPECT_NEAR(Length(s1.K0Second), s1.WaveNumber, 1e-13);
  // The two solutions swap the roles of incidence and exit.
  EXPECT_NEAR(-s1.K0Second.z, s1.Kh.z, 1e-13);
}

TEST_F(Geometry, ZeroHTakesTheNoSolutionCase) {
  settings.Hkl = {0, 0, 0};
  Recompute();
  s1.SolveWaveVectors();
  EXPECT_EQ(Length(s1.K0), 0);
  EXPECT_EQ(Length(s1.Kh), 0);
  EXPECT_EQ(s1.K0Second.x, 0);
  EXPECT_EQ(s1.K0Second.y, 0);
  EXPECT_DOUBLE_EQ(s1.K0Second.z, -s1.WaveNumber);
  EXPECT_DOUBLE_EQ(s1.KhSecond.z, -s1.WaveNumber);
}

TEST_F(Geometry, ShiftsTurnTheBeamsAboutTheScatteringPlaneNormal) {
  Recompute();
  s1.SolveWaveVectors();
  const double incidence = s1.IncidenceAngle, scattering = s1.ScatteringAngle;
  settings.OmegaShift = 2 * kDegree;
  settings.TwoThetaShift = 3 * kDegree;
  s1.SolveWaveVectors();
  EXPECT_NEAR(s1.IncidenceAngle, incidence + 2 * kDegree, 1e-12);
  EXPECT_NEAR(s1.ScatteringAngle, scattering + 3 * kDegree, 1e-12);
  settings.OmegaShift = settings.TwoThetaShift = 0;
  s1.SolveWaveVectors();
  const TVector k0 = s1.K0;
  s1.AzimuthAngle = 40 * kDegree;
  s1.SolveWaveVectors();
  EXPECT_NEAR(s1.K0.x, k0.x * std::cos(40 * kDegree), 1e-14);
  EXPECT_NEAR(s1.K0.y, k0.x * std::sin(40 * kDegree), 1e-14);
  EXPECT_NEAR(s1.K0.z, k0.z, 1e-14);
  EXPECT_NEAR(s1.IncidenceAngle, incidence, 1e-12);
  s1.AzimuthAngle = 0;
  s1.OutOfPlaneAngle = 10 * kDegree;  // Kh leaves the scattering plane by that angle
  s1.SolveWaveVectors();
  const TVector& n = s1.ScatteringPlaneNormal;
  EXPECT_NEAR(std::asin(Dot(s1.Kh.x, s1.Kh.y, s1.Kh.z, n.x, n.y, n.z) / s1.WaveNumber),
              10 * kDegree, 1e-12);
  EXPECT_NEAR(Length(s1.Kh), s1.WaveNumber, 1e-14);
  s1.AzimuthAngle = 40 * kDegree;
  s1.AzimuthFanActive = true;  // the fan's azimuth survives Setup
  Recompute();
  EXPECT_EQ(s1.AzimuthAngle, 40 * kDegree);
  s1.AzimuthFanActive = false;
  Recompute();
  EXPECT_EQ(s1.AzimuthAngle, 0);
  EXPECT_EQ(s1.OutOfPlaneAngle, 0);
}

TEST_F(Geometry, RefractionUsesHalfTheSusceptibility) {
  settings.UseRefraction = true;
  Recompute();
  // 1 + chi0 / 2 for Si at 1.54 A; chi0 = -1.5146e-5 (xrayutilities).
  EXPECT_NEAR(s1.WaveNumber * settings.Lambda - 1, -1.5146e-5 / 2, 0.02 * 1.5146e-5 / 2);
}

// Strengths against |chi_h| / |chi_0| of xrayutilities at 1.54 A; forbidden reflections of
// the diamond structure are exactly 0, not the rounding noise of their cancelling waves.
TEST_F(Geometry, ReflectionStrengthUsesTheModuli) {
  settings.UseHi = true;
  struct Case {
    const char* name;
    std::array<int32_t, 3> hkl;
    double strength;
    double tol;
  };
  const Case cases[] = {{"Si", {1, 1, 1}, 0.5353, 0.01},
                        {"Si", {0, 0, 4}, 0.5450, 0.01},
                        {"Si", {2, 2, 4}, 0.4886, 0.01},
                        {"Si", {1, 1, 3}, 0.4179, 0.01},
                        {"GaAs", {1, 1, 1}, 0.6024, 0.01},
                        {"GaAs", {0, 0, 2}, 0.0285, 0.05},
                        {"GaAs", {2, 2, 4}, 0.5477, 0.01},
                        {"Si", {0, 0, 2}, 0, 0},
                        {"Si", {0, 1, 1}, 0, 0},
                        {"Si", {1, 2, 3}, 0, 0},
                        {"Si", {2, 2, 6}, 0, 0}};
  for (const Case& c : cases) {
    s1.StructureName = c.name;
    Recompute();
    EXPECT_NEAR(s1.ReflectionStrength(c.hkl[0], c.hkl[1], c.hkl[2]), c.strength, c.tol * c.strength)
        << c.name << c.hkl[0] << c.hkl[1] << c.hkl[2];
  }
}

TEST_F(Geometry, StrengthCacheSharesOneRecordPerKey) {
  Recompute();
  EXPECT_EQ(s1.ReflectionStrength(0, 0, 4), 0.4);  // UseHi off: no record
  EXPECT_EQ(s1.CacheCount(), 0);
  settings.UseHi = true;
  const double v = s1.ReflectionStrength(0, 0, 4);
  EXPECT_EQ(s1.ReflectionStrength(4, 0, 0), v);
  EXPECT_EQ(s1.ReflectionStrength(0, -4, 0), v);
  EXPECT_EQ(s1.CacheCount(), 1);
  s1.Setup(0);  // same name: the cache stays
  EXPECT_EQ(s1.CacheCount(), 1);
}

TEST_F(Geometry, StrengthCacheFollowsTheName) {
  settings.UseHi = true;
  Recompute();
  const double si = s1.ReflectionStrength(1, 1, 1);
  s1.StructureName = "GaAs";
  Recompute();  // emptied; nothing is computed for GaAs
  EXPECT_EQ(s1.CacheCount(), 0);
  s1.StructureName = "Si";
  Recompute();
  EXPECT_EQ(s1.ReflectionStrength(1, 1, 1), si);
  s1.StructureName = "GaAs";
  Recompute();  // the Si records must not serve GaAs
  EXPECT_NEAR(s1.ReflectionStrength(1, 1, 1), 0.6024, 0.01);
  EXPECT_EQ(s1.CacheName(), "GaAs");
}

// Si at 0.5 A with "Hi": more than 1000 distinct keys, every allowed node keeps its strength.
TEST_F(Geometry, StrengthCacheGrowsPastAThousandRecords) {
  settings.UseHi = true;
  settings.Lambda = 0.5;
  Recompute();
  const int32_t m = s1.MaxIndex;
  EXPECT_EQ(m, 20);
  const double limit = 2 * s1.WaveNumber;
  std::set<std::array<int32_t, 3>> keys;
  int drawn = 0;
  for (int32_t h = -m; h <= m; ++h) {
    for (int32_t k = -m; k <= m; ++k) {
      for (int32_t l = -m; l <= m; ++l) {
        TVector v = Rec(h, k, l);
        if (Length(v) > limit) continue;
        ++drawn;
        std::array<int32_t, 3> key{std::abs(h), std::abs(k), std::abs(l)};
        std::sort(key.begin(), key.end());
        keys.insert(key);
        const bool odd = (h & 1) && (k & 1) && (l & 1);
        const bool even = !(h & 1) && !(k & 1) && !(l & 1) && ((h + k + l) % 4 == 0);
        const double strength = s1.ReflectionStrength(h, k, l);
        if (odd || even) {
          ASSERT_GT(strength, 0.01) << h << " " << k << " " << l;
        } else {
          ASSERT_LT(strength, 1e-6) << h << " " << k << " " << l;  // forbidden in diamond
        }
      }
    }
  }
  EXPECT_GT(keys.size(), 1000u);
  EXPECT_EQ(s1.CacheCount(), static_cast<int32_t>(keys.size()));
  EXPECT_GT(drawn, 40000);
}

TEST_F(Geometry, StrainedLayerGetsItsOwnMaxIndex) {
  s1.StructureName = "GaAs";
  s2.InUse = true;
  Recompute();
  EXPECT_EQ(s2.LatticeA, s1.LatticeA);
  EXPECT_NEAR(s2.LatticeC, 6.50, 0.02);
  EXPECT_EQ(s2.MaxIndex, 8);  // l = 8 lies inside the limiting sphere of the layer
  EXPECT_EQ(s1.MaxIndex, 7);
  const double strain = ParseNumber(settings.RelaxationText);
  EXPECT_NEAR(strain, (s2.LatticeC - s1.LatticeA) / s1.LatticeA, 1e-14);
  // The next cycle reads the number back as a manual strain and keeps the lattice.
  const double c = s2.LatticeC;
  Recompute();
  EXPECT_NEAR(s2.LatticeC, c, 1e-12);
  EXPECT_NEAR(s2.LatticeA, s1.LatticeA, 1e-12);
  EXPECT_EQ(settings.Normal, (std::array<int32_t, 3>{0, 0, 1}));
}

TEST_F(Geometry, UnusablePoissonRatioLeavesTheLayerRelaxed) {
  s1.StructureName = "GaAs";
  settings.RelaxationText = "a";
  s1.Setup(0);
  s2.Setup(0);
  const double a = s2.LatticeA;
  s2.PoissonRatio = 1;
  EXPECT_FALSE(ApplyStrain(s1, s2, settings));
  EXPECT_EQ(s2.LatticeA, a);
  EXPECT_EQ(s2.LatticeC, a);
  EXPECT_EQ(settings.RelaxationText, "a");
  EXPECT_NE(s2.Message.find("Poisson"), std::string::npos);
}

TEST_F(Geometry, MissingStructureUsesDefaults) {
  s1.StructureName = "Xy";
  Recompute();
  EXPECT_EQ(s1.LatticeA, 1.0);
  EXPECT_EQ(s1.PoissonRatio, 0.5);
  EXPECT_FALSE(s1.Message.empty());
  s1.ManualA = s1.ManualB = s1.ManualC = 4;
  Recompute();
  EXPECT_EQ(s1.LatticeC, 4);
}

TEST_F(Geometry, WavelengthThatIsNotPositiveIsRefused) {
  Recompute();
  const double k = s1.WaveNumber;
  for (const double lambda : {0.0, -1.0, 1e-320}) {
    settings.Lambda = lambda;
    EXPECT_FALSE(s1.Setup(0));
    EXPECT_NE(s1.Message.find("wavelength"), std::string::npos);
    EXPECT_EQ(s1.WaveNumber, k);  // the last usable wavelength stands in
    EXPECT_EQ(s1.MaxIndex, 7);
    s1.WaveNumber = 1 / lambda;  // as a cycle that did not check would leave it
    s1.ComputeGeometry();
    s1.SolveWaveVectors();
    EXPECT_TRUE(Finite(s1.K0) && Finite(s1.Kh) && Finite(s1.K0Second) && Finite(s1.KhSecond));
    EXPECT_EQ(s1.WaveNumber, k);
  }
}

TEST_F(Geometry, CellThatGivesNoLatticeKeepsTheLastValidOne) {
  s1.Alpha = 80 * kDegree;
  s1.Beta = 85 * kDegree;
  s1.Gamma = 95 * kDegree;
  Recompute();
  EXPECT_TRUE(s1.Message.empty()) << s1.Message;
  const TVector a = s1.VecA, c = s1.RecC;
  struct Angles {
    double alpha, beta, gamma;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Angles bad[] = {{90, 90, 0}, {90, 90, 180}, {120, 120, 120}, {10, 10, 90}, {90, nan, 90}};
  for (const Angles& b : bad) {
    s1.Alpha = b.alpha * kDegree;
    s1.Beta = b.beta * kDegree;
    s1.Gamma = b.gamma * kDegree;
    EXPECT_FALSE(s1.ComputeGeometry());
    EXPECT_NE(s1.Message.find("cell angles"), std::string::npos);
    EXPECT_NEAR(s1.VecA.x, a.x, 1e-12);
    EXPECT_NEAR(s1.VecA.y, a.y, 1e-12);
    EXPECT_NEAR(s1.RecC.z, c.z, 1e-12);
    s1.Message.clear();
  }
}

// Inputs that give no frame on their own still give finite vectors everywhere.
TEST_F(Geometry, DegenerateInputsGiveFiniteVectors) {
  struct Case {
    std::array<int32_t, 3> normal, point, hkl;
    bool message;
  };
  const Case cases[] = {
      {{0, 0, 0}, {0, 1, 0}, {0, 0, 4}, true},  // no normal
      {{0, 0, 1}, {0, 0, 0}, {0, 0, 4}, true},  // no point
      {{1, 1, 0}, {2, 2, 0}, {2, 2, 0}, true},  // point along the normal
      {{1, 0, 0}, {3, 0, 0}, {4, 0, 0}, true},
      {{0, 0, 1}, {0, 1, 0}, {0, 0, 0}, false},
      {{0, 0, 1}, {1, 1, 0}, {20, 20, 20}, false},
      {{0, 0, 1}, {0, 1, 0}, {0, 0, -4}, false},  // H into the crystal's outside: no Bragg
      {{0, 0, 1}, {0, 1, 0}, {0, 4, 0}, false},   // H in the surface
      {{0, 0, 1}, {1, 0, 0}, {0, 4, 0}, false},   // H normal to the plane of incidence
  };
  for (const Case& c : cases) {
    settings.Normal = c.normal;
    settings.IncPlanePoint = c.point;
    settings.Hkl = c.hkl;
    Recompute();
    EXPECT_EQ(s1.Message.empty(), !c.message) << s1.Message;
    s1.SolveWaveVectors();
    for (const TVector* v :
         {&s1.VecA, &s1.VecB, &s1.VecC, &s1.RecA, &s1.RecB, &s1.RecC, &s1.K0, &s1.Kh, &s1.K0Second,
          &s1.KhSecond, &s1.HVector, &s1.ScatteringPlaneNormal, &s1.Extent}) {
      EXPECT_TRUE(Finite(*v));
    }
    EXPECT_TRUE(std::isfinite(s1.IncidenceAngle) && std::isfinite(s1.ScatteringAngle) &&
                std::isfinite(s1.ExitAngle));
    EXPECT_NE(settings.IncPlanePoint, (std::array<int32_t, 3>{0, 0, 0}));
    ExpectAlong(
        Rec(settings.IncPlanePoint[0], settings.IncPlanePoint[1], settings.IncPlanePoint[2]), 1, 0,
        0);
  }
}

}  // namespace
}  // namespace korvex
