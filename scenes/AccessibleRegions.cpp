#include "scenes/AccessibleRegions.h"

#include <algorithm>
#include <cmath>

#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/ReciprocalDrawing.h"

namespace korvex {

using frame::operator+;
using frame::operator-;
using frame::operator*;

namespace {

// The root of a height, 0 where it is not positive.
double RootOrZero(double v) { return v > 0 ? std::sqrt(v) : 0.0; }

// "MaxPoints" below 1 would leave the grid without a step.
int32_t GridPoints() { return std::max<int32_t>(1, Settings.MaxPoints); }

double UsableTwoK() { return std::isfinite(Settings.TwoK) ? Settings.TwoK : 0.0; }

TVector Rotated(const TVector& v, double angle, const TVector& axis) {
  TVector r = v;
  RotateVector(angle, v.x, v.y, v.z, axis.x, axis.y, axis.z, r.x, r.y, r.z);
  return r;
}

void AddFace(TSceneContext& scene, bool shown, std::initializer_list<TVector> corners) {
  auto* face = scene.Pool.Create<TSurfaceSeries>(scene.Pool.RegionSurfaces, scene.Charts.Chart2);
  face->SetIrregularGrid(true);
  face->SetTransparency(0);
  face->SetFastBrush(true);
  face->SetUseColorRange(false);
  face->Pen().Visible = true;
  face->SetSeriesColor(clGray);
  face->SetActive(shown);
  for (const TVector& p : corners) recip::AddSurfacePoint(*face, p.x, p.y, p.z);
}

}  // namespace

void DrawClassicalSpheres(TSceneContext& scene, const TVisStructure& s) {
  TChartCatalogue& c = scene.Charts;
  const double twoK = UsableTwoK();
  const double k = twoK / 2;
  c.SeriesSphereBig->Clear();
  c.SeriesSphereBig->Pointer().Transparency = 80;
  recip::AddNode(*c.SeriesSphereBig, {}, twoK, {}, clRed);
  c.SeriesSphereSmall->Clear();
  c.SeriesSphereSmall->Pointer().Transparency = 15;
  recip::AddNode(*c.SeriesSphereSmall, k * s.SurfaceDirection, k, {}, clGreen);
  recip::AddNode(*c.SeriesSphereSmall, -(k * s.SurfaceDirection), k, {}, clGreen);

  // The "Spheres" switch shows the grazing spheres together with the block.
  const bool shown = c.SeriesSphereSmall->Active();
  scene.Pool.RegionSurfaces.Free();
  const double r = 1.05 * twoK, r2 = 1.05105 * twoK;
  AddFace(scene, shown, {{-r, -r, 0}, {r, -r, 0}, {-r, r, 0}, {r, r, 0}});
  AddFace(scene, shown, {{-r, -r, -r}, {r, -r, -r}, {-r, r, -r}, {r, r, -r}});
  AddFace(scene, shown, {{-r, -r, 0}, {-r, -r2, -r}, {r, -r2, -r}, {r, -r, 0}});
  AddFace(scene, shown, {{r, r, 0}, {r, r2, -r}, {-r, r2, -r}, {-r, r, 0}});
  AddFace(scene, shown, {{-r, r, 0}, {-r2, r, -r}, {-r2, -r, -r}, {-r, -r, 0}});
  AddFace(scene, shown, {{r, r, 0}, {r2, r, -r}, {r2, -r, -r}, {r, -r, 0}});
  AddFace(scene, shown, {{r, r, 0}, {r - 0.1, r - 0.1, -r}, {-r + 0.1, -r + 0.1, -r}, {-r, -r, 0}});

  const int32_t m = GridPoints();
  for (int32_t i = -m; i <= m; ++i) {
    const double phi = i * Pi / m;
    const TVector v = Rotated({k, 0, 0}, phi, s.SurfaceNormal);
    recip::AddLinePoint(*c.SeriesCircle1, v + TVector{k, 0, 0}, clRed);
    recip::AddLinePoint(*c.SeriesCircle3, v - TVector{k, 0, 0}, clRed);
    recip::AddLinePoint(*c.SeriesCircle2, Rotated({twoK, 0, 0}, phi, s.SurfaceNormal), clRed);
    recip::AddLinePoint(*c.SeriesCircle4, Rotated({0, 0, twoK}, phi / 2, s.IncidencePlaneNormal), clRed);
  }
}

void DrawAccessibleRegions(TSceneContext& scene, const TVisStructure&) {
  TChartCatalogue& c = scene.Charts;
  for (TSurfaceSeries* surface : {c.SeriesSurfUp, c.SeriesSurfDwn, c.SeriesSurfKh0, c.SeriesSurfK00, c.SeriesLaueKh,
                                  c.SeriesTor1, c.SeriesTor2, c.SeriesTor3, c.SeriesTor4, c.SeriesBraggFull}) {
    surface->Clear();
    surface->Pen().Visible = true;
  }
  c.SeriesSurfUp->SetTransparency(70);
  c.SeriesSurfUp->Pen().Color = clBlack;
  for (TSurfaceSeries* surface : {c.SeriesLaueKh, c.SeriesTor1, c.SeriesTor2, c.SeriesTor3, c.SeriesTor4,
                                  c.SeriesBraggFull}) {
    surface->SetTransparency(50);
  }

  const int32_t big = GridPoints();
  const int32_t small = Settings.Octant ? 0 : big;
  const int32_t wide = Settings.SquareXY ? 2 : 1;
  const double twoK = UsableTwoK();
  const double k = twoK / 2, k2 = k * k;
  const double d = 0.505 * twoK / big;

  // Over all azimuths: the torus swept by the grazing spheres and the limiting hemisphere.
  for (int32_t i = -2 * small; i <= 2 * big; ++i) {
    for (int32_t j = -2 * big; j <= 2 * small; ++j) {
      const double x = i * d, y = j * d;
      const double rho2 = x * x + y * y;
      const double t = 2 * k * std::sqrt(rho2) - rho2;
      recip::AddSurfacePoint(*c.SeriesTor1, x, y, RootOrZero(t));
      recip::AddSurfacePoint(*c.SeriesTor2, x, y, -RootOrZero(t));
      recip::AddSurfacePoint(*c.SeriesBraggFull, x, y, RootOrZero(4 * k2 - rho2));
    }
  }

  // For the plane of incidence: the bounds of the Bragg and Laue regions.
  for (int32_t i = -2 * small; i <= 2 * big; ++i) {
    const double x = i * d;
    for (int32_t j = -wide * big; j <= wide * small; ++j) {
      const double y = j * d;
      const double t = 2 * k * std::fabs(x) - x * x - y * y;
      const double b1 = 2 * (x * x - y * y);
      const double c1 = Sqr(x * x + y * y) - 4 * x * x * k2;
      double d1 = b1 * b1 - 4 * c1;
      if (x == 0 && std::fabs(y) > k) d1 = -1;
      if (std::fabs(d1) < Tolerance) d1 = 0;
      // Height of the lowest exit grazing the surface: the lower bound of the Laue region
      // above the crystal surface, and of the Bragg region below its upper bound.
      double grazing;
      if (d1 >= 0) {
        const double u1 = (std::sqrt(d1) - b1) / 2;
        const double u2 = (-b1 - std::sqrt(d1)) / 2;
        grazing = RootOrZero(u2);
        recip::AddSurfacePoint(*c.SeriesLaueKh, x, y, RootOrZero(u1));
        recip::AddSurfacePoint(*c.SeriesSurfDwn, x, y, RootOrZero(t));
      } else {
        grazing = RootOrZero(k2 - x * x);
        recip::AddSurfacePoint(*c.SeriesSurfDwn, x, y, 0);
      }
      recip::AddSurfacePoint(*c.SeriesSurfKh0, x, y, grazing);

      const double b2 = 2 * (x * x + y * y - 2 * k2);
      const double d2 = b2 * b2 - 4 * c1;
      // Lower bound of the Laue region. Inside the two grazing circles it is the lower halves of
      // the grazing spheres. Outside them the lowest node is not reached at a grazing exit but
      // between both grazing waves, where the height stops falling as the incident wave turns:
      // u^2 + b2 u + c1 = 0, whose larger root bounds the Bragg region above, has it as its
      // smaller root (0 where that is negative). Past |y| = K (D1 < 0) nothing is reachable and
      // the bound stays at the grazing height, on the closing rows of SeriesLaueKh.
      double laueLow = grazing;
      if (d1 >= 0) laueLow = t >= 0 ? -std::sqrt(t) : RootOrZero((-b2 - RootOrZero(d2)) / 2);
      recip::AddSurfacePoint(*c.SeriesSurfK00, x, y, laueLow);

      double e;
      if (d2 >= 0) {
        e = (std::sqrt(d2) - b2) / 2;
        if (e < 0) e = (-b2 - std::sqrt(d2)) / 2;
      } else {
        e = k2 - x * x;
      }
      recip::AddSurfacePoint(*c.SeriesSurfUp, x, y, RootOrZero(e));
    }
    const double v = RootOrZero(k2 - x * x);
    recip::AddSurfacePoint(*c.SeriesLaueKh, x, -k, v);
    if (!Settings.Octant) recip::AddSurfacePoint(*c.SeriesLaueKh, x, k, v);
  }
}

void DrawKhSphere(TSceneContext& scene, const TVisStructure& s, bool clear) {
  TBubble3DSeries& sphere = *scene.Charts.SeriesSphereKh;
  if (clear) sphere.Clear();
  recip::AddNode(sphere, -s.K0, s.WaveNumber, {}, clAqua);
}

void DrawResolutionPlanes(TSceneContext& scene, const TVisStructure& s) {
  TChartCatalogue& c = scene.Charts;
  c.SeriesSurfResPlane->Clear();
  c.SeriesSurfIncRes->Clear();
  const double twoK = UsableTwoK();
  for (int i = 0; i < 4; ++i) {
    TVector p = Rotated({twoK, twoK, 0}, i * Pi / 2 - Settings.Phi, {0, 0, 1});
    p.z = 0;
    recip::AddSurfacePoint(*c.SeriesSurfResPlane, p.x, p.y, p.z);
  }
  const TVector& n = s.IncidencePlaneNormal;
  for (int j = 0; j < 2; ++j) {
    for (int kk = 0; kk < 2; ++kk) {
      const double p = j == 0 ? twoK : -twoK;
      const double q = kk == 0 ? twoK : -twoK;
      double x = 0, y = 0, z = 0;
      if (std::fabs(n.z) > Tolerance) {
        x = p, y = q, z = -(n.x * x + n.y * y) / n.z;
      } else if (std::fabs(n.y) > Tolerance) {
        x = p, z = q, y = -(n.x * x + n.z * z) / n.y;
      } else if (std::fabs(n.x) > Tolerance) {
        y = p, z = q, x = -(n.z * z + n.y * y) / n.x;
      }
      // Two corners sharing a zero coordinate are moved apart, so the square never lies
      // along a line of the triangulation.
      const double apart = kk == 0 ? 0.0 : 0.001;
      for (double* v : {&x, &y, &z}) {
        if (std::fabs(*v) <= Tolerance) *v = apart;
      }
      recip::AddSurfacePoint(*c.SeriesSurfIncRes, x, y, z);
    }
  }
}

}  // namespace korvex
