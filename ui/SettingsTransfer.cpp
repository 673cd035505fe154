#include "ui/SettingsTransfer.h"

#include <QCheckBox>
#include <QLineEdit>

#include "geometry/Settings.h"
#include "ui/Command.h"
#include "ui/InputLimits.h"
#include "ui/Korvex1.h"
#include "ui/Parsing.h"
#include "ui/TFormParam.h"
#include "ui_TForm1.h"
#include "ui_TFormParam.h"

namespace korvex {

namespace {

double Angle(const QLineEdit* edit) { return ParseNumber(edit->text()) * DegToRad; }
QString Degrees(double radians) { return FormatReal(radians * RadToDeg); }
int32_t Int(const QLineEdit* edit) { return StrToInt(edit->text()); }
int32_t BoundedInt(const QLineEdit* edit, const TIntRange& range) {
  const int32_t value = StrToInt(edit->text());
  CheckRange(range, value);
  return value;
}

}  // namespace

void ReadSettings() {
  if (Form1 == nullptr) return;
  const Ui::TForm1& f = Form1->Controls();
  Settings.Lambda = ParseNumber(f.EditLambda->text());
  Settings.RelaxationText = f.EditRelaxation->text().toStdString();

  Settings.Hkl[0] = Int(f.EditH);
  Settings.Hkl[1] = Int(f.EditK);
  Settings.Hkl[2] = Int(f.EditL);
  Settings.Normal[0] = Int(f.EditHnorm);
  Settings.Normal[1] = Int(f.EditKnorm);
  Settings.Normal[2] = Int(f.EditLnorm);
  Settings.IncPlanePoint[0] = Int(f.EditHpl);
  Settings.IncPlanePoint[1] = Int(f.EditKpl);
  Settings.IncPlanePoint[2] = Int(f.EditLpl);

  Settings.OmegaShift = Angle(f.EditOm);
  Settings.TwoThetaShift = Angle(f.Edit2t);
  Settings.OmegaRange = Angle(f.EditDeltaOm);
  Settings.Phi = Angle(f.EditFi);
  Settings.ScanN = ParseNumber(f.EditOffset->text());

  Settings.OmegaScan = f.CheckBoxOm->isChecked();
  Settings.TwoThetaScan = f.CheckBox2t->isChecked();
  Settings.OnlyBragg = f.CheckBoxAble->isChecked();
  Settings.OnlyLaue = f.CheckBoxAbleL->isChecked();
  Settings.UseHi = f.CheckBoxHi->isChecked();
  Settings.BothBeams = f.CheckBoxBeam2->isChecked();
  Settings.BraggCircle = f.CheckBoxCirkle->isChecked();
  Settings.Tilt = f.CheckBoxTilt->isChecked();
  Settings.DetectorView = f.CheckBoxDet->isChecked();
  Settings.BindCharts = f.CheckBoxBind->isChecked();
  Settings.Octant = f.CheckBoxQuarter->isChecked();
  Settings.MultiBeam = f.CheckBoxNBeam->isChecked();
  Settings.BraggLaw = f.CheckBoxVolfBregg->isChecked();
  Settings.PlaneDivisor = f.CheckBoxDivisible->isChecked() ? 2 : 1;
  Settings.BlackWhite = f.CheckBoxBW->isChecked();
  Settings.FastMove = f.CheckBoxFast->isChecked();

  Settings.DetectorDistance = ParseNumber(f.EditDistPSD->text());
  Settings.DetectorSize = ParseNumber(f.EditSizePSD->text());

  if (FormParam != nullptr) ReadParameters();
}

void ReadParameters() {
  if (FormParam == nullptr) return;
  const Ui::TFormParam& p = FormParam->Controls();
  Settings.NReal = BoundedInt(p.EditNReal, NRealRange);
  int32_t limits[3] = {0, 0, 0};
  const int32_t count = ParseNRecMax(p.EditNRecMax->text(), limits[0], limits[1], limits[2]);
  CheckRange(NRecMaxRange, count);
  for (const int32_t limit : limits) CheckRange(NRecLimitRange, limit);
  Settings.NRecMax = count;
  Settings.NRecLimit = {limits[0], limits[1], limits[2]};
  Settings.AnimSteps = BoundedInt(p.EditMaxTime, AnimStepsRange);
  const int32_t stepTime = BoundedInt(p.EditStepTime, StepTimeRange);
  if (Form1 != nullptr) Form1->Timer1().setInterval(stepTime);
  Settings.MaxPoints = BoundedInt(p.EditMaxPoints, MaxPointsRange);
  Settings.SquareXY = p.CheckBoxSquare->isChecked();
  Settings.UseRefraction = p.CheckBoxUseN->isChecked();
}

void WriteSettings() {
  if (Form1 == nullptr) return;
  Ui::TForm1& f = Form1->Controls();
  f.EditOm->setText(Degrees(Settings.OmegaShift));
  f.Edit2t->setText(Degrees(Settings.TwoThetaShift));
  f.EditDeltaOm->setText(Degrees(Settings.OmegaRange));
  f.EditFi->setText(Degrees(Settings.Phi));
  f.EditHnorm->setText(QString::number(Settings.Normal[0]));
  f.EditKnorm->setText(QString::number(Settings.Normal[1]));
  f.EditLnorm->setText(QString::number(Settings.Normal[2]));
  f.CheckBoxOm->setChecked(Settings.OmegaScan);
  f.CheckBox2t->setChecked(Settings.TwoThetaScan);
  f.CheckBoxFast->setChecked(Settings.FastMove);
  Form1->Timer1().stop();
  f.EditRelaxation->setText(QString::fromStdString(Settings.RelaxationText));
  if (FormParam != nullptr) WriteParameters();
}

void WriteParameters() {
  if (FormParam == nullptr) return;
  Ui::TFormParam& p = FormParam->Controls();
  p.EditNReal->setText(QString::number(Settings.NReal));
  p.EditNRecMax->setText(QString::number(Settings.NRecMax));
  p.EditMaxTime->setText(QString::number(Settings.AnimSteps));
  if (Form1 != nullptr) p.EditStepTime->setText(QString::number(Form1->Timer1().interval()));
  p.EditMaxPoints->setText(QString::number(Settings.MaxPoints));
  p.CheckBoxSquare->setChecked(Settings.SquareXY);
}

void Recompute() {
  Settings.Phi = 0;
  ReadSettings();
  Settings.RecomputeDone = true;
  Settings.TimerTicks = 0;
  if (!WavelengthValid(Settings.Lambda)) throw CommandError(QString::fromStdString(WavelengthMessage(Settings.Lambda)));
  const TSlotCodes codes = ClassifySlots(true, false);
  if (codes.Pair != 0) Settings.Normal = {0, 0, 1};
  SetDerivedValues(Settings, 5.4309, codes.Pair);
  WriteSettings();
}

void ClearScenes() {}
void ShowUnitCell() {}

}  // namespace korvex
