// Chart model: ownership, change notification, catalogue, grids, triangulation,
// projection. No window needed.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <set>

#include "chart/Catalogue.h"
#include "chart/Chart.h"
#include "chart/Projection.h"
#include "chart/Triangulation.h"

namespace korvex {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct TCountingObserver : IChartObserver {
  int Changes = 0;
  bool Gone = false;
  void ChartChanged(TChart&) override { ++Changes; }
  void ChartDestroying(TChart&) override { Gone = true; }
};

TEST(ChartOwnership, RunTimeSeriesDieWithTheirChartAndDetachWhenDestroyed) {
  TCountingObserver obs;
  TPoint3DSeries* loose = new TPoint3DSeries();  // owned by nobody
  {
    TChart chart;
    chart.AddObserver(&obs);
    auto* a = new TTriSurfaceSeries(&chart);
    a->SetParentChart(&chart);
    auto* b = chart.CreateSeries<TPoint3DSeries>("b");
    loose->SetParentChart(&chart);
    ASSERT_EQ(chart.SeriesCount(), 3);
    EXPECT_EQ(chart.Series()[0], a);  // drawing order is attaching order

    delete a;  // freeing a pool slot
    ASSERT_EQ(chart.SeriesCount(), 2);
    EXPECT_EQ(chart.Series()[0], b);
    EXPECT_EQ(chart.FindSeries("b"), b);
    // b dies with the chart; loose is only detached.
  }
  EXPECT_TRUE(obs.Gone);
  EXPECT_EQ(loose->ParentChart(), nullptr);
  loose->AddXYZ(1, 2, 3);  // still usable, tells nobody
  delete loose;
}

TEST(ChartNotification, ManyChangesGiveOneNotificationUntilDrawn) {
  TChart chart;
  TCountingObserver obs;
  chart.AddObserver(&obs);
  auto* s = chart.CreateSeries<TBubble3DSeries>();
  EXPECT_EQ(obs.Changes, 1);
  for (int i = 0; i < 1000; ++i) s->AddBubble(i, i, i, 1, "", clRed);
  chart.View3DOptions().SetRotation(10);
  EXPECT_EQ(obs.Changes, 1);

  // Changes made by the before-draw event belong to that drawing.
  chart.BeginDraw();
  chart.Foot().Text = "credit";
  s->SetSeriesColor(clBlue);
  chart.EndDraw();
  EXPECT_FALSE(chart.ChangePending());
  EXPECT_EQ(obs.Changes, 1);

  s->SetActive(false);
  EXPECT_EQ(obs.Changes, 2);
  chart.BeginDraw();
  chart.EndDraw();
  s->SetActive(false);  // no change, no notification
  chart.View3DOptions().SetRotation(10);
  EXPECT_EQ(obs.Changes, 2);
  chart.RemoveObserver(&obs);
}

TEST(ChartSeries, HiddenSeriesKeepPointsAndOneColourOverridesPointColours) {
  TChartCatalogue cat;
  auto* s = cat.SeriesPointRes;
  s->AddBubble(1, 2, 3, 0.5, "004", clBlue);
  s->SetActive(false);
  s->SetActive(true);
  ASSERT_EQ(s->Count(), 1);
  EXPECT_DOUBLE_EQ(s->ZValue(0), 3);
  EXPECT_EQ(s->Label(0), "004");
  EXPECT_EQ(s->ValueColor(0), clBlue);

  cat.SeriesRealPSDpoints->AddBubble(0, 0, 0, 1, "", clRed);
  EXPECT_EQ(cat.SeriesRealPSDpoints->ValueColor(0), clNavy);
  s->Clear();
  EXPECT_EQ(s->Count(), 0);
}

TEST(ChartCatalogue, BothChartsCarryTheirSeriesWithInitialSettings) {
  TChartCatalogue cat;
  EXPECT_FALSE(cat.Chart1.ChangePending());
  EXPECT_EQ(cat.Chart1.SeriesCount(), 12);
  EXPECT_EQ(cat.Chart2.SeriesCount(), 25);
  EXPECT_EQ(cat.Chart1.Series().front(), cat.SeriesSpheres);
  EXPECT_EQ(cat.Chart2.Series().back(), cat.SeriesNothingRec);
  EXPECT_EQ(cat.Chart2.FindSeries("SeriesSurfK00"), cat.SeriesSurfK00);
  EXPECT_EQ(cat.Chart1.Hint, "Real space and map examples");
  EXPECT_FALSE(cat.Chart1.BottomAxis().Automatic());
  EXPECT_FALSE(cat.TeeOpenGL1.Active());
  EXPECT_TRUE(cat.TeeOpenGL2.Light1.FixedPosition);

  // A sample of the table: one row of each kind.
  EXPECT_EQ(cat.SeriesVec->Pen().Width, 5);
  EXPECT_TRUE(cat.SeriesVec->StartArrow().Visible);
  EXPECT_FALSE(cat.SeriesVec->EndArrow().Visible);
  EXPECT_TRUE(cat.SeriesVec->Marks().Visible);
  EXPECT_EQ(cat.SeriesVec->Marks().Font.Height, 21);
  EXPECT_EQ(cat.SeriesBeams2->Pen().Style, TPenStyle::psDash);
  EXPECT_EQ(cat.SeriesSphereKh->Pointer().Transparency, 60);
  EXPECT_FALSE(cat.SeriesSphereKh->Pointer().Pen.Visible);
  EXPECT_EQ(cat.SeriesDetector->Pointer().Style, TPointerStyle::psRectangle);
  EXPECT_EQ(cat.SeriesDetector->Pointer().Size, 20);
  EXPECT_FALSE(cat.SeriesSurfK00->Active());
  EXPECT_EQ(cat.SeriesSurfK00->SeriesColor(), 0x408000u);
  EXPECT_TRUE(cat.SeriesSurfK00->IrregularGrid());
  EXPECT_FALSE(cat.SeriesSurfK00->UseColorRange());
  EXPECT_TRUE(cat.SeriesSurfResPlane->FastBrush());
  EXPECT_EQ(cat.SeriesCircle2->LinePen().Color, clMaroon);
  EXPECT_FALSE(cat.SeriesCircle2->Pointer().Visible);
  EXPECT_EQ(static_cast<const TChart&>(cat.Chart1).Title().Font.Height, 40);
}

TEST(ChartAxes, AutomaticRangesFollowFiniteDataOfActiveSeries) {
  TChart chart;
  auto* s = chart.CreateSeries<TBubble3DSeries>();
  auto* v = chart.CreateSeries<TVector3DSeries>();
  s->AddBubble(1, 2, 3, 0.5);
  s->AddBubble(kNaN, 100, kInf, 1);  // ignored
  v->AddVector(0, 0, 0, -4, 5, 6);
  double lo, hi;
  chart.AxisRange(0, lo, hi);
  EXPECT_DOUBLE_EQ(lo, -4);
  EXPECT_DOUBLE_EQ(hi, 1.5);
  chart.AxisRange(1, lo, hi);
  EXPECT_DOUBLE_EQ(hi, 5);
  v->SetActive(false);
  chart.AxisRange(2, lo, hi);
  EXPECT_DOUBLE_EQ(lo, 2.5);
  EXPECT_DOUBLE_EQ(hi, 3.5);
  chart.LeftAxis().SetAutomatic(false);
  chart.LeftAxis().SetMinMax(-7, 7);
  chart.AxisRange(1, lo, hi);
  EXPECT_DOUBLE_EQ(lo, -7);
  EXPECT_DOUBLE_EQ(hi, 7);
  chart.DepthAxis().SetAutomatic(false);
  chart.DepthAxis().SetMinMax(kNaN, 3);  // an unusable range falls back to a box
  chart.AxisRange(2, lo, hi);
  EXPECT_TRUE(std::isfinite(lo) && std::isfinite(hi) && lo < hi);
}

TEST(SurfaceGrid, IrregularPointsFormCellsAndSkipMissingOrNonFiniteNodes) {
  TSurfaceSeries s;
  // 3 x 2 nodes at uneven spacing, added in any order; one node missing a height.
  const double xs[] = {0, 0.3, 1.7};
  const double zs[] = {-1, 2};
  for (double z : zs)
    for (double x : xs) s.AddXYZ(x, x + z, z);
  s.AddXYZ(kNaN, 1, 2);  // left out, adds no column
  s.AddXYZ(1.7, 9, 2);    // same node again: the later height counts
  const TSurfaceGrid& g = s.Grid();
  ASSERT_EQ(g.Xs.size(), 3u);
  ASSERT_EQ(g.Zs.size(), 2u);
  EXPECT_EQ(g.Cells.size(), 2u);
  EXPECT_DOUBLE_EQ(s.YValue(g.NodeIndex(2, 1)), 9);
  EXPECT_EQ(&s.Grid(), &g);

  TSurfaceSeries holes;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      if (!(i == 1 && j == 1)) holes.AddXYZ(i, 0, j);
  EXPECT_EQ(holes.Grid().Cells.size(), 0u);  // every cell touches the missing centre
  holes.AddXYZ(1, kNaN, 1);  // a node without a height is still a hole
  EXPECT_EQ(holes.Grid().Cells.size(), 0u);
}

double TriangleArea(const std::vector<TVec3>& p, const std::array<int, 3>& t) {
  const TVec3 &a = p[static_cast<size_t>(t[0])], &b = p[static_cast<size_t>(t[1])], &c = p[static_cast<size_t>(t[2])];
  const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
  const double v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
  return 0.5 * std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
}

TEST(Triangulation, PlanesOfAnyOrientationAreFilledCompletely) {
  struct Case {
    const char* name;
    std::vector<TVec3> pts;
    double area;
  };
  const double s = std::sqrt(0.5);
  const Case cases[] = {
      {"horizontal square", {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}, 1},
      {"vertical square x = const", {{2, 0, 0}, {2, 1, 1}, {2, 1, 0}, {2, 0, 1}}, 1},
      {"vertical diagonal plane", {{0, 0, 0}, {s, 0, s}, {0, 2, 0}, {s, 2, s}}, 2},
      // Hexagon of a plane cutting a cube, points in edge order, with a repeat.
      {"hexagon", {{1, 0, 0.5}, {0.5, 0, 1}, {0, 0.5, 1}, {0, 1, 0.5}, {0.5, 1, 0}, {1, 0.5, 0}, {1, 0, 0.5}},
       0.75 * std::sqrt(3.0)},
  };
  for (const Case& c : cases) {
    const auto tris = TriangulatePlanar(c.pts);
    double area = 0;
    for (const auto& t : tris) area += TriangleArea(c.pts, t);
    EXPECT_NEAR(area, c.area, 1e-9) << c.name;
    // The outline is a closed loop: every outline vertex has two outline edges.
    std::map<int, int> degree;
    for (const auto& e : BoundaryEdges(tris)) {
      ++degree[e[0]];
      ++degree[e[1]];
    }
    for (const auto& [v, d] : degree) EXPECT_EQ(d, 2) << c.name;
  }
}

TEST(Triangulation, DegenerateInputGivesNoTriangles) {
  const std::vector<std::vector<TVec3>> cases = {
      {},
      {{0, 0, 0}},
      {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},          // the reset leaves one point
      {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}},          // a line
      {{0, 0, 0}, {1, 0, 0}, {kNaN, 0, 1}},        // a line once NaN is dropped
  };
  for (const auto& c : cases) EXPECT_TRUE(TriangulatePlanar(c).empty()) << c.size();
}

