#include "crystal/Element.h"

#include <cmath>
#include <numbers>

#include "crystal/DataDirectory.h"
#include "crystal/DataFiles.h"

namespace korvex {
TElement::TElement(double lambda, double h, double k, double l, double braggAngle,
                   const std::string& fileName, const std::string& symbol)
    : FileName(fileName), Lambda(lambda), H(h), K(k), L(l), BraggAngle(braggAngle) {
  for (std::size_t i = 0; i < Symbol.size() && i < symbol.size(); ++i) Symbol[i] = symbol[i];
}

void TElement::NoteProblem(const std::string& text) {
  if (Problem.empty()) Problem = text;
}

double TElement::ComputeF0(double s) {
  const std::shared_ptr<const F0Table> table = LoadF0Table();
  if (!table) {
    LoadError = 1;
    NoteProblem("Cannot read " + DataFilePath(F0FileName));
    return 0.0;
  }
  const std::string key = SymbolKey(Symbol);
  const auto it = table->Entries.find(key);
  if (it == table->Entries.end()) {
    NoteProblem(std::string(F0FileName) + " has no entry for " + key);
    return 0.0;
  }
  if (!it->second) {
    NoteProblem("The entry of " + key + " in " + F0FileName + " cannot be read");
    return 0.0;
  }
  const WaasmaierKirfel& wk = *it->second;
  double f0 = wk.C;
  for (std::size_t i = 0; i < wk.A.size(); ++i) f0 += wk.A[i] * std::exp(-wk.B[i] * s * s);
  if (!std::isfinite(f0)) {
    // Only a damaged entry (a large negative b) or an unusable s get here.
    NoteProblem("The entry of " + key + " in " + F0FileName + " gives no finite f0");
    return 0.0;
  }
  return f0;
}

void TElement::LookUpF1F2(double& f1, double& f2) {
  f1 = 0.0;
  f2 = 0.0;
  const double energy = EnergyWavelengthProduct / Lambda;
  const std::shared_ptr<const F1F2Table> table = LoadF1F2Table();
  if (!table) {
    LoadError = 1;
    NoteProblem("Cannot read " + DataFilePath(F1F2FileName));
    return;
  }
  const std::string key = SymbolKey(Symbol);
  const auto it = table->Entries.find(key);
  if (it == table->Entries.end()) {
    NoteProblem(std::string(F1F2FileName) + " has no entry for " + key);
    return;
  }
  InterpolateF1F2(it->second, energy, f1, f2);
}

void TElement::ComputeContribution() {
  F0Re = F0Im = FMinusRe = FMinusIm = FHRe = FHIm = 0.0;
  if (!(Lambda > 0.0) || !std::isfinite(Lambda)) {
    NoteProblem("The wavelength is not a positive number");
    return;
  }
  const double theta = BraggAngle * std::numbers::pi / 180.0;
  const double s = std::sin(theta) / Lambda;
  double f1 = 0.0;
  double f2 = 0.0;
  LookUpF1F2(f1, f2);
  const double f0AtZero = ComputeF0(0.0);
  const double f0AtS = ComputeF0(s);
  const double fr = f0AtS + (f1 - f0AtZero);
  const double fi = f2;

  if (fileNameInBase_.empty()) {
    fileNameInBase_ = FileName;
    FileName = DataFilePath(FileName);
  }
  const std::shared_ptr<const StructureFile> file = LoadStructureFile(fileNameInBase_);
  if (!file) {
    LoadError = 1;
    NoteProblem("Cannot read structure file " + FileName);
    return;
  }
  const std::string key = SymbolKey(Symbol);
  const auto it = file->Blocks.find(key);
  if (it == file->Blocks.end()) {
    NoteProblem("Structure file " + FileName + " has no block for " +
                (key.empty() ? "the element" : key));
    return;
  }
  if (!it->second.Problem.empty()) {
    NoteProblem("Structure file " + FileName + ": " + it->second.Problem);
    return;
  }
  for (const AtomPosition& p : it->second.Positions) {
    const double phi = 2.0 * std::numbers::pi * (H * p.X + K * p.Y + L * p.Z);
    const double c = std::cos(phi);
    const double sn = std::sin(phi);
    F0Re += f1;
    F0Im += f2;
    FMinusRe += fr * c + fi * sn;
    FMinusIm += fi * c - fr * sn;
    FHRe += fr * c - fi * sn;
    FHIm += fi * c + fr * sn;
  }
}

void TElement::GetContribution(double& f0Re, double& f0Im, double& fMinusRe, double& fMinusIm,
                               double& fhRe, double& fhIm) const {
  f0Re = F0Re;
  f0Im = F0Im;
  fMinusRe = FMinusRe;
  fMinusIm = FMinusIm;
  fhRe = FHRe;
  fhIm = FHIm;
}

}  // namespace korvex
