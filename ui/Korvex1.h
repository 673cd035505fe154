// The main window: two square 3-D charts side by side (real space left, reciprocal space
// right), the toolbar strip above them, the control strip and the lecture strip below.
#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>

namespace Ui {
class TForm1;
}

namespace korvex {

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  // Creation (FormCreate): reads the lecture file and the figure list of the current
  // directory, empties the series pool and sets the start values of the settings record.
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  Ui::TForm1& Controls() { return *ui_; }
  QTimer& Timer1() { return timer1_; }

  // Keeps both charts square and the window height matched to its width.
  void FormResize();

  // Drawing commands.
  void ButtonClearClick();
  void ButtonGaAsClick();

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

  // Guards of the normal: "0" typed into EditLnorm becomes "1" at once.
  void EditLnormChange();

  // One line of the status bar.
  void ShowStatus(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void ConnectHandlers();

  std::unique_ptr<Ui::TForm1> ui_;
  QTimer timer1_;
};

// The main window; set while it exists.
extern TForm1* Form1;

}  // namespace korvex
