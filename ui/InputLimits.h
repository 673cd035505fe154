// Bounds of the fields whose values set the size of a drawing. Larger values would make a
// command run for minutes or exhaust memory (NReal 1000 asks for 2001^3 node spheres), so
// they are refused with a message before anything is read into the structures or drawn.
// The bounds are those at which every drawing command still finishes in about two seconds.
#pragma once

#include <cstdint>

namespace korvex {

struct TIntRange {
  const char* Field;  // caption of the field in the parameters dialog
  int32_t Min;
  int32_t Max;
};

// The figures behind them (Release build, this machine: bench/chart_bench, bench/geometry_bench):
// the canvas draws 10 000 spheres in 20 ms and ten 121 x 121 height fields in 100 ms per
// frame; a reflection strength costs 90 ns per node.

// Lattice nodes in each direction of the real-space block: (2 |NReal| + 1)^3 node spheres,
// 29 791 at the bound (about 60 ms a frame). -1 draws the unit cell; 0 becomes 2 as typed.
inline constexpr TIntRange NRealRange{"NReal", -15, 15};
// Reciprocal index range; at short wavelengths up to (2 |NRecMax| + 1)^3 nodes, 226 981 at the
// bound (about half a second a frame). A negative range draws non-negative indices only.
inline constexpr TIntRange NRecMaxRange{"NRecMax", -30, 30};
// The three optional limits after the count in the same field.
inline constexpr TIntRange NRecLimitRange{"NRecMax limit", -30, 30};
// Animation steps; a step lasts the step time.
inline constexpr TIntRange AnimStepsRange{"TimeSteps", 1, 1000};
// Step time of the animations in milliseconds.
inline constexpr TIntRange StepTimeRange{"1 step, ms", 1, 1000};
// Grid steps of the region surfaces: about ten surfaces of (4 MaxPoints + 1)^2 points, so at
// the bound 1.6 million cells (about a second a frame) and 200 MB of points.
inline constexpr TIntRange MaxPointsRange{"MaxPoints", 1, 100};

// Throws CommandError naming the field and its bounds when value lies outside them.
void CheckRange(const TIntRange& range, int32_t value);

}  // namespace korvex
