#include "ui/Korvex1.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QListView>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QWheelEvent>

#include "chart/view/ChartView.h"
#include "chart/view/Commander.h"
#include "geometry/Settings.h"
#include "scenes/DetectorViews.h"
#include "scenes/HklSetting.h"
#include "scenes/RealSpace.h"
#include "scenes/ReciprocalLattice.h"
#include "ui/Command.h"
#include "ui/FormScale.h"
#include "ui/Lecture.h"
#include "ui/LecturePlayer.h"
#include "ui/Parsing.h"
#include "ui/Pictures.h"
#include "ui/SettingsTransfer.h"
#include "ui/TAboutForm.h"
#include "ui/TFormParam.h"
#include "ui_TForm1.h"

namespace korvex {

TForm1* Form1 = nullptr;
TVisStructure* Structure1 = nullptr;
TVisStructure* Structure2 = nullptr;

TForm1::TForm1(QWidget* parent)
    : QWidget(parent),
      ui_(std::make_unique<Ui::TForm1>()),
      charts_(std::make_unique<TChartCatalogue>()),
      scene_{*charts_, pool_, *this},
      anim_{scene_, *this} {
  ui_->setupUi(this);
  FitForm(*this);
  WidenForWrittenTexts();
  CreateChartViews();
  Form1 = this;
  move(344, 138);
  setWindowIcon(ProgramIcon());
  ui_->ButtonAbout->setIcon(AboutGlyph());
  ui_->ButtonAbout->setIconSize(QSize(18, 18));
  ui_->ComboBoxFig->view()->setMinimumWidth(200);
  ui_->ComboBoxSteps->view()->setMinimumWidth(500);
  ui_->StatusBar->showMessage(QStringLiteral(" Press PgDwn and PgUp to navigate through lecture"));
  timer1_.setInterval(100);
  ui_->Chart1->installEventFilter(this);
  ui_->Chart2->installEventFilter(this);
  FormCreate();
  ConnectHandlers();
  InstallLecturePlayer(*this);
}

TForm1::~TForm1() {
  if (Form1 == this) Form1 = nullptr;
  if (Structure1 == structure1_.get()) Structure1 = nullptr;
  if (Structure2 == structure2_.get()) Structure2 = nullptr;
  // The pool's series belong to the charts, which destroy them.
  pool_.Reset();
}

void TForm1::WidenForWrittenTexts() {
  // Angles and the strain are written back with 15 significant digits, far longer than the
  // start texts the form is fitted to; a typed wavelength has up to five decimals.
  const QStringList numbers{FormatReal(-179.999999999999), FormatReal(-0.0999999999999999)};
  for (QWidget* w : std::initializer_list<QWidget*>{ui_->LabelOmega, ui_->Label2t, ui_->LabelExit,
                                                    ui_->EditRelaxation})
    WidenToFit(*w, numbers);
  WidenToFit(*ui_->EditLambda, {QStringLiteral("0.70932"), QStringLiteral("1.54056")});
}

void TForm1::FormCreate() {
  // Lecture slides: titles into ComboBoxSteps, action strings into the hidden ComboBoxActs.
  // From the current directory, else the copy that ships beside the program's data.
  const QString lectureFile = LocateShipped(QStringLiteral("lecture.txt"));
  LoadLecture(ParseLecture(ReadLectureLines(lectureFile)));
  if (lectureFile.isEmpty())
    ShowStatus(QStringLiteral(" No lecture: lecture.txt is neither in the current folder nor beside the program"));

  // The real-space and reciprocal-space charts, and the two structures built for "Si".
  toolbarChart_ = &charts_->Chart2;
  charts_->Chart1.OnBeforeDrawChart = [this](TChart&) { ChartBeforeDraw(); };
  structure1_ = std::make_unique<TVisStructure>();
  structure2_ = std::make_unique<TVisStructure>();
  structure1_->SetHost(this);
  structure2_->SetHost(this);
  Structure1 = structure1_.get();
  Structure2 = structure2_.get();

  pool_.Reset();
  Settings.NReal = 2;
  Settings.NRecMax = 20;
  Settings.NRecLimit = {0, 0, 0};
  Settings.AnimSteps = 50;

  ui_->Image1->hide();

  // The toolbar without its depth, move and rotate buttons; the strip closes up behind it.
  commander_->ButtonDepth->hide();
  commander_->ButtonMove->hide();
  commander_->ButtonRotate->hide();
  const int commanderWidth = commander_->RepositionControls();
  const int border = ui_->TeeCommander->x();
  ui_->TeeCommander->resize(commanderWidth, ui_->TeeCommander->height());
  ui_->Panel9->resize(commanderWidth + 2 * border, ui_->Panel9->height());
  ui_->Panel2->move(ui_->Panel9->width(), ui_->Panel2->y());
  ui_->Panel10->move(ui_->Panel2->x() + ui_->Panel2->width(), ui_->Panel10->y());
  ui_->ButtonAbout->move(ui_->Panel10->x() + ui_->Panel10->width() + 5, ui_->ButtonAbout->y());

  const QString figures = LocateShipped(QStringLiteral("Fig"));
  LoadFigures(figures.isEmpty() ? QStringLiteral("Fig") : figures);
}

void TForm1::CreateChartViews() {
  const auto place = [](QWidget* host, QWidget* child) {
    auto* layout = new QHBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(child);
  };
  charts_->Chart1.Hint = ui_->Chart1->toolTip().toStdString();
  charts_->Chart2.Hint = ui_->Chart2->toolTip().toStdString();
  view1_ = new TChartView(charts_->Chart1, ui_->Chart1);
  view2_ = new TChartView(charts_->Chart2, ui_->Chart2);
  place(ui_->Chart1, view1_);
  place(ui_->Chart2, view2_);
  view1_->OnDblClick = [this] { ui_->RadioCh1->setChecked(true); };
  view2_->OnDblClick = [this] { ui_->RadioCh2->setChecked(true); };
  const auto glFailed = [this](const QString& message) { ShowStatus(QLatin1Char(' ') + message); };
  connect(view1_, &TChartView::OpenGLFailed, this, glFailed);
  connect(view2_, &TChartView::OpenGLFailed, this, glFailed);

  commander_ = new TTeeCommander(ui_->TeeCommander);
  place(ui_->TeeCommander, commander_);
  chartEditor_ = new TChartEditor(this);
  chartEditor_->SetChart(&charts_->Chart2);
  commander_->SetEditor(chartEditor_);
  commander_->SetPanel(view2_);
  commander_->OnCommander3DClick = [this](TTeeCommander& c) { Commander3DClick(c); };
  commander_->OnSaveFailed = [](const QString& message) { ReportError(message); };
}

void TForm1::Commander3DClick(TTeeCommander& commander) {
  TChartView* view = commander.Panel();
  if (view == nullptr || view->Chart() == nullptr) return;
  const bool down = commander.Button3DDown();
  view->Chart()->SetView3D(down);
  const bool ch1 = ui_->RadioCh1->isChecked();
  if (!down) {
    (ch1 ? charts_->TeeOpenGL1 : charts_->TeeOpenGL2).SetActive(false);
  } else if (ch1 && !charts_->TeeOpenGL1.Active()) {
    charts_->TeeOpenGL1.SetActive(true);
  } else if (!charts_->TeeOpenGL2.Active()) {
    charts_->TeeOpenGL2.SetActive(true);
  }
}

void TForm1::ConnectHandlers() {
  const auto command = [this](QAbstractButton* button, void (TForm1::*handler)()) {
    connect(button, &QAbstractButton::clicked, this,
            [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); });
  };
  command(ui_->ButtonClear, &TForm1::ButtonClearClick);
  command(ui_->ButtonGaAs, &TForm1::ButtonGaAsClick);
  command(ui_->ButtonSet, &TForm1::ButtonSetClick);
  command(ui_->ButtonReal, &TForm1::ButtonRealClick);
  command(ui_->ButtonRecipr, &TForm1::ButtonReciprClick);
  command(ui_->ButtonRec2D, &TForm1::ButtonRec2DClick);
  command(ui_->ButtonKhSphere, &TForm1::ButtonKhSphereClick);
  command(ui_->ButtonMove, &TForm1::ButtonMoveClick);
  command(ui_->ButtonRotK, &TForm1::ButtonRotKClick);
  command(ui_->ButtonRotRec, &TForm1::ButtonRotRecClick);
  command(ui_->ButtonK0KhTor, &TForm1::ButtonK0KhTorClick);
  command(ui_->ButtonPSD, &TForm1::ButtonPSDClick);
  command(ui_->ButtonAzCone, &TForm1::ButtonAzConeClick);
  connect(ui_->TrackBarFi, &QSlider::valueChanged, this,
          [this] { RunCommand([this] { TrackBarFiChange(); }); });
  command(ui_->ButtonParam, &TForm1::ButtonParamClick);
  connect(ui_->ButtonAbout, &QAbstractButton::clicked, this, [this] { ButtonAboutClick(); });

