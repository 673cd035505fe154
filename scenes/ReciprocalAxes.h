// The three labelled direction arrows of the reciprocal-space chart and the marker of one
// reflection, shared by "Real", "Set hkl", "Recipr" and "Rec.2D".
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "scenes/SceneContext.h"

namespace korvex {

class TVisStructure;

// Three indices written as decimal integers, joined by "," when separated is set, otherwise
// with nothing in between: (1, -1, 3) gives "1-13" or "1,-1,3".
std::string IndexLabel(int32_t h, int32_t k, int32_t l, bool separated);
// The axis and node label rule: separated exactly when one index is greater than 9 (negative
// indices never cause the separator): (0, 0, 4) "004", (10, 0, -2) "10,0,-2", (-10, 0, 0) "-1000".
std::string IndexLabel(int32_t h, int32_t k, int32_t l);

// The in-surface direction perpendicular to the plane of incidence, in whole indices:
// Settings.IncPlanePoint x Settings.Normal reduced by the absolute value of the greatest
// common divisor of its components, so the indices keep the direction of the cross product.
std::array<int32_t, 3> PerpendicularIndices();

// Replaces SeriesVecRecipr by three black arrows, their heads at the start points: the
// direction Settings.IncPlanePoint (turned by -Settings.Phi about the normal), the
// perpendicular direction of PerpendicularIndices (half as long unless "Square") and the
// surface normal Settings.Normal, each labelled with its indices. Length Settings.TwoK, or
// 1.12 |MaxIndex| / LatticeA for a range that is not positive (so 0 for a range of 0); with
// "1/8" the first two arrows reach only 0.1 of their length past the origin.
void DrawReciprocalAxes(TSceneContext& scene, const TVisStructure& structure);

// Sets HVector to h a* + k b* + l c* and adds its node to SeriesPointRes (radius
// Settings.NodeRadius, label the indices without separator: "-113", "1002") and its arrow from
// the origin to SeriesVecRecipr2, which is cleared first unless the structure is the second of
// two (Slot 12). SeriesPointRes is never cleared here.
void MarkReflection(TSceneContext& scene, TVisStructure& structure, int32_t h, int32_t k, int32_t l);

}  // namespace korvex
