// Both renderers draw small scenes into images whose pixels are checked; the view
// widget switches to OpenGL and back, falls back to the canvas when OpenGL cannot
// start, repaints once per batch of changes and turns with the mouse.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "chart/Chart.h"
#include "chart/view/CanvasRenderer.h"
#include "chart/view/ChartView.h"
#include "chart/view/Commander.h"
#include "chart/view/GLRenderer.h"
#include "chart/view/LeakCheck.h"
#include "chart/view/OffscreenGL.h"
#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/ReciprocalLattice.h"
#include "scenes/SceneReset.h"

namespace korvex {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const QSize kSize(200, 200);

void UnitBox(TChart& c) {
  for (TChartAxis* a : {&c.BottomAxis(), &c.LeftAxis(), &c.DepthAxis()}) {
    a->SetAutomatic(false);
    a->SetMinMax(-1, 1);
  }
}

enum class TRenderer { Canvas, OpenGL };

}  // namespace
// One OpenGL context for the renderer tests; it must go before the application does.
std::unique_ptr<TOffscreenGL>& SharedGL() {
  static std::unique_ptr<TOffscreenGL> gl;
  if (!gl) gl = std::make_unique<TOffscreenGL>();
  return gl;
}
namespace {

QImage Draw(const TChart& chart, TRenderer r, QSize size = kSize) {
  if (r == TRenderer::Canvas) {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    TCanvasRenderer canvas;
    canvas.Render(chart, p, size);
    return img;
  }
  TOffscreenGL& gl = *SharedGL();
  EXPECT_TRUE(gl.Ok()) << gl.Error().toStdString();
  return gl.Render(chart, size);
}

// The SVG export drawn back by Qt's SVG renderer into an image of the same size.
QImage SvgDrawnBack(const TChart& chart, QSize size = kSize) {
  TCanvasRenderer canvas;
  QSvgRenderer svg(canvas.RenderSvg(chart, size).toUtf8());
  EXPECT_TRUE(svg.isValid());
  QImage img(size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::white);
  QPainter p(&img);
  svg.render(&p);
  return img;
}

// The largest difference between the mean colours of two pictures over any 8 x 8 block
// (0..255): smoothing that differs at edges hardly moves it, a missing shape or text does.
double WorstBlockDifference(const QImage& a, const QImage& b) {
  double worst = 0;
  for (int by = 0; by + 8 <= a.height(); by += 8)
    for (int bx = 0; bx + 8 <= a.width(); bx += 8) {
      double d[3] = {0, 0, 0};
      for (int y = by; y < by + 8; ++y)
        for (int x = bx; x < bx + 8; ++x) {
          const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
          d[0] += qRed(p) - qRed(q);
          d[1] += qGreen(p) - qGreen(q);
          d[2] += qBlue(p) - qBlue(q);
        }
      for (double v : d) worst = std::max(worst, std::fabs(v) / 64);
    }
  return worst;
}

bool IsRed(QRgb c) { return qRed(c) > 150 && qGreen(c) < 90 && qBlue(c) < 90; }
bool IsBlue(QRgb c) { return qBlue(c) > 120 && qRed(c) < 90 && qGreen(c) < 90; }
bool IsWhite(QRgb c) { return qRed(c) > 250 && qGreen(c) > 250 && qBlue(c) > 250; }

// Pixels away from the frame that are not background.
int InkedPixels(const QImage& img) {
  int n = 0;
  for (int y = 3; y < img.height() - 3; ++y)
    for (int x = 3; x < img.width() - 3; ++x) n += !IsWhite(img.pixel(x, y));
  return n;
}

// Pixels within radius of a point that are not background.
int InkedPixelsNear(const QImage& img, double cx, double cy, double radius) {
  int n = 0;
  for (int y = static_cast<int>(cy - radius) - 1; y <= static_cast<int>(cy + radius) + 1; ++y)
    for (int x = static_cast<int>(cx - radius) - 1; x <= static_cast<int>(cx + radius) + 1; ++x)
      if (img.valid(x, y) && std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= radius)
        n += !IsWhite(img.pixel(x, y));
  return n;
}

class RenderTest : public ::testing::TestWithParam<TRenderer> {
 protected:
  void SetUp() override { UnitBox(Chart); }
  TChart Chart;
};

TEST_P(RenderTest, RedSphereAtTheOriginIsRedAtTheCentreAndRound) {
  auto* s = Chart.CreateSeries<TBubble3DSeries>();
  s->AddBubble(0, 0, 0, 0.3, "", clRed);
  const QImage img = Draw(Chart, GetParam());
  EXPECT_TRUE(IsRed(img.pixel(100, 100))) << std::hex << img.pixel(100, 100);
  // Radius 0.3 of a +-1 box in 200 pixels is 30 pixels in every direction.
  for (auto [dx, dy] : {std::pair{24, 0}, {-24, 0}, {0, 24}, {0, -24}})
    EXPECT_FALSE(IsWhite(img.pixel(100 + dx, 100 + dy))) << dx << "," << dy;
  for (auto [dx, dy] : {std::pair{36, 0}, {-36, 0}, {0, 36}, {0, -36}})
    EXPECT_TRUE(IsWhite(img.pixel(100 + dx, 100 + dy))) << dx << "," << dy;
}

TEST_P(RenderTest, NearerSphereHidesFartherOne) {
  auto* s = Chart.CreateSeries<TBubble3DSeries>();
  s->AddBubble(0, 0, 0, 0.2, "", clRed);  // in front
  Chart.View3DOptions().SetRotation(0);
  Chart.View3DOptions().SetElevation(0);
  s->AddBubble(0, 0, 0.8, 0.4, "", clBlue);  // behind, added later
  const QImage img = Draw(Chart, GetParam());
  EXPECT_TRUE(IsRed(img.pixel(100, 100)));
  EXPECT_TRUE(IsBlue(img.pixel(100, 100 - 30)) || IsBlue(img.pixel(100, 100 + 30)));
}

TEST_P(RenderTest, VerticalTriangulatedPlaneIsFilled) {
  auto* s = Chart.CreateSeries<TTriSurfaceSeries>();
  s->SetUseColorRange(false);
  s->SetSeriesColor(clBlue);
  s->Border().Visible = false;
  // The vertical plane x = z, its points in no particular order.
  s->AddXYZ(-0.6, -0.6, -0.6);
  s->AddXYZ(0.6, 0.6, 0.6);
  s->AddXYZ(0.6, -0.6, 0.6);
  s->AddXYZ(-0.6, 0.6, -0.6);
  const QImage img = Draw(Chart, GetParam());
  EXPECT_TRUE(IsBlue(img.pixel(100, 100))) << std::hex << img.pixel(100, 100);
  EXPECT_TRUE(IsBlue(img.pixel(100, 60)));
  EXPECT_TRUE(IsBlue(img.pixel(100, 140)));
}

TEST_P(RenderTest, HiddenTransparentAndNonFiniteContentDrawsNothing) {
  auto* hidden = Chart.CreateSeries<TBubble3DSeries>();
  hidden->AddBubble(0, 0, 0, 0.5, "", clRed);
  hidden->SetActive(false);
  auto* glass = Chart.CreateSeries<TSurfaceSeries>();
  for (int i = -2; i <= 2; ++i)
    for (int j = -2; j <= 2; ++j) glass->AddXYZ(0.3 * i, 0.1 * j, 0.3 * j);
  glass->SetTransparency(100);
  auto* bad = Chart.CreateSeries<TBubble3DSeries>();
  bad->AddBubble(kNaN, 0, 0, 0.5, "NaN", clRed);
  bad->AddBubble(0, kInf, 0, 0.5, "", clRed);
  bad->AddBubble(0, 0, 0, kNaN, "", clRed);
  bad->Marks().Visible = true;
  auto* vec = Chart.CreateSeries<TVector3DSeries>();
  vec->AddVector(0, 0, 0, kNaN, 1, 1, "v", clRed);
  auto* line = Chart.CreateSeries<TPoint3DSeries>();
  line->Pointer().Visible = false;
  line->AddXYZ(0, 0, 0);
  line->AddXYZ(kInf, 0, 0);
  line->AddXYZ(0, 0.5, 0);
  auto* surf = Chart.CreateSeries<TSurfaceSeries>();
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) surf->AddXYZ(i, (i == 1) ? kNaN : 0, j);
  auto* tri = Chart.CreateSeries<TTriSurfaceSeries>();
  tri->AddXYZ(0, 0, 0);  // what the scene reset leaves
  tri->AddXYZ(kNaN, 1, 1);
  EXPECT_EQ(InkedPixels(Draw(Chart, GetParam())), 0);
  hidden->SetActive(true);  // and the points were kept
  EXPECT_GT(InkedPixels(Draw(Chart, GetParam())), 1000);
}

