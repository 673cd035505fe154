#pragma once
// The chart toolbar: acts on the chart view it is attached to (3-D switch, view reset,
// zoom, saving and copying the picture, the chart editor), and the chart editor
// dialog listing a chart's series with their visibility and colour.
#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "chart/Chart.h"

class QToolButton;
class QTableWidget;

namespace korvex {

class TChartView;
class TChartEditor;

class TTeeCommander : public QWidget {
  Q_OBJECT
 public:
  explicit TTeeCommander(QWidget* parent = nullptr);

  // The view the toolbar acts on ("panel").
  void SetPanel(TChartView* view);
  TChartView* Panel() const { return View_; }
  void SetEditor(TChartEditor* editor) { Editor_ = editor; }

  // Replaces the default action of the 3-D button (which sets the chart's View3D).
  std::function<void(TTeeCommander&)> OnCommander3DClick;
  bool Button3DDown() const;

  QToolButton* ButtonRotate;
  QToolButton* ButtonMove;
  QToolButton* ButtonDepth;
  QToolButton* Button3D;
  QToolButton* ButtonNormal;
  QToolButton* ButtonZoomIn;
  QToolButton* ButtonZoomOut;
  QToolButton* ButtonSave;
  QToolButton* ButtonCopy;
  QToolButton* ButtonEdit;

  // Packs the visible buttons after some were hidden; returns the new width.
  int RepositionControls();

  // The actions, also reachable without clicking.
  void ResetView();
  void Zoom(double factor);
  void Save();
  // Saves the attached view's picture to fileName; a failure is reported through
  // OnSaveFailed (by default a message box) with its reason. Returns whether it was saved.
  bool SaveAs(const QString& fileName);
  void Edit();

  std::function<void(const QString&)> OnSaveFailed;

 private:
  QPointer<TChartView> View_;
  QPointer<TChartEditor> Editor_;
};

class TChartEditor : public QDialog {
  Q_OBJECT
 public:
  explicit TChartEditor(QWidget* parent = nullptr);
  void SetChart(TChart* chart);
  TChart* Chart() const { return Chart_; }
  // Fills the list from the chart and shows the dialog.
  void Execute();
  void Refill();
  QTableWidget* Table() const { return Table_; }

 private:
  TChart* Chart_ = nullptr;
  QTableWidget* Table_;
  bool Filling_ = false;
};

}  // namespace korvex
