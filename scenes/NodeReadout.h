// What a node of the reciprocal lattice says about itself: indices, d, |Q|, the Bragg angle,
// structure factor and susceptibilities, the incidence and exit angles of the plane of
// incidence, and whether the node is reachable in the Bragg and Laue cases, with one plain
// sentence from the numbers when it is not. The same sentence goes to the status bar when the
// current reflection cannot be reached. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/Vector.h"
#include "scenes/SceneContext.h"

namespace korvex {

class TVisStructure;

// Why Q fails the Bragg node test (IsBraggAccessible), in the order that test makes its
// checks; empty exactly when the test passes.
std::string BraggReason(const TVisStructure& structure, const TVector& q);

// Why Q fails the Laue node test (IsLaueAccessible); empty exactly when it passes.
std::string LaueReason(const TVisStructure& structure, const TVector& q);

// One incident wave of the plane of incidence that satisfies the Ewald condition for a node:
// the angle of K0 below the surface plane and of Kh = K0 + Q above it (radians; a negative
// incidence comes from inside the crystal, a negative exit goes into it).
struct TBeamAngles {
  double Incidence = 0;
  double Exit = 0;
};

struct TNodeReadout {
  std::string Name;
  int32_t H = 0, K = 0, L = 0;
  double D = 0;        // plane spacing 1/|Q|, A; 0 for the origin
  double QLength = 0;  // |Q|, 1/A
  double Theta = 0;    // Bragg angle, radians; 0 outside the limiting sphere
  bool InsideSphere = false;
  bool HasChi = false;  // false when the crystal data could not give them
  double F = 0;         // |F(hkl)|, electrons per cell
  double Chi0Re = 0, Chi0Im = 0, ChiHRe = 0, ChiHIm = 0;
  double Strength = 0;  // the node weight of the lattice drawing (0.4 without "Hi")
  bool Forbidden = false;
  // The waves of the plane of incidence, the one the solver prefers first; none outside the
  // reach of the plane of incidence.
  std::vector<TBeamAngles> Solutions;
  bool Bragg = false, Laue = false;
  std::string BraggWhy, LaueWhy;
};

// The readout of node h k l of the structure in its current geometry and wavelength.
TNodeReadout ReadNode(TVisStructure& structure, int32_t h, int32_t k, int32_t l);

// The readout as lines of text, for the panel and the tooltip.
std::string ReadoutText(const TNodeReadout& readout);

// After SolveWaveVectors for the reflection h k l: empty when the solver found a reflection
// that enters and leaves the top surface; otherwise one sentence for the status bar, e.g.
// "Si 0 0 12 cannot be reached: outside the limiting sphere: |Q| = 2.21 Å⁻¹ > 2K = 1.30 Å⁻¹".
std::string ReachMessage(const TVisStructure& solved, int32_t h, int32_t k, int32_t l);

// The same reflection in the substrate and the layer: each one's incidence (omega), 2 theta
// and exit angle of the wave the solver prefers, and the differences layer - substrate in
// degrees and arc seconds. Lines of text; a structure without a wave says so.
std::string ComparisonText(TVisStructure& substrate, TVisStructure& layer, int32_t h, int32_t k,
                           int32_t l);

// The angle panel of a layer on a substrate after both were solved for the current reflection:
// each one's omega, 2 theta and exit angle as the solver left them and Δω, Δ2θ (layer -
// substrate) in degrees and arc seconds. A structure the solver found no wave for says so.
std::string SolvedComparisonText(const TVisStructure& substrate, const TVisStructure& layer);

// The lattice planes of h k l in the real-space chart, as "Real" draws them for its block,
// without the Bragg's-law construction.
void DrawNodePlanes(TSceneContext& scene, const TVisStructure& structure, int32_t h, int32_t k,
                    int32_t l);

// An angle difference in degrees and in arc seconds, "+0.1200° (+432.0″)".
std::string AngleWithArcSeconds(double radians);

}  // namespace korvex
