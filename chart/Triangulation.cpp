#include "chart/Triangulation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

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

// A triangle of the triangulation under construction, counter-clockwise, with its
// circumcircle and the triangle across each edge: Next[k] lies across the edge from V[k] to
// V[(k + 1) % 3], -1 where there is none.
struct TTri {
  int V[3];
  int Next[3];
  double cx, cy, r2;
  bool Alive;
};

bool Circumcircle(const std::vector<TP2>& p, int a, int b, int c, TTri& t) {
  const double ax = p[a].x, ay = p[a].y, bx = p[b].x, by = p[b].y, cx = p[c].x, cy = p[c].y;
  const double d = 2 * (ax * (by - cy) + bx * (cy - ay) + cx * (ay - by));
  t.V[0] = a;
  t.V[1] = b;
  t.V[2] = c;
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

// Bowyer-Watson insertion, inside a super triangle made of the last three points. A point
// finds the triangle it lies in by walking from the triangle made last, and its hole grows
// from there to the neighbours whose circumcircle holds it, so that a point costs time after
// the size of its hole, not after the size of the whole triangulation. The hole only grows
// where it stays star-shaped around the point, so rounding near a circle cannot fold the
// triangulation over itself.
class TDelaunay {
 public:
  TDelaunay(const std::vector<TP2>& p, int n) : P_(p) {
    const size_t vertices = static_cast<size_t>(n) + 3;
    StartStamp_.assign(vertices, -1);
    EndStamp_.assign(vertices, -1);
    StartTri_.assign(vertices, -1);
    EndTri_.assign(vertices, -1);
    TTri t{};
    Circumcircle(P_, n, n + 1, n + 2, t);
    t.Next[0] = t.Next[1] = t.Next[2] = -1;
    t.Alive = true;
    Tris_.push_back(t);
    Live_ = 1;
  }

  void Insert(int i) {
    const TP2& q = P_[static_cast<size_t>(i)];
    ++Stamp_;
    const int t0 = Locate(q);
    if (t0 < 0) return;  // lost to rounding: the point is left out
    Dig(t0, q);
    // One new triangle from each outline edge to the point. The outline is seen from the
    // point, so each is counter-clockwise; one that rounding made flat goes with the slivers
    // at the end, an edge with the point on its far side gives none.
    for (int t : Hole_) Free(t);
    Made_.clear();
    for (const TEdge& e : Outline_) {
      if (!(Cross2(At(e.A), At(e.B), q) > 0)) {
        if (e.Outside >= 0) Link(e.Outside, e.B, e.A, -1);
        continue;
      }
      TTri t{};
      Circumcircle(P_, e.A, e.B, i, t);
      t.Next[0] = e.Outside;
      t.Next[1] = t.Next[2] = -1;
      t.Alive = true;
      const int id = Allocate(t);
      if (e.Outside >= 0) Link(e.Outside, e.B, e.A, id);
      Note(StartStamp_, StartTri_, e.A, id);
      Note(EndStamp_, EndTri_, e.B, id);
      Made_.push_back(id);
    }
    // The new triangles meet each other along the edges to the point: the one on the outline
    // edge that ends at a vertex and the one on the edge that starts there.
    for (int id : Made_) {
      TTri& t = Tris_[static_cast<size_t>(id)];
      t.Next[1] = Paired(t.V[1]) ? StartTri_[static_cast<size_t>(t.V[1])] : -1;
      t.Next[2] = Paired(t.V[0]) ? EndTri_[static_cast<size_t>(t.V[0])] : -1;
    }
    if (!Made_.empty()) Last_ = Made_.back();
  }

  const std::vector<TTri>& Triangles() const { return Tris_; }

 private:
  struct TEdge {
    int A, B, Outside;
  };
  enum TMark : unsigned char { Unseen, InHole, Outside };

  const TP2& At(int v) const { return P_[static_cast<size_t>(v)]; }
  // > 0 when q lies to the left of the edge of t from corner k to the next corner.
  double Side(const TTri& t, int k, const TP2& q) const {
    return Cross2(At(t.V[k]), At(t.V[(k + 1) % 3]), q);
  }

  bool InCircle(int t, const TP2& q) const {
    const TTri& c = Tris_[static_cast<size_t>(t)];
    const double d2 = (q.x - c.cx) * (q.x - c.cx) + (q.y - c.cy) * (q.y - c.cy);
    return d2 < c.r2 * (1 - 1e-12);
  }

  TMark Mark(int t) const {
    const size_t k = static_cast<size_t>(t);
    return k < MarkStamp_.size() && MarkStamp_[k] == Stamp_ ? MarkOf_[k] : Unseen;
  }
  void SetMark(int t, TMark m) {
    const size_t k = static_cast<size_t>(t);
    if (k >= MarkStamp_.size()) {
      MarkStamp_.resize(Tris_.size(), -1);
      MarkOf_.resize(Tris_.size(), Unseen);
    }
    MarkStamp_[k] = Stamp_;
    MarkOf_[k] = m;
  }

  // The triangle that holds q: walking from the last one made, or, when the walk runs into
  // the outside or goes on too long, asking every triangle. -1 when none does.
  int Locate(const TP2& q) const {
    int t = Last_;
    if (t >= 0 && Tris_[static_cast<size_t>(t)].Alive) {
      const int most = Live_ + 16;
      for (int step = 0; step < most && t >= 0; ++step) {
        const TTri& c = Tris_[static_cast<size_t>(t)];
        int across = -1;
        for (int j = 0; j < 3 && across < 0; ++j) {
          const int k =
              (j + step) % 3;  // turning the first edge tried keeps the walk from circling
          if (Side(c, k, q) < 0) across = k;
        }
        if (across < 0) return t;
        t = c.Next[across];
      }
    }
    for (size_t k = 0; k < Tris_.size(); ++k) {
      const TTri& c = Tris_[k];
      if (c.Alive && Side(c, 0, q) >= 0 && Side(c, 1, q) >= 0 && Side(c, 2, q) >= 0)
        return static_cast<int>(k);
    }
    return -1;
  }

  // The hole of q, from the triangle t0 that holds it, and its outline: every edge between the
  // hole and the rest, counter-clockwise around q, with the triangle outside it. A neighbour
  // joins the hole when its circumcircle holds q and q sees its two far edges from inside, or
  // when q lies on the edge between them.
  void Dig(int t0, const TP2& q) {
    Hole_.assign(1, t0);
    Outline_.clear();
    SetMark(t0, InHole);
    Stack_.assign(1, t0);
    while (!Stack_.empty()) {
      const int c = Stack_.back();
      Stack_.pop_back();
      const TTri& tc = Tris_[static_cast<size_t>(c)];
      for (int k = 0; k < 3; ++k) {
        const int nb = tc.Next[k];
        if (nb < 0 || Mark(nb) == InHole) continue;
        // q on the edge between them: the neighbour must be split as well, even if it was
        // turned down from another side.
        const bool onEdge = !(Side(tc, k, q) > 0);
        if (!onEdge && Mark(nb) == Outside) continue;
        const TTri& tn = Tris_[static_cast<size_t>(nb)];
        int back = 0;  // the edge of nb shared with c
        while (back < 2 && tn.V[back] != tc.V[(k + 1) % 3]) ++back;
        const bool joins = onEdge || (InCircle(nb, q) && Side(tn, (back + 1) % 3, q) > 0 &&
                                      Side(tn, (back + 2) % 3, q) > 0);
        if (joins) {
          SetMark(nb, InHole);
          Hole_.push_back(nb);
          Stack_.push_back(nb);
        } else {
          SetMark(nb, Outside);
        }
      }
    }
    for (int t : Hole_) {
      const TTri& h = Tris_[static_cast<size_t>(t)];
      for (int k = 0; k < 3; ++k) {
        const int nb = h.Next[k];
        if (nb >= 0 && Mark(nb) == InHole) continue;
        Outline_.push_back({h.V[k], h.V[(k + 1) % 3], nb});
      }
    }
  }

  // In triangle t, the edge from a to b now borders triangle to.
  void Link(int t, int a, int b, int to) {
    TTri& c = Tris_[static_cast<size_t>(t)];
    for (int k = 0; k < 3; ++k)
      if (c.V[k] == a && c.V[(k + 1) % 3] == b) c.Next[k] = to;
  }

  // Records that new triangle id has an outline edge starting (or ending) at vertex v; a second
  // one at the same vertex makes the entry unusable, and the triangles there stay unlinked.
  void Note(std::vector<int>& stamp, std::vector<int>& tri, int v, int id) {
    const size_t k = static_cast<size_t>(v);
    tri[k] = stamp[k] == Stamp_ ? -1 : id;
    stamp[k] = Stamp_;
  }
  bool Paired(int v) const {
    const size_t k = static_cast<size_t>(v);
    return StartStamp_[k] == Stamp_ && EndStamp_[k] == Stamp_ && StartTri_[k] >= 0 &&
           EndTri_[k] >= 0;
  }

  int Allocate(const TTri& t) {
    ++Live_;
    if (!Free_.empty()) {
      const int id = Free_.back();
      Free_.pop_back();
      Tris_[static_cast<size_t>(id)] = t;
      return id;
    }
    Tris_.push_back(t);
    return static_cast<int>(Tris_.size()) - 1;
  }
  void Free(int t) {
    Tris_[static_cast<size_t>(t)].Alive = false;
    Free_.push_back(t);
    --Live_;
  }

  const std::vector<TP2>& P_;
  std::vector<TTri> Tris_;
  std::vector<int> Free_;
  int Live_ = 0;
  int Last_ = 0;
  int Stamp_ = 0;
  std::vector<int> MarkStamp_;
  std::vector<TMark> MarkOf_;
  std::vector<int> StartStamp_, EndStamp_, StartTri_, EndTri_;
  std::vector<int> Hole_, Stack_, Made_;
  std::vector<TEdge> Outline_;
};

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
    for (int k = 0; k < 3; ++k)
      c[static_cast<size_t>(k)] += points[static_cast<size_t>(i)][static_cast<size_t>(k)];
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
      tmp.push_back(
          {{(dx * u[0] + dy * u[1] + dz * u[2]) * inv, (dx * w[0] + dy * w[1] + dz * w[2]) * inv},
           i});
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
  // Points go in along x, except in large sets: taken along x, points that lie on a few long
  // lines, as the cuts of many parallel planes through a block do, open holes of thousands of
  // triangles each. A large set goes in shuffled (the same way in every run), in rounds that
  // double in size, each round ordered along a Z curve so that the walk from one point to the
  // next is short.
  std::vector<int> order(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) order[static_cast<size_t>(i)] = i;
  if (n > 100) {
    uint32_t seed = 2463534242u;
    for (size_t i = order.size(); i > 1; --i) {
      seed ^= seed << 13;
      seed ^= seed >> 17;
      seed ^= seed << 5;
      std::swap(order[i - 1], order[seed % i]);
    }
    const double sx = 65535 / std::max(maxx - minx, 1e-300),
                 sy = 65535 / std::max(maxy - miny, 1e-300);
    auto zKey = [&](int i) {
      const TP2& q = p[static_cast<size_t>(i)];
      const auto gx = static_cast<uint32_t>(std::clamp((q.x - minx) * sx, 0.0, 65535.0));
      const auto gy = static_cast<uint32_t>(std::clamp((q.y - miny) * sy, 0.0, 65535.0));
      uint64_t key = 0;
      for (int b = 0; b < 16; ++b)
        key |= static_cast<uint64_t>(((gx >> b) & 1u) | (((gy >> b) & 1u) << 1)) << (2 * b);
      return key;
    };
    std::vector<std::pair<uint64_t, int>> round;
    for (size_t from = 0, size = 64; from < order.size(); from += size, size *= 2) {
      const size_t to = std::min(order.size(), from + size);
      round.clear();
      for (size_t k = from; k < to; ++k) round.push_back({zKey(order[k]), order[k]});
      std::sort(round.begin(), round.end());
      for (size_t k = from; k < to; ++k) order[k] = round[k - from].second;
    }
  }
  TDelaunay delaunay(p, n);
  for (int i : order) delaunay.Insert(i);
  for (const TTri& t : delaunay.Triangles()) {
    if (!t.Alive || t.V[0] >= n || t.V[1] >= n || t.V[2] >= n) continue;
    const size_t a = static_cast<size_t>(t.V[0]), b = static_cast<size_t>(t.V[1]),
                 c = static_cast<size_t>(t.V[2]);
    const double area = Cross2(p[a], p[b], p[c]);
    if (std::fabs(area) < 1e-12) continue;  // sliver along the outline
    out.push_back({orig[a], orig[b], orig[c]});
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
