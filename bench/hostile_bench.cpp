// The slowest inputs the fields accept: each case types its values into the main window, runs
// one command and paints both charts, first on the canvas (the first paint after a command
// also triangulates the plane surfaces), then once more on the canvas (a repaint, as after a
// drag), then through OpenGL. The counters give each step in milliseconds; the goal is that
// none of them takes over 2 s in Release.
// With KORVEX_BENCH_PICTURES=<folder> set, each case also leaves its canvas and OpenGL
// pictures of both charts there, for comparing the drawings of two builds.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QStringList>
#include <ctime>
#include <map>
#include <memory>

#include "chart/view/ChartView.h"
#include "chart/view/OffscreenGL.h"
#include "geometry/Settings.h"
#include "ui/Command.h"
#include "ui/Korvex1.h"
#include "ui/Parsing.h"
#include "ui/TAboutForm.h"
#include "ui/TFormParam.h"
#include "ui_TForm1.h"

using namespace korvex;

namespace {

struct TCase {
  const char* Name;
  const char* Edits;   // "ObjectName=text;..."
  const char* Checks;  // check boxes on for the case
  const char* Button;
};

const TCase Cases[] = {
    {"hkl -2147483648 x3", "EditH=-2147483648;EditK=-2147483648;EditL=-2147483648", "",
     "ButtonSet"},
    {"hkl 1000000 x3", "EditH=1000000;EditK=1000000;EditL=1000000", "", "ButtonSet"},
    {"hkl 1000 x3", "EditH=1000;EditK=1000;EditL=1000", "", "ButtonSet"},
    {"hkl 0 0 10000", "EditH=0;EditK=0;EditL=10000", "", "ButtonSet"},
    {"hkl 1000 x3 Real", "EditH=1000;EditK=1000;EditL=1000", "", "ButtonReal"},
    {"lambda 0.0001 Bragg Laue Tor Spheres, Set hkl", "EditLambda=0.0001",
     "CheckBoxSurface CheckBoxK0 CheckBoxTor CheckBoxSpheres", "ButtonSet"},
    {"lambda 0.0001 Bragg Laue Tor Spheres, Recipr", "EditLambda=0.0001",
     "CheckBoxSurface CheckBoxK0 CheckBoxTor CheckBoxSpheres", "ButtonRecipr"},
    {"lambda 0.0001 Bragg Laue Tor Spheres, KhSph", "EditLambda=0.0001",
     "CheckBoxSurface CheckBoxK0 CheckBoxTor CheckBoxSpheres", "ButtonKhSphere"},
    {"lambda 0.0001 Bragg Laue Full Spheres, Recipr", "EditLambda=0.0001",
     "CheckBoxSurface CheckBoxK0 CheckBoxFull CheckBoxSpheres", "ButtonRecipr"},
    // Everyday scenes, for comparing pictures.
    {"start values, Set hkl", "EditH=0", "", "ButtonSet"},
    {"hkl 1 1 1 Real", "EditH=1;EditK=1;EditL=1", "", "ButtonReal"},
    {"hkl 2 2 4 DivAb Real", "EditH=2;EditK=2;EditL=4", "CheckBoxDivisible", "ButtonReal"},
    {"hkl 1 1 3 normal 1 1 1 Set hkl",
     "EditH=1;EditK=1;EditL=3;EditHnorm=1;EditKnorm=1;EditLnorm=1", "", "ButtonSet"},
    {"hkl 3 1 1 unit cell Real", "EditH=3;EditK=1;EditL=1;EditNReal=-1", "", "ButtonReal"},
    {"hkl 2 2 4 Sin Real", "EditH=2;EditK=2;EditL=4", "CheckBoxVolfBregg", "ButtonReal"},
    {"two structures Set hkl", "EditH=2;EditK=2;EditL=4", "CheckBoxStr2 CheckBoxIncSurf",
     "ButtonSet"},
    {"Bragg Laue Tor Spheres Recipr", "EditH=2;EditK=2;EditL=4",
     "CheckBoxSurface CheckBoxK0 CheckBoxTor CheckBoxSpheres", "ButtonRecipr"},
};

struct TWindow {
  std::unique_ptr<TForm1> Form;
  std::unique_ptr<TAboutForm> About;
  std::unique_ptr<TFormParam> Param;
  TOffscreenGL Gl;
  TWindow() {
    SetErrorReporter([](const QString&) {});
    Form = std::make_unique<TForm1>();
    About = std::make_unique<TAboutForm>(Form.get());
    AboutForm = About.get();
    Param = std::make_unique<TFormParam>(Form.get());
  }
};

TWindow* GWindow = nullptr;  // lives inside main, with the application object
TWindow& Window() { return *GWindow; }

// Wall-clock and processor time since the last call, in milliseconds. On a machine shared
// with other work the processor time of the one-threaded steps (command, canvas) is what the
// step would take alone.
struct TStopwatch {
  QElapsedTimer Wall;
  double Cpu = CpuNow();
  TStopwatch() { Wall.start(); }
  static double CpuNow() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
  }
  void Lap(double& wall, double& cpu) {
    wall = std::max(wall, static_cast<double>(Wall.nsecsElapsed()) / 1e6);
    const double now = CpuNow();
    cpu = std::max(cpu, now - Cpu);
    Wall.restart();
    Cpu = now;
  }
};