TEST_P(RenderTest, HugeCoordinatesAreDrawnWithoutHarm) {
  auto* s = Chart.CreateSeries<TBubble3DSeries>();
  s->AddBubble(1e300, 0, 0, 1e300, "far", clBlue);
  s->AddBubble(0, 0, 0, 1e-300, "", clBlue);
  s->Marks().Visible = true;
  auto* v = Chart.CreateSeries<TVector3DSeries>();
  v->AddVector(0, 0, 0, 1e300, -1e300, 1e300, "v", clBlue);
  auto* surf = Chart.CreateSeries<TSurfaceSeries>();
  for (double x : {-1e300, 1e300})
    for (double z : {-1e300, 1e300}) surf->AddXYZ(x, 1e300, z);
  auto* red = Chart.CreateSeries<TBubble3DSeries>();
  red->AddBubble(0.5, 0.5, 0, 0.1, "", clRed);
  const QImage img = Draw(Chart, GetParam());
  const auto p = TProjection::ForChart(Chart, kSize.width(), kSize.height()).Project(0.5, 0.5, 0);
  EXPECT_TRUE(IsRed(img.pixel(static_cast<int>(p[0]), static_cast<int>(p[1]))));
}

TEST_P(RenderTest, MarksAreDrawnNextToTheirPoint) {
  auto* s = Chart.CreateSeries<TBubble3DSeries>();
  s->AddBubble(-0.5, -0.5, 0, 0.05, "004", clBlue);
  s->Marks().Visible = true;
  s->Marks().Transparent = true;
  s->Marks().Font.Color = clRed;
  s->Marks().Font.Bold = true;
  const QImage img = Draw(Chart, GetParam());
  const auto p = TProjection::ForChart(Chart, kSize.width(), kSize.height()).Project(-0.5, -0.5, 0);
  int red = 0;
  for (int y = static_cast<int>(p[1]) - 30; y < static_cast<int>(p[1]); ++y)
    for (int x = static_cast<int>(p[0]); x < static_cast<int>(p[0]) + 40; ++x) red += IsRed(img.pixel(x, y));
  EXPECT_GT(red, 15);
}

