// The scene reset, the unit-cell picture and the series pool, on the chart model alone.
#include <gtest/gtest.h>

#include "chart/Catalogue.h"
#include "geometry/Settings.h"
#include "scenes/SceneReset.h"
#include "scenes/SeriesPool.h"

namespace korvex {
namespace {

class FakeHost : public ISceneHost {
 public:
  void StopTimer() override { ++timerStops; }
  void ResetPhiTrackBar() override { ++trackBarResets; }
  int32_t MainWindowWidth() const override { return width; }
  bool PlanesShown() const override { return planes; }
  int timerStops = 0;
  int trackBarResets = 0;
  int32_t width = 748;
  bool planes = true;
};

class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Settings = TSettings{};
    Settings.RealExtent = 2 * 5.4309;
    Settings.TwoK = 2 / 1.54;
  }
  TChartCatalogue charts;
  TSeriesPool pool;
  FakeHost host;
  TSceneContext scene{charts, pool, host};
};

void ExpectCube(const TChart& chart, double half) {
  EXPECT_DOUBLE_EQ(chart.BottomAxis().Minimum(), -half);
  EXPECT_DOUBLE_EQ(chart.BottomAxis().Maximum(), half);
  EXPECT_DOUBLE_EQ(chart.LeftAxis().Minimum(), -half);
  EXPECT_DOUBLE_EQ(chart.LeftAxis().Maximum(), half);
  EXPECT_NEAR(chart.DepthAxis().Maximum(), half / 1.255, 1e-12);
  EXPECT_NEAR(chart.DepthAxis().Minimum(), -half / 1.255, 1e-12);
  EXPECT_FALSE(chart.BottomAxis().Automatic());
}

TEST_F(SceneTest, ClearOnEmptyPoolResetsViewsAndAxes) {
  charts.Chart1.View3DOptions().SetRotation(10);
  charts.Chart1.View3DOptions().SetTilt(20);
  charts.Chart2.View3DOptions().SetElevation(30);
  charts.Chart2.View3DOptions().SetTilt(20);
  charts.SeriesPoint->AddBubble(1, 1, 1, 0.2);
  ClearScenes(scene);
  ExpectCube(charts.Chart1, 1.5 * 2 * 5.4309);
  ExpectCube(charts.Chart2, 1.5 * 2 / 1.54);
  EXPECT_NEAR(charts.Chart2.BottomAxis().Maximum(), 1.948, 5e-4);
  EXPECT_EQ(charts.Chart1.View3DOptions().Rotation(), 345);
  EXPECT_EQ(charts.Chart1.View3DOptions().Tilt(), 0);
  EXPECT_EQ(charts.Chart2.View3DOptions().Elevation(), 345);
  EXPECT_EQ(charts.Chart2.View3DOptions().Tilt(), 20);  // the right chart keeps its tilt
  EXPECT_EQ(charts.SeriesPoint->Count(), 0);
  // The triangulated surfaces keep the single origin point of the reset.
  ASSERT_EQ(charts.SeriesSurf->Count(), 1);
  EXPECT_EQ(charts.SeriesSurfResPlane->SeriesColor(), clGray);
  EXPECT_EQ(charts.SeriesSphereBig->Pointer().Transparency, 90);
  EXPECT_EQ(host.timerStops, 1);
  EXPECT_EQ(host.trackBarResets, 1);
}

TEST_F(SceneTest, ClearWithLiveSeriesKeepsViewsUntilSecondClear) {
  ClearScenes(scene);
  charts.Chart1.View3DOptions().SetRotation(10);
  charts.Chart1.BottomAxis().SetMinMax(-3, 3);
  const int fixedSeries = charts.Chart1.SeriesCount();
  AddPlaneSurface(scene, clGreen, SlotAlone1);
  AddPlaneSurface(scene, clGreen, SlotAlone1);
  pool.Create<TPoint3DSeries>(pool.ReciprocalLines, charts.Chart2);
  EXPECT_EQ(charts.Chart1.SeriesCount(), fixedSeries + 2);

  ClearScenes(scene);
  EXPECT_TRUE(pool.AllEmpty());
  EXPECT_EQ(charts.Chart1.SeriesCount(), fixedSeries);  // the pool's series are destroyed
  EXPECT_EQ(charts.Chart1.View3DOptions().Rotation(), 10);
  EXPECT_DOUBLE_EQ(charts.Chart1.BottomAxis().Maximum(), 3);

  ClearScenes(scene);
  EXPECT_EQ(charts.Chart1.View3DOptions().Rotation(), 345);
  ExpectCube(charts.Chart1, 1.5 * 2 * 5.4309);
}

