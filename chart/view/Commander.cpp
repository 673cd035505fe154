#include "chart/view/Commander.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "chart/view/CanvasRenderer.h"
#include "chart/view/ChartView.h"

namespace korvex {

namespace {

QToolButton* MakeButton(QWidget* parent, QLayout* layout, const QString& text, const QString& tip) {
  auto* b = new QToolButton(parent);
  b->setText(text);
  b->setToolTip(tip);
  b->setAutoRaise(true);
  layout->addWidget(b);
  return b;
}

const char* KindName(TSeriesKind k) {
  switch (k) {
    case TSeriesKind::Point3D: return "Point 3D";
    case TSeriesKind::Bubble3D: return "Bubble 3D";
    case TSeriesKind::Vector3D: return "Vector 3D";
    case TSeriesKind::Surface: return "Surface";
    case TSeriesKind::TriSurface: return "Triangle surface";
  }
  return "";
}

}  // namespace

TTeeCommander::TTeeCommander(QWidget* parent) : QWidget(parent) {
  auto* l = new QHBoxLayout(this);
  l->setContentsMargins(1, 1, 1, 1);
  l->setSpacing(1);
  ButtonRotate = MakeButton(this, l, "Rotate", "Rotate the chart with the mouse");
  ButtonMove = MakeButton(this, l, "Move", "Move the chart with the mouse");
  ButtonDepth = MakeButton(this, l, "Depth", "Change the 3-D depth");
  Button3D = MakeButton(this, l, "3D", "Switch 3-D view on or off");
  Button3D->setCheckable(true);
  Button3D->setChecked(true);
  ButtonNormal = MakeButton(this, l, "Normal", "Reset the view");
  ButtonZoomIn = MakeButton(this, l, "+", "Zoom in");
  ButtonZoomOut = MakeButton(this, l, "-", "Zoom out");
  ButtonSave = MakeButton(this, l, "Save", "Save the picture as PNG or SVG");
  ButtonCopy = MakeButton(this, l, "Copy", "Copy the picture to the clipboard");
  ButtonEdit = MakeButton(this, l, "Edit", "Edit the chart's series");
  l->addStretch(1);

  connect(Button3D, &QToolButton::clicked, this, [this] {
    if (OnCommander3DClick) {
      OnCommander3DClick(*this);
    } else if (View_ && View_->Chart()) {
      View_->Chart()->SetView3D(Button3D->isChecked());
    }
  });
  for (auto [button, mode] : {std::pair{ButtonRotate, TDragMode::Rotate}, {ButtonMove, TDragMode::Move},
                               {ButtonDepth, TDragMode::Depth}}) {
    button->setCheckable(true);
    button->setAutoExclusive(true);
    connect(button, &QToolButton::clicked, this, [this, m = mode] {
      if (View_) View_->DragMode = m;
    });
  }
  ButtonRotate->setChecked(true);
  connect(ButtonNormal, &QToolButton::clicked, this, [this] { ResetView(); });
  connect(ButtonZoomIn, &QToolButton::clicked, this, [this] { Zoom(1.1); });
  connect(ButtonZoomOut, &QToolButton::clicked, this, [this] { Zoom(1 / 1.1); });
  connect(ButtonSave, &QToolButton::clicked, this, [this] { Save(); });
  connect(ButtonCopy, &QToolButton::clicked, this, [this] {
    if (View_) View_->CopyToClipboard();
  });
  connect(ButtonEdit, &QToolButton::clicked, this, [this] { Edit(); });
}

void TTeeCommander::SetPanel(TChartView* view) {
  View_ = view;
  if (View_ && View_->Chart()) Button3D->setChecked(View_->Chart()->View3D());
}

bool TTeeCommander::Button3DDown() const { return Button3D->isChecked(); }

int TTeeCommander::RepositionControls() {
  adjustSize();
  return sizeHint().width();
}

void TTeeCommander::ResetView() {
  if (!View_ || !View_->Chart()) return;
  TView3DOptions& o = View_->Chart()->View3DOptions();
  o.SetZoom(100);
  o.SetTilt(0);
  o.SetElevation(345);
  o.SetRotation(345);
  o.SetHorizOffset(0);
  o.SetVertOffset(0);
  View_->Chart()->SetChart3DPercent(100);
}

void TTeeCommander::Zoom(double factor) {
  if (!View_ || !View_->Chart()) return;
  TView3DOptions& o = View_->Chart()->View3DOptions();
  o.SetZoom(std::max(1, static_cast<int>(std::lround(o.Zoom() * factor))));
}

void TTeeCommander::Save() {
  if (!View_) return;
  const QString name = QFileDialog::getSaveFileName(this, "Save picture", "chart.png",
                                                    "PNG picture (*.png);;SVG picture (*.svg)");
  if (!name.isEmpty()) SaveAs(name);
}

bool TTeeCommander::SaveAs(const QString& fileName) {
  if (!View_) return false;
  QString why;
  if (View_->SavePicture(fileName, &why)) return true;
  if (OnSaveFailed)
    OnSaveFailed(why);
  else
    QMessageBox::warning(this, QStringLiteral("Save picture"), why);
  return false;
}

void TTeeCommander::Edit() {
  if (!Editor_) {
    Editor_ = new TChartEditor(window());
  }
  if (View_ && !Editor_->Chart()) Editor_->SetChart(View_->Chart());
  Editor_->Execute();
}

// --- editor -----------------------------------------------------------------------------

TChartEditor::TChartEditor(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Chart editor");
  auto* l = new QVBoxLayout(this);
  Table_ = new QTableWidget(0, 3, this);
  Table_->setHorizontalHeaderLabels({"Series", "Kind", "Colour"});
  Table_->horizontalHeader()->setStretchLastSection(true);
  Table_->verticalHeader()->hide();
  l->addWidget(Table_);
  auto* close = new QPushButton("Close", this);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  l->addWidget(close, 0, Qt::AlignRight);
  resize(420, 480);
  connect(Table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (Filling_ || !Chart_ || item->column() != 0) return;
    const int row = item->row();
    if (row < Chart_->SeriesCount()) Chart_->Series()[static_cast<size_t>(row)]->SetActive(item->checkState() == Qt::Checked);
  });
  connect(Table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
    if (!Chart_ || column != 2 || row >= Chart_->SeriesCount()) return;
    TChartSeries* s = Chart_->Series()[static_cast<size_t>(row)];
    const QColor c = QColorDialog::getColor(ToQColor(s->SeriesColor()), this, "Series colour");
    if (!c.isValid()) return;
    s->SetSeriesColor(RGBColor(c.red(), c.green(), c.blue()));
    Refill();
  });
}