// A bubble is as big as its radius: radius 0, a negative and a non-finite radius cover no
// pixel (not the pointer's size in pixels), and a positive one about pi r^2.
TEST_P(RenderTest, BubbleCoversTheAreaOfItsRadius) {
  auto* s = Chart.CreateSeries<TBubble3DSeries>();
  s->Pointer().Size = 13;
  for (double r : {0.0, -0.0, -0.3, kNaN, kInf, -kInf}) s->AddBubble(0, 0, 0, r, "", clBlue);
  EXPECT_EQ(InkedPixels(Draw(Chart, GetParam())), 0);
  EXPECT_EQ(InkedPixels(SvgDrawnBack(Chart)), 0);
  s->AddBubble(0.5, 0.5, 0, 0.1, "", clBlue);
  const TProjection proj = TProjection::ForChart(Chart, kSize.width(), kSize.height());
  const double r = 0.1 * proj.ScaleAt(proj.Project(0.5, 0.5, 0)[2]), area = Pi * r * r;
  EXPECT_NEAR(InkedPixels(Draw(Chart, GetParam())), area, 0.25 * area);
  EXPECT_NEAR(InkedPixels(SvgDrawnBack(Chart)), area, 0.25 * area);
}

// One painter draws the screen, the PNG and the SVG: the SVG drawn back matches the picture
// of a scene with every kind of series, marks and a title.
TEST(SvgExport, DrawnBackItMatchesThePicture) {
  TChart chart;
  UnitBox(chart);
  auto* bubbles = chart.CreateSeries<TBubble3DSeries>();
  bubbles->Pointer().Pen.Visible = false;
  bubbles->Marks().Visible = true;
  bubbles->Marks().Font.Bold = true;
  bubbles->AddBubble(-0.4, 0.3, 0, 0.25, "K0", clRed);
  bubbles->AddBubble(0.5, -0.4, 0.2, 0.05, "", clBlue);
  auto* vectors = chart.CreateSeries<TVector3DSeries>();
  vectors->Pen().Width = 3;
  vectors->EndArrow().Width = 3;
  vectors->AddVector(-0.8, -0.8, 0, 0.6, 0.7, 0, "Q", clBlack);
  auto* surface = chart.CreateSeries<TSurfaceSeries>();
  surface->SetUseColorRange(false);
  surface->SetSeriesColor(clYellow);
  surface->SetTransparency(50);
  for (int i = 0; i <= 4; ++i)
    for (int j = 0; j <= 4; ++j) surface->AddXYZ(-0.9 + 0.3 * i, -0.6 + 0.05 * (i + j), -0.9 + 0.3 * j);
  auto* points = chart.CreateSeries<TPoint3DSeries>();
  points->Pointer().Style = TPointerStyle::psCircle;
  for (int i = 0; i < 5; ++i) points->AddXYZ(0.2 + 0.1 * i, 0.5, 0, "", clGreen);
  chart.Title().Visible = true;
  chart.Title().Text = "Bragg";
  QImage picture = Draw(chart, TRenderer::Canvas).convertToFormat(QImage::Format_ARGB32);
  const QImage back = SvgDrawnBack(chart).convertToFormat(QImage::Format_ARGB32);
  ASSERT_GT(InkedPixels(picture), 2000);
  // Measured 19, from the smoothing of edges and gradients; one letter less in the title
  // gives 41.
  EXPECT_LT(WorstBlockDifference(picture, back), 30);
}

