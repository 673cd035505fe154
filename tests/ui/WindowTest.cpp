// The main window with its two dialogs, created as at start-up, on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <vector>

#include "WindowFixture.h"
#include "chart/view/ChartView.h"
#include "chart/view/Commander.h"
#include "crystal/DataDirectory.h"
#include "geometry/Settings.h"
#include "ui/Command.h"
#include "ui/FormScale.h"
#include "ui/Korvex1.h"
#include "ui/Parsing.h"
#include "ui/SettingsTransfer.h"
#include "ui/TAboutForm.h"
#include "ui/TFormParam.h"
#include "ui_TAboutForm.h"
#include "ui_TForm1.h"
#include "ui_TFormParam.h"

namespace korvex {
namespace {

class WindowTest : public WindowFixture {
 protected:
  Ui::TForm1& f() { return form->Controls(); }
  Ui::TFormParam& p() { return param->Controls(); }
  TChartCatalogue& charts() { return form->Charts(); }
  int drawnAtoms() { return charts().SeriesPoint->Count(); }
  void gaAs() { f().ButtonGaAs->click(); }
};

TEST_F(WindowTest, StartUpRunsTheFirstCycleAndReset) {
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  EXPECT_TRUE(Settings.RecomputeDone);
  EXPECT_DOUBLE_EQ(Settings.Lambda, 1.54);
  EXPECT_EQ(Settings.MaxPoints, 30);
  EXPECT_NEAR(charts().Chart2.BottomAxis().Maximum(), 1.948, 5e-4);
  EXPECT_NEAR(charts().Chart1.BottomAxis().Maximum(), 1.5 * 2 * Structure1->LatticeA, 1e-9);
  EXPECT_GT(Structure1->LatticeA, 5.4);
  EXPECT_EQ(f().StatusBar->currentMessage(), QStringLiteral(" Press PgDwn and PgUp to navigate through lecture"));
}

TEST_F(WindowTest, ResizeKeepsChartsSquare) {
  form->show();
  for (const int width : {1200, 700}) {
    form->resize(width, 400);
    QApplication::processEvents();
    const QWidget* area = f().PanelCharts;
    const int half = area->width() / 2;
    EXPECT_GE(area->height(), half) << width;
    EXPECT_LE(area->height(), half + 1) << width;
    EXPECT_EQ(f().Chart1->size(), QSize(half, half));
    EXPECT_EQ(f().Chart2->size(), QSize(half, half));
    EXPECT_EQ(f().Image1->size(), QSize(half, half));
    EXPECT_EQ(f().Chart2->x() + f().Chart2->width(), area->width());
  }
}

TEST_F(WindowTest, SecondStructureForcesTheNormal) {
  f().EditHnorm->setText(QStringLiteral("1"));
  f().EditKnorm->setText(QStringLiteral("1"));
  f().EditLnorm->setText(QStringLiteral("1"));
  gaAs();
  EXPECT_EQ((Settings.Normal), (std::array<int32_t, 3>{1, 1, 1}));
  EXPECT_EQ(f().EditHnorm->text(), QStringLiteral("1"));

  f().CheckBoxStr2->setChecked(true);
  gaAs();
  EXPECT_EQ((Settings.Normal), (std::array<int32_t, 3>{0, 0, 1}));
  EXPECT_EQ(f().EditHnorm->text() + f().EditKnorm->text() + f().EditLnorm->text(), QStringLiteral("001"));
}

TEST_F(WindowTest, StrainTextIsWrittenBackAsANumber) {
  f().EditRelaxation->setText(QStringLiteral("a"));
  f().CheckBoxStr2->setChecked(true);
  gaAs();
  const QString text = f().EditRelaxation->text();
  const double strain = ParseNumber(text);
  // InAs strained on Si: the layer is taller than the substrate.
  EXPECT_GT(strain, 0.05) << text.toStdString();
  EXPECT_NEAR(Structure2->LatticeC, (1 + strain) * Structure1->LatticeA, 1e-9);
  EXPECT_DOUBLE_EQ(Structure2->LatticeA, Structure1->LatticeA);
}

TEST_F(WindowTest, IntegerErrorStopsTheCommandAtItsField) {
  f().EditLambda->setText(QStringLiteral("2,5"));
  f().EditRelaxation->setText(QStringLiteral("r"));
  f().EditH->setText(QStringLiteral("x"));
  f().EditHnorm->setText(QStringLiteral("1"));
  gaAs();
  EXPECT_EQ(errors, QStringList{QStringLiteral("'x' is not a valid integer value")});
  EXPECT_DOUBLE_EQ(Settings.Lambda, 2.5);       // read before the field
  EXPECT_EQ(Settings.RelaxationText, "r");
  EXPECT_EQ((Settings.Normal), (std::array<int32_t, 3>{0, 0, 1}));  // after it: unchanged
  EXPECT_EQ(drawnAtoms(), 0);
  EXPECT_EQ(f().EditLambda->text(), QStringLiteral("2,5"));  // nothing written back
}

TEST_F(WindowTest, ZeroGuards) {
  f().EditLnorm->setText(QStringLiteral("0"));
  EXPECT_EQ(f().EditLnorm->text(), QStringLiteral("1"));
  f().EditLnorm->setText(QStringLiteral("-1"));
  EXPECT_EQ(f().EditLnorm->text(), QStringLiteral("-1"));
  // NReal: "00" used to be read as 0, written back as "0" and turned into "2", so the next
  // command silently used 2. Every text that reads as zero now becomes "2" as it is typed.
  for (const char* zero : {"0", "00", "-0", " 0"}) {
    SCOPED_TRACE(zero);
    p().EditNReal->setText(QString::fromLatin1(zero));
    EXPECT_EQ(p().EditNReal->text(), QStringLiteral("2"));
  }
  for (const char* kept : {"-1", "01", "10"}) {
    p().EditNReal->setText(QString::fromLatin1(kept));
    EXPECT_EQ(p().EditNReal->text(), QString::fromLatin1(kept));
  }
}

// Normal 1 0 "00" used to be read as 1 0 0, written back as "0", turned into "1" by the guard,
// and the next command silently used 1 0 1. Every text that reads as zero now becomes "1" as
// it is typed, so two commands in a row use the same normal and show it unchanged.
TEST_F(WindowTest, NormalNeverChangesBetweenTwoCommands) {
  struct Case {
    const char* typed;
    const char* shown;  // at once, before any command
  };
  const Case cases[] = {{"0", "1"},   {"00", "1"},  {"-0", "1"},  {"+0", "1"},
                        {" 0", "1"},  {"0 ", "1"},  {"000", "1"}, {"-00", "1"},
                        {"01", "01"}, {"-1", "-1"}, {"2", "2"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    f().EditHnorm->setText(QStringLiteral("1"));
    f().EditKnorm->setText(QStringLiteral("0"));
    f().EditLnorm->setText(QString::fromLatin1(c.typed));
    EXPECT_EQ(f().EditLnorm->text(), QString::fromLatin1(c.shown));
    f().ButtonSet->click();
    ASSERT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    const std::array<int32_t, 3> first = Settings.Normal;
    EXPECT_NE(first[2], 0);
    const QString shown = f().EditLnorm->text();
    f().ButtonSet->click();
    EXPECT_EQ(Settings.Normal, first);
    EXPECT_EQ(f().EditLnorm->text(), shown);
  }
  // Text that is no integer is not a zero: it stays, and the command reports it.
  f().EditLnorm->setText(QStringLiteral("0.0"));
  EXPECT_EQ(f().EditLnorm->text(), QStringLiteral("0.0"));
  f().ButtonSet->click();
  EXPECT_EQ(errors, QStringList{QStringLiteral("'0.0' is not a valid integer value")});
}

TEST_F(WindowTest, CancelKeepsTheTypedTextForTheNextCommand) {
  QTimer::singleShot(0, [this] {
    EXPECT_TRUE(param->isVisible());
    p().EditNReal->setText(QStringLiteral("3"));
    p().CancelBtn->click();
  });
  f().ButtonParam->click();
  EXPECT_FALSE(param->isVisible());
  EXPECT_EQ(Settings.NReal, 2);
  EXPECT_EQ(p().EditNReal->text(), QStringLiteral("3"));
  gaAs();
  EXPECT_EQ(Settings.NReal, 3);
  EXPECT_NEAR(Settings.RealExtent, 3 * Structure1->LatticeA, 1e-9);
}

TEST_F(WindowTest, ParOpensTheDialogDespiteABadField) {
  p().EditMaxTime->setText(QStringLiteral("x"));
  bool shown = false;
  QTimer::singleShot(0, [&] {
    shown = param->isVisible();
    p().CancelBtn->click();
  });
  f().ButtonParam->click();
  EXPECT_TRUE(shown);
  EXPECT_EQ(errors, QStringList{QStringLiteral("'x' is not a valid integer value")});
  EXPECT_EQ(p().EditMaxTime->text(), QStringLiteral("50"));  // the last value read
}

TEST_F(WindowTest, NRecMaxLimitsHoldForOneCycle) {
  QTimer::singleShot(0, [this] {
    p().EditNRecMax->setText(QStringLiteral("20,1,2,3"));
    p().OKBtn->click();
  });
  f().ButtonParam->click();
  EXPECT_EQ((Settings.NRecLimit), (std::array<int32_t, 3>{1, 2, 3}));
  gaAs();
  EXPECT_EQ((Settings.NRecLimit), (std::array<int32_t, 3>{1, 2, 3}));
  EXPECT_EQ(p().EditNRecMax->text(), QStringLiteral("20"));
  gaAs();
  EXPECT_EQ((Settings.NRecLimit), (std::array<int32_t, 3>{0, 0, 0}));
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(WindowTest, RefusedInputStopsBeforeDrawing) {
  const struct {
    QLineEdit* Ui::TFormParam::*field;
    const char* text;
    const char* message;
  } cases[] = {
      {&Ui::TFormParam::EditNReal, "1000", "NReal must lie between -15 and 15; 1000 is refused."},
      {&Ui::TFormParam::EditMaxPoints, "100000", "MaxPoints must lie between 1 and 100; 100000 is refused."},
      {&Ui::TFormParam::EditNRecMax, "100000", "NRecMax must lie between -30 and 30; 100000 is refused."},
      {&Ui::TFormParam::EditNRecMax, "20,1,1000,3", "NRecMax limit must lie between -30 and 30; 1000 is refused."},
      {&Ui::TFormParam::EditStepTime, "0", "1 step, ms must lie between 1 and 1000; 0 is refused."},
  };
  for (const auto& c : cases) {
    errors.clear();
    QLineEdit* edit = p().*c.field;
    const QString old = edit->text();
    edit->setText(QString::fromLatin1(c.text));
    gaAs();
    EXPECT_EQ(errors, QStringList{QString::fromLatin1(c.message)});
    EXPECT_EQ(drawnAtoms(), 0) << c.text;
    edit->setText(old);
  }
  EXPECT_EQ(Settings.NReal, 2);
  EXPECT_EQ(Settings.MaxPoints, 30);
}

TEST_F(WindowTest, WavelengthMustBePositive) {
  for (const char* text : {"0", "-1.54", "abc"}) {
    errors.clear();
    f().EditLambda->setText(QString::fromLatin1(text));
    gaAs();
    ASSERT_EQ(errors.size(), 1) << text;
    EXPECT_TRUE(errors.front().contains(QStringLiteral("wavelength"))) << errors.front().toStdString();
    EXPECT_EQ(drawnAtoms(), 0);
  }
  f().EditLambda->setText(QStringLiteral("1.54"));
  gaAs();
  EXPECT_EQ(drawnAtoms(), 18);
  EXPECT_TRUE(std::isfinite(Structure1->WaveNumber));
}

TEST_F(WindowTest, UnknownStructureIsReportedAndTheCommandGoesOn) {
  for (const char* name : {"Xx", "si"}) {
    f().EditStr1->setText(QString::fromLatin1(name));
    gaAs();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(drawnAtoms(), 18);
    EXPECT_TRUE(f().StatusBar->currentMessage().contains(QString::fromLatin1(name)))
        << f().StatusBar->currentMessage().toStdString();
  }
  f().EditStr1->setText(QStringLiteral("Si"));
  gaAs();
  EXPECT_EQ(f().StatusBar->currentMessage().trimmed(), QString());
}

TEST_F(WindowTest, LineWidthFromTheWindowWidth) {
  form->show();
  form->resize(500, 300);
  QApplication::processEvents();
  ASSERT_EQ(form->width(), 500);
  f().ButtonClear->click();
  EXPECT_EQ(form->Pool().LineWidth, 3);
  EXPECT_EQ(charts().SeriesVec->Pen().Width, 3);
}

TEST_F(WindowTest, ViewSwitches) {
  // Bragg and Laue on, Full off: the lower Bragg surfaces and the Laue surface.
  f().CheckBoxSurface->setChecked(true);
  f().CheckBoxK0->setChecked(true);
  EXPECT_TRUE(charts().SeriesSurfDwn->Active());
  EXPECT_TRUE(charts().SeriesSurfKh0->Active());
  EXPECT_TRUE(charts().SeriesLaueKh->Active());
  EXPECT_FALSE(charts().SeriesSurfUp->Active());
  EXPECT_FALSE(charts().SeriesSurfK00->Active());
  f().CheckBoxFull->setChecked(true);
  EXPECT_FALSE(charts().SeriesSurfDwn->Active());
  EXPECT_TRUE(charts().SeriesBraggFull->Active());
  EXPECT_TRUE(charts().SeriesTor1->Active());

  f().CheckBoxGL->setChecked(true);
  EXPECT_TRUE(charts().TeeOpenGL1.Active());
  EXPECT_TRUE(charts().TeeOpenGL2.Active());
  f().CheckBoxBind->setChecked(true);
  EXPECT_TRUE(Settings.BindCharts);

  QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form->ChartView1(), &dbl);
  EXPECT_TRUE(f().RadioCh1->isChecked());
  EXPECT_EQ(&form->ToolbarChart(), &charts().Chart1);
}

// At the start size every text fits its control: the start texts, and the longer ones the
// program writes later (angles and the strain with 15 significant digits) or a wavelength
// typed with five decimals. The controls keep their panels, in their order, inside the window.
TEST_F(WindowTest, TextsFitTheirControlsAtTheStartSize) {
  form->show();
  QApplication::processEvents();
  EXPECT_EQ(FitScale(*form), 1.0);
  const auto fits = [](const QWidget& w, const QString& text) {
    return QFontMetrics(w.font()).horizontalAdvance(text) <= TextRoom(w);
  };
  f().ButtonSet->click();  // Si 0 0 4 at 1.54 A: 34.5489793557843, 69.0979587115687
  for (const QLabel* angle : {f().LabelOmega, f().Label2t, f().LabelExit}) {
    EXPECT_GT(angle->text().size(), 15) << angle->text().toStdString();
    EXPECT_TRUE(fits(*angle, angle->text())) << angle->text().toStdString();
  }
  const QStringList longest{FormatReal(-179.999999999999), FormatReal(-0.0999999999999999)};
  for (const QString& text : longest) {
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             f().LabelOmega, f().Label2t, f().LabelExit, f().EditRelaxation})
      EXPECT_TRUE(fits(*w, text)) << w->objectName().toStdString() << " " << text.toStdString();
  }
  for (const char* lambda : {"0.7093", "1.54056"})
    EXPECT_TRUE(fits(*f().EditLambda, lambda)) << lambda;
  f().CheckBoxStr2->setChecked(true);
  f().ButtonSet->click();  // InAs on Si: the strain written back
  EXPECT_TRUE(fits(*f().EditRelaxation, f().EditRelaxation->text()))
      << f().EditRelaxation->text().toStdString();

