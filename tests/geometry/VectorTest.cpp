#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/Vector.h"

namespace korvex {
namespace {

TEST(RoundHalfAway, HalvesGoAwayFromZeroAndOutOfRangeSaturates) {
  struct Case {
    double x;
    int32_t expected;
  };
  const Case cases[] = {{2.5, 3},
                        {-2.5, -3},
                        {2.49, 2},
                        {-2.49, -2},
                        {0.5, 1},
                        {-0.5, -1},
                        {0.0, 0},
                        {7.0, 7},
                        {1e300, INT32_MAX},
                        {-1e300, INT32_MIN},
                        {2147483647.4, INT32_MAX},
                        {std::numeric_limits<double>::infinity(), INT32_MAX},
                        {std::nan(""), 0}};
  for (const Case& c : cases) EXPECT_EQ(RoundHalfAway(c.x), c.expected) << c.x;
}

TEST(SameValue, BoundIsStrict) {
  EXPECT_FALSE(SameValue(0, 1e-10));
  EXPECT_TRUE(SameValue(0, 5e-11));
  EXPECT_TRUE(SameValue(3, 3));
  EXPECT_FALSE(SameValue(0, std::nan("")));
}

TEST(IntegerHelpers, AbsGcdAndSort) {
  EXPECT_EQ(IntAbs(-7), 7);
  EXPECT_EQ(IntAbs(INT32_MIN), INT32_MAX);
  EXPECT_EQ(Gcd(12, 18), 6);
  EXPECT_EQ(Gcd(0, 0), 0);
  EXPECT_EQ(Gcd(0, -4), -4);  // the rule's sign, callers take IntAbs
  EXPECT_EQ(IntAbs(Gcd(-6, 4)), 2);
  EXPECT_EQ(Gcd(-1, INT32_MIN), -1);  // no overflowing remainder
  int32_t v[] = {4, -1, 3, 0, -1, 9};
  SortInts(v, 5);  // only the first five
  const int32_t sorted[] = {-1, -1, 0, 3, 4, 9};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(v[i], sorted[i]);
  SortInts(v, 0);
  SortInts(v, -3);
}

TEST(SolveQuadratic, RootsDegenerateAndLinearCases) {
  double x1 = 99, x2 = 99;
  ASSERT_TRUE(SolveQuadratic(1, -3, 2, x1, x2));
  EXPECT_DOUBLE_EQ(x1, 2);  // the root with +sqrt(D) first
  EXPECT_DOUBLE_EQ(x2, 1);
  ASSERT_TRUE(SolveQuadratic(1, 2, 1 + 1e-12, x1, x2));  // D about -4e-12 counts as 0
  EXPECT_DOUBLE_EQ(x1, -1);
  EXPECT_DOUBLE_EQ(x2, -1);
  ASSERT_TRUE(SolveQuadratic(0, 2, -4, x1, x2));
  EXPECT_DOUBLE_EQ(x1, 2);
  EXPECT_DOUBLE_EQ(x2, 2);
  x1 = x2 = 99;
  EXPECT_FALSE(SolveQuadratic(0, 0, 1, x1, x2));
  EXPECT_FALSE(SolveQuadratic(1, 0, 1, x1, x2));
  EXPECT_EQ(x1, 99);  // outputs untouched on failure
  EXPECT_EQ(x2, 99);
}

TEST(RotateVector, RightHandedAnyAxisLengthAndAliasing) {
  double x = 1, y = 0, z = 0;
  ASSERT_EQ(RotateVector(Pi / 2, x, y, z, 0, 0, 5, x, y, z), 1);  // outputs alias inputs
  EXPECT_NEAR(x, 0, 1e-15);
  EXPECT_NEAR(y, 1, 1e-15);
  EXPECT_NEAR(z, 0, 1e-15);
  // A third of a turn about (1,1,1) cycles the axes x -> y -> z.
  double rx, ry, rz;
  ASSERT_EQ(RotateVector(2 * Pi / 3, 1, 0, 0, 0.1, 0.1, 0.1, rx, ry, rz), 1);
  EXPECT_NEAR(rx, 0, 1e-15);
  EXPECT_NEAR(ry, 1, 1e-15);
  EXPECT_NEAR(rz, 0, 1e-15);
  rx = ry = rz = 7;
  EXPECT_EQ(RotateVector(1.0, 1, 2, 3, 0, 0, 0, rx, ry, rz), -1);
  EXPECT_EQ(rx, 7);
  EXPECT_EQ(ry, 7);
  EXPECT_EQ(rz, 7);
}

TEST(VectorAlgebra, CrossProjectNormalize) {
  EXPECT_DOUBLE_EQ(Dot(1, 2, 3, 4, -5, 6), 12);
  EXPECT_DOUBLE_EQ(VectorLength(2, 3, 6), 7);
  double ax = 1, ay = 0, az = 0;
  Cross(ax, ay, az, 0, 1, 0, ax, ay, az);  // aliasing the first argument
  EXPECT_EQ(ax, 0);
  EXPECT_EQ(ay, 0);
  EXPECT_EQ(az, 1);
  double px, py, pz;
  Project(3, 4, 5, 0, 2, 0, px, py, pz);
  EXPECT_DOUBLE_EQ(px, 0);
  EXPECT_DOUBLE_EQ(py, 4);
  EXPECT_DOUBLE_EQ(pz, 0);
  Project(3, 4, 5, 0, 5e-11, 0, px, py, pz);  // onto a vector shorter than 1e-10
  EXPECT_EQ(px, 0);
  EXPECT_EQ(py, 0);
  EXPECT_EQ(pz, 0);
  double x = 0, y = 3, z = 4;
  EXPECT_TRUE(Normalize(x, y, z));
  EXPECT_DOUBLE_EQ(y, 0.6);
  EXPECT_DOUBLE_EQ(z, 0.8);
  x = y = z = 0;
  EXPECT_FALSE(Normalize(x, y, z));  // stays the zero vector, never NaN
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(z, 0);
}

}  // namespace
}  // namespace korvex