  // View switches follow every change of state, by the user or by a lecture slide.
  const auto view = [this](QAbstractButton* box, void (TForm1::*handler)()) {
    connect(box, &QAbstractButton::toggled, this,
            [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); });
  };
  view(ui_->CheckBoxGL, &TForm1::CheckBoxGLClick);
  view(ui_->CheckBoxBind, &TForm1::CheckBoxBindClick);
  view(ui_->CheckBoxCryst, &TForm1::CheckBoxCrystClick);
  view(ui_->CheckBoxIncSurf, &TForm1::CheckBoxIncSurfClick);
  view(ui_->CheckBoxSurface, &TForm1::RegionRule);
  view(ui_->CheckBoxK0, &TForm1::RegionRule);
  view(ui_->CheckBoxFull, &TForm1::RegionRule);
  view(ui_->CheckBoxTor, &TForm1::CheckBoxTorClick);
  view(ui_->CheckBoxSpheres, &TForm1::CheckBoxSpheresClick);
  view(ui_->CheckBoxPlanes, &TForm1::CheckBoxPlanesClick);
  view(ui_->CheckBoxPoints, &TForm1::CheckBoxPointsClick);
  view(ui_->CheckBoxMarks, &TForm1::CheckBoxMarksClick);
  view(ui_->CheckBoxBW, &TForm1::CheckBoxMarksClick);
  connect(ui_->RadioCh1, &QRadioButton::toggled, this, [this](bool on) {
    if (on) RunCommand([this] { RadioCh1Click(); });
  });
  connect(ui_->RadioCh2, &QRadioButton::toggled, this, [this](bool on) {
    if (on) RunCommand([this] { RadioCh2Click(); });
  });
  connect(ui_->EditLnorm, &QLineEdit::textChanged, this, [this] { EditLnormChange(); });
  connect(&timer1_, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

void TForm1::FormResize() {
  // The chart area spans the window's width and the height the three fixed strips leave.
  const int h = height() - ui_->Panel13->height() - ui_->Panel1->height() - ui_->Panel12->height();
  const int areaWidth = width();
  const int half = areaWidth / 2;
  ui_->Chart1->setGeometry(ui_->Chart1->x(), ui_->Chart1->y(), half, half);
  ui_->Image1->resize(ui_->Chart1->size());
  ui_->Chart2->setGeometry(areaWidth - half, ui_->Chart2->y(), half, half);
  if (h > half + 1 || h < half) resize(width(), height() + half + 1 - h);  // raises a new resize
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == ui_->Chart1) ui_->RadioCh1->setChecked(true);
    if (watched == ui_->Chart2) ui_->RadioCh2->setChecked(true);
  }
  return QWidget::eventFilter(watched, event);
}

