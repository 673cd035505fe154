// The lecture player on the main window: slides into controls, commands, chaining, the keys
// and the example maps.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

#include "WindowFixture.h"
#include "chart/view/ChartView.h"
#include "ui/LecturePlayer.h"
#include "ui/Slide.h"
#include "ui_TForm1.h"
#include "ui_TFormParam.h"

namespace korvex {
namespace {

// Structure 1 only, 0 0 4 on a (0 0 1) surface, strain "a", 1.54 A, figure -1, nothing ticked
// but Points; Planes inverted ("1" clears it).
QString Slide(const QString& commands, const QString& hkl = QStringLiteral("004001010"),
              const QString& figure = QStringLiteral("-1"),
              const QString& nreal = QStringLiteral("2")) {
  return hkl +
         QStringLiteral(",0000000000,10,Si,InAs,a,1.54,%1,%2,00000,0,0,60,2,0,2,1,0000000100010,")
             .arg(nreal, figure) +
         commands;
}

// A 1 x 1 GIF picture.
const QByteArray TinyGif = QByteArray::fromHex(
    "47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");

class LecturePlayerTest : public WindowFixture {
 protected:
  Ui::TForm1& f() { return form->Controls(); }
  void lecture(const QStringList& lines) { LoadLecture(ParseLecture(lines)); }
  void key(int code, QWidget* target = nullptr) {
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
    QApplication::sendEvent(target != nullptr ? target : form.get(), &press);
  }
  // Picks a slide in the drop-down as the user does.
  void pick(int index) {
    f().ComboBoxSteps->setCurrentIndex(index);
    emit f().ComboBoxSteps->activated(index);
  }
  QString status() { return form->StatusText(); }
  int points() { return form->Charts().SeriesPointRes->Count(); }
};

TEST_F(LecturePlayerTest, SlideSetsTheControlsAndRunsItsCommands) {
  f().CheckBoxPlanes->setChecked(true);
  // Field 6 "0" becomes "1" through the normal's guard; NReal "0" becomes "2".
  lecture({Slide(QStringLiteral("Clear,Sethkl,"), QStringLiteral("-1-24000110"),
                 QStringLiteral("-1"), QStringLiteral("0")) +
           QStringLiteral("~Where is 1 2 4?")});
  pick(0);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  EXPECT_EQ(status(), QStringLiteral(" Where is 1 2 4?"));
  EXPECT_EQ(f().EditH->text(), QStringLiteral("-1"));
  EXPECT_EQ(f().EditK->text(), QStringLiteral("-2"));
  EXPECT_EQ(f().EditL->text(), QStringLiteral("4"));
  EXPECT_EQ(f().EditLnorm->text(), QStringLiteral("1"));
  EXPECT_EQ(param->Controls().EditNReal->text(), QStringLiteral("2"));
  EXPECT_EQ(f().EditHpl->text(), QStringLiteral("1"));
  EXPECT_TRUE(f().CheckBoxStr1->isChecked());
  EXPECT_FALSE(f().CheckBoxStr2->isChecked());
  EXPECT_TRUE(f().CheckBoxPoints->isChecked());
  EXPECT_FALSE(f().CheckBoxPlanes->isChecked()) << "field 55 \"1\" clears Planes";
  EXPECT_EQ((Settings.Hkl), (std::array<int32_t, 3>{-1, -2, 4}));
  EXPECT_GT(points(), 0) << "Sethkl marks the reflection node";
  EXPECT_TRUE(f().Chart1->isVisibleTo(form.get()));

  // Field 55 "0" ticks Planes; the view switches run their handlers.
  QString again = Slide(QStringLiteral("Clear,"));
  again.replace(QStringLiteral("0000000100010,"), QStringLiteral("0010000100100,"));
  f().ComboBoxActs->setItemText(0, again);
  pick(0);
  EXPECT_TRUE(f().CheckBoxPlanes->isChecked());
  EXPECT_TRUE(f().CheckBoxCryst->isChecked());
  EXPECT_TRUE(form->Charts().SeriesSurf->Active());
  EXPECT_EQ(points(), 0) << "Clear empties the node series";
}

TEST_F(LecturePlayerTest, FlatReciprocalChartFollowsField54AndOpenGL) {
  struct Case {
    const char* viewFlags;  // fields 44 to 56
    bool view3D;
  };
  for (const Case c : {Case{"1000000000000", true}, Case{"1000000000100", false},
                       Case{"0000000000000", false}, Case{"0000000000100", false}}) {
    QString text = Slide(QString());
    text.replace(QStringLiteral("0000000100010,"), QLatin1String(c.viewFlags) + QLatin1Char(','));
    lecture({text + QStringLiteral("~flat")});
    pick(0);
    EXPECT_EQ(form->Charts().Chart2.View3D(), c.view3D) << c.viewFlags;
    EXPECT_EQ(form->Charts().TeeOpenGL2.Active(), c.view3D) << c.viewFlags;
  }
}

TEST_F(LecturePlayerTest, ShortStringStopsWithTheControlsSetSoFar) {
  f().EditStr1->setText(QStringLiteral("Ge"));
  f().CheckBoxStr2->setChecked(true);
  lecture({QStringLiteral("1-13001010,0000000000,~short")});
  pick(0);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors.front(),
            QStringLiteral("Slide 1 ends after field 21 of 58; the slide stopped there."));
  EXPECT_EQ(status(), QStringLiteral(" short"));
  EXPECT_EQ(f().EditK->text(), QStringLiteral("-1"));
  EXPECT_TRUE(f().CheckBoxStr2->isChecked()) << "field 23 was not reached";
  EXPECT_EQ(f().EditStr1->text(), QStringLiteral("Ge"));