  const std::vector<const QWidget*> strip{f().Panel8, f().Panel7, f().Panel5,
                                          f().Panel4, f().Panel6, f().Panel3};
  for (size_t i = 0; i < strip.size(); ++i) {
    const QWidget& panel = *strip[i];
    EXPECT_LE(panel.x() + panel.width(), f().Panel1->width()) << panel.objectName().toStdString();
    if (i > 0) {
      EXPECT_GT(panel.x(), strip[i - 1]->x()) << panel.objectName().toStdString();
    }
    for (const QWidget* c : panel.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      EXPECT_LE(c->x() + c->width(), panel.width()) << c->objectName().toStdString();
  }
}

TEST_F(WindowTest, AnglesWithinTheToleranceOfZeroShowAsZero) {
  Structure1->IncidenceAngle = -9.8e-15 * DegToRad;
  Structure1->ScatteringAngle = 2e-10 * DegToRad;
  Structure1->ExitAngle = 1e-10 * DegToRad;
  Settings.Phi = -1e-13;
  WriteSettings();
  EXPECT_EQ(f().LabelOmega->text(), QStringLiteral("0"));
  EXPECT_EQ(ParseNumber(f().Label2t->text()), 2e-10);
  EXPECT_EQ(f().LabelExit->text(), QStringLiteral("0"));
  EXPECT_EQ(f().EditFi->text(), QStringLiteral("0"));
}

TEST_F(WindowTest, FailedSaveOfAPictureSaysWhy) {
  auto* bar = form->findChild<TTeeCommander*>();
  ASSERT_NE(bar, nullptr);
  QTemporaryDir dir;
  const QString bad = dir.filePath("none/chart.png");
  EXPECT_FALSE(bar->SaveAs(bad));
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].contains(bad)) << errors[0].toStdString();
  EXPECT_TRUE(errors[0].contains(QStringLiteral("No such file or directory")))
      << errors[0].toStdString();
}

