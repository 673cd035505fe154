// Prints where the program puts the reciprocal-lattice nodes of a substrate and a layer on it,
// for tools/make_maps.py, which draws the example maps around them.
//
//   korvex-map-nodes SUBSTRATE LAYER STRAIN H K L HPL KPL LPL LAMBDA
//
// LAYER "-" draws the substrate alone. STRAIN is the relaxation text of the window ("a", "r"
// or a vertical strain), or "half" for a layer relaxed half way: its in-plane lattice halfway
// between the substrate's and its own, written as the vertical strain the window would take.
// The output, one item a line: "strain TEXT" (the text the window reads), "poisson NU",
// "substrate QX QZ" and "layer QX QZ" in 1/angstrom (x in the surface and the plane of
// incidence, z along the outward normal), and the lattices "a_substrate", "a_layer", "c_layer".
#include <cstdio>
#include <cstdlib>
#include <string>

#include "geometry/VisStructure.h"

namespace {

using namespace korvex;

struct TNodes {
  TVector substrate, layer;
};

TNodes Compute(TSettings& settings, TVisStructure& s1, TVisStructure& s2, const std::string& strain,
               int h, int k, int l) {
  settings.RelaxationText = strain;
  ComputeStructures(s1, s2, settings);
  TNodes nodes;
  s1.ReciprocalVector(h, k, l, nodes.substrate.x, nodes.substrate.y, nodes.substrate.z);
  s2.ReciprocalVector(h, k, l, nodes.layer.x, nodes.layer.y, nodes.layer.z);
  return nodes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 11) {
    std::fprintf(stderr, "usage: %s SUBSTRATE LAYER STRAIN H K L HPL KPL LPL LAMBDA\n", argv[0]);
    return 2;
  }
  const std::string layerName = argv[2];
  const bool alone = layerName == "-";
  std::string strain = argv[3];
  const int h = std::atoi(argv[4]), k = std::atoi(argv[5]), l = std::atoi(argv[6]);

  TSettings settings;
  settings.RecomputeDone = true;
  settings.Lambda = std::atof(argv[10]);
  settings.Hkl = {h, k, l};
  settings.Normal = {0, 0, 1};
  settings.IncPlanePoint = {std::atoi(argv[7]), std::atoi(argv[8]), std::atoi(argv[9])};
  TVisStructure s1(settings), s2(settings);
  s1.StructureName = argv[1];
  s1.InUse = true;
  s2.StructureName = alone ? argv[1] : layerName;
  s2.InUse = !alone;

  if (strain == "half") {
    // In-plane lattice a = (a_s + a_l) / 2 is what the window's vertical-strain mode makes of
    // c = a_l + (a_l - a_s) nu / (1 - nu).
    Compute(settings, s1, s2, "r", h, k, l);
    const double as = s1.LatticeA, al = s2.LatticeA, nu = s2.PoissonRatio;
    const double c = al + (al - as) * nu / (1 - nu);
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", (c - as) / as);
    strain = text;
  }
  const std::string typed = strain;
  const TNodes nodes = Compute(settings, s1, s2, strain, h, k, l);
  for (const TVisStructure* s : {&s1, &s2}) {
    if (!s->Message.empty()) {
      std::fprintf(stderr, "%s: %s\n", s->StructureName.c_str(), s->Message.c_str());
      return 1;
    }
  }
  std::printf("strain %s\n", typed.c_str());
  std::printf("poisson %.10g\n", s2.PoissonRatio);
  std::printf("a_substrate %.10g\n", s1.LatticeA);
  std::printf("a_layer %.10g\n", s2.LatticeA);
  std::printf("c_layer %.10g\n", s2.LatticeC);
  std::printf("substrate %.10g %.10g\n", nodes.substrate.x, nodes.substrate.z);
  if (!alone) std::printf("layer %.10g %.10g\n", nodes.layer.x, nodes.layer.z);
  return 0;
}