INSTANTIATE_TEST_SUITE_P(BothRenderers, RenderTest, ::testing::Values(TRenderer::Canvas, TRenderer::OpenGL),
                         [](const auto& info) { return info.param == TRenderer::Canvas ? "Canvas" : "OpenGL"; });

// A clipped mark (the real-space axis labels) that would reach over the chart's edge is moved
// inside, whole; a mark that is not clipped stays beside its point.
TEST(ChartLabels, ClippedMarksAtTheEdgeAreMovedInside) {
  TChart chart;
  UnitBox(chart);
  chart.View3DOptions().SetRotation(0);
  chart.View3DOptions().SetElevation(0);
  const TProjection proj = TProjection::ForChart(chart, kSize.width(), kSize.height());
  const QRectF area(QPointF(0, 0), QSizeF(kSize));
  for (const bool clip : {true, false}) {
    auto* axes = chart.CreateSeries<TVector3DSeries>();
    axes->Marks().Visible = true;
    axes->Marks().Clip = clip;
    axes->Marks().Font.Height = 21;
    axes->Marks().Font.Bold = true;
    axes->AddVector(0, 0, 0, 0.98, 0, 0, "X", clBlack);  // tip at the right edge
    axes->AddVector(0, 0, 0, 0, 0.98, 0, "Z", clBlack);  // tip at the top edge
    axes->AddVector(0, 0, 0, -0.2, -0.2, 0, "Y", clBlack);
    const std::vector<TChartLabel> labels = CollectLabels(chart, proj, kSize);
    ASSERT_EQ(labels.size(), 3u);
    for (const TChartLabel& l : labels)
      EXPECT_EQ(area.contains(l.Box), clip || l.Text == "Y")
          << l.Text.toStdString() << " clip " << clip;
    // Y lies inside anyway and keeps its place beside the tip.
    const auto tip = proj.Project(-0.2, -0.2, 0);
    EXPECT_NEAR(labels[2].Box.left(), tip[0] + 6, 1);
    axes->SetActive(false);
  }
}

