// "Set hkl": for one structure, the wave vectors K0 and Kh of the reflection Settings.Hkl and
// the vector Q in the reciprocal-space chart, the beams and the crystal slab with its planes
// and nodes in the real-space chart. The beam drawings are reused frame by frame by the
// animations and detector views; they always clear their series first.
#pragma once

#include "scenes/RealSpace.h"
#include "scenes/SceneContext.h"

namespace korvex {

class TVisStructure;

// The whole scene for one structure: reciprocal axes, resolution planes, classical spheres,
// H and the solved wave vectors (the host window shows the angles), both beam drawings, the
// slab, and either the reachable nodes ("Bragg" or "Laue" filter) or the reflection's node.
void SetHkl(TSceneContext& scene, TVisStructure& structure);

// The Ewald construction in Chart2: K0 arriving at the origin, Kh from the start of K0 to the
// node H, Q = H (left out for an omega/2theta scan with N = 2) and the second pair dashed.
void DrawBeamsReciprocal(TSceneContext& scene, const TVisStructure& structure);

// K0 arriving at and Kh leaving the origin on the surface in Chart1, the second pair dashed,
// and with "Cirkle" the Bragg circle of incident directions in Chart2 (the only series of the
// ReciprocalLines range afterwards). Nothing for the reflection 0 0 0.
void DrawBeamsReal(TSceneContext& scene, const TVisStructure& structure);

// The slab of the "Set hkl" scene: NReal cells on each side of the origin in the surface,
// turned by -Settings.Phi about the normal, one cell deep (the top face at z = 0).
TBlockCorners BlockCorners(const TVisStructure& structure);

// The slab in Chart1: the planes cut to it, the nodes inside it, the crystal surface, the
// plane of incidence and its twelve aqua edges in RealLines.
void DrawCrystalBlock(TSceneContext& scene, const TVisStructure& structure);

// Node spheres (radius 0.05 a) of the lattice points i a + j b + k c, |i|, |j|, |k| <= NReal,
// that lie between the top and bottom faces and strictly inside the top face seen from
// above. None for a negative NReal.
void DrawBlockNodes(TSceneContext& scene, const TVisStructure& structure,
                    const TBlockCorners& corners);

}  // namespace korvex
