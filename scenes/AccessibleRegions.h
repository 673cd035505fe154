// The bodies of the reciprocal-space chart that show which nodes a wave of wave number
// K = 1/lambda can reach: the limiting sphere (radius 2K), the two spheres of grazing incidence
// and exit (radius K at +-K along the surface direction) with their circles and a grey block
// for the crystal, the bounds of the Bragg and Laue regions for the plane of incidence, the
// torus and hemisphere for all azimuths, the Ewald sphere of the incident wave and the planes
// of the surface and of incidence. The check boxes of the window only show and hide them.
#pragma once

#include "scenes/SceneContext.h"

namespace korvex {

class TVisStructure;

// Replaces the limiting sphere (red, transparency 80) and the grazing spheres (green, 15),
// frees the block faces of the last call (pool range RegionSurfaces) and makes seven new grey
// faces of half-width 1.05 Settings.TwoK, shown when the "Spheres" switch is on (the switch
// also shows SeriesSphereSmall, whose visibility is read for it). Appends 2M + 1 red points
// (M = Settings.MaxPoints) to each of the four circles: the grazing circles and the limiting
// circle in the surface and the upper limiting half-circle in the plane of incidence.
void DrawClassicalSpheres(TSceneContext& scene, const TVisStructure& structure);

// Refills the ten region surfaces over a grid of step 0.505 Settings.TwoK / M: the upper
// and lower torus and the upper hemisphere (x, y within 2.02 K), the bounds of the Bragg
// region (SeriesSurfUp, SeriesSurfDwn, SeriesSurfKh0) and of the Laue region (SeriesSurfK00,
// SeriesLaueKh) with y within 1.01 K, or 2.02 K with "Square". With "1/8" only x >= 0,
// y <= 0. SeriesTor3 and SeriesTor4 are left empty. Below the crystal surface outside the two
// grazing circles the lower Laue bound follows the SeriesSurfKh0 height, the lowest exit that
// still leaves downward, so the bound is continuous at the circles.
void DrawAccessibleRegions(TSceneContext& scene, const TVisStructure& structure);

// The Ewald sphere of the incident wave: an aqua bubble of radius K at -K0 in SeriesSphereKh,
// emptied first when clear is set.
void DrawKhSphere(TSceneContext& scene, const TVisStructure& structure, bool clear);

// Replaces the crystal-surface square (half-side Settings.TwoK, turned by -Settings.Phi) and
// the square in the plane of incidence through the origin.
void DrawResolutionPlanes(TSceneContext& scene, const TVisStructure& structure);

}  // namespace korvex
