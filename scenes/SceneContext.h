// What every scene builder draws into: the two charts with their series catalogue, the pool
// of run-time series, and the few things of the window above that a scene must reach.
#pragma once

#include <cstdint>

#include "chart/Catalogue.h"
#include "scenes/SeriesPool.h"

namespace korvex {

// Implemented by the main window; scenes never include a window header.
class ISceneHost {
 public:
  virtual ~ISceneHost() = default;
  // Switches the animation timer off (a running animation then ends).
  virtual void StopTimer() = 0;
  // Puts the crystal-rotation track bar back to 0 without running its command.
  virtual void ResetPhiTrackBar() = 0;
  // Width of the main window in pixels.
  virtual int32_t MainWindowWidth() const = 0;
  // State of the "Planes" check box: new lattice-plane surfaces are shown only when it is on.
  virtual bool PlanesShown() const = 0;
};

struct TSceneContext {
  TChartCatalogue& Charts;
  TSeriesPool& Pool;
  ISceneHost& Host;
};

}  // namespace korvex
