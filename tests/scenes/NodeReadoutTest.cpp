// The node readout: each "why out of reach" sentence for a vector built to fail exactly that
// check of the node tests, the sentences agree with the node tests over whole lattices, and the
// readout and the status-bar message of real reflections.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/NodeReadout.h"
#include "scenes/ReciprocalLattice.h"

namespace korvex {
namespace {

class Readout : public ::testing::Test {
 protected:
  void SetUp() override {
    Settings = TSettings{};
    Settings.RecomputeDone = true;
    s.StructureName = "Si";
    s.InUse = true;
    Recompute();
  }
  void Recompute() {
    s.WaveNumber = 1 / Settings.Lambda;
    Settings.TwoK = 2 / Settings.Lambda;
    s.Setup(SlotAlone1);
    s.ComputeGeometry();
    SetDerivedValues(Settings, s.LatticeA, 0);
    ASSERT_GT(s.LatticeA, 5) << "Base/ with Si.stf is needed beside the test";
  }
  std::string Solve(int32_t h, int32_t k, int32_t l) {
    Settings.Hkl = {h, k, l};
    s.ReciprocalVector(h, k, l, s.HVector.x, s.HVector.y, s.HVector.z);
    s.SolveWaveVectors();
    return ReachMessage(s, h, k, l);
  }
  TVisStructure s;
};

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

// K = 1 / 1.54 = 0.649 1/A, the plane of incidence x-z, the surface normal z.
TEST_F(Readout, EverySentenceForAVectorThatFailsExactlyThatCheck) {
  struct Case {
    const char* what;
    TVector q;
    bool bragg;            // the Bragg test, else the Laue test
    std::string sentence;  // the whole sentence, or its start when it ends in "…"
  };
  const Case cases[] = {
      {"beyond 2K",
       {0, 0, 1.4},
       true,
       "outside the limiting sphere: |Q| = 1.40 Å⁻¹ > 2K = 1.30 Å⁻¹"},
      {"beyond 2K, Laue",
       {0, 0, -1.4},
       false,
       "outside the limiting sphere: |Q| = 1.40 Å⁻¹ > 2K = 1.30 Å⁻¹"},
      {"into the crystal", {0.3, 0, -0.2}, true, "Q points into the crystal: Qz = -0.2000 Å⁻¹ < 0"},
      {"in the surface", {0.3, 0, 0}, true, "Q lies in the surface: Qz = 0"},
      {"out of the plane of incidence",
       {0.1, 0.6, 0.1},
       true,
       "no incident wave in the plane of incidence meets the Bragg condition: |Q|²/2|Q∥| = 1.34 "
       "Å⁻¹ > K = 0.65 Å⁻¹"},
      {"steep Q", {0.5, 0, 0.2}, true, "…below the surface: θB = 24.5° < ψ = 68.2°"},
      {"no finite vector", {NAN, 0, 1}, true, "no finite vector"},
      {"Qy beyond K",
       {0.2, 0.7, 0},
       false,
       "too far out of the plane of incidence: Qy = 0.70 Å⁻¹ > K = 0.65 Å⁻¹"},
      {"outside both spheres",
       {0.1, 0, -0.5},
       false,
       "outside both transmission spheres: |Q|² = 0.26 Å⁻² > 2K|Qx| = 0.13 Å⁻²"},
      {"leaves upward",
       {0.5, 0, 0.7},
       false,
       "the diffracted wave would leave through the top surface: Qz = 0.70 Å⁻¹ > limit = 0.63 Å⁻¹"},
      {"leaves upward for every wave",
       {0.8, 0.64, 0.1},
       false,
       "the diffracted wave would leave through the top surface"},
      {"no wave of the x-z plane",
       {0.1, 0.5, 0.1},
       false,
       "no incident wave in the x–z plane meets the Bragg condition: Qz = 0.10 Å⁻¹ < limit = 0.21 "
       "Å⁻¹"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const bool passes = c.bragg ? IsBraggAccessible(s, c.q.x, c.q.y, c.q.z)
                                : IsLaueAccessible(s, c.q.x, c.q.y, c.q.z);
    EXPECT_FALSE(passes);
    const std::string why = c.bragg ? BraggReason(s, c.q) : LaueReason(s, c.q);
    if (StartsWith(c.sentence, "…")) {
      const std::string tail = c.sentence.substr(std::string("…").size());
      ASSERT_GE(why.size(), tail.size()) << why;
      EXPECT_EQ(why.substr(why.size() - tail.size()), tail) << why;
      EXPECT_TRUE(StartsWith(why, "incidence below") || StartsWith(why, "exit below")) << why;
    } else {
      EXPECT_EQ(why, c.sentence);
    }
  }
}

// Over whole lattices, in a symmetric and an oblique geometry: a sentence exactly when the node
// test fails.
TEST_F(Readout, SentencesAgreeWithTheNodeTests) {
  struct Geometry {
    std::array<int32_t, 3> normal, planePoint;
    double lambda;
  };
  for (const Geometry& g :
       {Geometry{{0, 0, 1}, {0, 1, 0}, 1.54}, Geometry{{1, 1, 3}, {1, -1, 0}, 1.54},
        Geometry{{1, 1, 0}, {0, 0, 1}, 0.7}}) {
    Settings.Normal = g.normal;
    Settings.IncPlanePoint = g.planePoint;
    Settings.Lambda = g.lambda;
    Recompute();
    int bragg = 0, laue = 0, failed = 0;
    const int32_t n = IntAbs(s.MaxIndex);
    for (int32_t h = -n; h <= n; ++h)
      for (int32_t k = -n; k <= n; ++k)
        for (int32_t l = -n; l <= n; ++l) {
          TVector q;
          s.ReciprocalVector(h, k, l, q.x, q.y, q.z);
          const bool b = IsBraggAccessible(s, q.x, q.y, q.z),
                     lt = IsLaueAccessible(s, q.x, q.y, q.z);
          ASSERT_EQ(BraggReason(s, q).empty(), b)
              << h << " " << k << " " << l << ": " << BraggReason(s, q);
          ASSERT_EQ(LaueReason(s, q).empty(), lt)
              << h << " " << k << " " << l << ": " << LaueReason(s, q);
          bragg += b;
          laue += lt;
          failed += !b && !lt;
        }
    EXPECT_GT(bragg, 0);
    EXPECT_GT(laue, 0);
    EXPECT_GT(failed, 0);
  }
}

TEST_F(Readout, AllowedForbiddenAndUnreachableNodes) {
  Settings.UseHi = true;
  // Si 004 at 1.54 A: d = a/4, Bragg's law for the angle, symmetric beams.
  TNodeReadout r = ReadNode(s, 0, 0, 4);
  EXPECT_NEAR(r.D, s.LatticeA / 4, 1e-9);
  EXPECT_NEAR(r.QLength, 4 / s.LatticeA, 1e-9);
  const double theta = std::asin(1.54 / (2 * r.D));
  EXPECT_NEAR(r.Theta, theta, 1e-9);
  ASSERT_FALSE(r.Solutions.empty());
  for (const TBeamAngles& a : r.Solutions) {
    EXPECT_NEAR(a.Incidence, theta, 1e-9);
    EXPECT_NEAR(a.Exit, theta, 1e-9);
  }
  EXPECT_TRUE(r.Bragg);
  EXPECT_FALSE(r.Forbidden);
  ASSERT_TRUE(r.HasChi);
  EXPECT_GT(r.F, 10);
  EXPECT_LT(r.Chi0Re, 0);  // below the edges the real part of chi0 is negative
  EXPECT_GT(r.Chi0Im, 0);
  std::string text = ReadoutText(r);
  EXPECT_NE(text.find("Si 0 0 4"), std::string::npos) << text;
  EXPECT_NE(text.find("Bragg case: reachable"), std::string::npos) << text;
  EXPECT_EQ(text.find("forbidden"), std::string::npos) << text;

  // 0 0 2 of the diamond lattice: F = 0.
  r = ReadNode(s, 0, 0, 2);
  EXPECT_TRUE(r.Forbidden);
  EXPECT_LT(r.Strength, 1e-9);
  EXPECT_NE(ReadoutText(r).find("forbidden: F = 0"), std::string::npos);

  // 0 0 12: beyond the limiting sphere, no angles.
  r = ReadNode(s, 0, 0, 12);
  EXPECT_FALSE(r.InsideSphere);
  EXPECT_TRUE(r.Solutions.empty());
  EXPECT_EQ(r.BraggWhy, "outside the limiting sphere: |Q| = 2.21 Å⁻¹ > 2K = 1.30 Å⁻¹");
  text = ReadoutText(r);
  EXPECT_NE(text.find("Bragg case: not reachable, outside the limiting sphere"), std::string::npos)
      << text;
  EXPECT_EQ(text.find("nan"), std::string::npos) << text;
}

TEST_F(Readout, StatusMessageAfterSolvingTheReflection) {
  EXPECT_EQ(Solve(0, 0, 4), "");
  EXPECT_EQ(
      Solve(0, 0, 12),
      "Si 0 0 12 cannot be reached: outside the limiting sphere: |Q| = 2.21 Å⁻¹ > 2K = 1.30 Å⁻¹");
  // The substitute beams stay as the solver leaves them.
  EXPECT_NE(s.K0Second.z, 0);
  // Straight into the crystal: neither case.
  EXPECT_EQ(Solve(0, 0, -4),
            "Si 0 0 -4 cannot be reached: Q points into the crystal: Qz = -0.7365 Å⁻¹ < 0");
  // 1 1 5 on 0 0 1 is reachable; 0 4 0 lies in the surface and reaches the Laue case only.
  EXPECT_EQ(Solve(1, 1, 5), "");
  EXPECT_EQ(Solve(0, 4, 0),
            "Si 0 4 0 is no Bragg reflection (Q lies in the surface: Qz = 0); it is reachable in "
            "Laue geometry");
  EXPECT_EQ(Solve(0, 0, 0), "");
}

}  // namespace
}  // namespace korvex

namespace korvex {
namespace {

// InAs fully strained on GaAs (0 0 1), 0 0 4 at Cu K-alpha1, worked out here from textbook
// numbers: lattice parameters, the elastic constants of InAs for the tetragonal distortion
// (c - a_InAs) / a_InAs = -2 C12 / C11 (a_GaAs - a_InAs) / a_InAs, Bragg's law for d = c / 4.
// The Poisson ratio the program reads differs from C12 / (C11 + C12) in the fourth digit,
// which moves the layer's peak by about 17"; the tolerance allows for that.
TEST(LayerOnSubstrate, InAsOnGaAs004AtCuKAlpha1AgreesWithBraggsLawForTheStrainedCell) {
  Settings = TSettings{};
  Settings.RecomputeDone = true;
  Settings.Lambda = 1.5405929;
  Settings.Hkl = {0, 0, 4};
  Settings.RelaxationText = "a";
  TVisStructure substrate, layer;
  substrate.StructureName = "GaAs";
  layer.StructureName = "InAs";
  substrate.InUse = layer.InUse = true;
  ComputeStructures(substrate, layer);
  for (TVisStructure* s : {&substrate, &layer}) {
    s->ReciprocalVector(0, 0, 4, s->HVector.x, s->HVector.y, s->HVector.z);
    s->SolveWaveVectors();
  }
  const double lambda = 1.5405929, aGaAs = 5.65325, aInAs = 6.0583, c11 = 83.29, c12 = 45.26;
  const double c = aInAs + (aInAs - aGaAs) * 2 * c12 / c11;  // the strained cell's height
  const double thetaS = std::asin(lambda / (2 * aGaAs / 4)),
               thetaL = std::asin(lambda / (2 * c / 4));
  const double arcsec = Pi / (180 * 3600);
  ASSERT_NEAR(layer.LatticeC, c, 0.001);
  EXPECT_NEAR(layer.LatticeA, aGaAs, 1e-4);
  // Symmetric reflection: omega = exit = theta, 2 theta = 2 theta.
  EXPECT_NEAR(substrate.IncidenceAngle, thetaS, 2 * arcsec);
  EXPECT_NEAR(substrate.ScatteringAngle, 2 * thetaS, 4 * arcsec);
  EXPECT_NEAR(layer.IncidenceAngle, thetaL, 25 * arcsec);
  EXPECT_NEAR(layer.ExitAngle, thetaL, 25 * arcsec);
  const double dOmega = layer.IncidenceAngle - substrate.IncidenceAngle;
  EXPECT_NEAR(dOmega, thetaL - thetaS, 25 * arcsec);
  EXPECT_NEAR(layer.ScatteringAngle - substrate.ScatteringAngle, 2 * (thetaL - thetaS),
              50 * arcsec);
  EXPECT_LT(dOmega, -4.7 * Pi / 180);  // the layer's peak lies 4.7 degrees below the substrate's

  const std::string panel = SolvedComparisonText(substrate, layer);
  EXPECT_EQ(panel.rfind("Substrate GaAs: ω = ", 0), 0u) << panel;
  EXPECT_NE(panel.find("Layer InAs: ω = "), std::string::npos) << panel;
  EXPECT_NE(panel.find("Δω = " + AngleWithArcSeconds(dOmega)), std::string::npos) << panel;
  EXPECT_NE(panel.find("Δ2θ = "), std::string::npos) << panel;
  // The node readout of the same reflection gives the same difference.
  const std::string readout = ComparisonText(substrate, layer, 0, 0, 4);
  EXPECT_NE(readout.find("Δω = " + AngleWithArcSeconds(dOmega).substr(0, 6)), std::string::npos)
      << readout;
}

}  // namespace
}  // namespace korvex
