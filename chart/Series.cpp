#include "chart/Series.h"

#include <algorithm>
#include <cmath>

#include "chart/Chart.h"
#include "chart/Triangulation.h"

namespace korvex {

namespace {
std::uint64_t NextRevision();
bool Finite3(double x, double y, double z) {
  return std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
}
void Grow(std::array<double, 3>& lo, std::array<double, 3>& hi, bool& any, double x, double y,
          double z, double r) {
  const double v[3] = {x, y, z};
  for (size_t k = 0; k < 3; ++k) {
    if (!any) {
      lo[k] = v[k] - r;
      hi[k] = v[k] + r;
    } else {
      lo[k] = std::min(lo[k], v[k] - r);
      hi[k] = std::max(hi[k], v[k] + r);
    }
  }
  any = true;
}
}  // namespace

namespace {
std::uint64_t NextRevision() {
  static std::uint64_t counter = 0;
  return ++counter;
}
}  // namespace

TChartSeries::TChartSeries(TChart* owner)
    : Owner_(owner), DataRevision_(NextRevision()), StyleRevision_(NextRevision()) {
  if (Owner_) Owner_->Adopt(this);
}

TChartSeries::~TChartSeries() {
  if (Parent_) Parent_->Detach(this);
  if (Owner_) Owner_->Disown(this);
}

void TChartSeries::SetParentChart(TChart* chart) {
  if (Parent_ == chart) return;
  if (Parent_) Parent_->Detach(this);
  Parent_ = chart;
  if (Parent_) Parent_->Attach(this);
}

void TChartSeries::SetActive(bool active) {
  if (Active_ == active) return;
  Active_ = active;
  StyleChanged();
}

void TChartSeries::SetSeriesColor(TColor color) {
  if (Color_ == color) return;
  Color_ = color;
  StyleChanged();
}

void TChartSeries::SetColorEachPoint(bool each) {
  if (ColorEachPoint_ == each) return;
  ColorEachPoint_ = each;
  StyleChanged();
}

TColor TChartSeries::ValueColor(int i) const {
  const TColor c = Point(i).Color;
  return (!ColorEachPoint_ || c == clTeeColor) ? Color_ : c;
}

void TChartSeries::Clear() {
  if (Points_.empty()) return;
  Points_.clear();
  DataChanged();
}

void TChartSeries::AddPoint(TChartPoint p) {
  Points_.push_back(std::move(p));
  DataChanged();
}

void TChartSeries::DataChanged() {
  DataRevision_ = NextRevision();
  if (Parent_) Parent_->Changed();
}

void TChartSeries::StyleChanged() {
  StyleRevision_ = NextRevision();
  if (Parent_) Parent_->Changed();
}

bool TChartSeries::DataExtent(std::array<double, 3>& lo, std::array<double, 3>& hi) const {
  bool any = false;
  for (const TChartPoint& p : Points_) {
    const double r = std::isfinite(p.Radius) && p.Radius > 0 ? p.Radius : 0;  // the size drawn
    if (Finite3(p.X, p.Y, p.Z)) Grow(lo, hi, any, p.X, p.Y, p.Z, r);
    if (Kind() == TSeriesKind::Vector3D && Finite3(p.EndX, p.EndY, p.EndZ))
      Grow(lo, hi, any, p.EndX, p.EndY, p.EndZ, 0);
  }
  return any;
}

// --- point, bubble, vector ------------------------------------------------------------

TPoint3DSeries::TPoint3DSeries(TChart* owner) : TChartSeries(owner) {}

void TPoint3DSeries::AddXYZ(double x, double y, double z, const std::string& label, TColor color) {
  TChartPoint p;
  p.X = x;
  p.Y = y;
  p.Z = z;
  p.Label = label;
  p.Color = color;
  AddPoint(std::move(p));
}

TBubble3DSeries::TBubble3DSeries(TChart* owner) : TPoint3DSeries(owner) {
  Pointer_.Style = TPointerStyle::psCircle;
  LinePen_.Visible = false;
}

void TBubble3DSeries::AddBubble(double x, double y, double z, double radius,
                                const std::string& label, TColor color) {
  TChartPoint p;
  p.X = x;
  p.Y = y;
  p.Z = z;
  p.Radius = radius;
  p.Label = label;
  p.Color = color;
  AddPoint(std::move(p));
}

TVector3DSeries::TVector3DSeries(TChart* owner) : TChartSeries(owner) {
  StartArrow_.Visible = false;
}

void TVector3DSeries::AddVector(double x0, double y0, double z0, double x1, double y1, double z1,
                                const std::string& label, TColor color) {
  TChartPoint p;
  p.X = x0;
  p.Y = y0;
  p.Z = z0;
  p.EndX = x1;
  p.EndY = y1;
  p.EndZ = z1;
  p.Label = label;
  p.Color = color;
  AddPoint(std::move(p));
}

void TVector3DSeries::SetUseColorRange(bool use) {
  if (UseColorRange_ == use) return;
  UseColorRange_ = use;
  StyleChanged();
}

// --- surfaces -------------------------------------------------------------------------

TCustom3DSurfaceSeries::TCustom3DSurfaceSeries(TChart* owner) : TChartSeries(owner) {}

void TCustom3DSurfaceSeries::AddXYZ(double x, double y, double z, const std::string& label,
                                    TColor color) {
  TChartPoint p;
  p.X = x;
  p.Y = y;
  p.Z = z;
  p.Label = label;
  p.Color = color;
  AddPoint(std::move(p));
}

void TCustom3DSurfaceSeries::SetTransparency(int percent) {
  percent = std::clamp(percent, 0, 100);
  if (Transparency_ == percent) return;
  Transparency_ = percent;
  StyleChanged();
}

void TCustom3DSurfaceSeries::SetUseColorRange(bool use) {
  if (UseColorRange_ == use) return;
  UseColorRange_ = use;
  StyleChanged();
}

void TCustom3DSurfaceSeries::SetColorRange(TColor start, TColor end) {
  StartColor_ = start;
  EndColor_ = end;
  StyleChanged();
}

void TCustom3DSurfaceSeries::SetFastBrush(bool fast) {
  if (FastBrush_ == fast) return;
  FastBrush_ = fast;
  StyleChanged();
}

TColor TCustom3DSurfaceSeries::FillColor(int i) const {
  if (!UseColorRange_) return ValueColor(i);
  if (RangeRevision_ != DataRevision()) {
    RangeRevision_ = DataRevision();
    bool any = false;
    for (const TChartPoint& p : Points()) {
      if (!std::isfinite(p.Y)) continue;
      RangeLo_ = any ? std::min(RangeLo_, p.Y) : p.Y;
      RangeHi_ = any ? std::max(RangeHi_, p.Y) : p.Y;
      any = true;
    }
    if (!any) RangeLo_ = RangeHi_ = 0;
  }
  const double lo = RangeLo_, hi = RangeHi_;
  const double y = YValue(i);
  const double t = (hi > lo && std::isfinite(y)) ? (y - lo) / (hi - lo) : 0.0;
  auto mix = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
  return RGBColor(mix(RedOf(StartColor_), RedOf(EndColor_)), mix(GreenOf(StartColor_), GreenOf(EndColor_)),
                  mix(BlueOf(StartColor_), BlueOf(EndColor_)));
}

TSurfaceSeries::TSurfaceSeries(TChart* owner) : TCustom3DSurfaceSeries(owner) {}

void TSurfaceSeries::SetIrregularGrid(bool irregular) {
  if (IrregularGrid_ == irregular) return;
  IrregularGrid_ = irregular;
  DataChanged();
}

namespace {
// Sorted distinct values; values closer than a relative 1e-9 of the range count as one.
std::vector<double> DistinctValues(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  std::vector<double> out;
  if (v.empty()) return out;
  const double tol = 1e-9 * std::max({1e-300, std::fabs(v.front()), std::fabs(v.back()), v.back() - v.front()});
  for (double x : v)
    if (out.empty() || x - out.back() > tol) out.push_back(x);
  return out;
}
size_t NearestIndex(const std::vector<double>& sorted, double x) {
  auto it = std::lower_bound(sorted.begin(), sorted.end(), x);
  if (it == sorted.end()) return sorted.size() - 1;
  if (it != sorted.begin() && (x - *(it - 1)) < (*it - x)) --it;
  return static_cast<size_t>(it - sorted.begin());
}
}  // namespace

const TSurfaceGrid& TSurfaceSeries::Grid() const {
  if (GridRevision_ == DataRevision()) return Grid_;
  GridRevision_ = DataRevision();
  TSurfaceGrid g;
  std::vector<double> xs, zs;
  const auto& pts = Points();
  // A point with a non-finite height still puts its grid lines in: it is a hole.
  for (const TChartPoint& p : pts)
    if (std::isfinite(p.X) && std::isfinite(p.Z)) {
      xs.push_back(p.X);
      zs.push_back(p.Z);
    }
  g.Xs = DistinctValues(std::move(xs));
  g.Zs = DistinctValues(std::move(zs));
  g.PointAt.assign(g.Xs.size() * g.Zs.size(), -1);
  for (size_t i = 0; i < pts.size(); ++i) {
    const TChartPoint& p = pts[i];
    if (!Finite3(p.X, p.Y, p.Z)) continue;
    g.PointAt[NearestIndex(g.Xs, p.X) * g.Zs.size() + NearestIndex(g.Zs, p.Z)] = static_cast<int>(i);
  }
  for (size_t ix = 0; ix + 1 < g.Xs.size(); ++ix)
    for (size_t iz = 0; iz + 1 < g.Zs.size(); ++iz) {
      const std::array<int, 4> c = {g.NodeIndex(ix, iz), g.NodeIndex(ix + 1, iz), g.NodeIndex(ix + 1, iz + 1),
                                    g.NodeIndex(ix, iz + 1)};
      if (c[0] >= 0 && c[1] >= 0 && c[2] >= 0 && c[3] >= 0) g.Cells.push_back(c);
    }
  Grid_ = std::move(g);
  return Grid_;
}

TTriSurfaceSeries::TTriSurfaceSeries(TChart* owner) : TCustom3DSurfaceSeries(owner) {
  Border_.Color = clWhite;
}

const TTriSurfaceSeries::TTriangulation& TTriSurfaceSeries::Triangulation() const {
  if (TriRevision_ == DataRevision()) return Tri_;
  TriRevision_ = DataRevision();
  std::vector<TVec3> pts;
  pts.reserve(Points().size());
  for (const TChartPoint& p : Points()) pts.push_back({p.X, p.Y, p.Z});
  Tri_.Triangles = TriangulatePlanar(pts);
  Tri_.BoundaryEdges = BoundaryEdges(Tri_.Triangles);
  return Tri_;
}

}  // namespace korvex
