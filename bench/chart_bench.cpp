// Chart engine speed: filling series, and the frame time of each renderer at 640 x 640
// pixels for the light scene (200 spheres, 30 arrows, 2 planes) and the heaviest scene
// (ten 121 x 121 transparent height fields, 10 000 spheres, 1 000 labelled arrows).
// Every frame turns the view by one degree, as a mouse drag does. Scene 0 is the light
// scene, 1 the heavy one, 2..4 its surfaces, spheres and arrows alone.
// "CPU" is the time of all threads of the process (Mesa draws on several threads).
// Run under a display with OpenGL, e.g.:
//   xvfb-run -a -s "-screen 0 1600x1200x24" build/bench/chart_bench
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "bench/chart_scenes.h"
#include "chart/view/CanvasRenderer.h"
#include "chart/view/GLRenderer.h"
#include "chart/view/OffscreenGL.h"

using namespace korvex;

namespace {

const QSize kFrame(640, 640);

struct TNullObserver : IChartObserver {
  int Calls = 0;
  void ChartChanged(TChart&) override { ++Calls; }
  void ChartDestroying(TChart&) override {}
};

void BM_AddBubbles(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    TChart chart;
    TNullObserver obs;
    chart.AddObserver(&obs);
    auto* s = chart.CreateSeries<TBubble3DSeries>();
    for (int i = 0; i < n; ++i) s->AddBubble(i, i, i, 0.1, "", clRed);
    benchmark::DoNotOptimize(obs.Calls);
    chart.RemoveObserver(&obs);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_AddBubbles)->Arg(10000)->Unit(benchmark::kMillisecond);

// 0 light scene, 1 heavy scene; 2, 3, 4 only the surfaces, spheres or arrows of it.
void Fill(TChart& chart, int64_t scene) {
  if (scene == 0)
    chartdemo::FillLight(chart);
  else if (scene == 1)
    chartdemo::FillHeavy(chart);
  else
    chartdemo::FillHeavy(chart, 1 << (scene - 2));
}

void BM_Canvas(benchmark::State& state) {
  TChart chart;
  Fill(chart, state.range(0));
  TCanvasRenderer canvas;
  QImage img(kFrame, QImage::Format_ARGB32_Premultiplied);
  int rot = 345;
  for (auto _ : state) {
    chart.View3DOptions().SetRotation(rot = (rot + 1) % 360);
    QPainter p(&img);
    canvas.Render(chart, p, kFrame);
  }
  state.counters["pieces"] = static_cast<double>(canvas.PieceCount());
}
BENCHMARK(BM_Canvas)->ArgName("scene")->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_OpenGL(benchmark::State& state) {
  TOffscreenGL gl;
  if (!gl.Ok()) {
    state.SkipWithError(gl.Error().toStdString().c_str());
    return;
  }
  TChart chart;
  Fill(chart, state.range(0));
  gl.Draw(chart, kFrame);  // first frame builds the geometry
  const int built = gl.Renderer().Rebuilds();
  int rot = 345;
  for (auto _ : state) {
    chart.View3DOptions().SetRotation(rot = (rot + 1) % 360);
    gl.Draw(chart, kFrame);
  }
  state.counters["triangles"] = static_cast<double>(gl.Renderer().TriangleCount());
  state.counters["rebuilds"] = gl.Renderer().Rebuilds() - built;
}
BENCHMARK(BM_OpenGL)->ArgName("scene")->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// OpenGL frame with the marks and texts painted on top, read back into an image.
void BM_OpenGLWithMarks(benchmark::State& state) {
  TOffscreenGL gl;
  if (!gl.Ok()) {
    state.SkipWithError(gl.Error().toStdString().c_str());
    return;
  }
  TChart chart;
  Fill(chart, state.range(0));
  gl.Draw(chart, kFrame);
  int rot = 345;
  for (auto _ : state) {
    chart.View3DOptions().SetRotation(rot = (rot + 1) % 360);
    benchmark::DoNotOptimize(gl.Render(chart, kFrame));
  }
}
BENCHMARK(BM_OpenGLWithMarks)->ArgName("scene")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
