#include "chart/view/GLRenderer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "chart/view/CanvasRenderer.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

namespace korvex {

namespace {

constexpr double kPi = 3.14159265358979323846;

bool Finite3(double x, double y, double z) { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }

struct TUnitSphere {
  std::vector<float> V;  // positions = normals
  std::vector<unsigned> I;
};

// Unit spheres of increasing detail.
const TUnitSphere& UnitSphere(int level) {
  static TUnitSphere spheres[5];
  static const int slices[5] = {6, 8, 12, 18, 32};
  static const int stacks[5] = {4, 5, 8, 12, 20};
  TUnitSphere& s = spheres[level];
  if (!s.V.empty()) return s;
  const int sl = slices[level], st = stacks[level];
  for (int i = 0; i <= st; ++i) {
    const double phi = kPi * i / st;
    for (int j = 0; j <= sl; ++j) {
      const double th = 2 * kPi * j / sl;
      s.V.push_back(static_cast<float>(std::sin(phi) * std::cos(th)));
      s.V.push_back(static_cast<float>(std::cos(phi)));
      s.V.push_back(static_cast<float>(std::sin(phi) * std::sin(th)));
    }
  }
  for (int i = 0; i < st; ++i)
    for (int j = 0; j < sl; ++j) {
      const unsigned a = static_cast<unsigned>(i * (sl + 1) + j), b = a + 1, c = a + static_cast<unsigned>(sl + 1),
                     d = c + 1;
      s.I.insert(s.I.end(), {a, b, c, b, d, c});  // counter-clockwise seen from outside
    }
  return s;
}

// Detail by size on screen: enough for a round outline, no more.
int SphereLevel(double radiusPx) {
  if (radiusPx < 6) return 0;
  if (radiusPx < 12) return 1;
  if (radiusPx < 24) return 2;
  if (radiusPx < 60) return 3;
  return 4;
}

void PushColor(std::vector<unsigned char>& v, TColor c, int alpha) {
  v.push_back(static_cast<unsigned char>(RedOf(c)));
  v.push_back(static_cast<unsigned char>(GreenOf(c)));
  v.push_back(static_cast<unsigned char>(BlueOf(c)));
  v.push_back(static_cast<unsigned char>(alpha));
}

void Normalize(double v[3]) {
  const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (l > 0)
    for (int k = 0; k < 3; ++k) v[k] /= l;
}

}  // namespace

bool SoftwareOpenGL() {
  QOpenGLContext* ctx = QOpenGLContext::currentContext();
  if (!ctx) return true;
  const auto* r = reinterpret_cast<const char*>(ctx->functions()->glGetString(GL_RENDERER));
  const QString name = r ? QString::fromLatin1(r) : QString();
  return name.isEmpty() || name.contains("llvmpipe", Qt::CaseInsensitive) ||
         name.contains("softpipe", Qt::CaseInsensitive) || name.contains("software", Qt::CaseInsensitive) ||
         name.contains("swr", Qt::CaseInsensitive);
}

int ChartSamples(bool antialias) { return antialias && !SoftwareOpenGL() ? 4 : 0; }

TGLRenderer::~TGLRenderer() {
  if (!Ready_) return;
  for (auto& [k, b] : Cache_) Free(b);
  if (SphereTexture_) glDeleteTextures(1, &SphereTexture_);
}

void TGLRenderer::Free(TBatch& b) {
  if (b.Buffers[0]) glDeleteBuffers(4, b.Buffers);
  for (unsigned& id : b.Buffers) id = 0;
}

// Triangles go to buffer objects once; the frames only draw them.
void TGLRenderer::Upload(TBatch& b) {
  b.IndexCount = b.Idx.size();
  if (b.Idx.empty()) return;
  glGenBuffers(4, b.Buffers);
  glBindBuffer(GL_ARRAY_BUFFER, b.Buffers[0]);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(b.Pos.size() * sizeof(float)), b.Pos.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, b.Buffers[1]);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(b.Nrm.size() * sizeof(float)), b.Nrm.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, b.Buffers[2]);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(b.Col.size()), b.Col.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.Buffers[3]);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(b.Idx.size() * sizeof(unsigned)), b.Idx.data(),
               GL_STATIC_DRAW);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  // The buffers hold them now.
  std::vector<float>().swap(b.Pos);
  std::vector<float>().swap(b.Nrm);
  std::vector<unsigned char>().swap(b.Col);
  std::vector<unsigned>().swap(b.Idx);
}