TEST_F(SceneTest, ClearWithNoLatticeKeepsAFiniteRange) {
  Settings.RealExtent = 0;
  ClearScenes(scene);
  EXPECT_GT(charts.Chart1.BottomAxis().Maximum(), charts.Chart1.BottomAxis().Minimum());
}

TEST_F(SceneTest, LineWidthFollowsWindowWidth) {
  const struct {
    int32_t width, lineWidth;
  } cases[] = {{300, 2}, {500, 3}, {748, 4}, {0, 2}};
  for (const auto& c : cases) {
    EXPECT_EQ(LineWidthFor(c.width), c.lineWidth) << c.width;
  }
  host.width = 500;
  ClearScenes(scene);
  EXPECT_EQ(pool.LineWidth, 3);
  EXPECT_EQ(charts.SeriesBeams->Pen().Width, 3);
  EXPECT_EQ(charts.SeriesVecRecipr->EndArrow().Width, 3);
}

struct UnitCellCase {
  const char* name;
  bool blackWhite;
  int firstKind;   // atoms of radius 0.2
  TColor colour1;
  TColor colour2;  // of the atoms of radius 0.25
};

TEST_F(SceneTest, UnitCell) {
  const UnitCellCase cases[] = {
      {"Si", false, 18, clBlue, clBlue},
      {"Ge", false, 18, clBlue, clBlue},
      {"InAs", false, 14, clBlue, clRed},
      {"si", false, 14, clBlue, clRed},  // the name comparison is case-sensitive
      {"GaAs", true, 14, clBlack, clWhite},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Settings.BlackWhite = c.blackWhite;
    charts.SeriesPoint->AddBubble(9, 9, 9, 1);
    ShowUnitCell(scene, c.name);
    const TBubble3DSeries& points = *charts.SeriesPoint;
    ASSERT_EQ(points.Count(), 18);
    int first = 0;
    for (int i = 0; i < points.Count(); ++i) {
      EXPECT_TRUE(points.Label(i).empty());
      if (points.RadiusValue(i) == 0.2) {
        ++first;
        EXPECT_EQ(points.ValueColor(i), c.colour1);
      } else {
        EXPECT_EQ(points.RadiusValue(i), 0.25);
        EXPECT_EQ(points.ValueColor(i), c.colour2);
      }
    }
    EXPECT_EQ(first, c.firstKind);
    // Tetrahedral sites come fifth to eighth.
    EXPECT_EQ(points.XValue(4), -0.25);
    EXPECT_EQ(points.ZValue(7), 0.25);
    EXPECT_DOUBLE_EQ(charts.Chart1.BottomAxis().Maximum(), 0.75);
    EXPECT_NEAR(charts.Chart1.DepthAxis().Maximum(), 0.75 / 1.255, 1e-12);
  }
}

TEST_F(SceneTest, PlaneSurfaceLooks) {
  Settings.BlackWhite = true;
  host.planes = false;
  TTriSurfaceSeries* plain = AddPlaneSurface(scene, clGreen, SlotBeside1);
  TTriSurfaceSeries* layer = AddPlaneSurface(scene, clGreen, SlotBeside2);
  EXPECT_EQ(plain->ParentChart(), &charts.Chart1);
  EXPECT_FALSE(plain->Active());
  EXPECT_FALSE(plain->Border().Visible);
  EXPECT_TRUE(layer->Border().Visible);
  EXPECT_TRUE(plain->FastBrush());
  EXPECT_FALSE(plain->UseColorRange());
  EXPECT_EQ(plain->SeriesColor(), clGreen);
  EXPECT_EQ(pool.PlaneSurfaces.Counter, 1);
  pool.PlaneSurfaces.SetActive(true);
  EXPECT_TRUE(plain->Active());
  EXPECT_TRUE(layer->Active());
}

TEST_F(SceneTest, FullRangeReusesItsLastSlot) {
  const int fixedSeries = charts.Chart1.SeriesCount();
  TPoint3DSeries* last = nullptr;
  for (int i = 0; i < TPoolRange::Capacity + 5; ++i) {
    last = pool.Create<TPoint3DSeries>(pool.RealLines, charts.Chart1);
  }
  EXPECT_EQ(pool.RealLines.Counter, TPoolRange::Capacity - 1);
  EXPECT_EQ(pool.RealLines[TPoolRange::Capacity - 1], last);
  EXPECT_EQ(charts.Chart1.SeriesCount(), fixedSeries + TPoolRange::Capacity);
  pool.RealLines.Free();
  EXPECT_EQ(charts.Chart1.SeriesCount(), fixedSeries);
}

}  // namespace
}  // namespace korvex
