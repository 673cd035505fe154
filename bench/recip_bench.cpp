// Speed of "Recipr" with both structures in use (Si substrate, Ge layer), lambda 0.7093 A,
// NRecMax 20, "Hi" on, every region, sphere and node series shown, MaxPoints 30:
//   BM_ReciprBuild: the recompute of both structures and both scenes, as the button runs them;
//   BM_ReciprBuildAndFrame: the same plus one OpenGL frame of the reciprocal-space chart
//   (640 x 640, drawn offscreen and waited for), the frame that follows the click;
//   BM_ReciprDrag: a mouse drag over the finished scene, one frame per degree of rotation, in
//   OpenGL (renderer 0) and on the canvas (renderer 1); frames per second is 1000 / time.
//   With KORVEX_BENCH_PICTURES=<folder> set, it leaves the scene's picture at the start of the
//   drag and 40 degrees on in that folder (recipr-<renderer>-<rotation>.png), with marks.
// Argument "filter" 1 ticks the "Bragg" and "Laue" node filters too (every node then runs
// both node tests).
// Each iteration starts from cleared charts, like a "Recipr" after "Clear". Run under a
// display with OpenGL, e.g.:
//   xvfb-run -a -s "-screen 0 1600x1200x24" build/bench/recip_bench
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "chart/Catalogue.h"
#include "chart/view/CanvasRenderer.h"
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

// Saves the chart's picture at two rotations when KORVEX_BENCH_PICTURES names a folder.
template <class Draw>
void SavePictures(TChart& chart, const char* renderer, Draw draw) {
  const QString folder = qEnvironmentVariable("KORVEX_BENCH_PICTURES");
  if (folder.isEmpty()) return;
  const int start = chart.View3DOptions().Rotation();
  for (int turn : {0, 40}) {
    const int rot = (start + turn) % 360;
    chart.View3DOptions().SetRotation(rot);
    draw().save(QString("%1/recipr-%2-%3.png").arg(folder, renderer).arg(rot));
  }
  chart.View3DOptions().SetRotation(start);
}

void BM_ReciprDrag(benchmark::State& state) {
  TRecipr r(false);
  r.Run();
  TChart& chart = r.Charts.Chart2;
  int rot = chart.View3DOptions().Rotation();
  if (state.range(0) == 0) {
    TOffscreenGL gl;
    if (!gl.Ok()) {
      state.SkipWithError(gl.Error().toStdString().c_str());
      return;
    }
    SavePictures(chart, "opengl", [&] { return gl.Render(chart, kFrame); });
    gl.Draw(chart, kFrame);
    for (auto _ : state) {
      chart.View3DOptions().SetRotation(rot = (rot + 1) % 360);
      gl.Draw(chart, kFrame);
    }
    state.counters["triangles"] = static_cast<double>(gl.Renderer().TriangleCount());
  } else {
    TCanvasRenderer canvas;
    QImage img(kFrame, QImage::Format_ARGB32_Premultiplied);
    SavePictures(chart, "canvas", [&] {
      QPainter p(&img);
      canvas.Render(chart, p, kFrame);
      return img;
    });
    for (auto _ : state) {
      chart.View3DOptions().SetRotation(rot = (rot + 1) % 360);
      QPainter p(&img);
      canvas.Render(chart, p, kFrame);
    }
    state.counters["pieces"] = static_cast<double>(canvas.PieceCount());
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReciprDrag)->ArgName("renderer")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
