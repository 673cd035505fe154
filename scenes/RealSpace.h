// The crystal in real space (Chart1): lattice nodes, the unit cell, the family of lattice
// planes of the reflection Settings.Hkl cut to a block, the frame axes and the demonstration
// of Bragg's law with wave trains that reach successive planes ("Real", and the slab of
// "Set hkl").
//
// Scenes of structure 2 while both structures are shown (Slot 12) add to what structure 1
// drew; every other slot starts its series afresh.
#pragma once

#include <array>
#include <cstdint>

#include "geometry/Vector.h"
#include "scenes/SceneContext.h"

namespace korvex {

class TVisStructure;

// Eight corners of a block: 0..3 one face, 4..7 the opposite face, corner i + 4 joined to
// corner i.
using TBlockCorners = std::array<TVector, 8>;

// The twelve edges of a block, in drawing order: (0,1) (0,3) (0,4) (1,2) (1,5) (2,3) (2,6)
// (3,7) (4,5) (4,7) (5,6) (6,7).
extern const std::array<std::array<int32_t, 2>, 12> BlockEdges;

// A wave train of the Bragg's-law demonstration is drawn only while the RealLines range holds
// fewer series than this, so that the twelve edges of both structures' blocks (24 series)
// always find room in its 100 slots.
inline constexpr int32_t WaveTrainLimit = TPoolRange::Capacity - 24;

// "Real" for one structure: lattice nodes, planes cut to the structure's block, frame axes,
// reciprocal axes and the mark of the reflection. With "Sin" the wave vectors of the
// reflection are solved first (the angles are shown), so the demonstration has its beams.
void ShowRealSpace(TSceneContext& scene, TVisStructure& structure);

// Node spheres (radius 0.2 a) in SeriesPoint over the index ranges of Settings.NReal; with a
// negative NReal one block of -NReal cells from the origin and its twelve edges in RealLines.
void DrawLatticeNodes(TSceneContext& scene, const TVisStructure& structure);

// The labelled frame axes X, Y, Z in SeriesVec, head at the positive end.
void DrawRealAxes(TSceneContext& scene, const TVisStructure& structure);

// The lattice planes of Settings.Hkl (Settings.PlaneDivisor times as many with "DivAb"), one
// surface per plane cut to the block (at most 100; further planes share the last surface),
// the interplanar vector in SeriesVec2 and, with "Sin", the Bragg construction: three grey
// arrows in SeriesLines and, for each positive plane within the depth of the block, the beams
// in SeriesBeams and an incident and diffracted wave train in RealLines. A construction that
// degenerates (K0 parallel to Kh, zero projections) draws the beams but no train.
void DrawPlanes(TSceneContext& scene, const TVisStructure& structure, const TBlockCorners& corners);

}  // namespace korvex
