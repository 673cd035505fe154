#include "chart/view/ChartView.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImageWriter>
#include <QMetaObject>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPainter>
#include <QSaveFile>
#include <QSurfaceFormat>
#include <QWheelEvent>

#include "chart/Projection.h"
#include "chart/view/CanvasRenderer.h"
#include "chart/view/GLChartWidget.h"
#include "chart/view/GLRenderer.h"

namespace korvex {

namespace {

TChartView::TOpenGLProbe& Probe() {
  static TChartView::TOpenGLProbe probe;
  return probe;
}

// Multisampling found usable by the last check (see ChartSamples).
int& ProbedSamples() {
  static int samples = 0;
  return samples;
}

QSurfaceFormat ChartGLFormat(int samples) {
  QSurfaceFormat f;
  f.setRenderableType(QSurfaceFormat::OpenGL);
  f.setVersion(2, 1);
  f.setProfile(QSurfaceFormat::CompatibilityProfile);
  f.setDepthBufferSize(24);
  f.setSamples(samples);
  return f;
}

// Can this process draw with the fixed-function OpenGL the renderer uses?
bool DefaultProbe(QString& reason) {
  QOpenGLContext ctx;
  ctx.setFormat(ChartGLFormat(0));
  if (!ctx.create()) {
    reason = "no OpenGL context could be created";
    return false;
  }
  const QSurfaceFormat got = ctx.format();
  if (got.profile() == QSurfaceFormat::CoreProfile && (got.majorVersion() > 3 || (got.majorVersion() == 3 && got.minorVersion() >= 2))) {
    reason = "only a core-profile OpenGL context is available";
    return false;
  }
  if (got.majorVersion() < 2) {
    reason = QString("OpenGL %1.%2 is too old (2.0 is needed)").arg(got.majorVersion()).arg(got.minorVersion());
    return false;
  }
  QOffscreenSurface surface;
  surface.setFormat(got);
  surface.create();
  if (!surface.isValid() || !ctx.makeCurrent(&surface)) {
    reason = "the OpenGL context could not be made current";
    return false;
  }
  ProbedSamples() = ChartSamples(true);
  ctx.doneCurrent();
  return true;
}

}  // namespace

void TChartView::SetOpenGLProbe(TOpenGLProbe probe) { Probe() = std::move(probe); }

TChartView::TChartView(TChart& chart, QWidget* parent)
    : QWidget(parent), Chart_(&chart), Canvas_(std::make_unique<TCanvasRenderer>()) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setToolTip(QString::fromStdString(chart.Hint));
  Chart_->AddObserver(this);
  SyncRenderer();
}

TChartView::~TChartView() {
  if (Chart_) Chart_->RemoveObserver(this);
}

void TChartView::ChartChanged(TChart&) {
  update();
  if (Gl_) Gl_->update();
  CheckRenderer();
}

// The OpenGL switch may have been turned in a batch of changes whose notification came
// earlier, so every drawing looks at it as well.
void TChartView::CheckRenderer() {
  if (!Chart_) return;
  const bool want = Chart_->OpenGL().Active();
  if (!want) {
    GlRefused_ = false;
    GlMessage_.clear();
  }
  if (want != (Gl_ != nullptr) && !(want && GlRefused_) && !SyncQueued_) {
    // Not in the middle of a scene: switch renderers when the event loop runs.
    SyncQueued_ = true;
    QMetaObject::invokeMethod(this, [this] { SyncRenderer(); }, Qt::QueuedConnection);
  }
}

void TChartView::ChartDestroying(TChart&) {
  StopOpenGL();
  Chart_ = nullptr;
  update();
}

void TChartView::SyncRenderer() {
  SyncQueued_ = false;
  if (!Chart_) return;
  const bool want = Chart_->OpenGL().Active();
  if (want && !Gl_ && !GlRefused_) StartOpenGL();
  if (!want && Gl_) StopOpenGL();
  update();
}