// Creation reads lecture.txt and Fig/*.gif from the current directory.
TEST(FormCreateTest, LectureAndFiguresFromTheCurrentDirectory) {
  QTemporaryDir dir;
  QFile lecture(dir.filePath(QStringLiteral("lecture.txt")));
  ASSERT_TRUE(lecture.open(QIODevice::WriteOnly));
  lecture.write("Title line\n004001010,~First\n\n-1~Second\n");
  lecture.close();
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Fig")));
  QFile figure(dir.filePath(QStringLiteral("Fig/3_InGaAs.gif")));
  ASSERT_TRUE(figure.open(QIODevice::WriteOnly));
  figure.close();
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  {
    TForm1 form;
    const Ui::TForm1& f = form.Controls();
    ASSERT_EQ(f.ComboBoxSteps->count(), 2);
    EXPECT_EQ(f.ComboBoxSteps->itemText(1), QStringLiteral("Second"));
    EXPECT_EQ(f.ComboBoxActs->itemText(0), QStringLiteral("004001010,"));
    EXPECT_EQ(f.ComboBoxSteps->currentIndex(), -1);
    ASSERT_EQ(f.ComboBoxFig->count(), 2);
    EXPECT_EQ(f.ComboBoxFig->itemText(0), QString());
    EXPECT_EQ(f.ComboBoxFig->itemText(1), QStringLiteral("3_InGaAs"));
    EXPECT_TRUE(f.Image1->isHidden());
  }
  QDir::setCurrent(previous);
}