bool TGLRenderer::Initialize(QString* error) {
  if (!initializeOpenGLFunctions()) {
    if (error) *error = "the OpenGL 2.0 functions are not available";
    Ready_ = false;
    return false;
  }
  Ready_ = true;
  // A lit white sphere with a round alpha edge, tinted by each sprite's colour.
  const int n = 64;
  std::vector<unsigned char> tex(static_cast<size_t>(n * n * 4));
  const double l[3] = {-0.33, 0.42, 0.84};  // from the upper left, towards the viewer
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const double u = (x + 0.5) / n * 2 - 1, v = 1 - (y + 0.5) / n * 2;
      const double r2 = u * u + v * v;
      unsigned char* t = &tex[static_cast<size_t>((y * n + x) * 4)];
      const double w = std::sqrt(std::max(0.0, 1 - r2));
      const double d = std::max(0.0, u * l[0] + v * l[1] + w * l[2]);
      const double c = std::min(1.0, 0.38 + 0.7 * d);
      t[0] = t[1] = t[2] = static_cast<unsigned char>(255 * c);
      t[3] = static_cast<unsigned char>(255 * std::clamp((1 - std::sqrt(r2)) * n / 2.0, 0.0, 1.0));
    }
  glGenTextures(1, &SphereTexture_);
  glBindTexture(GL_TEXTURE_2D, SphereTexture_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, n, n, 0, GL_RGBA, GL_UNSIGNED_BYTE, tex.data());
  glBindTexture(GL_TEXTURE_2D, 0);
  return true;
}

void TGLRenderer::DrawSprites(const TBatch& b) {
  if (b.SpriteRuns.empty()) return;
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, SphereTexture_);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glEnable(GL_POINT_SPRITE);
  glTexEnvi(GL_POINT_SPRITE, GL_COORD_REPLACE, GL_TRUE);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, b.Transparent ? 0.02f : 0.5f);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, b.SpritePos.data());
  glColorPointer(4, GL_UNSIGNED_BYTE, 0, b.SpriteCol.data());
  for (const auto& r : b.SpriteRuns) {
    glPointSize(r.Width);
    glDrawArrays(GL_POINTS, static_cast<GLint>(r.First), static_cast<GLsizei>(r.Count));
  }
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_POINT_SPRITE);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
}