void TForm1::ButtonClearClick() {
  ClearScenes();
  Recompute();
}

void TForm1::ButtonGaAsClick() {
  Recompute();
  ShowUnitCell();
}

void TForm1::ButtonSetClick() {
  Recompute();
  if (structure1_->InUse) SetHkl(scene_, *structure1_);
  if (structure2_->InUse) SetHkl(scene_, *structure2_);
}

void TForm1::ButtonRealClick() {
  Recompute();
  if (structure1_->InUse) ShowRealSpace(scene_, *structure1_);
  if (structure2_->InUse) ShowRealSpace(scene_, *structure2_);
}

void TForm1::ButtonReciprClick() {
  Recompute();
  if (structure1_->InUse) ShowReciprocal3D(scene_, *structure1_);
  if (structure2_->InUse) ShowReciprocal3D(scene_, *structure2_);
}

void TForm1::ButtonRec2DClick() {
  Recompute();
  if (structure1_->InUse) ShowReciprocal2D(scene_, *structure1_);
  if (structure2_->InUse) ShowReciprocal2D(scene_, *structure2_);
}

void TForm1::ButtonKhSphereClick() {
  Recompute();
  for (TVisStructure* s : {structure1_.get(), structure2_.get()}) {
    if (!s->InUse) continue;
    SetHkl(scene_, *s);
    DrawKhSphere(scene_, *s, true);
  }
}

