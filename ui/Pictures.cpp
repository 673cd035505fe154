#include "ui/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <cmath>

namespace korvex {

namespace {

// Oblique projection of a unit cube corner (x, y, z in 0..1) into a square of side s.
QPointF Project(double x, double y, double z, double s) {
  return {s * (0.18 + 0.55 * x + 0.25 * z), s * (0.80 - 0.55 * y - 0.22 * z)};
}

void Atom(QPainter& p, QPointF c, double r, QColor colour) {
  QRadialGradient g(c - QPointF(r / 3, r / 3), r * 1.3);
  g.setColorAt(0, Qt::white);
  g.setColorAt(1, colour);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawEllipse(c, r, r);
}

}  // namespace

QPixmap LatticePicture(int width, int height) {
  QPixmap pm(width, height);
  pm.fill(QColor(0xf4, 0xf6, 0xff));
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = std::min(width, height);
  p.translate((width - s) / 2, (height - s) / 2);
  p.setPen(QPen(QColor(0x50, 0x50, 0x70), std::max(1.0, s / 90)));
  const std::array<std::array<int, 3>, 8> corners{{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                                    {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}};
  const int edges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                            {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
  for (const auto& e : edges) {
    const auto& a = corners[e[0]];
    const auto& b = corners[e[1]];
    p.drawLine(Project(a[0], a[1], a[2], s), Project(b[0], b[1], b[2], s));
  }
  // Face centres and corners (blue), four tetrahedral sites (red), back to front.
  const double r = s / 16;
  for (int pass = 0; pass < 2; ++pass) {
    for (const auto& c : corners) {
      if ((c[2] == 1) == (pass == 0)) Atom(p, Project(c[0], c[1], c[2], s), r, QColor(40, 70, 220));
    }
  }
  const double faces[6][3] = {{0.5, 0.5, 0}, {0.5, 0, 0.5}, {0, 0.5, 0.5},
                              {1, 0.5, 0.5}, {0.5, 1, 0.5}, {0.5, 0.5, 1}};
  for (const auto& f : faces) Atom(p, Project(f[0], f[1], f[2], s), r, QColor(40, 70, 220));
  const double sites[4][3] = {{0.25, 0.25, 0.25}, {0.75, 0.75, 0.25}, {0.75, 0.25, 0.75},
                              {0.25, 0.75, 0.75}};
  for (const auto& t : sites) Atom(p, Project(t[0], t[1], t[2], s), r * 1.2, QColor(220, 40, 40));
  return pm;
}

QPixmap EwaldPicture(int width, int height) {
  QPixmap pm(width, height);
  pm.fill(Qt::white);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const double step = width / 7.0;
  const QPointF origin(width * 0.5, height * 0.78);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 60, 200));
  for (int i = -4; i <= 4; ++i) {
    for (int j = -6; j <= 1; ++j) {
      p.drawEllipse(origin + QPointF(i * step, j * step), 1.8, 1.8);
    }
  }
  const double k = width * 0.42;
  const QPointF centre = origin + QPointF(-k * 0.5, -k * 0.866);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0, 150, 0), 1.5));
  p.drawEllipse(centre, k, k);
  const QPointF h = origin + QPointF(0, -std::sqrt(3.0) * k);
  p.setPen(QPen(Qt::red, 2));
  p.drawLine(centre, origin);
  p.drawLine(centre, h);
  p.setPen(QPen(Qt::black, 2));
  p.drawLine(origin, h);
  return pm;
}

QPixmap MapPicture(int width, int height) {
  QPixmap pm(width, height);
  pm.fill(QColor(10, 10, 40));
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF c(width / 2.0, height / 2.0);
  QLinearGradient streak(c - QPointF(0, height / 2.0), c + QPointF(0, height / 2.0));
  streak.setColorAt(0, QColor(10, 10, 40));
  streak.setColorAt(0.5, QColor(255, 200, 40));
  streak.setColorAt(1, QColor(10, 10, 40));
  p.setPen(Qt::NoPen);
  p.setBrush(streak);
  p.drawRect(QRectF(c.x() - 1.5, 0, 3, height));
  QRadialGradient node(c, width / 5.0);
  node.setColorAt(0, QColor(255, 255, 200));
  node.setColorAt(0.3, QColor(255, 120, 0));
  node.setColorAt(1, QColor(10, 10, 40, 0));
  p.setBrush(node);
  p.drawEllipse(c, width / 5.0, width / 5.0);
  QRadialGradient layer(c - QPointF(0, height / 4.0), width / 8.0);
  layer.setColorAt(0, QColor(120, 255, 120));
  layer.setColorAt(1, QColor(10, 10, 40, 0));
  p.setBrush(layer);
  p.drawEllipse(c - QPointF(0, height / 4.0), width / 8.0, width / 8.0);
  return pm;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64}) icon.addPixmap(LatticePicture(size, size));
  return icon;
}

QIcon AboutGlyph() {
  const auto glyph = [](QColor colour) {
    QPixmap pm(18, 18);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(1, 1, 16, 16));
    p.setPen(QPen(Qt::white, 2.2));
    p.drawLine(QPointF(9, 8), QPointF(9, 14));
    p.drawPoint(QPointF(9, 4.5));
    return pm;
  };
  QIcon icon;
  icon.addPixmap(glyph(QColor(40, 90, 200)), QIcon::Normal, QIcon::Off);
  icon.addPixmap(glyph(QColor(200, 60, 40)), QIcon::Active, QIcon::Off);
  return icon;
}

}  // namespace korvex
