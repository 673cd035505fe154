// The about box: what the program is, two swappable pictures and the project's page.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TAboutForm;
}

namespace korvex {

class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutForm(QWidget* parent = nullptr);
  ~TAboutForm() override;

  Ui::TAboutForm& Controls() { return *ui_; }

  // A click on either picture swaps which of the two is shown.
  void ProgramIconClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unique_ptr<Ui::TAboutForm> ui_;
};

// Created hidden at start-up after the main window.
extern TAboutForm* AboutForm;

}  // namespace korvex
