#include "chart/view/CanvasRenderer.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QRadialGradient>
#include <QPaintEngine>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

namespace korvex {

QColor ToQColor(TColor c, int alpha) { return QColor(RedOf(c), GreenOf(c), BlueOf(c), alpha); }

namespace {

bool Finite3(double x, double y, double z) { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }

QRgb Shade(QRgb c, double f) {
  return qRgba(std::clamp(static_cast<int>(qRed(c) * f), 0, 255), std::clamp(static_cast<int>(qGreen(c) * f), 0, 255),
               std::clamp(static_cast<int>(qBlue(c) * f), 0, 255), qAlpha(c));
}

Qt::PenStyle QtPenStyle(unsigned char s) {
  switch (static_cast<TPenStyle>(s)) {
    case TPenStyle::psDash: return Qt::DashLine;
    case TPenStyle::psDot: return Qt::DotLine;
    case TPenStyle::psDashDot: return Qt::DashDotLine;
    case TPenStyle::psClear: return Qt::NoPen;
    default: return Qt::SolidLine;
  }
}

Qt::PenCapStyle QtCap(unsigned char c) {
  switch (static_cast<TPenEndStyle>(c)) {
    case TPenEndStyle::esFlat: return Qt::FlatCap;
    case TPenEndStyle::esSquare: return Qt::SquareCap;
    default: return Qt::RoundCap;
  }
}

// Shading of a sphere drawn in box: a highlight up and left of the centre, darker towards the
// rim. Sprites and large spheres share it.
QRadialGradient SphereGradient(const QRectF& box, QRgb color) {
  const double r = box.width() * 0.5;
  const QColor base = QColor::fromRgba(color);
  QRadialGradient g(box.center(), r, QPointF(box.left() + 0.72 * r, box.top() + 0.64 * r));
  QColor hi = base.lighter(170);
  if (base.lightness() > 200) hi = QColor(255, 255, 255, base.alpha());
  hi.setAlpha(base.alpha());
  QColor lo = base.darker(190);
  lo.setAlpha(base.alpha());
  g.setColorAt(0, hi);
  g.setColorAt(0.55, base);
  g.setColorAt(1, lo);
  return g;
}

// Number of pieces, 1 to most, that a length in pixels is cut into at one piece per step.
// Computed in floating point: a huge, infinite or NaN length must not reach an integer
// conversion, whose result is undefined and, in an optimised build, unbounded.
int SplitCount(double length, double step, int most) {
  const double n = length / step;
  if (!(n >= 1)) return 1;
  if (!(n < most)) return most;
  return static_cast<int>(n);
}

// Cuts the convex polygon in[0..n) down to its part inside box (Sutherland-Hodgman, one side
// of the box after the other) into out; returns the number of corners left.
int ClipToBox(const QPointF* in, int n, const QRectF& box, std::vector<QPointF>& out,
              std::vector<QPointF>& work) {
  out.assign(in, in + n);
  for (int side = 0; side < 4 && !out.empty(); ++side) {  // left, right, top, bottom
    const double edge = side == 0   ? box.left()
                        : side == 1 ? box.right()
                        : side == 2 ? box.top()
                                    : box.bottom();
    const auto inside = [&](const QPointF& p) {
      switch (side) {
        case 0:
          return p.x() >= edge;
        case 1:
          return p.x() <= edge;
        case 2:
          return p.y() >= edge;
        default:
          return p.y() <= edge;
      }
    };
    const auto cross = [&](const QPointF& a, const QPointF& b) {
      if (side < 2)
        return QPointF(edge, a.y() + (edge - a.x()) / (b.x() - a.x()) * (b.y() - a.y()));
      return QPointF(a.x() + (edge - a.y()) / (b.y() - a.y()) * (b.x() - a.x()), edge);
    };
    work.clear();
    for (size_t i = 0; i < out.size(); ++i) {
      const QPointF& a = out[i];
      const QPointF& b = out[(i + 1) % out.size()];
      const bool ina = inside(a), inb = inside(b);
      if (ina) work.push_back(a);
      if (ina != inb) work.push_back(cross(a, b));
    }
    out.swap(work);
  }
  return static_cast<int>(out.size());
}

}  // namespace

void TCanvasRenderer::AddScreenPolygon(const QPointF* pts, int n, float depth, QRgb fill, int order) {
  TPiece p{};
  p.K = TPiece::Polygon;
  p.Depth = depth;
  p.Order = order;
  p.First = static_cast<unsigned>(Pts_.size());
  p.Count = static_cast<unsigned>(n);
  p.Fill = fill;
  Pts_.insert(Pts_.end(), pts, pts + n);
  Pieces_.push_back(p);
}

void TCanvasRenderer::AddPolygon(const TProjection& proj, const double (*w)[3], int n, QRgb fill, bool outline,
                                 QRgb pen, float penWidth, int order, bool seams) {
  // Light from the viewer: faces seen edge-on are darker.
  const double u[3] = {w[2][0] - w[0][0], w[2][1] - w[0][1], w[2][2] - w[0][2]};
  const double v[3] = {w[n - 1][0] - w[1][0], w[n - 1][1] - w[1][1], w[n - 1][2] - w[1][2]};
  const double nn[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
  const double len = std::sqrt(nn[0] * nn[0] + nn[1] * nn[1] + nn[2] * nn[2]);
  double shade = 1;
  if (len > 0 && std::isfinite(len)) {
    const auto vn = proj.RotateToView(nn[0] / len, nn[1] / len, nn[2] / len);
    shade = 0.6 + 0.4 * std::fabs(vn[2]);
  }
  TPiece p{};
  p.K = TPiece::Polygon;
  p.Order = order;
  p.First = static_cast<unsigned>(Pts_.size());
  p.Count = static_cast<unsigned>(n);
  p.Fill = Shade(fill, shade);
  p.Outline = outline ? 1 : (seams ? 2 : 0);
  p.PenColor = outline ? pen : p.Fill;
  p.PenWidth = outline ? penWidth : 1;
  double depth = 0;
  for (int i = 0; i < n; ++i) {
    const auto s = proj.Project(w[i][0], w[i][1], w[i][2]);
    Pts_.emplace_back(s[0], s[1]);
    depth += s[2];
  }
  p.Depth = static_cast<float>(depth / n);
  Pieces_.push_back(p);
}

void TCanvasRenderer::AddLine(const TProjection& proj, const double a[3], const double b[3], QRgb color, float width,
                              unsigned char style, unsigned char cap, int order, bool split) {
  const auto sa = proj.Project(a[0], a[1], a[2]);
  const auto sb = proj.Project(b[0], b[1], b[2]);
  int pieces = 1;
  if (split) {
    const double len = std::hypot(sb[0] - sa[0], sb[1] - sa[1]);
    pieces = SplitCount(len, 30, 24);
  }
  for (int k = 0; k < pieces; ++k) {
    const double t0 = static_cast<double>(k) / pieces, t1 = static_cast<double>(k + 1) / pieces;
    TPiece p{};
    p.K = TPiece::Line;
    p.Style = style;
    p.Cap = (pieces > 1 && k > 0 && k < pieces - 1) ? static_cast<unsigned char>(TPenEndStyle::esFlat) : cap;
    p.Order = order;
    p.First = static_cast<unsigned>(Pts_.size());
    p.Count = 2;
    p.PenColor = color;
    p.PenWidth = width;
    Pts_.emplace_back(sa[0] + (sb[0] - sa[0]) * t0, sa[1] + (sb[1] - sa[1]) * t0);
    Pts_.emplace_back(sa[0] + (sb[0] - sa[0]) * t1, sa[1] + (sb[1] - sa[1]) * t1);
    p.Depth = static_cast<float>(sa[2] + (sb[2] - sa[2]) * 0.5 * (t0 + t1));
    Pieces_.push_back(p);
  }
}

void TCanvasRenderer::AddPrimitives(const TSeriesPrimitives& prim, int order, const TProjection& proj) {
  // Faces, with the pen of the mesh as their outline.
  const TPrimMesh& m = prim.Mesh;
  for (const TPrimMesh::TFace& f : m.Faces) {
    const double* v[4];
    for (unsigned k = 0; k < f.Count; ++k) v[k] = m.Vertices[f.V[k]].data();
    const QRgb fill = m.Colors[f.V[0]];
    // Large faces are cut into smaller ones so that far-to-near ordering against spheres,
    // arrows and other surfaces stays right.
    double edge = 0;
    for (unsigned k = 0; k < f.Count; ++k) {
      const double* q = v[(k + 1) % f.Count];
      const auto a = proj.Project(v[k][0], v[k][1], v[k][2]);
      const auto b = proj.Project(q[0], q[1], q[2]);
      edge = std::max(edge, std::hypot(b[0] - a[0], b[1] - a[1]));
    }
    const int n = SplitCount(edge, 40, 12);
    if (f.Count == 4) {
      double w[4][3];
      if (n == 1) {
        for (int k = 0; k < 4; ++k)
          for (int j = 0; j < 3; ++j) w[k][j] = v[k][j];
        AddPolygon(proj, w, 4, fill, m.Pen.Drawn, m.Pen.Color, m.Pen.Width, order, m.Seams);
        continue;
      }
      // n x n pieces between the corners; the outline goes round the whole face.
      auto at = [&](int i, int j, double out[3]) {
        const double a = static_cast<double>(i) / n, b = static_cast<double>(j) / n;
        for (int k = 0; k < 3; ++k)
          out[k] = (1 - a) * (1 - b) * v[0][k] + a * (1 - b) * v[1][k] + a * b * v[2][k] + (1 - a) * b * v[3][k];
      };
      for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
          at(i, j, w[0]);
          at(i + 1, j, w[1]);
          at(i + 1, j + 1, w[2]);
          at(i, j + 1, w[3]);
          AddPolygon(proj, w, 4, fill, false, 0, 1, order, true);
        }
      if (m.Pen.Drawn)
        for (int k = 0; k < 4; ++k)
          AddLine(proj, v[k], v[(k + 1) % 4], m.Pen.Color, m.Pen.Width, static_cast<unsigned char>(m.Pen.Style),
                  static_cast<unsigned char>(TPenEndStyle::esSquare), order, true);
      continue;
    }
    auto at = [&](int i, int j, double out[3]) {
      const double a = static_cast<double>(i) / n, b = static_cast<double>(j) / n, c = 1 - a - b;
      for (int k = 0; k < 3; ++k) out[k] = c * v[0][k] + a * v[1][k] + b * v[2][k];
    };
    for (int i = 0; i < n; ++i)
      for (int j = 0; i + j < n; ++j) {
        double w[3][3];
        at(i, j, w[0]);
        at(i + 1, j, w[1]);
        at(i, j + 1, w[2]);
        AddPolygon(proj, w, 3, fill, m.Pen.Drawn, m.Pen.Color, m.Pen.Width, order, m.Seams);
        if (i + j + 1 < n) {
          at(i + 1, j, w[0]);
          at(i + 1, j + 1, w[1]);
          at(i, j + 1, w[2]);
          AddPolygon(proj, w, 3, fill, m.Pen.Drawn, m.Pen.Color, m.Pen.Width, order, m.Seams);
        }
      }
  }

  // Pen segments; a shaft stops short of its arrowheads, measured on screen.
  for (const TPrimSegment& g : prim.Segments) {
    double ta = 0, tb = 1;
    if (g.HeadA > 0 || g.HeadB > 0) {
      const auto sa = proj.Project(g.A[0], g.A[1], g.A[2]);
      const auto sb = proj.Project(g.B[0], g.B[1], g.B[2]);
      const double len = std::hypot(sb[0] - sa[0], sb[1] - sa[1]);
      if (len > 1e-6) {
        if (g.HeadB > 0) tb = 1 - 0.8 * std::min(static_cast<double>(g.HeadB), 0.45 * len) / len;
        if (g.HeadA > 0) ta = 0.8 * std::min(static_cast<double>(g.HeadA), 0.45 * len) / len;
      }
      if (tb <= ta) continue;
    }
    double a[3], b[3];
    for (int k = 0; k < 3; ++k) {
      a[k] = g.A[k] + (g.B[k] - g.A[k]) * ta;
      b[k] = g.A[k] + (g.B[k] - g.A[k]) * tb;
    }
    AddLine(proj, a, b, g.Color, g.Width, static_cast<unsigned char>(g.Style), static_cast<unsigned char>(g.Cap),
            order, g.Split);
  }

  // Arrowheads: flat triangles facing the viewer.
  for (const TPrimArrowhead& h : prim.Arrowheads) {
    const auto tip = proj.Project(h.Tip[0], h.Tip[1], h.Tip[2]);
    const auto from = proj.Project(h.Tip[0] - h.Dir[0] * h.Shaft, h.Tip[1] - h.Dir[1] * h.Shaft,
                                   h.Tip[2] - h.Dir[2] * h.Shaft);
    const double len = std::hypot(tip[0] - from[0], tip[1] - from[1]);
    if (!(len > 1e-6)) continue;
    const double hl = std::min(static_cast<double>(h.Length), 0.45 * len);
    const double hw = std::min(static_cast<double>(h.HalfWidth), hl * 0.7);
    const double ux = (tip[0] - from[0]) / len, uy = (tip[1] - from[1]) / len;
    const QPointF tri[3] = {QPointF(tip[0], tip[1]), QPointF(tip[0] - ux * hl - uy * hw, tip[1] - uy * hl + ux * hw),
                            QPointF(tip[0] - ux * hl + uy * hw, tip[1] - uy * hl - ux * hw)};
    AddScreenPolygon(tri, 3, static_cast<float>(tip[2]), h.Color, order);
  }

  // Spheres and markers, with the series' outline.
  const TPrimOutline& out = prim.PointOutline;
  auto point = [&](const double at[3], QRgb fill, TPiece::Kind kind) -> TPiece& {
    const auto c = proj.Project(at[0], at[1], at[2]);
    TPiece p{};
    p.K = kind;
    p.Order = order;
    p.First = static_cast<unsigned>(Pts_.size());
    p.Count = 1;
    p.Fill = fill;
    p.Outline = out.Drawn ? 1 : 0;
    p.PenColor = out.Color;
    p.PenWidth = out.Width;
    p.Style = static_cast<unsigned char>(out.Style);
    p.Depth = static_cast<float>(c[2]);
    p.Radius = static_cast<float>(proj.ScaleAt(c[2]));  // pixels per unit here, scaled below
    Pts_.emplace_back(c[0], c[1]);
    Pieces_.push_back(p);
    return Pieces_.back();
  };
  for (const TPrimSphere& sp : prim.Spheres) {
    TPiece& p = point(sp.C, sp.Fill, TPiece::Sphere);
    p.Radius = static_cast<float>(sp.R * p.Radius);
  }
  for (const TPrimMarker& mk : prim.Markers) {
    TPiece& p = point(mk.P, mk.Fill, TPiece::Marker);
    p.Radius = prim.MarkerSize;
    p.Cap = static_cast<unsigned char>(prim.MarkerShape);
  }
}

void TCanvasRenderer::Build(const TChart& chart, const TProjection& proj) {
  Pieces_.clear();
  Pts_.clear();
  // The pieces of each series are kept until its points, its looks or the zoom change.
  for (auto& [k, c] : Cache_) c.Used = false;
  int order = 0;
  for (const TChartSeries* s : chart.Series()) {
    if (s->Active()) {
      TCached& c = Cache_[s];
      if (c.DataRev != s->DataRevision() || c.StyleRev != s->StyleRevision() || c.Scale != proj.Scale) {
        c.Prim = Decompose(*s, proj.Scale);
        c.DataRev = s->DataRevision();
        c.StyleRev = s->StyleRevision();
        c.Scale = proj.Scale;
      }
      c.Used = true;
      AddPrimitives(c.Prim, order, proj);
    }
    ++order;
  }
  std::erase_if(Cache_, [](const auto& entry) { return !entry.second.Used; });
  // Pieces far outside any window (huge coordinates or radii) are left out: the
  // painter works in fixed point and must not see them.
  constexpr double kFar = 1e6;
  auto far = [](const QPointF& p) { return !(std::fabs(p.x()) < kFar && std::fabs(p.y()) < kFar); };
  Pieces_.erase(std::remove_if(Pieces_.begin(), Pieces_.end(),
                               [&](const TPiece& p) {
                                 if (!(p.Radius < kFar) || !std::isfinite(p.Depth)) return true;
                                 for (unsigned i = 0; i < p.Count; ++i)
                                   if (far(Pts_[p.First + i])) return true;
                                 return false;
                               }),
                Pieces_.end());
  std::stable_sort(Pieces_.begin(), Pieces_.end(), [](const TPiece& a, const TPiece& b) { return a.Depth > b.Depth; });
}

const QImage& TCanvasRenderer::SphereSprite(QRgb color, int d, const TPiece& outline, int margin) {
  const quint64 look = (static_cast<quint64>(d) << 32) | color;
  const quint64 pen = !outline.Outline ? 0
                                       : (static_cast<quint64>(1) << 63) | (static_cast<quint64>(outline.Style) << 40) |
                                             (static_cast<quint64>(std::lround(outline.PenWidth * 4)) << 32) |
                                             outline.PenColor;
  const QPair<quint64, quint64> key(look, pen);
  auto it = Sprites_.find(key);
  if (it != Sprites_.end()) return *it;
  if (Sprites_.size() > 2000) Sprites_.clear();
  QImage img(d + 2 * margin, d + 2 * margin, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  const QRectF box(margin, margin, d, d);
  p.setBrush(SphereGradient(box, color));
  p.drawEllipse(box);
  if (outline.Outline) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor::fromRgba(outline.PenColor), std::max(1.0f, outline.PenWidth), QtPenStyle(outline.Style)));
    p.drawEllipse(box);
  }
  p.end();
  return *Sprites_.insert(key, img);
}

