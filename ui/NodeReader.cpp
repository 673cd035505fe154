#include "ui/NodeReader.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "chart/Picking.h"
#include "chart/Projection.h"
#include "chart/view/ChartView.h"
#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/NodeReadout.h"
#include "ui/Korvex1.h"
#include "ui_TForm1.h"

namespace korvex {

namespace {

// Indices of the chart point (X, Y, Z) = frame (x, z, y) in the structure's lattice, when it
// is one of its nodes within a millionth of |a*|.
bool IndicesOf(const TVisStructure& s, double x, double y, double z, int32_t& h, int32_t& k,
               int32_t& l, double& miss) {
  const TVector q{x, z, y};
  const auto index = [&](const TVector& v) {
    return std::round(q.x * v.x + q.y * v.y + q.z * v.z);
  };
  const double fh = index(s.VecA), fk = index(s.VecB), fl = index(s.VecC);
  if (!std::isfinite(fh) || !std::isfinite(fk) || !std::isfinite(fl) || std::fabs(fh) > 1000 ||
      std::fabs(fk) > 1000 || std::fabs(fl) > 1000)
    return false;
  h = static_cast<int32_t>(fh);
  k = static_cast<int32_t>(fk);
  l = static_cast<int32_t>(fl);
  TVector p;
  s.ReciprocalVector(h, k, l, p.x, p.y, p.z);
  miss = std::sqrt(Sqr(p.x - q.x) + Sqr(p.y - q.y) + Sqr(p.z - q.z));
  const double unit = std::sqrt(Sqr(s.RecA.x) + Sqr(s.RecA.y) + Sqr(s.RecA.z));
  return std::isfinite(miss) && miss <= 1e-6 * std::max(unit, 1e-3);
}

QLabel* NewPanel(QWidget& parent, const char* name) {
  auto* panel = new QLabel(&parent);
  panel->setObjectName(QString::fromLatin1(name));
  panel->setTextFormat(Qt::PlainText);
  panel->setAttribute(Qt::WA_TransparentForMouseEvents);
  panel->hide();
  return panel;
}

// The panel's text in a size a class can read, as wide as the text asks but at most the given
// share of the chart, wrapped below that.
void FitPanel(QLabel& panel, const QWidget& view, double share) {
  const int font = std::clamp(view.width() / 34, 11, 22);
  panel.setStyleSheet(QStringLiteral("QLabel { background: rgba(255, 255, 235, 230); color: black;"
                                     " border: 1px solid #808080; padding: 4px; font-size: %1px; }")
                          .arg(font));
  panel.setWordWrap(false);
  const QSize natural = panel.sizeHint();
  const int width = std::min(natural.width(), std::max(80, static_cast<int>(share * view.width())));
  panel.setWordWrap(true);
  const int height = panel.heightForWidth(width);
  panel.resize(width, height > 0 ? height : natural.height());
}

}  // namespace

TNodeReader::TNodeReader(TForm1& form) : QObject(&form), form_(form) {
  TChartView& view = form_.ChartView2();
  panel_ = NewPanel(view, "NodeReadout");
  anglePanel_ = NewPanel(form_.ChartView1(), "LayerAngles");
  view.setMouseTracking(true);
  view.OnClick = [this](QPoint p) { Click(p); };
  view.OnDblClickAt = [this](QPoint p) { DoubleClick(p); };
  view.OnHover = [this](QPoint p) { Hover(p); };
}

TNodeReader::~TNodeReader() = default;

bool TNodeReader::NodeAt(QPoint pos, TVisStructure*& structure, int32_t& h, int32_t& k,
                         int32_t& l) const {
  TChartView& view = form_.ChartView2();
  TChart& chart = form_.Charts().Chart2;
  const TBubble3DSeries& nodes = *form_.Charts().SeriesPointRes;
  const int i = PickBubble(chart, nodes, view.width(), view.height(), pos.x(), pos.y());
  if (i < 0) return false;
  const TChartPoint& p = nodes.Point(i);
  double best = INFINITY;
  structure = nullptr;
  for (TVisStructure* s : {Structure1, Structure2}) {
    int32_t a = 0, b = 0, c = 0;
    double miss = 0;
    if (s == nullptr || !s->InUse || !IndicesOf(*s, p.X, p.Y, p.Z, a, b, c, miss) || miss >= best)
      continue;
    best = miss;
    structure = s;
    h = a;
    k = b;
    l = c;
  }
  return structure != nullptr;
}

QString TNodeReader::ReadoutOf(TVisStructure& s, int32_t h, int32_t k, int32_t l) const {
  std::string text = ReadoutText(ReadNode(s, h, k, l));
  if (Structure1 != nullptr && Structure2 != nullptr && Structure1->InUse && Structure2->InUse) {
    text += '\n';
    text += ComparisonText(*Structure1, *Structure2, h, k, l);
  }
  return QString::fromStdString(text);
}

QString TNodeReader::PanelText() const { return panel_->isVisible() ? panel_->text() : QString(); }

void TNodeReader::Click(QPoint pos) {
  TVisStructure* s = nullptr;
  int32_t h = 0, k = 0, l = 0;
  if (!NodeAt(pos, s, h, k, l)) {
    Deselect();
    return;
  }
  selected_ = s;
  h_ = h;
  k_ = k;
  l_ = l;
  TVector q;
  s->ReciprocalVector(h, k, l, q.x, q.y, q.z);
  x_ = q.x;
  y_ = q.z;
  z_ = q.y;
  TChart& chart = form_.Charts().Chart2;
  if (halo_ == nullptr) {
    halo_ = chart.CreateSeries<TBubble3DSeries>("SeriesSelectedNode");
    halo_->Pointer().Transparency = 55;
    halo_->Pointer().Pen.Visible = false;
  }
  halo_->Clear();
  double radius = 0;
  const TBubble3DSeries& nodes = *form_.Charts().SeriesPointRes;
  const int i = PickBubble(chart, nodes, form_.ChartView2().width(), form_.ChartView2().height(),
                           pos.x(), pos.y());
  if (i >= 0) radius = nodes.RadiusValue(i);
  // At least ten pixels across the node, however small it is drawn.
  const double scale =
      TProjection::ForChart(chart, form_.ChartView2().width(), form_.ChartView2().height()).Scale;
  const double least = scale > 0 && std::isfinite(scale) ? 10 / scale : 0;
  halo_->AddBubble(x_, y_, z_, std::max(1.6 * radius, least), {}, clYellow);

  panel_->setText(ReadoutOf(*s, h, k, l));
  FitPanel(*panel_, form_.ChartView2(), 0.62);
  double px = 0, py = 0, pr = 0;
  ProjectedPoint(chart, *halo_, 0, form_.ChartView2().width(), form_.ChartView2().height(), px, py,
                 pr);
  PlacePanel(QPoint(static_cast<int>(px), static_cast<int>(py)), std::max(4, static_cast<int>(pr)));
  panel_->show();
  panel_->raise();
  DrawNodePlanes(form_.Scene(), *s, h, k, l);
}

void TNodeReader::PlacePanel(QPoint node, int radius) {
  const QWidget& view = form_.ChartView2();
  const int w = panel_->width(), h = panel_->height();
  const int margin = 4;
  const QRect halo(node.x() - radius, node.y() - radius, 2 * radius + 1, 2 * radius + 1);
  // The corners, farthest from the node first; the first that leaves the node free wins.
  const int left = margin, right = std::max(0, view.width() - w - margin);
  const int top = margin, bottom = std::max(0, view.height() - h - margin);
  const bool nodeLeft = node.x() < view.width() / 2, nodeTop = node.y() < view.height() / 2;
  const QPoint corners[4] = {{nodeLeft ? right : left, nodeTop ? bottom : top},
                             {nodeLeft ? right : left, nodeTop ? top : bottom},
                             {nodeLeft ? left : right, nodeTop ? bottom : top},
                             {nodeLeft ? left : right, nodeTop ? top : bottom}};
  for (const QPoint& c : corners) {
    if (!QRect(c, QSize(w, h)).intersects(halo)) {
      panel_->move(c);
      return;
    }
  }
  panel_->move(corners[0]);
}

void TNodeReader::DoubleClick(QPoint pos) {
  TVisStructure* s = nullptr;
  int32_t h = 0, k = 0, l = 0;
  if (!NodeAt(pos, s, h, k, l)) return;
  Ui::TForm1& f = form_.Controls();
  f.EditH->setText(QString::number(h));
  f.EditK->setText(QString::number(k));
  f.EditL->setText(QString::number(l));
  f.ButtonSet->click();
}

void TNodeReader::Hover(QPoint pos) {
  TVisStructure* s = nullptr;
  int32_t h = 0, k = 0, l = 0;
  TChartView& view = form_.ChartView2();
  if (!NodeAt(pos, s, h, k, l)) {
    QToolTip::hideText();
    return;
  }
  QToolTip::showText(view.mapToGlobal(pos + QPoint(16, 16)), ReadoutOf(*s, h, k, l), &view);
}

void TNodeReader::ShowLayerAngles() {
  Ui::TForm1& f = form_.Controls();
  const bool pair =
      Structure1 != nullptr && Structure2 != nullptr && Structure1->InUse && Structure2->InUse;
  const QString text =
      pair ? QString::fromStdString(SolvedComparisonText(*Structure1, *Structure2)) : QString();
  for (QWidget* label : {static_cast<QWidget*>(f.LabelOmega), static_cast<QWidget*>(f.Label2t),
                         static_cast<QWidget*>(f.LabelExit)})
    label->setToolTip(text);
  if (!pair) {
    anglePanel_->hide();
    return;
  }
  anglePanel_->setText(text);
  FitPanel(*anglePanel_, form_.ChartView1(), 0.75);
  const QWidget& view = form_.ChartView1();
  anglePanel_->move(4, std::max(0, view.height() - anglePanel_->height() - 4));
  anglePanel_->show();
  anglePanel_->raise();
}

void TNodeReader::Deselect() {
  selected_ = nullptr;
  if (halo_ != nullptr) halo_->Clear();
  panel_->hide();
}

void TNodeReader::CheckSelection() {
  if (selected_ == nullptr) return;
  const TBubble3DSeries& nodes = *form_.Charts().SeriesPointRes;
  const double tol = 1e-9 * std::max(1.0, std::fabs(x_) + std::fabs(y_) + std::fabs(z_));
  for (const TChartPoint& p : nodes.Points()) {
    if (std::fabs(p.X - x_) <= tol && std::fabs(p.Y - y_) <= tol && std::fabs(p.Z - z_) <= tol)
      return;
  }
  Deselect();
}

}  // namespace korvex
