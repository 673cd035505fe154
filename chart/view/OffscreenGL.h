#pragma once
// Draws a chart through the OpenGL renderer into an image, without a window: for
// exporting pictures, tests and benchmarks.
#include <QImage>
#include <QSize>
#include <QString>
#include <memory>

#include "chart/Chart.h"

class QOpenGLContext;
class QOffscreenSurface;
class QOpenGLFramebufferObject;

namespace korvex {

class TGLRenderer;

class TOffscreenGL {
 public:
  TOffscreenGL();
  ~TOffscreenGL();
  // False when OpenGL could not be started; Error() says why.
  bool Ok() const { return Ok_; }
  const QString& Error() const { return Error_; }
  // Draws the chart (with marks and texts when overlay is set) and returns the picture.
  QImage Render(const TChart& chart, QSize size, bool overlay = true);
  // Draws only, waiting until the drawing is finished (for timing).
  void Draw(const TChart& chart, QSize size);
  TGLRenderer& Renderer() { return *Renderer_; }

 private:
  bool Prepare(QSize size, int samples);
  int Samples(const TChart& chart);
  std::unique_ptr<QOpenGLContext> Context_;
  std::unique_ptr<QOffscreenSurface> Surface_;
  std::unique_ptr<QOpenGLFramebufferObject> Fbo_;
  std::unique_ptr<TGLRenderer> Renderer_;
  bool Ok_ = false;
  QString Error_;
};

}  // namespace korvex