void TCanvasRenderer::Paint(QPainter& painter, QSize size) {
  // Polygons are cut to the chart and a margin wider than any outline before they are filled:
  // the painter would otherwise fill the whole of a piece many times the chart's size (the
  // region surfaces of a very short wavelength), which takes seconds. What shows inside the
  // chart stays the same.
  const QRectF view(0, 0, size.width(), size.height());
  // Small spheres are stamped from images kept for each colour and size, except into a
  // drawing that is kept as shapes (SVG), where every sphere stays a shaded circle.
  const QPaintEngine* engine = painter.paintEngine();
  const bool sprites = !engine || (engine->type() != QPaintEngine::SVG && engine->type() != QPaintEngine::Pdf &&
                                   engine->type() != QPaintEngine::Picture);
  // The painter's state changes only where a piece needs another pen, brush or smoothing
  // than the one before: tens of thousands of pieces mostly share them.
  bool smooth = painter.testRenderHint(QPainter::Antialiasing);
  auto antialias = [&](bool on) {
    if (on != smooth) painter.setRenderHint(QPainter::Antialiasing, smooth = on);
  };
  struct TPenKey {
    QRgb Color = 0;
    float Width = -1;  // -1: no pen
    unsigned char Style = 0, Cap = 0;
    bool operator==(const TPenKey&) const = default;
  } pen{0, -2, 0, 0};
  auto setPen = [&](TPenKey k) {
    if (k == pen) return;
    pen = k;
    if (k.Width < 0)
      painter.setPen(Qt::NoPen);
    else
      painter.setPen(QPen(QColor::fromRgba(k.Color), k.Width, QtPenStyle(k.Style), QtCap(k.Cap)));
  };
  constexpr TPenKey kNoPen{};
  // The solid brush's colour; brushOk false once a gradient or no brush was set.
  QRgb brush = 0;
  bool brushOk = false;
  auto setBrush = [&](QRgb c) {
    if (brushOk && c == brush) return;
    painter.setBrush(QColor::fromRgba(c));
    brush = c;
    brushOk = true;
  };
  const auto square = static_cast<unsigned char>(TPenEndStyle::esSquare);
  for (const TPiece& p : Pieces_) {
    const QPointF* pts = Pts_.data() + p.First;
    switch (p.K) {
      case TPiece::Polygon: {
        int count = static_cast<int>(p.Count);
        const double margin = 16 + 2 * static_cast<double>(p.PenWidth);
        const QRectF box = view.adjusted(-margin, -margin, margin, margin);
        double left = pts[0].x(), right = left, top = pts[0].y(), bottom = top;
        for (int i = 1; i < count; ++i) {
          left = std::min(left, pts[i].x());
          right = std::max(right, pts[i].x());
          top = std::min(top, pts[i].y());
          bottom = std::max(bottom, pts[i].y());
        }
        if (right < box.left() || left > box.right() || bottom < box.top() || top > box.bottom())
          break;
        if (left < box.left() || right > box.right() || top < box.top() || bottom > box.bottom()) {
          count = ClipToBox(pts, count, box, Clipped_, ClipWork_);
          if (count < 3) break;
          pts = Clipped_.data();
        }
        setBrush(p.Fill);
        if (p.Outline == 1) {
          antialias(true);
          setPen({p.PenColor, p.PenWidth, 0, square});
        } else if (p.Outline == 2 && qAlpha(p.Fill) == 255) {
          antialias(false);
          setPen({p.Fill, 1, 0, square});  // closes seams between cells
        } else {
          antialias(false);
          setPen(kNoPen);
        }
        painter.drawConvexPolygon(pts, count);
        break;
      }
      case TPiece::Line: {
        antialias(true);
        setPen({p.PenColor, std::max(1.0f, p.PenWidth), p.Style, p.Cap});
        painter.drawLine(pts[0], pts[1]);
        break;
      }
      case TPiece::Sphere: {
        const double r = std::max(0.5f, p.Radius);
        const QRectF box(pts[0].x() - r, pts[0].y() - r, 2 * r, 2 * r);
        if (r <= 128 && sprites) {
          // One image with the shading and the outline, placed on whole pixels, which the
          // painter copies without resampling.
          const int d = std::max(1, static_cast<int>(std::lround(2 * r)));
          const int margin = p.Outline ? static_cast<int>(std::ceil(std::max(1.0f, p.PenWidth) / 2)) + 1 : 0;
          painter.drawImage(QPoint(static_cast<int>(std::lround(pts[0].x() - d * 0.5)) - margin,
                                   static_cast<int>(std::lround(pts[0].y() - d * 0.5)) - margin),
                            SphereSprite(p.Fill, d, p, margin));
          break;
        }
        antialias(true);
        setPen(kNoPen);
        painter.setBrush(SphereGradient(box, p.Fill));
        brushOk = false;
        painter.drawEllipse(box);
        if (p.Outline) {
          antialias(true);
          painter.setBrush(Qt::NoBrush);
          brushOk = false;
          setPen({p.PenColor, std::max(1.0f, p.PenWidth), p.Style, square});
          painter.drawEllipse(box);
        }
        break;
      }
      case TPiece::Marker: {
        antialias(true);
        setBrush(p.Fill);
        setPen(p.Outline ? TPenKey{p.PenColor, std::max(1.0f, p.PenWidth), p.Style, square} : kNoPen);
        const double r = p.Radius;
        const QPointF c = pts[0];
        switch (static_cast<TPointerStyle>(p.Cap)) {
          case TPointerStyle::psCircle: painter.drawEllipse(c, r, r); break;
          case TPointerStyle::psTriangle: {
            const QPointF t[3] = {c + QPointF(0, -r), c + QPointF(r, r), c + QPointF(-r, r)};
            painter.drawPolygon(t, 3);
            break;
          }
          case TPointerStyle::psDiamond: {
            const QPointF t[4] = {c + QPointF(0, -r), c + QPointF(r, 0), c + QPointF(0, r), c + QPointF(-r, 0)};
            painter.drawPolygon(t, 4);
            break;
          }
          default: painter.drawRect(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r)); break;
        }
        break;
      }
    }
  }
}

