// The layer strain rule: structure 2 (the layer) on structure 1 (the substrate).
#pragma once

#include <string>
#include <string_view>

namespace korvex {

struct TSettings;
class TVisStructure;

struct TStrainResult {
  bool Applied = false;  // false: the layer keeps its lattice and the mode text stays as typed
  double LatticeA = 0, LatticeB = 0, LatticeC = 0;  // the layer's lattice afterwards
  double Strain = 0;    // vertical mismatch of the layer to the substrate
  std::string Text;     // the mode text afterwards
  std::string Message;  // why the rule was refused; empty when applied
};

// The rule on plain numbers. mode is "a"/"A" (fully strained), "r"/"R" (relaxed) or a number
// (the vertical strain), substrateA the substrate's LatticeA, layerA/B/C and poisson the
// layer's lattice as loaded and its Poisson ratio.
//   fully strained: c = a_l + (a_l - a_s) 2 nu / (1 - nu), a = b = a_s, strain (c - a_s) / a_s;
//   relaxed:        lattice unchanged, strain (c - a_s) / a_s;
//   number eps:     c = (1 + eps) a_s, a = b = a_l + (a_l - c) (1 - nu) / (2 nu), strain eps.
// The text becomes the strain written with up to 15 significant digits. A rule that cannot
// give a lattice (nu = 1 fully strained, nu = 0 with a number, lattice edges that end up
// zero, negative or not finite) is refused with a message instead.
TStrainResult ComputeStrain(std::string_view mode, double substrateA, double layerA, double layerB,
                            double layerC, double poisson);

}  // namespace korvex
