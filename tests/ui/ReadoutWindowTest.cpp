// The window reads the scene out: the status-bar report of a reflection out of reach.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QStatusBar>
#include <QToolButton>

#include "WindowFixture.h"
#include "chart/Picking.h"
#include "chart/view/ChartView.h"
#include "ui/HelpWindow.h"
#include "ui/NodeReader.h"
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
  // Where node h k l of structure 1 is drawn in the reciprocal chart's view.
  QPoint nodeAt(int32_t h, int32_t k, int32_t l) {
    TVector q;
    Structure1->ReciprocalVector(h, k, l, q.x, q.y, q.z);
    const TBubble3DSeries& nodes = *form->Charts().SeriesPointRes;
    for (int i = 0; i < nodes.Count(); ++i) {
      if (std::fabs(nodes.XValue(i) - q.x) + std::fabs(nodes.YValue(i) - q.z) +
              std::fabs(nodes.ZValue(i) - q.y) >
          1e-9)
        continue;
      double x = 0, y = 0, r = 0;
      TChartView& v = form->ChartView2();
      if (ProjectedPoint(form->Charts().Chart2, nodes, i, v.width(), v.height(), x, y, r))
        return QPoint(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
    }
    ADD_FAILURE() << "node " << h << " " << k << " " << l << " is not drawn";
    return {};
  }
  void mouse(QEvent::Type type, QPoint at) {
    QWidget& v = form->ChartView2();
    QMouseEvent e(type, QPointF(at), QPointF(v.mapToGlobal(at)), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(&v, &e);
  }
  void click(QPoint at) {
    mouse(QEvent::MouseButtonPress, at);
    mouse(QEvent::MouseButtonRelease, at);
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

TEST_F(ReadoutWindow, ClickSelectsANodeDoubleClickMakesItTheReflection) {
  form->show();
  f().ButtonRec2D->click();
  // Face on to the plane of incidence, so that no node hides another.
  form->Charts().Chart2.View3DOptions().SetRotation(0);
  form->Charts().Chart2.View3DOptions().SetElevation(0);
  TNodeReader& reader = form->NodeReader();

  const QPoint n004 = nodeAt(0, 0, 4);
  click(n004);
  ASSERT_TRUE(reader.HasSelection());
  EXPECT_TRUE(reader.PanelText().startsWith(QStringLiteral("Si 0 0 4\n")))
      << reader.PanelText().toStdString();
  EXPECT_TRUE(reader.PanelText().contains(QStringLiteral("Bragg case: reachable")));
  // The panel leaves the node free; the halo sits on it.
  EXPECT_FALSE(reader.Panel().geometry().contains(n004));
  ASSERT_NE(reader.Halo(), nullptr);
  ASSERT_EQ(reader.Halo()->Count(), 1);
  EXPECT_NEAR(reader.Halo()->YValue(0), 4 / Structure1->LatticeA, 1e-9);
  // Its plane family in the real-space chart: planes cut to the block and the spacing vector
  // d = a / 4 along the normal.
  EXPECT_GT(form->Pool().PlaneSurfaces.Count(), 2);
  const TVector3DSeries& spacing = *form->Charts().SeriesVec2;
  ASSERT_GT(spacing.Count(), 0);
  EXPECT_NEAR(spacing.EndYValue(spacing.Count() - 1), Structure1->LatticeA / 4, 1e-9);

  // A drag is no click: the selection stays.
  mouse(QEvent::MouseButtonPress, QPoint(3, 3));
  mouse(QEvent::MouseButtonRelease, QPoint(40, 40));
  EXPECT_TRUE(reader.HasSelection());
  click(QPoint(3, 3));
  EXPECT_FALSE(reader.HasSelection());
  EXPECT_EQ(reader.Halo()->Count(), 0);

  const QPoint n022 = nodeAt(0, 2, 2);
  mouse(QEvent::MouseButtonDblClick, n022);
  EXPECT_EQ(f().EditH->text(), QStringLiteral("0"));
  EXPECT_EQ(f().EditK->text(), QStringLiteral("2"));
  EXPECT_EQ(f().EditL->text(), QStringLiteral("2"));
  EXPECT_TRUE(f().StatusBar->currentMessage().trimmed().startsWith(QString::fromUtf8(
      "Si 0 2 2 is no Bragg reflection (exit below the surface: θB = 23.6° < ψ = 45.0°)")))
      << f().StatusBar->currentMessage().toStdString();
  // "Clear" empties the lattice: the selection goes with it at the next drawing.
  click(nodeAt(0, 0, 4));
  EXPECT_TRUE(reader.HasSelection());
  f().ButtonClear->click();
  reader.CheckSelection();
  EXPECT_FALSE(reader.HasSelection());
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ReadoutWindow, LayerOnSubstrateShowsBothStructuresAnglesAndTheirDifference) {
  form->show();
  f().EditStr1->setText(QStringLiteral("GaAs"));
  f().EditStr2->setText(QStringLiteral("InAs"));
  f().CheckBoxStr2->setChecked(true);
  f().EditLambda->setText(QStringLiteral("1.5405929"));
  f().EditRelaxation->setText(QStringLiteral("a"));  // fully strained
  setHkl("0", "0", "4");
  QLabel& panel = form->NodeReader().AnglePanel();
  ASSERT_TRUE(panel.isVisible());
  EXPECT_TRUE(panel.text().contains(QStringLiteral("Substrate GaAs")))
      << panel.text().toStdString();
  EXPECT_TRUE(panel.text().contains(QString::fromUtf8("Δω = -4.72"))) << panel.text().toStdString();
  EXPECT_EQ(f().LabelOmega->toolTip(), panel.text());
  // A node clicked now reads out both structures too.
  form->Charts().Chart2.View3DOptions().SetRotation(0);
  form->Charts().Chart2.View3DOptions().SetElevation(0);
  click(nodeAt(0, 0, 4));
  ASSERT_TRUE(form->NodeReader().HasSelection());
  EXPECT_TRUE(form->NodeReader().PanelText().contains(QString::fromUtf8("Δ2θ = -9.45")))
      << form->NodeReader().PanelText().toStdString();
  f().CheckBoxStr2->setChecked(false);
  setHkl("0", "0", "4");
  EXPECT_FALSE(panel.isVisible());
  EXPECT_TRUE(errors.isEmpty());
}

}  // namespace
}  // namespace korvex

namespace korvex {
namespace {

class HelpTest : public WindowFixture {};

// Every hint of both forms, and every caption of a button or switch, appears in the help;
// F1 and "?" open it.
TEST_F(HelpTest, ListsEveryControlOfBothFormsWithItsHintAndOpensByF1AndQuestionMark) {
  const QString html = HelpHtml(*form, param.get());
  int hints = 0;
  for (const QWidget* root :
       {static_cast<const QWidget*>(form.get()), static_cast<const QWidget*>(param.get())}) {
    for (const QWidget* w : root->findChildren<const QWidget*>()) {
      const bool control = qobject_cast<const QAbstractButton*>(w) ||
                           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
                           qobject_cast<const QSlider*>(w);
      if (!control || !w->isVisibleTo(root) || w->toolTip().isEmpty()) continue;
      ++hints;
      EXPECT_TRUE(html.contains(w->toolTip().toHtmlEscaped())) << w->objectName().toStdString();
    }
  }
  EXPECT_GT(hints, 60);
  for (const char* key : {"PgDn", "PgUp", "wheel", "double click", "click</b> a node"})
    EXPECT_TRUE(html.contains(QString::fromLatin1(key))) << key;

  form->show();
  auto* button = form->findChild<QToolButton*>(QStringLiteral("ButtonHelp"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), QStringLiteral("?"));
  button->click();
  auto* help = form->findChild<THelpWindow*>(QStringLiteral("HelpWindow"));
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  help->hide();
  for (QShortcut* s : form->findChildren<QShortcut*>())
    if (s->key() == QKeySequence(Qt::Key_F1)) emit s->activated();
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(form->findChildren<THelpWindow*>().size(), 1);
}

}  // namespace
}  // namespace korvex