// The reciprocal lattice of Si in the plane of incidence at 1.54 A ("Rec.2D") with "Hi"
// ticked: a node forbidden in the diamond structure covers no pixel, an allowed one about the
// area its radius gives, on screen and in the exported SVG.
class Rec2DWithHi : public ::testing::TestWithParam<TRenderer> {
 protected:
  class Host : public ISceneHost {
   public:
    void StopTimer() override {}
    void ResetPhiTrackBar() override {}
    int32_t MainWindowWidth() const override { return 748; }
    bool PlanesShown() const override { return true; }
  };

  void SetUp() override {
    Settings = TSettings{};
    Settings.RecomputeDone = true;
    Settings.UseHi = true;
    s1.StructureName = "Si";
    s1.InUse = true;
    s1.WaveNumber = 1 / Settings.Lambda;
    Settings.TwoK = 2 / Settings.Lambda;
    s1.Setup(SlotAlone1);
    s1.ComputeGeometry();
    SetDerivedValues(Settings, s1.LatticeA, 0);
    ASSERT_GT(s1.LatticeA, 5) << "Base/ with Si.stf is needed beside the test";
    ClearScenes(scene);
    ShowReciprocal2D(scene, s1);
    // Only the nodes, so that every pixel counted is a node's.
    for (TChartSeries* series : charts.Chart2.Series())
      series->SetActive(series == charts.SeriesPointRes);
  }
  ~Rec2DWithHi() override { Settings = TSettings{}; }

  TVisStructure s1;
  TChartCatalogue charts;
  TSeriesPool pool;
  Host host;
  TSceneContext scene{charts, pool, host};
};

TEST_P(Rec2DWithHi, ForbiddenNodesCoverNoPixelAndAllowedOnesTheirArea) {
  const QSize size(634, 632);  // twice the chart's size, for enough pixels per node
  const TBubble3DSeries& nodes = *charts.SeriesPointRes;
  const TProjection proj = TProjection::ForChart(charts.Chart2, size.width(), size.height());
  struct Node {
    double x, y, r;
    bool forbidden;
  };
  std::vector<Node> at;
  for (const TChartPoint& p : nodes.Points()) {
    const auto c = proj.Project(p.X, p.Y, p.Z);
    // The indices back from the node (chart X, Y, Z is frame x, z, y).
    int hkl[3], odd = 0;
    for (int i = 0; i < 3; ++i) {
      const TVector& a = i == 0 ? s1.VecA : i == 1 ? s1.VecB : s1.VecC;
      hkl[i] = static_cast<int>(std::lround(p.X * a.x + p.Z * a.y + p.Y * a.z));
      odd += hkl[i] % 2 != 0;
    }
    const bool forbidden = !(odd == 3 || (odd == 0 && (hkl[0] + hkl[1] + hkl[2]) % 4 == 0));
    at.push_back({c[0], c[1], p.Radius > 0 ? p.Radius * proj.ScaleAt(c[2]) : 0, forbidden});
  }
  // Room around a node: distance to the nearest edge of another node's disc.
  auto room = [&](size_t i) {
    double free = 1e9;
    for (size_t j = 0; j < at.size(); ++j)
      if (std::hypot(at[j].x - at[i].x, at[j].y - at[i].y) > 1e-6)
        free = std::min(free, std::hypot(at[j].x - at[i].x, at[j].y - at[i].y) - at[j].r);
    return free;
  };
  const QImage img = Draw(charts.Chart2, GetParam(), size);
  int forbidden = 0, allowed = 0, drawn = 0;
  for (size_t i = 0; i < at.size(); ++i) {
    const std::string where = std::to_string(at[i].x) + "," + std::to_string(at[i].y);
    drawn += at[i].r > 0;
    if (at[i].forbidden) {
      EXPECT_EQ(at[i].r, 0) << where;
      if (room(i) < 6) continue;
      ++forbidden;
      EXPECT_EQ(InkedPixelsNear(img, at[i].x, at[i].y, 4), 0) << "forbidden node at " << where;
    } else {
      EXPECT_GT(at[i].r, 0) << where;
      if (at[i].r < 4 || room(i) < at[i].r + 4) continue;
      ++allowed;
      const double area = Pi * at[i].r * at[i].r;
      EXPECT_NEAR(InkedPixelsNear(img, at[i].x, at[i].y, at[i].r + 2), area, 0.3 * area + 6)
          << where;
    }
  }
  EXPECT_GT(forbidden, 5);  // 0 1 1, 0 0 2 and the like
  EXPECT_GT(allowed, 5);
  // The exported SVG holds the same nodes: one circle each, none for a forbidden one.
  TCanvasRenderer canvas;
  EXPECT_EQ(canvas.RenderSvg(charts.Chart2, size).count("<circle"), drawn);
}

