#include "scenes/SeriesPool.h"

#include <algorithm>

#include "geometry/Vector.h"

namespace korvex {

void TPoolRange::Free() {
  for (int32_t i = 0; i <= std::min(Counter, Capacity - 1); ++i) {
    TChartSeries*& slot = Slots[static_cast<size_t>(i)];
    if (slot == nullptr) continue;
    TChart::DestroySeries(slot);
    slot = nullptr;
  }
  Counter = -1;
}

void TPoolRange::Add(TChartSeries* series) {
  if (Counter + 1 >= Capacity) {
    TChartSeries*& last = Slots[Capacity - 1];
    if (last != nullptr && last != series) TChart::DestroySeries(last);
    last = series;
    Counter = Capacity - 1;
    return;
  }
  ++Counter;
  Slots[static_cast<size_t>(Counter)] = series;
}

void TPoolRange::SetActive(bool active) const {
  for (int32_t i = 0; i <= std::min(Counter, Capacity - 1); ++i) {
    if (TChartSeries* s = Slots[static_cast<size_t>(i)]) s->SetActive(active);
  }
}

bool TSeriesPool::AllEmpty() const {
  return PlaneSurfaces.Empty() && RegionSurfaces.Empty() && ReciprocalLines.Empty() &&
         RealLines.Empty();
}

void TSeriesPool::Reset() {
  for (TPoolRange* r : {&PlaneSurfaces, &RegionSurfaces, &ReciprocalLines, &RealLines}) {
    r->Counter = -1;
  }
}

int32_t LineWidthFor(int32_t windowWidth) {
  return std::max<int32_t>(2, RoundHalfAway(0.005 * windowWidth));
}

}  // namespace korvex
