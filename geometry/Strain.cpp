#include "geometry/Strain.h"

#include <cmath>

#include "geometry/Settings.h"
#include "geometry/Vector.h"

namespace korvex {

namespace {

bool UsableLength(double x) { return std::isfinite(x) && x > Tolerance; }

TStrainResult Refuse(std::string_view mode, double a, double b, double c, std::string message) {
  TStrainResult r;
  r.LatticeA = a;
  r.LatticeB = b;
  r.LatticeC = c;
  r.Text = std::string(mode);
  r.Message = std::move(message);
  return r;
}

}  // namespace

TStrainResult ComputeStrain(std::string_view mode, double substrateA, double layerA, double layerB,
                            double layerC, double poisson) {
  const double as = substrateA;
  const double al = layerA;
  const double nu = poisson;
  if (!UsableLength(as) || !UsableLength(al) || !UsableLength(layerB) || !UsableLength(layerC) ||
      !std::isfinite(nu)) {
    return Refuse(mode, layerA, layerB, layerC,
                  "The strain of the layer cannot be computed from lattice parameters "
                  "that are not positive.");
  }
  TStrainResult r;
  if (mode == "a" || mode == "A") {
    if (std::fabs(1 - nu) <= Tolerance) {
      return Refuse(mode, layerA, layerB, layerC,
                    "A Poisson ratio of 1 gives no fully strained layer; the layer is left "
                    "relaxed.");
    }
    r.LatticeC = al + (al - as) * 2 * nu / (1 - nu);
    r.LatticeB = as;
    r.LatticeA = as;
    r.Strain = (r.LatticeC - as) / as;
  } else if (mode == "r" || mode == "R") {
    r.LatticeA = layerA;
    r.LatticeB = layerB;
    r.LatticeC = layerC;
    r.Strain = (layerC - as) / as;
  } else {
    const double eps = ParseNumber(mode);
    if (std::fabs(nu) <= Tolerance) {
      return Refuse(mode, layerA, layerB, layerC,
                    "With a Poisson ratio of 0 a set strain does not fix the in-plane lattice "
                    "of the layer; the layer is left relaxed.");
    }
    r.LatticeC = (1 + eps) * as;
    r.LatticeB = al + (al - r.LatticeC) * 0.5 * (1 - nu) / nu;
    r.LatticeA = r.LatticeB;
    r.Strain = eps;
  }
  if (!UsableLength(r.LatticeA) || !UsableLength(r.LatticeC) || !std::isfinite(r.Strain)) {
    return Refuse(mode, layerA, layerB, layerC,
                  "The strain " + std::string(mode) +
                      " gives the layer no valid lattice; the layer is left relaxed.");
  }
  r.Applied = true;
  r.Text = FormatNumber(r.Strain);
  return r;
}

}  // namespace korvex
