#pragma once
// Chart series: the data the two 3-D charts draw. Points are given in chart axes
// (x, y vertical, z depth). A series is drawn by the chart it is attached to
// (SetParentChart); a series created with an owner chart is destroyed with it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "chart/Color.h"

namespace korvex {

class TChart;

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psClear };
enum class TPenEndStyle { esRound, esSquare, esFlat };

struct TChartPen {
  bool Visible = true;
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = TPenStyle::psSolid;
  TPenEndStyle EndStyle = TPenEndStyle::esRound;
  bool Drawn() const { return Visible && Style != TPenStyle::psClear && Width > 0; }
};

enum class TBrushStyle { bsSolid, bsClear };

struct TChartBrush {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::bsSolid;
};

struct TChartFont {
  std::string Name = "Sans Serif";
  int Height = 11;  // pixels
  bool Bold = false;
  TColor Color = clBlack;
  // Point size at 96 dots per inch.
  void SetSize(int points) { Height = (points * 96 + 36) / 72; }
};

// Labels drawn next to the points of a series.
struct TSeriesMarks {
  bool Visible = false;
  bool Transparent = false;  // no box behind the text
  bool Clip = false;         // not drawn outside the chart box
  bool Frame = true;         // outline around the box
  bool Arrow = true;         // connector line from the point to the label
  TChartFont Font;
  TColor BackColor = 0xE1FFFF;  // light yellow box
};

enum class TPointerStyle { psCircle, psRectangle, psTriangle, psDiamond };

// The marker (or, for bubble series, the sphere) drawn at each point.
struct TSeriesPointer {
  bool Visible = true;
  TPointerStyle Style = TPointerStyle::psRectangle;
  int Size = 4;           // pixels, half-size, where points carry no radius
  TColor Color = clTeeColor;  // clTeeColor: the point's colour
  int Transparency = 0;   // percent, 0 opaque .. 100 invisible
  TChartPen Pen;          // outline
};

struct TArrowHead {
  bool Visible = true;
  int Width = 1;  // pixels, scaled like a pen width
};

struct TChartPoint {
  double X = 0, Y = 0, Z = 0;
  double Radius = 0;  // bubbles only, in axis units
  double EndX = 0, EndY = 0, EndZ = 0;  // vectors only
  TColor Color = clTeeColor;
  std::string Label;
};

enum class TSeriesKind { Point3D, Bubble3D, Vector3D, Surface, TriSurface };

class TChartSeries {
 public:
  TChartSeries(const TChartSeries&) = delete;
  TChartSeries& operator=(const TChartSeries&) = delete;
  // Destroying a series detaches it from its parent chart and its owner.
  virtual ~TChartSeries();

  virtual TSeriesKind Kind() const = 0;

  const std::string& Name() const { return Name_; }
  void SetName(std::string name) { Name_ = std::move(name); }

  TChart* ParentChart() const { return Parent_; }
  // Attaches the series to a chart (or detaches it with nullptr); the chart draws it.
  void SetParentChart(TChart* chart);
  TChart* Owner() const { return Owner_; }

  bool Active() const { return Active_; }
  // Shows or hides the series; its points are kept.
  void SetActive(bool active);

  TColor SeriesColor() const { return Color_; }
  void SetSeriesColor(TColor color);
  // false: every point is drawn in the series colour, whatever colour it was added with.
  bool ColorEachPoint() const { return ColorEachPoint_; }
  void SetColorEachPoint(bool each);

  void Clear();
  int Count() const { return static_cast<int>(Points_.size()); }
  double XValue(int i) const { return Points_.at(static_cast<size_t>(i)).X; }
  double YValue(int i) const { return Points_.at(static_cast<size_t>(i)).Y; }
  double ZValue(int i) const { return Points_.at(static_cast<size_t>(i)).Z; }
  const std::string& Label(int i) const { return Points_.at(static_cast<size_t>(i)).Label; }
  const TChartPoint& Point(int i) const { return Points_.at(static_cast<size_t>(i)); }
  const std::vector<TChartPoint>& Points() const { return Points_; }
  // The colour point i is drawn in.
  TColor ValueColor(int i) const;

