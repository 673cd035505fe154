#include "chart/view/CanvasRenderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QRadialGradient>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace korvex {

QColor ToQColor(TColor c, int alpha) { return QColor(RedOf(c), GreenOf(c), BlueOf(c), alpha); }

int AlphaOf(int transparencyPercent) {
  return static_cast<int>(std::lround(255.0 * (100 - std::clamp(transparencyPercent, 0, 100)) / 100.0));
}

namespace {

bool Finite3(double x, double y, double z) { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }

QRgb Rgba(TColor c, int alpha) { return qRgba(RedOf(c), GreenOf(c), BlueOf(c), alpha); }

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

// Arrowhead size in pixels for an arrow width w.
void HeadSize(int w, double& halfWidth, double& length) {
  halfWidth = 1.5 * std::max(1, w) + 3;
  length = 3.0 * std::max(1, w) + 8;
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

void TCanvasRenderer::AddSeries(const TChartSeries& s, int order, const TProjection& proj) {
  const auto& pts = s.Points();
  switch (s.Kind()) {
    case TSeriesKind::Surface: {
      const auto& surf = static_cast<const TSurfaceSeries&>(s);
      const int alpha = AlphaOf(surf.Transparency());
      if (alpha == 0) return;
      const bool outline = surf.Pen().Drawn();
      const QRgb pen = Rgba(surf.Pen().Color, 255);
      for (const auto& c : surf.Grid().Cells) {
        double w[4][3];
        for (int k = 0; k < 4; ++k) {
          const TChartPoint& q = pts[static_cast<size_t>(c[static_cast<size_t>(k)])];
          w[k][0] = q.X;
          w[k][1] = q.Y;
          w[k][2] = q.Z;
        }
        AddPolygon(proj, w, 4, Rgba(surf.FillColor(c[0]), alpha), outline, pen,
                   static_cast<float>(surf.Pen().Width), order, !surf.FastBrush());
      }
      return;
    }
    case TSeriesKind::TriSurface: {
      const auto& tri = static_cast<const TTriSurfaceSeries&>(s);
      const int alpha = AlphaOf(tri.Transparency());
      if (alpha == 0) return;
      const auto& t = tri.Triangulation();
      for (const auto& f : t.Triangles) {
        const TChartPoint* v[3] = {&pts[static_cast<size_t>(f[0])], &pts[static_cast<size_t>(f[1])],
                                   &pts[static_cast<size_t>(f[2])]};
        // Large triangles are cut into smaller ones so that far-to-near ordering
        // against spheres and arrows stays right.
        double edge = 0;
        for (int k = 0; k < 3; ++k) {
          const auto a = proj.Project(v[k]->X, v[k]->Y, v[k]->Z);
          const auto b = proj.Project(v[(k + 1) % 3]->X, v[(k + 1) % 3]->Y, v[(k + 1) % 3]->Z);
          edge = std::max(edge, std::hypot(b[0] - a[0], b[1] - a[1]));
        }
        const int n = SplitCount(edge, 40, 12);
        const QRgb fill = Rgba(tri.FillColor(f[0]), alpha);
        auto at = [&](int i, int j, double out[3]) {
          const double a = static_cast<double>(i) / n, b = static_cast<double>(j) / n, c = 1 - a - b;
          out[0] = c * v[0]->X + a * v[1]->X + b * v[2]->X;
          out[1] = c * v[0]->Y + a * v[1]->Y + b * v[2]->Y;
          out[2] = c * v[0]->Z + a * v[1]->Z + b * v[2]->Z;
        };
        for (int i = 0; i < n; ++i)
          for (int j = 0; i + j < n; ++j) {
            double w[3][3];
            at(i, j, w[0]);
            at(i + 1, j, w[1]);
            at(i, j + 1, w[2]);
            AddPolygon(proj, w, 3, fill, false, 0, 1, order, true);
            if (i + j + 1 < n) {
              at(i + 1, j, w[0]);
              at(i + 1, j + 1, w[1]);
              at(i, j + 1, w[2]);
              AddPolygon(proj, w, 3, fill, false, 0, 1, order, true);
            }
          }
        if (tri.Pen().Drawn())
          for (int k = 0; k < 3; ++k) {
            const double a[3] = {v[k]->X, v[k]->Y, v[k]->Z};
            const double b[3] = {v[(k + 1) % 3]->X, v[(k + 1) % 3]->Y, v[(k + 1) % 3]->Z};
            AddLine(proj, a, b, Rgba(tri.Pen().Color, 255), static_cast<float>(tri.Pen().Width),
                    static_cast<unsigned char>(tri.Pen().Style), 0, order, true);
          }
      }
      if (tri.Border().Drawn())
        for (const auto& e : t.BoundaryEdges) {
          const TChartPoint &p0 = pts[static_cast<size_t>(e[0])], &p1 = pts[static_cast<size_t>(e[1])];
          const double a[3] = {p0.X, p0.Y, p0.Z}, b[3] = {p1.X, p1.Y, p1.Z};
          AddLine(proj, a, b, Rgba(tri.Border().Color, 255), static_cast<float>(tri.Border().Width),
                  static_cast<unsigned char>(tri.Border().Style), 0, order, true);
        }
      return;
    }
    case TSeriesKind::Point3D:
    case TSeriesKind::Bubble3D: {
      const auto& ps = static_cast<const TPoint3DSeries&>(s);
      const bool bubbles = s.Kind() == TSeriesKind::Bubble3D;
      const TChartPen& lp = ps.LinePen();
      if (lp.Drawn())
        for (size_t i = 1; i < pts.size(); ++i) {
          const TChartPoint &p0 = pts[i - 1], &p1 = pts[i];
          if (!Finite3(p0.X, p0.Y, p0.Z) || !Finite3(p1.X, p1.Y, p1.Z)) continue;
          const double a[3] = {p0.X, p0.Y, p0.Z}, b[3] = {p1.X, p1.Y, p1.Z};
          AddLine(proj, a, b, Rgba(lp.Color, 255), static_cast<float>(lp.Width), static_cast<unsigned char>(lp.Style),
                  static_cast<unsigned char>(lp.EndStyle), order, false);
        }
      const TSeriesPointer& ptr = ps.Pointer();
      if (!ptr.Visible) return;
      const int alpha = AlphaOf(ptr.Transparency);
      if (alpha == 0) return;
      for (size_t i = 0; i < pts.size(); ++i) {
        const TChartPoint& q = pts[i];
        if (!Finite3(q.X, q.Y, q.Z)) continue;
        const auto c = proj.Project(q.X, q.Y, q.Z);
        TPiece p{};
        p.Order = order;
        p.First = static_cast<unsigned>(Pts_.size());
        p.Count = 1;
        const TColor col = ptr.Color != clTeeColor ? ptr.Color : ps.ValueColor(static_cast<int>(i));
        p.Fill = Rgba(col, alpha);
        p.Outline = ptr.Pen.Drawn() ? 1 : 0;
        p.PenColor = Rgba(ptr.Pen.Color, alpha);
        p.PenWidth = static_cast<float>(ptr.Pen.Width);
        p.Style = static_cast<unsigned char>(ptr.Pen.Style);
        p.Depth = static_cast<float>(c[2]);
        if (bubbles) {
          // A bubble is as big as its radius: none, a negative or a non-finite one covers no pixel.
          if (!(std::isfinite(q.Radius) && q.Radius > 0)) continue;
          p.K = TPiece::Sphere;
          p.Radius = static_cast<float>(q.Radius * proj.ScaleAt(c[2]));
        } else {
          p.K = TPiece::Marker;
          p.Radius = static_cast<float>(ptr.Size);
          p.Cap = static_cast<unsigned char>(ptr.Style);
        }
        Pts_.emplace_back(c[0], c[1]);
        Pieces_.push_back(p);
      }
      return;
    }
    case TSeriesKind::Vector3D: {
      const auto& vs = static_cast<const TVector3DSeries&>(s);
      const TChartPen& pen = vs.Pen();
      for (size_t i = 0; i < pts.size(); ++i) {
        const TChartPoint& q = pts[i];
        if (!Finite3(q.X, q.Y, q.Z) || !Finite3(q.EndX, q.EndY, q.EndZ)) continue;
        const QRgb col = Rgba(vs.ValueColor(static_cast<int>(i)), 255);
        double a[3] = {q.X, q.Y, q.Z}, b[3] = {q.EndX, q.EndY, q.EndZ};
        const auto sa = proj.Project(a[0], a[1], a[2]);
        const auto sb = proj.Project(b[0], b[1], b[2]);
        const double len = std::hypot(sb[0] - sa[0], sb[1] - sa[1]);
        double ta = 0, tb = 1;  // the shaft between the heads
        auto head = [&](const std::array<double, 3>& tip, const std::array<double, 3>& from, int w) {
          double hw, hl;
          HeadSize(w, hw, hl);
          hl = std::min(hl, 0.45 * len);
          hw = std::min(hw, hl * 0.7);
          const double ux = (tip[0] - from[0]) / len, uy = (tip[1] - from[1]) / len;
          const QPointF tri[3] = {QPointF(tip[0], tip[1]),
                                  QPointF(tip[0] - ux * hl - uy * hw, tip[1] - uy * hl + ux * hw),
                                  QPointF(tip[0] - ux * hl + uy * hw, tip[1] - uy * hl - ux * hw)};
          AddScreenPolygon(tri, 3, static_cast<float>(tip[2]), col, order);
          return hl / len;
        };
        if (len > 1e-6) {
          if (vs.EndArrow().Visible) tb = 1 - 0.8 * head(sb, sa, vs.EndArrow().Width);
          if (vs.StartArrow().Visible) ta = 0.8 * head(sa, sb, vs.StartArrow().Width);
        }
        if (!pen.Drawn() || tb <= ta) continue;
        const double a2[3] = {a[0] + (b[0] - a[0]) * ta, a[1] + (b[1] - a[1]) * ta, a[2] + (b[2] - a[2]) * ta};
        const double b2[3] = {a[0] + (b[0] - a[0]) * tb, a[1] + (b[1] - a[1]) * tb, a[2] + (b[2] - a[2]) * tb};
        AddLine(proj, a2, b2, col, static_cast<float>(pen.Width), static_cast<unsigned char>(pen.Style),
                static_cast<unsigned char>(pen.EndStyle), order, true);
      }
      return;
    }
  }
}

void TCanvasRenderer::Build(const TChart& chart, const TProjection& proj) {
  Pieces_.clear();
  Pts_.clear();
  int order = 0;
  for (const TChartSeries* s : chart.Series()) {
    if (s->Active()) AddSeries(*s, order, proj);
    ++order;
  }
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

const QImage& TCanvasRenderer::SphereSprite(QRgb color, int d) {
  const quint64 key = (static_cast<quint64>(d) << 32) | color;
  auto it = Sprites_.find(key);
  if (it != Sprites_.end()) return *it;
  if (Sprites_.size() > 2000) Sprites_.clear();
  QImage img(d, d, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(SphereGradient(QRectF(0, 0, d, d), color));
  p.drawEllipse(QRectF(0, 0, d, d));
  p.end();
  return *Sprites_.insert(key, img);
}

void TCanvasRenderer::Paint(QPainter& painter, QSize size) {
  // Polygons are cut to the chart and a margin wider than any outline before they are filled:
  // the painter would otherwise fill the whole of a piece many times the chart's size (the
  // region surfaces of a very short wavelength), which takes seconds. What shows inside the
  // chart stays the same.
  const QRectF view(0, 0, size.width(), size.height());
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
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setBrush(QColor::fromRgba(p.Fill));
        if (p.Outline == 1) {
          painter.setRenderHint(QPainter::Antialiasing, true);
          painter.setPen(QPen(QColor::fromRgba(p.PenColor), p.PenWidth));
        } else if (p.Outline == 2 && qAlpha(p.Fill) == 255) {
          painter.setPen(QPen(QColor::fromRgba(p.Fill), 1));  // closes seams between cells
        } else {
          painter.setPen(Qt::NoPen);
        }
        painter.drawConvexPolygon(pts, count);
        break;
      }
      case TPiece::Line: {
        painter.setRenderHint(QPainter::Antialiasing, true);
        QPen pen(QColor::fromRgba(p.PenColor), std::max(1.0f, p.PenWidth), QtPenStyle(p.Style), QtCap(p.Cap));
        painter.setPen(pen);
        painter.drawLine(pts[0], pts[1]);
        break;
      }
      case TPiece::Sphere: {
        const double r = std::max(0.5f, p.Radius);
        const QRectF box(pts[0].x() - r, pts[0].y() - r, 2 * r, 2 * r);
        if (r <= 128) {
          const int d = std::max(1, static_cast<int>(std::lround(2 * r)));
          painter.drawImage(QRectF(pts[0].x() - d * 0.5, pts[0].y() - d * 0.5, d, d), SphereSprite(p.Fill, d));
        } else {
          painter.setRenderHint(QPainter::Antialiasing, true);
          painter.setPen(Qt::NoPen);
          painter.setBrush(SphereGradient(box, p.Fill));
          painter.drawEllipse(box);
        }
        if (p.Outline) {
          painter.setRenderHint(QPainter::Antialiasing, true);
          painter.setBrush(Qt::NoBrush);
          painter.setPen(QPen(QColor::fromRgba(p.PenColor), std::max(1.0f, p.PenWidth), QtPenStyle(p.Style)));
          painter.drawEllipse(box);
        }
        break;
      }
      case TPiece::Marker: {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setBrush(QColor::fromRgba(p.Fill));
        painter.setPen(p.Outline ? QPen(QColor::fromRgba(p.PenColor), std::max(1.0f, p.PenWidth), QtPenStyle(p.Style))
                                 : QPen(Qt::NoPen));
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
    painter.drawText(l.Box, Qt::AlignCenter, l.Text);
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

namespace {
QString SvgColor(QRgb c) { return QString::asprintf("#%02x%02x%02x", qRed(c), qGreen(c), qBlue(c)); }
QString SvgOpacity(QRgb c) { return QString::number(qAlpha(c) / 255.0, 'g', 3); }
QString Esc(QString s) {
  return s.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;").replace('"', "&quot;");
}
}  // namespace

QString TCanvasRenderer::RenderSvg(const TChart& chart, QSize size) {
  const TProjection proj = TProjection::ForChart(chart, size.width(), size.height());
  Build(chart, proj);
  QString out;
  out += QString::asprintf(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" "
      "height=\"%d\" viewBox=\"0 0 %d %d\">\n",
      size.width(), size.height(), size.width(), size.height());
  out += QString("<rect width=\"100%\" height=\"100%\" fill=\"%1\"/>\n").arg(SvgColor(ToQColor(chart.BackColor()).rgba()));
  QHash<QRgb, QString> gradients;
  QString defs, body;
  auto num = [](double v) { return QString::number(v, 'f', 2); };
  for (const TPiece& p : Pieces_) {
    const QPointF* pts = Pts_.data() + p.First;
    switch (p.K) {
      case TPiece::Polygon: {
        QString d;
        for (unsigned i = 0; i < p.Count; ++i) d += num(pts[i].x()) + "," + num(pts[i].y()) + " ";
        QString stroke = "none";
        if (p.Outline == 1) stroke = SvgColor(p.PenColor) + "\" stroke-width=\"" + num(p.PenWidth);
        else if (p.Outline == 2 && qAlpha(p.Fill) == 255) stroke = SvgColor(p.Fill) + "\" stroke-width=\"1";
        body += QString("<polygon points=\"%1\" fill=\"%2\" fill-opacity=\"%3\" stroke=\"%4\"/>\n")
                    .arg(d.trimmed(), SvgColor(p.Fill), SvgOpacity(p.Fill), stroke);
        break;
      }
      case TPiece::Line: {
        const char* cap = p.Cap == static_cast<unsigned char>(TPenEndStyle::esFlat) ? "butt" : "round";
        QString dash = p.Style == static_cast<unsigned char>(TPenStyle::psDash) ? " stroke-dasharray=\"8,4\"" : "";
        body += QString("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" stroke=\"%5\" stroke-width=\"%6\" "
                        "stroke-linecap=\"%7\"%8/>\n")
                    .arg(num(pts[0].x()), num(pts[0].y()), num(pts[1].x()), num(pts[1].y()), SvgColor(p.PenColor),
                         num(std::max(1.0f, p.PenWidth)), cap, dash);
        break;
      }
      case TPiece::Sphere: {
        QString& id = gradients[p.Fill];
        if (id.isEmpty()) {
          id = QString("g%1").arg(gradients.size());
          const QColor base = QColor::fromRgba(p.Fill);
          defs += QString("<radialGradient id=\"%1\" cx=\"50%\" cy=\"50%\" r=\"50%\" fx=\"36%\" fy=\"32%\">"
                          "<stop offset=\"0\" stop-color=\"%2\"/><stop offset=\"0.55\" stop-color=\"%3\"/>"
                          "<stop offset=\"1\" stop-color=\"%4\"/></radialGradient>\n")
                      .arg(id, base.lighter(170).name(), base.name(), base.darker(190).name());
        }
        body += QString("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"url(#%4)\" fill-opacity=\"%5\"%6/>\n")
                    .arg(num(pts[0].x()), num(pts[0].y()), num(std::max(0.5f, p.Radius)), id, SvgOpacity(p.Fill),
                         p.Outline ? QString(" stroke=\"%1\"").arg(SvgColor(p.PenColor)) : QString());
        break;
      }
      case TPiece::Marker: {
        const double r = p.Radius;
        if (static_cast<TPointerStyle>(p.Cap) == TPointerStyle::psCircle)
          body += QString("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\" fill-opacity=\"%5\"/>\n")
                      .arg(num(pts[0].x()), num(pts[0].y()), num(r), SvgColor(p.Fill), SvgOpacity(p.Fill));
        else
          body += QString("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%3\" fill=\"%4\" fill-opacity=\"%5\"/>\n")
                      .arg(num(pts[0].x() - r), num(pts[0].y() - r), num(2 * r), SvgColor(p.Fill), SvgOpacity(p.Fill));
        break;
      }
    }
  }
  for (const TChartLabel& l : CollectLabels(chart, proj, size)) {
    if (l.Filled)
      body += QString("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"%6/>\n")
                  .arg(num(l.Box.x()), num(l.Box.y()), num(l.Box.width()), num(l.Box.height()), l.Back.name(),
                       l.Frame ? QString(" stroke=\"black\"") : QString());
    const QStringList lines = l.Text.split('\n');
    for (int i = 0; i < lines.size(); ++i)
      body += QString("<text x=\"%1\" y=\"%2\" font-family=\"sans-serif\" font-size=\"%3\" font-weight=\"%4\" "
                      "fill=\"%5\" text-anchor=\"middle\">%6</text>\n")
                  .arg(num(l.Box.center().x()),
                       num(l.Box.top() + (l.Box.height() / lines.size()) * (i + 0.8)),
                       QString::number(l.FontHeight), l.Bold ? "bold" : "normal", l.Color.name(), Esc(lines[i]));
  }
  out += "<defs>\n" + defs + "</defs>\n" + body + "</svg>\n";
  return out;
}

}  // namespace korvex