void TGLRenderer::Build(TBatch& b, const TChartSeries& s, double scale) {
  ++Rebuilds_;
  Free(b);
  b = TBatch{};
  b.DataRev = s.DataRevision();
  b.StyleRev = s.StyleRevision();
  b.Scale = scale;
  const auto& pts = s.Points();
  auto vertex = [&b](double x, double y, double z, const double n[3], TColor c, int alpha) {
    b.Pos.insert(b.Pos.end(), {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)});
    b.Nrm.insert(b.Nrm.end(), {static_cast<float>(n[0]), static_cast<float>(n[1]), static_cast<float>(n[2])});
    PushColor(b.Col, c, alpha);
    return static_cast<unsigned>(b.Pos.size() / 3 - 1);
  };
  auto line = [&b](const double p[3], const double q[3], TColor c, const TChartPen& pen) {
    const float w = static_cast<float>(std::max(1, pen.Width));
    const int style = static_cast<int>(pen.Style);
    if (b.Runs.empty() || b.Runs.back().Width != w || b.Runs.back().Style != style)
      b.Runs.push_back({static_cast<unsigned>(b.LinePos.size() / 3), 0, w, style});
    b.LinePos.insert(b.LinePos.end(), {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]),
                                       static_cast<float>(q[0]), static_cast<float>(q[1]), static_cast<float>(q[2])});
    PushColor(b.LineCol, c, 255);
    PushColor(b.LineCol, c, 255);
    b.Runs.back().Count += 2;
  };
  auto face = [&](const TChartPoint* const* v, int n, TColor c, int alpha) {
    const double u[3] = {v[2]->X - v[0]->X, v[2]->Y - v[0]->Y, v[2]->Z - v[0]->Z};
    const double w[3] = {v[n - 1]->X - v[1]->X, v[n - 1]->Y - v[1]->Y, v[n - 1]->Z - v[1]->Z};
    double nn[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
    Normalize(nn);
    unsigned id[4];
    for (int k = 0; k < n; ++k) id[k] = vertex(v[k]->X, v[k]->Y, v[k]->Z, nn, c, alpha);
    b.Idx.insert(b.Idx.end(), {id[0], id[1], id[2]});
    if (n == 4) b.Idx.insert(b.Idx.end(), {id[0], id[2], id[3]});
  };
  switch (s.Kind()) {
    case TSeriesKind::Surface: {
      // Grid nodes are shared by their cells, with normals averaged over the cells.
      const auto& surf = static_cast<const TSurfaceSeries&>(s);
      const int alpha = AlphaOf(surf.Transparency());
      b.Transparent = alpha < 255;
      if (alpha == 0) break;
      // Cells under 12 pixels are merged k by k (through the true grid nodes):
      // the picture stays the same and the triangle count drops by k squared.
      const TSurfaceGrid& g = surf.Grid();
      const std::vector<std::array<int, 4>>* use = &g.Cells;
      std::vector<std::array<int, 4>> coarse;
      const size_t nx = g.Xs.size(), nz = g.Zs.size();
      if (nx > 2 && nz > 2) {
        const double cellPx = std::min((g.Xs.back() - g.Xs.front()) / static_cast<double>(nx - 1),
                                       (g.Zs.back() - g.Zs.front()) / static_cast<double>(nz - 1)) * scale;
        // Clamped in floating point: cells of a fraction of a pixel give a ratio far beyond
        // any integer, whose conversion would be undefined.
        const double ratio = 12.0 / cellPx;
        const size_t k = !(cellPx > 0) || !(ratio >= 1) ? 1 : ratio >= 8 ? 8 : static_cast<size_t>(ratio);
        if (k > 1) {
          for (size_t ix = 0; ix + 1 < nx; ix += k)
            for (size_t iz = 0; iz + 1 < nz; iz += k) {
              const size_t x1 = std::min(ix + k, nx - 1), z1 = std::min(iz + k, nz - 1);
              bool full = true;
              for (size_t a = ix; a <= x1 && full; ++a)
                for (size_t c = iz; c <= z1 && full; ++c) full = g.NodeIndex(a, c) >= 0;
              if (full) {
                coarse.push_back({g.NodeIndex(ix, iz), g.NodeIndex(x1, iz), g.NodeIndex(x1, z1), g.NodeIndex(ix, z1)});
                continue;
              }
              for (size_t a = ix; a < x1; ++a)  // a hole inside: the cells as they are
                for (size_t c = iz; c < z1; ++c) {
                  const std::array<int, 4> q = {g.NodeIndex(a, c), g.NodeIndex(a + 1, c), g.NodeIndex(a + 1, c + 1),
                                                g.NodeIndex(a, c + 1)};
                  if (q[0] >= 0 && q[1] >= 0 && q[2] >= 0 && q[3] >= 0) coarse.push_back(q);
                }
            }
          use = &coarse;
        }
      }
      const auto& cells = *use;
      std::vector<int> vid(pts.size(), -1);
      std::vector<double> nsum;
      for (const auto& c : cells) {
        const TChartPoint* v[4];
        for (int k = 0; k < 4; ++k) v[k] = &pts[static_cast<size_t>(c[static_cast<size_t>(k)])];
        const double u[3] = {v[2]->X - v[0]->X, v[2]->Y - v[0]->Y, v[2]->Z - v[0]->Z};
        const double w[3] = {v[3]->X - v[1]->X, v[3]->Y - v[1]->Y, v[3]->Z - v[1]->Z};
        const double nn[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
        unsigned id[4];
        for (int k = 0; k < 4; ++k) {
          int& slot = vid[static_cast<size_t>(c[static_cast<size_t>(k)])];
          if (slot < 0) {
            const double zero[3] = {0, 0, 0};
            slot = static_cast<int>(vertex(v[k]->X, v[k]->Y, v[k]->Z, zero, surf.FillColor(c[static_cast<size_t>(k)]), alpha));
            nsum.insert(nsum.end(), {0.0, 0.0, 0.0});
          }
          id[k] = static_cast<unsigned>(slot);
          for (int j = 0; j < 3; ++j) nsum[3 * id[k] + static_cast<size_t>(j)] += nn[j];
        }
        b.Idx.insert(b.Idx.end(), {id[0], id[1], id[2], id[0], id[2], id[3]});
        if (surf.Pen().Drawn())
          for (int k = 0; k < 4; ++k) {
            const double p[3] = {v[k]->X, v[k]->Y, v[k]->Z};
            const double q[3] = {v[(k + 1) % 4]->X, v[(k + 1) % 4]->Y, v[(k + 1) % 4]->Z};
            line(p, q, surf.Pen().Color, surf.Pen());
          }
      }
      for (size_t i = 0; i < nsum.size(); i += 3) {
        double n[3] = {nsum[i], nsum[i + 1], nsum[i + 2]};
        Normalize(n);
        for (int j = 0; j < 3; ++j) b.Nrm[i + static_cast<size_t>(j)] = static_cast<float>(n[j]);
      }
      break;
    }
    case TSeriesKind::TriSurface: {
      const auto& tri = static_cast<const TTriSurfaceSeries&>(s);
      const int alpha = AlphaOf(tri.Transparency());
      b.Transparent = alpha < 255;
      if (alpha == 0) break;
      const auto& t = tri.Triangulation();
      for (const auto& f : t.Triangles) {
        const TChartPoint* v[3] = {&pts[static_cast<size_t>(f[0])], &pts[static_cast<size_t>(f[1])],
                                   &pts[static_cast<size_t>(f[2])]};
        face(v, 3, tri.FillColor(f[0]), alpha);
        if (tri.Pen().Drawn())
          for (int k = 0; k < 3; ++k) {
            const double p[3] = {v[k]->X, v[k]->Y, v[k]->Z};
            const double q[3] = {v[(k + 1) % 3]->X, v[(k + 1) % 3]->Y, v[(k + 1) % 3]->Z};
            line(p, q, tri.Pen().Color, tri.Pen());
          }
      }
      if (tri.Border().Drawn())
        for (const auto& e : t.BoundaryEdges) {
          const TChartPoint &p0 = pts[static_cast<size_t>(e[0])], &p1 = pts[static_cast<size_t>(e[1])];
          const double p[3] = {p0.X, p0.Y, p0.Z}, q[3] = {p1.X, p1.Y, p1.Z};
          line(p, q, tri.Border().Color, tri.Border());
        }
      break;
    }
    case TSeriesKind::Point3D:
    case TSeriesKind::Bubble3D: {
      const auto& ps = static_cast<const TPoint3DSeries&>(s);
      const bool bubbles = s.Kind() == TSeriesKind::Bubble3D;
      if (ps.LinePen().Drawn())
        for (size_t i = 1; i < pts.size(); ++i) {
          const TChartPoint &p0 = pts[i - 1], &p1 = pts[i];
          if (!Finite3(p0.X, p0.Y, p0.Z) || !Finite3(p1.X, p1.Y, p1.Z)) continue;
          const double p[3] = {p0.X, p0.Y, p0.Z}, q[3] = {p1.X, p1.Y, p1.Z};
          line(p, q, ps.LinePen().Color, ps.LinePen());
        }
      const TSeriesPointer& ptr = ps.Pointer();
      const int alpha = AlphaOf(ptr.Transparency);
      if (!ptr.Visible || alpha == 0) break;
      b.Transparent = alpha < 255;
      b.Closed = bubbles;
      std::map<int, std::vector<size_t>> sprites;  // by diameter in pixels
      b.MarkSize = static_cast<float>(2 * ptr.Size);
      b.MarkRound = ptr.Style == TPointerStyle::psCircle;
      for (size_t i = 0; i < pts.size(); ++i) {
        const TChartPoint& q = pts[i];
        if (!Finite3(q.X, q.Y, q.Z)) continue;
        const TColor col = ptr.Color != clTeeColor ? ptr.Color : ps.ValueColor(static_cast<int>(i));
        double r = q.Radius;
        // A bubble is as big as its radius: none, a negative or a non-finite one covers no pixel.
        if (bubbles && !(std::isfinite(r) && r > 0)) continue;
        if (!bubbles) {
          b.MarkPos.insert(b.MarkPos.end(), {static_cast<float>(q.X), static_cast<float>(q.Y), static_cast<float>(q.Z)});
          PushColor(b.MarkCol, col, alpha);
          continue;
        }
        if (r * scale < 6) {
          sprites[std::max(1, static_cast<int>(std::lround(2 * r * scale)))].push_back(i);
          continue;
        }
        const TUnitSphere& u = UnitSphere(SphereLevel(r * scale));
        const unsigned base = static_cast<unsigned>(b.Pos.size() / 3);
        for (size_t k = 0; k < u.V.size(); k += 3) {
          const double n[3] = {u.V[k], u.V[k + 1], u.V[k + 2]};
          vertex(q.X + r * n[0], q.Y + r * n[1], q.Z + r * n[2], n, col, alpha);
        }
        for (unsigned id : u.I) b.Idx.push_back(base + id);
      }
      for (const auto& [diameter, list] : sprites) {
        b.SpriteRuns.push_back({static_cast<unsigned>(b.SpritePos.size() / 3), static_cast<unsigned>(list.size()),
                                static_cast<float>(diameter), 0});
        for (size_t i : list) {
          const TChartPoint& q = pts[i];
          b.SpritePos.insert(b.SpritePos.end(), {static_cast<float>(q.X), static_cast<float>(q.Y), static_cast<float>(q.Z)});
          PushColor(b.SpriteCol, ptr.Color != clTeeColor ? ptr.Color : ps.ValueColor(static_cast<int>(i)), alpha);
        }
      }
      break;
    }
    case TSeriesKind::Vector3D: {
      const auto& vs = static_cast<const TVector3DSeries&>(s);
      b.Closed = true;  // cones
      for (size_t i = 0; i < pts.size(); ++i) {
        const TChartPoint& q = pts[i];
        if (!Finite3(q.X, q.Y, q.Z) || !Finite3(q.EndX, q.EndY, q.EndZ)) continue;
        const TColor col = vs.ValueColor(static_cast<int>(i));
        double a[3] = {q.X, q.Y, q.Z}, e[3] = {q.EndX, q.EndY, q.EndZ};
        double d[3] = {e[0] - a[0], e[1] - a[1], e[2] - a[2]};
        const double len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        double ta = 0, tb = 1;
        // Cone at tip pointing along dir, sized in pixels at this zoom.
        auto cone = [&](const double tip[3], double sign, int w) {
          double hw = 1.5 * std::max(1, w) + 3, hl = 3.0 * std::max(1, w) + 8;
          hl = std::min(hl / scale, 0.45 * len);
          hw = std::min(hw / scale, 0.7 * hl);
          double ax[3] = {sign * d[0] / len, sign * d[1] / len, sign * d[2] / len};
          double p1[3] = {1, 0, 0};
          if (std::fabs(ax[0]) > 0.9) p1[0] = 0, p1[1] = 1;
          double u[3] = {ax[1] * p1[2] - ax[2] * p1[1], ax[2] * p1[0] - ax[0] * p1[2], ax[0] * p1[1] - ax[1] * p1[0]};
          Normalize(u);
          const double v[3] = {ax[1] * u[2] - ax[2] * u[1], ax[2] * u[0] - ax[0] * u[2], ax[0] * u[1] - ax[1] * u[0]};
          const int n = 16;
          const unsigned tipId = vertex(tip[0], tip[1], tip[2], ax, col, 255);
          const double bc[3] = {tip[0] - ax[0] * hl, tip[1] - ax[1] * hl, tip[2] - ax[2] * hl};
          const double back[3] = {-ax[0], -ax[1], -ax[2]};
          const unsigned centreId = vertex(bc[0], bc[1], bc[2], back, col, 255);
          unsigned first = 0;
          for (int k = 0; k <= n; ++k) {
            const double th = 2 * kPi * k / n;
            const double rd[3] = {std::cos(th) * u[0] + std::sin(th) * v[0], std::cos(th) * u[1] + std::sin(th) * v[1],
                                  std::cos(th) * u[2] + std::sin(th) * v[2]};
            double nn[3] = {rd[0] * hl + ax[0] * hw, rd[1] * hl + ax[1] * hw, rd[2] * hl + ax[2] * hw};
            Normalize(nn);
            const unsigned id = vertex(bc[0] + hw * rd[0], bc[1] + hw * rd[1], bc[2] + hw * rd[2], nn, col, 255);
            const unsigned idb = vertex(bc[0] + hw * rd[0], bc[1] + hw * rd[1], bc[2] + hw * rd[2], back, col, 255);
            if (k > 0) b.Idx.insert(b.Idx.end(), {tipId, first, id, centreId, idb, first + 1});
            first = id;
          }
          return hl / len;
        };
        if (len > 1e-12) {
          if (vs.EndArrow().Visible) tb = 1 - 0.8 * cone(e, 1, vs.EndArrow().Width);
          if (vs.StartArrow().Visible) ta = 0.8 * cone(a, -1, vs.StartArrow().Width);
        }
        if (!vs.Pen().Drawn() || tb <= ta) continue;
        const double p[3] = {a[0] + d[0] * ta, a[1] + d[1] * ta, a[2] + d[2] * ta};
        const double r[3] = {a[0] + d[0] * tb, a[1] + d[1] * tb, a[2] + d[2] * tb};
        line(p, r, col, vs.Pen());
      }
      break;
    }
  }
  // Centre of the geometry, for ordering transparent series.
  double lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
  bool any = false;
  for (size_t k = 0; k + 2 < b.Pos.size(); k += 3)
    for (int j = 0; j < 3; ++j) {
      const double v = b.Pos[k + static_cast<size_t>(j)];
      lo[j] = any ? std::min(lo[j], v) : v;
      hi[j] = any ? std::max(hi[j], v) : v;
      if (j == 2) any = true;
    }
  for (int j = 0; j < 3; ++j) b.Centre[j] = 0.5 * (lo[j] + hi[j]);
  Upload(b);
}

void TGLRenderer::DrawTriangles(const TBatch& b) {
  if (b.IndexCount == 0) return;
  // Closed shapes are only seen from outside: light one side, which is half the work.
  // Surfaces are lit on both sides, without highlights.
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, b.Closed ? GL_FALSE : GL_TRUE);
  const float white[4] = {1, 1, 1, 1}, black[4] = {0, 0, 0, 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, b.Closed ? white : black);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glBindBuffer(GL_ARRAY_BUFFER, b.Buffers[0]);
  glVertexPointer(3, GL_FLOAT, 0, nullptr);
  glBindBuffer(GL_ARRAY_BUFFER, b.Buffers[1]);
  glNormalPointer(GL_FLOAT, 0, nullptr);
  glBindBuffer(GL_ARRAY_BUFFER, b.Buffers[2]);
  glColorPointer(4, GL_UNSIGNED_BYTE, 0, nullptr);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.Buffers[3]);
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(b.IndexCount), GL_UNSIGNED_INT, nullptr);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  Triangles_ += b.IndexCount / 3;
}

