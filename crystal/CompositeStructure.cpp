#include "crystal/CompositeStructure.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "crystal/DataDirectory.h"

namespace korvex {
namespace {

// Classical electron radius in Angstrom, held in single precision.
constexpr float ElectronRadius = 2.817938e-5f;

constexpr double Tolerance = 1e-10;

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Largest digit string accepted for one component (keeps every sum inside 32 bits).
constexpr std::size_t MaxDigits = 8;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

TCompositeStructure::TCompositeStructure(double a, double b, double c, double lambda, double h,
                                         double k, double l, double braggAngle,
                                         const std::string& name, double scale) {
  Init(a, b, c, lambda, h, k, l, braggAngle, name, scale);
}

TCompositeStructure::~TCompositeStructure() = default;

void TCompositeStructure::Init(double a, double b, double c, double lambda, double h, double k,
                               double l, double braggAngle, const std::string& name, double scale) {
  LatticeA = a;
  LatticeB = b;
  LatticeC = c;
  Lambda = lambda;
  H = h;
  K = k;
  L = l;
  BraggAngle = braggAngle;
  Name = name;
  Scale = scale;
  CommonIndex = NoCommonIndex;
  Parsed = false;
  ParseOk = false;
  FactorsDone = false;
  PoissonRatio = 0.0;
  F0Re = F0Im = FMinusRe = FMinusIm = FHRe = FHIm = 0.0;
  Chi0Re = Chi0Im = ChiMinusRe = ChiMinusIm = ChiHRe = ChiHIm = 0.0;
  LoadError = 0;
  HasDigits = Name.find_first_of("0123456789") != std::string::npos;
  Message.clear();
}

bool TCompositeStructure::Parse() {
  for (korvex::NamesAndDigits& component : NamesAndDigits) component = {};
  ComponentCount = 0;
  CommonIndex = NoCommonIndex;
  DigitTotal = 0;
  Parsed = true;
  ParseOk = false;
  if (!NameIsValid()) return false;

  int index = -1;
  bool inDigits = false;
  for (const char c : Name) {
    if (IsUpper(c)) {
      ++index;
      if (index >= MaxComponents) {
        Message = "Structure name " + Quoted(Name) + " has more than " +
                  std::to_string(MaxComponents) + " components";
        index = -1;
        break;
      }
      inDigits = false;
    } else if (IsDigit(c)) {
      inDigits = true;
    } else if (inDigits) {
      Message = "Structure name " + Quoted(Name) + ": letters after the digits of " +
                Quoted(NamesAndDigits[static_cast<std::size_t>(index)].Name);
      index = -1;
      break;
    }
    korvex::NamesAndDigits& component = NamesAndDigits[static_cast<std::size_t>(index)];
    (inDigits ? component.Digits : component.Name) += c;
  }
  if (index < 0) {
    for (korvex::NamesAndDigits& component : NamesAndDigits) component = {};
    return false;
  }

  ComponentCount = index;
  if (!IsDigit(Name.back())) CommonIndex = index;
  if (CommonIndex == NoCommonIndex) ComponentCount = index + 1;

  long long total = 0;
  for (int i = 0; i < ComponentCount; ++i) {
    if (i == CommonIndex) continue;
    const korvex::NamesAndDigits& component = NamesAndDigits[static_cast<std::size_t>(i)];
    if (component.Digits.empty()) {
      Message = "Structure name " + Quoted(Name) + ": " + Quoted(component.Name) +
                " has no digits; only the last component may go without";
      ComponentCount = 0;
      return false;
    }
    if (component.Digits.size() > MaxDigits) {
      Message = "Structure name " + Quoted(Name) + ": the digits of " + Quoted(component.Name) +
                " are too long";
      ComponentCount = 0;
      return false;
    }
    total += std::stoll(component.Digits);
  }
  if (total == 0) {
    Message = "Structure name " + Quoted(Name) + ": the digits add up to 0";
    ComponentCount = 0;
    return false;
  }
  DigitTotal = static_cast<std::int32_t>(total);
  ParseOk = true;
  return true;
}

bool TCompositeStructure::NameIsValid() {
  if (Name.empty()) {
    Message = "No structure name given";
    return false;
  }
  if (!IsUpper(Name.front())) {
    Message = "Structure name " + Quoted(Name) + " must begin with an upper-case letter";
    return false;
  }
  for (const char c : Name) {
    if (!IsUpper(c) && !IsLower(c) && !IsDigit(c)) {
      Message = "Structure name " + Quoted(Name) + " may hold only letters and digits";
      return false;
    }
  }
  return true;
}

std::string TCompositeStructure::EndMemberName(int i) const {
  std::string name = NamesAndDigits[static_cast<std::size_t>(i)].Name;
  if (CommonIndex != NoCommonIndex) {
    name += NamesAndDigits[static_cast<std::size_t>(CommonIndex)].Name;
  }
  return name;
}

double TCompositeStructure::Weight(int i) const {
  if (DigitTotal == 0) return 0.0;
  return static_cast<double>(std::stoll(NamesAndDigits[static_cast<std::size_t>(i)].Digits)) /
         DigitTotal;
}

bool TCompositeStructure::LoadLattice() {
  if (LatticeA != 0.0 || LatticeB != 0.0 || LatticeC != 0.0) return true;
  if (!HasDigits) {
    ComponentCount = 1;
    if (!NameIsValid()) {
      Current.reset();
      return false;
    }
    Current = std::make_unique<TStructure>(0.0, 0.0, 0.0, Lambda, H, K, L, BraggAngle, Name);
    if (LoadError > 0) {
      Message = Current->Problem;
      return false;
    }
    Current->GetLattice(LatticeA, LatticeB, LatticeC);
    return true;
  }
  if (!Parsed) Parse();
  if (!ParseOk) return false;
  for (int i = 0; i < ComponentCount; ++i) {
    if (i == CommonIndex) continue;
    const TStructure member(0.0, 0.0, 0.0, Lambda, H, K, L, BraggAngle, EndMemberName(i));
    if (LoadError > 0) {
      // Nothing half-mixed stays behind: the lattice reads as not loaded.
      LatticeA = LatticeB = LatticeC = 0.0;
      Message = member.Problem;
      return false;
    }
    const double w = Weight(i);
    LatticeA += w * member.LatticeA;
    LatticeB += w * member.LatticeB;
    LatticeC += w * member.LatticeC;
  }
  return true;
}

void TCompositeStructure::ComputePoissonRatio() {
  if (!HasDigits) {
    PoissonRatio = 0.0;
    if (Current) Current->GetPoissonRatio(PoissonRatio);
    return;
  }
  if (!Parsed) Parse();
  PoissonRatio = 0.0;
  if (!ParseOk) return;
  for (int i = 0; i < ComponentCount; ++i) {
    if (i == CommonIndex) continue;
    const TStructure member(LatticeA, LatticeB, LatticeC, Lambda, H, K, L, BraggAngle,
                            EndMemberName(i));
    double nu = 0.0;
    member.GetPoissonRatio(nu);
    PoissonRatio += Weight(i) * nu;
  }
}

void TCompositeStructure::ComputeStructureFactor() {
  F0Re = F0Im = FMinusRe = FMinusIm = FHRe = FHIm = 0.0;
  if (!HasDigits) {
    ComponentCount = 1;
    if (NameIsValid()) {
      Current = std::make_unique<TStructure>(LatticeA, LatticeB, LatticeC, Lambda, H, K, L,
                                             BraggAngle, Name);
      Current->ComputeStructureFactor();
      Current->GetStructureFactor(F0Re, F0Im, FMinusRe, FMinusIm, FHRe, FHIm);
      if (Message.empty()) Message = Current->Problem;
    } else {
      Current.reset();
    }
  } else if (Parse()) {
    for (int i = 0; i < ComponentCount; ++i) {
      if (i == CommonIndex) continue;
      TStructure member(LatticeA, LatticeB, LatticeC, Lambda, H, K, L, BraggAngle,
                        EndMemberName(i));
      member.ComputeStructureFactor();
      if (Message.empty()) Message = member.Problem;
      const double w = Weight(i);
      F0Re += w * member.F0Re;
      F0Im += w * member.F0Im;
      FMinusRe += w * member.FMinusRe;
      FMinusIm += w * member.FMinusIm;
      FHRe += w * member.FHRe;
      FHIm += w * member.FHIm;
    }
  }
  FactorsDone = true;
}

bool TCompositeStructure::ComputeChi() {
  if (!LoadLattice()) return false;
  if (!(Lambda > 0.0) || !std::isfinite(Lambda)) {
    Message = "The wavelength is not a positive number";
    return false;
  }
  if (std::fabs(LatticeA) < Tolerance && std::fabs(LatticeB) < Tolerance &&
      std::fabs(LatticeC) < Tolerance) {
    return false;
  }
  const double re = static_cast<double>(ElectronRadius);
  const double gamma = re * Lambda * Lambda / (std::numbers::pi * LatticeA * LatticeB * LatticeC);
  if (!FactorsDone) ComputeStructureFactor();
  Chi0Re = -gamma * F0Re * Scale;
  Chi0Im = gamma * F0Im * Scale;
  ChiMinusRe = gamma * Scale * FMinusRe;
  ChiMinusIm = gamma * Scale * FMinusIm;
  ChiHRe = gamma * Scale * FHRe;
  ChiHIm = gamma * Scale * FHIm;
  return true;
}

void TCompositeStructure::GetLattice(double& a, double& b, double& c) const {
  a = LatticeA;
  b = LatticeB;
  c = LatticeC;
}

void TCompositeStructure::GetPoissonRatio(double& poissonRatio) const {
  poissonRatio = PoissonRatio;
}

void TCompositeStructure::GetChi(double& chi0Re, double& chi0Im, double& chiMinusRe,
                                 double& chiMinusIm, double& chiHRe, double& chiHIm) const {
  chi0Re = Chi0Re;
  chi0Im = Chi0Im;
  chiMinusRe = ChiMinusRe;
  chiMinusIm = ChiMinusIm;
  chiHRe = ChiHRe;
  chiHIm = ChiHIm;
}

void TCompositeStructure::SetReflection(double h, double k, double l) {
  H = h;
  K = k;
  L = l;
  FactorsDone = false;
}

}  // namespace korvex
