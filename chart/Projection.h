#pragma once
// Where a chart point lands on a view of a given size. Both renderers use it, so the
// canvas and OpenGL pictures agree. One axis unit spans the same number of pixels on
// all three axes; the axis ranges give the centre and the scale.
#include <array>

namespace korvex {

class TChart;

struct TProjection {
  // Screen x, y in pixels (y downwards) and depth (axis units, larger is farther away).
  std::array<double, 3> Project(double x, double y, double z) const;
  // Rotation only: a chart-axes direction in view axes (x right, y up, z into the screen).
  std::array<double, 3> RotateToView(double x, double y, double z) const;
  // Pixels per axis unit at a point of the given depth.
  double ScaleAt(double depth) const;

  double Rot[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};  // chart axes -> view axes
  double Center[3] = {0, 0, 0};                          // chart point at the view centre
  double Scale = 1;                                      // pixels per unit
  double ScreenX = 0, ScreenY = 0;                       // pixel position of Center
  double EyeDistance = 0;                                // axis units; 0 orthogonal (always)
  double DepthFactor = 1;                                // Chart3DPercent / 100
  int Width = 1, Height = 1;

  // The projection of a chart onto a view of width x height pixels.
  static TProjection ForChart(const TChart& chart, int width, int height);
};

// Rotation and elevation after a mouse drag of (dx, dy) pixels, kept in 0..359.
void RotateByDrag(int rotation, int elevation, int dx, int dy, int& newRotation, int& newElevation);

}  // namespace korvex