INSTANTIATE_TEST_SUITE_P(BothRenderers, Rec2DWithHi,
                         ::testing::Values(TRenderer::Canvas, TRenderer::OpenGL),
                         [](const auto& info) {
                           return info.param == TRenderer::Canvas ? "Canvas" : "OpenGL";
                         });

TEST(GLRenderer, TurningTheViewRebuildsNoGeometry) {
  TOffscreenGL gl;
  ASSERT_TRUE(gl.Ok());
  TChart chart;
  UnitBox(chart);
  auto* s = chart.CreateSeries<TBubble3DSeries>();
  auto* surf = chart.CreateSeries<TSurfaceSeries>();
  s->AddBubble(0, 0, 0, 0.3, "", clRed);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) surf->AddXYZ(i * 0.2, 0, j * 0.2);
  gl.Draw(chart, kSize);
  const int built = gl.Renderer().Rebuilds();
  EXPECT_EQ(built, 2);
  for (int r = 0; r < 360; r += 30) {
    chart.View3DOptions().SetRotation(r);
    chart.View3DOptions().SetElevation(r);
    gl.Draw(chart, kSize);
  }
  EXPECT_EQ(gl.Renderer().Rebuilds(), built);
  s->AddBubble(0.5, 0, 0, 0.1, "", clBlue);
  gl.Draw(chart, kSize);
  EXPECT_EQ(gl.Renderer().Rebuilds(), built + 1);
}

// --- the view widget ---------------------------------------------------------------

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UnitBox(Chart);
    Sphere = Chart.CreateSeries<TBubble3DSeries>();
    Sphere->AddBubble(0, 0, 0, 0.3, "", clRed);
    View = std::make_unique<TChartView>(Chart);
    View->resize(kSize);
    QObject::connect(View.get(), &TChartView::Drawn, [this] { ++Draws; });
    View->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(View.get()));
    Settle();
  }
  void TearDown() override {
    View.reset();
    TChartView::SetOpenGLProbe(nullptr);
  }
  // Lets the event loop run until it has been idle for a while.
  static void Settle() { QTest::qWait(150); }
  TChart Chart;
  TBubble3DSeries* Sphere = nullptr;
  std::unique_ptr<TChartView> View;
  int Draws = 0;
};

TEST_F(ViewTest, ManyChangesRepaintOnceWhenTheEventLoopRuns) {
  Draws = 0;
  for (int i = 0; i < 2000; ++i) Sphere->AddBubble(0.001 * i, 0, 0, 0.01, "", clBlue);
  Chart.View3DOptions().SetRotation(10);
  EXPECT_EQ(Draws, 0);
  Settle();
  EXPECT_EQ(Draws, 1);
}

