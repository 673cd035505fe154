// Prints the lattice parameter, the Bragg angle and the susceptibilities of the Si 004
// reflection at 1.54 Angstrom, read from the data files in Base/ beside the executable.

#include <cmath>
#include <cstdio>

#include "crystal/CompositeStructure.h"

int main() {
  using namespace korvex;
  constexpr double lambda = 1.54;
  TCompositeStructure si(0.0, 0.0, 0.0, lambda, 0.0, 0.0, 4.0, 0.0, "Si", 1.0);
  if (!si.LoadLattice() || !si.ComputeChi()) {
    std::fprintf(stderr, "Si: %s\n", si.GetMessage().c_str());
    return 1;
  }
  double a = 0.0, b = 0.0, c = 0.0;
  si.GetLattice(a, b, c);
  double chi0Re = 0.0, chi0Im = 0.0, chiMinusRe = 0.0, chiMinusIm = 0.0, chiHRe = 0.0, chiHIm = 0.0;
  si.GetChi(chi0Re, chi0Im, chiMinusRe, chiMinusIm, chiHRe, chiHIm);
  const double braggAngle = si.Current ? si.Current->BraggAngle : 0.0;
  std::printf("Si 004 at %.4f A (%.4f eV)\n", lambda, EnergyWavelengthProduct / lambda);
  std::printf("lattice parameter a = %.5f A\n", a);
  std::printf("Bragg angle         = %.4f deg\n", braggAngle);
  std::printf("chi0 = %+.6e %+.6ei\n", chi0Re, chi0Im);
  std::printf("chih = %+.6e %+.6ei   |chih| = %.6e\n", chiHRe, chiHIm, std::hypot(chiHRe, chiHIm));
  if (!si.GetMessage().empty()) std::printf("note: %s\n", si.GetMessage().c_str());
  return 0;
}
