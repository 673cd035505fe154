#pragma once
// OpenGL child of a chart view.
#include <QOpenGLWidget>
#include <memory>

#include "chart/view/GLRenderer.h"

namespace korvex {

class TChartView;

class TGLChartWidget : public QOpenGLWidget {
  Q_OBJECT
 public:
  explicit TGLChartWidget(TChartView* view);
  ~TGLChartWidget() override;
  bool Failed() const { return Failed_; }

 signals:
  void Failure(const QString& why);

 protected:
  void initializeGL() override;
  void paintGL() override;

 private:
  // Frees the renderer's buffers and textures in their context.
  void ReleaseGL();

  TChartView* View_;
  std::unique_ptr<TGLRenderer> Renderer_;  // of the current context; none before the first
  bool Failed_ = false;
};

}  // namespace korvex
