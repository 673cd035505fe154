// Korvex: a demonstration of reciprocal space construction and diffraction principles.
//
// Start-up: the main window, then the about box, then the parameters dialog (whose creation
// runs the first recompute and the scene reset), then the message loop until the main window
// closes. With KORVEX_QUIT_AFTER_FIRST_PAINT set in the environment the program ends as soon
// as the main window has been painted once (used to measure the start-up time).
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>
#include <exception>

#include "chart/view/LeakCheck.h"
#include "ui/Command.h"
#include "ui/Korvex1.h"
#include "ui/Parsing.h"
#include "ui/TAboutForm.h"
#include "ui/TFormParam.h"

namespace {

class FirstPaintQuit : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !done_) {
      done_ = true;
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool done_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(korvex::ProgramTitle));
  QApplication::setApplicationDisplayName(QString::fromUtf8(korvex::ProgramTitle));
  try {
    korvex::InitDecimalSeparatorFromLocale();
    int result = 0;
    {
      korvex::TForm1 form1;
      korvex::TAboutForm about(&form1);
      korvex::AboutForm = &about;
      korvex::TFormParam param(&form1);
      FirstPaintQuit quitter;
      if (qEnvironmentVariableIsSet("KORVEX_QUIT_AFTER_FIRST_PAINT")) form1.installEventFilter(&quitter);
      form1.show();
      result = QApplication::exec();
      korvex::AboutForm = nullptr;
    }
    korvex::CheckLeaksBeforeTheDisplayCloses();
    return result;
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, QString::fromUtf8(korvex::ProgramTitle), QString::fromUtf8(e.what()));
  } catch (...) {
    QMessageBox::critical(nullptr, QString::fromUtf8(korvex::ProgramTitle), QString());
  }
  return 1;
}
