#include "scenes/ReciprocalAxes.h"

#include <cmath>
#include <cstdlib>

#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/ReciprocalDrawing.h"

namespace korvex {

using frame::operator*;
using frame::operator-;

std::string IndexLabel(int32_t h, int32_t k, int32_t l, bool separated) {
  const char* sep = separated ? "," : "";
  return std::to_string(h) + sep + std::to_string(k) + sep + std::to_string(l);
}

std::string IndexLabel(int32_t h, int32_t k, int32_t l) { return IndexLabel(h, k, l, h > 9 || k > 9 || l > 9); }

std::array<int32_t, 3> PerpendicularIndices() {
  const auto& p = Settings.IncPlanePoint;
  const auto& n = Settings.Normal;
  double x = 0, y = 0, z = 0;
  Cross(p[0], p[1], p[2], n[0], n[1], n[2], x, y, z);
  std::array<int32_t, 3> c{RoundHalfAway(x), RoundHalfAway(y), RoundHalfAway(z)};
  // Dividing by a negative divisor would turn the indices into those of the opposite
  // direction, whose arrowhead is not the one drawn.
  const int32_t g = IntAbs(Gcd(Gcd(c[0], c[1]), c[2]));
  if (g > 1) {
    for (int32_t& v : c) v /= g;
  }
  return c;
}

void DrawReciprocalAxes(TSceneContext& scene, const TVisStructure& s) {
  double r = Settings.TwoK;
  if (s.MaxIndex <= 0) {
    r = s.LatticeA > 0 ? std::fabs(static_cast<double>(s.MaxIndex)) * 1.12 / s.LatticeA : 0;
  }
  if (!std::isfinite(r)) r = 0;
  const double g = Settings.SquareXY ? 1.0 : 0.5;
  const double f = Settings.Octant ? 0.1 : 1.15;
  const std::array<int32_t, 3> c = PerpendicularIndices();

  TVector3DSeries& axes = *scene.Charts.SeriesVecRecipr;
  axes.Clear();
  TVector d1{r, 0, 0};
  RotateVector(-Settings.Phi, r, 0, 0, 0, 0, 1, d1.x, d1.y, d1.z);
  const auto& p = Settings.IncPlanePoint;
  recip::AddArrow(axes, 1.15 * d1, -(f * d1), IndexLabel(p[0], p[1], p[2]), clBlack);
  TVector d2 = d1;
  RotateVector(Pi / 2, d1.x, d1.y, d1.z, 0, 0, 1, d2.x, d2.y, d2.z);
  recip::AddArrow(axes, -(1.15 * g * d2), f * g * d2, IndexLabel(c[0], c[1], c[2]), clBlack);
  const auto& n = Settings.Normal;
  recip::AddArrow(axes, {0, 0, 1.1 * r}, {0, 0, -0.1 * r}, IndexLabel(n[0], n[1], n[2]), clBlack);
}

void MarkReflection(TSceneContext& scene, TVisStructure& s, int32_t h, int32_t k, int32_t l) {
  TVector& q = s.HVector;
  s.ReciprocalVector(h, k, l, q.x, q.y, q.z);
  if (s.Slot != SlotBeside2) scene.Charts.SeriesVecRecipr2->Clear();
  recip::AddNode(*scene.Charts.SeriesPointRes, q, Settings.NodeRadius, IndexLabel(h, k, l, false), s.NodeColour);
  recip::AddArrow(*scene.Charts.SeriesVecRecipr2, {}, q, {}, s.VectorColour);
}

}  // namespace korvex
