// The main window: two square 3-D charts side by side (real space left, reciprocal space
// right), the toolbar strip above them, the control strip and the lecture strip below.
#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>

#include "chart/Catalogue.h"
#include "geometry/VisStructure.h"
#include "scenes/Animations.h"
#include "scenes/SceneContext.h"
#include "scenes/SeriesPool.h"

namespace Ui {
class TForm1;
}

namespace korvex {

class TChartView;
class TTeeCommander;
class TChartEditor;
class TNodeReader;

class TForm1 : public QWidget, public ISceneHost, public IAnimationHost, public TGeometryHost {
  Q_OBJECT

 public:
  // Creation (FormCreate): reads the lecture file and the figure list of the current
  // directory, empties the series pool and sets the start values of the settings record.
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  Ui::TForm1& Controls() { return *ui_; }
  QTimer& Timer1() { return timer1_; }
  TChartCatalogue& Charts() { return *charts_; }
  TSeriesPool& Pool() { return pool_; }
  TSceneContext& Scene() { return scene_; }
  TAnimationContext& Animation() { return anim_; }
  // The chart the toolbar and the chart editor act on ("Ch1" or "Ch2").
  TChart& ToolbarChart() { return *toolbarChart_; }
  TChartView& ChartView1() { return *view1_; }
  TChartView& ChartView2() { return *view2_; }
  TTeeCommander& Commander() { return *commander_; }
  // Clicks, hovering and double clicks on the nodes of the reciprocal chart.
  TNodeReader& NodeReader() { return *nodeReader_; }

  // Keeps both charts square (half the window's width) and the window height matched to its
  // width: the chart area is half as high as wide, plus at most one pixel.
  void FormResize();

  // Drawing commands.
  void ButtonClearClick();
  void ButtonGaAsClick();
  void ButtonSetClick();       // "Set hkl"
  void ButtonRealClick();      // "Real"
  void ButtonReciprClick();    // "Recipr"
  void ButtonRec2DClick();     // "Rec.2D"
  void ButtonKhSphereClick();  // "KhSph"
  void ButtonMoveClick();      // "Move"
  void ButtonRotKClick();      // "Rot.K"
  void ButtonRotRecClick();    // "Rot.R"
  void ButtonK0KhTorClick();   // "Boublik"
  void ButtonPSDClick();       // "PSD"
  void ButtonAzConeClick();    // "C"
  // Ends the running animation (Timer1 off); the lecture keys use it.
  void StopAnimation();
  // The crystal turned about its normal by the track bar's angle: EditFi shows it in degrees,
  // the reflection setting is drawn again and the charts repaint while the thumb is dragged.
  void TrackBarFiChange();

  // View switches.
  void CheckBoxGLClick();
  void CheckBoxBindClick();
  void CheckBoxCrystClick();
  void CheckBoxIncSurfClick();
  void RegionRule();  // "Bragg", "Laue" and "Full"
  void CheckBoxTorClick();
  void CheckBoxSpheresClick();
  void CheckBoxPlanesClick();
  void CheckBoxPointsClick();
  void CheckBoxMarksClick();  // also run by "B/W"
  void RadioCh1Click();
  void RadioCh2Click();
  void ButtonAboutClick();
  void ButtonParamClick();
  void Timer1Timer();
  // The wheel zooms the chart under the cursor (pos in screen coordinates, delta a multiple
  // of 120): 1 % of the bottom axis's range a notch on each side of all three axes, the depth
  // axis 1.255 times less; a forward turn widens the ranges.
  void FormMouseWheel(QPoint pos, int delta);

  // Guard of the normal: EditLnorm never holds a zero. Any text that reads as zero ("0", "00",
  // "-0", " 0"), typed, set by a slide or written back, becomes "1" at once.
  void EditLnormChange();

  // One line of the status bar.
  void ShowStatus(const QString& text);
  QString StatusText() const;
  // Problems of the last recompute that did not stop it (a structure name without a structure
  // file, a strain that gives no lattice); an empty list clears an earlier report.
  void ReportProblems(const QStringList& problems);
  // After a command that solved the current reflection: says in the status bar why it cannot
  // be reached for each structure in use; a reachable one clears an earlier such report.
  void ReportReach();

  // ISceneHost and IAnimationHost
  void StopTimer() override;
  void RunRecompute() override;
  void RunWriteSettings() override;
  void StartTimer() override;
  bool TimerEnabled() const override;
  void PumpOnce() override;
  void ResetPhiTrackBar() override;
  int32_t MainWindowWidth() const override;
  bool PlanesShown() const override;
  // TGeometryHost
  void ShowAngles(const TVisStructure& solved) override;
  void StyleBlackWhite(bool blackWhite) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void ConnectHandlers();

  // The first structure in use (structure 1 before structure 2), nullptr when none is.
  TVisStructure* FirstInUse() const;
  void ChartBeforeDraw();
  // Widens the controls whose later texts are longer than their start texts.
  void WidenForWrittenTexts();
  void CreateChartViews();
  void Commander3DClick(TTeeCommander& commander);

  std::unique_ptr<Ui::TForm1> ui_;
  QTimer timer1_;
  std::unique_ptr<TChartCatalogue> charts_;
  TSeriesPool pool_;
  TSceneContext scene_;
  TAnimationContext anim_;
  std::unique_ptr<TVisStructure> structure1_;
  std::unique_ptr<TVisStructure> structure2_;
  TChart* toolbarChart_ = nullptr;
  TChartView* view1_ = nullptr;
  TChartView* view2_ = nullptr;
  TTeeCommander* commander_ = nullptr;
  TChartEditor* chartEditor_ = nullptr;
  TNodeReader* nodeReader_ = nullptr;
  QString reportedProblem_;
  QString reportedReach_;
};

// The main window; set while it exists.
extern TForm1* Form1;
// The substrate (blue) and the layer (green), built for "Si" with the main window.
extern TVisStructure* Structure1;
extern TVisStructure* Structure2;

// The two lines drawn at the foot of both charts.
inline constexpr const char* CreditLine1 = "Korvex: real and reciprocal space";
inline constexpr const char* CreditLine2 = "v.1.11";

}  // namespace korvex
