// The moving half of the main window: the animation and detector buttons on Timer1 and the
// message pump, commands that end a running animation, the mouse-wheel zoom, "Bind Ch" with the
// chart's before-draw, and the crystal-rotation track bar.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>
#include <functional>

#include "WindowFixture.h"
#include "chart/view/ChartView.h"
#include "geometry/Settings.h"
#include "ui/Korvex1.h"
#include "ui_TForm1.h"
#include "ui_TFormParam.h"

namespace korvex {
namespace {

class AnimationWindow : public WindowFixture {
 protected:
  Ui::TForm1& f() { return form->Controls(); }
  Ui::TFormParam& p() { return param->Controls(); }
  TChartCatalogue& charts() { return form->Charts(); }
  void Steps(int steps, int ms) {
    p().EditMaxTime->setText(QString::number(steps));
    p().EditStepTime->setText(QString::number(ms));
  }
  int TracePoints() {
    const TPoolRange& lines = form->Pool().ReciprocalLines;
    return lines.Empty() ? -1 : lines[lines.Counter]->Count();
  }
  bool Finite() {
    for (const TChart* chart : {&charts().Chart1, &charts().Chart2})
      for (const TChartSeries* s : chart->Series())
        for (const TChartPoint& q : s->Points())
          for (double v : {q.X, q.Y, q.Z, q.EndX, q.EndY, q.EndZ, q.Radius})
            if (!std::isfinite(v)) return false;
    return true;
  }
};

TEST_F(AnimationWindow, MoveOnTheTimerDrawsEveryStepAndEndsWithTheTimerOff) {
  Steps(5, 10);
  f().CheckBoxOm->setChecked(true);
  f().ButtonSet->click();
  f().ButtonMove->click();
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  EXPECT_GE(TracePoints(), 1);
  EXPECT_LE(TracePoints(), 5);  // a slow frame skips ticks
  EXPECT_FALSE(form->Timer1().isActive());
  EXPECT_GE(Settings.TimerTicks, 5);
  EXPECT_TRUE(Finite());

  // Fast mode draws all frames at once, whatever the timer.
  f().CheckBoxFast->setChecked(true);
  Steps(50, 1000);
  f().ButtonMove->click();
  EXPECT_EQ(TracePoints(), 50);
}

// A command clicked while "Move" runs ends it (its recompute turns Timer1 off), and so does
// StopAnimation, which the lecture keys use; "Clear" ends it with the trace gone.
TEST_F(AnimationWindow, NestedCommandsAndTheStopRuleEndARunningAnimation) {
  Steps(1000, 5);
  f().CheckBoxOm->setChecked(true);
  const struct {
    const char* what;
    std::function<void()> act;
  } cases[] = {
      {"Set hkl", [this] { f().ButtonSet->click(); }},
      {"StopAnimation", [this] { form->StopAnimation(); }},
      {"PSD", [this] { f().ButtonPSD->click(); }},
      {"Clear", [this] { f().ButtonClear->click(); }},
  };
  for (const auto& c : cases) {
    f().ButtonClear->click();
    QTimer::singleShot(60, form.get(), c.act);
    QElapsedTimer clock;
    clock.start();
    f().ButtonMove->click();
    EXPECT_LT(clock.elapsed(), 4000) << c.what;  // 1000 steps of 5 ms would be 5 s
    EXPECT_FALSE(form->Timer1().isActive()) << c.what;
    EXPECT_TRUE(Finite()) << c.what;
  }
  EXPECT_TRUE(form->Pool().ReciprocalLines.Empty());
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(AnimationWindow, RotRecBoublikAndRotKRunOnTheTimer) {
  Steps(4, 5);
  f().ButtonSet->click();
  f().ButtonRotRec->click();
  EXPECT_EQ(f().EditFi->text(), QStringLiteral("0"));
  EXPECT_EQ(Settings.Phi, 0);
  EXPECT_GT(charts().SeriesPointRes->Count(), 0);

  f().ButtonK0KhTor->click();
  EXPECT_GE(charts().SeriesSphereKh->Count(), 1);
  EXPECT_LE(charts().SeriesSphereKh->Count(), 4);

  f().ButtonRotK->click();
  EXPECT_GE(TracePoints(), 2);
  EXPECT_FALSE(form->Timer1().isActive());
  EXPECT_TRUE(Finite());
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(AnimationWindow, DetectorButtonsFollowTheStructuresInUse) {
  // "PSD" draws for structure 1 even when only structure 2 is in use.
  f().CheckBoxStr1->setChecked(false);
  f().CheckBoxStr2->setChecked(true);
  f().ButtonPSD->click();
  EXPECT_EQ(charts().SeriesRealPSD->Count(), 4);
  EXPECT_EQ(form->Pool().ReciprocalLines.Count(), 20);

  // "C" with neither structure in use does nothing.
  f().CheckBoxStr2->setChecked(false);
  f().ButtonSet->click();
  f().ButtonClear->click();
  f().ButtonAzCone->click();
  EXPECT_TRUE(form->Pool().ReciprocalLines.Empty());

  f().CheckBoxStr1->setChecked(true);
  Steps(3, 100);
  f().ButtonSet->click();
  f().ButtonAzCone->click();
  EXPECT_EQ(form->Pool().ReciprocalLines.Count(), 7);
  EXPECT_FALSE(f().CheckBoxOm->isChecked() || f().CheckBox2t->isChecked() ||
               f().CheckBoxFast->isChecked());
  EXPECT_TRUE(Finite());
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

// A synthesized wheel event does not travel up the widget tree as the user's does, so it is
// given to the window at the cursor's place over the target.
void Wheel(TForm1& form, QWidget& target, QPoint local, int delta) {
  const QPoint global = target.mapToGlobal(local);
  QWheelEvent e(QPointF(form.mapFromGlobal(global)), QPointF(global), QPoint(), QPoint(0, delta),
                Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&form, &e);
  EXPECT_FALSE(e.isAccepted());  // not marked as handled
}

TEST_F(AnimationWindow, WheelZoomsTheChartUnderTheCursorByItsOwnRectangle) {
  form->show();
  QApplication::processEvents();
  TChart& c1 = charts().Chart1;
  TChart& c2 = charts().Chart2;
  const auto reset = [&] {
    for (TChart* c : {&c1, &c2}) {
      c->BottomAxis().SetMinMax(0, 100);
      c->LeftAxis().SetMinMax(0, 100);
      c->DepthAxis().SetMinMax(0, 100);
    }
  };
  reset();
  Wheel(*form, form->ChartView1(), {50, 50}, 120);
  EXPECT_DOUBLE_EQ(c1.BottomAxis().Minimum(), -1);
  EXPECT_DOUBLE_EQ(c1.BottomAxis().Maximum(), 101);
  EXPECT_DOUBLE_EQ(c1.LeftAxis().Maximum(), 101);
  EXPECT_DOUBLE_EQ(c1.DepthAxis().Minimum(), -0.7968127490039841);
  EXPECT_DOUBLE_EQ(c1.DepthAxis().Maximum(), 100.7968127490039841);
  EXPECT_DOUBLE_EQ(c2.BottomAxis().Maximum(), 100);  // the right chart untouched

  // A backward notch narrows; near the charts' edges (where the window's title bar and top
  // strip used to shift the hit area) the chart under the cursor zooms and no other.
  const QSize size = form->ChartView1().size();
  const struct {
    TChartView* view;
    QPoint at;
    bool left, right;
  } cases[] = {
      {&form->ChartView1(), {2, size.height() - 2}, true, false},
      {&form->ChartView1(), {size.width() - 2, 2}, true, false},
      {&form->ChartView2(), {2, 2}, false, true},
      {&form->ChartView2(), {size.width() - 2, size.height() - 2}, false, true},
  };
  for (const auto& c : cases) {
    reset();
    Wheel(*form, *c.view, c.at, -240);
    EXPECT_DOUBLE_EQ(c1.BottomAxis().Maximum(), c.left ? 99 : 100) << c.at.x() << "," << c.at.y();
    EXPECT_DOUBLE_EQ(c2.BottomAxis().Maximum(), c.right ? 99 : 100) << c.at.x() << "," << c.at.y();
  }
  // Over the buttons below the charts nothing zooms.
  reset();
  Wheel(*form, *f().ButtonSet, {3, 3}, 120);
  EXPECT_DOUBLE_EQ(c1.BottomAxis().Maximum(), 100);
  EXPECT_DOUBLE_EQ(c2.BottomAxis().Maximum(), 100);
}

TEST_F(AnimationWindow, BindChTurnsTheRightChartWithTheLeftOneAtItsRepaint) {
  form->show();
  QApplication::processEvents();
  TView3DOptions& v1 = charts().Chart1.View3DOptions();
  TView3DOptions& v2 = charts().Chart2.View3DOptions();
  v2.SetRotation(300);
  v2.SetElevation(300);
  v1.SetRotation(20);
  v1.SetElevation(330);
  form->ChartView1().repaint();
  EXPECT_EQ(v2.Rotation(), 300);  // not bound yet
  // Repainting the left chart alone leaves the right one as it is (its credit lines stand).
  int drawn2 = 0;
  QObject::connect(&form->ChartView2(), &TChartView::Drawn, [&drawn2] { ++drawn2; });
  QApplication::processEvents();
  drawn2 = 0;
  form->ChartView1().repaint();
  QApplication::processEvents();
  EXPECT_EQ(drawn2, 0);

  f().CheckBoxBind->setChecked(true);
  v1.SetRotation(25);  // as a drag of the left chart does
  form->ChartView1().repaint();
  EXPECT_EQ(v2.Rotation(), 25);
  EXPECT_EQ(v2.Elevation(), 330);
  QApplication::processEvents();
  EXPECT_GE(drawn2, 1);  // and the right chart is drawn turned
  for (TChart* chart : {&charts().Chart1, &charts().Chart2}) {
    EXPECT_TRUE(chart->Foot().Visible);
    EXPECT_EQ(chart->Foot().Text, CreditLine1);
    EXPECT_EQ(chart->SubFoot().Text, CreditLine2);
    EXPECT_EQ(chart->SubFoot().Left, form->ChartView1().width() - 115);
    EXPECT_EQ(chart->Foot().Top, form->ChartView1().height() - 22);
    EXPECT_EQ(chart->Foot().Font.Color, clRed);
  }
}

// The track bar at 90 shows "90" and turns the crystal by a quarter turn about the normal.
TEST_F(AnimationWindow, TrackBarFiAt90TurnsTheCrystalBy90Degrees) {
  f().ButtonSet->click();
  const TTriSurfaceSeries& surface = *charts().SeriesSurf;
  ASSERT_EQ(surface.Count(), 4);
  const double x0 = surface.XValue(0), y0 = surface.ZValue(0);
  f().TrackBarFi->setValue(90);
  EXPECT_EQ(f().EditFi->text(), QStringLiteral("90"));
  EXPECT_DOUBLE_EQ(Settings.Phi, Pi / 2);
  ASSERT_EQ(surface.Count(), 4);
  // The slab's first top corner turned by -90 degrees about z.
  EXPECT_NEAR(surface.XValue(0), y0, 1e-9);
  EXPECT_NEAR(surface.ZValue(0), -x0, 1e-9);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

}  // namespace
}  // namespace korvex
