// Prints where the controls of the main window lie, for tools/monkey.sh: one line per visible
// control that takes clicks or keys (buttons, check boxes, fields, combo boxes, the track bar,
// the two charts), "kind name x y width height" in pixels from the window's top left corner.
// The window is made as the program makes it, on the same screen, so it has the same layout.
#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>

#include "ui/Command.h"
#include "ui/Korvex1.h"
#include "ui/Parsing.h"
#include "ui/TAboutForm.h"
#include "ui/TFormParam.h"

namespace {

const char* KindOf(QWidget* w) {
  if (qobject_cast<QAbstractButton*>(w)) return "button";
  if (qobject_cast<QLineEdit*>(w)) return "field";
  if (qobject_cast<QComboBox*>(w)) return "combo";
  if (qobject_cast<QAbstractSlider*>(w)) return "slider";
  const QString name = w->objectName();
  if (name == QLatin1String("Chart1") || name == QLatin1String("Chart2")) return "chart";
  return nullptr;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  korvex::InitDecimalSeparatorFromLocale();
  korvex::TForm1 form1;
  korvex::TAboutForm about(&form1);
  korvex::AboutForm = &about;
  korvex::TFormParam param(&form1);
  form1.show();
  QTimer::singleShot(500, &app, [&] {
    for (QWidget* w : form1.findChildren<QWidget*>()) {
      const char* kind = KindOf(w);
      if (kind == nullptr || !w->isVisible() || !w->isEnabled()) continue;
      // A line edit inside a combo box is part of the combo box.
      if (qobject_cast<QLineEdit*>(w) && qobject_cast<QComboBox*>(w->parentWidget())) continue;
      const QPoint p = w->mapTo(&form1, QPoint(0, 0));
      const QString name = w->objectName().isEmpty() ? QStringLiteral("-") : w->objectName();
      std::printf("%s %s %d %d %d %d\n", kind, qPrintable(name), p.x(), p.y(), w->width(),
                  w->height());
    }
    std::fflush(stdout);
    korvex::AboutForm = nullptr;
    QCoreApplication::quit();
  });
  return QApplication::exec();
}