TVisStructure* TForm1::FirstInUse() const {
  if (structure1_->InUse) return structure1_.get();
  if (structure2_->InUse) return structure2_.get();
  return nullptr;
}

void TForm1::ButtonMoveClick() {
  if (TVisStructure* s = FirstInUse()) AnimateMove(anim_, *s);
}

void TForm1::ButtonRotKClick() {
  if (TVisStructure* s = FirstInUse()) AnimateRotK(anim_, *s);
}

void TForm1::ButtonRotRecClick() {
  Recompute();
  if (structure1_->InUse) AnimateRotRec(anim_, *structure1_);
  if (structure2_->InUse) AnimateRotRec(anim_, *structure2_);
  WriteSettings();
}

void TForm1::ButtonK0KhTorClick() {
  Recompute();
  for (TVisStructure* s : {structure1_.get(), structure2_.get()}) {
    if (!s->InUse) continue;
    SetHkl(scene_, *s);
    AnimateBoublik(anim_, *s);
  }
}

void TForm1::ButtonPSDClick() {
  Recompute();
  ShowPsd(anim_, *structure1_);
}

void TForm1::ButtonAzConeClick() {
  if (structure1_->InUse) {
    ShowAzimuthCone(anim_, *structure1_, 180.0);
  } else if (structure2_->InUse) {
    ShowAzimuthCone(anim_, *structure2_, 60.0);
  }
}

void TForm1::StopAnimation() { korvex::StopAnimation(*this); }

void TForm1::TrackBarFiChange() {
  const QSlider& bar = *ui_->TrackBarFi;
  Settings.Phi = double(bar.value()) / (bar.maximum() - bar.minimum()) * 2 * Pi;
  WriteSettings();
  Recompute();
  charts_->SeriesPointRes->Clear();
  if (structure1_->InUse) SetHkl(scene_, *structure1_);
  if (structure2_->InUse) SetHkl(scene_, *structure2_);
  // A change that arrives while the charts repaint draws at once but does not pump again, so
  // a fast drag cannot stack one pump inside the other.
  static bool pumping = false;
  if (pumping) return;
  pumping = true;
  struct TDone {
    ~TDone() { pumping = false; }
  } done;
  PumpMessages();
}

void TForm1::CheckBoxGLClick() {
  const bool on = ui_->CheckBoxGL->isChecked();
  charts_->TeeOpenGL1.SetActive(on);
  charts_->TeeOpenGL2.SetActive(on);
}

void TForm1::CheckBoxBindClick() { Settings.BindCharts = ui_->CheckBoxBind->isChecked(); }

void TForm1::CheckBoxCrystClick() {
  const bool on = ui_->CheckBoxCryst->isChecked();
  charts_->SeriesSurfResPlane->SetActive(on);
  charts_->SeriesSurf->SetActive(on);
}

void TForm1::CheckBoxIncSurfClick() {
  const bool on = ui_->CheckBoxIncSurf->isChecked();
  charts_->SeriesSurfIncRes->SetActive(on);
  charts_->SeriesSurfInc->SetActive(on);
}

