#include "chart/Triangulation.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace korvex {

void SymmetricEigen3(const double m[3][3], double values[3], TVec3 vectors[3]) {
  double a[3][3];
  double v[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) a[i][j] = m[i][j];
  for (int sweep = 0; sweep < 50; ++sweep) {
    const double off = std::fabs(a[0][1]) + std::fabs(a[0][2]) + std::fabs(a[1][2]);
    if (off < 1e-300) break;
    for (int p = 0; p < 2; ++p) {
      for (int q = p + 1; q < 3; ++q) {
        if (std::fabs(a[p][q]) < 1e-300) continue;
        const double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
        const double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
        const double c = 1 / std::sqrt(t * t + 1), s = t * c;
        for (int k = 0; k < 3; ++k) {  // A := A J
          const double akp = a[k][p], akq = a[k][q];
          a[k][p] = c * akp - s * akq;
          a[k][q] = s * akp + c * akq;
        }
        for (int k = 0; k < 3; ++k) {  // A := J^T A
          const double apk = a[p][k], aqk = a[q][k];
          a[p][k] = c * apk - s * aqk;
          a[q][k] = s * apk + c * aqk;
        }
        for (int k = 0; k < 3; ++k) {
          const double vkp = v[k][p], vkq = v[k][q];
          v[k][p] = c * vkp - s * vkq;
          v[k][q] = s * vkp + c * vkq;
        }
      }
    }
  }
  int order[3] = {0, 1, 2};
  std::sort(order, order + 3, [&](int x, int y) { return a[x][x] < a[y][y]; });
  for (int k = 0; k < 3; ++k) {
    values[k] = a[order[k]][order[k]];
    vectors[k] = {v[0][order[k]], v[1][order[k]], v[2][order[k]]};
  }
}

