// Screenshots of the node readout (an allowed, a forbidden and an unreachable node), of a
// node's plane family, of the status bar after "Set hkl" for an unreachable reflection and of
// the layer/substrate panel and of the help window, on the canvas and through OpenGL:
// korvex-readout-shots <directory>. Run under a display, e.g.
//   xvfb-run -a -s "-screen 0 1600x1200x24" env QT_QPA_PLATFORM=xcb
//   build/rel/tools/korvex-readout-shots /tmp/shots
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <cmath>

#include "chart/Picking.h"
#include "chart/view/ChartView.h"
#include "ui/Command.h"
#include "ui/Korvex1.h"
#include "ui/Parsing.h"
#include "ui/TAboutForm.h"
#include "ui/TFormParam.h"
#include "ui_TForm1.h"

using namespace korvex;

namespace {

void Settle() {
  for (int i = 0; i < 30; ++i) QApplication::processEvents();
}

void Shot(QWidget& window, const QString& file) {
  Settle();
  QApplication::primaryScreen()->grabWindow(window.winId()).save(file);
}

// Clicks node h k l of structure 1 in the reciprocal chart (double: makes it the reflection).
bool ClickNode(TForm1& form, int h, int k, int l, bool twice = false) {
  TVector q;
  Structure1->ReciprocalVector(h, k, l, q.x, q.y, q.z);
  const TBubble3DSeries& nodes = *form.Charts().SeriesPointRes;
  TChartView& v = form.ChartView2();
  for (int i = 0; i < nodes.Count(); ++i) {
    if (std::fabs(nodes.XValue(i) - q.x) + std::fabs(nodes.YValue(i) - q.z) +
            std::fabs(nodes.ZValue(i) - q.y) >
        1e-9)
      continue;
    double x = 0, y = 0, r = 0;
    if (!ProjectedPoint(form.Charts().Chart2, nodes, i, v.width(), v.height(), x, y, r))
      return false;
    const QPointF at(x, y);
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent e(t, at, v.mapToGlobal(at), Qt::LeftButton,
                    t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(&v, &e);
    }
    if (twice) {
      QMouseEvent e(QEvent::MouseButtonDblClick, at, v.mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(&v, &e);
    }
    return true;
  }
  qWarning("node %d %d %d is not drawn", h, k, l);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  SetDecimalSeparator(QLatin1Char('.'));
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");
  QDir().mkpath(dir);
  TForm1 form;
  TAboutForm about(&form);
  AboutForm = &about;
  TFormParam param(&form);
  SetErrorReporter([](const QString& m) { qWarning("error: %s", qPrintable(m)); });
  form.show();
  Settle();
  Ui::TForm1& f = form.Controls();
  for (const bool gl : {false, true}) {
    const QString mode = gl ? QStringLiteral("gl") : QStringLiteral("canvas");
    f.CheckBoxGL->setChecked(gl);
    f.CheckBoxStr2->setChecked(false);
    f.EditStr1->setText(QStringLiteral("Si"));
    f.CheckBoxHi->setChecked(true);
    f.ButtonClear->click();
    f.ButtonReal->click();
    f.ButtonRec2D->click();
    form.Charts().Chart2.View3DOptions().SetRotation(0);
    form.Charts().Chart2.View3DOptions().SetElevation(0);
    Settle();
    ClickNode(form, 0, 2, 2);
    Shot(form, dir + "/readout-unreachable-" + mode + ".png");
    ClickNode(form, 0, 0, 2);
    Shot(form, dir + "/readout-forbidden-" + mode + ".png");
    ClickNode(form, 0, 4, 4);
    Shot(form, dir + "/readout-allowed-" + mode + ".png");
    f.EditH->setText(QStringLiteral("0"));
    f.EditK->setText(QStringLiteral("0"));
    f.EditL->setText(QStringLiteral("12"));
    f.ButtonSet->click();
    Shot(form, dir + "/status-unreachable-" + mode + ".png");

    f.EditStr1->setText(QStringLiteral("GaAs"));
    f.EditStr2->setText(QStringLiteral("InAs"));
    f.CheckBoxStr2->setChecked(true);
    f.EditLambda->setText(QStringLiteral("1.5405929"));
    f.EditRelaxation->setText(QStringLiteral("a"));
    f.EditL->setText(QStringLiteral("4"));
    f.ButtonClear->click();
    f.ButtonSet->click();
    form.Charts().Chart2.View3DOptions().SetRotation(0);
    form.Charts().Chart2.View3DOptions().SetElevation(0);
    ClickNode(form, 0, 0, 4);
    Shot(form, dir + "/layer-substrate-" + mode + ".png");
    f.EditLambda->setText(QStringLiteral("1.54"));
  }
  if (auto* help = form.findChild<QAbstractButton*>(QStringLiteral("ButtonHelp"))) {
    help->click();
    Settle();
    if (auto* window = form.findChild<QDialog*>(QStringLiteral("HelpWindow")))
      Shot(*window, dir + "/help.png");
  }
  AboutForm = nullptr;
  return 0;
}
