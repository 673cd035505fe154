#include "chart/view/GLRenderer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "chart/Primitives.h"
#include "chart/view/CanvasRenderer.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

namespace korvex {

namespace {

constexpr double kPi = 3.14159265358979323846;

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

void PushColor(std::vector<unsigned char>& v, TRgba c) {
  v.insert(v.end(), {static_cast<unsigned char>(c >> 16), static_cast<unsigned char>(c >> 8),
                     static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 24)});
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
  for (auto& [d, id] : SpriteTextures_) glDeleteTextures(1, &id);
}

void TGLRenderer::Free(TBatch& b) {
  if (b.Buffers[0]) glDeleteBuffers(4, b.Buffers);
  for (unsigned& id : b.Buffers) id = 0;
  if (b.LineBuffers[0]) glDeleteBuffers(2, b.LineBuffers);
  for (unsigned& id : b.LineBuffers) id = 0;
}

// Triangles and lines go to buffer objects once; the frames only draw them.
void TGLRenderer::Upload(TBatch& b) {
  if (!b.LinePos.empty()) {
    glGenBuffers(2, b.LineBuffers);
    glBindBuffer(GL_ARRAY_BUFFER, b.LineBuffers[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(b.LinePos.size() * sizeof(float)), b.LinePos.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, b.LineBuffers[1]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(b.LineCol.size()), b.LineCol.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    std::vector<float>().swap(b.LinePos);
    std::vector<unsigned char>().swap(b.LineCol);
  }
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
  Software_ = SoftwareOpenGL();
  return true;
}

// A lit white sphere of d x d texels with a round alpha edge, tinted by each sprite's colour.
// Each diameter has its own, drawn one texel to a pixel: no filtering, the cheapest way for
// a software renderer, and sharp.
unsigned TGLRenderer::SpriteTexture(int d) {
  unsigned& id = SpriteTextures_[d];
  if (id) return id;
  std::vector<unsigned char> tex(static_cast<size_t>(d * d * 4));
  const double l[3] = {-0.33, 0.42, 0.84};  // from the upper left, towards the viewer
  constexpr int kSub = 4;                    // samples per texel and axis, for the edge
  for (int y = 0; y < d; ++y)
    for (int x = 0; x < d; ++x) {
      double shade = 0, cover = 0;
      for (int sy = 0; sy < kSub; ++sy)
        for (int sx = 0; sx < kSub; ++sx) {
          const double u = (x + (sx + 0.5) / kSub) / d * 2 - 1, v = 1 - (y + (sy + 0.5) / kSub) / d * 2;
          const double r2 = u * u + v * v;
          if (r2 > 1) continue;
          const double w = std::sqrt(1 - r2);
          shade += std::min(1.0, 0.38 + 0.7 * std::max(0.0, u * l[0] + v * l[1] + w * l[2]));
          cover += 1;
        }
      unsigned char* t = &tex[static_cast<size_t>((y * d + x) * 4)];
      t[0] = t[1] = t[2] = static_cast<unsigned char>(cover > 0 ? 255 * shade / cover : 255);
      t[3] = static_cast<unsigned char>(std::lround(255 * cover / (kSub * kSub)));
    }
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, d, d, 0, GL_RGBA, GL_UNSIGNED_BYTE, tex.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  return id;
}

void TGLRenderer::DrawSprites(const TBatch& b) {
  if (b.SpriteRuns.empty()) return;
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
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
    glBindTexture(GL_TEXTURE_2D, SpriteTexture(static_cast<int>(r.Width)));
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
  const TSeriesPrimitives prim = Decompose(s, scale);
  b.Transparent = prim.Transparent;
  b.Closed = prim.Mesh.Faces.empty();  // spheres and cones
  auto vertex = [&b](const double p[3], const double n[3], TRgba c) {
    b.Pos.insert(b.Pos.end(), {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])});
    b.Nrm.insert(b.Nrm.end(), {static_cast<float>(n[0]), static_cast<float>(n[1]), static_cast<float>(n[2])});
    PushColor(b.Col, c);
    return static_cast<unsigned>(b.Pos.size() / 3 - 1);
  };
  auto line = [&b](const double p[3], const double q[3], TRgba c, float width, TPenStyle style) {
    const float w = std::max(1.0f, width);
    const int st = static_cast<int>(style);
    if (b.Runs.empty() || b.Runs.back().Width != w || b.Runs.back().Style != st)
      b.Runs.push_back({static_cast<unsigned>(b.LinePos.size() / 3), 0, w, st});
    b.LinePos.insert(b.LinePos.end(), {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]),
                                       static_cast<float>(q[0]), static_cast<float>(q[1]), static_cast<float>(q[2])});
    PushColor(b.LineCol, c);
    PushColor(b.LineCol, c);
    b.Runs.back().Count += 2;
  };

  // Faces: a height field shares its vertices, with normals averaged over the faces around
  // them; other faces are flat, in the colour of their first corner.
  const TPrimMesh& m = prim.Mesh;
  std::vector<double> nsum(m.Smooth ? 3 * m.Vertices.size() : 0, 0.0);
  if (m.Smooth)
    for (size_t i = 0; i < m.Vertices.size(); ++i) {
      const double zero[3] = {0, 0, 0};
      vertex(m.Vertices[i].data(), zero, m.Colors[i]);
    }
  for (const auto& f : m.Faces) {
    const double* v[4];
    for (unsigned k = 0; k < f.Count; ++k) v[k] = m.Vertices[f.V[k]].data();
    const double u[3] = {v[2][0] - v[0][0], v[2][1] - v[0][1], v[2][2] - v[0][2]};
    const double* last = v[f.Count - 1];
    const double w[3] = {last[0] - v[1][0], last[1] - v[1][1], last[2] - v[1][2]};
    double nn[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
    unsigned id[4];
    if (m.Smooth) {
      for (unsigned k = 0; k < f.Count; ++k) {
        id[k] = f.V[k];
        for (int j = 0; j < 3; ++j) nsum[3 * id[k] + static_cast<size_t>(j)] += nn[j];
      }
    } else {
      Normalize(nn);
      for (unsigned k = 0; k < f.Count; ++k) id[k] = vertex(v[k], nn, m.Colors[f.V[0]]);
    }
    b.Idx.insert(b.Idx.end(), {id[0], id[1], id[2]});
    if (f.Count == 4) b.Idx.insert(b.Idx.end(), {id[0], id[2], id[3]});
  }
  for (size_t i = 0; i < nsum.size(); i += 3) {
    double n[3] = {nsum[i], nsum[i + 1], nsum[i + 2]};
    Normalize(n);
    for (int j = 0; j < 3; ++j) b.Nrm[i + static_cast<size_t>(j)] = static_cast<float>(n[j]);
  }
  b.SurfaceLines = m.Pen.Drawn;
  if (m.Pen.Drawn)
    for (const auto& e : m.Edges) line(m.Vertices[e[0]].data(), m.Vertices[e[1]].data(), m.Pen.Color, m.Pen.Width, m.Pen.Style);

  // Pen segments; a shaft stops short of its arrowheads, sized in pixels at this zoom.
  for (const TPrimSegment& g : prim.Segments) {
    const double d[3] = {g.B[0] - g.A[0], g.B[1] - g.A[1], g.B[2] - g.A[2]};
    const double len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    double ta = 0, tb = 1;
    if (len > 1e-12) {
      if (g.HeadB > 0) tb = 1 - 0.8 * std::min(g.HeadB / scale, 0.45 * len) / len;
      if (g.HeadA > 0) ta = 0.8 * std::min(g.HeadA / scale, 0.45 * len) / len;
    }
    if (tb <= ta) continue;
    const double p[3] = {g.A[0] + d[0] * ta, g.A[1] + d[1] * ta, g.A[2] + d[2] * ta};
    const double q[3] = {g.A[0] + d[0] * tb, g.A[1] + d[1] * tb, g.A[2] + d[2] * tb};
    line(p, q, g.Color, g.Width, g.Style);
  }

  // Arrowheads: cones.
  for (const TPrimArrowhead& h : prim.Arrowheads) {
    if (!(h.Shaft > 1e-12)) continue;
    const double hl = std::min(h.Length / scale, 0.45 * h.Shaft);
    const double hw = std::min(h.HalfWidth / scale, 0.7 * hl);
    const double* ax = h.Dir;
    double p1[3] = {1, 0, 0};
    if (std::fabs(ax[0]) > 0.9) p1[0] = 0, p1[1] = 1;
    double u[3] = {ax[1] * p1[2] - ax[2] * p1[1], ax[2] * p1[0] - ax[0] * p1[2], ax[0] * p1[1] - ax[1] * p1[0]};
    Normalize(u);
    const double v[3] = {ax[1] * u[2] - ax[2] * u[1], ax[2] * u[0] - ax[0] * u[2], ax[0] * u[1] - ax[1] * u[0]};
    // Sides enough for a round outline: up to 6.5 pixels' radius, 8 sides stay within half a
    // pixel of the circle.
    const int n = h.HalfWidth <= 6.5f ? 8 : 16;
    const unsigned tipId = vertex(h.Tip, ax, h.Color);
    const double bc[3] = {h.Tip[0] - ax[0] * hl, h.Tip[1] - ax[1] * hl, h.Tip[2] - ax[2] * hl};
    const double back[3] = {-ax[0], -ax[1], -ax[2]};
    const unsigned centreId = vertex(bc, back, h.Color);
    unsigned first = 0;
    for (int k = 0; k <= n; ++k) {
      const double th = 2 * kPi * k / n;
      const double rd[3] = {std::cos(th) * u[0] + std::sin(th) * v[0], std::cos(th) * u[1] + std::sin(th) * v[1],
                            std::cos(th) * u[2] + std::sin(th) * v[2]};
      double nn[3] = {rd[0] * hl + ax[0] * hw, rd[1] * hl + ax[1] * hw, rd[2] * hl + ax[2] * hw};
      Normalize(nn);
      const double rim[3] = {bc[0] + hw * rd[0], bc[1] + hw * rd[1], bc[2] + hw * rd[2]};
      const unsigned id = vertex(rim, nn, h.Color);
      const unsigned idb = vertex(rim, back, h.Color);
      if (k > 0) b.Idx.insert(b.Idx.end(), {tipId, first, id, centreId, idb, first + 1});
      first = id;
    }
  }

  // Markers in pixels.
  b.MarkSize = 2 * prim.MarkerSize;
  b.MarkRound = prim.MarkerShape == TPointerStyle::psCircle;
  for (const TPrimMarker& k : prim.Markers) {
    b.MarkPos.insert(b.MarkPos.end(), {static_cast<float>(k.P[0]), static_cast<float>(k.P[1]), static_cast<float>(k.P[2])});
    PushColor(b.MarkCol, k.Fill);
  }

  // Spheres: tessellated as fine as their size on screen needs; those only a few pixels
  // across are shaded point sprites, one run per diameter.
  std::map<int, std::vector<const TPrimSphere*>> sprites;
  for (const TPrimSphere& sp : prim.Spheres) {
    const double r = sp.R;
    if (r * scale < 6) {
      sprites[std::max(1, static_cast<int>(std::lround(2 * r * scale)))].push_back(&sp);
      continue;
    }
    const TUnitSphere& us = UnitSphere(SphereLevel(r * scale));
    const unsigned base = static_cast<unsigned>(b.Pos.size() / 3);
    for (size_t k = 0; k < us.V.size(); k += 3) {
      const double n[3] = {us.V[k], us.V[k + 1], us.V[k + 2]};
      const double p[3] = {sp.C[0] + r * n[0], sp.C[1] + r * n[1], sp.C[2] + r * n[2]};
      vertex(p, n, sp.Fill);
    }
    for (unsigned id : us.I) b.Idx.push_back(base + id);
  }
  for (const auto& [diameter, list] : sprites) {
    b.SpriteRuns.push_back({static_cast<unsigned>(b.SpritePos.size() / 3), static_cast<unsigned>(list.size()),
                            static_cast<float>(diameter), 0});
    for (const TPrimSphere* sp : list) {
      b.SpritePos.insert(b.SpritePos.end(),
                         {static_cast<float>(sp->C[0]), static_cast<float>(sp->C[1]), static_cast<float>(sp->C[2])});
      PushColor(b.SpriteCol, sp->Fill);
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
    glBindBuffer(GL_ARRAY_BUFFER, b.LineBuffers[0]);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, b.LineBuffers[1]);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
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
  for (auto& [sr, b] : live) DrawLinesAndMarks(*b, gl.Antialias && !(Software_ && b->SurfaceLines));
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
