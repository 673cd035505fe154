#include "chart/Primitives.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace korvex {

int AlphaOf(int transparencyPercent) {
  return static_cast<int>(std::lround(255.0 * (100 - std::clamp(transparencyPercent, 0, 100)) / 100.0));
}

namespace {

// Arrowhead size in pixels for an arrow width w.
void ArrowheadSize(int w, double& halfWidth, double& length) {
  halfWidth = 1.5 * std::max(1, w) + 3;
  length = 3.0 * std::max(1, w) + 8;
}

bool Finite3(double x, double y, double z) { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }

TPrimSegment Segment(const TChartPoint& a, const TChartPoint& b, TRgba color, const TChartPen& pen, TPenEndStyle cap,
                     bool split) {
  return {{a.X, a.Y, a.Z}, {b.X, b.Y, b.Z}, color, static_cast<float>(pen.Width), pen.Style, cap, split};
}

// Each edge of the faces once, as a pair of vertex indices.
std::vector<std::array<unsigned, 2>> UniqueEdges(const std::vector<TPrimMesh::TFace>& faces) {
  std::vector<std::array<unsigned, 2>> edges;
  std::unordered_set<std::uint64_t> seen;
  seen.reserve(faces.size() * 3);
  for (const auto& f : faces)
    for (unsigned k = 0; k < f.Count; ++k) {
      const unsigned a = f.V[k], b = f.V[(k + 1) % f.Count];
      const std::uint64_t key = (static_cast<std::uint64_t>(std::min(a, b)) << 32) | std::max(a, b);
      if (seen.insert(key).second) edges.push_back({a, b});
    }
  return edges;
}

// The cells of a height field as drawn at this scale: cells under kMergedCellPixels are merged
// k by k (through the true grid nodes), k up to 8; a block with a hole inside keeps its cells
// as they are. A merged cell is at most twice that size, so a sphere of 300 pixels' radius
// drawn from such cells departs from the true outline by less than a pixel (chord 48 px,
// sagitta 48^2 / (8 * 300) = 0.96 px). Finer cells cost the software renderers one
// triangle setup each without changing the picture.
constexpr double kMergedCellPixels = 24;
std::vector<std::array<int, 4>> DrawnCells(const TSurfaceGrid& g, double pixelsPerUnit) {
  const size_t nx = g.Xs.size(), nz = g.Zs.size();
  if (nx <= 2 || nz <= 2) return g.Cells;
  const double cellPx = std::min((g.Xs.back() - g.Xs.front()) / static_cast<double>(nx - 1),
                                 (g.Zs.back() - g.Zs.front()) / static_cast<double>(nz - 1)) *
                        pixelsPerUnit;
  // Clamped in floating point: cells of a fraction of a pixel give a ratio far beyond any
  // integer, whose conversion would be undefined.
  const double ratio = kMergedCellPixels / cellPx;
  const size_t k = !(cellPx > 0) || !(ratio >= 1) ? 1 : ratio >= 8 ? 8 : static_cast<size_t>(ratio);
  if (k <= 1) return g.Cells;
  std::vector<std::array<int, 4>> cells;
  for (size_t ix = 0; ix + 1 < nx; ix += k)
    for (size_t iz = 0; iz + 1 < nz; iz += k) {
      const size_t x1 = std::min(ix + k, nx - 1), z1 = std::min(iz + k, nz - 1);
      bool full = true;
      for (size_t a = ix; a <= x1 && full; ++a)
        for (size_t c = iz; c <= z1 && full; ++c) full = g.NodeIndex(a, c) >= 0;
      if (full) {
        cells.push_back({g.NodeIndex(ix, iz), g.NodeIndex(x1, iz), g.NodeIndex(x1, z1), g.NodeIndex(ix, z1)});
        continue;
      }
      for (size_t a = ix; a < x1; ++a)
        for (size_t c = iz; c < z1; ++c) {
          const std::array<int, 4> q = {g.NodeIndex(a, c), g.NodeIndex(a + 1, c), g.NodeIndex(a + 1, c + 1),
                                        g.NodeIndex(a, c + 1)};
          if (q[0] >= 0 && q[1] >= 0 && q[2] >= 0 && q[3] >= 0) cells.push_back(q);
        }
    }
  return cells;
}

// Faces over points of a surface series; only the points they use become vertices.
template <size_t N>
void AddFaces(TPrimMesh& mesh, const TCustom3DSurfaceSeries& s, const std::vector<std::array<int, N>>& faces,
              int alpha) {
  const auto& pts = s.Points();
  std::vector<int> vid(pts.size(), -1);
  mesh.Faces.reserve(faces.size());
  for (const auto& f : faces) {
    TPrimMesh::TFace face{{0, 0, 0, 0}, static_cast<unsigned char>(N)};
    for (size_t k = 0; k < N; ++k) {
      const size_t i = static_cast<size_t>(f[k]);
      int& slot = vid[i];
      if (slot < 0) {
        slot = static_cast<int>(mesh.Vertices.size());
        mesh.Vertices.push_back({pts[i].X, pts[i].Y, pts[i].Z});
        mesh.Colors.push_back(RgbaOf(s.FillColor(f[k]), alpha));
      }
      face.V[k] = static_cast<unsigned>(slot);
    }
    mesh.Faces.push_back(face);
  }
}

void DecomposeSurface(TSeriesPrimitives& out, const TSurfaceSeries& s, double pixelsPerUnit) {
  const int alpha = AlphaOf(s.Transparency());
  out.Transparent = alpha < 255;
  if (alpha == 0) return;
  TPrimMesh& m = out.Mesh;
  AddFaces(m, s, DrawnCells(s.Grid(), pixelsPerUnit), alpha);
  m.Smooth = true;
  m.Seams = !s.FastBrush();
  if (s.Pen().Drawn()) {
    m.Pen = {true, RgbaOf(s.Pen().Color, 255), static_cast<float>(s.Pen().Width), s.Pen().Style};
    m.Edges = UniqueEdges(m.Faces);
  }
}

void DecomposeTriSurface(TSeriesPrimitives& out, const TTriSurfaceSeries& s) {
  const int alpha = AlphaOf(s.Transparency());
  out.Transparent = alpha < 255;
  if (alpha == 0) return;
  const auto& t = s.Triangulation();
  TPrimMesh& m = out.Mesh;
  AddFaces(m, s, t.Triangles, alpha);
  m.Seams = true;
  if (s.Pen().Drawn()) {
    const TRgba pen = RgbaOf(s.Pen().Color, 255);
    for (const auto& e : UniqueEdges(m.Faces)) {
      const auto &a = m.Vertices[e[0]], &b = m.Vertices[e[1]];
      out.Segments.push_back(
          {{a[0], a[1], a[2]}, {b[0], b[1], b[2]}, pen, static_cast<float>(s.Pen().Width), s.Pen().Style,
           TPenEndStyle::esRound, true});
    }
  }
  if (s.Border().Drawn()) {
    const auto& pts = s.Points();
    const TRgba pen = RgbaOf(s.Border().Color, 255);
    for (const auto& e : t.BoundaryEdges)
      out.Segments.push_back(Segment(pts[static_cast<size_t>(e[0])], pts[static_cast<size_t>(e[1])], pen, s.Border(),
                                     TPenEndStyle::esRound, true));
  }
}

void DecomposePoints(TSeriesPrimitives& out, const TPoint3DSeries& s) {
  const auto& pts = s.Points();
  const TChartPen& lp = s.LinePen();
  if (lp.Drawn())
    for (size_t i = 1; i < pts.size(); ++i) {
      const TChartPoint &a = pts[i - 1], &b = pts[i];
      if (Finite3(a.X, a.Y, a.Z) && Finite3(b.X, b.Y, b.Z))
        out.Segments.push_back(Segment(a, b, RgbaOf(lp.Color, 255), lp, lp.EndStyle, false));
    }
  const TSeriesPointer& ptr = s.Pointer();
  const int alpha = AlphaOf(ptr.Transparency);
  if (!ptr.Visible || alpha == 0) return;
  out.Transparent = alpha < 255;
  out.PointOutline = {ptr.Pen.Drawn(), RgbaOf(ptr.Pen.Color, alpha), static_cast<float>(ptr.Pen.Width),
                      ptr.Pen.Style};
  out.MarkerSize = static_cast<float>(ptr.Size);
  out.MarkerShape = ptr.Style;
  const bool bubbles = s.Kind() == TSeriesKind::Bubble3D;
  for (size_t i = 0; i < pts.size(); ++i) {
    const TChartPoint& q = pts[i];
    if (!Finite3(q.X, q.Y, q.Z)) continue;
    // The pointer's own colour, where it has one, wins over the point's.
    const TRgba fill = RgbaOf(ptr.Color != clTeeColor ? ptr.Color : s.ValueColor(static_cast<int>(i)), alpha);
    if (!bubbles)
      out.Markers.push_back({{q.X, q.Y, q.Z}, fill});
    else if (std::isfinite(q.Radius) && q.Radius > 0)  // none, a negative or an infinite one covers no pixel
      out.Spheres.push_back({{q.X, q.Y, q.Z}, q.Radius, fill});
  }
}

void DecomposeVectors(TSeriesPrimitives& out, const TVector3DSeries& s) {
  const auto& pts = s.Points();
  const TChartPen& pen = s.Pen();
  for (size_t i = 0; i < pts.size(); ++i) {
    const TChartPoint& q = pts[i];
    if (!Finite3(q.X, q.Y, q.Z) || !Finite3(q.EndX, q.EndY, q.EndZ)) continue;
    const TRgba col = RgbaOf(s.ValueColor(static_cast<int>(i)), 255);
    const double d[3] = {q.EndX - q.X, q.EndY - q.Y, q.EndZ - q.Z};
    const double len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    float heads[2] = {0, 0};  // start, end
    if (len > 0 && std::isfinite(len)) {
      const TArrowHead* ends[2] = {&s.StartArrow(), &s.EndArrow()};
      for (int e = 1; e >= 0; --e) {
        if (!ends[e]->Visible) continue;
        double hw, hl;
        ArrowheadSize(ends[e]->Width, hw, hl);
        const double sign = e == 1 ? 1 : -1;
        TPrimArrowhead h{{e == 1 ? q.EndX : q.X, e == 1 ? q.EndY : q.Y, e == 1 ? q.EndZ : q.Z},
                         {sign * d[0] / len, sign * d[1] / len, sign * d[2] / len},
                         len,
                         static_cast<float>(hw),
                         static_cast<float>(hl),
                         col};
        out.Arrowheads.push_back(h);
        heads[e] = static_cast<float>(hl);
      }
    }
    if (!pen.Drawn()) continue;
    TChartPoint end;
    end.X = q.EndX, end.Y = q.EndY, end.Z = q.EndZ;
    TPrimSegment seg = Segment(q, end, col, pen, pen.EndStyle, true);
    seg.HeadA = heads[0];
    seg.HeadB = heads[1];
    out.Segments.push_back(seg);
  }
}

}  // namespace

TSeriesPrimitives Decompose(const TChartSeries& series, double pixelsPerUnit) {
  TSeriesPrimitives out;
  switch (series.Kind()) {
    case TSeriesKind::Surface:
      DecomposeSurface(out, static_cast<const TSurfaceSeries&>(series), pixelsPerUnit);
      break;
    case TSeriesKind::TriSurface:
      DecomposeTriSurface(out, static_cast<const TTriSurfaceSeries&>(series));
      break;
    case TSeriesKind::Point3D:
    case TSeriesKind::Bubble3D:
      DecomposePoints(out, static_cast<const TPoint3DSeries&>(series));
      break;
    case TSeriesKind::Vector3D:
      DecomposeVectors(out, static_cast<const TVector3DSeries&>(series));
      break;
  }
  return out;
}

}  // namespace korvex
