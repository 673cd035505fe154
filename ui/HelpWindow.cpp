#include "ui/HelpWindow.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QShortcut>
#include <QSlider>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <map>
#include <vector>

#include "ui/TFormParam.h"

namespace korvex {

namespace {

bool IsControl(const QWidget& w) {
  return qobject_cast<const QAbstractButton*>(&w) != nullptr ||
         qobject_cast<const QLineEdit*>(&w) != nullptr ||
         qobject_cast<const QComboBox*>(&w) != nullptr ||
         qobject_cast<const QSlider*>(&w) != nullptr;
}

// What using a control of this kind does; the hint says what it is for.
QString KindSentence(const QWidget& w) {
  if (qobject_cast<const QRadioButton*>(&w))
    return QStringLiteral("Choice: click to choose it among its neighbours.");
  if (qobject_cast<const QCheckBox*>(&w))
    return QStringLiteral("Switch: a tick turns it on, the view follows at once.");
  if (qobject_cast<const QAbstractButton*>(&w)) return QStringLiteral("Button: a click runs it.");
  if (qobject_cast<const QLineEdit*>(&w))
    return QStringLiteral(
        "Field: type a value; the next command reads it, a bad value is named in a message.");
  if (qobject_cast<const QComboBox*>(&w)) return QStringLiteral("List: pick an entry.");
  if (qobject_cast<const QSlider*>(&w))
    return QStringLiteral("Track bar: drag the thumb, the drawing follows.");
  return {};
}

// The caption a user sees for a control: its own text, else the label just left of it or
// above it, else its name.
QString Caption(const QWidget& w) {
  if (const auto* b = qobject_cast<const QAbstractButton*>(&w); b && !b->text().isEmpty())
    return b->text().remove(QLatin1Char('&'));
  const QWidget* parent = w.parentWidget();
  if (parent != nullptr) {
    const QLabel* best = nullptr;
    int bestDistance = 40;
    for (const QLabel* l :
         parent->findChildren<const QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
      if (l->text().trimmed().isEmpty() || !l->isVisibleTo(parent)) continue;
      const QRect a = l->geometry(), b = w.geometry();
      int d = 1000;
      if (std::abs(a.center().y() - b.center().y()) <= b.height() && a.right() <= b.left() + 2)
        d = b.left() - a.right();
      else if (std::abs(a.center().x() - b.center().x()) <= b.width() && a.bottom() <= b.top() + 2)
        d = b.top() - a.bottom() + 10;
      if (d >= 0 && d < bestDistance) {
        bestDistance = d;
        best = l;
      }
    }
    if (best != nullptr) return best->text();
  }
  if (qobject_cast<const QAbstractButton*>(&w) != nullptr)
    return QStringLiteral("(picture button)");
  return w.objectName();
}

QPoint TopLeftIn(const QWidget& w, const QWidget& root) { return w.mapTo(&root, QPoint(0, 0)); }

// One group per panel of the form that holds controls, in screen order.
void Groups(const QWidget& form, const QString& title, QString& html) {
  html += QStringLiteral("<h2>%1</h2>").arg(title.toHtmlEscaped());
  std::vector<const QWidget*> panels;
  for (const QWidget* w : form.findChildren<const QWidget*>()) {
    if (IsControl(*w) || !w->isVisibleTo(&form)) continue;
    // A panel whose controls are its own: at least one control among its direct children.
    bool holds = false;
    for (const QWidget* c : w->findChildren<const QWidget*>(QString(), Qt::FindDirectChildrenOnly))
      holds = holds || IsControl(*c);
    if (holds) panels.push_back(w);
  }
  std::stable_sort(panels.begin(), panels.end(), [&](const QWidget* a, const QWidget* b) {
    const QPoint pa = TopLeftIn(*a, form), pb = TopLeftIn(*b, form);
    if (std::abs(pa.y() - pb.y()) > 40) return pa.y() < pb.y();
    return pa.x() < pb.x();
  });
  // The form's own strips, top to bottom.
  std::vector<const QWidget*> strips;
  for (const QWidget* w : form.findChildren<const QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    if (w->isVisibleTo(&form)) strips.push_back(w);
  std::stable_sort(strips.begin(), strips.end(),
                   [](const QWidget* a, const QWidget* b) { return a->y() < b->y(); });
  std::map<const QWidget*, int> columns;
  for (const QWidget* p : panels) {
    QString rows;
    // Only the direct controls: nested panels have their own group.
    std::vector<const QWidget*> direct;
    for (const QWidget* c : p->findChildren<const QWidget*>(QString(), Qt::FindDirectChildrenOnly))
      if (IsControl(*c)) direct.push_back(c);
    std::stable_sort(direct.begin(), direct.end(), [&](const QWidget* a, const QWidget* b) {
      const QPoint pa = TopLeftIn(*a, form), pb = TopLeftIn(*b, form);
      if (std::abs(pa.x() - pb.x()) > 30) return pa.x() < pb.x();
      return pa.y() < pb.y();
    });
    for (const QWidget* w : direct) {
      if (!w->isVisibleTo(&form)) continue;
      if (w->toolTip().isEmpty() && Caption(*w) == w->objectName()) continue;
      rows += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td><td>%3</td></tr>")
                  .arg(Caption(*w).toHtmlEscaped(), KindSentence(*w).toHtmlEscaped(),
                       w->toolTip().toHtmlEscaped());
    }
    if (rows.isEmpty()) continue;
    // The strip of the form the panel lies in (top to bottom) and its place in that strip.
    const QWidget* strip = p;
    while (strip->parentWidget() != nullptr && strip->parentWidget() != &form)
      strip = strip->parentWidget();
    const int row =
        static_cast<int>(std::find(strips.begin(), strips.end(), strip) - strips.begin()) + 1;
    const int column = ++columns[strip];
    const QString head =
        p->toolTip().isEmpty() ? QString() : QStringLiteral(" — ") + p->toolTip().toHtmlEscaped();
    html += QStringLiteral(
                "<h3>Row %1, panel %2%3</h3><table cellspacing=0 cellpadding=3 border=1>%4</table>")
                .arg(row)
                .arg(column)
                .arg(head, rows);
  }
}

const char* MousePage =
    "<h2>Lecture keys and the mouse</h2><table cellspacing=0 cellpadding=3 border=1>"
    "<tr><td><b>PgDn</b> or <b>Space</b></td><td>the next lecture slide (during an animation: end "
    "it and go on)</td></tr>"
    "<tr><td><b>PgUp</b></td><td>the previous lecture slide</td></tr>"
    "<tr><td><b>F1</b></td><td>this help</td></tr>"
    "<tr><td><b>drag</b> with the left button</td><td>turns the chart's view</td></tr>"
    "<tr><td><b>wheel</b></td><td>zooms the chart under the cursor</td></tr>"
    "<tr><td><b>click</b> a node of the reciprocal chart</td><td>selects it: a yellow halo, its "
    "readout "
    "(d, |Q|, Bragg angle, |F|, &chi;0, &chi;h, the angles of incidence and exit, whether and why "
    "it can be "
    "reached in the Bragg and Laue cases) and its lattice planes in the real-space chart; a click "
    "on empty "
    "space drops the selection</td></tr>"
    "<tr><td><b>hover</b> over a node</td><td>the same readout as a tooltip</td></tr>"
    "<tr><td><b>double click</b> a node</td><td>makes it the current reflection (h k l and \"Set "
    "hkl\")</td></tr>"
    "<tr><td><b>double click</b> elsewhere in a chart</td><td>chooses that chart for the "
    "toolbar</td></tr>"
    "</table>";

}  // namespace

QString HelpHtml(const QWidget& mainWindow, const QWidget* parametersDialog) {
  QString html = QStringLiteral("<html><body>");
  Groups(
      mainWindow,
      mainWindow.windowTitle().isEmpty() ? QStringLiteral("Main window") : mainWindow.windowTitle(),
      html);
  if (parametersDialog != nullptr) {
    Groups(*parametersDialog,
           parametersDialog->windowTitle().isEmpty() ? QStringLiteral("Parameters")
                                                     : parametersDialog->windowTitle(),
           html);
  }
  html += QString::fromUtf8(MousePage);
  html += QStringLiteral("</body></html>");
  return html;
}

THelpWindow::THelpWindow(QWidget& mainWindow, const QWidget* parametersDialog)
    : QDialog(&mainWindow),
      main_(mainWindow),
      params_(parametersDialog),
      browser_(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Help"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(browser_);
  resize(820, 640);
}

void THelpWindow::ShowHelp() {
  browser_->setHtml(HelpHtml(main_, params_));
  show();
  raise();
  activateWindow();
}

QString THelpWindow::Html() const { return browser_->toHtml(); }

void InstallHelp(QWidget& mainWindow, QWidget& aboutButton) {
  auto* button = new QToolButton(aboutButton.parentWidget());
  button->setObjectName(QStringLiteral("ButtonHelp"));
  button->setText(QStringLiteral("?"));
  button->setToolTip(
      QStringLiteral("Help: every control with its hint, the lecture keys and the mouse (F1)"));
  button->setAutoRaise(true);
  button->setGeometry(aboutButton.x() + aboutButton.width() + 4, aboutButton.y(),
                      aboutButton.width(), aboutButton.height());
  button->show();
  const auto open = [&mainWindow] {
    auto* help = mainWindow.findChild<THelpWindow*>(QStringLiteral("HelpWindow"));
    if (help == nullptr) help = new THelpWindow(mainWindow, FormParam);
    help->ShowHelp();
  };
  QObject::connect(button, &QToolButton::clicked, &mainWindow, open);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), &mainWindow);
  f1->setContext(Qt::ApplicationShortcut);
  QObject::connect(f1, &QShortcut::activated, &mainWindow, open);
}

}  // namespace korvex
