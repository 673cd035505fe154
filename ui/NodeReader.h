// Reading the reciprocal-space chart with the mouse: a click on a node selects it (a yellow
// halo, a readout panel in the corner of the chart away from the node, and its plane family in
// the real-space chart), hovering shows the same readout as a tooltip, and a double click makes
// the node the current reflection ("Set hkl").
#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <cstdint>

class QLabel;

namespace korvex {

class TForm1;
class TVisStructure;
class TBubble3DSeries;

class TNodeReader : public QObject {
 public:
  explicit TNodeReader(TForm1& form);
  ~TNodeReader() override;

  // The node of SeriesPointRes under pos (pixels of the reciprocal chart's view): the
  // structure in use whose lattice holds it and its indices. False for none.
  bool NodeAt(QPoint pos, TVisStructure*& structure, int32_t& h, int32_t& k, int32_t& l) const;
  // The readout of a node, with both structures' angles and their differences when both are
  // in use.
  QString ReadoutOf(TVisStructure& structure, int32_t h, int32_t k, int32_t l) const;

  void Click(QPoint pos);
  void DoubleClick(QPoint pos);
  void Hover(QPoint pos);
  // Drops the selection: halo, panel and nothing more.
  void Deselect();
  // Before each drawing of the reciprocal chart: a selected node that is no longer drawn
  // (the scene was cleared or redrawn without it) loses its selection.
  void CheckSelection();

  // After a command that solved the current reflection: with a layer on a substrate, both
  // structures' angles and their differences in a panel of the real-space chart (and as the
  // hint of the angle labels); hidden otherwise.
  void ShowLayerAngles();
  QLabel& AnglePanel() { return *anglePanel_; }

  bool HasSelection() const { return selected_ != nullptr; }
  QString PanelText() const;
  QLabel& Panel() { return *panel_; }
  TBubble3DSeries* Halo() const { return halo_; }

 private:
  void PlacePanel(QPoint node, int radius);

  TForm1& form_;
  QLabel* panel_ = nullptr;
  QLabel* anglePanel_ = nullptr;
  TBubble3DSeries* halo_ = nullptr;
  TVisStructure* selected_ = nullptr;
  int32_t h_ = 0, k_ = 0, l_ = 0;
  double x_ = 0, y_ = 0, z_ = 0;  // chart position of the selected node
};

}  // namespace korvex
