#include "scenes/HklSetting.h"

#include <cmath>

#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/AccessibleRegions.h"
#include "scenes/FrameDrawing.h"
#include "scenes/ReciprocalAxes.h"
#include "scenes/ReciprocalLattice.h"

namespace korvex {

using namespace frame;

namespace {

bool AnyNonZero(const TVector& v) { return v.x != 0 || v.y != 0 || v.z != 0; }

// The circle of incident directions that satisfy Bragg's law for H: -K0 turned about H, in
// 50 steps, the first point repeated at the end.
void DrawBraggCircle(TSceneContext& scene, const TVisStructure& s) {
  TPoolRange& lines = scene.Pool.ReciprocalLines;
  lines.Free();
  auto* circle = scene.Pool.Create<TPoint3DSeries>(lines, scene.Charts.Chart2);
  circle->Pointer().Visible = false;
  circle->LinePen().Width = scene.Pool.LineWidth;
  circle->LinePen().Color = clBlue;
  TVector v = s.K0;
  const TVector& h = s.HVector;
  for (int i = 0; i < 51; ++i) {
    RotateVector(2 * Pi / 50, v.x, v.y, v.z, h.x, h.y, h.z, v.x, v.y, v.z);
    AddPoint(*circle, -v, clRed);
  }
}

}  // namespace

void SetHkl(TSceneContext& scene, TVisStructure& s) {
  DrawReciprocalAxes(scene, s);
  DrawResolutionPlanes(scene, s);
  DrawClassicalSpheres(scene, s);
  s.ReciprocalVector(Settings.Hkl[0], Settings.Hkl[1], Settings.Hkl[2], s.HVector.x, s.HVector.y,
                     s.HVector.z);
  s.SolveWaveVectors();
  DrawBeamsReciprocal(scene, s);
  DrawBeamsReal(scene, s);
  DrawCrystalBlock(scene, s);
  if (Settings.OnlyBragg || Settings.OnlyLaue) {
    DrawRecNodes3D(scene, s);
  } else {
    MarkReflection(scene, s, Settings.Hkl[0], Settings.Hkl[1], Settings.Hkl[2]);
  }
}

void DrawBeamsReciprocal(TSceneContext& scene, const TVisStructure& s) {
  TVector3DSeries& beams = *scene.Charts.SeriesBeamsRec;
  TVector3DSeries& second = *scene.Charts.SeriesBeamsRec2;
  beams.Clear();
  second.Clear();
  AddArrow(beams, -s.K0, {}, "K0", s.IncidentColour);
  AddArrow(beams, -s.K0, s.Kh - s.K0, "Kh", s.DiffractedColour);
  // An omega/2theta scan with N = 2 moves Q along itself; the arrow would only hide the trace.
  if (!(Settings.OmegaScan && Settings.TwoThetaScan && Settings.ScanN == 2)) {
    AddArrow(beams, {}, s.HVector, "Q", clBlue);
  }
  if (AnyNonZero(s.K0Second)) {
    AddArrow(second, -s.K0Second, {}, "K0", s.IncidentColour);
    AddArrow(second, -s.K0Second, s.KhSecond - s.K0Second, "Kh", s.DiffractedColour);
  }
}

void DrawBeamsReal(TSceneContext& scene, const TVisStructure& s) {
  TVector3DSeries& beams = *scene.Charts.SeriesBeams;
  TVector3DSeries& second = *scene.Charts.SeriesBeams2;
  beams.Clear();
  second.Clear();
  const TVector& h = s.HVector;
  if (SameValue(0, h.x) && SameValue(0, h.y) && SameValue(0, h.z)) return;
  const double l = 1.5 * Settings.RealExtent;
  AddArrow(beams, (-l) * s.K0, {}, "K0", s.IncidentColour);
  AddArrow(beams, {}, l * s.Kh, "Kh", s.DiffractedColour);
  if (AnyNonZero(s.K0Second)) {
    AddArrow(second, (-l) * s.K0Second, {}, "K0", s.IncidentColour);
    AddArrow(second, {}, l * s.KhSecond, "Kh", s.DiffractedColour);
  }
  if (Settings.BraggCircle) DrawBraggCircle(scene, s);
}

TBlockCorners BlockCorners(const TVisStructure& s) {
  const double half = 1.001 * Settings.NReal * s.LatticeA;
  const double depth = s.VecA.z + s.VecB.z + s.VecC.z;
  TBlockCorners c;
  for (int i = 0; i < 4; ++i) {
    TVector& top = c[static_cast<size_t>(i)];
    top = {half, half, 0};
    RotateVector(i * Pi / 2 - Settings.Phi, top.x, top.y, top.z, 0, 0, 1, top.x, top.y, top.z);
    c[static_cast<size_t>(i + 4)] = {top.x, top.y, -depth};
  }
  return c;
}

void DrawCrystalBlock(TSceneContext& scene, const TVisStructure& s) {
  TChartCatalogue& ch = scene.Charts;
  if (s.Slot != SlotBeside2) scene.Pool.RealLines.Free();
  const TBlockCorners corners = BlockCorners(s);
  DrawPlanes(scene, s, corners);
  DrawBlockNodes(scene, s, corners);

  ch.SeriesSurf->Clear();
  for (int i = 0; i < 4; ++i) AddPoint(*ch.SeriesSurf, corners[static_cast<size_t>(i)]);

  // The plane of incidence, y = 0, over the block's extent; two points 0.01 off the plane
  // keep the four from lying on one line when the extent in z is 0.
  const double ex = std::trunc(1000 * s.Extent.x) * 0.001;
  const double ez = std::trunc(1000 * s.Extent.z) * 0.001;
  ch.SeriesSurfInc->Clear();
  AddPoint(*ch.SeriesSurfInc, {ex, 0, ez});
  AddPoint(*ch.SeriesSurfInc, {ex, 0.01, -ez});
  AddPoint(*ch.SeriesSurfInc, {-ex, 0.01, -ez});
  AddPoint(*ch.SeriesSurfInc, {-ex, 0, ez});

  for (const auto& e : BlockEdges) {
    auto* edge = scene.Pool.Create<TPoint3DSeries>(scene.Pool.RealLines, ch.Chart1);
    edge->Pointer().Visible = false;
    edge->LinePen().Width = scene.Pool.LineWidth / 2;
    edge->LinePen().Color = clAqua;
    for (int32_t i : e) {
      TVector p = corners[static_cast<size_t>(i)];
      if (!(p.z < 0)) p.z = 0;
      AddPoint(*edge, p, clAqua);
    }
  }
}

void DrawBlockNodes(TSceneContext& scene, const TVisStructure& s, const TBlockCorners& c) {
  TBubble3DSeries& nodes = *scene.Charts.SeriesPoint;
  if (s.Slot != SlotBeside2) nodes.Clear();
  const int32_t n = Settings.NReal;
  const double radius = 0.05 * s.LatticeA;
  for (int32_t i = -n; i <= n; ++i) {
    for (int32_t j = -n; j <= n; ++j) {
      for (int32_t k = -n; k <= n; ++k) {
        const TVector p = double(i) * s.VecA + double(j) * s.VecB + double(k) * s.VecC;
        if (!(p.z > c[4].z - Tolerance && p.z < c[0].z + Tolerance)) continue;
        bool inside = true;
        for (int m = 0; m < 4 && inside; ++m) {
          const TVector& a = c[static_cast<size_t>(m)];
          const TVector& b = c[static_cast<size_t>((m + 1) % 4)];
          const TVector toCorner{a.x - p.x, a.y - p.y, 0};
          const TVector edge{a.x - b.x, a.y - b.y, 0};
          inside = Cross(toCorner, edge).z <= -Tolerance;
        }
        if (inside) AddBubble(nodes, p, radius, s.NodeColour);
      }
    }
  }
}

}  // namespace korvex
