#pragma once

#include <array>
#include <string>

#include "crystal/LoadError.h"

namespace korvex {

inline constexpr double EnergyWavelengthProduct = 12398.100046;  // eV * Angstrom

// One chemical element of a crystal structure, for one reflection and one wavelength: its X-ray
// scattering factors (f0 from f0_xop.dat, f1 and f2 from f1f2.dat) and its contribution to the
// structure factors, summed over its atoms in the structure file.
class TElement {
 public:
  TElement(double lambda, double h, double k, double l, double braggAngle,
           const std::string& fileName, const std::string& symbol);

  // f0(s) for s = sin(theta) / lambda in 1/Angstrom; 0 when the table or the entry is missing.
  double ComputeF0(double s);
  // f1, f2 at the photon energy of Lambda; 0, 0 when the table or the entry is missing.
  void LookUpF1F2(double& f1, double& f2);
  void ComputeContribution();
  void GetContribution(double& f0Re, double& f0Im, double& fMinusRe, double& fMinusIm, double& fhRe,
                       double& fhIm) const;

  std::string FileName;          // structure file; the full path once the contribution is done
  std::array<char, 2> Symbol{};  // second character 0 for a one-letter symbol
  double Lambda = 0.0;
  double H = 0.0, K = 0.0, L = 0.0;
  double BraggAngle = 0.0;  // degrees
  double F0Re = 0.0, F0Im = 0.0, FMinusRe = 0.0, FMinusIm = 0.0, FHRe = 0.0, FHIm = 0.0;

  // What was missing or unreadable for this element (empty if nothing), for display.
  std::string Problem;

 private:
  void NoteProblem(const std::string& text);
  std::string fileNameInBase_;  // FileName as given, once replaced by the full path
};

}  // namespace korvex
