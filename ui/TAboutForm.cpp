#include "ui/TAboutForm.h"

#include <QEvent>

#include "ui/Command.h"
#include "ui/FormScale.h"
#include "ui/Pictures.h"
#include "ui_TAboutForm.h"

namespace korvex {

TAboutForm* AboutForm = nullptr;

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TAboutForm>()) {
  ui_->setupUi(this);
  FitForm(*this);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  ui_->ProgramIcon->setPixmap(LatticePicture(92, 123));
  ui_->ProgramIcon2->setPixmap(EwaldPicture(92, 123));
  ui_->Image1->setPixmap(MapPicture(92, 92));
  ui_->ProgramIcon->installEventFilter(this);
  ui_->ProgramIcon2->installEventFilter(this);
  connect(ui_->OK, &QPushButton::clicked, this, &QDialog::accept);
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::ProgramIconClick() {
  ui_->ProgramIcon->setHidden(!ui_->ProgramIcon->isHidden());
  ui_->ProgramIcon2->setHidden(!ui_->ProgramIcon2->isHidden());
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      (watched == ui_->ProgramIcon || watched == ui_->ProgramIcon2)) {
    ProgramIconClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace korvex
