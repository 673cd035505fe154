// Cost of the susceptibilities: chi of every distinct reflection (sorted indices
// 0 <= |h| <= |k| <= |l| <= 20) inside the limiting sphere at 0.5 A, evaluated the way the
// reflection-strength cache of the diffraction geometry does it (one composite, SetReflection
// and ComputeChi per reflection). Compare with bench/xu_chi_speed.py.
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "crystal/CompositeStructure.h"
#include "crystal/DataFiles.h"

namespace {

using korvex::TCompositeStructure;

constexpr double Lambda = 0.5;
constexpr int MaxIndex = 20;

std::vector<std::array<int, 3>> Reflections(double a) {
  const double limit = (2 * a / Lambda) * (2 * a / Lambda);
  std::vector<std::array<int, 3>> keys;
  for (int h = 0; h <= MaxIndex; ++h) {
    for (int k = h; k <= MaxIndex; ++k) {
      for (int l = k; l <= MaxIndex; ++l) {
        if ((h != 0 || k != 0 || l != 0) && h * h + k * k + l * l <= limit) {
          keys.push_back({h, k, l});
        }
      }
    }
  }
  return keys;
}

void ChiOfAllReflections(benchmark::State& state, const char* name) {
  TCompositeStructure s(0, 0, 0, Lambda, 0, 0, 1, 0, name, 1);
  if (!s.LoadLattice()) {
    state.SkipWithError(s.GetMessage().c_str());
    return;
  }
  const std::vector<std::array<int, 3>> keys = Reflections(s.LatticeA);
  std::array<double, 6> chi{};
  for (auto _ : state) {
    for (const auto& key : keys) {
      s.SetReflection(key[0], key[1], key[2]);
      s.ComputeChi();
      s.GetChi(chi[0], chi[1], chi[2], chi[3], chi[4], chi[5]);
      benchmark::DoNotOptimize(chi);
    }
  }
  state.counters["reflections"] = static_cast<double>(keys.size());
  state.counters["per_reflection"] = benchmark::Counter(
      static_cast<double>(keys.size()),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ChiAllReflections_GaAs(benchmark::State& state) { ChiOfAllReflections(state, "GaAs"); }
BENCHMARK(BM_ChiAllReflections_GaAs)->Unit(benchmark::kMillisecond);

void BM_ChiAllReflections_In5Ga5As(benchmark::State& state) {
  ChiOfAllReflections(state, "In5Ga5As");
}
BENCHMARK(BM_ChiAllReflections_In5Ga5As)->Unit(benchmark::kMillisecond);

// The one-time cost: reading and parsing both tables and the structure file.
void BM_FirstChiWithParsing(benchmark::State& state) {
  for (auto _ : state) {
    korvex::ClearDataCache();
    TCompositeStructure s(0, 0, 0, Lambda, 0, 0, 4, 0, "GaAs", 1);
    benchmark::DoNotOptimize(s.ComputeChi());
  }
}
BENCHMARK(BM_FirstChiWithParsing)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