void BM_HostileCase(benchmark::State& state) {
  const TCase& c = Cases[state.range(0)];
  state.SetLabel(c.Name);
  TWindow& w = Window();
  if (!w.Gl.Ok()) {
    state.SkipWithError("no OpenGL");
    return;
  }
  const QSize size(469, 469);  // each chart of the window at its start-up width
  std::map<QLineEdit*, QString> start;
  for (QLineEdit* e : w.Form->findChildren<QLineEdit*>()) start[e] = e->text();
  for (QLineEdit* e : w.Param->findChildren<QLineEdit*>()) start[e] = e->text();
  const QStringList checks =
      QString::fromLatin1(c.Checks).split(QLatin1Char(' '), Qt::SkipEmptyParts);
  const QString pictures = qEnvironmentVariable("KORVEX_BENCH_PICTURES");
  double command = 0, canvas = 0, repaint = 0, gl = 0;  // slowest wall-clock times
  double commandCpu = 0, canvasCpu = 0, repaintCpu = 0, glCpu = 0;
  for (auto _ : state) {
    for (const QString& pair : QString::fromLatin1(c.Edits).split(QLatin1Char(';'))) {
      const qsizetype eq = pair.indexOf(QLatin1Char('='));
      QLineEdit* e = w.Form->findChild<QLineEdit*>(pair.left(eq));
      if (e == nullptr) e = w.Param->findChild<QLineEdit*>(pair.left(eq));
      e->setText(pair.mid(eq + 1));
    }
    for (const QString& name : checks) w.Form->findChild<QCheckBox*>(name)->setChecked(true);
    TStopwatch t;
    w.Form->findChild<QAbstractButton*>(QString::fromLatin1(c.Button))->click();
    t.Lap(command, commandCpu);
    for (TChartView* v : {&w.Form->ChartView1(), &w.Form->ChartView2()})
      benchmark::DoNotOptimize(v->CanvasPicture(size).constBits());
    t.Lap(canvas, canvasCpu);
    for (TChartView* v : {&w.Form->ChartView1(), &w.Form->ChartView2()})
      benchmark::DoNotOptimize(v->CanvasPicture(size).constBits());
    t.Lap(repaint, repaintCpu);
    w.Gl.Draw(w.Form->Charts().Chart1, size);
    w.Gl.Draw(w.Form->Charts().Chart2, size);
    t.Lap(gl, glCpu);
    state.PauseTiming();
    if (!pictures.isEmpty()) {
      const QString base =
          pictures + QStringLiteral("/case%1_").arg(state.range(0), 2, 10, QLatin1Char('0'));
      w.Form->ChartView1().CanvasPicture(size).save(base + QStringLiteral("canvas1.png"));
      w.Form->ChartView2().CanvasPicture(size).save(base + QStringLiteral("canvas2.png"));
      w.Gl.Render(w.Form->Charts().Chart1, size).save(base + QStringLiteral("gl1.png"));
      w.Gl.Render(w.Form->Charts().Chart2, size).save(base + QStringLiteral("gl2.png"));
    }
    for (const QString& name : checks) w.Form->findChild<QCheckBox*>(name)->setChecked(false);
    for (auto& [e, text] : start) e->setText(text);
    w.Form->Controls().ButtonClear->click();
    state.ResumeTiming();
  }
  // The slowest of the iterations, in milliseconds; "_cpu" is processor time (OpenGL draws on
  // several threads, so its processor time can exceed its wall-clock time).
  state.counters["command_ms"] = command;
  state.counters["canvas_ms"] = canvas;
  state.counters["repaint_ms"] = repaint;
  state.counters["gl_ms"] = gl;
  state.counters["command_cpu"] = commandCpu;
  state.counters["canvas_cpu"] = canvasCpu;
  state.counters["repaint_cpu"] = repaintCpu;
  state.counters["gl_cpu"] = glCpu;
}
BENCHMARK(BM_HostileCase)
    ->DenseRange(0, static_cast<int>(std::size(Cases)) - 1)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  SetDecimalSeparator(QLatin1Char('.'));
  benchmark::Initialize(&argc, argv);
  {
    TWindow window;
    GWindow = &window;
    benchmark::RunSpecifiedBenchmarks();
    GWindow = nullptr;
  }
  return 0;
}
