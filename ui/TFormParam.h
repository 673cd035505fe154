// The parameters dialog: the settings that are changed rarely (manual lattices of both
// structures, the sizes of the drawings, the animation timing, two options).
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TFormParam;
}

namespace korvex {

class TFormParam : public QDialog {
  Q_OBJECT

 public:
  // Creation runs the program's first recompute and the scene reset (the global reference
  // FormParam is set first, so the cycle reads this dialog too).
  explicit TFormParam(QWidget* parent = nullptr);
  ~TFormParam() override;

  Ui::TFormParam& Controls() { return *ui_; }

  void OKBtnClick();
  // Shared change handler of EditNReal and EditNRecMax: any text in NReal that reads as zero
  // ("0", "00", "-0", " 0") becomes "2" at once, so a zero read by one command is never
  // written back and silently replaced before the next.
  void EditNRealChange();

 protected:
  // Activation: the fields show the current settings.
  void showEvent(QShowEvent* event) override;

 private:
  std::unique_ptr<Ui::TFormParam> ui_;
};

// Null until the dialog is created at start-up; the settings transfer reads it while it exists.
extern TFormParam* FormParam;

}  // namespace korvex