  // A letter in a digit position goes into its box and fails only in the command.
  errors.clear();
  lecture({Slide(QStringLiteral("Sethkl,Real,"), QStringLiteral("0x4001010")) +
           QStringLiteral("~letter")});
  pick(0);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors.front(), QStringLiteral("'x' is not a valid integer value"));
  EXPECT_EQ(f().EditK->text(), QStringLiteral("x"));
  EXPECT_EQ(points(), 0);
}

TEST_F(LecturePlayerTest, NextChainsOnlyFromTheKeys) {
  lecture({Slide(QStringLiteral("Clear,Next,")) + QStringLiteral("~first"),
           Slide(QStringLiteral("Sethkl,Next")) + QStringLiteral("~second"),
           Slide(QStringLiteral("Clear,")) + QStringLiteral("~third"),
           Slide(QString()) + QStringLiteral("~fourth")});
  // Picked in the drop-down: the slide plays alone.
  pick(0);
  EXPECT_EQ(f().ComboBoxSteps->currentIndex(), 0);
  EXPECT_TRUE(Settings.NextPending);
  EXPECT_EQ(status(), QStringLiteral(" first"));

  // PgDn from no selection plays the first slide, which chains through "Next" to the second
  // and, through its last "Next" without a comma, to the third.
  f().ComboBoxSteps->setCurrentIndex(-1);
  key(Qt::Key_PageDown);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  EXPECT_EQ(f().ComboBoxSteps->currentIndex(), 2);
  EXPECT_EQ(status(), QStringLiteral(" third"));
  EXPECT_EQ(points(), 0) << "the third slide's Clear ran after the second's Sethkl";
  key(Qt::Key_Space);
  EXPECT_EQ(f().ComboBoxSteps->currentIndex(), 3);
  key(Qt::Key_PageDown);  // on the last slide: nothing
  EXPECT_EQ(f().ComboBoxSteps->currentIndex(), 3);
  EXPECT_EQ(status(), QStringLiteral(" fourth"));

  // PgUp plays the previous slide without chaining and clears the mark.
  key(Qt::Key_PageUp);
  EXPECT_EQ(f().ComboBoxSteps->currentIndex(), 2);
  key(Qt::Key_PageUp);
  EXPECT_EQ(f().ComboBoxSteps->currentIndex(), 1);
  EXPECT_EQ(status(), QStringLiteral(" second"));
  EXPECT_FALSE(Settings.NextPending);
  f().ComboBoxSteps->setCurrentIndex(0);
  key(Qt::Key_PageUp);  // on the first slide: nothing
  EXPECT_EQ(f().ComboBoxSteps->currentIndex(), 0);
}

