// Screenshots of the main window while the animations run and after they end, and of the
// detector views, on the canvas and through OpenGL: korvex-shots <directory>.
// Run under a display, e.g.
//   xvfb-run -a -s "-screen 0 1600x1200x24" env QT_QPA_PLATFORM=xcb build/rel/tools/korvex-shots
//   /tmp/shots
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <functional>

#include "ui/Command.h"
#include "ui/Korvex1.h"
#include "ui/Parsing.h"
#include "ui/TAboutForm.h"
#include "ui/TFormParam.h"
#include "ui_TForm1.h"
#include "ui_TFormParam.h"

using namespace korvex;

namespace {

void Settle() {
  for (int i = 0; i < 30; ++i) QApplication::processEvents();
}

void Shot(QWidget& window, const QString& file) {
  Settle();
  QApplication::primaryScreen()->grabWindow(window.winId()).save(file);
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
  param.Controls().EditMaxTime->setText(QStringLiteral("50"));
  param.Controls().EditStepTime->setText(QStringLiteral("60"));

  for (const bool gl : {false, true}) {
    const QString mode = gl ? QStringLiteral("gl") : QStringLiteral("canvas");
    f.CheckBoxGL->setChecked(gl);
    // One animation: the button clicked, a picture halfway through and one at the end.
    const auto run = [&](const QString& name, QAbstractButton* button,
                         const std::function<void()>& setUp) {
      f.ButtonClear->click();
      setUp();
      f.ButtonSet->click();
      Settle();
      QTimer::singleShot(800, &form,
                         [&, name] { Shot(form, dir + "/" + name + "-" + mode + "-mid.png"); });
      button->click();
      Shot(form, dir + "/" + name + "-" + mode + "-end.png");
    };
    const auto scans = [&](bool om, bool tt) {
      return [&f, om, tt] {
        f.CheckBoxOm->setChecked(om);
        f.CheckBox2t->setChecked(tt);
        f.CheckBoxFast->setChecked(false);
        f.CheckBoxDet->setChecked(false);
      };
    };
    run(QStringLiteral("move-omega"), f.ButtonMove, scans(true, false));
    run(QStringLiteral("move-omega2theta"), f.ButtonMove, scans(true, true));
    run(QStringLiteral("move-2theta"), f.ButtonMove, scans(false, true));
    run(QStringLiteral("move-detector"), f.ButtonMove, [&] {
      scans(true, true)();
      f.CheckBoxDet->setChecked(true);
    });
    run(QStringLiteral("rotk"), f.ButtonRotK, scans(false, false));
    run(QStringLiteral("rotr"), f.ButtonRotRec, scans(false, false));
    run(QStringLiteral("boublik"), f.ButtonK0KhTor, scans(false, false));

    f.ButtonClear->click();
    f.CheckBoxDet->setChecked(true);
    f.ButtonSet->click();
    f.ButtonPSD->click();
    Shot(form, dir + "/psd-" + mode + ".png");
    f.CheckBoxDet->setChecked(false);

    // The cone of an asymmetric reflection (that of 0 0 4 is the one line along the normal).
    for (QLineEdit* e : {f.EditH, f.EditK, f.EditHpl, f.EditKpl}) e->setText(QStringLiteral("2"));
    f.EditKpl->setText(QStringLiteral("1"));
    f.EditHpl->setText(QStringLiteral("1"));
    f.EditLpl->setText(QStringLiteral("0"));
    f.ButtonClear->click();
    f.ButtonSet->click();
    f.ButtonAzCone->click();
    Shot(form, dir + "/cone-" + mode + ".png");
    f.EditH->setText(QStringLiteral("0"));
    f.EditK->setText(QStringLiteral("0"));
    f.EditHpl->setText(QStringLiteral("0"));
    f.EditKpl->setText(QStringLiteral("1"));
  }
  AboutForm = nullptr;
  return 0;
}