void TChartView::StartOpenGL() {
  QString reason;
  const bool ok = Probe() ? Probe()(reason) : DefaultProbe(reason);
  if (!ok) {
    GLFailed(reason);
    return;
  }
  Gl_ = new TGLChartWidget(this);
  Gl_->setFormat(ChartGLFormat(Chart_->OpenGL().Antialias ? ProbedSamples() : 0));
  Gl_->setAttribute(Qt::WA_TransparentForMouseEvents);
  Gl_->setGeometry(rect());
  connect(Gl_, &TGLChartWidget::Failure, this, &TChartView::GLFailed, Qt::QueuedConnection);
  Gl_->show();
}

void TChartView::StopOpenGL() {
  if (!Gl_) return;
  Gl_->hide();
  Gl_->deleteLater();
  Gl_ = nullptr;
}

void TChartView::GLFailed(const QString& why) {
  StopOpenGL();
  GlRefused_ = true;
  GlMessage_ = QString("OpenGL could not be started (%1); the chart is drawn without it.").arg(why);
  emit OpenGLFailed(GlMessage_);
  update();
}

void TChartView::BeginChartDraw() {
  Chart_->BeginDraw();
  if (Chart_->OnBeforeDrawChart) Chart_->OnBeforeDrawChart(*Chart_);
}

void TChartView::EndChartDraw() {
  if (Chart_->OnAfterDraw) Chart_->OnAfterDraw(*Chart_);
  Chart_->EndDraw();
}

void TChartView::paintEvent(QPaintEvent*) {
  if (Gl_) return;  // the OpenGL child covers the view
  QPainter p(this);
  if (!Chart_) {
    p.fillRect(rect(), Qt::white);
    return;
  }
  CheckRenderer();
  BeginChartDraw();
  Canvas_->Render(*Chart_, p, size());
  if (!GlMessage_.isEmpty()) {
    QFont f = p.font();
    f.setPixelSize(11);
    p.setFont(f);
    p.setPen(Qt::red);
    p.drawText(rect().adjusted(4, 4, -4, -4), Qt::AlignTop | Qt::AlignLeft | Qt::TextWordWrap, GlMessage_);
  }
  EndChartDraw();
  emit Drawn();
}

void TChartView::resizeEvent(QResizeEvent*) {
  if (Gl_) Gl_->setGeometry(rect());
}

QImage TChartView::CanvasPicture(QSize size) {
  QImage img(size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::white);
  if (!Chart_) return img;
  QPainter p(&img);
  BeginChartDraw();
  Canvas_->Render(*Chart_, p, size);
  EndChartDraw();
  return img;
}

QImage TChartView::Picture() {
  if (Gl_) return Gl_->grabFramebuffer();
  return CanvasPicture(size());
}

bool TChartView::SavePicture(const QString& fileName, QString* why) {
  const auto fail = [&](const QString& reason) {
    if (why != nullptr)
      *why = QStringLiteral("The picture could not be saved to \"%1\": %2.").arg(fileName, reason);
    return false;
  };
  if (!Chart_) return fail(QStringLiteral("there is no chart"));
  QSaveFile f(fileName);
  if (!f.open(QIODevice::WriteOnly)) return fail(f.errorString());
  if (fileName.endsWith(".svg", Qt::CaseInsensitive)) {
    BeginChartDraw();
    const QByteArray svg = Canvas_->RenderSvg(*Chart_, size()).toUtf8();
    EndChartDraw();
    if (f.write(svg) != svg.size()) return fail(f.errorString());
  } else {
    QImageWriter writer(&f, "PNG");
    if (!writer.write(Picture())) return fail(writer.errorString());
  }
  if (!f.commit()) return fail(f.errorString());
  return true;
}

void TChartView::CopyToClipboard() {
  if (QClipboard* c = QApplication::clipboard()) c->setImage(Picture());
}