TEST(Triangulation, HeightFieldKeepsEveryPointAndTheDelaunayProperty) {
  std::vector<TVec3> pts;
  unsigned seed = 12345;
  auto rnd = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return ((seed >> 8) & 0xFFFF) / 65535.0;
  };
  for (int i = 0; i < 200; ++i) {
    const double x = rnd(), z = rnd();
    pts.push_back({x, 0.1 * std::sin(6 * x) * z, z});
  }
  const auto tris = TriangulatePlanar(pts);
  std::set<int> used;
  for (const auto& t : tris) used.insert(t.begin(), t.end());
  EXPECT_EQ(used.size(), pts.size());
  // Euler: a triangulated disc with n points and h outline points has 2n - h - 2 triangles.
  const auto outline = BoundaryEdges(tris);
  EXPECT_EQ(tris.size(), 2 * pts.size() - outline.size() - 2);
}

// Large sets go in shuffled (a point set along x used to take seconds); they must still be
// filled exactly once everywhere: no gap, no triangle folded over another. Checked in the
// plane y = 0, where every triangle must turn the same way and the areas must add up to the
// area the points span.
TEST(Triangulation, LargeSetsAreFilledWithoutGapsOrOverlaps) {
  struct Case {
    const char* name;
    std::vector<TVec3> pts;
    double area;
  };
  std::vector<Case> cases;
  {
    Case grid{"60 x 60 grid, every cell on one circle", {}, 59.0 * 59.0};
    for (int i = 0; i < 60; ++i)
      for (int j = 0; j < 60; ++j) grid.pts.push_back({double(i), 0, double(j)});
    cases.push_back(grid);
  }
  {
    // Points on the four sides of a square only, as the cuts of many planes through a block
    // lie on its edges, and its centre.
    Case lines{"square outline of 4000 points", {{0.5, 0, 0.5}}, 1.0};
    for (int i = 0; i < 1000; ++i) {
      const double t = i / 1000.0;
      for (TVec3 q : {TVec3{t, 0, 0}, TVec3{1, 0, t}, TVec3{1 - t, 0, 1}, TVec3{0, 0, 1 - t}})
        lines.pts.push_back(q);
    }
    cases.push_back(lines);
  }
  {
    Case random{"3000 random points in a square with its corners",
                {{0, 0, 0}, {2, 0, 0}, {2, 0, 2}, {0, 0, 2}},
                4.0};
    unsigned seed = 777;
    for (int i = 0; i < 3000; ++i) {
      seed = seed * 1103515245u + 12345u;
      const double x = ((seed >> 8) & 0xFFFF) / 65535.0 * 2;
      seed = seed * 1103515245u + 12345u;
      random.pts.push_back({x, 0, ((seed >> 8) & 0xFFFF) / 65535.0 * 2});
    }
    cases.push_back(random);
  }
  for (const Case& c : cases) {
    const auto tris = TriangulatePlanar(c.pts);
    double area = 0;
    int turns[2] = {0, 0};
    std::set<int> used;
    for (const auto& t : tris) {
      const TVec3 &a = c.pts[static_cast<size_t>(t[0])], &b = c.pts[static_cast<size_t>(t[1])],
                  &d = c.pts[static_cast<size_t>(t[2])];
      const double turn = (b[2] - a[2]) * (d[0] - a[0]) - (b[0] - a[0]) * (d[2] - a[2]);
      ++turns[turn > 0 ? 0 : 1];
      area += 0.5 * std::fabs(turn);
      used.insert(t.begin(), t.end());
    }
    EXPECT_NEAR(area, c.area, 1e-9 * c.area) << c.name;
    EXPECT_EQ(std::min(turns[0], turns[1]), 0) << c.name << ": triangles folded over";
    // Points on the outline between two corners may be bridged by a flat triangle that is
    // left out; every other point is a corner of some triangle.
    EXPECT_GE(used.size(), c.pts.size() * 99 / 100) << c.name;
  }
}

