// Speed of "Recipr" with both structures in use (Si substrate, Ge layer), lambda 0.7093 A,
// NRecMax 20, "Hi" on, every region, sphere and node series shown, MaxPoints 30:
//   BM_ReciprBuild: the recompute of both structures and both scenes, as the button runs them;
//   BM_ReciprBuildAndFrame: the same plus one OpenGL frame of the reciprocal-space chart
//   (640 x 640, drawn offscreen and waited for), the frame that follows the click.
// Argument "filter" 1 ticks the "Bragg" and "Laue" node filters too (every node then runs
// both node tests).
// Each iteration starts from cleared charts, like a "Recipr" after "Clear". Run under a
// display with OpenGL, e.g.:
//   xvfb-run -a -s "-screen 0 1600x1200x24" build/bench/recip_bench
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "chart/Catalogue.h"
#include "chart/view/GLRenderer.h"
#include "chart/view/OffscreenGL.h"
#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/ReciprocalLattice.h"
#include "scenes/SceneReset.h"
#include "scenes/SeriesPool.h"

using namespace korvex;

namespace {

const QSize kFrame(640, 640);

class THost : public ISceneHost {
 public:
  void StopTimer() override {}
  void ResetPhiTrackBar() override {}
  int32_t MainWindowWidth() const override { return 748; }
  bool PlanesShown() const override { return true; }
};

struct TRecipr {
  TVisStructure S1, S2;
  TChartCatalogue Charts;
  TSeriesPool Pool;
  THost Host;
  TSceneContext Scene{Charts, Pool, Host};

  explicit TRecipr(bool filter) {
    Settings = TSettings{};
    Settings.Lambda = 0.7093;
    Settings.NRecMax = 20;
    Settings.UseHi = true;
    Settings.MaxPoints = 30;
    Settings.OnlyBragg = Settings.OnlyLaue = filter;
    S1.StructureName = "Si";
    S2.StructureName = "Ge";
    S1.InUse = S2.InUse = true;
    TChartCatalogue& c = Charts;
    // Every region, sphere and node series shown ("Bragg", "Laue", "Full", "Tor", "Spheres").
    for (TChartSeries* s : std::initializer_list<TChartSeries*>{
             c.SeriesSurfUp, c.SeriesSurfDwn, c.SeriesSurfKh0, c.SeriesSurfK00, c.SeriesLaueKh, c.SeriesBraggFull,
             c.SeriesTor1, c.SeriesTor2, c.SeriesSphereSmall, c.SeriesSphereBig, c.SeriesCircle1, c.SeriesCircle2,
             c.SeriesCircle3, c.SeriesCircle4, c.SeriesPointRes}) {
      s->SetActive(true);
    }
  }

  // What the recompute cycle does for two structures in use, then "Recipr" for each.
  void Run() {
    Settings.Phi = 0;
    Settings.RecomputeDone = true;
    ComputeStructures(S1, S2);
    ShowReciprocal3D(Scene, S1);
    ShowReciprocal3D(Scene, S2);
  }
};

void BM_ReciprBuild(benchmark::State& state) {
  TRecipr r(state.range(0) != 0);
  r.Run();  // fills the strength caches, as the first click does
  for (auto _ : state) {
    state.PauseTiming();
    ClearScenes(r.Scene);
    state.ResumeTiming();
    r.Run();
  }
  state.counters["nodes"] = r.Charts.SeriesPointRes->Count();
  state.counters["regionPoints"] = r.Charts.SeriesSurfUp->Count() + r.Charts.SeriesTor1->Count();
}
BENCHMARK(BM_ReciprBuild)->ArgName("filter")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReciprBuildAndFrame(benchmark::State& state) {
  TOffscreenGL gl;
  if (!gl.Ok()) {
    state.SkipWithError(gl.Error().toStdString().c_str());
    return;
  }
  TRecipr r(state.range(0) != 0);
  r.Run();
  gl.Draw(r.Charts.Chart2, kFrame);
  for (auto _ : state) {
    state.PauseTiming();
    ClearScenes(r.Scene);
    state.ResumeTiming();
    r.Run();
    gl.Draw(r.Charts.Chart2, kFrame);
  }
  state.counters["triangles"] = static_cast<double>(gl.Renderer().TriangleCount());
}
BENCHMARK(BM_ReciprBuildAndFrame)->ArgName("filter")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