void TForm1::RegionRule() {
  const bool b = ui_->CheckBoxSurface->isChecked();
  const bool l = ui_->CheckBoxK0->isChecked();
  const bool f = ui_->CheckBoxFull->isChecked();
  TChartCatalogue& c = *charts_;
  c.SeriesSurfUp->SetActive(b && !f);
  c.SeriesSurfDwn->SetActive(b && !f);
  c.SeriesSurfKh0->SetActive(b && !f);
  c.SeriesSurfK00->SetActive(l && !f);
  c.SeriesLaueKh->SetActive(l && !f);
  if (l && b && !f) {
    c.SeriesSurfUp->SetActive(false);
    c.SeriesSurfDwn->SetActive(true);
    c.SeriesSurfKh0->SetActive(true);
    c.SeriesSurfK00->SetActive(false);
    c.SeriesLaueKh->SetActive(true);
  }
  c.SeriesBraggFull->SetActive(b && f);
  c.SeriesTor1->SetActive(l && f);
  c.SeriesTor2->SetActive(l && f);
}

void TForm1::CheckBoxTorClick() {
  const bool on = ui_->CheckBoxTor->isChecked();
  charts_->SeriesSurfUp->SetActive(on);
  charts_->SeriesSurfK00->SetActive(on);
}

void TForm1::CheckBoxSpheresClick() {
  const bool on = ui_->CheckBoxSpheres->isChecked();
  TChartCatalogue& c = *charts_;
  for (TChartSeries* s :
       std::initializer_list<TChartSeries*>{c.SeriesSphereSmall, c.SeriesSphereBig, c.SeriesCircle1,
                                            c.SeriesCircle2, c.SeriesCircle3, c.SeriesCircle4}) {
    s->SetActive(on);
  }
  pool_.RegionSurfaces.SetActive(on);
}

void TForm1::CheckBoxPlanesClick() {
  pool_.PlaneSurfaces.SetActive(ui_->CheckBoxPlanes->isChecked());
}

void TForm1::CheckBoxPointsClick() {
  charts_->SeriesPointRes->SetActive(ui_->CheckBoxPoints->isChecked());
}

void TForm1::CheckBoxMarksClick() {
  charts_->SeriesPointRes->Marks().Visible = ui_->CheckBoxMarks->isChecked();
}

void TForm1::RadioCh1Click() {
  toolbarChart_ = &charts_->Chart1;
  commander_->SetPanel(view1_);
  chartEditor_->SetChart(&charts_->Chart1);
}

void TForm1::RadioCh2Click() {
  toolbarChart_ = &charts_->Chart2;
  commander_->SetPanel(view2_);
  chartEditor_->SetChart(&charts_->Chart2);
}

namespace {

bool SameTitle(const TChartTitle& a, const TChartTitle& b) {
  return a.Visible == b.Visible && a.Text == b.Text && a.CustomPosition == b.CustomPosition &&
         a.Left == b.Left && a.Top == b.Top && a.AlignLeft == b.AlignLeft &&
         a.Font.Name == b.Font.Name && a.Font.Height == b.Font.Height &&
         a.Font.Bold == b.Font.Bold && a.Font.Color == b.Font.Color;
}

// One credit line at (left, top) in red of size 10. The chart is told only when the line
// differs: the left chart's before-draw must not make the right chart draw once more.
void PlaceCredit(TChart& chart, bool foot, const char* text, int left, int top) {
  const TChart& shown = chart;
  const TChartTitle& now = foot ? shown.Foot() : shown.SubFoot();
  TChartTitle want = now;
  want.Visible = true;
  want.CustomPosition = true;
  want.Left = left;
  want.Top = top;
  want.Text = text;
  want.Font.SetSize(10);
  want.Font.Color = clRed;
  if (!SameTitle(want, now)) (foot ? chart.Foot() : chart.SubFoot()) = want;
}

}  // namespace

void TForm1::ChartBeforeDraw() {
  for (TChart* chart : {&charts_->Chart1, &charts_->Chart2}) {
    const QWidget& area = chart == &charts_->Chart1 ? *ui_->Chart1 : *ui_->Chart2;
    PlaceCredit(*chart, true, CreditLine1, 1, area.height() - 22);
    PlaceCredit(*chart, false, CreditLine2, area.width() - 115, area.height() - 22);
  }
  if (Settings.BindCharts) {
    charts_->Chart2.View3DOptions().SetElevation(charts_->Chart1.View3DOptions().Elevation());
    charts_->Chart2.View3DOptions().SetRotation(charts_->Chart1.View3DOptions().Rotation());
  }
}

