#include "ui/LecturePlayer.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>

#include "geometry/Settings.h"
#include "ui/Command.h"
#include "ui/Korvex1.h"
#include "ui/Parsing.h"
#include "ui/Slide.h"
#include "ui/TFormParam.h"
#include "ui_TForm1.h"
#include "ui_TFormParam.h"

namespace korvex {

namespace {

QString& FigureFolderPath() {
  static QString folder = QStringLiteral("Fig");
  return folder;
}

// The drawing buttons by their slide command.
const std::pair<const char*, QPushButton * Ui::TForm1::*> CommandButtons[] = {
    {"Clear", &Ui::TForm1::ButtonClear},   {"Sethkl", &Ui::TForm1::ButtonSet},
    {"Real", &Ui::TForm1::ButtonReal},     {"GaAs", &Ui::TForm1::ButtonGaAs},
    {"Recipr", &Ui::TForm1::ButtonRecipr}, {"Rec2D", &Ui::TForm1::ButtonRec2D},
    {"RotK", &Ui::TForm1::ButtonRotK},     {"KhSph", &Ui::TForm1::ButtonKhSphere},
    {"Tor", &Ui::TForm1::ButtonK0KhTor},   {"RotR", &Ui::TForm1::ButtonRotRec},
    {"Move", &Ui::TForm1::ButtonMove},     {"PSD", &Ui::TForm1::ButtonPSD},
    {"Cone", &Ui::TForm1::ButtonAzCone},
};

QStringList& CommandLog() {
  static QStringList log;
  return log;
}

QAbstractButton* ButtonOf(Ui::TForm1& f, const QString& command) {
  for (const auto& [word, member] : CommandButtons) {
    if (command == QLatin1String(word)) return f.*member;
  }
  return nullptr;
}

QWidget* ControlNamed(const char* name) {
  const QString objectName = QString::fromLatin1(name);
  if (QWidget* w = Form1->findChild<QWidget*>(objectName)) return w;
  return FormParam != nullptr ? FormParam->findChild<QWidget*>(objectName) : nullptr;
}

// The example map whose name begins with number and "_"; a negative number, or none that
// matches, selects nothing. The names are read up to the match.
void SelectFigure(int number) {
  QComboBox& box = *Form1->Controls().ComboBoxFig;
  int selected = -1;
  if (number >= 0) {
    for (int i = 1; i < box.count() && selected < 0; ++i) {
      const QString name = box.itemText(i);
      if (StrToInt(name.left(name.indexOf(QLatin1Char('_')))) == number) selected = i;
    }
  }
  box.setCurrentIndex(selected);
}

// Field 54: the reciprocal chart is 3-D only when the flag is off and OpenGL is enabled.
void ApplyFlatChart(bool flat) {
  TChartCatalogue& c = Form1->Charts();
  c.TeeOpenGL2.SetActive(!flat);
  if (!Form1->Controls().CheckBoxGL->isChecked()) c.TeeOpenGL2.SetActive(false);
  c.Chart2.SetView3D(c.TeeOpenGL2.Active());
}

void ApplyValue(const TSlideValue& value) {
  if (qstrcmp(value.Target, FigureTarget) == 0) return SelectFigure(value.Figure);
  if (qstrcmp(value.Target, FlatChartTarget) == 0) return ApplyFlatChart(value.On);
  QWidget* control = ControlNamed(value.Target);
  if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    edit->setText(value.Text);
    edit->setCursorPosition(0);
  } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
    box->setChecked(value.On);
  }
  // A change or click handler that failed stops the slide here.
  RethrowPendingError();
}

// Plays the slide at index; false when a "GaAs" command ended it at once.
bool PlaySlide(int index) {
  Ui::TForm1& f = Form1->Controls();
  Settings.NextPending = false;
  const QString action = f.ComboBoxActs->itemText(index);
  Form1->ShowStatus(QLatin1Char(' ') + f.ComboBoxSteps->itemText(index));
  const TSlide slide = ReadSlide(action, index + 1);
  for (const TSlideValue& value : slide.Values) ApplyValue(value);
  if (!slide.Complete()) throw CommandError(slide.Error);
  Form1->StopAnimation();
  for (const QString& command : slide.Commands) {
    if (command == QLatin1String(NextCommand)) {
      Settings.NextPending = true;
      continue;
    }
    QAbstractButton* button = ButtonOf(f, command);
    if (button == nullptr) continue;  // a word that names no command
    ClickButton(button);
    if (button == f.ButtonGaAs) return false;
  }
  ComboBoxFigChange();
  TChartCatalogue& c = Form1->Charts();
  c.TeeOpenGL2.SetActive(c.Chart2.View3D());
  PumpMessages();
  return true;
}

