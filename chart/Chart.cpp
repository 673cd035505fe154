#include "chart/Chart.h"

#include <algorithm>
#include <cmath>

namespace korvex {

namespace {
template <class T>
void SetIfChanged(T& field, T value, TChart* chart, void (TChart::*notify)()) {
  if (field == value) return;
  field = value;
  if (chart) (chart->*notify)();
}
}  // namespace

void TChartAxis::SetMinimum(double v) {
  if (Minimum_ == v) return;
  Minimum_ = v;
  if (Chart_) Chart_->ViewChanged();
}
void TChartAxis::SetMaximum(double v) {
  if (Maximum_ == v) return;
  Maximum_ = v;
  if (Chart_) Chart_->ViewChanged();
}
void TChartAxis::SetMinMax(double lo, double hi) {
  SetMinimum(lo);
  SetMaximum(hi);
}
void TChartAxis::SetAutomatic(bool automatic) {
  if (Automatic_ == automatic) return;
  Automatic_ = automatic;
  if (Chart_) Chart_->ViewChanged();
}

void TView3DOptions::Changed() {
  if (Chart_) Chart_->ViewChanged();
}
void TView3DOptions::SetRotation(int d) {
  if (Rotation_ != d) { Rotation_ = d; Changed(); }
}
void TView3DOptions::SetElevation(int d) {
  if (Elevation_ != d) { Elevation_ = d; Changed(); }
}
void TView3DOptions::SetTilt(int d) {
  if (Tilt_ != d) { Tilt_ = d; Changed(); }
}
void TView3DOptions::SetZoom(int p) {
  p = std::max(1, p);
  if (Zoom_ != p) { Zoom_ = p; Changed(); }
}
void TView3DOptions::SetPerspective(int p) {
  p = std::clamp(p, 0, 100);
  if (Perspective_ != p) { Perspective_ = p; Changed(); }
}
void TView3DOptions::SetHorizOffset(int p) {
  if (HorizOffset_ != p) { HorizOffset_ = p; Changed(); }
}
void TView3DOptions::SetVertOffset(int p) {
  if (VertOffset_ != p) { VertOffset_ = p; Changed(); }
}

void TTeeOpenGL::SetActive(bool active) {
  if (Active_ == active) return;
  Active_ = active;
  if (Chart_) Chart_->Changed();
}

TChart::TChart() {
  for (auto& a : Axes_) a.Chart_ = this;
  View_.Chart_ = this;
  OpenGL_.Chart_ = this;
  OpenGL_.Light0.Visible = true;
}

TChart::~TChart() {
  Destroying_ = true;
  for (IChartObserver* o : std::vector<IChartObserver*>(Observers_)) o->ChartDestroying(*this);
  Observers_.clear();
  // Series owned by this chart die with it; others are only detached.
  while (!Owned_.empty()) delete Owned_.back();
  while (!Series_.empty()) Series_.back()->SetParentChart(nullptr);
}

TChartSeries* TChart::FindSeries(const std::string& name) const {
  for (TChartSeries* s : Series_)
    if (s->Name() == name) return s;
  for (TChartSeries* s : Owned_)
    if (s->Name() == name) return s;
  return nullptr;
}

void TChart::AxisRange(int axis, double& lo, double& hi) const {
  const TChartAxis& a = Axes_[std::clamp(axis, 0, 2)];
  lo = a.Minimum_;
  hi = a.Maximum_;
  if (a.Automatic_) {
    bool any = false;
    for (const TChartSeries* s : Series_) {
      if (!s->Active()) continue;
      std::array<double, 3> l{}, h{};
      if (!s->DataExtent(l, h)) continue;
      const size_t k = static_cast<size_t>(std::clamp(axis, 0, 2));
      if (!any) {
        lo = l[k];
        hi = h[k];
        any = true;
      } else {
        lo = std::min(lo, l[k]);
        hi = std::max(hi, h[k]);
      }
    }
    if (!any) {
      lo = -1;
      hi = 1;
    }
  }
  if (!std::isfinite(lo) || !std::isfinite(hi)) {
    lo = -1;
    hi = 1;
  }
  if (lo > hi) std::swap(lo, hi);
  if (hi - lo < 1e-10 * std::max(1.0, std::fabs(lo))) {
    // An empty range still needs a box around its value.
    const double pad = std::max(1.0, std::fabs(lo));
    lo -= pad * 0.5;
    hi += pad * 0.5;
  }
}

void TChart::SetView3D(bool on) { SetIfChanged(View3D_, on, this, &TChart::ViewChanged); }
void TChart::SetChart3DPercent(int percent) {
  SetIfChanged(Chart3DPercent, std::clamp(percent, 1, 1000), this, &TChart::ViewChanged);
}
void TChart::SetBackColor(TColor c) { SetIfChanged(BackColor_, c, this, &TChart::Changed); }

void TChart::AddObserver(IChartObserver* o) {
  if (o && std::find(Observers_.begin(), Observers_.end(), o) == Observers_.end())
    Observers_.push_back(o);
}
void TChart::RemoveObserver(IChartObserver* o) {
  Observers_.erase(std::remove(Observers_.begin(), Observers_.end(), o), Observers_.end());
}

void TChart::Changed() {
  if (Drawing_ || Pending_ || Destroying_) return;
  Pending_ = true;
  for (IChartObserver* o : std::vector<IChartObserver*>(Observers_)) o->ChartChanged(*this);
}

void TChart::ViewChanged() {
  ++ViewRevision_;
  Changed();
}

void TChart::BeginDraw() {
  Pending_ = false;
  Drawing_ = true;
}
void TChart::EndDraw() { Drawing_ = false; }

void TChart::Attach(TChartSeries* s) {
  if (std::find(Series_.begin(), Series_.end(), s) == Series_.end()) Series_.push_back(s);
  Changed();
}
void TChart::Detach(TChartSeries* s) {
  Series_.erase(std::remove(Series_.begin(), Series_.end(), s), Series_.end());
  Changed();
}
void TChart::Adopt(TChartSeries* s) { Owned_.push_back(s); }
void TChart::Disown(TChartSeries* s) {
  Owned_.erase(std::remove(Owned_.begin(), Owned_.end(), s), Owned_.end());
}

}  // namespace korvex
