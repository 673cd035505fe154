// Hostile input: degenerate, absurd and malformed values typed into the main window and the
// parameter dialog, followed by the drawing buttons with a few view switches and one step of
// the crystal-rotation track bar. Every command must either draw or report, never crash (the
// sanitizers abort on a fault) and never leave a non-finite number in either chart.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStringList>
#include <cmath>
#include <map>

#include "WindowFixture.h"
#include "geometry/Settings.h"
#include "ui/Command.h"
#include "ui/Korvex1.h"
#include "ui/Parsing.h"
#include "ui/TFormParam.h"
#include "ui_TForm1.h"
#include "ui_TFormParam.h"

namespace korvex {
namespace {

struct HostileCase {
  const char* edits;    // "ObjectName=text;ObjectName=text", fields of the window or the dialog
  const char* checks;   // check boxes switched on for the case
  const char* buttons;  // buttons clicked in turn
};

// About fifty (input, button) pairs: each hostile value with the buttons that read it.
constexpr HostileCase Cases[] = {
    // Wavelength.
    {"EditLambda=0", "", "ButtonReal ButtonRecipr"},
    {"EditLambda=-1", "CheckBoxTor", "ButtonKhSphere"},
    {"EditLambda=nan", "", "ButtonSet ButtonRec2D"},
    {"EditLambda=1e999", "", "ButtonGaAs ButtonRecipr"},
    {"EditLambda=1e-300", "CheckBoxSurface CheckBoxK0", "ButtonRecipr ButtonReal"},
    {"EditLambda=1e-10", "", "ButtonRecipr ButtonSet"},
    {"EditLambda=0.001", "CheckBoxTor CheckBoxSpheres", "ButtonRecipr ButtonKhSphere"},
    {"EditLambda=100", "CheckBoxVolfBregg", "ButtonSet ButtonReal"},
    {"EditLambda=100", "CheckBoxSurface CheckBoxK0 CheckBoxFull CheckBoxTor",
     "ButtonRecipr ButtonRec2D"},
    {"EditLambda=1e300", "CheckBoxSurface CheckBoxK0 CheckBoxFull CheckBoxTor CheckBoxSpheres",
     "ButtonSet ButtonReal ButtonRecipr ButtonKhSphere ButtonRec2D"},
    // Reflection.
    {"EditH=0;EditK=0;EditL=0", "CheckBoxVolfBregg", "ButtonSet ButtonReal ButtonKhSphere"},
    {"EditH=0;EditK=0;EditL=0", "CheckBoxSpheres", "ButtonRecipr ButtonRec2D"},
    {"EditH=2147483647", "", "ButtonSet ButtonReal"},
    {"EditL=2147483647", "CheckBoxStr2", "ButtonKhSphere ButtonRecipr"},
    {"EditH=-2147483648;EditK=2147483647;EditL=2147483647", "CheckBoxVolfBregg",
     "ButtonSet ButtonReal ButtonKhSphere"},
    {"EditH=-5;EditK=-5;EditL=-5", "CheckBoxVolfBregg", "ButtonReal ButtonSet"},
    // Surface normal and plane of incidence.
    {"EditHnorm=0;EditKnorm=0;EditLnorm=0", "", "ButtonSet ButtonReal ButtonRecipr"},
    {"EditHnorm=2147483647", "CheckBoxSurface", "ButtonRecipr ButtonSet"},
    {"EditHnorm=-2147483648;EditKnorm=2147483647;EditLnorm=2147483647;EditHpl=2147483647",
     "CheckBoxIncSurf", "ButtonSet ButtonReal ButtonRec2D"},
    {"EditHnorm=0;EditKnorm=0;EditLnorm=1;EditHpl=0;EditKpl=0;EditLpl=1", "CheckBoxIncSurf",
     "ButtonSet ButtonReal ButtonRecipr ButtonRec2D"},
    {"EditHpl=0;EditKpl=0;EditLpl=0", "CheckBoxTor CheckBoxFull", "ButtonSet ButtonKhSphere"},
    // Angles and detector of the window.
    {"EditFi=1e300;EditOm=1e300;Edit2t=-1e300;EditOffset=1e300;EditDeltaOm=nan",
     "CheckBoxVolfBregg", "ButtonSet ButtonReal ButtonKhSphere"},
    // Structure names.
    {"EditStr1=", "", "ButtonGaAs ButtonReal ButtonRecipr"},
    {"EditStr1=Xx", "CheckBoxStr2", "ButtonSet ButtonRec2D"},
    {"EditStr2=In5Ga5", "CheckBoxStr2", "ButtonGaAs ButtonRecipr"},
    {"EditStr2=Si/../Ge", "CheckBoxStr2", "ButtonReal ButtonKhSphere"},
    {"EditStr2=In99999999999Ga1As", "CheckBoxStr2", "ButtonSet ButtonRecipr"},
    // Relaxation of the layer.
    {"EditStr2=InAs;EditRelaxation=r", "CheckBoxStr2", "ButtonReal ButtonRecipr"},
    {"EditStr2=InAs;EditRelaxation=a", "CheckBoxStr2 CheckBoxVolfBregg", "ButtonSet ButtonReal"},
    {"EditStr2=InAs;EditRelaxation=0.5", "CheckBoxStr2", "ButtonKhSphere ButtonRec2D"},
    {"EditStr2=InAs;EditRelaxation=-1", "CheckBoxStr2 CheckBoxVolfBregg", "ButtonSet ButtonReal"},
    {"EditStr2=InAs;EditRelaxation=1e300", "CheckBoxStr2", "ButtonSet ButtonRecipr"},
    {"EditStr2=InAs;EditRelaxation=garbage", "CheckBoxStr2", "ButtonGaAs ButtonSet"},
    // Cell of the dialog.
    {"EditAlf1=0;EditBet1=0;EditGam1=0", "", "ButtonGaAs ButtonReal ButtonRecipr"},
    {"EditAlf1=180;EditBet1=180;EditGam1=180", "CheckBoxVolfBregg", "ButtonSet ButtonReal"},
    {"EditGam1=120", "", "ButtonRecipr ButtonRec2D"},
    {"EditAlf2=0;EditGam2=180", "CheckBoxStr2", "ButtonRecipr ButtonKhSphere"},
    {"EditAlf1=1e300;EditBet1=-1e300;EditGam1=90.0000001", "",
     "ButtonGaAs ButtonReal ButtonRecipr"},
    {"EditAx1=0;EditBx1=-1;EditCx1=nan", "", "ButtonGaAs ButtonReal"},
    {"EditAx1=1e-300;EditBx1=1e-300;EditCx1=1e-300", "CheckBoxTor", "ButtonSet ButtonRecipr"},
    {"EditAx1=1e300;EditBx1=1e300;EditCx1=1e300", "CheckBoxVolfBregg",
     "ButtonGaAs ButtonSet ButtonReal ButtonRecipr ButtonKhSphere"},
    {"EditAx1=10000;EditBx1=10000;EditCx1=10000;EditNReal=15", "CheckBoxVolfBregg CheckBoxTor",
     "ButtonSet ButtonReal ButtonRecipr"},
    // Extent of the drawings.
    {"EditNReal=-1", "", "ButtonGaAs ButtonReal"},
    {"EditNReal=0", "", "ButtonReal"},
    {"EditNReal=15", "", "ButtonGaAs"},
    {"EditNRecMax=0", "", "ButtonRecipr ButtonRec2D"},
    {"EditNRecMax=-3", "CheckBoxSpheres", "ButtonRecipr"},
    {"EditNRecMax=30", "", "ButtonRec2D"},
    {"EditNRecMax=1,2", "", "ButtonRecipr ButtonClear"},
    // Animations and detector views, a few short steps.
    {"EditH=0;EditK=0;EditL=0;EditMaxTime=5;EditStepTime=1", "CheckBoxOm CheckBox2t CheckBoxDet",
     "ButtonMove ButtonRotK ButtonPSD ButtonAzCone"},
    {"EditL=12;EditMaxTime=5;EditStepTime=1", "CheckBoxOm CheckBoxFast CheckBoxTilt",
     "ButtonMove ButtonRotRec ButtonK0KhTor ButtonPSD"},
    {"EditDeltaOm=1e300;EditOffset=nan;EditMaxTime=5;EditStepTime=1",
     "CheckBoxOm CheckBox2t CheckBoxFast CheckBoxTilt CheckBoxDet", "ButtonMove ButtonAzCone"},
    {"EditDistPSD=0;EditSizePSD=0;EditMaxTime=3", "CheckBoxDet", "ButtonPSD"},
    {"EditDistPSD=1e300;EditSizePSD=-1e300;EditMaxTime=1;EditStepTime=1",
     "CheckBoxDet CheckBoxStr2", "ButtonPSD ButtonRotRec ButtonK0KhTor"},
    {"EditMaxTime=300;EditStepTime=1", "CheckBox2t CheckBoxFast CheckBoxDet CheckBoxCirkle",
     "ButtonMove ButtonPSD"},
};

class HostileInputTest : public WindowFixture {
 protected:
  QLineEdit* edit(const QString& name) {
    if (auto* e = form->findChild<QLineEdit*>(name)) return e;
    return param->findChild<QLineEdit*>(name);
  }
};

TEST_F(HostileInputTest, EveryCommandDrawsOrReportsAndLeavesOnlyFiniteNumbers) {
  // The start-up texts of every field, put back after each case so the cases stay apart
  // while the window itself lives on through all of them, as it would in use.
  std::map<QLineEdit*, QString> startTexts;
  for (QLineEdit* e : form->findChildren<QLineEdit*>()) startTexts[e] = e->text();
  for (QLineEdit* e : param->findChildren<QLineEdit*>()) startTexts[e] = e->text();

  for (const HostileCase& c : Cases) {
    SCOPED_TRACE(std::string(c.edits) + " [" + c.checks + "]");
    for (const QString& pair : QString::fromLatin1(c.edits).split(QLatin1Char(';'))) {
      const qsizetype eq = pair.indexOf(QLatin1Char('='));
      QLineEdit* e = edit(pair.left(eq));
      ASSERT_NE(e, nullptr) << pair.toStdString();
      e->setText(pair.mid(eq + 1));
    }
    const QStringList checks =
        QString::fromLatin1(c.checks).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& name : checks) {
      auto* box = form->findChild<QCheckBox*>(name);
      ASSERT_NE(box, nullptr) << name.toStdString();
      box->setChecked(true);
      EXPECT_EQ(NonFinite(form->Charts().Chart2), "") << name.toStdString();
    }
    for (const QString& name : QString::fromLatin1(c.buttons).split(QLatin1Char(' '))) {
      auto* button = form->findChild<QAbstractButton*>(name);
      ASSERT_NE(button, nullptr) << name.toStdString();
      errors.clear();
      button->click();
      EXPECT_FALSE(InCommand());
      EXPECT_EQ(NonFinite(form->Charts().Chart1), "") << name.toStdString();
      EXPECT_EQ(NonFinite(form->Charts().Chart2), "") << name.toStdString();
    }
    // The crystal turned about its normal redraws the last scene from the same input.
    QSlider& fi = *form->Controls().TrackBarFi;
    fi.setValue(fi.value() == fi.maximum() / 3 ? fi.maximum() / 2 : fi.maximum() / 3);
    EXPECT_EQ(NonFinite(form->Charts().Chart1), "") << "TrackBarFi";
    EXPECT_EQ(NonFinite(form->Charts().Chart2), "") << "TrackBarFi";
    for (const QString& name : checks) form->findChild<QCheckBox*>(name)->setChecked(false);
    for (auto& [e, text] : startTexts) e->setText(text);
  }
  // Sane input afterwards draws again without a report: nothing was left broken.
  errors.clear();
  form->Controls().ButtonGaAs->click();
  EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(form->Charts().SeriesPoint->Count(), 18);
}

// Cell edges of 1e300 A overflowed the squared lengths of the drawings: the atoms and the
// reciprocal beams came out NaN. Such a cell is now refused in the status bar and the
// structure's own lattice stands; a large but finite cell is still taken.
TEST_F(HostileInputTest, OversizedManualCellIsReportedAndTheOwnLatticeStands) {
  const Ui::TFormParam& p = param->Controls();
  for (QLineEdit* e : {p.EditAx1, p.EditBx1, p.EditCx1}) e->setText(QStringLiteral("1e300"));
  form->Controls().ButtonReal->click();
  EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
  EXPECT_NEAR(Structure1->LatticeA, 5.43, 0.01);
  EXPECT_TRUE(form->StatusText().contains(QStringLiteral("Lattice parameters above")))
      << form->StatusText().toStdString();
  EXPECT_EQ(NonFinite(form->Charts().Chart1), "");
  EXPECT_EQ(NonFinite(form->Charts().Chart2), "");

  for (QLineEdit* e : {p.EditAx1, p.EditBx1, p.EditCx1}) e->setText(QStringLiteral("10000"));
  form->Controls().ButtonReal->click();
  EXPECT_DOUBLE_EQ(Structure1->LatticeA, 10000);
  EXPECT_EQ(NonFinite(form->Charts().Chart1), "");
}

}  // namespace
}  // namespace korvex