// The application-wide key hook: sees every key press before the focused control does and
// leaves it unhandled, so the control gets the key as well.
class TLectureKeys : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    // A key travels from the focused control up to its window; it counts once, at the start.
    QWidget* focus = QApplication::focusWidget();
    auto* widget = static_cast<QWidget*>(watched);
    if (focus != nullptr ? widget != focus : !widget->isWindow()) return false;
    if (QApplication::activeModalWidget() != nullptr) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_PageDown || key == Qt::Key_Space || key == Qt::Key_PageUp) {
      RunCommand([key] { LectureKey(key); });
    }
    return false;
  }
};

// Key-down of ComboBoxSteps, ComboBoxFig and TrackBarFi: Left and Right work as usual; every
// other key sends the focus to EditLambda, and PgUp, PgDn, End, Home, Up and Down are taken
// away first, so these controls never change their selection while the lecture keys are used.
class TStripKeys : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || Form1 == nullptr) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Left || key == Qt::Key_Right) return false;
    const bool swallow = key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_End ||
                         key == Qt::Key_Home || key == Qt::Key_Up || key == Qt::Key_Down;
    Form1->Controls().EditLambda->setFocus();
    return swallow;
  }
};

}  // namespace

void LoadLecture(const TLectureLists& lecture) {
  if (Form1 == nullptr) return;
  Ui::TForm1& f = Form1->Controls();
  f.ComboBoxActs->clear();
  f.ComboBoxSteps->clear();
  f.ComboBoxActs->addItems(lecture.Actions);
  f.ComboBoxSteps->addItems(lecture.Titles);
  f.ComboBoxSteps->setCurrentIndex(-1);
}

void LoadFigures(const QString& folder) {
  FigureFolderPath() = folder;
  if (Form1 == nullptr) return;
  QComboBox& box = *Form1->Controls().ComboBoxFig;
  box.clear();
  box.addItems(ListFigures(folder));
  box.setCurrentIndex(-1);
}

QString FigureFolder() { return FigureFolderPath(); }

void RunSlide(bool chain) {
  if (Form1 == nullptr) return;
  Ui::TForm1& f = Form1->Controls();
  for (;;) {
    const int index = f.ComboBoxSteps->currentIndex();
    if (index < 0 || index >= f.ComboBoxActs->count()) return;
    if (!PlaySlide(index)) return;
    if (!Settings.NextPending || !chain || index + 1 >= f.ComboBoxSteps->count()) return;
    f.ComboBoxSteps->setCurrentIndex(index + 1);
  }
}

void ComboBoxFigChange() {
  if (Form1 == nullptr) return;
  Ui::TForm1& f = Form1->Controls();
  const QString name = f.ComboBoxFig->currentText();
  if (name.isEmpty()) {
    f.Image1->hide();
    f.Chart1->show();
    return;
  }
  const QString path = FigureFolderPath() + QLatin1Char('/') + name + QStringLiteral(".gif");
  if (QFileInfo::exists(path)) {
    QImageReader reader(path, "gif");
    const QImage image = reader.read();
    if (image.isNull()) {
      throw CommandError(
          QStringLiteral("The map \"%1\" cannot be shown: %2.").arg(path, reader.errorString()));
    }
    f.Image1->setPixmap(QPixmap::fromImage(image));
  }
  // A listed file that has gone leaves the picture shown before.
  f.Image1->resize(f.Chart1->size());
  f.Image1->show();
  f.Image1->raise();
  f.Chart1->hide();
}

void LectureKey(int key) {
  if (Form1 == nullptr) return;
  Ui::TForm1& f = Form1->Controls();
  const int position = f.ComboBoxSteps->currentIndex();
  const int count = f.ComboBoxSteps->count();
  if (key == Qt::Key_PageDown || key == Qt::Key_Space) {
    if (position >= count) return;
    if (Form1->TimerEnabled()) {
      // The animation ends; the slide that started it chains on when it is done.
      Form1->StopAnimation();
      Settings.NextPending = true;
    } else if (position + 1 < count) {
      f.ComboBoxSteps->setCurrentIndex(position + 1);
      f.EditLambda->setFocus();
      RunSlide(true);
    }
  } else if (key == Qt::Key_PageUp) {
    if (position <= 0) return;
    f.ComboBoxSteps->setCurrentIndex(position - 1);
    f.EditLambda->setFocus();
    RunSlide(false);
    Settings.NextPending = false;
  }
}