std::vector<TChartLabel> CollectLabels(const TChart& chart, const TProjection& proj, QSize size) {
  std::vector<TChartLabel> out;
  const QRectF area(0, 0, size.width(), size.height());
  QHash<int, QFontMetricsF> metrics;  // by height and weight
  auto make = [&metrics](const QString& text, const TChartFont& f, QPointF anchor, bool boxed) {
    TChartLabel l;
    l.Text = text;
    l.FontHeight = std::max(9, f.Height);
    l.Bold = f.Bold;
    l.Color = ToQColor(f.Color);
    const int key = l.FontHeight * 2 + (l.Bold ? 1 : 0);
    auto it = metrics.find(key);
    if (it == metrics.end()) {
      QFont font;
      font.setPixelSize(l.FontHeight);
      font.setBold(l.Bold);
      it = metrics.insert(key, QFontMetricsF(font));
    }
    const QFontMetricsF& fm = *it;
    const double pad = boxed ? 2 : 0;
    QRectF r(0, 0, 0, 0);
    for (const QString& line : text.split('\n')) r.setWidth(std::max(r.width(), fm.horizontalAdvance(line)));
    r.setHeight(fm.height() * static_cast<double>(text.count('\n') + 1));
    r.adjust(-pad, -pad, pad, pad);
    r.moveTopLeft(anchor);
    l.Box = r;
    return l;
  };
  for (const TChartSeries* s : chart.Series()) {
    if (!s->Active() || !s->Marks().Visible) continue;
    const TSeriesMarks& m = s->Marks();
    const bool vec = s->Kind() == TSeriesKind::Vector3D;
    const bool atStart = vec && static_cast<const TVector3DSeries*>(s)->StartArrow().Visible &&
                         !static_cast<const TVector3DSeries*>(s)->EndArrow().Visible;
    for (const TChartPoint& q : s->Points()) {
      if (q.Label.empty()) continue;
      double x = q.X, y = q.Y, z = q.Z;
      if (vec && !atStart) {
        x = q.EndX;
        y = q.EndY;
        z = q.EndZ;
      }
      if (!Finite3(x, y, z)) continue;
      const auto c = proj.Project(x, y, z);
      if (!(std::fabs(c[0]) < 1e6 && std::fabs(c[1]) < 1e6)) continue;  // far outside the window
      double off = 4;
      if (s->Kind() == TSeriesKind::Bubble3D && std::isfinite(q.Radius) && q.Radius > 0)
        off = std::min(1e4, q.Radius * proj.ScaleAt(c[2]) * 0.75);
      else if (vec)
        off = 6;
      TChartLabel l = make(QString::fromStdString(q.Label), m.Font, QPointF(c[0] + off, c[1] - off), !m.Transparent);
      l.Box.translate(0, -l.Box.height());
      l.Filled = !m.Transparent;
      l.Frame = !m.Transparent && m.Frame;
      l.Back = ToQColor(m.BackColor);
      if (m.Clip) {
        // A clipped mark is not drawn for a point outside the chart; one whose point is inside
        // but which reaches over an edge (an axis label beside its arrow's tip) is moved inside.
        if (!area.contains(QPointF(c[0], c[1]))) continue;
        l.Box.moveLeft(std::clamp(l.Box.left(), area.left(),
                                  std::max(area.left(), area.right() - l.Box.width())));
        l.Box.moveTop(std::clamp(l.Box.top(), area.top(),
                                 std::max(area.top(), area.bottom() - l.Box.height())));
      }
      out.push_back(l);
    }
  }
  auto title = [&](const TChartTitle& t, bool top) {
    if (!t.Visible || t.Text.empty()) return;
    TChartLabel l = make(QString::fromStdString(t.Text), t.Font, QPointF(0, 0), false);
    if (t.CustomPosition || t.Left != 0 || t.Top != 0) {
      l.Box.moveTopLeft(QPointF(t.Left, t.Top));
    } else {
      const double x = t.AlignLeft ? 2 : (size.width() - l.Box.width()) / 2;
      l.Box.moveTopLeft(QPointF(x, top ? 2 : size.height() - l.Box.height() - 2));
    }
    out.push_back(l);
  };
  title(chart.Title(), true);
  title(chart.Foot(), false);
  title(chart.SubFoot(), false);
  return out;
}