TEST_F(ViewTest, OpenGLSwitchTurnsTheOpenGLRendererOnAndOff) {
  Sphere->AddBubble(1, 1, 1, 0.1, "", clBlue);  // the switch comes later in the same batch
  Chart.OpenGL().SetActive(true);
  EXPECT_FALSE(View->UsingOpenGL());  // not in the middle of a scene
  Settle();
  ASSERT_TRUE(View->UsingOpenGL()) << View->OpenGLMessage().toStdString();
  EXPECT_TRUE(View->OpenGLMessage().isEmpty());
  const QImage img = View->Picture();
  EXPECT_TRUE(IsRed(img.pixel(100, 100))) << std::hex << img.pixel(100, 100);
  Chart.OpenGL().SetActive(false);
  Settle();
  EXPECT_FALSE(View->UsingOpenGL());
}

// A view moved into another window gets a new OpenGL context, and the buffers of the old one
// are gone with it: the chart is built again in the new context, for the series that did not
// change as well as for a new one, and again when the view comes back.
TEST_F(ViewTest, OpenGLDrawsOnAfterTheViewMovesToAnotherWindow) {
  Chart.OpenGL().SetActive(true);
  Settle();
  ASSERT_TRUE(View->UsingOpenGL()) << View->OpenGLMessage().toStdString();
  ASSERT_TRUE(IsRed(View->Picture().pixel(100, 100)));
  QWidget other;
  other.resize(kSize);
  other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
  for (QWidget* parent : {&other, static_cast<QWidget*>(nullptr)}) {
    SCOPED_TRACE(parent != nullptr ? "in another window" : "a window again");
    View->setParent(parent);
    View->resize(kSize);
    View->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(View->window()));
    Settle();
    const QImage moved = View->Picture();
    EXPECT_TRUE(IsRed(moved.pixel(100, 100))) << std::hex << moved.pixel(100, 100);
    TBubble3DSeries* blue = Chart.CreateSeries<TBubble3DSeries>();
    blue->AddBubble(1, 1, 1, 0.2, "", clBlue);
    Chart.View3DOptions().SetRotation(Chart.View3DOptions().Rotation() + 10);
    Settle();
    const QImage turned = View->Picture();
    EXPECT_TRUE(IsRed(turned.pixel(100, 100))) << std::hex << turned.pixel(100, 100);
  }
}

TEST_F(ViewTest, WhenOpenGLCannotStartTheCanvasGoesOnWithAMessage) {
  TChartView::SetOpenGLProbe([](QString& why) {
    why = "no display driver";
    return false;
  });
  QString told;
  QObject::connect(View.get(), &TChartView::OpenGLFailed, [&told](const QString& m) { told = m; });
  Chart.OpenGL().SetActive(true);
  Settle();
  EXPECT_FALSE(View->UsingOpenGL());
  EXPECT_TRUE(View->OpenGLMessage().contains("no display driver"));
  EXPECT_EQ(told, View->OpenGLMessage());
  EXPECT_TRUE(IsRed(View->Picture().pixel(100, 100)));
  // Switching off clears the message; switching on again tries again.
  Chart.OpenGL().SetActive(false);
  Settle();
  EXPECT_TRUE(View->OpenGLMessage().isEmpty());
  TChartView::SetOpenGLProbe(nullptr);
  Chart.OpenGL().SetActive(true);
  Settle();
  EXPECT_TRUE(View->UsingOpenGL());
}

