#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "crystal/Element.h"

namespace korvex {

// One crystal phase with a fixed name ("Si", "GaAs"): lattice and Poisson ratio from its
// structure file <Name>.stf, the Bragg angle of the reflection and the structure factors F(hkl),
// F(-h-k-l) and F(000) summed over its one or two elements.
class TStructure {
 public:
  // a, b, c all 0: take the file's lattice parameter. braggAngle 0: computed from the lattice.
  TStructure(double a, double b, double c, double lambda, double h, double k, double l,
             double braggAngle, const std::string& name);
  ~TStructure();
  TStructure(const TStructure&) = delete;
  TStructure& operator=(const TStructure&) = delete;

  void ComputeStructureFactor();
  void GetStructureFactor(double& f0Re, double& f0Im, double& fMinusRe, double& fMinusIm,
                          double& fhRe, double& fhIm) const;
  void GetLattice(double& a, double& b, double& c) const;
  void GetPoissonRatio(double& poissonRatio) const;

  std::unique_ptr<TElement> Element1;
  std::unique_ptr<TElement> Element2;  // only with two elements
  std::string Name;
  std::string FileName;  // Name + ".stf"
  std::int32_t ElementCount = 0;
  double Lambda = 0.0;
  double H = 0.0, K = 0.0, L = 0.0;
  double LatticeA = 0.0, LatticeB = 0.0, LatticeC = 0.0;
  double PoissonRatio = 0.0;
  double BraggAngle = 0.0;  // degrees; 0 when the reflection cannot be reached
  double F0Re = 0.0, F0Im = 0.0;
  double FMinusRe = 0.0, FMinusIm = 0.0;
  double FHRe = 0.0, FHIm = 0.0;

  // Why the structure file could not be used, or what its elements missed (empty if nothing).
  std::string Problem;
};

// The element symbols of a two-element name: "GaAs" gives "Ga" and "As", "BN" gives "B" and "N".
void SplitSymbols(const std::string& name, std::string& first, std::string& second);

}  // namespace korvex