void PaintLabels(QPainter& painter, const std::vector<TChartLabel>& labels) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  int fontKey = -1;
  for (const TChartLabel& l : labels) {
    if (l.Filled) {
      painter.setPen(l.Frame ? QPen(Qt::black, 1) : QPen(Qt::NoPen));
      painter.setBrush(l.Back);
      painter.drawRect(l.Box);
    }
    if (l.FontHeight * 2 + l.Bold != fontKey) {
      fontKey = l.FontHeight * 2 + l.Bold;
      QFont font;
      font.setPixelSize(l.FontHeight);
      font.setBold(l.Bold);
      painter.setFont(font);
    }
    painter.setPen(l.Color);
    if (l.Text.contains('\n')) {
      painter.drawText(l.Box, Qt::AlignCenter, l.Text);
    } else {
      // One line: placed at its baseline, which skips the text layout (the box is the text's
      // own width and height plus the padding, so it lands where centring would put it).
      const QFontMetricsF fm(painter.font());
      const double pad = (l.Box.height() - fm.height()) / 2;
      painter.drawText(QPointF(l.Box.center().x() - fm.horizontalAdvance(l.Text) / 2, l.Box.top() + pad + fm.ascent()),
                       l.Text);
    }
  }
}

void TCanvasRenderer::PaintOverlay(const TChart& chart, QPainter& painter, const TProjection& proj, QSize size) {
  PaintLabels(painter, CollectLabels(chart, proj, size));
}

void TCanvasRenderer::Render(const TChart& chart, QPainter& painter, QSize size) {
  painter.save();
  const QRect all(0, 0, size.width(), size.height());
  painter.fillRect(all, ToQColor(chart.BackColor()));
  const TProjection proj = TProjection::ForChart(chart, size.width(), size.height());
  Build(chart, proj);
  Paint(painter, size);
  PaintOverlay(chart, painter, proj, size);
  // Lowered inner bevel.
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QColor(128, 128, 128));
  painter.drawLine(0, 0, size.width() - 1, 0);
  painter.drawLine(0, 0, 0, size.height() - 1);
  painter.setPen(QColor(255, 255, 255));
  painter.drawLine(size.width() - 1, 1, size.width() - 1, size.height() - 1);
  painter.drawLine(1, size.height() - 1, size.width() - 1, size.height() - 1);
  painter.restore();
}

QString TCanvasRenderer::RenderSvg(const TChart& chart, QSize size) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setTitle(QString::fromStdString(chart.Title().Text));
  QPainter painter(&svg);
  Render(chart, painter, size);
  painter.end();
  return QString::fromUtf8(buffer.data());
}

}  // namespace korvex
