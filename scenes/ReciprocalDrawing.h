// Drawing helpers of the reciprocal-space scenes: frame points placed in the charts (chart
// X = x, Y = z, Z = y) with a guard that keeps points that are no finite numbers out of every
// series, and the hkl labels of the nodes.
#pragma once

#include <cstdint>
#include <string>

#include "chart/Series.h"
#include "scenes/FrameDrawing.h"

namespace korvex::recip {

inline bool FiniteAll(double a, double b = 0, double c = 0, double d = 0) {
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// A bubble at the frame point p; false (nothing added) when p or the radius is not finite.
inline bool AddNode(TBubble3DSeries& series, const TVector& p, double radius, const std::string& label,
                    TColor colour) {
  if (!frame::Finite(p) || !std::isfinite(radius)) return false;
  frame::AddBubble(series, p, radius, colour, label);
  return true;
}

inline bool AddArrow(TVector3DSeries& series, const TVector& from, const TVector& to, const std::string& label,
                     TColor colour) {
  if (!frame::Finite(from) || !frame::Finite(to)) return false;
  frame::AddArrow(series, from, to, label, colour);
  return true;
}

inline bool AddLinePoint(TPoint3DSeries& series, const TVector& p, TColor colour) {
  if (!frame::Finite(p)) return false;
  frame::AddPoint(series, p, colour);
  return true;
}

// A height-field point (x, y) of the frame at height z.
inline bool AddSurfacePoint(TCustom3DSurfaceSeries& series, double x, double y, double z) {
  if (!FiniteAll(x, y, z)) return false;
  frame::AddPoint(series, TVector{x, y, z});
  return true;
}

}  // namespace korvex::recip