  const TChartPen& Pen() const { return Pen_; }
  TChartPen& Pen() { StyleChanged(); return Pen_; }
  const TSeriesMarks& Marks() const { return Marks_; }
  TSeriesMarks& Marks() { StyleChanged(); return Marks_; }

  // Raised by every change of the points; views rebuild geometry only when it moves.
  // Revisions are unique across all series, so a (series, revision) pair never repeats.
  std::uint64_t DataRevision() const { return DataRevision_; }
  // Raised by every change of the looks.
  std::uint64_t StyleRevision() const { return StyleRevision_; }

  // Bounding box of the finite data (with radii and vector ends); false when none.
  virtual bool DataExtent(std::array<double, 3>& lo, std::array<double, 3>& hi) const;

 protected:
  explicit TChartSeries(TChart* owner);
  void AddPoint(TChartPoint p);
  void DataChanged();
  void StyleChanged();

 private:
  friend class TChart;
  std::string Name_;
  TChart* Owner_ = nullptr;
  TChart* Parent_ = nullptr;
  bool Active_ = true;
  TColor Color_ = clRed;
  bool ColorEachPoint_ = true;
  std::vector<TChartPoint> Points_;
  TChartPen Pen_;
  TSeriesMarks Marks_;
  std::uint64_t DataRevision_;
  std::uint64_t StyleRevision_;
};

// Points in 3-D, joined in order by the line pen, with a marker at each point.
class TPoint3DSeries : public TChartSeries {
 public:
  explicit TPoint3DSeries(TChart* owner = nullptr);
  TSeriesKind Kind() const override { return TSeriesKind::Point3D; }

  void AddXYZ(double x, double y, double z, const std::string& label = {},
              TColor color = clTeeColor);

  const TChartPen& LinePen() const { return LinePen_; }
  TChartPen& LinePen() { StyleChanged(); return LinePen_; }
  const TSeriesPointer& Pointer() const { return Pointer_; }
  TSeriesPointer& Pointer() { StyleChanged(); return Pointer_; }

 protected:
  TChartPen LinePen_;
  TSeriesPointer Pointer_;
};

// Spheres with a radius in axis units; the pointer gives their transparency and outline.
class TBubble3DSeries : public TPoint3DSeries {
 public:
  explicit TBubble3DSeries(TChart* owner = nullptr);
  TSeriesKind Kind() const override { return TSeriesKind::Bubble3D; }

  void AddBubble(double x, double y, double z, double radius, const std::string& label = {},
                 TColor color = clTeeColor);
  double RadiusValue(int i) const { return Point(i).Radius; }
};

// Straight segments with optional arrowheads at the start and at the end.
class TVector3DSeries : public TChartSeries {
 public:
  explicit TVector3DSeries(TChart* owner = nullptr);
  TSeriesKind Kind() const override { return TSeriesKind::Vector3D; }

  void AddVector(double x0, double y0, double z0, double x1, double y1, double z1,
                 const std::string& label = {}, TColor color = clTeeColor);
  double EndXValue(int i) const { return Point(i).EndX; }
  double EndYValue(int i) const { return Point(i).EndY; }
  double EndZValue(int i) const { return Point(i).EndZ; }

  const TArrowHead& StartArrow() const { return StartArrow_; }
  TArrowHead& StartArrow() { StyleChanged(); return StartArrow_; }
  const TArrowHead& EndArrow() const { return EndArrow_; }
  TArrowHead& EndArrow() { StyleChanged(); return EndArrow_; }
  const TChartBrush& Brush() const { return Brush_; }
  TChartBrush& Brush() { StyleChanged(); return Brush_; }
  bool UseColorRange() const { return UseColorRange_; }
  void SetUseColorRange(bool use);

 private:
  TArrowHead StartArrow_;
  TArrowHead EndArrow_;
  TChartBrush Brush_;
  bool UseColorRange_ = true;
};

