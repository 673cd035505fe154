// "Set hkl" for two structures (In5Ga5As on GaAs): the scene build alone, and one track-bar
// step (recompute of the geometry, SetHkl for both, one OpenGL frame of each chart).
#include <benchmark/benchmark.h>
#include <QGuiApplication>
#include "chart/Catalogue.h"
#include "chart/view/OffscreenGL.h"
#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/HklSetting.h"
#include "scenes/SceneReset.h"

using namespace korvex;
namespace {
struct Host : ISceneHost {
  void StopTimer() override {}
  void ResetPhiTrackBar() override {}
  int32_t MainWindowWidth() const override { return 939; }
  bool PlanesShown() const override { return true; }
};
struct Scene {
  TVisStructure s1, s2;
  TChartCatalogue charts;
  TSeriesPool pool;
  Host host;
  TSceneContext ctx{charts, pool, host};
  Scene() {
    Settings = TSettings{};
    s1.StructureName = "GaAs";
    s2.StructureName = "In5Ga5As";
    s1.InUse = s2.InUse = true;
    Recompute();
    ClearScenes(ctx);
  }
  void Recompute() {
    Settings.IncPlanePoint = {0, 1, 0};
    Settings.RecomputeDone = true;
    ComputeStructures(s1, s2);
  }
};

void SetHklTwoStructures(benchmark::State& state) {
  Scene sc;
  for (auto _ : state) {
    sc.charts.SeriesPointRes->Clear();
    SetHkl(sc.ctx, sc.s1);
    SetHkl(sc.ctx, sc.s2);
  }
}
BENCHMARK(SetHklTwoStructures)->Unit(benchmark::kMillisecond);

void TrackBarStep(benchmark::State& state) {
  Scene sc;
  sc.charts.TeeOpenGL1.SetActive(true);
  sc.charts.TeeOpenGL2.SetActive(true);
  TOffscreenGL gl;
  if (!gl.Ok()) {
    state.SkipWithError("no OpenGL");
    return;
  }
  int p = 0;
  for (auto _ : state) {
    Settings.Phi = (p++ % 360) / 360.0 * 2 * Pi;
    sc.Recompute();
    sc.charts.SeriesPointRes->Clear();
    SetHkl(sc.ctx, sc.s1);
    SetHkl(sc.ctx, sc.s2);
    gl.Draw(sc.charts.Chart1, QSize(469, 469));
    gl.Draw(sc.charts.Chart2, QSize(469, 469));
  }
}
BENCHMARK(TrackBarStep)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
