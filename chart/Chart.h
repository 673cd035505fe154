#pragma once
// A 3-D chart: its series in drawing order, three axes, the view options and the
// texts drawn on it. No drawing here: views observe the chart and draw it.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/Color.h"
#include "chart/Series.h"

namespace korvex {

class TChart;

// Told when a chart changed. Notifications are coalesced: after one, no other comes
// until a view has drawn the chart (BeginDraw), however many changes are made.
class IChartObserver {
 public:
  virtual ~IChartObserver() = default;
  virtual void ChartChanged(TChart& chart) = 0;
  virtual void ChartDestroying(TChart& chart) = 0;
};

class TChartAxis {
 public:
  double Minimum() const { return Minimum_; }
  double Maximum() const { return Maximum_; }
  bool Automatic() const { return Automatic_; }
  void SetMinimum(double v);
  void SetMaximum(double v);
  void SetMinMax(double lo, double hi);
  void SetAutomatic(bool automatic);

 private:
  friend class TChart;
  TChart* Chart_ = nullptr;
  double Minimum_ = -1;
  double Maximum_ = 1;
  bool Automatic_ = true;
};

class TView3DOptions {
 public:
  int Rotation() const { return Rotation_; }      // degrees about the vertical axis
  int Elevation() const { return Elevation_; }    // degrees about the horizontal axis
  int Tilt() const { return Tilt_; }              // degrees in the screen plane
  int Zoom() const { return Zoom_; }              // percent
  // Percent; kept for the charts' settings, the projection is always orthogonal.
  int Perspective() const { return Perspective_; }
  bool Orthogonal() const { return Perspective_ == 0; }
  int HorizOffset() const { return HorizOffset_; }  // pixels
  int VertOffset() const { return VertOffset_; }
  void SetRotation(int degrees);
  void SetElevation(int degrees);
  void SetTilt(int degrees);
  void SetZoom(int percent);
  void SetPerspective(int percent);
  void SetHorizOffset(int pixels);
  void SetVertOffset(int pixels);

 private:
  friend class TChart;
  void Changed();
  TChart* Chart_ = nullptr;
  int Rotation_ = 345;
  int Elevation_ = 345;
  int Tilt_ = 0;
  int Zoom_ = 100;
  int Perspective_ = 0;
  int HorizOffset_ = 0;
  int VertOffset_ = 0;
};

// Foot, sub-foot or title: lines of text at a position in pixels from the chart's
// top left corner (CustomPosition) or centred at the top or bottom.
struct TChartTitle {
  bool Visible = false;
  std::string Text;
  bool CustomPosition = false;
  int Left = 0;
  int Top = 0;
  bool AlignLeft = false;  // without a custom position: left instead of centred
  TChartFont Font;
};

// The OpenGL switch of a chart and the lights its OpenGL renderer uses.
struct TGLLight {
  bool Visible = false;
  TColor Color = clGray;
  bool UseDirection = false;
  bool FixedPosition = false;
  double Direction[3] = {0, 0, -1};
  double Position[3] = {-100, -100, -100};
  double SpotDegrees = 180;
};

class TTeeOpenGL {
 public:
  bool Active() const { return Active_; }
  // Switching on asks the chart's view to draw through OpenGL.
  void SetActive(bool active);
  int AmbientLight = 8;   // percent
  bool Antialias = true;
  double Shininess = 0.5;
  TGLLight Light0, Light1, Light2;

 private:
  friend class TChart;
  TChart* Chart_ = nullptr;
  bool Active_ = false;
};

// Drag to turn the view (rotation and elevation).
struct TRotateTool {
  bool Active = true;
  TColor OutlinePenColor = clWhite;
  bool XorMode = true;
  std::string Name;
};

class TChart {
 public:
  TChart();
  TChart(const TChart&) = delete;
  TChart& operator=(const TChart&) = delete;
  // Destroys the series the chart owns and detaches the others.
  ~TChart();

  std::string Name;
  std::string Hint;

  // Series in drawing order.
  const std::vector<TChartSeries*>& Series() const { return Series_; }
  int SeriesCount() const { return static_cast<int>(Series_.size()); }
  TChartSeries* FindSeries(const std::string& name) const;

