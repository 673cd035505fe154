#include "scenes/DetectorViews.h"

#include <cmath>

#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/HklSetting.h"
#include "scenes/ReciprocalDrawing.h"

namespace korvex {

using frame::operator+;
using frame::operator-;
using frame::operator*;

namespace {

// K p / |p|: the wave vector of the wave diffracted from the sample towards p; false for p
// at the sample.
bool WaveTowards(const TVector& p, double k, TVector& wave) {
  const double length = frame::Length(p);
  if (!(length > 0) || !std::isfinite(length)) return false;
  wave = (k / length) * p;
  return frame::Finite(wave);
}

}  // namespace

void ShowPsd(TAnimationContext& anim, TVisStructure& s) {
  TSceneContext& scene = anim.Scene;
  TChartCatalogue& c = scene.Charts;
  anim.Host.RunWriteSettings();
  s.SolveWaveVectors();
  DrawBeamsReciprocal(scene, s);
  DrawBeamsReal(scene, s);

  const double k = s.WaveNumber;
  const TVector u = (1 / k) * s.Kh;
  const double d = Settings.DetectorDistance * s.LatticeA;
  const double h = Settings.DetectorSize * s.LatticeA / 2;
  if (!frame::Finite(u) || (SameValue(0, u.x) && SameValue(0, u.y) && SameValue(0, u.z))) return;

  c.SeriesRealPSD->Clear();
  c.SeriesRealPSDpoints->Clear();
  const double rho = std::sqrt(u.x * u.x + u.y * u.y);
  const TVector centre = d * u;
  TVector e1{1, 0, 0}, e2{0, 1, 0};  // a beam along the normal: the plate square to it
  if (rho > Tolerance) {
    e1 = {u.x * u.z / rho, u.y * u.z / rho, -rho};
    e2 = {-u.y / rho, u.x / rho, 0};
  }
  auto& corners = s.DetectorCorners;
  corners[0] = centre + h * e1 + h * e2;
  corners[1] = centre + h * e1 - h * e2;
  corners[2] = centre - h * e1 - h * e2;
  corners[3] = centre - h * e1 + h * e2;
  for (const TVector& p : corners) {
    if (!frame::Finite(p)) continue;
    frame::AddPoint(*c.SeriesRealPSD, p);
    frame::AddPoint(*c.SeriesRealPSDpoints, p, clTeeColor);
  }

  if (Settings.DetectorView) {
    for (const TVector& p : {centre + h * e1, centre - h * e1}) {
      TVector wave;
      if (!WaveTowards(p, k, wave)) continue;
      recip::AddArrow(*c.SeriesBeamsRec2, -s.K0, wave - s.K0, "Kh", s.DiffractedColour);
      recip::AddArrow(*c.SeriesBeams2, {}, (1.5 * Settings.RealExtent) * wave, "Kh",
                      s.DiffractedColour);
    }
  }

  const int32_t n = static_cast<int32_t>(std::trunc(0.4 * Settings.AnimSteps));
  const TVector across = corners[1] - corners[0];
  const TVector down = corners[3] - corners[0];
  for (int32_t i = 0; i < n; ++i) {
    TPoint3DSeries* line = AddTraceSeries(scene, ScanTraceWidth(scene), clPurple);
    if (line == nullptr) break;
    const double fi = n < 2 ? 0.0 : double(i) / (n - 1);
    for (int32_t j = 0; j < n; ++j) {
      const double fj = n < 2 ? 0.0 : double(j) / (n - 1);
      TVector wave;
      if (!WaveTowards(corners[0] + fi * across + fj * down, k, wave)) continue;
      recip::AddLinePoint(*line, wave - s.K0, clPurple);
    }
  }
}

void ShowAzimuthCone(TAnimationContext& anim, TVisStructure& s, double spanDegrees) {
  Settings.TwoThetaScan = true;
  Settings.OmegaScan = true;
  Settings.FastMove = true;
  const int32_t steps = Settings.AnimSteps;
  // A scan stopped by an error leaves no azimuth behind for the next command.
  struct TFan {
    TVisStructure& s;
    explicit TFan(TVisStructure& v) : s(v) { s.AzimuthFanActive = true; }
    ~TFan() {
      s.AzimuthFanActive = false;
      s.AzimuthAngle = 0;
    }
  };
  {
    TFan fan(s);
    for (int32_t i = -steps; i <= steps; ++i) {
      s.AzimuthAngle = i * spanDegrees / (2 * steps + 1) * DegToRad;
      anim.Host.RunWriteSettings();
      AnimateMove(anim, s);
    }
  }
  Settings.TwoThetaScan = false;
  Settings.OmegaScan = false;
  Settings.FastMove = false;
  anim.Host.RunWriteSettings();
  s.SolveWaveVectors();
  DrawBeamsReal(anim.Scene, s);
  DrawBeamsReciprocal(anim.Scene, s);
  anim.Host.PumpOnce();
}

}  // namespace korvex
