#include "chart/view/OffscreenGL.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QPainter>

#include "chart/Projection.h"
#include "chart/view/CanvasRenderer.h"
#include "chart/view/GLRenderer.h"

namespace korvex {

// The same multisampling as the chart view's OpenGL widget.
int TOffscreenGL::Samples(const TChart& chart) { return ChartSamples(chart.OpenGL().Antialias); }

TOffscreenGL::TOffscreenGL() : Renderer_(std::make_unique<TGLRenderer>()) {
  QSurfaceFormat f;
  f.setVersion(2, 1);
  f.setProfile(QSurfaceFormat::CompatibilityProfile);
  f.setDepthBufferSize(24);
  Context_ = std::make_unique<QOpenGLContext>();
  Context_->setFormat(f);
  if (!Context_->create()) {
    Error_ = "no OpenGL context could be created";
    return;
  }
  Surface_ = std::make_unique<QOffscreenSurface>();
  Surface_->setFormat(Context_->format());
  Surface_->create();
  if (!Context_->makeCurrent(Surface_.get())) {
    Error_ = "the OpenGL context could not be made current";
    return;
  }
  Ok_ = Renderer_->Initialize(&Error_);
}

TOffscreenGL::~TOffscreenGL() {
  if (Context_ && Surface_ && Context_->makeCurrent(Surface_.get())) {
    Fbo_.reset();
    Renderer_.reset();
    Context_->doneCurrent();
  }
}

bool TOffscreenGL::Prepare(QSize size, int samples) {
  if (!Ok_ || !Context_->makeCurrent(Surface_.get())) return false;
  if (!Fbo_ || Fbo_->size() != size || Fbo_->format().samples() != samples) {
    QOpenGLFramebufferObjectFormat ff;
    ff.setAttachment(QOpenGLFramebufferObject::Depth);
    ff.setSamples(samples);
    Fbo_ = std::make_unique<QOpenGLFramebufferObject>(size, ff);
  }
  return Fbo_->bind();
}

void TOffscreenGL::Draw(const TChart& chart, QSize size) {
  if (!Prepare(size, Samples(chart))) return;
  Renderer_->Render(chart, size.width(), size.height());
  Context_->functions()->glFinish();
}

QImage TOffscreenGL::Render(const TChart& chart, QSize size, bool overlay) {
  if (!Prepare(size, Samples(chart))) return {};
  Renderer_->Render(chart, size.width(), size.height());
  QImage img = Fbo_->toImage();
  if (overlay) {
    QPainter p(&img);
    TCanvasRenderer::PaintOverlay(chart, p, TProjection::ForChart(chart, size.width(), size.height()), size);
  }
  return img;
}

}  // namespace korvex
