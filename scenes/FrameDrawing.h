// Vector arithmetic on frame vectors and the placement of frame points in the charts.
//
// A frame point (x, y, z) (x in the surface and in the plane of incidence, y normal to the
// plane of incidence, z the outward surface normal) is plotted at chart X = x, chart Y (the
// vertical axis) = z and chart Z (the depth axis) = y, in both charts.
#pragma once

#include <cmath>
#include <string>

#include "chart/Series.h"
#include "geometry/Vector.h"

namespace korvex::frame {

inline TVector operator+(const TVector& a, const TVector& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline TVector operator-(const TVector& a, const TVector& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline TVector operator-(const TVector& a) { return {-a.x, -a.y, -a.z}; }
inline TVector operator*(double f, const TVector& a) { return {f * a.x, f * a.y, f * a.z}; }

inline double Dot(const TVector& a, const TVector& b) {
  return korvex::Dot(a.x, a.y, a.z, b.x, b.y, b.z);
}
inline TVector Cross(const TVector& a, const TVector& b) {
  TVector c;
  korvex::Cross(a.x, a.y, a.z, b.x, b.y, b.z, c.x, c.y, c.z);
  return c;
}
inline double Length(const TVector& a) { return VectorLength(a.x, a.y, a.z); }
inline bool Finite(const TVector& a) {
  return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z);
}

// The frame point p as chart coordinates.
inline TVector ToChart(const TVector& p) { return {p.x, p.z, p.y}; }

inline void AddArrow(TVector3DSeries& series, const TVector& from, const TVector& to,
                     const std::string& label, TColor colour) {
  series.AddVector(from.x, from.z, from.y, to.x, to.z, to.y, label, colour);
}

inline void AddBubble(TBubble3DSeries& series, const TVector& p, double radius, TColor colour,
                      const std::string& label = {}) {
  series.AddBubble(p.x, p.z, p.y, radius, label, colour);
}

inline void AddPoint(TPoint3DSeries& series, const TVector& p, TColor colour) {
  series.AddXYZ(p.x, p.z, p.y, {}, colour);
}

// A plain point (no label, no colour of its own) of a surface.
inline void AddPoint(TCustom3DSurfaceSeries& series, const TVector& p) {
  series.AddXYZ(p.x, p.z, p.y);
}

}  // namespace korvex::frame