void TChartView::mousePressEvent(QMouseEvent* e) {
  if (!Chart_ || e->button() != Qt::LeftButton) return;
  Pressed_ = true;
  PressPos_ = e->position().toPoint();
  if (DragMode == TDragMode::Rotate && !(Chart_->RotateTool().Active && Chart_->View3D())) return;
  Dragging_ = true;
  DragStart_ = e->position().toPoint();
  const TView3DOptions& o = Chart_->View3DOptions();
  DragRotation_ = o.Rotation();
  DragElevation_ = o.Elevation();
  DragX_ = DragMode == TDragMode::Depth ? Chart_->Chart3DPercent : o.HorizOffset();
  DragY_ = o.VertOffset();
}

void TChartView::mouseMoveEvent(QMouseEvent* e) {
  if (e->buttons() == Qt::NoButton && OnHover) OnHover(e->position().toPoint());
  if (!Dragging_ || !Chart_) return;
  const QPoint d = e->position().toPoint() - DragStart_;
  TView3DOptions& o = Chart_->View3DOptions();
  switch (DragMode) {
    case TDragMode::Rotate: {
      int r, el;
      RotateByDrag(DragRotation_, DragElevation_, d.x(), d.y(), r, el);
      o.SetRotation(r);
      o.SetElevation(el);
      break;
    }
    case TDragMode::Move:
      o.SetHorizOffset(DragX_ + d.x());
      o.SetVertOffset(DragY_ + d.y());
      break;
    case TDragMode::Depth:
      Chart_->SetChart3DPercent(DragX_ - d.y());
      break;
  }
}

void TChartView::mouseReleaseEvent(QMouseEvent* e) {
  Dragging_ = false;
  if (!Pressed_ || e->button() != Qt::LeftButton) return;
  Pressed_ = false;
  // A click is a press and release within a few pixels: a drag that turned the view is none.
  if ((e->position().toPoint() - PressPos_).manhattanLength() <= 3 && OnClick) OnClick(PressPos_);
}

void TChartView::mouseDoubleClickEvent(QMouseEvent* e) {
  if (OnDblClick) OnDblClick();
  if (e->button() == Qt::LeftButton && OnDblClickAt) OnDblClickAt(e->position().toPoint());
}

void TChartView::wheelEvent(QWheelEvent* e) {
  if (OnMouseWheel) OnMouseWheel(e);
  e->ignore();  // the window sees the wheel too
}

// --- OpenGL child -----------------------------------------------------------------------

TGLChartWidget::TGLChartWidget(TChartView* view) : QOpenGLWidget(view), View_(view) {}

TGLChartWidget::~TGLChartWidget() {
  // The base class destroys the context, and its signal must not reach this half-gone widget.
  if (context()) disconnect(context(), nullptr, this, nullptr);
  ReleaseGL();
}

void TGLChartWidget::ReleaseGL() {
  if (!Renderer_) return;
  makeCurrent();
  Renderer_.reset();
  doneCurrent();
}

// Called again with a new context when the widget has moved to another window (Qt may replace
// the context at other times too). The buffers and textures of the old context are gone with
// it, so each context gets a renderer of its own, freed while that context still exists; the
// renderer here is therefore always a new one.
void TGLChartWidget::initializeGL() {
  Renderer_ = std::make_unique<TGLRenderer>();
  QString why;
  if (!context() || !context()->isValid()) {
    why = "the OpenGL context is not valid";
  } else {
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &TGLChartWidget::ReleaseGL);
    if (Renderer_->Initialize(&why)) return;
  }
  Failed_ = true;
  emit Failure(why);
}

void TGLChartWidget::paintGL() {
  TChart* chart = View_->Chart();
  if (Failed_ || !chart || !Renderer_) return;
  View_->CheckRenderer();
  View_->BeginChartDraw();
  const qreal dpr = devicePixelRatioF();
  Renderer_->Render(*chart, static_cast<int>(width() * dpr), static_cast<int>(height() * dpr));
  {
    QPainter p(this);
    const TProjection proj = TProjection::ForChart(*chart, width(), height());
    TCanvasRenderer::PaintOverlay(*chart, p, proj, size());
  }
  View_->EndChartDraw();
  emit View_->Drawn();
}

}  // namespace korvex
