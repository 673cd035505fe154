// The reciprocal lattice in the reciprocal-space chart: the nodes Q = h a* + k b* + l c*
// inside the limiting sphere |Q| <= 2K, sized by their reflection strength and labelled with
// their indices, thinned by the node filters ("Bragg", "Laue", "DivAb", "1/8", the box of
// "NRecMax") and coloured red on the Ewald sphere ("Nbem"); the scenes "Recipr" and "Rec.2D";
// and the three node tests.
//
// Node bubbles: radius 2 w Settings.NodeRadius with w the reflection strength (0.4 without
// "Hi", 0 for a forbidden reflection), label IndexLabel of the signed indices, " " when w is
// below 0.01. Each node is added once: the sign variants of a zero index and the second add of
// a multi-beam node that also passes the filters coincide and are left out. SeriesPointRes is
// not cleared here.
#pragma once

#include "geometry/Vector.h"
#include "scenes/AccessibleRegions.h"
#include "scenes/ReciprocalAxes.h"
#include "scenes/SceneContext.h"

namespace korvex {

class TVisStructure;

// Whether the node Q (frame components) can be excited in the reflection case: some incident
// wave K0 in the plane of incidence with |K0| = |K0 + Q| = K enters the crystal (K0z <= 0)
// while K0 + Q leaves through the same surface. A grazing exit is accepted within 1e-10, as
// the wave-vector solver accepts it. False outside the limiting sphere and for qz < 0.
bool IsBraggAccessible(const TVisStructure& structure, double qx, double qy, double qz);
// The two incident waves K0 of the plane of incidence with |K0| = |K0 + Q| = K that the Bragg
// node test weighs (they may coincide), K0z signed as the Laue condition gives it; 0 when the
// plane of incidence holds none. out must hold two vectors.
int BraggPlaneWaves(const TVisStructure& structure, const TVector& q, TVector out[2]);

// Whether Q can be excited in the transmission case by an incident wave in the x-z plane that
// enters through the top surface, with the diffracted wave leaving downward.
bool IsLaueAccessible(const TVisStructure& structure, double qx, double qy, double qz);

// Whether Q lies on the Ewald sphere of the current incident wave K0:
// | |Q + K0|^2 - K^2 | < (0.1 K)^2.
bool IsMultiBeamNode(const TVisStructure& structure, double qx, double qy, double qz);

// The lattice of |MaxIndex| (only non-negative indices for a negative range) with reciprocal
// axes, the node filters and, with "Nbem", the Kh sphere, the red multi-beam nodes and their
// arrows (Kh and Q in Chart2, Kh and Q in Chart1). Reads K0 as SolveWaveVectors left it.
void DrawRecNodes3D(TSceneContext& scene, TVisStructure& structure);

// The nodes in the plane of incidence through the origin (|Q . N| < 1e-10), with the union of
// the "Bragg"/"Laue" filters; no octant, box or multi-beam rule.
void DrawRecNodes2D(TSceneContext& scene, TVisStructure& structure);

// "Recipr" for one structure: spheres, H of Settings.Hkl and its wave vectors, regions, axes,
// resolution planes and the lattice.
void ShowReciprocal3D(TSceneContext& scene, TVisStructure& structure);

// "Rec.2D" for one structure: spheres, axes, resolution planes and the nodes in the plane of
// incidence.
void ShowReciprocal2D(TSceneContext& scene, TVisStructure& structure);

}  // namespace korvex
