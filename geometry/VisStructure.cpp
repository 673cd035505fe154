#include "geometry/VisStructure.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numeric>

#include "crystal/CompositeStructure.h"
#include "geometry/Strain.h"

namespace korvex {

namespace {

// Angles from cosines that rounding may have pushed just past +-1.
double SafeAcos(double c) { return std::acos(std::clamp(c, -1.0, 1.0)); }

bool UsableLength(double x) { return std::isfinite(x) && x > Tolerance; }

void Rotate(TVector& v, double angle, const TVector& axis) {
  RotateVector(angle, v.x, v.y, v.z, axis.x, axis.y, axis.z, v.x, v.y, v.z);
}

TVector Scaled(const TVector& v, double f) { return {v.x * f, v.y * f, v.z * f}; }

TVector Sum(const TVector& a, const TVector& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

bool Finite(const TVector& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

std::string IndexText(int64_t h, int64_t k, int64_t l) {
  return std::to_string(h) + " " + std::to_string(k) + " " + std::to_string(l);
}

// The whole-number indices of the in-surface direction of the plane-of-incidence point p
// (l = 0) for the normal n: |n|^2 p - (p . n) n, divided by the greatest common divisor of its
// components. False when the indices are too large to write in 32 bits or the projection is 0.
bool ProjectedPoint(const std::array<int32_t, 3>& n, int32_t ph, int32_t pk,
                    std::array<int32_t, 3>& out) {
  constexpr int64_t kLimit = int64_t{1} << 20;  // keeps every product below 2^63
  const int64_t v[3] = {n[0], n[1], n[2]};
  const int64_t p[3] = {ph, pk, 0};
  for (int i = 0; i < 3; ++i) {
    if (std::llabs(v[i]) > kLimit || std::llabs(p[i]) > kLimit) return false;
  }
  const int64_t nn = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
  const int64_t pn = p[0] * v[0] + p[1] * v[1];
  int64_t r[3];
  int64_t g = 0;
  for (int i = 0; i < 3; ++i) {
    r[i] = nn * p[i] - pn * v[i];
    g = std::gcd(g, r[i]);
  }
  if (g == 0) return false;
  for (int i = 0; i < 3; ++i) {
    r[i] /= g;
    if (r[i] > std::numeric_limits<int32_t>::max() || r[i] < std::numeric_limits<int32_t>::min())
      return false;
  }
  out = {static_cast<int32_t>(r[0]), static_cast<int32_t>(r[1]), static_cast<int32_t>(r[2])};
  return true;
}

}  // namespace

size_t TVisStructure::KeyHash::operator()(const std::array<int32_t, 3>& k) const noexcept {
  size_t h = 1469598103934665603ull;
  for (int32_t v : k) h = (h ^ static_cast<uint32_t>(v)) * 1099511628211ull;
  return h;
}

TVisStructure::TVisStructure(TSettings& settings)
    : Composite(std::make_unique<TCompositeStructure>(0, 0, 0, 1.54, 4, 0, 0, 0, "Si", 1)),
      Settings(settings) {
  SetPalette();
}

TVisStructure::~TVisStructure() = default;

void TVisStructure::AddMessage(const std::string& text) {
  if (!Message.empty()) Message += " ";
  Message += text;
}

bool TVisStructure::Setup(int32_t slot) {
  Message.clear();
  bool ok = true;
  double lambda = Settings.Lambda;
  if (WavelengthValid(lambda)) {
    LastLambda_ = lambda;
  } else {
    AddMessage(WavelengthMessage(lambda) + " " + FormatNumber(LastLambda_) + " A is used instead.");
    lambda = LastLambda_;
    ok = false;
  }
  WaveNumber = 1 / lambda;

  Composite->Init(0, 0, 0, lambda, 0, 0, 1, 0, StructureName, 1);
  bool loaded = Composite->LoadLattice();
  if (loaded) {
    Composite->GetLattice(LatticeA, LatticeB, LatticeC);
    if (!UsableLength(LatticeA) || !UsableLength(LatticeB) || !UsableLength(LatticeC)) {
      loaded = false;
    }
  }
  if (loaded) {
    Composite->ComputePoissonRatio();
    Composite->GetPoissonRatio(PoissonRatio);
    if (Settings.UseRefraction && Composite->ComputeChi()) {
      double chi[6];
      Composite->GetChi(chi[0], chi[1], chi[2], chi[3], chi[4], chi[5]);
      // The refractive index is 1 + chi0 / 2.
      if (std::fabs(chi[0]) > Tolerance && std::isfinite(chi[0])) {
        WaveNumber = (1 + chi[0] / 2) / lambda;
      }
    }
  } else {
    LatticeA = LatticeB = LatticeC = 1.0;
    PoissonRatio = 0.5;
    std::string why = Composite->GetMessage();
    if (why.empty()) why = "The structure \"" + StructureName + "\" could not be loaded.";
    AddMessage(why);
    ok = false;
  }
  if (ManualA > Tolerance && ManualB > Tolerance && ManualC > Tolerance) {
    // Cells far beyond any crystal's overflow the squared lengths of the drawings.
    if (ManualA <= MaxManualLattice && ManualB <= MaxManualLattice && ManualC <= MaxManualLattice) {
      LatticeA = ManualA;
      LatticeB = ManualB;
      LatticeC = ManualC;
    } else {
      AddMessage("Lattice parameters above " + FormatNumber(MaxManualLattice) +
                 " A cannot be used; the lattice of \"" + StructureName + "\" stands.");
    }
  }
  OutOfPlaneAngle = 0;
  if (!AzimuthFanActive) AzimuthAngle = 0;
  UpdateMaxIndex();
  Slot = slot;
  SetPalette();
  if (Host_ != nullptr) Host_->StyleBlackWhite(Settings.BlackWhite);
  if (CacheName_ != StructureName) {
    ReflectionCache_.clear();
    CacheIndex_.clear();
    CacheName_ = StructureName;
  }
  return ok;
}

void TVisStructure::UpdateMaxIndex() {
  const double longest = std::max({LatticeA, LatticeB, LatticeC});
  const double m = 2 * longest * WaveNumber + 0.1;
  if (!(m < Settings.NRecMax)) {  // also for a value that is not a number
    MaxIndex = Settings.NRecMax;
  } else {
    MaxIndex = m > 0 ? static_cast<int32_t>(m) : 0;
  }
}

void TVisStructure::SetPalette() {
  const bool second = Slot == SlotAlone2 || Slot == SlotBeside2;
  if (!Settings.BlackWhite) {
    NodeColour = second ? 0x008000 : 0xFF0000;
    VectorColour = second ? 0x808000 : 0x800000;
    SurfaceColour = second ? 0x808000 : 0x800000;
    IncidentColour = 0x0000FF;
    DiffractedColour = 0x00FF00;
  } else {
    NodeColour = second ? 0xFFFFFF : 0x000000;
    VectorColour = second ? 0xC0C0C0 : 0x000000;
    SurfaceColour = second ? 0xFFFFFF : 0x808080;
    IncidentColour = 0x000000;
    DiffractedColour = 0xC0C0C0;
  }
}

bool TVisStructure::BuildLattice(double& a, double& b, double& c, double& alpha, double& beta,
                                 double& gamma) {
  bool ok = true;
  a = LatticeA;
  b = LatticeB;
  c = LatticeC;
  if (UsableLength(a) && UsableLength(b) && UsableLength(c)) {
    ValidA_ = a;
    ValidB_ = b;
    ValidC_ = c;
  } else {
    AddMessage("The lattice parameters " + FormatNumber(a) + ", " + FormatNumber(b) + ", " +
               FormatNumber(c) + " A give no lattice; the last valid ones are used.");
    a = ValidA_;
    b = ValidB_;
    c = ValidC_;
    ok = false;
  }
  alpha = Alpha;
  beta = Beta;
  gamma = Gamma;
  const double sg = std::sin(gamma);
  const double q = std::cos(alpha) / sg - std::cos(beta) / std::tan(gamma);
  const double root = 1 - Sqr(std::cos(beta)) - Sqr(q);
  if (std::isfinite(alpha) && std::isfinite(beta) && std::isfinite(gamma) &&
      std::fabs(sg) > Tolerance && std::isfinite(q) && root > Tolerance) {
    ValidAlpha_ = alpha;
    ValidBeta_ = beta;
    ValidGamma_ = gamma;
  } else {
    AddMessage("The cell angles " + FormatNumber(alpha * RadToDeg) + ", " +
               FormatNumber(beta * RadToDeg) + ", " + FormatNumber(gamma * RadToDeg) +
               " degrees give no lattice; the last valid angles (" +
               FormatNumber(ValidAlpha_ * RadToDeg) + ", " + FormatNumber(ValidBeta_ * RadToDeg) +
               ", " + FormatNumber(ValidGamma_ * RadToDeg) + ") are used.");
    alpha = ValidAlpha_;
    beta = ValidBeta_;
    gamma = ValidGamma_;
    ok = false;
  }
  return ok;
}

bool TVisStructure::ComputeGeometry() {
  bool ok = true;
  // A Setup refused the wavelength already; here a WaveNumber set from outside is checked.
  double k = WaveNumber;
  if (!std::isfinite(k) || !(k > 0)) {
    AddMessage("The wave number " + FormatNumber(k) + " cannot be used; " +
               FormatNumber(1 / LastLambda_) + " 1/A is used instead.");
    k = WaveNumber = 1 / LastLambda_;
    ok = false;
  }
  K0 = Kh = {0, 0, k};
  K0Second = KhSecond = {};

  // Direct and reciprocal lattice.
  double a, b, c, alpha, beta, gamma;
  ok = BuildLattice(a, b, c, alpha, beta, gamma) && ok;
  const double q = std::cos(alpha) / std::sin(gamma) - std::cos(beta) / std::tan(gamma);
  VecA = {a, 0, 0};
  VecB = {b * std::cos(gamma), b * std::sin(gamma), 0};
  VecC = {c * std::cos(beta), c * q, c * std::sqrt(1 - Sqr(std::cos(beta)) - Sqr(q))};
  const double volume =
      a * b * c *
      std::sqrt(1 - Sqr(std::cos(alpha)) - Sqr(std::cos(beta)) - Sqr(std::cos(gamma)) +
                2 * std::cos(alpha) * std::cos(beta) * std::cos(gamma));
  Cross(VecB.x, VecB.y, VecB.z, VecC.x, VecC.y, VecC.z, RecA.x, RecA.y, RecA.z);
  Cross(VecC.x, VecC.y, VecC.z, VecA.x, VecA.y, VecA.z, RecB.x, RecB.y, RecB.z);
  Cross(VecA.x, VecA.y, VecA.z, VecB.x, VecB.y, VecB.z, RecC.x, RecC.y, RecC.z);
  RecA = Scaled(RecA, 1 / volume);
  RecB = Scaled(RecB, 1 / volume);
  RecC = Scaled(RecC, 1 / volume);
  TVector* const lattice[6] = {&RecA, &RecB, &RecC, &VecA, &VecB, &VecC};

  // Turn the surface normal onto +z.
  std::array<int32_t, 3>& n = Settings.Normal;
  if (n[0] == 0 && n[1] == 0 && n[2] == 0) {
    AddMessage("The surface normal 0 0 0 is no direction; 0 0 1 is used.");
    n = {0, 0, 1};
    ok = false;
  }
  TVector normal = Sum(Sum(Scaled(RecA, n[0]), Scaled(RecB, n[1])), Scaled(RecC, n[2]));
  Normalize(normal.x, normal.y, normal.z);
  TVector axis;
  Cross(normal.x, normal.y, normal.z, 0, 0, 1, axis.x, axis.y, axis.z);
  if (VectorLength(axis.x, axis.y, axis.z) > Tolerance) {
    const double angle = SafeAcos(normal.z);
    for (TVector* v : lattice) Rotate(*v, angle, axis);
  } else if (normal.z < 0) {
    // Normal along -z: a half turn about x brings it up.
    for (TVector* v : lattice) Rotate(*v, Pi, {1, 0, 0});
  }
  SurfaceNormal = {0, 0, 1};

  // Turn about z so that the in-surface direction of the plane-of-incidence point lies along
  // +x, then by -Phi.
  std::array<int32_t, 3>& p = Settings.IncPlanePoint;
  const auto inSurface = [&](int32_t ph, int32_t pk, TVector& d) {
    const TVector full = Sum(Scaled(RecA, ph), Scaled(RecB, pk));
    d = {full.x, full.y, 0};
    const double fullLength = VectorLength(full.x, full.y, full.z);
    return fullLength > 0 && VectorLength(d.x, d.y, 0) > Tolerance * fullLength;
  };
  TVector d;
  if (!inSurface(p[0], p[1], d)) {
    const std::array<int32_t, 3> substitute =
        inSurface(1, 0, d) ? std::array<int32_t, 3>{1, 0, 0} : std::array<int32_t, 3>{0, 1, 0};
    if (substitute[1] == 1) inSurface(0, 1, d);
    AddMessage("The plane of incidence cannot go through " + IndexText(p[0], p[1], 0) +
               ", which lies along the surface normal; it goes through " +
               IndexText(substitute[0], substitute[1], 0) + " instead.");
    p = substitute;
    ok = false;
  }
  const double phi = std::isfinite(Settings.Phi) ? Settings.Phi : 0;
  const double turn = -std::atan2(d.y, d.x) - phi;
  for (TVector* v : lattice) Rotate(*v, turn, {0, 0, 1});
  SurfaceDirection = {1, 0, 0};

  // The plane-of-incidence point in indices of the frame's x direction.
  std::array<int32_t, 3> point;
  if (ProjectedPoint(n, p[0], p[1], point)) {
    p = point;
  } else {
    AddMessage("The indices of the plane of incidence are too large to rewrite.");
    ok = false;
  }

  // Corners of the block to draw.
  const int32_t m = Settings.NReal;
  if (m >= 0) {
    const double f = 1.1 * m;
    const double signs[8][3] = {{1, 1, 1},  {1, -1, 1},  {-1, -1, 1},  {-1, 1, 1},
                                {1, 1, -1}, {1, -1, -1}, {-1, -1, -1}, {-1, 1, -1}};
    for (int i = 0; i < 8; ++i) {
      const TVector s =
          Sum(Sum(Scaled(VecA, signs[i][0]), Scaled(VecB, signs[i][1])), Scaled(VecC, signs[i][2]));
      const bool upper = i < 4;
      const bool half = (upper && Slot == SlotBeside1) || (!upper && Slot == SlotBeside2);
      Corners[i] = {f * s.x, f * s.y, (half ? 0.5 : f) * s.z};
    }
  } else {
    const double f = -static_cast<double>(m);
    const TVector ab = Sum(VecA, VecB);
    const TVector cells[8] = {Sum(ab, VecC), Sum(VecA, VecC), VecC, Sum(VecB, VecC), ab, VecA, {},
                              VecB};
    for (int i = 0; i < 8; ++i) Corners[i] = Scaled(cells[i], f);
  }
  Extent = {};
  for (const TVector& corner : Corners) {
    Extent.x = std::max(Extent.x, std::fabs(corner.x));
    Extent.y = std::max(Extent.y, std::fabs(corner.y));
    Extent.z = std::max(Extent.z, std::fabs(corner.z));
  }

  IncidencePlaneNormal = {0, 1, 0};  // SurfaceDirection turned about the normal by pi/2
  ReciprocalVector(Settings.Hkl[0], Settings.Hkl[1], Settings.Hkl[2], HVector.x, HVector.y,
                   HVector.z);
  IncidenceAngle = ScatteringAngle = ExitAngle = 0;
  return ok;
}

void TVisStructure::ReciprocalVector(int32_t h, int32_t k, int32_t l, double& x, double& y,
                                     double& z) const {
  x = h * RecA.x + k * RecB.x + l * RecC.x;
  y = h * RecA.y + k * RecB.y + l * RecC.y;
  z = h * RecA.z + k * RecB.z + l * RecC.z;
}

void TVisStructure::SolveWaveVectors() {
  const TVector h = HVector;
  const TVector y = IncidencePlaneNormal;
  const TVector n = SurfaceNormal;
  const double k = WaveNumber;
  const double h2 = Dot(h.x, h.y, h.z, h.x, h.y, h.z);
  K0Second = KhSecond = {};

  double x1 = 0, x2 = 0;
  bool solved = false;
  if (std::isfinite(k) && k > 0 && Finite(h)) {
    const double a =
        Sqr(h.y * y.z - y.y * h.z) + Sqr(h.z * y.x - y.z * h.x) + Sqr(h.y * y.x - y.y * h.x);
    const double b = -h2 * (h.y * y.x * y.y + h.z * y.x * y.z - (y.z * y.z + y.y * y.y) * h.x);
    const double c = 0.25 * h2 * h2 * (y.z * y.z + y.y * y.y) - Sqr((h.y * y.z - y.y * h.z) * k);
    solved = SolveQuadratic(a, b, c, x1, x2) && std::fabs(x1) <= k && std::fabs(x2) <= k &&
             std::sqrt(h2) <= 2 * k;
  }
  if (!solved) {
    // No reflection: a substitute pair for the drawings, zero wave vectors and angles.
    K0Second = {-h.x, 0, -h.z};
    if (std::fabs(h.x) < Tolerance && std::fabs(h.z) < Tolerance) K0Second.z = -k;
    const double kk = std::isfinite(k) ? k : 0;
    if (Normalize(K0Second.x, K0Second.y, K0Second.z)) {
      K0Second.x *= kk;
      K0Second.z *= kk;
    }
    if (!Finite(K0Second)) K0Second = {};
    KhSecond = Sum(K0Second, h);
    if (Normalize(KhSecond.x, KhSecond.y, KhSecond.z)) KhSecond = Scaled(KhSecond, kk);
    if (!Finite(KhSecond)) KhSecond = {};
    K0 = Kh = {};
    IncidenceAngle = ScatteringAngle = ExitAngle = 0;
    return;
  }

  const double xs[2] = {x1, x2};
  TVector sol[2];
  for (int i = 0; i < 2; ++i) {
    double yi = 0;
    const double den = y.z * h.y - y.y * h.z;
    if (!Settings.RecomputeDone && std::fabs(den) > Tolerance) {
      yi = (-0.5 * h2 * y.z + (y.x * h.z - y.z * h.x) * xs[i]) / den;
    }
    const double r = std::sqrt(std::max(0.0, k * k - xs[i] * xs[i] - yi * yi));
    double zi;
    if (std::fabs(h.z) <= Tolerance) {
      zi = i == 0 ? r : -r;
    } else {
      const double sign = (-0.5 * h2 - xs[i] * h.x - yi * h.y) * h.z;
      zi = sign < 0 ? -r : r;
    }
    sol[i] = {xs[i], yi, zi};
  }
  const auto passes = [&](const TVector& s) { return !(s.z > 0) && !(s.z + h.z < -Tolerance); };
  int chosen;
  if (passes(sol[1])) {
    chosen = 1;
  } else if (passes(sol[0])) {
    chosen = 0;
  } else {
    chosen = sol[1].z < sol[0].z ? 1 : 0;
  }
  K0 = sol[chosen];
  K0Second = Settings.BothBeams ? sol[1 - chosen] : TVector{};
  Kh = Sum(K0, h);
  KhSecond = Sum(K0Second, h);

  TVector& s = ScatteringPlaneNormal;
  Cross(K0.x, K0.y, K0.z, h.x, h.y, h.z, s.x, s.y, s.z);
  if (!Normalize(s.x, s.y, s.z)) s = {};
  Rotate(K0, -Settings.OmegaShift, s);
  Rotate(Kh, Settings.TwoThetaShift - Settings.OmegaShift, s);
  if (!SameValue(0, OutOfPlaneAngle)) {
    TVector axis;
    Cross(Kh.x, Kh.y, Kh.z, s.x, s.y, s.z, axis.x, axis.y, axis.z);
    Rotate(Kh, OutOfPlaneAngle, axis);
  }
  if (!SameValue(0, AzimuthAngle)) {
    Rotate(K0, AzimuthAngle, {0, 0, 1});
    Rotate(Kh, AzimuthAngle, {0, 0, 1});
    Rotate(s, AzimuthAngle, {0, 0, 1});
  }
  // The angles from sines and cosines together: acos loses digits near 0 and pi.
  TVector cross;
  Cross(K0.x, K0.y, K0.z, Kh.x, Kh.y, Kh.z, cross.x, cross.y, cross.z);
  ScatteringAngle =
      std::atan2(VectorLength(cross.x, cross.y, cross.z), Dot(K0.x, K0.y, K0.z, Kh.x, Kh.y, Kh.z));
  const auto elevation = [&](const TVector& v) {
    const double up = Dot(v.x, v.y, v.z, n.x, n.y, n.z);
    const double along = VectorLength(v.x - up * n.x, v.y - up * n.y, v.z - up * n.z);
    return std::atan2(up, along);
  };
  IncidenceAngle = -elevation(K0);
  ExitAngle = elevation(Kh);
  if (!std::isfinite(ScatteringAngle) || !std::isfinite(IncidenceAngle) ||
      !std::isfinite(ExitAngle)) {
    IncidenceAngle = ScatteringAngle = ExitAngle = 0;
  }
  if (Host_ != nullptr) Host_->ShowAngles(*this);
}

double TVisStructure::ReflectionStrength(int32_t h, int32_t k, int32_t l) {
  if (!Settings.UseHi) return 0.4;
  std::array<int32_t, 3> key{IntAbs(h), IntAbs(k), IntAbs(l)};
  SortInts(key.data(), 3);
  const ReflectionRecord* record = nullptr;
  const auto found = CacheIndex_.find(key);
  if (found != CacheIndex_.end()) {
    record = &ReflectionCache_[found->second];
  } else {
    Composite->SetReflection(key[0], key[1], key[2]);
    if (!Composite->ComputeChi()) return 0.4;
    ReflectionRecord r;
    r.Key = key;
    Composite->GetChi(r.Chi0Re, r.Chi0Im, r.ChiMinusRe, r.ChiMinusIm, r.ChiHRe, r.ChiHIm);
    CacheIndex_.emplace(key, ReflectionCache_.size());
    ReflectionCache_.push_back(r);
    record = &ReflectionCache_.back();
  }
  const ReflectionRecord& r = *record;
  if (std::fabs(r.Chi0Re) <= Tolerance) return 0;
  const double chi0 = std::hypot(r.Chi0Re, r.Chi0Im);
  const double strength = std::sqrt(std::hypot(r.ChiMinusRe, r.ChiMinusIm) *
                                    std::hypot(r.ChiHRe, r.ChiHIm) / (chi0 * chi0));
  // The waves of a forbidden reflection cancel to rounding noise (about 1e-16), not to 0.
  return std::isfinite(strength) && strength > Tolerance ? strength : 0;
}

bool ApplyStrain(TVisStructure& substrate, TVisStructure& layer, TSettings& settings) {
  const TStrainResult r = ComputeStrain(settings.RelaxationText, substrate.LatticeA, layer.LatticeA,
                                        layer.LatticeB, layer.LatticeC, layer.PoissonRatio);
  if (r.Applied) {
    layer.LatticeA = r.LatticeA;
    layer.LatticeB = r.LatticeB;
    layer.LatticeC = r.LatticeC;
    settings.RelaxationText = r.Text;
  } else {
    if (!layer.Message.empty()) layer.Message += " ";
    layer.Message += "Layer " + layer.StructureName + ": " + r.Message;
  }
  layer.UpdateMaxIndex();
  return r.Applied;
}

void ComputeStructures(TVisStructure& s1, TVisStructure& s2, TSettings& settings) {
  s1.WaveNumber = 1 / settings.Lambda;
  s2.WaveNumber = 1 / settings.Lambda;
  settings.TwoK = 2 / settings.Lambda;
  const TSlotCodes codes = ClassifySlots(s1.InUse, s2.InUse);
  if (codes.Pair != 0) settings.Normal = {0, 0, 1};
  s1.Setup(codes.Slot1);
  s2.Setup(codes.Slot2);
  ApplyStrain(s1, s2, settings);
  if (codes.Pair == 0 || codes.Pair == 2) s1.ComputeGeometry();
  if (codes.Pair == 1 || codes.Pair == 2) s2.ComputeGeometry();
  SetDerivedValues(settings, s1.LatticeA, codes.Pair);
}

}  // namespace korvex