void TChartEditor::SetChart(TChart* chart) {
  Chart_ = chart;
  Refill();
}

void TChartEditor::Refill() {
  Filling_ = true;
  Table_->setRowCount(Chart_ ? Chart_->SeriesCount() : 0);
  if (Chart_) {
    for (int i = 0; i < Chart_->SeriesCount(); ++i) {
      const TChartSeries* s = Chart_->Series()[static_cast<size_t>(i)];
      auto* name = new QTableWidgetItem(QString::fromStdString(s->Name().empty() ? "(unnamed)" : s->Name()));
      name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
      name->setCheckState(s->Active() ? Qt::Checked : Qt::Unchecked);
      Table_->setItem(i, 0, name);
      auto* kind = new QTableWidgetItem(KindName(s->Kind()));
      kind->setFlags(Qt::ItemIsEnabled);
      Table_->setItem(i, 1, kind);
      auto* colour = new QTableWidgetItem(QString::asprintf("0x%06X", s->SeriesColor() & 0xFFFFFFu));
      colour->setFlags(Qt::ItemIsEnabled);
      colour->setBackground(ToQColor(s->SeriesColor()));
      colour->setForeground(qGray(ToQColor(s->SeriesColor()).rgb()) < 128 ? Qt::white : Qt::black);
      colour->setToolTip("Double-click to change the colour");
      Table_->setItem(i, 2, colour);
    }
  }
  Table_->resizeColumnsToContents();
  Filling_ = false;
}

void TChartEditor::Execute() {
  Refill();
  show();
  raise();
  activateWindow();
}

}  // namespace korvex
