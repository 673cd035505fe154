#pragma once
// Draws a chart with QPainter: the primitives of every series (chart/Primitives.h) are
// projected into flat pieces (polygons, spheres, markers, line pieces), sorted far to near
// and painted in that order. Marks and texts go on top. Works on any paint device: the
// screen, an image and an SVG file get the same picture.
#include <QColor>
#include <QHash>
#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>
#include <unordered_map>
#include <vector>

#include "chart/Chart.h"
#include "chart/Primitives.h"
#include "chart/Projection.h"

class QPainter;

namespace korvex {

QColor ToQColor(TColor c, int alpha = 255);

// A text drawn over the chart: a mark next to its point, or a title line.
struct TChartLabel {
  QString Text;
  QRectF Box;  // pixels, text box with its padding
  int FontHeight = 11;
  bool Bold = false;
  QColor Color;
  bool Filled = false;  // box behind the text
  bool Frame = false;
  QColor Back;
};
// Marks of the visible series and the visible title, foot and sub-foot.
std::vector<TChartLabel> CollectLabels(const TChart& chart, const TProjection& proj, QSize size);
void PaintLabels(QPainter& painter, const std::vector<TChartLabel>& labels);

class TCanvasRenderer {
 public:
  // Draws the whole chart (background, series, marks, texts) into a size x size area.
  void Render(const TChart& chart, QPainter& painter, QSize size);
  // The same picture as SVG text, drawn by the same painter.
  QString RenderSvg(const TChart& chart, QSize size);
  // Marks, title, foot and sub-foot: drawn on top by both renderers.
  static void PaintOverlay(const TChart& chart, QPainter& painter, const TProjection& proj, QSize size);
  // Pieces painted by the last Render, for the benchmarks.
  size_t PieceCount() const { return Pieces_.size(); }

 private:
  struct TPiece {
    enum Kind : unsigned char { Polygon, Sphere, Marker, Line } K;
    unsigned char Style;  // pen style, or marker shape
    unsigned char Cap;
    unsigned char Outline;  // spheres and polygons: 1 when outlined
    float Depth;
    int Order;
    unsigned First;  // into Pts_
    unsigned Count;
    QRgb Fill;       // with alpha
    QRgb PenColor;   // with alpha
    float PenWidth;
    float Radius;    // spheres and markers, pixels
  };
  struct TCached {
    std::uint64_t DataRev = 0, StyleRev = 0;
    double Scale = 0;
    bool Used = false;
    TSeriesPrimitives Prim;
  };
  void Build(const TChart& chart, const TProjection& proj);
  void AddPrimitives(const TSeriesPrimitives& prim, int order, const TProjection& proj);
  void AddPolygon(const TProjection& proj, const double (*world)[3], int n, QRgb fill, bool outline,
                  QRgb pen, float penWidth, int order, bool seams);
  void AddScreenPolygon(const QPointF* pts, int n, float depth, QRgb fill, int order);
  void AddLine(const TProjection& proj, const double a[3], const double b[3], QRgb color, float width,
               unsigned char style, unsigned char cap, int order, bool split);
  // Paints the pieces of the last Build into a chart of the given size.
  void Paint(QPainter& painter, QSize size);
  // A shaded sphere of the given diameter, with the outline of the piece where it has one,
  // in an image margin pixels wider on each side.
  const QImage& SphereSprite(QRgb color, int diameter, const TPiece& outline, int margin);

  std::vector<TPiece> Pieces_;
  std::vector<QPointF> Pts_;
  std::unordered_map<const TChartSeries*, TCached> Cache_;
  QHash<QPair<quint64, quint64>, QImage> Sprites_;  // by look and outline
  std::vector<QPointF> Clipped_, ClipWork_;  // a polygon cut to the chart
};

}  // namespace korvex