namespace {

struct TP2 {
  double x, y;
};

struct TTri {
  int a, b, c;
  double cx, cy, r2;  // circumcircle
};

bool Circumcircle(const std::vector<TP2>& p, int a, int b, int c, TTri& t) {
  const double ax = p[a].x, ay = p[a].y, bx = p[b].x, by = p[b].y, cx = p[c].x, cy = p[c].y;
  const double d = 2 * (ax * (by - cy) + bx * (cy - ay) + cx * (ay - by));
  t.a = a;
  t.b = b;
  t.c = c;
  if (std::fabs(d) < 1e-300) {
    t.cx = t.cy = 0;
    t.r2 = INFINITY;
    return false;
  }
  const double a2 = ax * ax + ay * ay, b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
  t.cx = (a2 * (by - cy) + b2 * (cy - ay) + c2 * (ay - by)) / d;
  t.cy = (a2 * (cx - bx) + b2 * (ax - cx) + c2 * (bx - ax)) / d;
  t.r2 = (ax - t.cx) * (ax - t.cx) + (ay - t.cy) * (ay - t.cy);
  return true;
}

double Cross2(const TP2& o, const TP2& a, const TP2& b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

}  // namespace

std::vector<std::array<int, 3>> TriangulatePlanar(const std::vector<TVec3>& points) {
  std::vector<std::array<int, 3>> out;
  // Finite points; scale for the tolerances.
  std::vector<int> idx;
  double scale = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const TVec3& q = points[i];
    if (!std::isfinite(q[0]) || !std::isfinite(q[1]) || !std::isfinite(q[2])) continue;
    idx.push_back(static_cast<int>(i));
    scale = std::max({scale, std::fabs(q[0]), std::fabs(q[1]), std::fabs(q[2])});
  }
  if (idx.size() < 3) return out;
  scale = std::max(scale, 1e-300);
  // Best-fit plane: the two main axes of the point cloud.
  TVec3 c{0, 0, 0};
  for (int i : idx)
    for (int k = 0; k < 3; ++k) c[static_cast<size_t>(k)] += points[static_cast<size_t>(i)][static_cast<size_t>(k)];
  for (double& v : c) v /= static_cast<double>(idx.size());
  double cov[3][3] = {};
  for (int i : idx) {
    const TVec3& q = points[static_cast<size_t>(i)];
    for (int r = 0; r < 3; ++r)
      for (int s = 0; s < 3; ++s)
        cov[r][s] += (q[static_cast<size_t>(r)] - c[static_cast<size_t>(r)]) *
                     (q[static_cast<size_t>(s)] - c[static_cast<size_t>(s)]);
  }
  double ev[3];
  TVec3 evec[3];
  SymmetricEigen3(cov, ev, evec);
  const double spread = ev[2];
  if (!(spread > 0) || ev[1] <= 1e-18 * spread) return out;  // one point or one line
  const TVec3& u = evec[2];
  const TVec3& w = evec[1];
  // Project, normalise to about a unit box, drop repeats.
  std::vector<TP2> p;
  std::vector<int> orig;
  const double inv = 1 / std::sqrt(spread / static_cast<double>(idx.size()));
  {
    std::vector<std::pair<TP2, int>> tmp;
    for (int i : idx) {
      const TVec3& q = points[static_cast<size_t>(i)];
      const double dx = q[0] - c[0], dy = q[1] - c[1], dz = q[2] - c[2];
      tmp.push_back({{(dx * u[0] + dy * u[1] + dz * u[2]) * inv, (dx * w[0] + dy * w[1] + dz * w[2]) * inv}, i});
    }
    std::sort(tmp.begin(), tmp.end(), [](const auto& a, const auto& b) {
      return a.first.x < b.first.x || (a.first.x == b.first.x && a.first.y < b.first.y);
    });
    const double tol = 1e-9;
    for (const auto& [pt, i] : tmp) {
      bool dup = false;
      for (size_t k = p.size(); k-- > 0;) {
        if (pt.x - p[k].x > tol) break;
        if (std::fabs(pt.y - p[k].y) <= tol) {
          dup = true;
          break;
        }
      }
      if (!dup) {
        p.push_back(pt);
        orig.push_back(i);
      }
    }
  }
  const int n = static_cast<int>(p.size());
  if (n < 3) return out;
  // Bowyer-Watson with a super triangle far outside.
  double minx = p[0].x, maxx = p[0].x, miny = p[0].y, maxy = p[0].y;
  for (const TP2& q : p) {
    minx = std::min(minx, q.x);
    maxx = std::max(maxx, q.x);
    miny = std::min(miny, q.y);
    maxy = std::max(maxy, q.y);
  }
  const double mx = (minx + maxx) / 2, my = (miny + maxy) / 2;
  const double big = 1e4 * std::max({maxx - minx, maxy - miny, 1e-9});
  p.push_back({mx - 2 * big, my - big});
  p.push_back({mx + 2 * big, my - big});
  p.push_back({mx, my + 2 * big});
  std::vector<TTri> tris;
  {
    TTri t{};
    Circumcircle(p, n, n + 1, n + 2, t);
    tris.push_back(t);
  }
  std::vector<TTri> keep;
  std::vector<std::pair<int, int>> edges;
  for (int i = 0; i < n; ++i) {
    const TP2& q = p[static_cast<size_t>(i)];
    keep.clear();
    edges.clear();
    for (const TTri& t : tris) {
      const double d2 = (q.x - t.cx) * (q.x - t.cx) + (q.y - t.cy) * (q.y - t.cy);
      if (d2 < t.r2 * (1 - 1e-12)) {
        edges.push_back({t.a, t.b});
        edges.push_back({t.b, t.c});
        edges.push_back({t.c, t.a});
      } else {
        keep.push_back(t);
      }
    }
    // The hole's outline: edges that appear once.
    std::map<std::pair<int, int>, int> count;
    for (auto e : edges) ++count[{std::min(e.first, e.second), std::max(e.first, e.second)}];
    for (auto e : edges) {
      if (count[{std::min(e.first, e.second), std::max(e.first, e.second)}] != 1) continue;
      TTri t{};
      if (std::fabs(Cross2(p[static_cast<size_t>(e.first)], p[static_cast<size_t>(e.second)], q)) < 1e-14) continue;
      Circumcircle(p, e.first, e.second, i, t);
      keep.push_back(t);
    }
    tris.swap(keep);
  }
  for (const TTri& t : tris) {
    if (t.a >= n || t.b >= n || t.c >= n) continue;
    const double area = Cross2(p[static_cast<size_t>(t.a)], p[static_cast<size_t>(t.b)], p[static_cast<size_t>(t.c)]);
    if (std::fabs(area) < 1e-12) continue;  // sliver along the outline
    out.push_back({orig[static_cast<size_t>(t.a)], orig[static_cast<size_t>(t.b)], orig[static_cast<size_t>(t.c)]});
  }
  return out;
}

std::vector<std::array<int, 2>> BoundaryEdges(const std::vector<std::array<int, 3>>& triangles) {
  std::map<std::pair<int, int>, int> count;
  for (const auto& t : triangles)
    for (int k = 0; k < 3; ++k) {
      const int a = t[static_cast<size_t>(k)], b = t[static_cast<size_t>((k + 1) % 3)];
      ++count[{std::min(a, b), std::max(a, b)}];
    }
  std::vector<std::array<int, 2>> out;
  for (const auto& [e, c] : count)
    if (c == 1) out.push_back({e.first, e.second});
  return out;
}

}  // namespace korvex
