// What a detector sees: the position-sensitive detector across the diffracted beam with its
// image on the Ewald sphere ("PSD"), and the fan of omega/N-theta scans over the azimuth that
// maps a cone in reciprocal space ("C").
#pragma once

#include "scenes/Animations.h"

namespace korvex {

class TVisStructure;

// The plate of side DetectorSize a centred DetectorDistance a from the sample along Kh in
// Chart1 (corners kept in DetectorCorners), in detector view the diffracted beams to its two
// edges, and the image of the plate in Chart2: n = trunc(0.4 A) purple lines of n points
// K P/|P| - K0 over the plate. Nothing but the beams when the diffracted beam is the null
// vector. A beam along the surface normal gets the plate square to it with its edges along x
// and y.
void ShowPsd(TAnimationContext& anim, TVisStructure& structure);

// 2A + 1 fast omega/N-theta scans ("Move" with both scan boxes and "fast" ticked), the i-th
// turned by i span / (2A + 1) degrees about the surface normal, i = -A .. A; the scan boxes,
// "fast" and the azimuth are off again afterwards and the reflection position is redrawn.
void ShowAzimuthCone(TAnimationContext& anim, TVisStructure& structure, double spanDegrees);

}  // namespace korvex
