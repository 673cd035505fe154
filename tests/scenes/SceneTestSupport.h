// What the scene tests share: a window stand-in for the scenes' host, and reading chart points
// back in the frame of the structure.
#pragma once

#include <cmath>
#include <cstdint>

#include "chart/Chart.h"
#include "chart/Series.h"
#include "geometry/Vector.h"
#include "scenes/SceneContext.h"

namespace korvex::scenetest {

class Host : public ISceneHost {
 public:
  void StopTimer() override {}
  void ResetPhiTrackBar() override {}
  int32_t MainWindowWidth() const override { return 748; }
  bool PlanesShown() const override { return true; }
};

// Chart coordinates back to the frame: chart (X, Y, Z) is frame (X, Z, Y).
inline TVector PointOf(const TChartSeries& s, int i) {
  return {s.XValue(i), s.ZValue(i), s.YValue(i)};
}
inline TVector EndOf(const TVector3DSeries& s, int i) {
  return {s.EndXValue(i), s.EndZValue(i), s.EndYValue(i)};
}

// No series of the chart holds a coordinate, end point or radius that is not finite.
inline bool AllFinite(const TChart& chart) {
  for (const TChartSeries* s : chart.Series()) {
    for (const TChartPoint& p : s->Points()) {
      for (double v : {p.X, p.Y, p.Z, p.EndX, p.EndY, p.EndZ, p.Radius}) {
        if (!std::isfinite(v)) return false;
      }
    }
  }
  return true;
}

}  // namespace korvex::scenetest
