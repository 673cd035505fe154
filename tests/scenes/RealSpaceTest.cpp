// The real-space scenes ("Real") and the hkl setting ("Set hkl") on the chart model alone,
// with the structures read from Base/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "chart/Catalogue.h"
#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/HklSetting.h"
#include "scenes/RealSpace.h"
#include "scenes/SeriesPool.h"

#include "SceneTestSupport.h"

namespace korvex {
namespace {

using scenetest::AllFinite;
using scenetest::EndOf;
using scenetest::Host;
using scenetest::PointOf;

constexpr double kDegree = Pi / 180;

TVector Sub(const TVector& a, const TVector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot3(const TVector& a, const TVector& b) { return Dot(a.x, a.y, a.z, b.x, b.y, b.z); }
double Len(const TVector& a) { return VectorLength(a.x, a.y, a.z); }
TVector Cross3(const TVector& a, const TVector& b) {
  TVector c;
  Cross(a.x, a.y, a.z, b.x, b.y, b.z, c.x, c.y, c.z);
  return c;
}

// A plane point as computed, before the small shift off the plane that DrawPlanes gives it
// (q = p + 0.001 (sum(p) - p) per component).
TVector Unshifted(const TVector& q) {
  const double sum = (q.x + q.y + q.z) / 1.002;
  return {(q.x - 0.001 * sum) / 0.999, (q.y - 0.001 * sum) / 0.999, (q.z - 0.001 * sum) / 0.999};
}

// Angle between a direction and the plane of a surface series given by its first three points.
double AngleToSurface(const TVector& direction, const TChartSeries& surface) {
  const TVector p0 = PointOf(surface, 0);
  const TVector normal = Cross3(Sub(PointOf(surface, 1), p0), Sub(PointOf(surface, 2), p0));
  return std::asin(std::fabs(Dot3(direction, normal)) / (Len(direction) * Len(normal)));
}

// The recompute cycle of the window, on the process-wide settings record.
class RealScene : public ::testing::Test {
 protected:
  void SetUp() override {
    Settings = TSettings{};
    Settings.RecomputeDone = true;
    s1.StructureName = "Si";
    s2.StructureName = "Ge";
    s1.InUse = true;
    pool.LineWidth = 4;
  }

  void Recompute(std::array<int32_t, 3> planePoint = {0, 1, 0}) {
    Settings.IncPlanePoint = planePoint;
    ComputeStructures(s1, s2);
    ASSERT_GT(s1.LatticeA, 5) << "Base/ with Si.stf is needed beside the test";
  }

  // What "Set hkl" does in the real-space chart, without the reciprocal-lattice scenes.
  void Solve(TVisStructure& s) {
    s.ReciprocalVector(Settings.Hkl[0], Settings.Hkl[1], Settings.Hkl[2], s.HVector.x, s.HVector.y,
                       s.HVector.z);
    s.SolveWaveVectors();
  }
  void BeamsAndSlab(TVisStructure& s) {
    Solve(s);
    DrawBeamsReciprocal(scene, s);
    DrawBeamsReal(scene, s);
    DrawCrystalBlock(scene, s);
  }

  const TPoint3DSeries& RealLine(int i) const {
    return *static_cast<const TPoint3DSeries*>(pool.RealLines[i]);
  }
  const TTriSurfaceSeries& Plane(int i) const {
    return *static_cast<const TTriSurfaceSeries*>(pool.PlaneSurfaces[i]);
  }
  int WaveTrains() const {
    int n = 0;
    for (int i = 0; i < pool.RealLines.Count(); ++i) n += RealLine(i).LinePen().Color == clFuchsia;
    return n;
  }

  TVisStructure s1, s2;
  TChartCatalogue charts;
  TSeriesPool pool;
  Host host;
  TSceneContext scene{charts, pool, host};
};

TEST_F(RealScene, LatticeNodesAndUnitCell) {
  const struct {
    int32_t nReal;
    bool both;
    int nodes;
    int edges;
  } cases[] = {{2, false, 125, 0}, {-1, false, 8, 12}, {-1, true, 4, 12}, {1, true, 18, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "NReal " << c.nReal << (c.both ? " both" : ""));
    Settings.NReal = c.nReal;
    s2.InUse = c.both;
    Recompute();
    charts.SeriesPoint->AddBubble(9, 9, 9, 1);  // a scene of structure 1 starts afresh
    DrawLatticeNodes(scene, s1);
    ASSERT_EQ(charts.SeriesPoint->Count(), c.nodes);
    EXPECT_DOUBLE_EQ(charts.SeriesPoint->RadiusValue(0), 0.2 * s1.LatticeA);
    EXPECT_EQ(charts.SeriesPoint->ValueColor(0), s1.NodeColour);
    ASSERT_EQ(pool.RealLines.Count(), c.edges);
    for (int i = 0; i < c.edges; ++i) {
      EXPECT_EQ(RealLine(i).Count(), 2);
      EXPECT_EQ(RealLine(i).LinePen().Color, s1.NodeColour);
      EXPECT_EQ(RealLine(i).LinePen().Width, 4);
    }
    if (c.nReal == -1 && !c.both) {
      // Edge (0,1) of the cell runs from a + b + c to a + c: along b.
      const TVector e = Sub(PointOf(RealLine(0), 0), PointOf(RealLine(0), 1));
      EXPECT_NEAR(Len(Sub(e, s1.VecB)), 0, 1e-9);
    }
    if (c.nReal == -1 && c.both) {
      for (int i = 0; i < 4; ++i) EXPECT_NEAR(PointOf(*charts.SeriesPoint, i).z, 0, 1e-9);
    }
  }
}

TEST_F(RealScene, TwoStructuresSplitTheLayers) {
  s2.InUse = true;
  Recompute();
  DrawLatticeNodes(scene, s1);
  ASSERT_EQ(charts.SeriesPoint->Count(), 75);  // l = -2..0
  DrawLatticeNodes(scene, s2);
  ASSERT_EQ(charts.SeriesPoint->Count(), 125);  // structure 2 adds l = 1..2
  std::set<long> layers1, layers2;
  for (int i = 0; i < 125; ++i) {
    const double z = PointOf(*charts.SeriesPoint, i).z;
    (i < 75 ? layers1 : layers2).insert(std::lround(z / s1.VecC.z * 100));
  }
  EXPECT_EQ(layers1, (std::set<long>{-200, -100, 0}));
  EXPECT_EQ(*layers2.begin(), std::lround(s2.VecC.z / s1.VecC.z * 100));
  EXPECT_EQ(layers2.size(), 2u);
  EXPECT_EQ(charts.SeriesPoint->ValueColor(124), s2.NodeColour);
}

TEST_F(RealScene, PlanesOf004AndTheSpacingArrow) {
  const struct {
    int32_t divisor;
    bool both;
    int planes;
    double spacing;  // in lattice parameters
    double arrowZ;   // in lattice parameters
  } cases[] = {{1, false, 17, 0.25, 0.25},
               {2, false, 35, 0.125, 0.25},
               // Beside the layer the substrate's block ends half a cell above the surface.
               {1, true, 11, 0.25, -0.25}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "divisor " << c.divisor << (c.both ? " both" : ""));
    Settings.PlaneDivisor = c.divisor;
    s2.InUse = c.both;
    Recompute();
    const double a = s1.LatticeA;
    DrawPlanes(scene, s1, s1.Corners);  // the block of "Real", +-2.2 cells
    ASSERT_EQ(pool.PlaneSurfaces.Count(), c.planes);
    std::vector<double> heights;
    for (int i = 0; i < c.planes; ++i) {
      const TTriSurfaceSeries& plane = Plane(i);
      ASSERT_GE(plane.Count(), 4);
      EXPECT_EQ(plane.SeriesColor(), s1.SurfaceColour);
      const double z = Unshifted(PointOf(plane, 0)).z;
      for (int j = 1; j < plane.Count(); ++j) EXPECT_NEAR(Unshifted(PointOf(plane, j)).z, z, 1e-9);
      heights.push_back(z);
    }
    // Plane m lies at -m d, the first drawn is the highest.
    for (size_t i = 1; i < heights.size(); ++i)
      EXPECT_NEAR(heights[i - 1] - heights[i], c.spacing * a, 1e-9);
    ASSERT_EQ(charts.SeriesVec2->Count(), 1);
    const TVector arrow = EndOf(*charts.SeriesVec2, 0);
    EXPECT_NEAR(arrow.x, 0, 1e-12);
    EXPECT_NEAR(arrow.y, 0, 1e-12);
    EXPECT_NEAR(arrow.z, c.arrowZ * a, 1e-9);
  }
}

TEST_F(RealScene, PlaneThroughACornerTakesItOnce) {
  // One cubic cell from the origin and the planes x + y + z = const of 1 1 1.
  const double a = 4;
  s1.VecA = {a, 0, 0};
  s1.VecB = {0, a, 0};
  s1.VecC = {0, 0, a};
  s1.RecA = {1 / a, 0, 0};
  s1.RecB = {0, 1 / a, 0};
  s1.RecC = {0, 0, 1 / a};
  Settings.Hkl = {1, 1, 1};
  Settings.NReal = -1;
  const TBlockCorners cell{TVector{a, a, a}, {a, 0, a}, {0, 0, a}, {0, a, a},
                           {a, a, 0},        {a, 0, 0}, {0, 0, 0}, {0, a, 0}};
  DrawPlanes(scene, s1, cell);
  // x + y + z = 3a, 2a, a: one corner, then two triangles of three corners each. The plane
  // through the origin misses the cell, whose corners at z = 0 are lifted for it.
  ASSERT_EQ(pool.PlaneSurfaces.Count(), 3);
  EXPECT_EQ(Plane(0).Count(), 1);
  EXPECT_EQ(Plane(1).Count(), 3);
  EXPECT_EQ(Plane(2).Count(), 3);
  EXPECT_NEAR(Len(Sub(Unshifted(PointOf(Plane(0), 0)), {a, a, a})), 0, 1e-9);
}

TEST_F(RealScene, BraggLawWaveTrains) {
  Settings.BraggLaw = true;
  Recompute();  // leaves K0 along the normal; "Real" solves the beams itself
  ShowRealSpace(scene, s1);
  EXPECT_GT(s1.IncidenceAngle, 0);
  // The grey construction: P at the depth of the block and its two projections.
  ASSERT_EQ(charts.SeriesLines->Count(), 3);
  EXPECT_NEAR(EndOf(*charts.SeriesLines, 0).z, -4.4 * s1.LatticeA, 1e-9);
  // Positive planes within the block: m = 1..8 (the block ends 2.2 cells down).
  ASSERT_EQ(pool.RealLines.Count(), 8);
  EXPECT_EQ(charts.SeriesBeams->Count(), 16);
  const double k = s1.WaveNumber;
  for (int m = 1; m <= 8; ++m) {
    const TPoint3DSeries& train = RealLine(m - 1);
    ASSERT_EQ(train.Count(), 202);
    EXPECT_EQ(train.LinePen().Color, clFuchsia);
    EXPECT_EQ(train.LinePen().Width, 2);
    EXPECT_TRUE(train.Pointer().Visible);
    EXPECT_EQ(train.ValueColor(0), clMaroon);
    // It starts on the wavefront through the origin...
    EXPECT_NEAR(Dot3(PointOf(train, 0), s1.K0) / k, 0, 1e-9);
    // ...and the incident half ends at the plane's foot point, give or take the amplitude.
    const TVector foot{0, 0, -m * s1.LatticeA / 4};
    EXPECT_LE(Len(Sub(PointOf(train, 100), foot)), 0.5 + 1e-9);
    // The diffracted half ends on the wavefront of Kh through the origin.
    EXPECT_NEAR(Dot3(PointOf(train, 201), s1.Kh) / k, 0, 0.5 + 1e-9);
  }
  EXPECT_TRUE(AllFinite(charts.Chart1));
}

TEST_F(RealScene, DegenerateBraggConstructionDrawsNoTrains) {
  Settings.BraggLaw = true;
  Recompute();
  Solve(s1);
  const struct {
    const char* what;
    TVector k0, kh;
  } cases[] = {
      {"back reflection (K0 parallel to Kh)", {0.3, 0.2, -0.5}, {-0.3, -0.2, 0.5}},
      {"no solution (zero K0)", {0, 0, 0}, {0, 0, 0}},
      {"K0 along an axis", {0, 0, -0.6}, {0, 0, 0.6}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    s1.K0 = c.k0;
    s1.Kh = c.kh;
    charts.SeriesBeams->Clear();
    DrawPlanes(scene, s1, s1.Corners);
    EXPECT_EQ(pool.PlaneSurfaces.Count(), 17);
    EXPECT_EQ(WaveTrains(), 0);
    EXPECT_TRUE(AllFinite(charts.Chart1));
  }
}

TEST_F(RealScene, DefaultSlab) {
  Recompute();
  BeamsAndSlab(s1);
  const double a = s1.LatticeA;
  const TBlockCorners corners = BlockCorners(s1);
  ASSERT_EQ(pool.RealLines.Count(), 12);
  for (int i = 0; i < 12; ++i) {
    const TPoint3DSeries& edge = RealLine(i);
    ASSERT_EQ(edge.Count(), 2);
    EXPECT_EQ(edge.LinePen().Color, clAqua);
    EXPECT_EQ(edge.LinePen().Width, 2);
    EXPECT_FALSE(edge.Pointer().Visible);
    for (int j = 0; j < 2; ++j) {
      const TVector corner =
          corners[static_cast<size_t>(BlockEdges[static_cast<size_t>(i)][static_cast<size_t>(j)])];
      EXPECT_NEAR(Len(Sub(PointOf(edge, j), corner)), 0, 1e-12);
    }
  }
  // Corners 0..3 counter-clockwise at z = 0, 1.001 NReal a out; 4..7 one cell below.
  EXPECT_NEAR(corners[0].x, 2.002 * a, 1e-12);
  EXPECT_NEAR(corners[1].x, -2.002 * a, 1e-12);
  EXPECT_NEAR(corners[1].y, 2.002 * a, 1e-12);
  EXPECT_NEAR(corners[5].z, -a, 1e-9);
  // Two layers of 5 x 5 nodes: the surface and one cell below.
  ASSERT_EQ(charts.SeriesPoint->Count(), 50);
  std::set<long> layers;
  for (int i = 0; i < 50; ++i)
    layers.insert(std::lround(PointOf(*charts.SeriesPoint, i).z / a * 1000));
  EXPECT_EQ(layers, (std::set<long>{-1000, 0}));
  EXPECT_DOUBLE_EQ(charts.SeriesPoint->RadiusValue(0), 0.05 * a);
  // Planes z = 0, -a/4, ..., -a; the surface and the plane of incidence.
  EXPECT_EQ(pool.PlaneSurfaces.Count(), 5);
  ASSERT_EQ(charts.SeriesSurf->Count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(PointOf(*charts.SeriesSurf, i).z, 0);
  ASSERT_EQ(charts.SeriesSurfInc->Count(), 4);
  EXPECT_DOUBLE_EQ(PointOf(*charts.SeriesSurfInc, 1).y, 0.01);
  EXPECT_NEAR(PointOf(*charts.SeriesSurfInc, 0).x, s1.Extent.x, 1e-3);

  // The crystal turned by Phi turns the slab, not its depth.
  Settings.Phi = 30 * kDegree;
  const TBlockCorners turned = BlockCorners(s1);
  EXPECT_NEAR(std::atan2(turned[0].y, turned[0].x), 15 * kDegree, 1e-12);
  EXPECT_NEAR(turned[4].z, -a, 1e-9);
}

TEST_F(RealScene, BeamsObeyBraggsLawAgainstTheDrawnSurface) {
  const struct {
    std::array<int32_t, 3> hkl;
    std::array<int32_t, 3> planePoint;
    double planeTilt;  // angle between the reflecting planes and the surface, degrees
  } cases[] = {{{0, 0, 4}, {0, 1, 0}, 0}, {{2, 2, 4}, {1, 1, 0}, 35.264389682754654}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.hkl[0] << c.hkl[1] << c.hkl[2]);
    Settings.Hkl = c.hkl;
    Recompute(c.planePoint);
    BeamsAndSlab(s1);
    const double a = s1.LatticeA;
    const double d =
        a / std::sqrt(double(c.hkl[0] * c.hkl[0] + c.hkl[1] * c.hkl[1] + c.hkl[2] * c.hkl[2]));
    const double bragg = std::asin(Settings.Lambda / (2 * d));
    if (c.hkl[0] == 0) {
      EXPECT_NEAR(bragg / kDegree, 34.55, 0.005);
    }

    ASSERT_EQ(charts.SeriesBeams->Count(), 2);
    const TVector k0 = Sub(EndOf(*charts.SeriesBeams, 0), PointOf(*charts.SeriesBeams, 0));
    const TVector kh = Sub(EndOf(*charts.SeriesBeams, 1), PointOf(*charts.SeriesBeams, 1));
    // K0 comes down onto the surface, Kh leaves it upwards (Bragg case).
    EXPECT_GT(PointOf(*charts.SeriesBeams, 0).z, 0);
    EXPECT_GT(EndOf(*charts.SeriesBeams, 1).z, 0);
    const double in = AngleToSurface(k0, *charts.SeriesSurf);
    const double out = AngleToSurface(kh, *charts.SeriesSurf);
    EXPECT_NEAR(in, s1.IncidenceAngle, 1e-9);
    EXPECT_NEAR(out, s1.ExitAngle, 1e-9);
    EXPECT_NEAR(in + out, 2 * bragg, 1e-9);
    EXPECT_NEAR(std::fabs(in - out) / 2, c.planeTilt * kDegree, 1e-9);
    EXPECT_NEAR(Len(k0), Len(kh), 1e-9);

    // In reciprocal space Kh runs from the start of K0 to the node H, the end of Q.
    ASSERT_EQ(charts.SeriesBeamsRec->Count(), 3);
    EXPECT_EQ(charts.SeriesBeamsRec->Label(2), "Q");
    EXPECT_NEAR(Len(Sub(EndOf(*charts.SeriesBeamsRec, 1), EndOf(*charts.SeriesBeamsRec, 2))), 0,
                1e-12);
  }
}

TEST_F(RealScene, QArrowIsLeftOutOnlyForOmega2ThetaWithN2) {
  Recompute();
  Solve(s1);
  const struct {
    bool omega, twoTheta;
    double n;
    int arrows;
  } cases[] = {{true, true, 2, 2}, {true, true, 2.5, 3}, {false, true, 2, 3}, {true, false, 2, 3}};
  for (const auto& c : cases) {
    Settings.OmegaScan = c.omega;
    Settings.TwoThetaScan = c.twoTheta;
    Settings.ScanN = c.n;
    DrawBeamsReciprocal(scene, s1);
    EXPECT_EQ(charts.SeriesBeamsRec->Count(), c.arrows) << c.omega << c.twoTheta << c.n;
  }
}

TEST_F(RealScene, SecondPairAndUnreachableReflectionAreDrawnDashed) {
  const struct {
    const char* what;
    std::array<int32_t, 3> hkl;
    bool bothBeams;
    int solid;   // arrows of non-zero length in SeriesBeams
    int dashed;  // arrows in SeriesBeams2
  } cases[] = {{"224 with both beams", {2, 2, 4}, true, 2, 2},
               {"224", {2, 2, 4}, false, 2, 0},
               {"0 0 12 unreachable", {0, 0, 12}, false, 0, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Settings.Hkl = c.hkl;
    Settings.BothBeams = c.bothBeams;
    Settings.BraggLaw = true;
    Recompute({1, 1, 0});
    BeamsAndSlab(s1);
    // The first two arrows are the beams at the origin; the demonstration adds more.
    ASSERT_GE(charts.SeriesBeams->Count(), 2);
    int solid = 0;
    for (int i = 0; i < 2; ++i) {
      solid += Len(Sub(EndOf(*charts.SeriesBeams, i), PointOf(*charts.SeriesBeams, i))) > 1e-9;
    }
    EXPECT_EQ(solid, c.solid);
    EXPECT_EQ(charts.SeriesBeams2->Count(), c.dashed);
    EXPECT_EQ(charts.SeriesBeams2->Pen().Style, TPenStyle::psDash);
    EXPECT_EQ(charts.SeriesBeamsRec2->Count(), c.dashed);
    EXPECT_TRUE(AllFinite(charts.Chart1));
    EXPECT_TRUE(AllFinite(charts.Chart2));
  }
}

TEST_F(RealScene, BraggCircleIsTheOnlyReciprocalLine) {
  Settings.BraggCircle = true;
  Recompute();
  Solve(s1);
  for (int i = 0; i < 3; ++i) pool.Create<TPoint3DSeries>(pool.ReciprocalLines, charts.Chart2);
  DrawBeamsReal(scene, s1);
  ASSERT_EQ(pool.ReciprocalLines.Count(), 1);
  const auto& circle = *static_cast<const TPoint3DSeries*>(pool.ReciprocalLines[0]);
  EXPECT_EQ(circle.ParentChart(), &charts.Chart2);
  EXPECT_EQ(circle.LinePen().Color, clBlue);
  EXPECT_EQ(circle.ValueColor(0), clRed);
  ASSERT_EQ(circle.Count(), 51);
  EXPECT_NEAR(Len(Sub(PointOf(circle, 49), {-s1.K0.x, -s1.K0.y, -s1.K0.z})), 0, 1e-12);
  EXPECT_NEAR(Len(Sub(PointOf(circle, 50), PointOf(circle, 0))), 0, 1e-12);
  // Every point is an incident direction that meets Bragg's law: |-v + H| = K.
  for (int i = 0; i < 51; ++i) {
    const TVector v = PointOf(circle, i);
    EXPECT_NEAR(Len({-v.x + s1.HVector.x, -v.y + s1.HVector.y, -v.z + s1.HVector.z}), s1.WaveNumber,
                1e-12);
  }

  // The reflection 0 0 0 draws no beam and leaves the range as it was.
  pool.Create<TPoint3DSeries>(pool.ReciprocalLines, charts.Chart2);
  Settings.Hkl = {0, 0, 0};
  Solve(s1);
  DrawBeamsReal(scene, s1);
  EXPECT_EQ(pool.ReciprocalLines.Count(), 2);
  EXPECT_EQ(charts.SeriesBeams->Count(), 0);
}

TEST_F(RealScene, PoolRangesNeverOverflow) {
  // 0 0 200 at a short wavelength: 201 planes in the slab, each positive one within reach of
  // the construction asks for a wave train.
  Settings.Hkl = {0, 0, 200};
  Settings.Lambda = 0.05;
  Settings.BraggLaw = true;
  Recompute();
  BeamsAndSlab(s1);
  ASSERT_GT(s1.IncidenceAngle, 0);
  EXPECT_EQ(pool.PlaneSurfaces.Count(), 100);
  // Planes 100 to 200 share the last surface, four corners each.
  EXPECT_EQ(Plane(99).Count(), 4 * 102);
  EXPECT_EQ(WaveTrains(), WaveTrainLimit);
  EXPECT_EQ(pool.RealLines.Count(), WaveTrainLimit + 12);

  // The layer adds its slab edges; the range is then exactly full.
  s2.InUse = true;
  Recompute();
  BeamsAndSlab(s1);
  BeamsAndSlab(s2);
  ASSERT_EQ(pool.RealLines.Count(), TPoolRange::Capacity);
  for (int i = WaveTrainLimit; i < TPoolRange::Capacity; ++i)
    EXPECT_EQ(RealLine(i).LinePen().Color, clAqua);

  // Planes far closer than any chart can show still give a bounded drawing.
  Settings.Hkl = {0, 0, 20000};
  DrawPlanes(scene, s1, s1.Corners);
  EXPECT_EQ(pool.PlaneSurfaces.Count(), 100);
  EXPECT_LE(Plane(99).Count(), 10000 + 12);
  EXPECT_TRUE(AllFinite(charts.Chart1));
}

// The whole "Set hkl" with the reciprocal-space scenes.
TEST_F(RealScene, SetHklTwiceDoublesTheNodeAndTheLayerAddsToTheSubstrate) {
  Recompute();
  SetHkl(scene, s1);
  SetHkl(scene, s1);
  EXPECT_EQ(charts.SeriesPointRes->Count(), 2);
  EXPECT_EQ(pool.RealLines.Count(), 12);
  EXPECT_GT(s1.IncidenceAngle, 0);

  // The layer adds its nodes, slab edges, planes and H arrow; the beams show the layer alone.
  s2.InUse = true;
  Recompute();
  SetHkl(scene, s1);
  const int nodes1 = charts.SeriesPoint->Count();
  const int planes1 = pool.PlaneSurfaces.Count();
  SetHkl(scene, s2);
  EXPECT_EQ(pool.RealLines.Count(), 24);
  EXPECT_GT(charts.SeriesPoint->Count(), nodes1);
  EXPECT_GT(pool.PlaneSurfaces.Count(), planes1);
  EXPECT_EQ(charts.SeriesVecRecipr2->Count(), 2);
  ASSERT_EQ(charts.SeriesBeams->Count(), 2);
  EXPECT_EQ(charts.SeriesBeams->ValueColor(0), s2.IncidentColour);
  EXPECT_TRUE(AllFinite(charts.Chart1));
  EXPECT_TRUE(AllFinite(charts.Chart2));
}

}  // namespace
}  // namespace korvex
