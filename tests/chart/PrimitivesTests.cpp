// The pieces a series is cut into for the renderers: colours resolved once, non-finite
// points left out, surface pens tracing each edge once, fine grids merged by their size on
// screen, arrowheads at the tips of vectors.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "chart/Chart.h"
#include "chart/Primitives.h"

namespace korvex {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Primitives, SphereColoursFollowPointerPointAndSeriesInThatOrder) {
  TChart chart;
  auto* s = chart.CreateSeries<TBubble3DSeries>();
  s->SetSeriesColor(clGreen);
  s->Pointer().Transparency = 60;
  s->AddBubble(0, 0, 0, 1, "", clRed);
  s->AddBubble(1, 0, 0, 1);  // no colour of its own: the series'
  TSeriesPrimitives p = Decompose(*s, 100);
  ASSERT_EQ(p.Spheres.size(), 2u);
  EXPECT_EQ(p.Spheres[0].Fill, RgbaOf(clRed, 102));
  EXPECT_EQ(p.Spheres[1].Fill, RgbaOf(clGreen, 102));
  EXPECT_TRUE(p.Transparent);

  s->SetColorEachPoint(false);
  EXPECT_EQ(Decompose(*s, 100).Spheres[0].Fill, RgbaOf(clGreen, 102));
  s->Pointer().Color = clBlue;
  EXPECT_EQ(Decompose(*s, 100).Spheres[0].Fill, RgbaOf(clBlue, 102));
  s->Pointer().Transparency = 100;
  EXPECT_TRUE(Decompose(*s, 100).Spheres.empty());
}

TEST(Primitives, PointsThatCannotBeDrawnAreLeftOut) {
  TChart chart;
  auto* bubbles = chart.CreateSeries<TBubble3DSeries>();
  for (double r : {0.0, -1.0, kNaN, kInf}) bubbles->AddBubble(0, 0, 0, r);
  bubbles->AddBubble(kNaN, 0, 0, 1);
  bubbles->AddBubble(0, 0, 0, 0.5);
  EXPECT_EQ(Decompose(*bubbles, 100).Spheres.size(), 1u);

  // A line skips the two segments that touch a point at infinity.
  auto* line = chart.CreateSeries<TPoint3DSeries>();
  line->LinePen().Visible = true;
  for (double x : {0.0, 1.0, kInf, 3.0, 4.0}) line->AddXYZ(x, 0, 0);
  const TSeriesPrimitives p = Decompose(*line, 100);
  EXPECT_EQ(p.Segments.size(), 2u);
  EXPECT_EQ(p.Markers.size(), 4u);

  auto* vectors = chart.CreateSeries<TVector3DSeries>();
  vectors->AddVector(0, 0, 0, kNaN, 1, 1);
  EXPECT_TRUE(Decompose(*vectors, 100).Segments.empty());
  EXPECT_TRUE(Decompose(*vectors, 100).Arrowheads.empty());
}

// nodes x nodes points at height 0.1 i j; the node (0, holeAt) has no height.
TSurfaceSeries* Grid(TChart& chart, int nodes, double step, int holeAt = -1) {
  auto* s = chart.CreateSeries<TSurfaceSeries>();
  s->SetIrregularGrid(true);
  for (int i = 0; i < nodes; ++i)
    for (int j = 0; j < nodes; ++j) s->AddXYZ(i * step, i == 0 && j == holeAt ? kNaN : 0.1 * i * j, j * step);
  return s;
}

TEST(Primitives, SurfacePenTracesEveryEdgeOnce) {
  TChart chart;
  TSurfaceSeries* s = Grid(chart, 3, 1);  // 2 x 2 cells
  s->Pen().Visible = true;
  const TSeriesPrimitives p = Decompose(*s, 100);
  EXPECT_EQ(p.Mesh.Faces.size(), 4u);
  EXPECT_EQ(p.Mesh.Vertices.size(), 9u);
  ASSERT_EQ(p.Mesh.Edges.size(), 12u);  // 16 cell sides, 4 of them shared
  std::set<std::pair<unsigned, unsigned>> seen;
  for (const auto& e : p.Mesh.Edges) EXPECT_TRUE(seen.insert({std::min(e[0], e[1]), std::max(e[0], e[1])}).second);
  s->Pen().Visible = false;
  EXPECT_TRUE(Decompose(*s, 100).Mesh.Edges.empty());
}

// Cells are merged k by k while they are under 24 pixels, k at most 8, through the true
// nodes: the corners of the merged faces are nodes of the grid.
TEST(Primitives, FineGridsAreMergedByTheirSizeOnScreen) {
  TChart chart;
  TSurfaceSeries* s = Grid(chart, 17, 0.01);  // 16 x 16 cells
  struct Case {
    double pixelsPerUnit;
    size_t faces;
  } cases[] = {{2400, 256},  // cells of 24 px: as they are
               {1200, 64},   // 12 px: 2 by 2
               {600, 16},    // 6 px: 4 by 4
               {1, 4},       // far under a pixel: 8 by 8 at most
               {0, 256},     // no scale: nothing to go by
               {kNaN, 256}};
  for (const Case& c : cases) {
    const TSeriesPrimitives p = Decompose(*s, c.pixelsPerUnit);
    EXPECT_EQ(p.Mesh.Faces.size(), c.faces) << c.pixelsPerUnit;
    for (const auto& v : p.Mesh.Vertices) {
      const double i = v[0] / 0.01, j = v[2] / 0.01;
      EXPECT_NEAR(v[1], 0.1 * std::round(i) * std::round(j), 1e-9);
    }
  }
  // A block with a hole keeps those of its cells that do not touch it: at node (0, 1) the
  // first 2 x 2 block keeps two cells, the other 63 blocks are merged.
  EXPECT_EQ(Decompose(*Grid(chart, 17, 0.01, 1), 1200).Mesh.Faces.size(), 65u);
}

TEST(Primitives, VectorsCarryTheirArrowheadsAtTheTips) {
  TChart chart;
  auto* v = chart.CreateSeries<TVector3DSeries>();
  v->Pen().Width = 3;
  v->EndArrow().Width = 3;
  v->StartArrow().Visible = true;
  v->AddVector(1, 1, 1, 1, 4, 5, "", clRed);
  TSeriesPrimitives p = Decompose(*v, 100);
  ASSERT_EQ(p.Arrowheads.size(), 2u);
  ASSERT_EQ(p.Segments.size(), 1u);
  const TPrimArrowhead& end = p.Arrowheads[0];
  EXPECT_EQ(end.Tip[1], 4);
  EXPECT_NEAR(end.Dir[1], 0.6, 1e-12);
  EXPECT_NEAR(end.Dir[2], 0.8, 1e-12);
  EXPECT_EQ(end.Shaft, 5);
  EXPECT_EQ(end.Length, 17);  // pixels for width 3
  EXPECT_EQ(end.Color, RgbaOf(clRed, 255));
  const TPrimArrowhead& start = p.Arrowheads[1];
  EXPECT_EQ(start.Tip[2], 1);
  EXPECT_NEAR(start.Dir[2], -0.8, 1e-12);
  EXPECT_EQ(p.Segments[0].HeadB, 17);
  EXPECT_EQ(p.Segments[0].HeadA, 11);  // width 1

  // No pen: the heads stay, the shaft goes; a vector of no length has no heads.
  v->Pen().Visible = false;
  v->AddVector(2, 2, 2, 2, 2, 2);
  p = Decompose(*v, 100);
  EXPECT_TRUE(p.Segments.empty());
  EXPECT_EQ(p.Arrowheads.size(), 2u);
}

}  // namespace
}  // namespace korvex
