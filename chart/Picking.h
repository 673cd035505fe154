#pragma once
// Which bubble a click lands on. The chart is projected exactly as both renderers project
// it (TProjection::ForChart), so a pick made here matches the picture on the canvas and in
// OpenGL alike.
#include "chart/Series.h"

namespace korvex {

class TChart;

// Bubbles drawn smaller than this many pixels are still hit within it.
inline constexpr double MinPickRadius = 5;

// The bubble of series under the pixel (px, py) of a view of width x height pixels: among
// the bubbles whose drawn disc holds the pixel, the one nearest the viewer; failing that,
// the nearest centre within MinPickRadius pixels. -1 for none (also for a hidden series or a
// series of another kind). Bubbles of radius 0 count as drawn MinPickRadius across.
int PickBubble(const TChart& chart, const TChartSeries& series, int width, int height, double px,
               double py);

// Where point i of the series lands on such a view: pixel x, y and the drawn radius in pixels.
bool ProjectedPoint(const TChart& chart, const TChartSeries& series, int i, int width, int height,
                    double& px, double& py, double& radiusPx);

}  // namespace korvex