void TGLRenderer::DrawLinesAndMarks(const TBatch& b, bool antialias) {
  glDisable(GL_LIGHTING);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  if (!b.Runs.empty()) {
    if (antialias) glEnable(GL_LINE_SMOOTH);
    glVertexPointer(3, GL_FLOAT, 0, b.LinePos.data());
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, b.LineCol.data());
    for (const auto& r : b.Runs) {
      glLineWidth(r.Width);
      const auto style = static_cast<TPenStyle>(r.Style);
      if (style == TPenStyle::psDash || style == TPenStyle::psDot || style == TPenStyle::psDashDot) {
        glEnable(GL_LINE_STIPPLE);
        glLineStipple(std::max(1, static_cast<int>(r.Width / 2)),
                      style == TPenStyle::psDash ? 0x0FFF : (style == TPenStyle::psDot ? 0x3333 : 0x27FF));
      } else {
        glDisable(GL_LINE_STIPPLE);
      }
      glDrawArrays(GL_LINES, static_cast<GLint>(r.First), static_cast<GLsizei>(r.Count));
    }
    glDisable(GL_LINE_STIPPLE);
    glDisable(GL_LINE_SMOOTH);
  }
  if (!b.MarkPos.empty()) {
    if (b.MarkRound) glEnable(GL_POINT_SMOOTH);
    glPointSize(std::max(1.0f, b.MarkSize));
    glVertexPointer(3, GL_FLOAT, 0, b.MarkPos.data());
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, b.MarkCol.data());
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(b.MarkPos.size() / 3));
    glDisable(GL_POINT_SMOOTH);
  }
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glEnable(GL_LIGHTING);
}

