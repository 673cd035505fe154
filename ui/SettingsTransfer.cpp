#include "ui/SettingsTransfer.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <cmath>

#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/SceneReset.h"
#include "ui/Command.h"
#include "ui/InputLimits.h"
#include "ui/Korvex1.h"
#include "ui/Parsing.h"
#include "ui/TFormParam.h"
#include "ui_TForm1.h"
#include "ui_TFormParam.h"

namespace korvex {

namespace {

// Written-back text shows from its start, also where it is longer than its field.
void Show(QLineEdit* edit, const QString& text) {
  edit->setText(text);
  edit->setCursorPosition(0);
}
double Angle(const QLineEdit* edit) { return ParseNumber(edit->text()) * DegToRad; }
// An angle within the program-wide tolerance of 0 shows as "0", not as rounding noise.
QString Degrees(double radians) {
  const double degrees = radians * RadToDeg;
  return FormatReal(std::fabs(degrees) <= Tolerance ? 0.0 : degrees);
}
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
  Structure1->StructureName = f.EditStr1->text().toStdString();
  Structure2->StructureName = f.EditStr2->text().toStdString();
  Structure1->InUse = f.CheckBoxStr1->isChecked();
  Structure2->InUse = f.CheckBoxStr2->isChecked();

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
  Structure1->Alpha = Angle(p.EditAlf1);
  Structure1->Beta = Angle(p.EditBet1);
  Structure1->Gamma = Angle(p.EditGam1);
  Structure2->Alpha = Angle(p.EditAlf2);
  Structure2->Beta = Angle(p.EditBet2);
  Structure2->Gamma = Angle(p.EditGam2);
  Structure1->ManualA = ParseNumber(p.EditAx1->text());
  Structure1->ManualB = ParseNumber(p.EditBx1->text());
  Structure1->ManualC = ParseNumber(p.EditCx1->text());
  Structure2->ManualA = ParseNumber(p.EditAx2->text());
  Structure2->ManualB = ParseNumber(p.EditBx2->text());
  Structure2->ManualC = ParseNumber(p.EditCx2->text());
}

void WriteSettings() {
  if (Form1 == nullptr) return;
  Ui::TForm1& f = Form1->Controls();
  Show(f.EditOm, Degrees(Settings.OmegaShift));
  Show(f.Edit2t, Degrees(Settings.TwoThetaShift));
  Show(f.EditDeltaOm, Degrees(Settings.OmegaRange));
  // The angles of structure 1's last solution, also when only structure 2 is in use.
  f.LabelOmega->setText(Degrees(Structure1->IncidenceAngle));
  f.Label2t->setText(Degrees(Structure1->ScatteringAngle));
  f.LabelExit->setText(Degrees(Structure1->ExitAngle));
  Show(f.EditFi, Degrees(Settings.Phi));
  Show(f.EditHnorm, QString::number(Settings.Normal[0]));
  Show(f.EditKnorm, QString::number(Settings.Normal[1]));
  Show(f.EditLnorm, QString::number(Settings.Normal[2]));
  f.CheckBoxOm->setChecked(Settings.OmegaScan);
  f.CheckBox2t->setChecked(Settings.TwoThetaScan);
  f.CheckBoxFast->setChecked(Settings.FastMove);
  Form1->Timer1().stop();
  Show(f.EditRelaxation, QString::fromStdString(Settings.RelaxationText));
  if (FormParam != nullptr) WriteParameters();
}

void WriteParameters() {
  if (FormParam == nullptr) return;
  Ui::TFormParam& p = FormParam->Controls();
  Show(p.EditNReal, QString::number(Settings.NReal));
  Show(p.EditNRecMax, QString::number(Settings.NRecMax));
  Show(p.EditMaxTime, QString::number(Settings.AnimSteps));
  if (Form1 != nullptr) Show(p.EditStepTime, QString::number(Form1->Timer1().interval()));
  Show(p.EditMaxPoints, QString::number(Settings.MaxPoints));
  p.CheckBoxSquare->setChecked(Settings.SquareXY);
  Show(p.EditAlf1, Degrees(Structure1->Alpha));
  Show(p.EditBet1, Degrees(Structure1->Beta));
  Show(p.EditGam1, Degrees(Structure1->Gamma));
  Show(p.EditAlf2, Degrees(Structure2->Alpha));
  Show(p.EditBet2, Degrees(Structure2->Beta));
  Show(p.EditGam2, Degrees(Structure2->Gamma));
  Show(p.EditAx1, FormatReal(Structure1->ManualA));
  Show(p.EditBx1, FormatReal(Structure1->ManualB));
  Show(p.EditCx1, FormatReal(Structure1->ManualC));
  Show(p.EditAx2, FormatReal(Structure2->ManualA));
  Show(p.EditBx2, FormatReal(Structure2->ManualB));
  Show(p.EditCx2, FormatReal(Structure2->ManualC));
}

void Recompute() {
  if (Form1 == nullptr || Structure1 == nullptr || Structure2 == nullptr) return;
  TVisStructure& s1 = *Structure1;
  TVisStructure& s2 = *Structure2;
  Settings.Phi = 0;
  ReadSettings();
  Settings.RecomputeDone = true;
  Settings.TimerTicks = 0;
  // A wavelength that is not positive would fill the scenes with infinities.
  if (!WavelengthValid(Settings.Lambda))
    throw CommandError(QString::fromStdString(WavelengthMessage(Settings.Lambda)));
  // A structure name without a structure file, or one that breaks the name syntax, still
  // gives a usable default; the status bar says which name or file failed. Each structure's
  // message collects what went wrong since its Setup.
  ComputeStructures(s1, s2, Settings);
  QStringList problems;
  for (const TVisStructure* s : {&s1, &s2}) {
    const QString text = QString::fromStdString(s->Message);
    if (!text.isEmpty() && !problems.contains(text)) problems.append(text);
  }
  WriteSettings();
  Form1->ReportProblems(problems);
}

void ClearScenes() {
  if (Form1 != nullptr) korvex::ClearScenes(Form1->Scene());
}

void ShowUnitCell() {
  if (Form1 != nullptr && Structure1 != nullptr) korvex::ShowUnitCell(Form1->Scene(), Structure1->StructureName);
}

}  // namespace korvex
