#include "crystal/Structure.h"

#include <cmath>
#include <filesystem>
#include <numbers>
#include <system_error>

#include "crystal/DataDirectory.h"
#include "crystal/DataFiles.h"

namespace korvex {

void SplitSymbols(const std::string& name, std::string& first, std::string& second) {
  first.clear();
  second.clear();
  if (name.empty()) return;
  // The second character belongs to the second symbol if it is upper-case (or any character
  // at or below 'Z').
  const std::size_t firstLength = name.size() < 2 || name[1] <= 'Z' ? 1 : 2;
  first = name.substr(0, firstLength);
  if (name.size() > firstLength) second = name.substr(firstLength, 2);
}

TStructure::TStructure(double a, double b, double c, double lambda, double h, double k, double l,
                       double braggAngle, const std::string& name)
    : Name(name),
      FileName(name + ".stf"),
      Lambda(lambda),
      H(h),
      K(k),
      L(l),
      LatticeA(a),
      LatticeB(b),
      LatticeC(c),
      BraggAngle(braggAngle) {
  const std::shared_ptr<const StructureFile> file = LoadStructureFile(FileName);
  if (!file) {
    const std::string path = DataFilePath(FileName);
    LoadError = 1;
    std::error_code error;
    Problem = "Structure file " + path +
              (std::filesystem::exists(path, error) ? " cannot be read" : " not found");
    return;
  }
  if (!file->Problem.empty()) {
    LoadError = 1;
    Problem = "Structure file " + DataFilePath(FileName) + ": " + file->Problem;
    return;
  }
  ElementCount = file->ElementCount;
  PoissonRatio = file->PoissonRatio;
  if (LatticeA == 0.0 && LatticeB == 0.0 && LatticeC == 0.0) {
    LatticeA = LatticeB = LatticeC = file->LatticeParameter;
  }
  if (BraggAngle == 0.0) {
    const double q = H * H / (LatticeA * LatticeA) + K * K / (LatticeB * LatticeB) +
                     L * L / (LatticeC * LatticeC);
    // The comparison is false for a NaN (a zero edge with a zero index), which keeps the angle 0.
    if (std::fabs(q) <= 4.0 / (Lambda * Lambda)) {
      BraggAngle = std::asin(Lambda * std::sqrt(q) / 2.0) * 180.0 / std::numbers::pi;
    }
  }
  if (ElementCount == 2) {
    std::string first;
    std::string second;
    SplitSymbols(Name, first, second);
    Element1 = std::make_unique<TElement>(Lambda, H, K, L, BraggAngle, FileName, first);
    Element2 = std::make_unique<TElement>(Lambda, H, K, L, BraggAngle, FileName, second);
  } else {
    Element1 = std::make_unique<TElement>(Lambda, H, K, L, BraggAngle, FileName, Name);
  }
  LoadError = 0;
}

TStructure::~TStructure() = default;

void TStructure::ComputeStructureFactor() {
  for (TElement* element : {Element1.get(), Element2.get()}) {
    if (element == nullptr) continue;
    element->ComputeContribution();
    double f[6] = {};
    element->GetContribution(f[0], f[1], f[2], f[3], f[4], f[5]);
    F0Re += f[0];
    F0Im += f[1];
    FMinusRe += f[2];
    FMinusIm += f[3];
    FHRe += f[4];
    FHIm += f[5];
    if (Problem.empty() && !element->Problem.empty()) Problem = element->Problem;
  }
}

void TStructure::GetStructureFactor(double& f0Re, double& f0Im, double& fMinusRe, double& fMinusIm,
                                    double& fhRe, double& fhIm) const {
  f0Re = F0Re;
  f0Im = F0Im;
  fMinusRe = FMinusRe;
  fMinusIm = FMinusIm;
  fhRe = FHRe;
  fhIm = FHIm;
}

void TStructure::GetLattice(double& a, double& b, double& c) const {
  a = LatticeA;
  b = LatticeB;
  c = LatticeC;
}

void TStructure::GetPoissonRatio(double& poissonRatio) const { poissonRatio = PoissonRatio; }

}  // namespace korvex