void TForm1::ButtonAboutClick() {
  if (AboutForm != nullptr) RunModal(*AboutForm);
}

void TForm1::ButtonParamClick() {
  if (FormParam == nullptr) return;
  // A field that cannot be read is reported, and the dialog opens all the same so that it
  // can be corrected (it then shows the last values read).
  try {
    ReadParameters();
  } catch (const CommandError& e) {
    ReportError(QString::fromUtf8(e.what()));
  }
  RunModal(*FormParam);
}

void TForm1::Timer1Timer() { AnimationTick(); }

void TForm1::FormMouseWheel(QPoint pos, int delta) {
  // Each chart's own rectangle on the screen; the right chart is tested with the left one's
  // width (both are equally wide after every resize).
  const int width1 = ui_->Chart1->width();
  const auto zoom = [pos, delta](const QWidget& area, int width, TChart& chart) {
    const QPoint topLeft = area.mapToGlobal(QPoint(0, 0));
    const bool hit = pos.x() > topLeft.x() && pos.x() < topLeft.x() + width &&
                     pos.y() > topLeft.y() && pos.y() < topLeft.y() + area.height();
    if (!hit || delta == 0) return;
    const double step =
        (chart.BottomAxis().Maximum() - chart.BottomAxis().Minimum()) * 0.01 * (delta > 0 ? 1 : -1);
    const auto widen = [](TChartAxis& axis, double by) {
      axis.SetMinMax(axis.Minimum() - by, axis.Maximum() + by);
    };
    widen(chart.BottomAxis(), step);
    widen(chart.LeftAxis(), step);
    widen(chart.DepthAxis(), 0.7968127490039841 * step);
  };
  zoom(*ui_->Chart1, width1, charts_->Chart1);
  zoom(*ui_->Chart2, width1, charts_->Chart2);
}

void TForm1::wheelEvent(QWheelEvent* event) {
  FormMouseWheel(event->globalPosition().toPoint(), event->angleDelta().y());
  event->ignore();
}

void TForm1::closeEvent(QCloseEvent* event) {
  StopAnimation();  // a running animation's loop must not outlive the window
  QWidget::closeEvent(event);
}

void TForm1::EditLnormChange() {
  if (ui_->EditLnorm->text() == QLatin1String("0")) ui_->EditLnorm->setText(QStringLiteral("1"));
}

void TForm1::ShowStatus(const QString& text) { ui_->StatusBar->showMessage(text); }

QString TForm1::StatusText() const { return ui_->StatusBar->currentMessage(); }

void TForm1::ReportProblems(const QStringList& problems) {
  if (problems.isEmpty()) {
    if (!reportedProblem_.isEmpty() && StatusText() == reportedProblem_)
      ShowStatus(QStringLiteral(" "));
    reportedProblem_.clear();
    return;
  }
  reportedProblem_ = QLatin1Char(' ') + problems.join(QStringLiteral("; "));
  ShowStatus(reportedProblem_);
}

void TForm1::StopTimer() { timer1_.stop(); }

void TForm1::RunRecompute() { Recompute(); }

void TForm1::RunWriteSettings() { WriteSettings(); }

void TForm1::StartTimer() { timer1_.start(); }

bool TForm1::TimerEnabled() const { return timer1_.isActive(); }

void TForm1::PumpOnce() { PumpMessages(timer1_.isActive()); }

void TForm1::ResetPhiTrackBar() {
  const QSignalBlocker quiet(ui_->TrackBarFi);
  ui_->TrackBarFi->setValue(0);
}

int32_t TForm1::MainWindowWidth() const { return width(); }

bool TForm1::PlanesShown() const { return ui_->CheckBoxPlanes->isChecked(); }

void TForm1::ShowAngles(const TVisStructure&) { WriteSettings(); }

void TForm1::StyleBlackWhite(bool blackWhite) {
  charts_->SeriesPoint->Pointer().Pen.Visible = blackWhite;
  charts_->SeriesPointRes->Pointer().Pen.Visible = blackWhite;
  charts_->SeriesVecRecipr->Marks().Transparent = !blackWhite;
}

}  // namespace korvex
