#include "chart/Projection.h"

#include <algorithm>
#include <cmath>

#include "chart/Chart.h"

namespace korvex {

namespace {
constexpr double kPi = 3.14159265358979323846;
void Mul(const double a[3][3], const double b[3][3], double out[3][3]) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      out[i][j] = 0;
      for (int k = 0; k < 3; ++k) out[i][j] += a[i][k] * b[k][j];
    }
}
int Wrap360(int d) { return ((d % 360) + 360) % 360; }
}  // namespace

std::array<double, 3> TProjection::RotateToView(double x, double y, double z) const {
  return {Rot[0][0] * x + Rot[0][1] * y + Rot[0][2] * z, Rot[1][0] * x + Rot[1][1] * y + Rot[1][2] * z,
          Rot[2][0] * x + Rot[2][1] * y + Rot[2][2] * z};
}

double TProjection::ScaleAt(double depth) const {
  if (EyeDistance <= 0) return Scale;
  return Scale * EyeDistance / std::max(EyeDistance + depth, 1e-3 * EyeDistance);
}

std::array<double, 3> TProjection::Project(double x, double y, double z) const {
  const auto v = RotateToView(x - Center[0], y - Center[1], (z - Center[2]) * DepthFactor);
  const double s = ScaleAt(v[2]);
  return {ScreenX + s * v[0], ScreenY - s * v[1], v[2]};
}

TProjection TProjection::ForChart(const TChart& chart, int width, int height) {
  TProjection p;
  p.Width = std::max(1, width);
  p.Height = std::max(1, height);
  double lo[3], hi[3];
  for (int k = 0; k < 3; ++k) chart.AxisRange(k, lo[k], hi[k]);
  for (int k = 0; k < 3; ++k) p.Center[k] = 0.5 * (lo[k] + hi[k]);
  const TView3DOptions& o = chart.View3DOptions();
  const double zoom = std::max(1, o.Zoom()) / 100.0;
  p.Scale = std::min(p.Width / (hi[0] - lo[0]), p.Height / (hi[1] - lo[1])) * zoom;
  p.DepthFactor = std::max(1, chart.Chart3DPercent) / 100.0;
  p.ScreenX = 0.5 * p.Width + o.HorizOffset();
  p.ScreenY = 0.5 * p.Height + o.VertOffset();
  const bool flat = !chart.View3D();
  const double r = flat ? 0 : Wrap360(o.Rotation()) * kPi / 180;
  const double e = flat ? 0 : Wrap360(o.Elevation()) * kPi / 180;
  const double t = flat ? 0 : Wrap360(o.Tilt()) * kPi / 180;
  // Turn about the vertical axis, then about the horizontal screen axis, then in the
  // screen plane. Rotation 345 and elevation 345 show the top and the right side.
  const double R[3][3] = {{std::cos(r), 0, -std::sin(r)}, {0, 1, 0}, {std::sin(r), 0, std::cos(r)}};
  const double E[3][3] = {{1, 0, 0}, {0, std::cos(e), -std::sin(e)}, {0, std::sin(e), std::cos(e)}};
  const double T[3][3] = {{std::cos(t), -std::sin(t), 0}, {std::sin(t), std::cos(t), 0}, {0, 0, 1}};
  double er[3][3];
  Mul(E, R, er);
  Mul(T, er, p.Rot);
  // Both renderers draw an orthogonal projection (the charts keep Perspective at 0).
  return p;
}

void RotateByDrag(int rotation, int elevation, int dx, int dy, int& newRotation, int& newElevation) {
  newRotation = Wrap360(rotation + dx);
  newElevation = Wrap360(elevation - dy);
}

}  // namespace korvex
