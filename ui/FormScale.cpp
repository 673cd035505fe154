#include "ui/FormScale.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace korvex {

namespace {

constexpr int MaxSize = QWIDGETSIZE_MAX;

// Width and height a control needs to show its text unclipped.
QSize NeededSize(const QWidget& w) {
  const QFontMetrics fm(w.font());
  const int textHeight = fm.height();
  if (const auto* box = qobject_cast<const QAbstractButton*>(&w)) {
    const int text = fm.horizontalAdvance(box->text());
    if (qobject_cast<const QCheckBox*>(&w) != nullptr || qobject_cast<const QRadioButton*>(&w) != nullptr) {
      const QStyle* style = w.style();
      const bool radio = qobject_cast<const QRadioButton*>(&w) != nullptr;
      const int indicator = style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth, nullptr, &w);
      const int spacing = style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing, nullptr, &w);
      return {box->text().isEmpty() ? 0 : indicator + spacing + text + 2, textHeight};
    }
    if (box->text().isEmpty()) return {0, 0};
    return {text + 4, textHeight + 4};
  }
  if (const auto* label = qobject_cast<const QLabel*>(&w)) {
    if (label->text().isEmpty() || !label->pixmap().isNull()) return {0, 0};
    if (label->wordWrap()) {
      // Wrapped text: the height its lines need at the label's width.
      const QRect r = fm.boundingRect(QRect(0, 0, label->width(), 100000), Qt::TextWordWrap, label->text());
      return {0, r.height()};
    }
    return {fm.horizontalAdvance(label->text()) + 2, textHeight};
  }
  if (const auto* edit = qobject_cast<const QLineEdit*>(&w)) {
    const int frame = edit->hasFrame() ? 6 : 2;
    return {fm.horizontalAdvance(edit->text()) + frame, textHeight + (edit->hasFrame() ? 4 : 0)};
  }
  return {0, 0};
}

bool ManagedByLayout(const QWidget& w) {
  const QWidget* parent = w.parentWidget();
  return parent != nullptr && parent->layout() != nullptr && parent->layout()->indexOf(&w) >= 0;
}

int Scaled(int v, double f) { return static_cast<int>(std::lround(v * f)); }

}  // namespace

double FitScale(const QWidget& root) {
  double factor = 1;
  for (const QWidget* w : root.findChildren<QWidget*>()) {
    if (w->window() != &root || ManagedByLayout(*w)) continue;
    const QSize need = NeededSize(*w);
    double f = 1;
    if (need.width() > 0 && w->width() > 0) f = std::max(f, double(need.width()) / w->width());
    if (need.height() > 0 && w->height() > 0) f = std::max(f, double(need.height()) / w->height());
    if (qEnvironmentVariableIsSet("KORVEX_DEBUG_SCALE") && f > 1)
      qDebug("%s %.3f (%dx%d needs %dx%d)", qPrintable(w->objectName()), f, w->width(), w->height(), need.width(), need.height());
    factor = std::max(factor, f);
  }
  return factor;
}

void ScaleForm(QWidget& root, double factor) {
  if (factor == 1) return;
  const auto scaleLimits = [factor](QWidget& w) {
    const QSize min = w.minimumSize();
    const QSize max = w.maximumSize();
    w.setMinimumSize(Scaled(min.width(), factor), Scaled(min.height(), factor));
    w.setMaximumSize(max.width() >= MaxSize ? MaxSize : Scaled(max.width(), factor),
                     max.height() >= MaxSize ? MaxSize : Scaled(max.height(), factor));
  };
  for (QWidget* w : root.findChildren<QWidget*>()) {
    if (w->window() != &root) continue;
    scaleLimits(*w);
    if (!ManagedByLayout(*w)) {
      const QRect g = w->geometry();
      w->setGeometry(Scaled(g.x(), factor), Scaled(g.y(), factor), Scaled(g.width(), factor),
                     Scaled(g.height(), factor));
    }
  }
  scaleLimits(root);
  root.resize(Scaled(root.width(), factor), Scaled(root.height(), factor));
}

double FitForm(QWidget& root) {
  const double factor = FitScale(root);
  ScaleForm(root, factor);
  return factor;
}

int TextRoom(const QWidget& control) {
  if (const auto* label = qobject_cast<const QLabel*>(&control))
    return label->contentsRect().width() - 2 * label->margin();
  if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) {
    // As QLineEdit lays out its text: the style's contents rectangle less the text margins, a
    // margin of 2 on either side, and the cursor after the last character.
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth = edit->hasFrame()
                           ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                           : 0;
    const QRect contents =
        edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    return contents.marginsRemoved(edit->textMargins()).width() - 2 * 2 - 2;
  }
  return 0;
}

int WidenToFit(QWidget& control, const QStringList& texts) {
  const QFontMetrics fm(control.font());
  int need = 0;
  for (const QString& text : texts) need = std::max(need, fm.horizontalAdvance(text));
  const int delta = need - TextRoom(control);
  if (delta <= 0) return 0;
  const auto rightmost = [](const QWidget& parent) {
    int edge = 0;
    for (const QWidget* c : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (!c->isWindow()) edge = std::max(edge, c->x() + c->width());
    return edge;
  };
  // Up from the control, each panel grows by what its contents grew (nothing more where a
  // control beside it is already as wide).
  QWidget* w = &control;
  int grow = delta;
  while (grow > 0 && w->parentWidget() != nullptr && !ManagedByLayout(*w)) {
    QWidget* parent = w->parentWidget();
    const int before = rightmost(*parent);
    const int middle = w->x() + w->width() / 2;
    for (QWidget* sibling : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (sibling != w && !sibling->isWindow() && sibling->x() > middle)
        sibling->move(sibling->x() + grow, sibling->y());
    }
    w->resize(w->width() + grow, w->height());
    grow = rightmost(*parent) - before;
    w = parent;
  }
  // The window last, as wide as the strip that holds the control needs (a strip placed by the
  // window's layout follows the window's width).
  QWidget* window = control.window();
  QWidget* strip = &control;
  while (strip != window && strip->parentWidget() != window) strip = strip->parentWidget();
  if (strip != window) {
    const int need =
        control.parentWidget() == window ? rightmost(*window) : strip->x() + rightmost(*strip);
    if (need > window->width()) window->resize(need, window->height());
  }
  return delta;
}

}  // namespace korvex