TEST(FormCreateTest, LectureAndFiguresBesideTheProgramsData) {
  // A program folder with Base/ (the real data, linked), the lecture and the maps, and a
  // current directory without either, as when the installed program starts from the menu.
  QTemporaryDir program, elsewhere;
  const QString realBase = QString::fromStdString(DataDirectory().string());
  ASSERT_TRUE(QFile::link(realBase, program.filePath(QStringLiteral("Base"))));
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
  SetDataDirectory(program.filePath(QStringLiteral("Base")).toStdString());
  {
    // Neither here nor there: the status bar says so, and both lists are empty but for the
    // empty figure item.
    TForm1 bare;
    EXPECT_EQ(bare.Controls().ComboBoxSteps->count(), 0);
    EXPECT_EQ(bare.Controls().ComboBoxFig->count(), 1);
    EXPECT_EQ(bare.StatusText(),
              QStringLiteral(" No lecture: lecture.txt is neither in the current folder nor beside the program"));
  }
  QFile lecture(program.filePath(QStringLiteral("lecture.txt")));
  ASSERT_TRUE(lecture.open(QIODevice::WriteOnly));
  lecture.write("004001010,~Beside \xCE\xBB = 1.54 \xC3\x85\n");
  lecture.close();
  ASSERT_TRUE(QDir(program.path()).mkdir(QStringLiteral("Fig")));
  QFile figure(program.filePath(QStringLiteral("Fig/4_map.gif")));
  ASSERT_TRUE(figure.open(QIODevice::WriteOnly));
  figure.close();
  {
    TForm1 installed;
    const Ui::TForm1& f = installed.Controls();
    ASSERT_EQ(f.ComboBoxSteps->count(), 1);
    EXPECT_EQ(f.ComboBoxSteps->itemText(0), QStringLiteral("Beside λ = 1.54 Å"));
    ASSERT_EQ(f.ComboBoxFig->count(), 2);
    EXPECT_EQ(f.ComboBoxFig->itemText(1), QStringLiteral("4_map"));
    EXPECT_EQ(installed.StatusText(), QStringLiteral(" Press PgDwn and PgUp to navigate through lecture"));
  }
  // The current directory comes first.
  QFile here(elsewhere.filePath(QStringLiteral("lecture.txt")));
  ASSERT_TRUE(here.open(QIODevice::WriteOnly));
  here.write("1~Here\n2~And here\n");
  here.close();
  {
    TForm1 local;
    EXPECT_EQ(local.Controls().ComboBoxSteps->count(), 2);
    EXPECT_EQ(local.Controls().ComboBoxFig->count(), 2) << "no Fig/ here: the shipped maps";
  }
  SetDataDirectory({});
  QDir::setCurrent(previous);
}

TEST_F(WindowTest, AboutPicturesSwap) {
  const Ui::TAboutForm& a = about->Controls();
  EXPECT_FALSE(a.ProgramIcon->isHidden());
  EXPECT_TRUE(a.ProgramIcon2->isHidden());
  about->ProgramIconClick();
  EXPECT_TRUE(a.ProgramIcon->isHidden());
  EXPECT_FALSE(a.ProgramIcon2->isHidden());
}

}  // namespace
}  // namespace korvex
