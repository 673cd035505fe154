#include "ui/TFormParam.h"

#include "ui/Command.h"
#include "ui/FormScale.h"
#include "ui/Parsing.h"
#include "ui/SettingsTransfer.h"
#include "ui_TFormParam.h"

namespace korvex {

TFormParam* FormParam = nullptr;

TFormParam::TFormParam(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TFormParam>()) {
  ui_->setupUi(this);
  FitForm(*this);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  connect(ui_->OKBtn, &QPushButton::clicked, this, [this] { RunCommand([this] { OKBtnClick(); }); });
  connect(ui_->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(ui_->EditNReal, &QLineEdit::textChanged, this, [this] { EditNRealChange(); });
  connect(ui_->EditNRecMax, &QLineEdit::textChanged, this, [this] { EditNRealChange(); });
  FormParam = this;
  RunCommand([] {
    Recompute();
    ClearScenes();
  });
}

TFormParam::~TFormParam() {
  if (FormParam == this) FormParam = nullptr;
}

void TFormParam::OKBtnClick() {
  // On an error the dialog stays open, so the field can be corrected.
  ReadParameters();
  accept();
}

void TFormParam::EditNRealChange() {
  if (ReadsAsZero(ui_->EditNReal->text())) ui_->EditNReal->setText(QStringLiteral("2"));
}

void TFormParam::showEvent(QShowEvent* event) {
  WriteParameters();
  QDialog::showEvent(event);
}

}  // namespace korvex
