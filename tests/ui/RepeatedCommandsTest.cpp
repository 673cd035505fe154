// Every drawing command of the main window, over and over in one process, with the window shown
// and both charts painted after each command, on the canvas and through OpenGL in turn (the
// OpenGL switch is flipped every round, so the OpenGL widgets come and go as well). The
// animations run a few frames on the timer. What a command leaves behind when the next one
// replaces its scene must not pile up: the resident memory after the last round stays within a
// bound of what it was once caches and pools have settled (after round 10).
// Leaks that no longer have an owner are LeakSanitizer's part, at the end of the sanitized run.
//
// KORVEX_COMMAND_ROUNDS sets the number of rounds (100 by default; about 4 s a round in
// Release, 15 s sanitized). Needs a display with OpenGL (xcb under Xvfb).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QSlider>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

#include "WindowFixture.h"
#include "chart/view/ChartView.h"
#include "ui/Korvex1.h"
#include "ui_TForm1.h"
#include "ui_TFormParam.h"

namespace korvex {
namespace {

// Resident memory of this process in KiB (VmRSS), 0 when it cannot be read.
long ResidentKiB() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
  return 0;
}

int Rounds() {
  const char* text = std::getenv("KORVEX_COMMAND_ROUNDS");
  const int rounds = text != nullptr ? std::atoi(text) : 100;
  return rounds > 0 ? rounds : 100;
}

// Growth of the resident memory allowed between the round where it has settled (the 10th, or
// the 1st in a run of fewer than 20 rounds) and the last round. Release, 100 rounds: 165 MiB
// after round 1, 196 MiB after round 10, 193 MiB after round 100. The sanitized build keeps up
// to 256 MiB of freed memory in its quarantine before reusing it, so its bound is larger by
// that much (CMake sets it).
#ifndef KORVEX_REPEAT_GROWTH_MIB
#define KORVEX_REPEAT_GROWTH_MIB 40
#endif

// The buttons that draw, in the order a user might take them; the animations come after the
// scenes they move in.
constexpr const char* DrawingButtons[] = {
    "ButtonGaAs",  "ButtonSet",  "ButtonReal",    "ButtonRecipr", "ButtonRec2D",
    "ButtonKhSphere", "ButtonMove", "ButtonRotK", "ButtonRotRec", "ButtonK0KhTor",
    "ButtonPSD",   "ButtonAzCone", "ButtonClear",
};

// Every second round draws the layer beside the substrate with the optional parts of the
// scenes on, so both structures and the extra series take part.
constexpr const char* ExtraChecks[] = {
    "CheckBoxStr2", "CheckBoxVolfBregg", "CheckBoxTor", "CheckBoxSpheres", "CheckBoxSurface",
    "CheckBoxK0",   "CheckBoxOm",        "CheckBox2t",  "CheckBoxDet",     "CheckBoxCirkle",
};

class RepeatedCommands : public WindowFixture {
 protected:
  // Lets the window handle what the command queued (the switch of renderer, the repaint) and
  // draws both charts as the user would see them.
  void PaintCharts() {
    QApplication::processEvents();
    for (TChartView* view : {&form->ChartView1(), &form->ChartView2()}) {
      EXPECT_FALSE(view->Picture().isNull());
    }
  }
};

TEST_F(RepeatedCommands, EveryDrawingCommandRepeatedKeepsTheResidentMemoryBounded) {
  const int rounds = Rounds();
  const int settled = rounds >= 20 ? 10 : 1;
  Ui::TForm1& f = form->Controls();
  param->Controls().EditMaxTime->setText(QStringLiteral("3"));
  param->Controls().EditStepTime->setText(QStringLiteral("1"));
  form->show();
  QApplication::processEvents();

  long first = 0, atSettled = 0, last = 0;
  QElapsedTimer clock;
  clock.start();
  for (int round = 1; round <= rounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const bool extras = round % 2 == 0;
    for (const char* name : ExtraChecks) {
      auto* box = form->findChild<QCheckBox*>(QString::fromLatin1(name));
      ASSERT_NE(box, nullptr) << name;
      box->setChecked(extras);
    }
    for (const bool gl : {false, true}) {
      f.CheckBoxGL->setChecked(gl);
      PaintCharts();
      for (const char* name : DrawingButtons) {
        auto* button = form->findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
        EXPECT_FALSE(InCommand()) << name;
        PaintCharts();
      }
      // The crystal turned about its normal redraws the "Set hkl" scene.
      f.ButtonSet->click();
      f.TrackBarFi->setValue((f.TrackBarFi->value() + f.TrackBarFi->maximum() / 7) %
                             (f.TrackBarFi->maximum() + 1));
      PaintCharts();
      if (gl) {
        EXPECT_TRUE(form->ChartView2().UsingOpenGL()) << form->StatusText().toStdString();
      }
    }
    ASSERT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    if (round == 1) first = ResidentKiB();
    if (round == settled) atSettled = ResidentKiB();
    if (round == rounds) last = ResidentKiB();
  }
  std::printf("%d rounds of %zu drawing commands on both renderers in %.1f s; resident memory "
              "after round 1: %.1f MiB, round %d: %.1f MiB, round %d: %.1f MiB\n",
              rounds, std::size(DrawingButtons) + 1, clock.elapsed() / 1000.0, first / 1024.0,
              settled, atSettled / 1024.0, rounds, last / 1024.0);
  ASSERT_GT(atSettled, 0) << "no VmRSS in /proc/self/status";
  EXPECT_LT(last - atSettled, KORVEX_REPEAT_GROWTH_MIB * 1024L)
      << "resident memory grew from " << atSettled / 1024 << " MiB after round " << settled
      << " to " << last / 1024 << " MiB after round " << rounds;
}

}  // namespace
}  // namespace korvex
