#pragma once
// Triangulation of a point set in the plane that fits it best (least squares), so that
// planes of any orientation, vertical ones included, are filled.
#include <array>
#include <vector>

namespace korvex {

using TVec3 = std::array<double, 3>;

// Delaunay triangles of the points projected onto their best-fit plane, as indices into
// points. Non-finite points and repeats (within a relative 1e-9) are left out; fewer than
// three distinct points, or points on one line, give no triangles.
std::vector<std::array<int, 3>> TriangulatePlanar(const std::vector<TVec3>& points);

// Edges that belong to one triangle only: the outline of the triangulated area.
std::vector<std::array<int, 2>> BoundaryEdges(const std::vector<std::array<int, 3>>& triangles);

// Eigen decomposition of a symmetric 3x3 matrix (Jacobi); values ascending,
// vectors[k] belongs to values[k].
void SymmetricEigen3(const double m[3][3], double values[3], TVec3 vectors[3]);

}  // namespace korvex
