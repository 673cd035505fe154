// Vector and angle helpers shared by the diffraction geometry and every scene builder.
//
// Vectors are three separate doubles (x, y, z); results come back through output references,
// so a caller may pass the same variables as input and output. Angles are in radians.
#pragma once

#include <cstdint>

namespace korvex {

// The program-wide zero for geometric and numeric comparisons.
inline constexpr double Tolerance = 1e-10;

inline constexpr double Pi = 3.141592653589793;

// A vector held as a field; the helpers below take and return its components separately.
struct TVector {
  double x = 0, y = 0, z = 0;
};

double Sqr(double x);

// The integer nearest to x, halves away from zero (2.5 -> 3, -2.5 -> -3, 2.49 -> 2).
// Values beyond the 32-bit range saturate at its ends; not-a-number gives 0.
int32_t RoundHalfAway(double x);

// True when y lies strictly between x - 1e-10 and x + 1e-10.
bool SameValue(double x, double y);

// |n|; the one value without a positive counterpart, INT32_MIN, gives INT32_MAX.
int32_t IntAbs(int32_t n);

// Greatest common divisor by Euclid's rule with truncating remainders: Gcd(0, b) = b,
// otherwise Gcd(b mod a, a). The sign follows from the rule (Gcd(0, -4) = -4); Gcd(0, 0) = 0.
int32_t Gcd(int32_t a, int32_t b);

// Sorts the first n values ascending, in place (bubble sort; n is small everywhere).
void SortInts(int32_t* values, int32_t n);

// Real roots of a x^2 + b x + c = 0. A discriminant within 1e-10 of zero counts as zero.
// x1 is the root with +sqrt(D). With |a| <= 1e-10 the linear equation is solved (x1 = x2).
// Returns false, leaving x1 and x2 unchanged, when there is no real root or no equation.
bool SolveQuadratic(double a, double b, double c, double& x1, double& x2);

// Turns v about the axis n (of any non-zero length) by angle, right-handed, by Rodrigues'
// formula. Returns 1, or -1 for a zero axis, in which case the outputs are left unchanged.
int32_t RotateVector(double angle, double vx, double vy, double vz, double nx, double ny, double nz,
                     double& rx, double& ry, double& rz);

double VectorLength(double x, double y, double z);

double Dot(double ax, double ay, double az, double bx, double by, double bz);

void Cross(double ax, double ay, double az, double bx, double by, double bz, double& cx, double& cy,
           double& cz);

// Projection of v onto the direction of u; the zero vector when |u| < 1e-10.
void Project(double vx, double vy, double vz, double ux, double uy, double uz, double& px,
             double& py, double& pz);

// Scales the vector to length 1. A vector of zero or non-finite length is left as it is and
// the result is false, so a degenerate direction never turns into not-a-number components.
bool Normalize(double& x, double& y, double& z);

}  // namespace korvex
