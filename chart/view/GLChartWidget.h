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
  const TGLRenderer& Renderer() const { return *Renderer_; }

 signals:
  void Failure(const QString& why);

 protected:
  void initializeGL() override;
  void paintGL() override;

 private:
  TChartView* View_;
  std::unique_ptr<TGLRenderer> Renderer_;
  bool Failed_ = false;
};

}  // namespace korvex
