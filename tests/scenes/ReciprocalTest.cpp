// The reciprocal-space scenes ("Recipr", "Rec.2D") on the chart model alone, with the
// structures read from Base/: axes and reflection marker, node tests against the physics of
// the Ewald construction, node filters, region grids and the spheres.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "SceneTestSupport.h"
#include "chart/Catalogue.h"
#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/ReciprocalLattice.h"
#include "scenes/SeriesPool.h"

namespace korvex {
namespace {

using scenetest::AllFinite;
using scenetest::EndOf;
using scenetest::Host;
using scenetest::PointOf;

double Length(const TVector& v) { return VectorLength(v.x, v.y, v.z); }

// Reachability by the Ewald construction itself: the incident waves K0 = K (cos a, 0, sin a)
// of the plane of incidence with |K0 + Q| = K. Returns the best margin over both solutions of
// min(-K0z, Khz) (Bragg: enters, leaves upward) or min(-K0z, -Khz) (Laue: enters, leaves
// downward); positive means reachable, NaN when no such wave exists.
double EwaldMargin(double k, const TVector& q, bool bragg) {
  const double g = q.x * q.x + q.y * q.y + q.z * q.z;
  const double rho = std::hypot(q.x, q.z);
  if (rho == 0 || rho * k < g / 2) return NAN;
  const double phi = std::atan2(q.z, q.x), turn = std::acos(-g / (2 * k * rho));
  double best = -1e9;
  for (double a : {phi + turn, phi - turn}) {
    const double k0z = k * std::sin(a), khz = k0z + q.z;
    best = std::max(best, std::min(-k0z, bragg ? khz : -khz));
  }
  return best;
}

class RecScene : public ::testing::Test {
 protected:
  void SetUp() override {
    Settings = TSettings{};
    Settings.RecomputeDone = true;
    s1.StructureName = "Si";
    s1.InUse = true;
  }

  void Recompute() {
    s1.WaveNumber = 1 / Settings.Lambda;
    Settings.TwoK = 2 / Settings.Lambda;
    s1.Setup(SlotAlone1);
    s1.ComputeGeometry();
    SetDerivedValues(Settings, s1.LatticeA, 0);
    ASSERT_GT(s1.LatticeA, 5) << "Base/ with Si.stf is needed beside the test";
  }

  // Every signed node of the index range inside the limiting sphere that passes keep.
  int CountNodes(const std::function<bool(const TVector&)>& keep) {
    const int32_t n = IntAbs(s1.MaxIndex), lo = s1.MaxIndex > 0 ? -n : 0;
    int count = 0;
    for (int32_t h = lo; h <= n; ++h)
      for (int32_t k = lo; k <= n; ++k)
        for (int32_t l = lo; l <= n; ++l) {
          TVector q;
          s1.ReciprocalVector(h, k, l, q.x, q.y, q.z);
          count += Length(q) <= 2 * s1.WaveNumber + 1e-10 && keep(q);
        }
    return count;
  }
  bool HasLabel(const TChartSeries& s, const std::string& label) {
    for (int i = 0; i < s.Count(); ++i)
      if (s.Label(i) == label) return true;
    return false;
  }