  // A series owned by and attached to this chart.
  template <class T>
  T* CreateSeries(std::string name = {}) {
    T* s = new T(this);
    s->SetName(std::move(name));
    s->SetParentChart(this);
    return s;
  }
  // Destroys a series owned by this chart (same as deleting it).
  static void DestroySeries(TChartSeries* s) { delete s; }

  TChartAxis& BottomAxis() { return Axes_[0]; }
  TChartAxis& LeftAxis() { return Axes_[1]; }
  TChartAxis& DepthAxis() { return Axes_[2]; }
  const TChartAxis& BottomAxis() const { return Axes_[0]; }
  const TChartAxis& LeftAxis() const { return Axes_[1]; }
  const TChartAxis& DepthAxis() const { return Axes_[2]; }
  // The visible range of axis 0 (bottom, x), 1 (left, y) or 2 (depth, z): the axis'
  // Minimum and Maximum, or with Automatic the extent of the active series' finite data.
  void AxisRange(int axis, double& lo, double& hi) const;

  TView3DOptions& View3DOptions() { return View_; }
  const TView3DOptions& View3DOptions() const { return View_; }
  bool View3D() const { return View3D_; }
  void SetView3D(bool on);
  // Depth of the box in percent: 100 gives the depth axis the pixels per unit of the others.
  int Chart3DPercent = 100;
  void SetChart3DPercent(int percent);

  TChartTitle& Title() { Changed(); return Title_; }
  TChartTitle& Foot() { Changed(); return Foot_; }
  TChartTitle& SubFoot() { Changed(); return SubFoot_; }
  const TChartTitle& Title() const { return Title_; }
  const TChartTitle& Foot() const { return Foot_; }
  const TChartTitle& SubFoot() const { return SubFoot_; }

  TColor BackColor() const { return BackColor_; }
  void SetBackColor(TColor c);

  TTeeOpenGL& OpenGL() { return OpenGL_; }
  const TTeeOpenGL& OpenGL() const { return OpenGL_; }
  TRotateTool& RotateTool() { return RotateTool_; }
  const TRotateTool& RotateTool() const { return RotateTool_; }

  // Design size in pixels; the view may be resized.
  int Width = 317;
  int Height = 316;
  bool LegendVisible = false;
  bool AxisVisible = false;
  bool View3DWalls = false;
  bool ZoomAllow = false;

  // Events run by the view around every drawing; changes they make are drawn in the
  // same drawing and cause no further notification of this chart.
  std::function<void(TChart&)> OnBeforeDrawChart;
  std::function<void(TChart&)> OnAfterDraw;

  void AddObserver(IChartObserver* o);
  void RemoveObserver(IChartObserver* o);

  // Any change: tells the observers unless a notification is already pending.
  void Changed();
  // A view starts drawing: the pending notification is consumed and changes made
  // until EndDraw (by the draw events) notify nobody.
  void BeginDraw();
  void EndDraw();
  bool ChangePending() const { return Pending_; }
  // Bumped by changes of the view options and axes (not of the series).
  std::uint64_t ViewRevision() const { return ViewRevision_; }

 private:
  friend class TChartSeries;
  friend class TChartAxis;
  friend class TView3DOptions;
  friend class TTeeOpenGL;
  void ViewChanged();
  void Attach(TChartSeries* s);
  void Detach(TChartSeries* s);
  void Adopt(TChartSeries* s);
  void Disown(TChartSeries* s);

  std::vector<TChartSeries*> Series_;
  std::vector<TChartSeries*> Owned_;
  TChartAxis Axes_[3];
  TView3DOptions View_;
  bool View3D_ = true;
  TChartTitle Title_, Foot_, SubFoot_;
  TColor BackColor_ = clWhite;
  TTeeOpenGL OpenGL_;
  TRotateTool RotateTool_;
  std::vector<IChartObserver*> Observers_;
  bool Pending_ = false;
  bool Drawing_ = false;
  bool Destroying_ = false;
  std::uint64_t ViewRevision_ = 1;
};

}  // namespace korvex
