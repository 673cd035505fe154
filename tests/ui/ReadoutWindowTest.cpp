// The window reads the scene out: the status-bar report of a reflection out of reach.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

#include "WindowFixture.h"
#include "ui_TForm1.h"

namespace korvex {
namespace {

class ReadoutWindow : public WindowFixture {
 protected:
  Ui::TForm1& f() { return form->Controls(); }
  QString setHkl(const char* h, const char* k, const char* l) {
    f().EditH->setText(QString::fromLatin1(h));
    f().EditK->setText(QString::fromLatin1(k));
    f().EditL->setText(QString::fromLatin1(l));
    f().ButtonSet->click();
    return f().StatusBar->currentMessage().trimmed();
  }
};

TEST_F(ReadoutWindow, SetHklSaysWhyAReflectionIsOutOfReachAndClearsItAfterwards) {
  EXPECT_EQ(setHkl("0", "0", "12"),
            QString::fromUtf8("Si 0 0 12 cannot be reached: outside the limiting sphere: |Q| = "
                              "2.21 Å⁻¹ > 2K = 1.30 Å⁻¹"));
  // The angles stay as the solver leaves an unreachable reflection.
  EXPECT_EQ(f().LabelOmega->text().toDouble(), 0);
  EXPECT_EQ(setHkl("0", "0", "4"), QString());
  EXPECT_TRUE(errors.isEmpty());
}

}  // namespace
}  // namespace korvex
