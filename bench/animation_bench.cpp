// Speed of the animations in the main window at its start size, on the canvas and through
// OpenGL ("gl" 1), after "Set hkl" on Si 004 (lambda 1.54 A):
//   BM_MoveOnTimer: "Move" (omega scan) with A = 50 steps of 100 ms on Timer1, as the user
//   sees it. Counters: frames drawn and ticks skipped (50 - frames), the mean and the largest
//   time of one redraw of both charts (paint of Chart1 plus paint of Chart2, start of the
//   paint event to the end of the chart's drawing), and the largest delay before the window
//   handles an event posted from outside while the animation runs (a click waits as long),
//   and the stretch of the scan against its 5 s.
//   "heavy" 1 runs "Recipr" at 0.7093 A with every region, sphere and node series shown
//   first, so the scan moves over the whole reciprocal-space scene.
//   BM_RedrawBothCharts: one repaint of both charts after such a scan, through the message
//   loop, window flush included.
//   BM_AzimuthCone: "C", 101 fast omega/2theta scans of 50 steps each, with its final
//   repaint of both charts.
// Needs a display with OpenGL and Base/ beside the program, e.g.
//   xvfb-run -a -s "-screen 0 1600x1200x24" env QT_QPA_PLATFORM=xcb build/rel/bench/animation_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QOpenGLWidget>
#include <QPointer>
#include <QPushButton>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "chart/view/ChartView.h"
#include "geometry/Settings.h"
#include "ui/Command.h"
#include "ui/Korvex1.h"
#include "ui/Parsing.h"
#include "ui/TAboutForm.h"
#include "ui/TFormParam.h"
#include "ui_TForm1.h"
#include "ui_TFormParam.h"

using namespace korvex;

namespace {

// Times each paint of a chart view (or of its OpenGL child) from its paint event to the end of
// the chart's drawing.
class TPaintClock : public QObject {
 public:
  explicit TPaintClock(TChartView& view) : View_(view) {
    view.installEventFilter(this);
    for (QWidget* child : view.findChildren<QWidget*>()) child->installEventFilter(this);
    QObject::connect(&view, &TChartView::Drawn, this, [this] {
      if (!Clock_.isValid()) return;
      Last_ = Clock_.nsecsElapsed() * 1e-6;
      Clock_.invalidate();
      ++Paints;
    });
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) Clock_.start();
    return QObject::eventFilter(watched, event);
  }
  // The last paint's time in ms, 0 when none was made since the last call.
  double Take() { return std::exchange(Last_, 0.0); }
  int Paints = 0;

 private:
  TChartView& View_;
  QElapsedTimer Clock_;
  double Last_ = 0;
};

// Posts an event to the window's thread every 97 ms from another thread and keeps the largest
// delay until one is handled (each event carries its own posting time).
class TLatencyProbe : public QObject {
 public:
  TLatencyProbe() {
    Thread_ = std::thread([this] {
      while (!Stop_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(97));
        QCoreApplication::postEvent(this, new TPosted(Now()));
      }
    });
  }
  ~TLatencyProbe() override {
    Stop_ = true;
    Thread_.join();
    QCoreApplication::removePostedEvents(this);
  }
  bool event(QEvent* e) override {
    if (e->type() != TPosted::Type) return QObject::event(e);
    Worst = std::max(Worst, (Now() - static_cast<TPosted*>(e)->At) * 1e-6);
    return true;
  }
  double Worst = 0;

 private:
  struct TPosted : QEvent {
    static constexpr QEvent::Type Type = QEvent::User;
    explicit TPosted(int64_t at) : QEvent(Type), At(at) {}
    int64_t At;
  };
  static int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  std::atomic<bool> Stop_{false};
  std::thread Thread_;
};

struct TWindow {
  std::unique_ptr<TForm1> Form = std::make_unique<TForm1>();
  TAboutForm About{Form.get()};
  std::unique_ptr<TFormParam> Param = std::make_unique<TFormParam>(Form.get());
  Ui::TForm1& f() { return Form->Controls(); }

  TWindow(bool gl, bool heavy) {
    AboutForm = &About;
    SetErrorReporter([](const QString&) {});
    Form->show();
    Settle();
    Param->Controls().EditMaxTime->setText(QStringLiteral("50"));
    Param->Controls().EditStepTime->setText(QStringLiteral("100"));
    f().CheckBoxGL->setChecked(gl);
    if (heavy) {
      f().EditLambda->setText(QStringLiteral("0.7093"));
      f().CheckBoxHi->setChecked(true);
      f().ButtonRecipr->click();
      TChartCatalogue& c = Form->Charts();
      for (TChartSeries* s : std::initializer_list<TChartSeries*>{
               c.SeriesSurfUp, c.SeriesSurfDwn, c.SeriesSurfKh0, c.SeriesSurfK00, c.SeriesLaueKh,
               c.SeriesBraggFull, c.SeriesTor1, c.SeriesTor2, c.SeriesSphereSmall,
               c.SeriesSphereBig, c.SeriesCircle1, c.SeriesCircle2, c.SeriesCircle3,
               c.SeriesCircle4, c.SeriesPointRes}) {
        s->SetActive(true);
      }
    }
    f().ButtonSet->click();
    Settle();
  }
  ~TWindow() {
    Param.reset();
    AboutForm = nullptr;
  }
  static void Settle() {
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
  }
};