// Common part of the two surface kinds.
class TCustom3DSurfaceSeries : public TChartSeries {
 public:
  void AddXYZ(double x, double y, double z, const std::string& label = {},
              TColor color = clTeeColor);

  // 0 opaque .. 100 invisible.
  int Transparency() const { return Transparency_; }
  void SetTransparency(int percent);
  // false: filled in the series colour; true: a colour ramp over the height y.
  bool UseColorRange() const { return UseColorRange_; }
  void SetUseColorRange(bool use);
  TColor StartColor() const { return StartColor_; }
  TColor EndColor() const { return EndColor_; }
  void SetColorRange(TColor start, TColor end);
  // true: fill only; false: each cell is also traced in its own colour so no seams show.
  bool FastBrush() const { return FastBrush_; }
  void SetFastBrush(bool fast);

  // The colour of point i, with the colour range applied.
  TColor FillColor(int i) const;

 protected:
  explicit TCustom3DSurfaceSeries(TChart* owner);

 private:
  int Transparency_ = 0;
  bool UseColorRange_ = true;
  TColor StartColor_ = clNavy;
  TColor EndColor_ = clWhite;
  bool FastBrush_ = false;
  mutable double RangeLo_ = 0, RangeHi_ = 0;
  mutable std::uint64_t RangeRevision_ = 0;
};

// The grid a surface series arranges its points into: distinct x values by distinct z
// values, with the height y at each node that has a point.
struct TSurfaceGrid {
  std::vector<double> Xs, Zs;      // sorted distinct values
  std::vector<int> PointAt;        // Xs.size() * Zs.size(), index of the point or -1
  int NodeIndex(size_t ix, size_t iz) const { return PointAt[ix * Zs.size() + iz]; }
  // Cells whose four corners all have points, as point indices (x0z0, x1z0, x1z1, x0z1).
  std::vector<std::array<int, 4>> Cells;
};

// Height field: points arranged by their x and z values into a grid, each grid cell a
// filled quadrilateral at the heights y. The pen traces the cells.
class TSurfaceSeries : public TCustom3DSurfaceSeries {
 public:
  explicit TSurfaceSeries(TChart* owner = nullptr);
  TSeriesKind Kind() const override { return TSeriesKind::Surface; }

  bool IrregularGrid() const { return IrregularGrid_; }
  void SetIrregularGrid(bool irregular);
  const TChartBrush& SideBrush() const { return SideBrush_; }
  TChartBrush& SideBrush() { StyleChanged(); return SideBrush_; }

  // Built on demand and kept until the points change. Points with non-finite x or z
  // are left out; one with a non-finite height leaves a hole (no cell touches it);
  // where two points share a node the later one counts.
  const TSurfaceGrid& Grid() const;

 private:
  bool IrregularGrid_ = false;
  TChartBrush SideBrush_;
  mutable TSurfaceGrid Grid_;
  mutable std::uint64_t GridRevision_ = 0;
};

// Triangulated surface, filled triangle by triangle. The points are triangulated in the
// plane that fits them best, so vertical planes work as well as horizontal ones.
// The pen traces every triangle, the border the outline of the whole surface.
class TTriSurfaceSeries : public TCustom3DSurfaceSeries {
 public:
  explicit TTriSurfaceSeries(TChart* owner = nullptr);
  TSeriesKind Kind() const override { return TSeriesKind::TriSurface; }

  const TChartPen& Border() const { return Border_; }
  TChartPen& Border() { StyleChanged(); return Border_; }

  struct TTriangulation {
    std::vector<std::array<int, 3>> Triangles;         // point indices
    std::vector<std::array<int, 2>> BoundaryEdges;     // outline
  };
  // Built on demand and kept until the points change.
  const TTriangulation& Triangulation() const;

 private:
  TChartPen Border_;
  mutable TTriangulation Tri_;
  mutable std::uint64_t TriRevision_ = 0;
};

}  // namespace korvex
