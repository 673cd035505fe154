#include "chart/Picking.h"

#include <cmath>
#include <limits>

#include "chart/Chart.h"
#include "chart/Projection.h"

namespace korvex {

namespace {

bool Finite3(const TChartPoint& p) {
  return std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z);
}

// The disc radius the renderers give a bubble: its radius in axis units at the depth's scale.
double DrawnRadius(const TProjection& proj, const TChartPoint& p, double depth) {
  if (!std::isfinite(p.Radius) || p.Radius <= 0) return 0;
  const double r = p.Radius * proj.ScaleAt(depth);
  return std::isfinite(r) ? r : 0;
}

}  // namespace

int PickBubble(const TChart& chart, const TChartSeries& series, int width, int height, double px,
               double py) {
  if (series.Kind() != TSeriesKind::Bubble3D || !series.Active() || !std::isfinite(px) ||
      !std::isfinite(py))
    return -1;
  const TProjection proj = TProjection::ForChart(chart, width, height);
  int front = -1, nearest = -1;
  double frontDepth = std::numeric_limits<double>::infinity();
  double nearestDistance = MinPickRadius;
  const std::vector<TChartPoint>& points = series.Points();
  for (size_t i = 0; i < points.size(); ++i) {
    const TChartPoint& p = points[i];
    if (!Finite3(p) || !std::isfinite(p.Radius)) continue;
    const auto c = proj.Project(p.X, p.Y, p.Z);
    const double distance = std::hypot(c[0] - px, c[1] - py);
    if (!std::isfinite(distance)) continue;
    if (distance <= DrawnRadius(proj, p, c[2]) && c[2] < frontDepth) {
      frontDepth = c[2];
      front = static_cast<int>(i);
    }
    if (distance <= nearestDistance) {
      nearestDistance = distance;
      nearest = static_cast<int>(i);
    }
  }
  return front >= 0 ? front : nearest;
}

bool ProjectedPoint(const TChart& chart, const TChartSeries& series, int i, int width, int height,
                    double& px, double& py, double& radiusPx) {
  if (i < 0 || i >= series.Count()) return false;
  const TChartPoint& p = series.Point(i);
  if (!Finite3(p)) return false;
  const TProjection proj = TProjection::ForChart(chart, width, height);
  const auto c = proj.Project(p.X, p.Y, p.Z);
  px = c[0];
  py = c[1];
  radiusPx = DrawnRadius(proj, p, c[2]);
  return std::isfinite(px) && std::isfinite(py);
}

}  // namespace korvex
