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

// Lattice nodes in each direction of the real-space block: (2 |NReal| + 1)^3 node spheres.
// -1 draws the unit cell; 0 is replaced by 2 as it is typed.
inline constexpr TIntRange NRealRange{"NReal", -10, 10};
// Reciprocal nodes along each axis; the index triples grow as its cube at short wavelengths.
inline constexpr TIntRange NRecMaxRange{"NRecMax", 0, 40};
// The three optional limits after the count in the same field.
inline constexpr TIntRange NRecLimitRange{"NRecMax limit", -40, 40};
// Animation steps; a step lasts the step time.
inline constexpr TIntRange AnimStepsRange{"TimeSteps", 1, 1000};
// Step time of the animations in milliseconds.
inline constexpr TIntRange StepTimeRange{"1 step, ms", 1, 1000};
// Points along each direction of a surface grid.
inline constexpr TIntRange MaxPointsRange{"MaxPoints", 2, 200};

// Throws CommandError naming the field and its bounds when value lies outside them.
void CheckRange(const TIntRange& range, int32_t value);

}  // namespace korvex
