// The scene reset ("Clear"), the unit-cell picture ("GaAs") and the lattice-plane surfaces of
// the series pool.
#pragma once

#include <cstdint>
#include <string>

#include "scenes/SceneContext.h"

namespace korvex {

class TVisStructure;

// Empties the series of both charts, frees the pool, stops the animation timer, sets the line
// width from the window's width and, when the pool was already empty, also resets the views
// and axis ranges of both charts (Chart1 to +-1.5 Settings.RealExtent, Chart2 to
// +-1.5 Settings.TwoK, the depth axes 1.255 times narrower).
void ClearScenes(TSceneContext& scene);

// The cubic cell of the diamond or zinc-blende structure in Chart1, in units of the lattice
// parameter: 14 atoms of the first kind on the corners and face centres, 4 of the second kind
// on tetrahedral sites. structure1Name "Si" or "Ge" (exactly) makes the two kinds alike.
void ShowUnitCell(TSceneContext& scene, const std::string& structure1Name);

// A new surface for one lattice plane of structure in Chart1, added to PlaneSurfaces; the
// caller adds the plane's points.
TTriSurfaceSeries* AddPlaneSurface(TSceneContext& scene, const TVisStructure& structure);
// The same with the structure's surface colour and slot given directly.
TTriSurfaceSeries* AddPlaneSurface(TSceneContext& scene, TColor surfaceColour, int32_t slot);

}  // namespace korvex
