#include "scenes/SceneReset.h"

#include <cmath>

#include "geometry/Settings.h"
#include "geometry/VisStructure.h"

namespace korvex {

namespace {

// The depth axis is drawn 1.255 times narrower than the other two.
constexpr double DepthFactor = 0.7968127490039841;

// An extent that is no positive finite number would give the axes an empty range.
double UsableExtent(double e) { return std::isfinite(e) && e > 0 ? e : 1; }

void SetCubeRange(TChart& chart, double halfRange) {
  for (TChartAxis* axis : {&chart.BottomAxis(), &chart.LeftAxis(), &chart.DepthAxis()}) {
    axis->SetAutomatic(true);
    axis->SetAutomatic(false);
  }
  chart.BottomAxis().SetMinMax(-halfRange, halfRange);
  chart.LeftAxis().SetMinMax(-halfRange, halfRange);
  chart.DepthAxis().SetMinMax(-halfRange * DepthFactor, halfRange * DepthFactor);
}

void ResetView(TChart& chart, bool resetTilt) {
  TView3DOptions& view = chart.View3DOptions();
  view.SetZoom(100);
  if (resetTilt) view.SetTilt(0);
  view.SetElevation(345);
  view.SetRotation(345);
}

void ClearWithOrigin(TChartSeries& series) {
  series.Clear();
  if (auto* tri = dynamic_cast<TTriSurfaceSeries*>(&series)) tri->AddXYZ(0, 0, 0);
}

}  // namespace

void ClearScenes(TSceneContext& scene) {
  TChartCatalogue& c = scene.Charts;
  TSeriesPool& pool = scene.Pool;
  for (TChartSeries* s : std::initializer_list<TChartSeries*>{
           c.SeriesPointRes, c.SeriesPoint, c.SeriesVec, c.SeriesVec2, c.SeriesLines,
           c.SeriesVecRecipr, c.SeriesVecRecipr2, c.SeriesBeams, c.SeriesBeamsRec, c.SeriesBeams2,
           c.SeriesBeamsRec2, c.SeriesDetector, c.SeriesRealPSD, c.SeriesRealPSDpoints,
           c.SeriesCircle1, c.SeriesCircle2, c.SeriesCircle3, c.SeriesCircle4}) {
    s->Clear();
  }
  ClearWithOrigin(*c.SeriesSurf);
  ClearWithOrigin(*c.SeriesSurfResPlane);
  c.SeriesSphereKh->Clear();
  c.SeriesSphereKh->Pointer().Transparency = 60;

  pool.LineWidth = LineWidthFor(scene.Host.MainWindowWidth());
  for (TVector3DSeries* s : {c.SeriesVecRecipr, c.SeriesVecRecipr2, c.SeriesBeamsRec, c.SeriesBeamsRec2,
                             c.SeriesVec, c.SeriesVec2, c.SeriesBeams, c.SeriesBeams2, c.SeriesLines}) {
    s->Pen().Width = pool.LineWidth;
    s->EndArrow().Width = pool.LineWidth;
  }
  c.SeriesSurfResPlane->SetSeriesColor(clGray);
  ClearWithOrigin(*c.SeriesRealPSD);
  c.SeriesRealPSDpoints->Clear();
  scene.Host.StopTimer();

  // Views and region surfaces are reset only by a "Clear" that finds the pool empty, so a
  // first "Clear" after a drawing keeps the user's view.
  if (pool.AllEmpty()) {
    for (TChartSeries* s : std::initializer_list<TChartSeries*>{
             c.SeriesSurfUp, c.SeriesSurfDwn, c.SeriesSurfKh0, c.SeriesSurfK00, c.SeriesLaueKh}) {
      s->Clear();
    }
    ClearWithOrigin(*c.SeriesSurfIncRes);
    ClearWithOrigin(*c.SeriesSurfInc);
    c.SeriesSphereSmall->Clear();
    c.SeriesSphereBig->Clear();
    c.SeriesSphereBig->Pointer().Transparency = 90;
    ResetView(c.Chart1, true);
    SetCubeRange(c.Chart1, 1.5 * UsableExtent(Settings.RealExtent));
    ResetView(c.Chart2, false);
    SetCubeRange(c.Chart2, 1.5 * UsableExtent(Settings.TwoK));
  }

  pool.ReciprocalLines.Free();
  pool.RealLines.Free();
  pool.PlaneSurfaces.Free();
  pool.RegionSurfaces.Free();

  Settings.Phi = 0;
  scene.Host.ResetPhiTrackBar();
}

void ShowUnitCell(TSceneContext& scene, const std::string& structure1Name) {
  ClearScenes(scene);
  TChartCatalogue& c = scene.Charts;
  c.Chart1.BottomAxis().SetMinMax(-0.75, 0.75);
  c.Chart1.LeftAxis().SetMinMax(-0.75, 0.75);
  c.Chart1.DepthAxis().SetMinMax(-0.75 * DepthFactor, 0.75 * DepthFactor);

  struct TKind {
    double Radius;
    TColor Colour;
  };
  const TKind kind1{0.2, Settings.BlackWhite ? clBlack : clBlue};
  TKind kind2{0.25, Settings.BlackWhite ? clWhite : clRed};
  if (structure1Name == "Si" || structure1Name == "Ge") kind2 = kind1;

  struct TAtom {
    double X, Y, Z;
    const TKind* Kind;
  };
  const TAtom atoms[] = {
      {-0.5, -0.5, -0.5, &kind1}, {0, 0, -0.5, &kind1},        {0, -0.5, 0, &kind1},
      {-0.5, 0, 0, &kind1},       {-0.25, -0.25, 0.25, &kind2}, {-0.25, 0.25, -0.25, &kind2},
      {0.25, -0.25, -0.25, &kind2}, {0.25, 0.25, 0.25, &kind2}, {0.5, 0.5, 0.5, &kind1},
      {0.5, -0.5, -0.5, &kind1},  {-0.5, 0.5, -0.5, &kind1},    {-0.5, -0.5, 0.5, &kind1},
      {0.5, 0.5, -0.5, &kind1},   {0.5, -0.5, 0.5, &kind1},     {-0.5, 0.5, 0.5, &kind1},
      {0, 0, 0.5, &kind1},        {0, 0.5, 0, &kind1},          {0.5, 0, 0, &kind1},
  };
  c.SeriesPoint->Clear();
  for (const TAtom& a : atoms) c.SeriesPoint->AddBubble(a.X, a.Y, a.Z, a.Kind->Radius, {}, a.Kind->Colour);
}

TTriSurfaceSeries* AddPlaneSurface(TSceneContext& scene, const TVisStructure& structure) {
  return AddPlaneSurface(scene, structure.SurfaceColour, structure.Slot);
}

TTriSurfaceSeries* AddPlaneSurface(TSceneContext& scene, TColor surfaceColour, int32_t slot) {
  auto* s = scene.Pool.Create<TTriSurfaceSeries>(scene.Pool.PlaneSurfaces, scene.Charts.Chart1);
  s->SetFastBrush(true);
  s->SetUseColorRange(false);
  s->Pen().Visible = false;
  s->SetSeriesColor(surfaceColour);
  s->Border().Color = clBlack;
  s->Border().Visible = Settings.BlackWhite && (slot == SlotAlone2 || slot == SlotBeside2);
  s->SetActive(scene.Host.PlanesShown());
  return s;
}

}  // namespace korvex