TEST_F(ViewTest, DraggingTurnsRotationAndElevation) {
  Chart.View3DOptions().SetRotation(345);
  Chart.View3DOptions().SetElevation(345);
  auto send = [this](QEvent::Type t, QPoint p, Qt::MouseButtons b) {
    QMouseEvent e(t, QPointF(p), View->mapToGlobal(QPointF(p)), Qt::LeftButton, b, Qt::NoModifier);
    QApplication::sendEvent(View.get(), &e);
  };
  send(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
  send(QEvent::MouseMove, {70, 40}, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, {70, 40}, Qt::NoButton);
  EXPECT_EQ(Chart.View3DOptions().Rotation(), 5);
  EXPECT_EQ(Chart.View3DOptions().Elevation(), 355);

  int wheel = 0;
  View->OnMouseWheel = [&wheel](QWheelEvent* e) { wheel += e->angleDelta().y(); };
  QWheelEvent w(QPointF(50, 50), View->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120), Qt::NoButton,
                Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(View.get(), &w);
  EXPECT_EQ(wheel, 120);
  EXPECT_FALSE(w.isAccepted());  // the window sees the wheel too
}

TEST_F(ViewTest, SavesPngAndSvg) {
  Sphere->Marks().Visible = true;
  Sphere->Clear();
  Sphere->AddBubble(0, 0, 0, 0.3, "K0", clRed);
  QTemporaryDir dir;
  const QString png = dir.filePath("c.png"), svg = dir.filePath("c.svg");
  ASSERT_TRUE(View->SavePicture(png));
  ASSERT_TRUE(View->SavePicture(svg));
  EXPECT_TRUE(IsRed(QImage(png).pixel(100, 100)));
  QFile f(svg);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(f.readAll());
  EXPECT_TRUE(text.contains("<circle")) << text.left(400).toStdString();
  EXPECT_TRUE(text.contains(">K0</text>"));

  // A failed save says why, naming the file; the toolbar passes that on.
  TTeeCommander bar;
  bar.SetPanel(View.get());
  QStringList told;
  bar.OnSaveFailed = [&told](const QString& m) { told << m; };
  for (const QString& bad :
       {dir.filePath("none/c.png"), dir.filePath("none/c.svg"), dir.path() + "/"}) {
    QString why;
    EXPECT_FALSE(View->SavePicture(bad, &why)) << bad.toStdString();
    EXPECT_TRUE(why.contains(bad)) << why.toStdString();
    EXPECT_GT(why.size(), bad.size() + 40) << why.toStdString();  // and a reason
    EXPECT_FALSE(bar.SaveAs(bad));
    ASSERT_FALSE(told.isEmpty());
    EXPECT_EQ(told.takeLast(), why);
  }
  EXPECT_FALSE(QDir(dir.filePath("none")).exists());
  EXPECT_TRUE(bar.SaveAs(png));
  EXPECT_TRUE(told.isEmpty());
}

TEST_F(ViewTest, ToolbarAndEditorActOnTheAttachedChart) {
  TTeeCommander bar;
  bar.SetPanel(View.get());
  bar.Button3D->click();  // default action: flat view
  EXPECT_FALSE(Chart.View3D());
  int hooked = 0;
  bar.OnCommander3DClick = [&hooked](TTeeCommander& c) { hooked += c.Button3DDown() ? 1 : 10; };
  bar.Button3D->click();  // the program's routine instead
  EXPECT_EQ(hooked, 1);
  EXPECT_FALSE(Chart.View3D());

  Chart.View3DOptions().SetRotation(10);
  Chart.View3DOptions().SetZoom(300);
  bar.ButtonZoomIn->click();
  EXPECT_EQ(Chart.View3DOptions().Zoom(), 330);
  bar.ButtonNormal->click();
  EXPECT_EQ(Chart.View3DOptions().Rotation(), 345);
  EXPECT_EQ(Chart.View3DOptions().Elevation(), 345);
  EXPECT_EQ(Chart.View3DOptions().Zoom(), 100);

  TChartEditor editor;
  editor.SetChart(&Chart);
  ASSERT_EQ(editor.Table()->rowCount(), 1);
  editor.Table()->item(0, 0)->setCheckState(Qt::Unchecked);
  EXPECT_FALSE(Sphere->Active());
  EXPECT_EQ(Sphere->Count(), 1);
}

}  // namespace
}  // namespace korvex

namespace korvex {
std::unique_ptr<TOffscreenGL>& SharedGL();
}

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  korvex::SharedGL().reset();
  korvex::CheckLeaksBeforeTheDisplayCloses();
  return result;
}
