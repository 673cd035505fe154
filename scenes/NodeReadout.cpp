#include "scenes/NodeReadout.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "crystal/CompositeStructure.h"
#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/RealSpace.h"
#include "scenes/ReciprocalLattice.h"

namespace korvex {

namespace {

constexpr const char* InvA = " Å⁻¹";

std::string Format(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

// "a > b" with as many decimals (two at least) as it takes for the two numbers to differ.
std::string Compare(const char* left, double a, const char* op, const char* right, double b,
                    const char* unit) {
  int digits = 2;
  while (digits < 8 && Format("%.*f", digits, a) == Format("%.*f", digits, b)) ++digits;
  return Format("%s = %.*f%s %s %s = %.*f%s", left, digits, a, unit, op, right, digits, b, unit);
}

bool Finite3(const TVector& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

double Length(const TVector& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

double Deg(double radians) { return radians * 180 / Pi; }

bool Passes(const TVector& k0, const TVector& q) { return k0.z <= 0 && k0.z + q.z >= -Tolerance; }

// The wave the solver keeps: the second if it passes, else the first if it does, else the one
// that enters deeper.
int Preferred(const TVector w[2], const TVector& q) {
  if (Passes(w[1], q)) return 1;
  if (Passes(w[0], q)) return 0;
  return w[1].z < w[0].z ? 1 : 0;
}

TBeamAngles AnglesOf(const TVector& k0, const TVector& q, double k) {
  const auto elevation = [k](double z) { return std::asin(std::clamp(z / k, -1.0, 1.0)); };
  return {-elevation(k0.z), elevation(k0.z + q.z)};
}

std::string LimitingSphere(double length, double k) {
  return "outside the limiting sphere: " + Compare("|Q|", length, ">", "2K", 2 * k, InvA);
}

// The angle between Q and the outward surface normal.
double Psi(const TVector& q) { return std::atan2(std::hypot(q.x, q.y), q.z); }

// Why a wave pair that satisfies the Ewald condition still does not reflect: the incidence or
// the exit of the wave the solver would keep lies below the surface.
std::string BelowSurface(const TVector& k0, const TVector& q, double k) {
  const TBeamAngles a = AnglesOf(k0, q, k);
  const bool incidence = k0.z > 0;
  const char* what = incidence ? "incidence below the surface: " : "exit below the surface: ";
  const double length = Length(q);
  const double theta = std::asin(std::clamp(length / (2 * k), -1.0, 1.0));
  const double psi = Psi(q);
  if (theta < psi) {
    int digits = 1;
    while (digits < 6 && Format("%.*f", digits, Deg(theta)) == Format("%.*f", digits, Deg(psi)))
      ++digits;
    return Format("%sθB = %.*f° < ψ = %.*f°", what, digits, Deg(theta), digits, Deg(psi));
  }
  return Format("%s%s = %.2f°", what, incidence ? "ω" : "exit angle",
                Deg(incidence ? a.Incidence : a.Exit));
}

}  // namespace

std::string BraggReason(const TVisStructure& s, const TVector& q) {
  const double k = s.WaveNumber;
  if (!Finite3(q) || !std::isfinite(k)) return "no finite vector";
  const double length = Length(q);
  if (length > 2 * k) return LimitingSphere(length, k);
  if (q.z < -Tolerance) return Format("Q points into the crystal: Qz = %.4f%s < 0", q.z, InvA);
  if (q.z < 0) return "Q lies in the surface: Qz = 0";
  if (IsBraggAccessible(s, q.x, q.y, q.z)) return {};
  TVector w[2];
  if (BraggPlaneWaves(s, q, w) == 0) {
    const TVector& n = s.IncidencePlaneNormal;
    const double along = q.x * n.x + q.y * n.y + q.z * n.z;
    const double inPlane = Length({q.x - along * n.x, q.y - along * n.y, q.z - along * n.z});
    if (std::fabs(q.z) <= Tolerance) return "Q lies in the surface: Qz = 0";
    if (inPlane <= Tolerance) return "Q is normal to the plane of incidence";
    return "no incident wave in the plane of incidence meets the Bragg condition: " +
           Compare("|Q|²/2|Q∥|", length * length / (2 * inPlane), ">", "K", k, InvA);
  }
  return BelowSurface(w[Preferred(w, q)], q, k);
}

std::string LaueReason(const TVisStructure& s, const TVector& q) {
  const double k = s.WaveNumber;
  if (!Finite3(q) || !std::isfinite(k)) return "no finite vector";
  const double q2 = q.x * q.x + q.y * q.y + q.z * q.z;
  if (std::sqrt(q2) > 2 * k) return LimitingSphere(std::sqrt(q2), k);
  if (q.y > k)
    return "too far out of the plane of incidence: " + Compare("Qy", q.y, ">", "K", k, InvA);
  if (IsLaueAccessible(s, q.x, q.y, q.z)) return {};
  if (q.z <= Tolerance) {
    return "outside both transmission spheres: " +
           Compare("|Q|²", q2, ">", "2K|Qx|", 2 * k * std::fabs(q.x), " Å⁻²");
  }
  const double sum = q.x * q.x + q.y * q.y;
  const double r = 2 * (q.x * q.x - q.y * q.y);
  const double t = sum * sum - 4 * q.x * q.x * k * k;
  double d = r * r - 4 * t;
  if (std::fabs(d) < Tolerance) d = 0;
  const double top = d < 0 ? -1 : (std::sqrt(d) - r) / 2;
  if (top < 0) return "the diffracted wave would leave through the top surface";
  if (q.z > std::sqrt(top)) {
    return "the diffracted wave would leave through the top surface: " +
           Compare("Qz", q.z, ">", "limit", std::sqrt(top), InvA);
  }
  const double b = 2 * (sum - 2 * k * k);
  double u1 = 0, u2 = 0;
  if (SolveQuadratic(1, b, t, u1, u2)) {
    const double low = std::min(u1, u2);
    if (low >= 0) {
      return "no incident wave in the x–z plane meets the Bragg condition: " +
             Compare("Qz", q.z, "<", "limit", std::sqrt(low), InvA);
    }
  }
  return "no incident wave in the x–z plane meets the Bragg condition";
}

TNodeReadout ReadNode(TVisStructure& s, int32_t h, int32_t k, int32_t l) {
  TNodeReadout r;
  r.Name = s.StructureName;
  r.H = h;
  r.K = k;
  r.L = l;
  TVector q;
  s.ReciprocalVector(h, k, l, q.x, q.y, q.z);
  const double wave = s.WaveNumber;
  r.QLength = Finite3(q) ? Length(q) : 0;
  r.D = r.QLength > Tolerance ? 1 / r.QLength : 0;
  r.InsideSphere = std::isfinite(wave) && wave > 0 && r.QLength <= 2 * wave + Tolerance;
  if (r.InsideSphere) r.Theta = std::asin(std::min(1.0, r.QLength / (2 * wave)));

  if (s.Composite) {
    TCompositeStructure& c = *s.Composite;
    c.SetReflection(h, k, l);
    if (c.ComputeChi()) {
      double minusRe = 0, minusIm = 0;
      c.GetChi(r.Chi0Re, r.Chi0Im, minusRe, minusIm, r.ChiHRe, r.ChiHIm);
      r.F = std::hypot(c.FHRe, c.FHIm);
      const double f0 = std::hypot(c.F0Re, c.F0Im);
      r.HasChi = std::isfinite(r.F) && std::isfinite(r.Chi0Re) && std::isfinite(r.ChiHRe) &&
                 std::isfinite(r.Chi0Im) && std::isfinite(r.ChiHIm);
      r.Forbidden = r.HasChi && (h != 0 || k != 0 || l != 0) && r.F <= 1e-6 * std::max(1.0, f0);
    }
  }
  r.Strength = s.ReflectionStrength(h, k, l);
  if (!std::isfinite(r.Strength)) r.Strength = 0;

  TVector w[2];
  if (r.InsideSphere && r.QLength > Tolerance && BraggPlaneWaves(s, q, w) == 2) {
    const int first = Preferred(w, q);
    r.Solutions.push_back(AnglesOf(w[first], q, wave));
    const TVector& o = w[1 - first];
    if (Length({o.x - w[first].x, o.y - w[first].y, o.z - w[first].z}) > 1e-9 * wave) {
      r.Solutions.push_back(AnglesOf(o, q, wave));
    }
  }
  r.Bragg = IsBraggAccessible(s, q.x, q.y, q.z);
  r.Laue = IsLaueAccessible(s, q.x, q.y, q.z);
  if (!r.Bragg) r.BraggWhy = BraggReason(s, q);
  if (!r.Laue) r.LaueWhy = LaueReason(s, q);
  return r;
}

std::string ReadoutText(const TNodeReadout& r) {
  std::string t = Format("%s %d %d %d\n", r.Name.c_str(), r.H, r.K, r.L);
  if (r.D > 0) {
    t += Format("d = %.4f Å   |Q| = %.4f%s\n", r.D, r.QLength, InvA);
  } else {
    t += "the origin of the reciprocal lattice\n";
  }
  if (r.InsideSphere && r.D > 0) {
    t += Format("θB = %.3f°   2θ = %.3f°\n", Deg(r.Theta), Deg(2 * r.Theta));
  } else if (r.D > 0) {
    t += "no Bragg angle: outside the limiting sphere\n";
  }
  if (r.HasChi) {
    t += Format("|F| = %.2f   strength %.3f\n", r.F, r.Strength);
    t += Format("χ0 = (%.3f %+.3f i)·10⁻⁶\n", r.Chi0Re * 1e6, r.Chi0Im * 1e6);
    t += Format("χh = (%.3f %+.3f i)·10⁻⁶\n", r.ChiHRe * 1e6, r.ChiHIm * 1e6);
  } else {
    t += Format("strength %.3f (no structure factor)\n", r.Strength);
  }
  if (r.Forbidden) t += "forbidden: F = 0\n";
  for (size_t i = 0; i < r.Solutions.size(); ++i) {
    const TBeamAngles& a = r.Solutions[i];
    // The mirror wave of a symmetric reflection has the same angles: said once.
    if (i > 0 && std::fabs(a.Incidence - r.Solutions[0].Incidence) < 1e-9 &&
        std::fabs(a.Exit - r.Solutions[0].Exit) < 1e-9)
      continue;
    t += Format("%s incidence %.3f°, exit %.3f°\n",
                i == 0 ? "Wave:" : "Second wave:", Deg(a.Incidence), Deg(a.Exit));
  }
  t += r.Bragg ? "Bragg case: reachable\n" : "Bragg case: not reachable, " + r.BraggWhy + "\n";
  t += r.Laue ? "Laue case: reachable" : "Laue case: not reachable, " + r.LaueWhy;
  return t;
}

std::string ReachMessage(const TVisStructure& s, int32_t h, int32_t k, int32_t l) {
  const TVector& q = s.HVector;
  const bool solved = s.K0.x != 0 || s.K0.y != 0 || s.K0.z != 0;
  if (solved && IsBraggAccessible(s, q.x, q.y, q.z)) return {};
  if (!Finite3(q) || (q.x == 0 && q.y == 0 && q.z == 0)) return {};
  const std::string name = Format("%s %d %d %d", s.StructureName.c_str(), h, k, l);
  std::string why = BraggReason(s, q);
  if (why.empty()) why = "no incident wave in the plane of incidence meets the Bragg condition";
  if (IsLaueAccessible(s, q.x, q.y, q.z)) {
    return name + " is no Bragg reflection (" + why + "); it is reachable in Laue geometry";
  }
  return name + " cannot be reached: " + why;
}

std::string ComparisonText(TVisStructure& substrate, TVisStructure& layer, int32_t h, int32_t k,
                           int32_t l) {
  const TNodeReadout sub = ReadNode(substrate, h, k, l);
  const TNodeReadout lay = ReadNode(layer, h, k, l);
  const auto line = [](const char* role, const TNodeReadout& r) {
    if (r.Solutions.empty())
      return Format("%s %s: no wave of the plane of incidence\n", role, r.Name.c_str());
    const TBeamAngles& a = r.Solutions.front();
    return Format("%s %s: ω = %.4f°  2θ = %.4f°  exit %.4f°\n", role, r.Name.c_str(),
                  Deg(a.Incidence), Deg(2 * r.Theta), Deg(a.Exit));
  };
  std::string t = line("Substrate", sub) + line("Layer", lay);
  if (!sub.Solutions.empty() && !lay.Solutions.empty()) {
    t += "Δω = " +
         AngleWithArcSeconds(lay.Solutions.front().Incidence - sub.Solutions.front().Incidence) +
         "\n";
    t += "Δ2θ = " + AngleWithArcSeconds(2 * (lay.Theta - sub.Theta));
  } else {
    t += "Δω, Δ2θ: no pair of waves";
  }
  return t;
}

std::string SolvedComparisonText(const TVisStructure& sub, const TVisStructure& lay) {
  const auto solved = [](const TVisStructure& s) {
    return s.K0.x != 0 || s.K0.y != 0 || s.K0.z != 0;
  };
  const auto line = [&](const char* role, const TVisStructure& s) {
    if (!solved(s)) return Format("%s %s: out of reach\n", role, s.StructureName.c_str());
    return Format("%s %s: ω = %.4f°  2θ = %.4f°  exit %.4f°\n", role, s.StructureName.c_str(),
                  Deg(s.IncidenceAngle), Deg(s.ScatteringAngle), Deg(s.ExitAngle));
  };
  std::string t = line("Substrate", sub) + line("Layer", lay);
  if (solved(sub) && solved(lay)) {
    t += "Δω = " + AngleWithArcSeconds(lay.IncidenceAngle - sub.IncidenceAngle) + "\n";
    t += "Δ2θ = " + AngleWithArcSeconds(lay.ScatteringAngle - sub.ScatteringAngle);
  } else {
    t += "Δω, Δ2θ: no pair of waves";
  }
  return t;
}

void DrawNodePlanes(TSceneContext& scene, const TVisStructure& s, int32_t h, int32_t k, int32_t l) {
  const std::array<int32_t, 3> hkl = Settings.Hkl;
  const bool braggLaw = Settings.BraggLaw;
  Settings.Hkl = {h, k, l};
  Settings.BraggLaw = false;
  DrawPlanes(scene, s, s.Corners);
  Settings.Hkl = hkl;
  Settings.BraggLaw = braggLaw;
}

std::string AngleWithArcSeconds(double radians) {
  return Format("%+.4f° (%+.1f″)", Deg(radians), Deg(radians) * 3600);
}

}  // namespace korvex