QStringList RecordedCommands() { return CommandLog(); }

QString RecordSlide(const QString& title) {
  if (Form1 == nullptr) return QString();
  Ui::TForm1& f = Form1->Controls();
  const auto refuse = [](const char* name, const QString& text, const char* why) {
    throw CommandError(QStringLiteral("%1 holds \"%2\", which a slide cannot hold (%3).")
                           .arg(QLatin1String(name), text, QLatin1String(why)));
  };
  QString action;
  for (const TSlideFieldRule& rule : SlideFieldRules()) {
    if (rule.Reader == TSlideReader::Skip) {
      action += QLatin1Char(',');
      continue;
    }
    if (qstrcmp(rule.Target, FigureTarget) == 0) {
      const QString map = f.ComboBoxFig->currentText();
      action += (map.isEmpty() ? QStringLiteral("-1") : map.section(QLatin1Char('_'), 0, 0)) +
                QLatin1Char(',');
      continue;
    }
    if (qstrcmp(rule.Target, FlatChartTarget) == 0) {
      action += QLatin1Char(Form1->Charts().Chart2.View3D() ? '0' : '1');
      continue;
    }
    QWidget* control = ControlNamed(rule.Target);
    if (auto* box = qobject_cast<QCheckBox*>(control)) {
      action += QLatin1Char(box->isChecked() != rule.Inverted ? '1' : '0');
      continue;
    }
    const auto* edit = qobject_cast<QLineEdit*>(control);
    const QString text = edit != nullptr ? edit->text() : QString();
    if (rule.Reader == TSlideReader::Digit) {
      const bool one = text.size() == 1 && text != QLatin1String("-");
      const bool signed2 = text.size() == 2 && text.front() == QLatin1Char('-');
      if (!one && !signed2) refuse(rule.Target, text, "one digit, or \"-\" and one digit");
      action += text;
    } else {
      if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('~')) || text.isEmpty())
        refuse(rule.Target, text, "a field is not empty and has no \",\" or \"~\"");
      action += text + QLatin1Char(',');
    }
  }
  for (const QString& command : CommandLog()) action += command + QLatin1Char(',');
  return action + QLatin1Char('~') + title;
}

void ButtonCopySlideClick() {
  const QString slide = RecordSlide(QString::fromLatin1(CopiedSlideTitle));
  QGuiApplication::clipboard()->setText(slide);
  if (Form1 != nullptr)
    Form1->ShowStatus(
        QStringLiteral(" Slide copied: paste it into lecture.txt and give it its title"));
}

void InstallLecturePlayer(TForm1& form) {
  Ui::TForm1& f = form.Controls();
  // Only a pick by the user plays a slide or shows a map; the player selects without it.
  QObject::connect(f.ComboBoxSteps, &QComboBox::activated, &form,
                   [] { RunCommand([] { RunSlide(false); }); });
  QObject::connect(f.ComboBoxFig, &QComboBox::activated, &form,
                   [] { RunCommand([] { ComboBoxFigChange(); }); });
  qApp->installEventFilter(new TLectureKeys(&form));
  auto* strip = new TStripKeys(&form);
  f.ComboBoxSteps->installEventFilter(strip);
  f.ComboBoxFig->installEventFilter(strip);
  f.TrackBarFi->installEventFilter(strip);

  // The command log of the recorder: every drawing button's click, by the user or by a slide;
  // "Clear" starts it afresh.
  for (const auto& [word, member] : CommandButtons) {
    const QString command = QString::fromLatin1(word);
    QObject::connect(f.*member, &QAbstractButton::clicked, &form, [command] {
      if (command == QLatin1String("Clear")) CommandLog().clear();
      CommandLog().append(command);
    });
  }
  CommandLog().clear();
  QObject::connect(f.ButtonCopySlide, &QAbstractButton::clicked, &form,
                   [] { RunCommand([] { ButtonCopySlideClick(); }); });
  auto* shortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+C")), &form);
  shortcut->setContext(Qt::WindowShortcut);
  QObject::connect(shortcut, &QShortcut::activated, &form,
                   [] { RunCommand([] { ButtonCopySlideClick(); }); });
}

}  // namespace korvex
