#pragma once
// A series cut into the pieces that every renderer paints: spheres, markers, pen segments,
// arrowheads and one filled mesh, with their colours already resolved. This is where the
// look of each series kind is decided (which colour a point takes, what a pen traces, how
// fine a surface is drawn); the renderers only know how to paint a piece. Points with
// coordinates that are not finite are left out here.
#include <array>
#include <cstdint>
#include <vector>

#include "chart/Series.h"

namespace korvex {

// Colour with alpha, 0xAARRGGBB (the layout of Qt's QRgb).
using TRgba = std::uint32_t;
constexpr TRgba RgbaOf(TColor c, int alpha) {
  return (static_cast<TRgba>(alpha & 0xFF) << 24) | (static_cast<TRgba>(RedOf(c)) << 16) |
         (static_cast<TRgba>(GreenOf(c)) << 8) | static_cast<TRgba>(BlueOf(c));
}
// 0..100 % transparency to an alpha value 0..255.
int AlphaOf(int transparencyPercent);

// The outline of a sphere or marker.
struct TPrimOutline {
  bool Drawn = false;
  TRgba Color = 0;
  float Width = 1;
  TPenStyle Style = TPenStyle::psSolid;
};

struct TPrimSphere {
  double C[3];
  double R;  // axis units, > 0
  TRgba Fill;
};

struct TPrimMarker {
  double P[3];
  TRgba Fill;
};

// A straight pen segment. HeadA and HeadB are the pixel lengths of the arrowheads at its
// ends (0: none); the shaft stops short of a head by 0.8 of its length, as drawn.
struct TPrimSegment {
  double A[3], B[3];
  TRgba Color;
  float Width;
  TPenStyle Style;
  TPenEndStyle Cap;
  // Long segments may be cut into pieces where a renderer orders pieces by depth.
  bool Split;
  float HeadA = 0, HeadB = 0;
};

// An arrowhead at Tip pointing along Dir (a unit vector), sized in pixels. Shaft is the
// 3-D length of its arrow: a head never takes more than 0.45 of it.
struct TPrimArrowhead {
  double Tip[3], Dir[3];
  double Shaft;
  float HalfWidth, Length;
  TRgba Color;
};

// Filled faces (triangles or quadrilaterals) over coloured vertices. A face is filled in the
// colour of its first corner where a renderer fills flat.
struct TPrimMesh {
  struct TFace {
    std::array<unsigned, 4> V;
    unsigned char Count;  // 3 or 4
  };
  std::vector<std::array<double, 3>> Vertices;
  std::vector<TRgba> Colors;  // per vertex
  std::vector<TFace> Faces;
  // Vertices are shared by neighbouring faces (a height field): a smooth surface.
  bool Smooth = false;
  // Faces are traced with this pen (Edges holds each traced edge once, as vertex pairs).
  TPrimOutline Pen;
  std::vector<std::array<unsigned, 2>> Edges;
  // Faces not traced are closed against their neighbours by a line in their own colour
  // where they are opaque.
  bool Seams = false;
};

struct TSeriesPrimitives {
  std::vector<TPrimSphere> Spheres;
  std::vector<TPrimMarker> Markers;
  std::vector<TPrimSegment> Segments;
  std::vector<TPrimArrowhead> Arrowheads;
  TPrimMesh Mesh;
  // Spheres and markers share one look within a series.
  TPrimOutline PointOutline;
  float MarkerSize = 0;  // half-size in pixels
  TPointerStyle MarkerShape = TPointerStyle::psRectangle;
  // Spheres, markers or faces are see-through.
  bool Transparent = false;
};

// The pieces of a series as drawn at pixelsPerUnit pixels per axis unit (the projection's
// scale): height-field cells under 24 pixels are merged k by k through the true grid nodes,
// which keeps the picture and divides the faces by k squared.
TSeriesPrimitives Decompose(const TChartSeries& series, double pixelsPerUnit);

}  // namespace korvex
