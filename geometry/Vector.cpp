#include "geometry/Vector.h"

#include <cmath>
#include <limits>

namespace korvex {

double Sqr(double x) { return x * x; }

int32_t RoundHalfAway(double x) {
  constexpr double kMax = std::numeric_limits<int32_t>::max();
  constexpr double kMin = std::numeric_limits<int32_t>::min();
  if (std::isnan(x)) return 0;
  if (x >= kMax) return std::numeric_limits<int32_t>::max();
  if (x <= kMin) return std::numeric_limits<int32_t>::min();
  const double t = std::trunc(x);
  const double d = x - t;
  double r = t;
  if (std::fabs(d) >= 0.5) r = d > 0 ? t + 1 : t - 1;
  if (r >= kMax) return std::numeric_limits<int32_t>::max();
  if (r <= kMin) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

bool SameValue(double x, double y) { return y > x - Tolerance && y < x + Tolerance; }

int32_t IntAbs(int32_t n) {
  if (n == std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::max();
  return n < 0 ? -n : n;
}

int32_t Gcd(int32_t a, int32_t b) {
  while (a != 0) {
    // b mod -1 is 0 for every b; computing INT32_MIN % -1 would overflow.
    const int32_t r = (a == -1) ? 0 : b % a;
    b = a;
    a = r;
  }
  return b;
}

void SortInts(int32_t* values, int32_t n) {
  for (int32_t m = n - 1; m >= 1; --m) {
    for (int32_t i = 0; i < m; ++i) {
      if (values[i + 1] < values[i]) {
        const int32_t t = values[i];
        values[i] = values[i + 1];
        values[i + 1] = t;
      }
    }
  }
}

bool SolveQuadratic(double a, double b, double c, double& x1, double& x2) {
  double d = b * b - 4 * a * c;
  if (std::fabs(d) < Tolerance) d = 0;
  if (d < 0) return false;
  if (std::fabs(a) > Tolerance) {
    const double s = std::sqrt(d);
    x1 = (s - b) / (2 * a);
    x2 = (-b - s) / (2 * a);
    return true;
  }
  if (std::fabs(b) > Tolerance) {
    x1 = x2 = -c / b;
    return true;
  }
  return false;
}

int32_t RotateVector(double angle, double vx, double vy, double vz, double nx, double ny, double nz,
                     double& rx, double& ry, double& rz) {
  const double o = VectorLength(nx, ny, nz);
  if (o == 0) return -1;
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const double r = (1 - c) * Dot(nx, ny, nz, vx, vy, vz) / o;
  // Computed into locals first: the outputs may alias the inputs.
  const double x = c * vx + (s * (ny * vz - nz * vy) + nx * r) / o;
  const double y = c * vy + (s * (nz * vx - nx * vz) + ny * r) / o;
  const double z = c * vz + (s * (nx * vy - ny * vx) + nz * r) / o;
  rx = x;
  ry = y;
  rz = z;
  return 1;
}

double VectorLength(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }

double Dot(double ax, double ay, double az, double bx, double by, double bz) {
  return ax * bx + ay * by + az * bz;
}

void Cross(double ax, double ay, double az, double bx, double by, double bz, double& cx, double& cy,
           double& cz) {
  const double x = ay * bz - az * by;
  const double y = az * bx - ax * bz;
  const double z = ax * by - ay * bx;
  cx = x;
  cy = y;
  cz = z;
}

void Project(double vx, double vy, double vz, double ux, double uy, double uz, double& px,
             double& py, double& pz) {
  const double g = VectorLength(ux, uy, uz);
  const double h = g >= Tolerance ? Dot(vx, vy, vz, ux, uy, uz) / (g * g) : 0.0;
  px = h * ux;
  py = h * uy;
  pz = h * uz;
}

bool Normalize(double& x, double& y, double& z) {
  const double l = VectorLength(x, y, z);
  if (!(l > 0) || !std::isfinite(l)) return false;
  x /= l;
  y /= l;
  z /= l;
  return true;
}

}  // namespace korvex
