// A pick made in the chart model lands on the node each renderer draws there.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <memory>

#include "chart/Chart.h"
#include "chart/Picking.h"
#include "chart/view/CanvasRenderer.h"
#include "chart/view/OffscreenGL.h"

namespace korvex {
std::unique_ptr<TOffscreenGL>& SharedGL();
namespace {

const QSize kPickSize(240, 200);

QImage DrawWith(const TChart& chart, bool openGL) {
  if (!openGL) {
    QImage img(kPickSize, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    TCanvasRenderer canvas;
    canvas.Render(chart, p, kPickSize);
    return img;
  }
  TOffscreenGL& gl = *SharedGL();
  EXPECT_TRUE(gl.Ok()) << gl.Error().toStdString();
  return gl.Render(chart, kPickSize, false);
}

class PickInRenderer : public ::testing::TestWithParam<bool> {};

TEST_P(PickInRenderer, TheProjectedCentreIsTheNodesColourAndPicksIt) {
  TChart chart;
  for (TChartAxis* a : {&chart.BottomAxis(), &chart.LeftAxis(), &chart.DepthAxis()}) {
    a->SetAutomatic(false);
    a->SetMinMax(-1, 1);
  }
  chart.SetView3D(true);
  auto* nodes = chart.CreateSeries<TBubble3DSeries>();
  nodes->AddBubble(0.6, 0.1, 0.2, 0.08, "", clRed);
  nodes->AddBubble(-0.5, 0.4, -0.3, 0.1, "", clBlue);
  nodes->AddBubble(0.1, -0.6, 0.5, 0.09, "", clLime);
  const auto colourOf = [](QRgb c) {
    if (qRed(c) > 150 && qGreen(c) < 100 && qBlue(c) < 100) return 0;
    if (qBlue(c) > 120 && qRed(c) < 100 && qGreen(c) < 100) return 1;
    if (qGreen(c) > 150 && qRed(c) < 100 && qBlue(c) < 100) return 2;
    return -1;
  };
  for (auto [rotation, elevation] : {std::pair{0, 0}, {345, 345}, {60, 20}}) {
    SCOPED_TRACE(testing::Message() << rotation << "/" << elevation);
    chart.View3DOptions().SetRotation(rotation);
    chart.View3DOptions().SetElevation(elevation);
    const QImage img = DrawWith(chart, GetParam());
    for (int i = 0; i < 3; ++i) {
      double x = 0, y = 0, r = 0;
      ASSERT_TRUE(ProjectedPoint(chart, *nodes, i, kPickSize.width(), kPickSize.height(), x, y, r));
      EXPECT_GT(r, 5);
      EXPECT_EQ(colourOf(img.pixel(static_cast<int>(x), static_cast<int>(y))), i)
          << std::hex << img.pixel(int(x), int(y));
      EXPECT_EQ(PickBubble(chart, *nodes, kPickSize.width(), kPickSize.height(), x, y), i);
    }
    EXPECT_EQ(PickBubble(chart, *nodes, kPickSize.width(), kPickSize.height(), 3, 3), -1);
  }
}

INSTANTIATE_TEST_SUITE_P(BothRenderers, PickInRenderer, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "OpenGL" : "Canvas"; });

}  // namespace
}  // namespace korvex
