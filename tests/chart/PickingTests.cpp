// Picking a bubble under a pixel, in the projection both renderers use.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "chart/Chart.h"
#include "chart/Picking.h"
#include "chart/Projection.h"

namespace korvex {
namespace {

constexpr int W = 300, H = 200;

class Picking : public ::testing::Test {
 protected:
  void SetUp() override {
    for (TChartAxis* a : {&chart.BottomAxis(), &chart.LeftAxis(), &chart.DepthAxis()}) {
      a->SetAutomatic(false);
      a->SetMinMax(-1, 1);
    }
    chart.SetView3D(true);
    nodes = chart.CreateSeries<TBubble3DSeries>();
  }
  std::array<double, 3> At(int i) const {
    return TProjection::ForChart(chart, W, H)
        .Project(nodes->XValue(i), nodes->YValue(i), nodes->ZValue(i));
  }
  int Pick(double x, double y) const { return PickBubble(chart, *nodes, W, H, x, y); }
  void Turn(int rotation, int elevation) {
    chart.View3DOptions().SetRotation(rotation);
    chart.View3DOptions().SetElevation(elevation);
  }
  TChart chart;
  TBubble3DSeries* nodes = nullptr;
};

TEST_F(Picking, TheCentreOfEachNodeSelectsItAtEveryTurnAndEmptySpaceNothing) {
  nodes->AddBubble(0.6, 0, 0, 0.05);
  nodes->AddBubble(-0.5, 0.4, 0.3, 0.08);
  nodes->AddBubble(0, -0.6, -0.4, 0);  // radius 0: still clickable
  nodes->AddBubble(0.2, 0.2, std::numeric_limits<double>::quiet_NaN(), 0.1);  // never drawn
  for (auto [rotation, elevation] : {std::pair{0, 0}, {345, 345}, {90, 0}, {30, 200}, {180, 90}}) {
    SCOPED_TRACE(testing::Message() << rotation << "/" << elevation);
    Turn(rotation, elevation);
    for (int i = 0; i < 3; ++i) {
      const auto c = At(i);
      EXPECT_EQ(Pick(c[0], c[1]), i);
      EXPECT_EQ(Pick(c[0] + 2, c[1] - 2), i);
    }
    EXPECT_EQ(Pick(2, 2), -1);
    EXPECT_EQ(Pick(W - 2, H - 2), -1);
  }
  // Turned by 90 degrees the first node moves from the right of the centre to the centre
  // column; the old place is empty.
  Turn(0, 0);
  const auto before = At(0);
  Turn(90, 0);
  EXPECT_NEAR(At(0)[0], W / 2.0, 1e-9);
  EXPECT_EQ(Pick(before[0], before[1]), -1);
}

TEST_F(Picking, TheNodeNearestTheViewerWinsAndHiddenSeriesGiveNothing) {
  nodes->AddBubble(0, 0, -0.5, 0.2);
  nodes->AddBubble(0, 0, 0.5, 0.3);
  Turn(0, 0);
  // The view looks along +z: the node at z = -0.5 is in front.
  EXPECT_EQ(Pick(W / 2.0, H / 2.0), 0);
  Turn(180, 0);
  EXPECT_EQ(Pick(W / 2.0, H / 2.0), 1);
  nodes->SetActive(false);
  EXPECT_EQ(Pick(W / 2.0, H / 2.0), -1);
  nodes->SetActive(true);
  EXPECT_EQ(Pick(std::numeric_limits<double>::quiet_NaN(), 0), -1);
  auto* line = chart.CreateSeries<TPoint3DSeries>();
  line->AddXYZ(0, 0, 0);
  EXPECT_EQ(PickBubble(chart, *line, W, H, W / 2.0, H / 2.0), -1);
}

}  // namespace
}  // namespace korvex