void BM_MoveOnTimer(benchmark::State& state) {
  const bool gl = state.range(0) != 0;
  TWindow w(gl, state.range(1) != 0);
  if (gl && !w.Form->ChartView1().UsingOpenGL()) {
    state.SkipWithError("no OpenGL");
    return;
  }
  w.f().CheckBoxOm->setChecked(true);
  TPaintClock clock1(w.Form->ChartView1()), clock2(w.Form->ChartView2());
  int frames = 0, skipped = 0;
  double sum = 0, worst = 0, latency = 0, elapsed = 0;
  int redraws = 0;
  for (auto _ : state) {
    // One redraw of both charts per frame, taken when the next frame starts (on the tick).
    QMetaObject::Connection tick = QObject::connect(&w.Form->Timer1(), &QTimer::timeout, [&] {
      const double both = clock1.Take() + clock2.Take();
      if (both > 0) {
        sum += both;
        worst = std::max(worst, both);
        ++redraws;
      }
    });
    TLatencyProbe probe;
    const int before = w.Form->Pool().ReciprocalLines.Count();
    QElapsedTimer run;
    run.start();
    w.f().ButtonMove->click();
    elapsed = static_cast<double>(run.elapsed());
    QObject::disconnect(tick);
    latency = std::max(latency, probe.Worst);
    const TPoolRange& lines = w.Form->Pool().ReciprocalLines;
    if (lines.Count() > before) {
      frames = lines[lines.Counter]->Count();
      skipped = 50 - frames;
    }
  }
  state.counters["frames"] = frames;
  state.counters["skipped"] = skipped;
  state.counters["redraw_ms"] = redraws > 0 ? sum / redraws : 0;
  state.counters["redraw_max_ms"] = worst;
  state.counters["event_delay_max_ms"] = latency;
  // How much longer than A steps of 100 ms the scan took (Qt runs a late timer once, so a
  // slow frame stretches the scan rather than skipping ticks).
  state.counters["stretch"] = elapsed / 5000.0;
}
BENCHMARK(BM_MoveOnTimer)
    ->ArgNames({"gl", "heavy"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One redraw of both charts as a frame of the scan leaves them (a trace of 50 points, the beams
// moved): both marked for repaint and the messages handled until both have been drawn and the
// window flushed, the OpenGL picture included.
void BM_RedrawBothCharts(benchmark::State& state) {
  const bool gl = state.range(0) != 0;
  TWindow w(gl, state.range(1) != 0);
  if (gl && !w.Form->ChartView1().UsingOpenGL()) {
    state.SkipWithError("no OpenGL");
    return;
  }
  w.f().CheckBoxOm->setChecked(true);
  w.f().CheckBoxFast->setChecked(true);
  w.f().ButtonMove->click();
  TWindow::Settle();
  // In OpenGL the picture is the view's OpenGL child, which repaints on its own.
  std::vector<QWidget*> targets;
  for (TChartView* view : {&w.Form->ChartView1(), &w.Form->ChartView2()}) {
    const QList<QOpenGLWidget*> children = view->findChildren<QOpenGLWidget*>();
    if (children.isEmpty()) {
      targets.push_back(view);
    } else {
      targets.insert(targets.end(), children.begin(), children.end());
    }
  }
  int paints = 0;
  for (TChartView* view : {&w.Form->ChartView1(), &w.Form->ChartView2()}) {
    QObject::connect(view, &TChartView::Drawn, [&paints] { ++paints; });
  }
  for (auto _ : state) {
    const int before = paints;
    for (QWidget* target : targets) target->update();
    for (int i = 0; i < 1000 && paints < before + 2; ++i) QApplication::processEvents();
    QApplication::processEvents();  // the flush that follows the paints
  }
  state.counters["paints_per_redraw"] =
      static_cast<double>(paints) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RedrawBothCharts)
    ->ArgNames({"gl", "heavy"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->MinTime(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_AzimuthCone(benchmark::State& state) {
  TWindow w(state.range(0) != 0, false);
  for (auto _ : state) {
    state.PauseTiming();
    w.f().ButtonClear->click();
    w.f().ButtonSet->click();
    TWindow::Settle();
    state.ResumeTiming();
    w.f().ButtonAzCone->click();
  }
  state.counters["traces"] = w.Form->Pool().ReciprocalLines.Count();
}
BENCHMARK(BM_AzimuthCone)
    ->ArgName("gl")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  SetDecimalSeparator(QLatin1Char('.'));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