TEST_F(LecturePlayerTest, PgDnDuringAnAnimationEndsItAndMarksChaining) {
  lecture({Slide(QString()) + QStringLiteral("~one"), Slide(QString()) + QStringLiteral("~two")});
  f().ComboBoxSteps->setCurrentIndex(0);
  form->Timer1().start();
  key(Qt::Key_PageDown);
  EXPECT_FALSE(form->Timer1().isActive());
  EXPECT_TRUE(Settings.NextPending);
  EXPECT_EQ(f().ComboBoxSteps->currentIndex(), 0)
      << "the slide that started the animation chains on";
}

TEST_F(LecturePlayerTest, PgDnStopsARunningMoveAndTheSlideChainsOn) {
  // An omega scan of 50 steps 100 ms apart, then a second command; PgDn 0.3 s into the scan.
  QString moving = Slide(QStringLiteral("Clear,Sethkl,Move,Sethkl,"));
  moving.replace(QStringLiteral(",00000,"), QStringLiteral(",10000,"));
  lecture({moving + QStringLiteral("~scan"),
           Slide(QStringLiteral("Clear,")) + QStringLiteral("~after")});
  for (const bool byKey : {true, false}) {
    SCOPED_TRACE(byKey ? "reached by PgDn" : "picked in the drop-down");
    f().ComboBoxSteps->setCurrentIndex(-1);
    QTimer::singleShot(300, form.get(), [this] { key(Qt::Key_PageDown); });
    QElapsedTimer clock;
    clock.start();
    if (byKey) {
      key(Qt::Key_PageDown);
    } else {
      pick(0);
    }
    EXPECT_LT(clock.elapsed(), 3000) << "the scan was cut short";
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_FALSE(form->Timer1().isActive());
    EXPECT_EQ(f().ComboBoxSteps->currentIndex(), byKey ? 1 : 0);
    EXPECT_EQ(status(), byKey ? QStringLiteral(" after") : QStringLiteral(" scan"));
    if (!byKey) {
      EXPECT_GT(points(), 0) << "the command after Move ran";
    }
  }
}