TEST(Triangulation, TriSurfaceSeriesCachesUntilItsPointsChange) {
  TTriSurfaceSeries s;
  s.AddXYZ(0, 0, 0);
  s.AddXYZ(0, 1, 0);
  s.AddXYZ(0, 0, 1);
  const auto* first = &s.Triangulation();
  EXPECT_EQ(first->Triangles.size(), 1u);
  s.SetSeriesColor(clBlue);  // looks only
  EXPECT_EQ(s.Triangulation().Triangles.size(), 1u);
  s.AddXYZ(0, 1, 1);
  EXPECT_EQ(s.Triangulation().Triangles.size(), 2u);
}

TEST(Projection, ResetViewShowsTopAndRightSideWithEqualScale) {
  TChart chart;
  for (TChartAxis* a : {&chart.BottomAxis(), &chart.LeftAxis(), &chart.DepthAxis()}) {
    a->SetAutomatic(false);
    a->SetMinMax(-1, 1);
  }
  chart.View3DOptions().SetRotation(0);
  chart.View3DOptions().SetElevation(0);
  TProjection p = TProjection::ForChart(chart, 400, 200);
  EXPECT_DOUBLE_EQ(p.Scale, 100);  // the narrow side fits the range
  auto c = p.Project(0, 0, 0);
  EXPECT_DOUBLE_EQ(c[0], 200);
  EXPECT_DOUBLE_EQ(c[1], 100);
  auto x = p.Project(1, 0, 0), y = p.Project(0, 1, 0), z = p.Project(0, 0, 1);
  EXPECT_NEAR(x[0], 300, 1e-9);  // x to the right
  EXPECT_NEAR(y[1], 0, 1e-9);    // y up
  EXPECT_NEAR(z[2], 1, 1e-9);    // depth into the screen

  chart.View3DOptions().SetRotation(345);
  chart.View3DOptions().SetElevation(345);
  p = TProjection::ForChart(chart, 400, 400);
  // The top face (normal +y) and the right face (normal +x) turn towards the viewer.
  EXPECT_LT(p.RotateToView(0, 1, 0)[2], 0);
  EXPECT_LT(p.RotateToView(1, 0, 0)[2], 0);
  // Rotation keeps lengths: a unit along each axis spans the same pixels.
  for (auto v : {p.RotateToView(1, 0, 0), p.RotateToView(0, 1, 0), p.RotateToView(0, 0, 1)})
    EXPECT_NEAR(v[0] * v[0] + v[1] * v[1] + v[2] * v[2], 1, 1e-12);

  chart.SetView3D(false);  // flat: front view whatever the angles
  p = TProjection::ForChart(chart, 400, 400);
  EXPECT_NEAR(p.Project(0, 0, 1)[0], 200, 1e-9);

  int r, e;
  RotateByDrag(350, 5, 20, 10, r, e);
  EXPECT_EQ(r, 10);
  EXPECT_EQ(e, 355);
}

}  // namespace
}  // namespace korvex
