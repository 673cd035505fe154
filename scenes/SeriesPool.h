// The series the scenes create while the program runs (one surface per lattice plane, the
// faces of a box, polylines), kept in four ranges of 100 slots, and the line width all scenes
// draw with.
#pragma once

#include <array>
#include <cstdint>

#include "chart/Chart.h"
#include "chart/Series.h"

namespace korvex {

// One range: slots 0 to Counter hold the live series; Counter is -1 when the range is empty.
struct TPoolRange {
  static constexpr int32_t Capacity = 100;
  std::array<TChartSeries*, Capacity> Slots{};
  int32_t Counter = -1;

  int32_t Count() const { return Counter + 1; }
  bool Empty() const { return Counter < 0; }
  TChartSeries* operator[](int32_t i) const { return Slots[static_cast<size_t>(i)]; }

  // Destroys the live series (an empty slot is skipped) and empties the range.
  void Free();
  // Puts series into the next slot. A full range reuses its last slot: the series there is
  // destroyed first, so a scene can never write past the range.
  void Add(TChartSeries* series);
  // Shows or hides every live series.
  void SetActive(bool active) const;
};

struct TSeriesPool {
  TPoolRange PlaneSurfaces;    // TTriSurfaceSeries in Chart1, one per lattice plane
  TPoolRange RegionSurfaces;   // TSurfaceSeries in Chart2, the faces of the region box
  TPoolRange ReciprocalLines;  // TPoint3DSeries in Chart2: Bragg circle, traces
  TPoolRange RealLines;        // TPoint3DSeries in Chart1: slab and cell edges, wave trains

  // Pen width of the vector series and base width of every run-time polyline, in pixels.
  int32_t LineWidth = 2;

  TSeriesPool() = default;
  TSeriesPool(const TSeriesPool&) = delete;
  TSeriesPool& operator=(const TSeriesPool&) = delete;

  bool AllEmpty() const;
  // Sets every counter to -1 without destroying anything (the pool of a new window).
  void Reset();

  // A series of kind T owned by and attached to chart, added to range.
  template <class T>
  T* Create(TPoolRange& range, TChart& chart) {
    T* series = chart.CreateSeries<T>();
    range.Add(series);
    return series;
  }
};

// max(2, RoundHalfAway(0.005 * windowWidth)).
int32_t LineWidthFor(int32_t windowWidth);

}  // namespace korvex