TEST_F(LecturePlayerTest, NextPgDnAfterASlideEndingInMoveGoesOn) {
  // A completed Move leaves Timer1 on; once its slide is over, PgDn plays the next slide.
  param->Controls().EditStepTime->setText(QStringLiteral("2"));
  QString moving = Slide(QStringLiteral("Clear,Sethkl,Move,"));
  moving.replace(QStringLiteral(",00000,"), QStringLiteral(",10000,"));
  lecture({moving + QStringLiteral("~scan"),
           Slide(QStringLiteral("Clear,")) + QStringLiteral("~after")});
  key(Qt::Key_PageDown);
  EXPECT_EQ(status(), QStringLiteral(" scan"));
  EXPECT_FALSE(form->Timer1().isActive());
  key(Qt::Key_PageDown);
  EXPECT_EQ(f().ComboBoxSteps->currentIndex(), 1);
  EXPECT_EQ(status(), QStringLiteral(" after"));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(LecturePlayerTest, GaAsEndsTheSlide) {
  QTemporaryDir dir;
  QFile gif(dir.filePath(QStringLiteral("5_map.gif")));
  ASSERT_TRUE(gif.open(QIODevice::WriteOnly));
  gif.write(TinyGif);
  gif.close();
  LoadFigures(dir.path());
  lecture({Slide(QStringLiteral("Clear,GaAs,Sethkl,Next,"), QStringLiteral("004001010"),
                 QStringLiteral("5")) +
               QStringLiteral("~cell"),
           Slide(QString()) + QStringLiteral("~after")});
  key(Qt::Key_PageDown);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  EXPECT_EQ(f().ComboBoxSteps->currentIndex(), 0) << "no chaining after GaAs";
  EXPECT_EQ(points(), 0) << "Sethkl after GaAs did not run";
  EXPECT_GT(form->Charts().SeriesPoint->Count(), 0) << "the unit cell is drawn";
  EXPECT_EQ(f().ComboBoxFig->currentText(), QStringLiteral("5_map")) << "selected";
  EXPECT_FALSE(f().Image1->isVisibleTo(form.get())) << "but not shown";
  LoadFigures(QStringLiteral("Fig"));
}

TEST_F(LecturePlayerTest, StripKeysGoToTheLecture) {
  lecture({Slide(QString()) + QStringLiteral("~one"), Slide(QString()) + QStringLiteral("~two")});
  form->show();
  QApplication::setActiveWindow(form.get());
  for (QWidget* control :
       {static_cast<QWidget*>(f().ComboBoxSteps), static_cast<QWidget*>(f().ComboBoxFig),
        static_cast<QWidget*>(f().TrackBarFi)}) {
    const int before = f().TrackBarFi->value();
    control->setFocus();
    key(Qt::Key_Right, control);
    EXPECT_EQ(QApplication::focusWidget(), control) << "Left and Right leave the focus";
    key(Qt::Key_Up, control);
    EXPECT_EQ(QApplication::focusWidget(), f().EditLambda);
    if (control == f().TrackBarFi) {
      EXPECT_EQ(f().TrackBarFi->value(), before + 1) << "Right moved the thumb, Up did not";
    }
  }
  // PgDn on the drop-down plays the next slide and does not move the drop-down a second time.
  f().ComboBoxSteps->setCurrentIndex(0);
  f().ComboBoxSteps->setFocus();
  key(Qt::Key_PageDown, f().ComboBoxSteps);
  EXPECT_EQ(f().ComboBoxSteps->currentIndex(), 1);
  EXPECT_EQ(status(), QStringLiteral(" two"));
  EXPECT_EQ(QApplication::focusWidget(), f().EditLambda);
}

TEST_F(LecturePlayerTest, ExampleMaps) {
  QTemporaryDir dir;
  const auto write = [&](const char* name, const QByteArray& bytes) {
    QFile file(dir.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  };
  write("1_good.gif", TinyGif);
  write("2_broken.gif", "GIF89a this is no picture");
  write("3_gone.gif", TinyGif);
  write("11_other.gif", TinyGif);
  LoadFigures(dir.path());
  lecture({Slide(QString(), QStringLiteral("004001010"), QStringLiteral("11")) +
               QStringLiteral("~eleven"),
           Slide(QString(), QStringLiteral("004001010"), QStringLiteral("-1")) +
               QStringLiteral("~none"),
           Slide(QString(), QStringLiteral("004001010"), QStringLiteral("7")) +
               QStringLiteral("~no such map")});
  pick(0);
  EXPECT_EQ(f().ComboBoxFig->currentText(), QStringLiteral("11_other"));
  EXPECT_TRUE(f().Image1->isVisibleTo(form.get()));
  EXPECT_FALSE(f().Chart1->isVisibleTo(form.get()));
  EXPECT_FALSE(f().Image1->pixmap().isNull());
  EXPECT_EQ(f().Image1->size(), f().Chart1->size());
  for (const int slide : {1, 2}) {
    pick(0);
    pick(slide);
    EXPECT_EQ(f().ComboBoxFig->currentIndex(), -1) << slide;
    EXPECT_FALSE(f().Image1->isVisibleTo(form.get())) << slide;
    EXPECT_TRUE(f().Chart1->isVisibleTo(form.get())) << slide;
  }
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

  // A broken file: the error box, and the chart stays.
  const int broken = f().ComboBoxFig->findText(QStringLiteral("2_broken"));
  f().ComboBoxFig->setCurrentIndex(broken);
  emit f().ComboBoxFig->activated(broken);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors.front().contains(QStringLiteral("2_broken.gif")))
      << errors.front().toStdString();
  EXPECT_TRUE(f().Chart1->isVisibleTo(form.get()));
  EXPECT_FALSE(f().Image1->isVisibleTo(form.get()));

  // A listed file that has gone shows the picture held before.
  const int gone = f().ComboBoxFig->findText(QStringLiteral("3_gone"));
  ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("3_gone.gif"))));
  f().ComboBoxFig->setCurrentIndex(gone);
  emit f().ComboBoxFig->activated(gone);
  EXPECT_EQ(errors.size(), 1);
  EXPECT_TRUE(f().Image1->isVisibleTo(form.get()));
  EXPECT_FALSE(f().Image1->pixmap().isNull());

  // The empty item brings the chart back.
  f().ComboBoxFig->setCurrentIndex(0);
  emit f().ComboBoxFig->activated(0);
  EXPECT_TRUE(f().Chart1->isVisibleTo(form.get()));
  EXPECT_FALSE(f().Image1->isVisibleTo(form.get()));
  LoadFigures(QStringLiteral("Fig"));
}

