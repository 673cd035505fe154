// Cost of the diffraction geometry: one frame and one wave-vector solution, and the reflection
// strengths of every node of Si inside the limiting sphere at 0.5 A.
#include <benchmark/benchmark.h>

#include "geometry/Settings.h"
#include "geometry/VisStructure.h"

namespace {

using korvex::TSettings;
using korvex::TVisStructure;

void Prepare(TSettings& settings, TVisStructure& s, double lambda) {
  settings.RecomputeDone = true;
  settings.Lambda = lambda;
  s.StructureName = "Si";
  s.InUse = true;
  s.WaveNumber = 1 / lambda;
  s.Setup(0);
}

void BM_ComputeGeometryAndSolve(benchmark::State& state) {
  TSettings settings;
  TVisStructure s(settings);
  Prepare(settings, s, 1.5406);
  settings.Hkl = {2, 2, 4};
  for (auto _ : state) {
    settings.IncPlanePoint = {1, 1, 0};
    s.ComputeGeometry();
    s.SolveWaveVectors();
    benchmark::DoNotOptimize(s.IncidenceAngle);
  }
}
BENCHMARK(BM_ComputeGeometryAndSolve);

// Every node h k l (|h|, |k|, |l| <= MaxIndex) with |H| <= 2K: 42349 nodes, 1117 keys.
double StrengthOfAllNodes(TVisStructure& s) {
  const int32_t m = s.MaxIndex;
  const double limit2 = 4 * s.WaveNumber * s.WaveNumber;
  double sum = 0;
  for (int32_t h = -m; h <= m; ++h) {
    for (int32_t k = -m; k <= m; ++k) {
      for (int32_t l = -m; l <= m; ++l) {
        double x, y, z;
        s.ReciprocalVector(h, k, l, x, y, z);
        if (x * x + y * y + z * z > limit2) continue;
        sum += s.ReflectionStrength(h, k, l);
      }
    }
  }
  return sum;
}

void BM_StrengthAllNodesFirstCall(benchmark::State& state) {
  TSettings settings;
  settings.UseHi = true;
  for (auto _ : state) {
    state.PauseTiming();
    TVisStructure s(settings);
    Prepare(settings, s, 0.5);
    s.ComputeGeometry();
    state.ResumeTiming();
    benchmark::DoNotOptimize(StrengthOfAllNodes(s));
    state.PauseTiming();
    state.counters["records"] = s.CacheCount();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StrengthAllNodesFirstCall)->Unit(benchmark::kMillisecond);

void BM_StrengthAllNodesCached(benchmark::State& state) {
  TSettings settings;
  settings.UseHi = true;
  TVisStructure s(settings);
  Prepare(settings, s, 0.5);
  s.ComputeGeometry();
  StrengthOfAllNodes(s);
  for (auto _ : state) benchmark::DoNotOptimize(StrengthOfAllNodes(s));
  state.counters["records"] = s.CacheCount();
}
BENCHMARK(BM_StrengthAllNodesCached)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