void TGLRenderer::Render(const TChart& chart, int width, int height) {
  if (!Ready_) return;
  Triangles_ = 0;
  const TProjection proj = TProjection::ForChart(chart, width, height);
  const TTeeOpenGL& gl = chart.OpenGL();

  glViewport(0, 0, width, height);
  const QColor back = ToQColor(chart.BackColor());
  glClearColor(static_cast<float>(back.redF()), static_cast<float>(back.greenF()), static_cast<float>(back.blueF()), 1);
  glClearDepth(1);
  glDepthMask(GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glUseProgram(0);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_CULL_FACE);
  // The projection below turns y downwards, which mirrors the winding on screen.
  glFrontFace(GL_CW);

  // Chart axes to pixels: x right, y down, depth away from the viewer.
  double lo[3], hi[3];
  for (int k = 0; k < 3; ++k) chart.AxisRange(k, lo[k], hi[k]);
  double span = 0;
  for (int k = 0; k < 3; ++k) span = std::max(span, hi[k] - lo[k]);
  const double s = proj.Scale;
  const double far = std::max(1.0, 50 * span * s);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, -far, far);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  // Lights in eye space: a grey light from the viewer's upper left.
  const float amb = static_cast<float>(std::clamp(gl.AmbientLight / 100.0 + 0.3, 0.0, 1.0));
  const float ambient[4] = {amb, amb, amb, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  const TGLLight* lights[3] = {&gl.Light0, &gl.Light1, &gl.Light2};
  for (int i = 0; i < 3; ++i) {
    const GLenum id = static_cast<GLenum>(GL_LIGHT0 + i);
    if (!lights[i]->Visible) {
      glDisable(id);
      continue;
    }
    const QColor c = ToQColor(lights[i]->Color);
    const float f = 1.4f;
    const float diffuse[4] = {std::min(1.0f, static_cast<float>(c.redF()) * f),
                              std::min(1.0f, static_cast<float>(c.greenF()) * f),
                              std::min(1.0f, static_cast<float>(c.blueF()) * f), 1};
    const float specular[4] = {0.35f, 0.35f, 0.35f, 1};
    const float zero[4] = {0, 0, 0, 1};
    float pos[4] = {-0.35f, -0.45f, 1.0f, 0};
    if (i > 0) pos[0] = 0.5f, pos[1] = 0.3f, pos[2] = 1.0f;
    glLightfv(id, GL_POSITION, pos);
    glLightfv(id, GL_DIFFUSE, diffuse);
    glLightfv(id, GL_SPECULAR, specular);
    glLightfv(id, GL_AMBIENT, zero);
    glEnable(id);
  }
  glEnable(GL_LIGHTING);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  const float white[4] = {1, 1, 1, 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, static_cast<float>(std::clamp(gl.Shininess, 0.0, 1.0) * 128));
  glEnable(GL_RESCALE_NORMAL);  // unit normals, uniform scale
  glShadeModel(GL_SMOOTH);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  if (gl.Antialias) glEnable(GL_MULTISAMPLE);

  const double m[16] = {s * proj.Rot[0][0], -s * proj.Rot[1][0], -s * proj.Rot[2][0], 0,
                        s * proj.Rot[0][1], -s * proj.Rot[1][1], -s * proj.Rot[2][1], 0,
                        s * proj.Rot[0][2], -s * proj.Rot[1][2], -s * proj.Rot[2][2], 0,
                        proj.ScreenX,       proj.ScreenY,        0,                   1};
  glLoadMatrixd(m);
  glScaled(1, 1, proj.DepthFactor);
  if (proj.DepthFactor != 1) glEnable(GL_NORMALIZE);  // the scale is no longer uniform
  glTranslated(-proj.Center[0], -proj.Center[1], -proj.Center[2]);

  // Bring the cache up to date; series that are gone are dropped.
  for (auto& [k, b] : Cache_) b.Used = false;
  std::vector<std::pair<const TChartSeries*, TBatch*>> live;
  for (const TChartSeries* sr : chart.Series()) {
    if (!sr->Active()) continue;
    TBatch& b = Cache_[sr];
    if (b.DataRev != sr->DataRevision() || b.StyleRev != sr->StyleRevision() || b.Scale != s) Build(b, *sr, s);
    b.Used = true;
    live.push_back({sr, &b});
  }
  for (auto it = Cache_.begin(); it != Cache_.end();) {
    if (it->second.Used) {
      ++it;
    } else {
      Free(it->second);
      it = Cache_.erase(it);
    }
  }

  glDisable(GL_BLEND);  // opaque geometry needs no blending
  for (auto& [sr, b] : live)
    if (!b->Transparent) {
      DrawTriangles(*b);
      DrawSprites(*b);
    }
  glEnable(GL_BLEND);
  for (auto& [sr, b] : live) DrawLinesAndMarks(*b, gl.Antialias);
  // Transparent series far to near, without writing depth; back faces first.
  std::vector<std::pair<double, TBatch*>> glass;
  for (auto& [sr, b] : live)
    if (b->Transparent && (b->IndexCount > 0 || !b->SpriteRuns.empty()))
      glass.push_back({proj.RotateToView(b->Centre[0], b->Centre[1], b->Centre[2])[2], b});
  std::stable_sort(glass.begin(), glass.end(), [](const auto& a, const auto& c) { return a.first > c.first; });
  glDepthMask(GL_FALSE);
  for (auto& [d, b] : glass) {
    if (b->Closed) {
      glEnable(GL_CULL_FACE);
      glCullFace(GL_FRONT);
      DrawTriangles(*b);
      glCullFace(GL_BACK);
      DrawTriangles(*b);
      glDisable(GL_CULL_FACE);
    } else {
      DrawTriangles(*b);
    }
    DrawSprites(*b);
  }
  glDepthMask(GL_TRUE);

  // Leave a plain state for QPainter on top.
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_COLOR_MATERIAL);
  glDisable(GL_RESCALE_NORMAL);
  glDisable(GL_NORMALIZE);
  glFrontFace(GL_CCW);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

}  // namespace korvex