TEST_F(LecturePlayerTest, CopySlideRecordsControlsAndCommandsSinceClear) {
  f().ButtonSet->click();
  f().ButtonClear->click();
  f().EditH->setText(QStringLiteral("-2"));
  f().EditK->setText(QStringLiteral("2"));
  f().CheckBoxStr2->setChecked(true);
  f().CheckBoxPlanes->setChecked(false);
  f().ButtonSet->click();
  f().ButtonRec2D->click();
  EXPECT_EQ(RecordedCommands(), (QStringList{"Clear", "Sethkl", "Rec2D"}));
  f().ButtonCopySlide->click();
  ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  const QString copied = QGuiApplication::clipboard()->text();
  EXPECT_TRUE(copied.startsWith(QStringLiteral("-224001"))) << copied.toStdString();
  EXPECT_TRUE(
      copied.endsWith(QStringLiteral(",Clear,Sethkl,Rec2D,~") + QLatin1String(CopiedSlideTitle)))
      << copied.toStdString();
  const TSlide slide = ReadSlide(copied.section(QLatin1Char('~'), 0, 0), 1);
  ASSERT_TRUE(slide.Complete());
  for (const TSlideValue& v : slide.Values) {
    if (v.Number == 23) {
      EXPECT_TRUE(v.On) << "Str.2";
    } else if (v.Number == 55) {
      EXPECT_FALSE(v.On) << "Planes";
    } else if (v.Number == 28) {
      EXPECT_EQ(v.Text, QStringLiteral("1.54"));
    }
  }

  // A value no slide can hold is refused with a message, and nothing is copied.
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  f().EditL->setText(QStringLiteral("12"));
  f().ButtonCopySlide->click();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors.front().startsWith(QStringLiteral("EditL holds \"12\"")))
      << errors.front().toStdString();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
  errors.clear();
  f().EditL->setText(QStringLiteral("4"));
  f().EditStr1->setText(QStringLiteral("Ga,As"));
  f().ButtonCopySlide->click();
  EXPECT_EQ(errors.size(), 1);

  f().ButtonClear->click();
  EXPECT_EQ(RecordedCommands(), QStringList{"Clear"});
}

TEST_F(LecturePlayerTest, ShippedMapsDecodeThroughQt) {
  LoadFigures(QStringLiteral(KORVEX_FIG_DIR));
  QComboBox& box = *f().ComboBoxFig;
  ASSERT_GE(box.count(), 7) << "the empty item and at least six maps";
  QSet<int> numbers;
  for (int i = 1; i < box.count(); ++i) {
    box.setCurrentIndex(i);
    emit box.activated(i);
    EXPECT_TRUE(errors.isEmpty()) << box.itemText(i).toStdString()
                                  << errors.join('\n').toStdString();
    EXPECT_EQ(f().Image1->pixmap().size(), QSize(540, 540)) << box.itemText(i).toStdString();
    EXPECT_TRUE(f().Image1->isVisibleTo(form.get()));
    numbers.insert(box.itemText(i).section(QLatin1Char('_'), 0, 0).toInt());
  }
  EXPECT_EQ(numbers.size(), box.count() - 1) << "every map has its own number";
  LoadFigures(QStringLiteral("Fig"));
}

TEST_F(LecturePlayerTest, MapNameWithoutNumberStopsTheSlide) {
  QTemporaryDir dir;
  for (const char* name : {"notes.gif", "4_map.gif"}) {
    QFile file(dir.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(TinyGif);
  }
  LoadFigures(dir.path());
  lecture({Slide(QStringLiteral("Sethkl,"), QStringLiteral("004001010"), QStringLiteral("4")) +
           QStringLiteral("~map")});
  pick(0);
  // Whether "notes" comes before "4_map" depends on the directory listing.
  if (f().ComboBoxFig->itemText(1) == QStringLiteral("notes")) {
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.front(), QStringLiteral("'notes' is not a valid integer value"));
    EXPECT_EQ(points(), 0) << "the slide stopped before its commands";
  } else {
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(f().ComboBoxFig->currentText(), QStringLiteral("4_map"));
  }
  LoadFigures(QStringLiteral("Fig"));
}

}  // namespace
}  // namespace korvex
