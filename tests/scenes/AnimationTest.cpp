// The animations and detector views on the chart model alone, with a host whose message pump
// raises the tick counter by one while its timer runs: the physics of the omega, 2theta and
// omega/2theta scans, of "Rot.K", "Boublik" and "PSD", the frame loop's stop rule and the
// series limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "SceneTestSupport.h"
#include "chart/Catalogue.h"
#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/Animations.h"
#include "scenes/DetectorViews.h"
#include "scenes/HklSetting.h"
#include "scenes/ReciprocalAxes.h"
#include "scenes/SceneReset.h"
#include "scenes/SeriesPool.h"

namespace korvex {
namespace {

using scenetest::AllFinite;
using scenetest::PointOf;

double Len(const TVector& v) { return VectorLength(v.x, v.y, v.z); }
TVector Sub(const TVector& a, const TVector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
TVector Add(const TVector& a, const TVector& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
double DotV(const TVector& a, const TVector& b) { return Dot(a.x, a.y, a.z, b.x, b.y, b.z); }
TVector CrossV(const TVector& a, const TVector& b) {
  TVector c;
  Cross(a.x, a.y, a.z, b.x, b.y, b.z, c.x, c.y, c.z);
  return c;
}
TVector Turned(const TVector& v, double angle, const TVector& axis) {
  TVector r = v;
  RotateVector(angle, v.x, v.y, v.z, axis.x, axis.y, axis.z, r.x, r.y, r.z);
  return r;
}
// Signed angle from a to b about axis.
double AngleAbout(const TVector& a, const TVector& b, const TVector& axis) {
  return std::atan2(DotV(CrossV(a, b), axis) / Len(axis), DotV(a, b));
}

// The window's part in the animations: the recompute of the structures, a timer flag and a
// pump that stands for exactly one tick of the running timer (and can run a nested command).
class AnimHost : public scenetest::Host, public IAnimationHost {
 public:
  AnimHost(TVisStructure& s1, TVisStructure& s2) : s1_(s1), s2_(s2) {}
  void RunRecompute() override {
    Settings.Phi = 0;
    Settings.IncPlanePoint = PlanePoint;
    Settings.TimerTicks = 0;
    ComputeStructures(s1_, s2_);
    timer = false;
    ++recomputes;
  }
  void RunWriteSettings() override { timer = false; }
  void StartTimer() override { timer = true; }
  void StopTimer() override { timer = false; }
  bool TimerEnabled() const override { return timer; }
  void PumpOnce() override {
    ++pumps;
    if (timer) AnimationTick();
    if (OnPump) OnPump(pumps);
  }

  std::array<int32_t, 3> PlanePoint{1, 1, 0};
  std::function<void(int)> OnPump;
  bool timer = false;
  int pumps = 0;
  int recomputes = 0;

 private:
  TVisStructure& s1_;
  TVisStructure& s2_;
};

class Animation : public ::testing::Test {
 protected:
  void SetUp() override {
    Settings = TSettings{};
    Settings.RecomputeDone = true;
    Settings.AnimSteps = 50;
    Settings.FastMove = true;
    s1.StructureName = "Si";
    s2.StructureName = "Si";
    s1.InUse = true;
    pool.LineWidth = 4;
  }
  void Hkl(int32_t h, int32_t k, int32_t l) {
    Settings.Hkl = {h, k, l};
    host.RunRecompute();
    ASSERT_GT(s1.LatticeA, 5) << "Base/ with Si.stf is needed beside the test";
  }
  TVector H() const { return s1.HVector; }
  // The series at the end of the ReciprocalLines range.
  const TPoint3DSeries& LastTrace() const {
    return *dynamic_cast<const TPoint3DSeries*>(pool.ReciprocalLines[pool.ReciprocalLines.Counter]);
  }
  std::vector<TVector> TracePoints() const {
    std::vector<TVector> points;
    const TPoint3DSeries& t = LastTrace();
    for (int i = 0; i < t.Count(); ++i) points.push_back(PointOf(t, i));
    return points;
  }
  void FillLines(int count) {
    for (int i = 0; i < count; ++i)
      pool.Create<TPoint3DSeries>(pool.ReciprocalLines, charts.Chart2);
  }

  TVisStructure s1, s2;
  TChartCatalogue charts;
  TSeriesPool pool;
  AnimHost host{s1, s2};
  TSceneContext scene{charts, pool, host};
  TAnimationContext anim{scene, host};
};

enum class Scan { Omega, TwoTheta, OmegaTwoTheta };

struct ScanCase {
  std::array<int32_t, 3> Hkl;
  Scan Kind;
};

class ScanTrace : public Animation, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(ScanTrace, FollowsTheScanGeometry) {
  const ScanCase c = GetParam();
  Settings.OmegaScan = c.Kind != Scan::TwoTheta;
  Settings.TwoThetaScan = c.Kind != Scan::Omega;
  Hkl(c.Hkl[0], c.Hkl[1], c.Hkl[2]);
  AnimateMove(anim, s1);
  const std::vector<TVector> q = TracePoints();
  ASSERT_EQ(q.size(), 50u);
  const TVector h = H();
  const double hl = Len(h);
  // Moving K0 and Kh stay on the sphere K wherever they go; K0 here is back at the reflection.
  const TVector k0 = s1.K0;
  const TVector axis = s1.ScatteringPlaneNormal;
  const double k = s1.WaveNumber;
  for (size_t i = 0; i < q.size(); ++i) {
    switch (c.Kind) {
      case Scan::Omega:
        EXPECT_NEAR(Len(q[i]), hl, 1e-12) << i;
        break;
      case Scan::OmegaTwoTheta:
        EXPECT_NEAR(Len(CrossV(q[i], h)) / hl, 0, 1e-12) << i;
        break;
      case Scan::TwoTheta:
        EXPECT_NEAR(Len(Add(q[i], k0)), k, 1e-12) << i;
        break;
    }
  }
  const double range = Settings.OmegaRange, step = range / 50;
  const TColor colours[] = {clAqua, clPurple, clRed};
  EXPECT_EQ(LastTrace().LinePen().Color, colours[static_cast<int>(c.Kind)]);
  EXPECT_EQ(LastTrace().LinePen().Width, 2);
  if (c.Kind == Scan::Omega) {
    // The arc runs from +range/2 to -range/2 about H (the start point is not drawn) and
    // passes through H halfway.
    EXPECT_NEAR(AngleAbout(h, q.front(), axis), range / 2 - step, 1e-9);
    EXPECT_NEAR(AngleAbout(h, q.back(), axis), -range / 2, 1e-9);
    EXPECT_NEAR(Len(Sub(q[24], h)), 0, 1e-12);
  }
  EXPECT_TRUE(AllFinite(charts.Chart1) && AllFinite(charts.Chart2));
}

INSTANTIATE_TEST_SUITE_P(Si, ScanTrace,
                         ::testing::Values(ScanCase{{0, 0, 4}, Scan::Omega},
                                           ScanCase{{0, 0, 4}, Scan::TwoTheta},
                                           ScanCase{{0, 0, 4}, Scan::OmegaTwoTheta},
                                           ScanCase{{2, 2, 4}, Scan::Omega},
                                           ScanCase{{2, 2, 4}, Scan::TwoTheta},
                                           ScanCase{{2, 2, 4}, Scan::OmegaTwoTheta}));

TEST_F(Animation, MoveTraceIsTheSameInFastAndTimerMode) {
  Settings.OmegaScan = Settings.TwoThetaScan = true;
  Settings.ScanN = 3;
  Hkl(2, 2, 4);
  AnimateMove(anim, s1);
  const std::vector<TVector> fast = TracePoints();
  EXPECT_EQ(host.pumps, 0);  // fast mode pumps nothing

  Settings.FastMove = false;
  AnimateMove(anim, s1);
  const std::vector<TVector> timed = TracePoints();
  EXPECT_EQ(host.pumps, 51);  // one pass before the first tick
  ASSERT_EQ(timed.size(), fast.size());
  for (size_t i = 0; i < fast.size(); ++i) EXPECT_NEAR(Len(Sub(fast[i], timed[i])), 0, 1e-15) << i;
  EXPECT_EQ(pool.ReciprocalLines.Count(), 2);
}

TEST_F(Animation, MoveInDetectorViewTracesElevenPointsAFrameAndShowsTheDetector) {
  Settings.OmegaScan = Settings.TwoThetaScan = true;
  Settings.DetectorView = true;
  Settings.FastMove = false;
  Hkl(0, 0, 4);
  int detectorPoints = 0;
  host.OnPump = [&](int) {
    detectorPoints = std::max(detectorPoints, charts.SeriesDetector->Count());
  };
  AnimateMove(anim, s1);
  EXPECT_EQ(LastTrace().Count(), 550);
  EXPECT_EQ(LastTrace().LinePen().Width, 1);
  EXPECT_EQ(detectorPoints, 1);
  EXPECT_EQ(charts.SeriesDetector->Count(), 0);  // cleared after the scan
  // Every point is a wave on the Ewald sphere of that frame's K0: |Q + K0| = K.
  const std::vector<TVector> q = TracePoints();
  EXPECT_TRUE(std::all_of(q.begin(), q.end(),
                          [&](const TVector& p) { return std::isfinite(p.x + p.y + p.z); }));
}

TEST_F(Animation, MoveWithTiltTurnsTheRealSpaceChartAndPutsItBack) {
  Settings.OmegaScan = true;
  Settings.Tilt = true;
  Settings.FastMove = false;
  Hkl(0, 0, 4);
  std::vector<int> tilts;
  host.OnPump = [&](int) { tilts.push_back(charts.Chart1.View3DOptions().Tilt()); };
  AnimateMove(anim, s1);
  ASSERT_EQ(tilts.size(), 51u);
  EXPECT_EQ(tilts[0], -29);      // the start: trunc(-30 + 0.1)
  EXPECT_EQ(tilts[1], -1);       // trunc(-1.2 + 0.1)
  EXPECT_EQ(tilts.back(), -59);  // trunc(-60 + 0.1)
  EXPECT_EQ(charts.Chart1.View3DOptions().Tilt(), 0);
}

TEST_F(Animation, MoveWithNeitherScanBoxDoesNothing) {
  Hkl(0, 0, 4);
  AnimateMove(anim, s1);
  EXPECT_TRUE(pool.ReciprocalLines.Empty());
}

// "Move" and "Rot.K" at the series limit: the counter stays at 99 and no frame is drawn.
TEST_F(Animation, MoveAndRotKStopAtTheSeriesLimit) {
  Settings.OmegaScan = true;
  Settings.FastMove = false;
  Hkl(0, 0, 4);
  FillLines(100);
  for (auto run : {AnimateMove, AnimateRotK}) {
    host.pumps = 0;
    run(anim, s1);
    EXPECT_EQ(pool.ReciprocalLines.Counter, 99);
    EXPECT_EQ(host.pumps, 0);
    EXPECT_EQ(LastTrace().Count(), 0);
  }
}

TEST_F(Animation, ClearScenesOrARecomputeDuringMoveEndsIt) {
  Settings.OmegaScan = true;
  Settings.FastMove = false;
  Hkl(0, 0, 4);
  host.OnPump = [&](int pumps) {
    if (pumps == 10) ClearScenes(scene);
  };
  AnimateMove(anim, s1);
  EXPECT_EQ(host.pumps, 10);
  EXPECT_TRUE(pool.ReciprocalLines.Empty());

  host.pumps = 0;
  host.OnPump = [&](int pumps) {
    if (pumps == 7) host.RunRecompute();  // a command clicked meanwhile
  };
  AnimateMove(anim, s1);
  EXPECT_EQ(host.pumps, 7);
  EXPECT_EQ(LastTrace().Count(), 6);
  EXPECT_TRUE(AllFinite(charts.Chart2));
}

TEST_F(Animation, RotKTracesTheCentresOfTheEwaldSpheresThroughTheOriginAndH) {
  for (const auto& hkl : {std::array<int32_t, 3>{0, 0, 4}, std::array<int32_t, 3>{2, 2, 4}}) {
    Hkl(hkl[0], hkl[1], hkl[2]);
    AnimateRotK(anim, s1);
    const TVector h = H();
    const double k = s1.WaveNumber;
    const std::vector<TVector> c = TracePoints();
    ASSERT_EQ(c.size(), 51u);  // A frames and the point of the final reflection position
    for (size_t i = 0; i < c.size(); ++i) {
      const TVector k0 = {-c[i].x, -c[i].y, -c[i].z};
      EXPECT_NEAR(Len(k0), k, 1e-12) << i;
      EXPECT_NEAR(DotV(k0, h), -DotV(h, h) / 2, 1e-12) << i;
    }
    // A full turn: halfway the centre is on the far side of the circle.
    const TVector axisPoint = {h.x / 2, h.y / 2, h.z / 2};  // the circle of -K0 is centred at H/2
    EXPECT_NEAR(Len(Sub(Add(c[0], c[25]), Add(axisPoint, axisPoint))), 0, 1e-12);
    EXPECT_NEAR(Len(Sub(c[0], c[50])), 0, 1e-12);
    EXPECT_EQ(LastTrace().LinePen().Color, clBlue);
    EXPECT_EQ(LastTrace().Points()[0].Color, clRed);
  }
}

TEST_F(Animation, RotRecDrawsOneFrameMoreThanStepsAndLeavesPhiAtZero) {
  Settings.AnimSteps = 4;
  Hkl(0, 0, 4);
  std::vector<double> phis;
  host.OnPump = [&](int) { phis.push_back(Settings.Phi); };
  AnimateRotRec(anim, s1);
  ASSERT_EQ(phis.size(), 6u);  // one pass before the first tick, then five frames
  EXPECT_EQ(phis[0], 0);
  EXPECT_NEAR(phis.back(), 5 * (Pi / 2) / 4, 1e-12);
  EXPECT_EQ(Settings.Phi, 0);
  EXPECT_FALSE(host.timer);
  // The last frame's lattice: each node turned by 5 x 90/4 degrees about the normal.
  TVector q;
  s1.ReciprocalVector(2, 2, 0, q.x, q.y, q.z);
  const TVector expected = Turned(q, 5 * (Pi / 2) / 4, s1.SurfaceNormal);
  const TBubble3DSeries& nodes = *charts.SeriesPointRes;
  int found = 0;
  for (int i = 0; i < nodes.Count(); ++i) {
    if (nodes.Label(i) != IndexLabel(2, 2, 0)) continue;
    ++found;
    EXPECT_NEAR(Len(Sub(PointOf(nodes, i), expected)), 0, 1e-12);
  }
  EXPECT_EQ(found, 1);
  for (int i = 0; i < nodes.Count(); ++i)
    EXPECT_LE(Len(PointOf(nodes, i)), 2 * s1.WaveNumber + 1e-12);
}

TEST_F(Animation, BoublikLeavesEwaldSpheresThroughTheOriginOverHalfATurn) {
  Hkl(0, 0, 4);
  SetHkl(scene, s1);
  AnimateBoublik(anim, s1);
  const TBubble3DSeries& spheres = *charts.SeriesSphereKh;
  ASSERT_EQ(spheres.Count(), 50);
  const double k = s1.WaveNumber;
  for (int i = 0; i < spheres.Count(); ++i) {
    EXPECT_NEAR(spheres.RadiusValue(i), k, 1e-15);
    EXPECT_NEAR(Len(PointOf(spheres, i)), k, 1e-12) << i;  // the sphere passes through 0
  }
  // K0 swung from (-K, 0, 0) through 180 degrees: the last sphere is centred at (-K, 0, 0).
  EXPECT_NEAR(Len(Sub(PointOf(spheres, 49), {-k, 0, 0})), 0, 1e-12);
  EXPECT_EQ(spheres.Pointer().Transparency, 0);
  EXPECT_TRUE(AllFinite(charts.Chart1) && AllFinite(charts.Chart2));
}

TEST_F(Animation, PsdPlateAcrossKhAndItsImageOnTheEwaldSphere) {
  for (const auto& hkl : {std::array<int32_t, 3>{0, 0, 4}, std::array<int32_t, 3>{2, 2, 4}}) {
    Hkl(hkl[0], hkl[1], hkl[2]);
    pool.ReciprocalLines.Free();
    Settings.DetectorView = true;
    ShowPsd(anim, s1);
    const double a = s1.LatticeA, k = s1.WaveNumber;
    const TVector u = {s1.Kh.x / k, s1.Kh.y / k, s1.Kh.z / k};
    TVector centre{};
    for (const TVector& c : s1.DetectorCorners) centre = Add(centre, {c.x / 4, c.y / 4, c.z / 4});
    EXPECT_NEAR(Len(Sub(centre, {2 * a * u.x, 2 * a * u.y, 2 * a * u.z})), 0, 1e-12);
    const auto& c = s1.DetectorCorners;
    EXPECT_NEAR(Len(Sub(c[1], c[0])), a, 1e-12);
    EXPECT_NEAR(Len(Sub(c[3], c[0])), a, 1e-12);
    EXPECT_NEAR(DotV(Sub(c[1], c[0]), u), 0, 1e-12);
    EXPECT_NEAR(DotV(Sub(c[3], c[0]), u), 0, 1e-12);
    EXPECT_EQ(charts.SeriesRealPSD->Count(), 4);
    EXPECT_EQ(charts.SeriesRealPSDpoints->Count(), 4);
    EXPECT_EQ(charts.SeriesBeamsRec2->Count(), 2);  // the waves to the two edges
    ASSERT_EQ(pool.ReciprocalLines.Count(), 20);
    for (int i = 0; i < 20; ++i) {
      const auto& line = *dynamic_cast<const TPoint3DSeries*>(pool.ReciprocalLines[i]);
      ASSERT_EQ(line.Count(), 20);
      for (int j = 0; j < 20; ++j) EXPECT_NEAR(Len(Add(PointOf(line, j), s1.K0)), k, 1e-12);
    }
  }
}

TEST_F(Animation, PsdImageSizeFollowsTheSteps) {
  Hkl(0, 0, 4);
  for (const int32_t steps : {1, 2, 3, 4, 7}) {
    Settings.AnimSteps = steps;
    pool.ReciprocalLines.Free();
    ShowPsd(anim, s1);
    const int n = static_cast<int>(0.4 * steps);
    ASSERT_EQ(pool.ReciprocalLines.Count(), n) << steps;
    if (n == 1) {
      const auto& line = *dynamic_cast<const TPoint3DSeries*>(pool.ReciprocalLines[0]);
      ASSERT_EQ(line.Count(), 1);
      const TVector c1 = s1.DetectorCorners[0];
      const double f = s1.WaveNumber / Len(c1);
      EXPECT_NEAR(Len(Sub(PointOf(line, 0), Sub({f * c1.x, f * c1.y, f * c1.z}, s1.K0))), 0, 1e-12);
    }
  }
}

TEST_F(Animation, PsdWithTheDiffractedBeamAlongTheNormalIsSquareToIt) {
  Hkl(0, 0, 4);
  // Turn Kh up onto the normal by the 2theta offset (whichever sense does it).
  s1.SolveWaveVectors();
  const double exit = s1.ExitAngle;
  for (const double sign : {1.0, -1.0}) {
    Settings.TwoThetaShift = sign * (Pi / 2 - exit);
    s1.SolveWaveVectors();
    if (std::hypot(s1.Kh.x, s1.Kh.y) < 1e-10) break;
  }
  ASSERT_LT(std::hypot(s1.Kh.x, s1.Kh.y), 1e-10);
  ShowPsd(anim, s1);
  const auto& c = s1.DetectorCorners;
  const double a = s1.LatticeA;
  EXPECT_NEAR(Len(Sub(c[0], {a / 2, a / 2, 2 * a})), 0, 1e-9);
  EXPECT_NEAR(Len(Sub(c[2], {-a / 2, -a / 2, 2 * a})), 0, 1e-9);
  EXPECT_EQ(charts.SeriesRealPSD->Count(), 4);
  EXPECT_TRUE(AllFinite(charts.Chart1) && AllFinite(charts.Chart2));
}

// hkl 0 0 0, an unreachable reflection and a detector of no size at the sample put nothing
// that is not a number into a series, and every animation still ends.
TEST_F(Animation, DegenerateReflectionsLeaveEveryChartFinite) {
  Settings.AnimSteps = 5;
  Settings.OmegaScan = Settings.TwoThetaScan = true;
  Settings.DetectorView = true;
  for (const auto& hkl : {std::array<int32_t, 3>{0, 0, 0}, std::array<int32_t, 3>{0, 0, 12}}) {
    Hkl(hkl[0], hkl[1], hkl[2]);
    SetHkl(scene, s1);
    AnimateMove(anim, s1);
    AnimateRotK(anim, s1);
    AnimateRotRec(anim, s1);
    AnimateBoublik(anim, s1);
    ShowPsd(anim, s1);
    ShowAzimuthCone(anim, s1, 180);
    EXPECT_TRUE(AllFinite(charts.Chart1)) << hkl[2];
    EXPECT_TRUE(AllFinite(charts.Chart2)) << hkl[2];
    EXPECT_FALSE(host.timer);
  }
  Settings.DetectorDistance = 0;
  Settings.DetectorSize = 0;
  Hkl(0, 0, 4);
  ShowPsd(anim, s1);
  EXPECT_TRUE(AllFinite(charts.Chart1) && AllFinite(charts.Chart2));
}

TEST_F(Animation, AzimuthConeTurnsEachScanAboutTheNormal) {
  Settings.AnimSteps = 3;
  Settings.FastMove = false;
  Hkl(2, 2, 4);
  ShowAzimuthCone(anim, s1, 180);
  ASSERT_EQ(pool.ReciprocalLines.Count(), 7);
  EXPECT_EQ(host.pumps, 1);  // the scans are fast; one pump at the end
  EXPECT_FALSE(Settings.OmegaScan || Settings.TwoThetaScan || Settings.FastMove);
  EXPECT_EQ(s1.AzimuthAngle, 0);
  const auto trace = [&](int i) -> const TPoint3DSeries& {
    return *dynamic_cast<const TPoint3DSeries*>(pool.ReciprocalLines[i]);
  };
  const TVector z{0, 0, 1};
  for (int i = 0; i < 7; ++i) {
    ASSERT_EQ(trace(i).Count(), 3);
    const double azimuth = (i - 3) * 180.0 / 7 * DegToRad;
    for (int j = 0; j < 3; ++j) {
      const TVector expected = Turned(PointOf(trace(3), j), azimuth, z);
      EXPECT_NEAR(Len(Sub(PointOf(trace(i), j), expected)), 0, 1e-12) << i << " " << j;
    }
  }
}

TEST_F(Animation, AzimuthConeOfFiftyStepsNeverPassesTheSeriesLimit) {
  Hkl(0, 0, 4);
  ShowAzimuthCone(anim, s1, 180);
  EXPECT_EQ(host.recomputes, 1 + 101);
  EXPECT_EQ(pool.ReciprocalLines.Counter, 99);
  EXPECT_EQ(LastTrace().Count(), 50);
}

}  // namespace
}  // namespace korvex
