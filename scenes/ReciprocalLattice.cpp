#include "scenes/ReciprocalLattice.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/ReciprocalDrawing.h"

namespace korvex {

using frame::operator+;
using frame::operator-;
using frame::operator*;

namespace {

constexpr double WeakNode = 0.01;

// |Q| <= 2K, with the program-wide zero so that a node on the sphere counts whatever the
// rounding of its vector.
bool InsideLimitingSphere(const TVisStructure& s, const TVector& q) {
  return frame::Length(q) <= 2 * s.WaveNumber + Tolerance;
}

// The lattice parameter of structure 1, which sets the length of the Q arrows of the
// real-space chart; the node radius was derived from it (0.1 / a with two structures shown,
// else 0.2 / a).
double LatticeOfStructure1(const TVisStructure& s) {
  const bool pair = s.Slot == SlotBeside1 || s.Slot == SlotBeside2;
  const double a = (pair ? 0.1 : 0.2) / Settings.NodeRadius;
  return std::isfinite(a) && a > 0 ? a : s.LatticeA;
}

bool PassesAccessibility(const TVisStructure& s, const TVector& q, bool crossSection) {
  if (!Settings.OnlyBragg && !Settings.OnlyLaue) return true;
  const bool bragg = Settings.OnlyBragg && IsBraggAccessible(s, q.x, q.y, q.z);
  const bool laue = Settings.OnlyLaue && IsLaueAccessible(s, q.x, q.y, q.z);
  if (crossSection) return Settings.OnlyBragg && Settings.OnlyLaue && bragg && laue;
  return bragg || laue;
}

bool PassesBox(const TVisStructure& s, const TVector& q) {
  const auto& b = Settings.NRecLimit;
  if (b[0] <= 0 && b[1] <= 0 && b[2] <= 0) return true;
  const double u = frame::Length(s.RecA);
  return std::fabs(q.x) <= b[0] * u + Tolerance && std::fabs(q.y) <= b[1] * u + Tolerance &&
         std::fabs(q.z) <= b[2] * u + Tolerance;
}

void AddMultiBeamArrows(TSceneContext& scene, const TVisStructure& s, const TVector& q) {
  TChartCatalogue& c = scene.Charts;
  recip::AddArrow(*c.SeriesBeamsRec2, -s.K0, q, "Kh", s.DiffractedColour);
  recip::AddArrow(*c.SeriesBeamsRec2, {}, q, "Q", clGray);
  recip::AddArrow(*c.SeriesBeams2, {}, (1.5 * Settings.RealExtent) * (q + s.K0), "Kh", s.DiffractedColour);
  const double length = frame::Length(q);
  if (length > 0) recip::AddArrow(*c.SeriesVec2, {}, (LatticeOfStructure1(s) / length) * q, "Q", s.VectorColour);
}

}  // namespace

int BraggPlaneWaves(const TVisStructure& s, const TVector& q, TVector out[2]) {
  const double k = s.WaveNumber;
  const double qx = q.x, qy = q.y, qz = q.z;
  const double g = qx * qx + qy * qy + qz * qz;
  const TVector& n = s.IncidencePlaneNormal;
  const double p = qy * n.z - qz * n.y;
  const double r = qx * n.z - qz * n.x;
  const double a = p * p + r * r + Sqr(qy * n.x - qx * n.y);
  double x[2] = {0, 0}, y[2] = {0, 0};
  if (std::fabs(p) > Tolerance) {
    const double b = -g * (n.x * (qz * n.z + qy * n.y) - qx * (n.y * n.y + n.z * n.z));
    const double c = (n.y * n.y + n.z * n.z) * g * g / 4 - k * k * p * p;
    if (std::fabs(a) <= Tolerance && std::fabs(b) <= Tolerance) return 0;
    if (!SolveQuadratic(a, b, c, x[0], x[1])) return 0;
    for (int i = 0; i < 2; ++i) y[i] = (-r * x[i] - n.z * g / 2) / p;
  } else if (std::fabs(r) > Tolerance) {
    const double b = -g * (n.y * (qz * n.z + qx * n.x) - qy * (n.x * n.x + n.z * n.z));
    const double c = (n.x * n.x + n.z * n.z) * g * g / 4 - k * k * r * r;
    if (std::fabs(a) <= Tolerance && std::fabs(b) <= Tolerance) return 0;
    if (!SolveQuadratic(a, b, c, y[0], y[1])) return 0;
    for (int i = 0; i < 2; ++i) x[i] = (-p * y[i] - n.z * g / 2) / r;
  } else {
    return 0;
  }
  for (int i = 0; i < 2; ++i) {
    const double c = -g / 2 - qx * x[i] - qy * y[i];
    const double root = std::sqrt(std::max(0.0, k * k - x[i] * x[i] - y[i] * y[i]));
    out[i] = {x[i], y[i], c > 0 ? root : (c < 0 ? -root : 0.0)};
  }
  return 2;
}

bool IsBraggAccessible(const TVisStructure& s, double qx, double qy, double qz) {
  const double k = s.WaveNumber;
  const double g = qx * qx + qy * qy + qz * qz;
  if (!recip::FiniteAll(qx, qy, qz, k)) return false;
  if (std::sqrt(g) > 2 * k || qz < 0) return false;
  TVector w[2];
  if (BraggPlaneWaves(s, {qx, qy, qz}, w) == 0) return false;
  // The same acceptance as the wave-vector solver: a grazing exit counts as an exit.
  for (const TVector& k0 : w)
    if (k0.z <= 0 && k0.z + qz >= -Tolerance) return true;
  return false;
}

bool IsLaueAccessible(const TVisStructure& s, double qx, double qy, double qz) {
  const double k = s.WaveNumber;
  if (!recip::FiniteAll(qx, qy, qz, k)) return false;
  const double q2 = qx * qx + qy * qy + qz * qz;
  if (std::sqrt(q2) > 2 * k || qy > k) return false;
  if (qz <= Tolerance) return q2 <= 2 * k * std::fabs(qx);
  const double sum = qx * qx + qy * qy;
  const double r = 2 * (qx * qx - qy * qy);
  const double t = sum * sum - 4 * qx * qx * k * k;
  double d = r * r - 4 * t;
  if (std::fabs(d) < Tolerance) d = 0;
  if (d < 0) return false;
  const double top = (std::sqrt(d) - r) / 2;
  if (top < 0 || qz > std::sqrt(top)) return false;
  const double b = 2 * (sum - 2 * k * k);
  const double c = sum * sum - 4 * qx * qx * k * k;
  double u1 = 0, u2 = 0;
  if (!SolveQuadratic(1, b, c, u1, u2)) return false;
  const double low = std::min(u1, u2);
  return low < 0 || qz >= std::sqrt(low);
}

bool IsMultiBeamNode(const TVisStructure& s, double qx, double qy, double qz) {
  const double k = s.WaveNumber;
  const double x = qx + s.K0.x, y = qy + s.K0.y, z = qz + s.K0.z;
  return std::fabs(x * x + y * y + z * z - k * k) < Sqr(0.1 * k);
}

void DrawRecNodes3D(TSceneContext& scene, TVisStructure& s) {
  DrawReciprocalAxes(scene, s);
  if (Settings.MultiBeam) DrawKhSphere(scene, s, true);
  TBubble3DSeries& nodes = *scene.Charts.SeriesPointRes;
  const int32_t n = IntAbs(s.MaxIndex);
  const bool both = s.MaxIndex > 0;
  const bool crossSection = Settings.PlaneDivisor == 2;
  const double radius = 2 * Settings.NodeRadius;
  for (int32_t h = 0; h <= n; ++h) {
    for (int32_t k = 0; k <= n; ++k) {
      for (int32_t l = 0; l <= n; ++l) {
        bool weighed = false;
        double w = 0;
        std::string plain;
        // A zero index has one sign only: its two variants are the same node.
        for (int32_t sh = (both && h != 0) ? -1 : 1; sh <= 1; sh += 2) {
          for (int32_t sk = (both && k != 0) ? -1 : 1; sk <= 1; sk += 2) {
            for (int32_t sl = (both && l != 0) ? -1 : 1; sl <= 1; sl += 2) {
              const int32_t ih = sh * h, ik = sk * k, il = sl * l;
              TVector q;
              s.ReciprocalVector(ih, ik, il, q.x, q.y, q.z);
              // Each signed node is tested itself: in an oblique cell the sign variants of one
              // triple lie at different distances from the origin.
              if (!InsideLimitingSphere(s, q)) continue;
              if (Settings.Octant) {
                if (q.x < -Tolerance || q.y > Tolerance) continue;
                if (Settings.OnlyBragg && q.z < -Tolerance) continue;
              }
              if (!weighed) {
                w = s.ReflectionStrength(h, k, l);
                if (!std::isfinite(w)) w = 0;
                weighed = true;
              }
              const bool weak = Settings.UseHi && w < WeakNode;
              const std::string label = weak ? " " : IndexLabel(ih, ik, il);
              if (Settings.MultiBeam && IsMultiBeamNode(s, q.x, q.y, q.z) && (!Settings.UseHi || w >= WeakNode)) {
                recip::AddNode(nodes, q, radius * w, label, clRed);
                if (q.x != 0 || q.y != 0 || q.z != 0) AddMultiBeamArrows(scene, s, q);
                continue;  // added once, whatever the filters say
              }
              if (!PassesAccessibility(s, q, crossSection)) continue;
              if (!PassesBox(s, q)) continue;
              recip::AddNode(nodes, q, radius * w, label, s.NodeColour);
            }
          }
        }
      }
    }
  }
}

void DrawRecNodes2D(TSceneContext& scene, TVisStructure& s) {
  TBubble3DSeries& nodes = *scene.Charts.SeriesPointRes;
  const int32_t n = IntAbs(s.MaxIndex);
  const int32_t lo = s.MaxIndex > 0 ? -n : 0;
  const TVector& normal = s.IncidencePlaneNormal;
  for (int32_t h = lo; h <= n; ++h) {
    for (int32_t k = lo; k <= n; ++k) {
      for (int32_t l = lo; l <= n; ++l) {
        TVector q;
        s.ReciprocalVector(h, k, l, q.x, q.y, q.z);
        if (!InsideLimitingSphere(s, q) || !(std::fabs(frame::Dot(q, normal)) < Tolerance)) continue;
        if (!PassesAccessibility(s, q, false)) continue;
        double w = s.ReflectionStrength(h, k, l);
        if (!std::isfinite(w)) w = 0;
        recip::AddNode(nodes, q, 2 * w * Settings.NodeRadius, w < WeakNode ? " " : IndexLabel(h, k, l),
                       s.NodeColour);
      }
    }
  }
}

void ShowReciprocal3D(TSceneContext& scene, TVisStructure& s) {
  DrawClassicalSpheres(scene, s);
  s.ReciprocalVector(Settings.Hkl[0], Settings.Hkl[1], Settings.Hkl[2], s.HVector.x, s.HVector.y, s.HVector.z);
  s.SolveWaveVectors();
  DrawAccessibleRegions(scene, s);
  DrawReciprocalAxes(scene, s);
  DrawResolutionPlanes(scene, s);
  DrawRecNodes3D(scene, s);
}

void ShowReciprocal2D(TSceneContext& scene, TVisStructure& s) {
  DrawClassicalSpheres(scene, s);
  DrawReciprocalAxes(scene, s);
  DrawResolutionPlanes(scene, s);
  DrawRecNodes2D(scene, s);
}

}  // namespace korvex