  TVisStructure s1;
  TChartCatalogue charts;
  TSeriesPool pool;
  Host host;
  TSceneContext scene{charts, pool, host};
};

TEST_F(RecScene, AxisLabelsAndLengths) {
  const struct {
    std::array<int32_t, 3> planePoint, normal;
    bool octant, square;
    const char* labels[3];
  } cases[] = {
      {{0, 1, 0}, {0, 0, 1}, false, false, {"010", "100", "001"}},
      {{1, 10, 0}, {0, 0, 1}, false, true, {"1,10,0", "10,-1,0", "001"}},
      {{0, -1, 0}, {0, 0, 1}, true, false, {"0-10", "-100", "001"}},
      // c = (-2, 0, 0): reduced by |gcd| it keeps its direction, -1 0 0.
      {{0, -2, 0}, {0, 0, 1}, false, false, {"0-20", "-100", "001"}},
      {{1, 1, 0}, {1, -1, 11}, false, false, {"110", "11,-11,-2", "1,-1,11"}},
  };
  Recompute();
  ASSERT_GT(s1.MaxIndex, 0);
  const double r = Settings.TwoK;
  for (const auto& c : cases) {
    Settings.IncPlanePoint = c.planePoint;
    Settings.Normal = c.normal;
    Settings.Octant = c.octant;
    Settings.SquareXY = c.square;
    DrawReciprocalAxes(scene, s1);
    const TVector3DSeries& axes = *charts.SeriesVecRecipr;
    ASSERT_EQ(axes.Count(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(axes.Label(i), c.labels[i]) << c.labels[0];
    const double far = c.octant ? 0.1 : 1.15, g = c.square ? 1 : 0.5;
    EXPECT_NEAR(PointOf(axes, 0).x, 1.15 * r, 1e-12);
    EXPECT_NEAR(EndOf(axes, 0).x, -far * r, 1e-12);
    EXPECT_NEAR(PointOf(axes, 1).y, -1.15 * g * r, 1e-12);  // the head on the side of c
    EXPECT_NEAR(EndOf(axes, 1).y, far * g * r, 1e-12);
    EXPECT_NEAR(PointOf(axes, 2).z, 1.1 * r, 1e-12);
    EXPECT_NEAR(EndOf(axes, 2).z, -0.1 * r, 1e-12);
  }
  s1.MaxIndex = 0;
  DrawReciprocalAxes(scene, s1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Length(PointOf(*charts.SeriesVecRecipr, i)), 0);
    EXPECT_EQ(Length(EndOf(*charts.SeriesVecRecipr, i)), 0);
  }
}

TEST_F(RecScene, MarkReflectionLabelsAndKeepsTheSecondStructuresArrow) {
  Recompute();
  MarkReflection(scene, s1, -1, 1, 3);
  MarkReflection(scene, s1, 10, 0, 2);
  TVector q;
  s1.ReciprocalVector(10, 0, 2, q.x, q.y, q.z);
  EXPECT_DOUBLE_EQ(s1.HVector.x, q.x);
  EXPECT_DOUBLE_EQ(s1.HVector.z, q.z);
  ASSERT_EQ(charts.SeriesPointRes->Count(), 2);  // nodes are never cleared here
  EXPECT_EQ(charts.SeriesPointRes->Label(0), "-113");
  EXPECT_EQ(charts.SeriesPointRes->Label(1), "1002");
  EXPECT_DOUBLE_EQ(charts.SeriesPointRes->RadiusValue(1), Settings.NodeRadius);
  EXPECT_EQ(charts.SeriesVecRecipr2->Count(), 1);
  s1.Slot = SlotBeside2;
  MarkReflection(scene, s1, 0, 0, 0);
  EXPECT_EQ(charts.SeriesVecRecipr2->Count(), 2);
  EXPECT_EQ(charts.SeriesPointRes->Label(2), "000");
}

// The node tests against the Ewald construction for every node of Si at 1.54 A, and the
// Bragg test against the wave-vector solver.
TEST_F(RecScene, NodeTestsMatchTheEwaldConstruction) {
  Recompute();
  const double k = s1.WaveNumber;
  int bragg = 0, laue = 0, checked = 0;
  for (int h = -5; h <= 5; ++h)
    for (int kk = -5; kk <= 5; ++kk)
      for (int l = -5; l <= 5; ++l) {
        TVector q;
        s1.ReciprocalVector(h, kk, l, q.x, q.y, q.z);
        if (Length(q) > 2 * k || Length(q) == 0) continue;
        const std::string node = std::to_string(h) + " " + std::to_string(kk) + " " + std::to_string(l);
        const double mb = EwaldMargin(k, q, true), ml = EwaldMargin(k, q, false);
        if (!(std::fabs(mb) < 1e-9)) {
          EXPECT_EQ(IsBraggAccessible(s1, q.x, q.y, q.z), mb > 0) << node;
          bragg += mb > 0;
        }
        if (!(std::fabs(ml) < 1e-9)) {
          EXPECT_EQ(IsLaueAccessible(s1, q.x, q.y, q.z), ml > 0) << node;
          laue += ml > 0;
        }
        // The solver finds a Bragg solution exactly for the nodes the filter shows.
        s1.HVector = q;
        s1.SolveWaveVectors();
        const bool solved = Length(s1.K0) > 0 && s1.K0.z <= 0 && s1.Kh.z >= -1e-10;
        EXPECT_EQ(IsBraggAccessible(s1, q.x, q.y, q.z), solved) << node;
        ++checked;
      }
  EXPECT_GT(bragg, 20);
  EXPECT_GT(laue, 20);
  EXPECT_GT(checked, 100);
  // Exit angle exactly 0 (Kh along the surface): reachable, as for the solver.
  for (int h : {2, -2}) {
    TVector q;
    s1.ReciprocalVector(h, 0, 2, q.x, q.y, q.z);
    EXPECT_NEAR(EwaldMargin(k, q, true), 0, 1e-12);
    EXPECT_TRUE(IsBraggAccessible(s1, q.x, q.y, q.z)) << h << " 0 2";
  }
  EXPECT_FALSE(IsBraggAccessible(s1, 0, 0, -0.1));   // below the surface
  EXPECT_FALSE(IsBraggAccessible(s1, 0, 0, 2.01 * k));  // outside the limiting sphere
  EXPECT_FALSE(IsLaueAccessible(s1, 0, 1.01 * k, 0));
  s1.K0 = {-k, 0, 0};
  EXPECT_TRUE(IsMultiBeamNode(s1, 0, 0, 0));
  EXPECT_TRUE(IsMultiBeamNode(s1, 2 * k, 0, 0));
  EXPECT_FALSE(IsMultiBeamNode(s1, k, 0, 0));
}

// The node filters of "Recipr": each case checks every drawn node against its rule and the
// count against the nodes of the range that pass it (each node once).
TEST_F(RecScene, LatticeFilters) {
  const double tol = 1e-10;
  struct Case {
    const char* name;
    std::function<void()> set;
    std::function<bool(const TVector&)> keep;
  };
  TVisStructure& s = s1;
  const Case cases[] = {
      {"all", [] {}, [](const TVector&) { return true; }},
      {"range 0", [] { Settings.NRecMax = 0; }, [](const TVector&) { return true; }},
      {"range -3", [] { Settings.NRecMax = -3; }, [](const TVector&) { return true; }},
      {"1/8", [] { Settings.Octant = true; }, [&](const TVector& q) { return q.x >= -tol && q.y <= tol; }},
      {"1/8 Bragg",
       [] { Settings.Octant = Settings.OnlyBragg = true; },
       [&](const TVector& q) { return q.x >= -tol && q.y <= tol && q.z >= -tol && IsBraggAccessible(s, q.x, q.y, q.z); }},
      {"Bragg or Laue",
       [] { Settings.OnlyBragg = Settings.OnlyLaue = true; },
       [&](const TVector& q) { return IsBraggAccessible(s, q.x, q.y, q.z) || IsLaueAccessible(s, q.x, q.y, q.z); }},
      {"DivAb Bragg and Laue",
       [] { Settings.OnlyBragg = Settings.OnlyLaue = true; Settings.PlaneDivisor = 2; },
       [&](const TVector& q) { return IsBraggAccessible(s, q.x, q.y, q.z) && IsLaueAccessible(s, q.x, q.y, q.z); }},
      {"DivAb Bragg only", [] { Settings.OnlyBragg = true; Settings.PlaneDivisor = 2; },
       [](const TVector&) { return false; }},
      {"box 20,1,0,2", [] { Settings.NRecLimit = {1, 0, 2}; },
       [&](const TVector& q) {
         const double u = Length(s.RecA);
         return std::fabs(q.x) <= u + tol && std::fabs(q.y) <= tol && std::fabs(q.z) <= 2 * u + tol;
       }},
  };
  for (const Case& c : cases) {
    SetUp();
    c.set();
    Recompute();
    charts.SeriesPointRes->Clear();
    DrawRecNodes3D(scene, s1);
    const TBubble3DSeries& nodes = *charts.SeriesPointRes;
    std::set<std::tuple<long, long, long>> seen;
    for (int i = 0; i < nodes.Count(); ++i) {
      const TVector q = PointOf(nodes, i);
      EXPECT_TRUE(c.keep(q)) << c.name << " " << nodes.Label(i);
      EXPECT_DOUBLE_EQ(nodes.RadiusValue(i), 0.8 * Settings.NodeRadius);  // "Hi" off
      seen.insert({std::lround(q.x * 1e6), std::lround(q.y * 1e6), std::lround(q.z * 1e6)});
      if (Settings.NRecMax < 0) {
        EXPECT_EQ(nodes.Label(i).find('-'), std::string::npos) << nodes.Label(i);
      }
    }
    EXPECT_EQ(static_cast<int>(seen.size()), nodes.Count()) << c.name << ": a node drawn twice";
    EXPECT_EQ(nodes.Count(), CountNodes(c.keep)) << c.name;
    if (Settings.NRecMax == 0) {
      ASSERT_EQ(nodes.Count(), 1);
      EXPECT_EQ(nodes.Label(0), "000");
    }
  }
}

// A cell with gamma = 120 degrees: sign variants of one triple lie at different distances, so
// each signed node meets the limiting sphere on its own.
TEST_F(RecScene, ObliqueCellTestsEachSignedNode) {
  s1.Gamma = 120 * Pi / 180;
  Settings.Lambda = 2;
  Recompute();
  TVector in, out;
  s1.ReciprocalVector(-4, 2, 0, in.x, in.y, in.z);
  s1.ReciprocalVector(4, 2, 0, out.x, out.y, out.z);
  ASSERT_LE(Length(in), Settings.TwoK);
  ASSERT_GT(Length(out), Settings.TwoK);
  DrawRecNodes3D(scene, s1);
  EXPECT_TRUE(HasLabel(*charts.SeriesPointRes, "-420"));
  EXPECT_FALSE(HasLabel(*charts.SeriesPointRes, "420"));
  EXPECT_EQ(charts.SeriesPointRes->Count(), CountNodes([](const TVector&) { return true; }));
}

TEST_F(RecScene, StrengthRadiiAndLimitingSphereIsInclusive) {
  Settings.UseHi = true;
  Recompute();
  Settings.Lambda = s1.LatticeA / 2;  // 2K = |Q(0 0 4)|
  Recompute();
  DrawRecNodes3D(scene, s1);
  const TBubble3DSeries& nodes = *charts.SeriesPointRes;
  EXPECT_TRUE(HasLabel(nodes, "004"));
  EXPECT_TRUE(HasLabel(nodes, "00-4"));
  int forbidden = 0;
  for (int i = 0; i < nodes.Count(); ++i) {
    if (nodes.RadiusValue(i) == 0) {
      ++forbidden;
      EXPECT_EQ(nodes.Label(i), " ");
    }
  }
  EXPECT_GT(forbidden, 0);  // 0 0 2 and the like
  for (int i = 0; i < nodes.Count(); ++i)
    if (nodes.Label(i) == "004") {
      EXPECT_GT(nodes.RadiusValue(i), 0);
    }
}

TEST_F(RecScene, MultiBeamNodesAreRedWithArrows) {
  Settings.MultiBeam = true;
  Settings.Hkl = {2, 2, 4};
  Recompute();
  s1.ReciprocalVector(2, 2, 4, s1.HVector.x, s1.HVector.y, s1.HVector.z);
  s1.SolveWaveVectors();
  ASSERT_GT(Length(s1.K0), 0);
  Settings.OnlyBragg = true;
  DrawRecNodes3D(scene, s1);
  const TBubble3DSeries& nodes = *charts.SeriesPointRes;
  int red = 0;
  for (int i = 0; i < nodes.Count(); ++i) {
    const TVector q = PointOf(nodes, i);
    if (nodes.ValueColor(i) != clRed) continue;
    ++red;
    EXPECT_TRUE(IsMultiBeamNode(s1, q.x, q.y, q.z)) << nodes.Label(i);
    if (Length(q) == 0) {
      EXPECT_EQ(nodes.Label(i), "000");
    }
  }
  EXPECT_GE(red, 2);  // the origin and the reflection itself
  EXPECT_EQ(charts.SeriesBeamsRec2->Count(), 2 * (red - 1));  // none for the origin
  EXPECT_EQ(charts.SeriesBeams2->Count(), red - 1);
  EXPECT_EQ(charts.SeriesVec2->Count(), red - 1);
  EXPECT_EQ(charts.SeriesSphereKh->Count(), 1);
  EXPECT_TRUE(AllFinite(charts.Chart1));
}

TEST_F(RecScene, NodesOfThePlaneOfIncidence) {
  Settings.PlaneDivisor = 2;
  Settings.OnlyBragg = true;
  Recompute();
  DrawRecNodes2D(scene, s1);
  const TBubble3DSeries& nodes = *charts.SeriesPointRes;
  for (int i = 0; i < nodes.Count(); ++i) EXPECT_LT(std::fabs(PointOf(nodes, i).y), 1e-10);
  // "DivAb" plays no part in the plane.
  EXPECT_EQ(nodes.Count(), CountNodes([&](const TVector& q) {
              return std::fabs(q.y) < 1e-10 && IsBraggAccessible(s1, q.x, q.y, q.z);
            }));
  EXPECT_GT(nodes.Count(), 3);
}

struct Extent {
  double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
};
Extent ExtentOf(const TChartSeries& s) {
  Extent e;
  for (int i = 0; i < s.Count(); ++i) {
    const TVector p = PointOf(s, i);
    e.x0 = std::min(e.x0, p.x), e.x1 = std::max(e.x1, p.x);
    e.y0 = std::min(e.y0, p.y), e.y1 = std::max(e.y1, p.y);
  }
  return e;
}

// A drawn surface at the frame point (x, y): bilinear in the grid cell holding it, as its
// quadrilateral is drawn; NaN outside the grid or in a hole. low and high get the lowest and
// highest corner of that cell.
double HeightOn(const TSurfaceSeries& s, double x, double y, double& low, double& high) {
  const TSurfaceGrid& g = s.Grid();
  low = high = NAN;
  auto cell = [](const std::vector<double>& v, double at, size_t& i, double& f) {
    if (v.size() < 2 || at < v.front() || at > v.back()) return false;
    i = std::min<size_t>(std::upper_bound(v.begin(), v.end(), at) - v.begin(), v.size() - 1) - 1;
    f = (at - v[i]) / (v[i + 1] - v[i]);
    return true;
  };
  size_t ix = 0, iz = 0;
  double fx = 0, fz = 0;
  if (!cell(g.Xs, x, ix, fx) || !cell(g.Zs, y, iz, fz)) return NAN;
  double h[2][2];
  for (size_t a = 0; a < 2; ++a)
    for (size_t b = 0; b < 2; ++b) {
      const int i = g.NodeIndex(ix + a, iz + b);
      if (i < 0) return NAN;
      h[a][b] = PointOf(s, i).z;
    }
  low = std::min({h[0][0], h[0][1], h[1][0], h[1][1]});
  high = std::max({h[0][0], h[0][1], h[1][0], h[1][1]});
  return (1 - fx) * ((1 - fz) * h[0][0] + fz * h[0][1]) + fx * ((1 - fz) * h[1][0] + fz * h[1][1]);
}

// The drawn Laue region, between SeriesSurfK00 below and SeriesLaueKh above, holds the nodes
// that pass IsLaueAccessible and no other: Si, normal 001, plane of incidence through 010, at
// 1.54 and 0.7093 A, every node of the limiting sphere. A grid cell shows only its corners: a
// node whose height lies between the lowest and highest corner of the bound's cell can fall on
// either side of the drawing, and only there may the two disagree (at 1.54 A nowhere).
TEST_F(RecScene, DrawnLaueRegionHoldsExactlyTheLaueNodes) {
  for (double lambda : {1.54, 0.7093}) {
    SetUp();
    Settings.Lambda = lambda;
    Recompute();
    DrawAccessibleRegions(scene, s1);
    const double e = 1e-9;
    const int32_t n = s1.MaxIndex;
    int laue = 0, inside = 0, outside = 0, rim = 0;
    for (int32_t h = -n; h <= n; ++h)
      for (int32_t kk = -n; kk <= n; ++kk)
        for (int32_t l = -n; l <= n; ++l) {
          TVector q;
          s1.ReciprocalVector(h, kk, l, q.x, q.y, q.z);
          if (Length(q) > 2 * s1.WaveNumber) continue;
          const bool passes = IsLaueAccessible(s1, q.x, q.y, q.z);
          double low0, low1, up0, up1;
          const double low = HeightOn(*charts.SeriesSurfK00, q.x, q.y, low0, low1);
          const double up = HeightOn(*charts.SeriesLaueKh, q.x, q.y, up0, up1);
          const bool drawn = std::isfinite(low) && std::isfinite(up);
          laue += passes;
          // On a drawn bound counts as inside for a passing node, as outside for a failing one.
          if (passes ? drawn && q.z >= low - e && q.z <= up + e
                     : !drawn || up - low <= e || q.z <= low + e || q.z >= up - e) {
            passes ? ++inside : ++outside;
            continue;
          }
          ++rim;
          EXPECT_TRUE((q.z >= low0 - e && q.z <= low1 + e) || (q.z >= up0 - e && q.z <= up1 + e))
              << lambda << " A: node " << h << " " << kk << " " << l
              << (passes ? " passes" : " fails") << " at height " << q.z << ", drawn region " << low
              << " .. " << up;
        }
    EXPECT_EQ(inside + rim + outside, CountNodes([](const TVector&) { return true; })) << lambda;
    EXPECT_GT(laue, 400) << lambda;
    if (lambda == 1.54) {
      EXPECT_EQ(rim, 0);
    }
    std::printf(
        "Laue region at %.4g A: %d nodes pass the Laue test, %d of them inside the drawing; %d "
        "fail, "
        "%d of them outside; %d at the rim of a grid cell\n",
        lambda, laue, inside, inside + rim + outside - laue, outside, rim);
  }
}

TEST_F(RecScene, RegionGridsAndTheirExtents) {
  const struct {
    bool octant, square;
  } cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
  for (const auto& c : cases) {
    SetUp();
    Settings.Octant = c.octant;
    Settings.SquareXY = c.square;
    Recompute();
    ShowReciprocal3D(scene, s1);
    const double k = s1.WaveNumber, far = 2.02 * k, wide = c.square ? 2.02 * k : 1.01 * k;
    const Extent tor = ExtentOf(*charts.SeriesTor1), up = ExtentOf(*charts.SeriesSurfUp);
    const Extent laue = ExtentOf(*charts.SeriesLaueKh);
    EXPECT_NEAR(tor.x1, far, 1e-12);
    EXPECT_NEAR(tor.x0, c.octant ? 0 : -far, 1e-12);
    EXPECT_NEAR(tor.y0, -far, 1e-12);
    EXPECT_NEAR(tor.y1, c.octant ? 0 : far, 1e-12);
    EXPECT_NEAR(up.y0, -wide, 1e-12);
    EXPECT_NEAR(up.y1, c.octant ? 0 : wide, 1e-12);
    EXPECT_NEAR(up.x0, c.octant ? 0 : -far, 1e-12);
    // The closing row at y = +K is left out with "1/8".
    EXPECT_NEAR(laue.y1, c.octant ? 0 : k, 1e-12);
    EXPECT_NEAR(laue.y0, -k, 1e-12);
    const int xs = c.octant ? 61 : 121, s = c.square ? 2 : 1;
    EXPECT_EQ(charts.SeriesTor1->Count(), xs * xs);
    EXPECT_EQ(charts.SeriesSurfUp->Count(), xs * (s * 30 + (c.octant ? 0 : s * 30) + 1));
    EXPECT_EQ(charts.SeriesTor3->Count(), 0);
    // The lower Laue bound has a height at every node of its grid: no holes.
    const TSurfaceGrid& grid = charts.SeriesSurfK00->Grid();
    EXPECT_EQ(grid.Cells.size(), (grid.Xs.size() - 1) * (grid.Zs.size() - 1));
    EXPECT_TRUE(AllFinite(charts.Chart2));
  }
}

TEST_F(RecScene, SecondReciprReplacesBodiesAndDoublesCircles) {
  Recompute();
  ShowReciprocal3D(scene, s1);
  const int surfUp = charts.SeriesSurfUp->Count(), nodes = charts.SeriesPointRes->Count();
  EXPECT_EQ(pool.RegionSurfaces.Count(), 7);
  EXPECT_FALSE(pool.RegionSurfaces[0]->Active());  // "Spheres" off
  charts.SeriesSphereSmall->SetActive(true);        // "Spheres" on
  ShowReciprocal3D(scene, s1);
  EXPECT_EQ(pool.RegionSurfaces.Count(), 7);
  EXPECT_TRUE(pool.RegionSurfaces[6]->Active());
  EXPECT_EQ(charts.SeriesSphereBig->Count(), 1);
  EXPECT_EQ(charts.SeriesSphereSmall->Count(), 2);
  EXPECT_EQ(charts.SeriesSurfUp->Count(), surfUp);
  EXPECT_EQ(charts.SeriesSurfResPlane->Count(), 4);
  EXPECT_EQ(charts.SeriesSurfIncRes->Count(), 4);
  for (TPoint3DSeries* circle : {charts.SeriesCircle1, charts.SeriesCircle2, charts.SeriesCircle3, charts.SeriesCircle4})
    EXPECT_EQ(circle->Count(), 2 * 61);
  EXPECT_EQ(charts.SeriesPointRes->Count(), 2 * nodes);
  // The Kh sphere of the incident wave: centred at -K0, appended unless cleared.
  DrawKhSphere(scene, s1, false);
  DrawKhSphere(scene, s1, false);
  ASSERT_EQ(charts.SeriesSphereKh->Count(), 2);
  EXPECT_DOUBLE_EQ(PointOf(*charts.SeriesSphereKh, 1).z, -s1.K0.z);
  EXPECT_DOUBLE_EQ(charts.SeriesSphereKh->RadiusValue(1), s1.WaveNumber);
  DrawKhSphere(scene, s1, true);
  EXPECT_EQ(charts.SeriesSphereKh->Count(), 1);
  // Unusable inputs draw nothing that is not a number.
  Settings.MaxPoints = 0;
  s1.WaveNumber = Settings.TwoK = NAN;
  ShowReciprocal3D(scene, s1);
  ShowReciprocal2D(scene, s1);
  EXPECT_TRUE(AllFinite(charts.Chart2));
}

}  // namespace
}  // namespace korvex
