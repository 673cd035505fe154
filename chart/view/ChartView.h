#pragma once
// The widget that shows one chart. It draws on its canvas (QPainter) or, while the
// chart's OpenGL switch is on and OpenGL could be started, through a QOpenGLWidget
// child. It repaints once per batch of model changes, when the event loop next runs.
// Dragging with the left button turns the view (the chart's rotate tool).
#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "chart/Chart.h"

class QWheelEvent;

namespace korvex {

class TCanvasRenderer;
class TGLChartWidget;

// What dragging with the left button does.
enum class TDragMode { Rotate, Move, Depth };

class TChartView : public QWidget, public IChartObserver {
  Q_OBJECT

 public:
  TDragMode DragMode = TDragMode::Rotate;

  explicit TChartView(TChart& chart, QWidget* parent = nullptr);
  ~TChartView() override;

  TChart* Chart() const { return Chart_; }
  // True while the picture is drawn through OpenGL.
  bool UsingOpenGL() const { return Gl_ != nullptr; }
  // Why OpenGL is not used although it was asked for; empty otherwise.
  QString OpenGLMessage() const { return GlMessage_; }

  // The current picture as the user sees it (from OpenGL when that is on).
  QImage Picture();
  // The picture drawn on the canvas into an image of the given size.
  QImage CanvasPicture(QSize size);
  // Saves the picture as PNG, or as SVG when the file name ends in ".svg". On failure returns
  // false and, when why is given, puts there what went wrong, naming the file.
  bool SavePicture(const QString& fileName, QString* why = nullptr);
  void CopyToClipboard();

  // Hooks for the window: the wheel over the chart (zoom), a double click.
  std::function<void(QWheelEvent*)> OnMouseWheel;
  std::function<void()> OnDblClick;
  // A click of the left button without a drag, a double click and the mouse moving with no
  // button held (with mouse tracking on), at the position in the view's pixels.
  std::function<void(QPoint)> OnClick;
  std::function<void(QPoint)> OnDblClickAt;
  std::function<void(QPoint)> OnHover;

  // Replaces the check made before OpenGL is started (for tests): returns false with a
  // reason to refuse.
  using TOpenGLProbe = std::function<bool(QString& reason)>;
  static void SetOpenGLProbe(TOpenGLProbe probe);

  QSize sizeHint() const override { return {317, 316}; }

  void ChartChanged(TChart& chart) override;
  void ChartDestroying(TChart& chart) override;

 signals:
  // OpenGL was asked for but could not start; the chart stays on the canvas.
  void OpenGLFailed(const QString& message);
  void Drawn();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  friend class TGLChartWidget;
  void SyncRenderer();
  void CheckRenderer();
  void StartOpenGL();
  void StopOpenGL();
  void GLFailed(const QString& why);
  // Runs the chart's draw events around a drawing.
  void BeginChartDraw();
  void EndChartDraw();

  TChart* Chart_;
  std::unique_ptr<TCanvasRenderer> Canvas_;
  TGLChartWidget* Gl_ = nullptr;
  QString GlMessage_;
  bool GlRefused_ = false;  // failed for this switch-on; tried again after a switch-off
  bool SyncQueued_ = false;
  bool Dragging_ = false;
  bool Pressed_ = false;
  QPoint PressPos_;
  QPoint DragStart_;
  int DragRotation_ = 0, DragElevation_ = 0, DragX_ = 0, DragY_ = 0;
};

}  // namespace korvex
