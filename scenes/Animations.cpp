#include "scenes/Animations.h"

#include <cmath>
#include <string>

#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/AccessibleRegions.h"
#include "scenes/HklSetting.h"
#include "scenes/ReciprocalAxes.h"
#include "scenes/ReciprocalDrawing.h"
#include "scenes/ReciprocalLattice.h"

namespace korvex {

using frame::operator+;
using frame::operator-;
using frame::operator*;

namespace {

TVector Rotated(const TVector& v, double angle, const TVector& axis) {
  TVector r = v;
  RotateVector(angle, v.x, v.y, v.z, axis.x, axis.y, axis.z, r.x, r.y, r.z);
  return r;
}

void RedrawBeams(TSceneContext& scene, const TVisStructure& s) {
  DrawBeamsReal(scene, s);
  DrawBeamsReciprocal(scene, s);
}

// The Chart1 tilt of the "tilt" switch: whole degrees, 0.1 degree of rounding allowance (a
// range of many turns is taken modulo one turn, so that the angle always fits the tilt).
void SetTilt(TSceneContext& scene, double radians) {
  const double degrees = std::fmod(std::trunc(radians * RadToDeg + 0.1), 360.0);
  scene.Charts.Chart1.View3DOptions().SetTilt(std::isfinite(degrees) ? static_cast<int>(degrees)
                                                                     : 0);
}

void AddTracePoint(TSceneContext& scene, const TVector& p, TColor colour) {
  if (TPoint3DSeries* trace = CurrentTrace(scene)) recip::AddLinePoint(*trace, p, colour);
}

constexpr double WeakNode = 0.01;
constexpr double TwoDegrees = 2 * Pi / 180;

}  // namespace

int32_t RunFrameLoop(IAnimationHost& host, const TFrameLoopRule& rule,
                     const std::function<void(int32_t t)>& frame,
                     const std::function<bool()>& alive) {
  const auto finished = [&rule](int32_t t) {
    return rule.PastSteps ? t > rule.Steps : t >= rule.Steps;
  };
  Settings.TimerTicks = 0;
  int32_t last = 0;
  int32_t drawn = 0;
  if (!rule.Fast) host.StartTimer();
  for (;;) {
    if (alive && !alive()) break;
    if (rule.Fast) {
      ++Settings.TimerTicks;
    } else if (!host.TimerEnabled()) {
      break;
    }
    if (Settings.TimerTicks != last) {
      last = Settings.TimerTicks;
      frame(last);
      ++drawn;
    }
    if (!rule.Fast) host.PumpOnce();
    if (finished(last)) {
      if (!rule.Fast) host.StopTimer();
      break;
    }
  }
  return drawn;
}

void AnimationTick() { ++Settings.TimerTicks; }

void StopAnimation(IAnimationHost& host) { host.StopTimer(); }

TPoint3DSeries* AddTraceSeries(TSceneContext& scene, int32_t width, TColor colour) {
  TPoolRange& lines = scene.Pool.ReciprocalLines;
  if (lines.Counter + 1 >= TPoolRange::Capacity) {
    lines.Counter = TPoolRange::Capacity - 1;
    return nullptr;
  }
  auto* trace = scene.Pool.Create<TPoint3DSeries>(lines, scene.Charts.Chart2);
  trace->Pointer().Visible = false;
  trace->LinePen().Width = width;
  trace->LinePen().Color = colour;
  return trace;
}

int32_t ScanTraceWidth(const TSceneContext& scene) {
  return Settings.DetectorView ? 1 : RoundHalfAway(scene.Pool.LineWidth / 2.0);
}

TPoint3DSeries* CurrentTrace(TSceneContext& scene) {
  const TPoolRange& lines = scene.Pool.ReciprocalLines;
  if (lines.Empty() || lines.Counter >= TPoolRange::Capacity) return nullptr;
  return dynamic_cast<TPoint3DSeries*>(lines[lines.Counter]);
}

void AnimateMove(TAnimationContext& anim, TVisStructure& s) {
  TSceneContext& scene = anim.Scene;
  anim.Host.RunRecompute();
  s.ComputeGeometry();
  s.SolveWaveVectors();
  const int32_t steps = Settings.AnimSteps;
  const double range = Settings.OmegaRange;
  const double step = range / steps;
  double fK0 = 0, fKh = 0;
  TColor colour = clRed;
  if (Settings.OmegaScan && Settings.TwoThetaScan) {
    fK0 = 1, fKh = 1 - Settings.ScanN, colour = clRed;
  } else if (Settings.TwoThetaScan) {
    fK0 = 0, fKh = -1, colour = clPurple;
  } else if (Settings.OmegaScan) {
    fK0 = 1, fKh = 1, colour = clAqua;
  } else {
    return;
  }

  s.K0Second = {};
  const TVector axis = s.ScatteringPlaneNormal;
  const TVector k0s = Rotated(s.K0, fK0 * range / 2, axis);
  const TVector khs = Rotated(s.Kh, fKh * range / 2, axis);
  if (Settings.Tilt) {
    scene.Charts.Chart1.View3DOptions().SetTilt(0);
    SetTilt(scene, -0.5 * fK0 * range);
  }
  if (AddTraceSeries(scene, ScanTraceWidth(scene), colour) == nullptr) return;

  scene.Charts.SeriesVecRecipr2->Clear();
  const double extent = Settings.RealExtent;
  const auto frame = [&](int32_t t) {
    s.K0 = Rotated(k0s, -step * fK0 * t, axis);
    s.Kh = Rotated(khs, -step * fKh * t, axis);
    if (Settings.DetectorView) {
      scene.Charts.SeriesDetector->Clear();
      recip::AddLinePoint(*scene.Charts.SeriesDetector, (1.8 * extent) * s.Kh, clTeeColor);
    }
    RedrawBeams(scene, s);
    if (Settings.DetectorView) {
      for (int i = -5; i <= 5; ++i)
        AddTracePoint(scene, Rotated(s.Kh, i * TwoDegrees, axis) - s.K0, colour);
    } else {
      AddTracePoint(scene, s.Kh - s.K0, colour);
    }
    if (Settings.Tilt) SetTilt(scene, -step * fK0 * t);
  };
  RunFrameLoop(anim.Host, {steps, false, Settings.FastMove}, frame,
               [&scene] { return !scene.Pool.ReciprocalLines.Empty(); });

  s.SolveWaveVectors();
  scene.Charts.Chart1.View3DOptions().SetTilt(0);
  if (Settings.DetectorView) scene.Charts.SeriesDetector->Clear();
  RedrawBeams(scene, s);
}

void AnimateRotK(TAnimationContext& anim, TVisStructure& s) {
  TSceneContext& scene = anim.Scene;
  anim.Host.RunRecompute();
  s.SolveWaveVectors();
  const int32_t steps = Settings.AnimSteps;
  const double step = 2 * Pi / steps;
  const TVector k00 = s.K0;
  const TVector kh0 = s.Kh;
  if (AddTraceSeries(scene, scene.Pool.LineWidth, clBlue) == nullptr) return;
  s.K0Second = {};
  const TVector h = s.HVector;
  const auto frame = [&](int32_t t) {
    AddTracePoint(scene, -s.K0, clRed);
    s.K0 = Rotated(k00, t * step, h);
    s.Kh = Rotated(kh0, t * step, h);
    RedrawBeams(scene, s);
  };
  RunFrameLoop(anim.Host, {steps}, frame);
  s.SolveWaveVectors();
  AddTracePoint(scene, -s.K0, clRed);
  RedrawBeams(scene, s);
}

void AnimateRotRec(TAnimationContext& anim, TVisStructure& s) {
  TSceneContext& scene = anim.Scene;
  const int32_t steps = Settings.AnimSteps;
  const double step = (Pi / 2) / steps;
  const int32_t n = s.MaxIndex;
  const double twoK = 2 * s.WaveNumber;
  const double radius = 2 * Settings.NodeRadius;
  TBubble3DSeries& nodes = *scene.Charts.SeriesPointRes;
  const auto frame = [&](int32_t) {
    nodes.Clear();
    Settings.Phi += step;
    const double phi = Settings.Phi;
    const TVector& normal = s.SurfaceNormal;
    for (int32_t h = 0; h <= n; ++h) {
      for (int32_t k = 0; k <= n; ++k) {
        for (int32_t l = 0; l <= n; ++l) {
          TVector q;
          s.ReciprocalVector(h, k, l, q.x, q.y, q.z);
          if (frame::Length(Rotated(q, phi, normal)) > twoK) continue;
          double w = s.ReflectionStrength(h, k, l);
          if (!std::isfinite(w)) w = 0;
          const bool weak = Settings.UseHi && w < WeakNode;
          // A zero index has one sign only: its two variants are the same node.
          for (int32_t sh = h != 0 ? -1 : 1; sh <= 1; sh += 2) {
            for (int32_t sk = k != 0 ? -1 : 1; sk <= 1; sk += 2) {
              for (int32_t sl = l != 0 ? -1 : 1; sl <= 1; sl += 2) {
                const int32_t ih = sh * h, ik = sk * k, il = sl * l;
                s.ReciprocalVector(ih, ik, il, q.x, q.y, q.z);
                q = Rotated(q, phi, normal);
                if (Settings.Octant && (q.x < -Tolerance || q.y > Tolerance || q.z < -Tolerance))
                  continue;
                if (Settings.OnlyBragg && !IsBraggAccessible(s, q.x, q.y, q.z)) continue;
                recip::AddNode(nodes, q, radius * w, weak ? " " : IndexLabel(ih, ik, il),
                               s.NodeColour);
              }
            }
          }
        }
      }
    }
  };
  RunFrameLoop(anim.Host, {steps, true}, frame);
  Settings.Phi = 0;
}

void AnimateBoublik(TAnimationContext& anim, TVisStructure& s) {
  TSceneContext& scene = anim.Scene;
  TChartCatalogue& c = scene.Charts;
  const int32_t steps = Settings.AnimSteps;
  const double step = Pi / steps;
  c.SeriesSphereKh->Clear();
  c.SeriesSphereKh->Pointer().Transparency = 90;
  s.K0 = {-s.WaveNumber, 0, 0};
  const double extent = 1.5 * Settings.RealExtent;
  const auto frame = [&](int32_t) {
    s.K0 = Rotated(s.K0, -step, s.IncidencePlaneNormal);
    DrawKhSphere(scene, s, false);
    c.SeriesBeams->Clear();
    c.SeriesBeamsRec->Clear();
    recip::AddArrow(*c.SeriesBeams, (-extent) * s.K0, {}, "K0", s.IncidentColour);
    recip::AddArrow(*c.SeriesBeamsRec, -s.K0, {}, "K0", s.IncidentColour);
  };
  RunFrameLoop(anim.Host, {steps}, frame);
  c.SeriesSphereKh->Pointer().Transparency = 0;
  s.SolveWaveVectors();
  RedrawBeams(scene, s);
}

}  // namespace korvex
