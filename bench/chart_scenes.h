#pragma once
// Scenes for the chart demo and the chart benchmarks: the whole series catalogue
// filled with typical content, a light scene and the heaviest scene the program makes.
#include <cmath>
#include <string>
#include <vector>

#include "chart/Catalogue.h"

namespace korvex::chartdemo {

inline constexpr double kPi = 3.14159265358979323846;

inline void SetBox(TChart& c, double e) {
  c.View3DOptions().SetZoom(100);
  c.View3DOptions().SetTilt(0);
  c.View3DOptions().SetElevation(345);
  c.View3DOptions().SetRotation(345);
  for (TChartAxis* a : {&c.BottomAxis(), &c.LeftAxis(), &c.DepthAxis()}) a->SetAutomatic(false);
  c.BottomAxis().SetMinMax(-1.5 * e, 1.5 * e);
  c.LeftAxis().SetMinMax(-1.5 * e, 1.5 * e);
  c.DepthAxis().SetMinMax(-1.5 * e / 1.255, 1.5 * e / 1.255);
}

// A plane n.r = d cut to the cube |x|,|y|,|z| <= h, as edge crossings (like the lattice
// planes of the real-space scene).
inline void AddCutPlane(TTriSurfaceSeries* s, const double n[3], double d, double h) {
  const int corners[8][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                             {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
  const int edges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6}, {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
  for (const auto& e : edges) {
    double a[3], b[3];
    for (int k = 0; k < 3; ++k) {
      a[k] = h * corners[e[0]][k];
      b[k] = h * corners[e[1]][k];
    }
    const double da = n[0] * a[0] + n[1] * a[1] + n[2] * a[2] - d;
    const double db = n[0] * b[0] + n[1] * b[1] + n[2] * b[2] - d;
    if ((da > 0) == (db > 0) || std::fabs(da - db) < 1e-12) continue;
    const double t = da / (da - db);
    s->AddXYZ(a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1]), a[2] + t * (b[2] - a[2]));
  }
}

// Every series of both charts gets content, the way the scenes fill them.
inline void FillCatalogue(TChartCatalogue& cat) {
  TChart& c1 = cat.Chart1;
  TChart& c2 = cat.Chart2;
  SetBox(c1, 0.5);
  SetBox(c2, 1.3);
  // Real space: a zinc-blende cell (chart X, Y up, Z depth).
  const double a1[][3] = {{-0.5, -0.5, -0.5}, {0, 0, -0.5}, {0, -0.5, 0}, {-0.5, 0, 0}, {0.5, 0.5, 0.5},
                          {0.5, -0.5, -0.5},  {-0.5, 0.5, -0.5}, {-0.5, -0.5, 0.5}, {0.5, 0.5, -0.5},
                          {0.5, -0.5, 0.5},   {-0.5, 0.5, 0.5},  {0, 0, 0.5},  {0, 0.5, 0}, {0.5, 0, 0}};
  const double a2[][3] = {{-0.25, -0.25, 0.25}, {-0.25, 0.25, -0.25}, {0.25, -0.25, -0.25}, {0.25, 0.25, 0.25}};
  for (const auto& p : a1) cat.SeriesPoint->AddBubble(p[0], p[1], p[2], 0.1, "", clBlue);
  for (const auto& p : a2) cat.SeriesPoint->AddBubble(p[0], p[1], p[2], 0.125, "", clRed);
  cat.SeriesSpheres->AddBubble(0.55, 0.55, -0.55, 0.05, "", clGreen);
  // Crystal surface and plane of incidence.
  cat.SeriesSurf->Clear();
  for (double x : {-0.6, 0.6})
    for (double z : {-0.6, 0.6}) cat.SeriesSurf->AddXYZ(x, 0.5, z);
  cat.SeriesSurf->SetSeriesColor(0xE0E0E0);
  cat.SeriesSurf->Border().Color = clBlack;
  cat.SeriesSurfInc->SetActive(true);
  cat.SeriesSurfInc->SetTransparency(60);
  for (double x : {-0.7, 0.7})
    for (double y : {-0.7, 0.7}) cat.SeriesSurfInc->AddXYZ(x, y, 0.0);
  // Lattice planes: run-time series owned by Chart1, one of them vertical.
  for (int m = -1; m <= 1; ++m) {
    auto* plane = c1.CreateSeries<TTriSurfaceSeries>("plane");
    plane->SetFastBrush(true);
    plane->SetUseColorRange(false);
    plane->Pen().Visible = false;
    plane->SetSeriesColor(0xFFC080);
    plane->SetTransparency(40);
    const double n[3] = {1 / std::sqrt(2.0), 0, 1 / std::sqrt(2.0)};
    AddCutPlane(plane, n, 0.35 * m, 0.5);
  }
  // Axes with marks, beams, lines.
  cat.SeriesVec->AddVector(0.7, -0.5, -0.5, -0.5, -0.5, -0.5, "X", clRed);
  cat.SeriesVec->AddVector(-0.5, 0.7, -0.5, -0.5, -0.5, -0.5, "Z", clBlue);
  cat.SeriesVec->AddVector(-0.5, -0.5, 0.7, -0.5, -0.5, -0.5, "Y", clGreen);
  cat.SeriesVec2->AddVector(0, 0, 0, 0.2, 0.2, 0, "", 0x00A0FF);
  cat.SeriesLines->AddVector(0, 0, 0, 0, -0.4, 0.3, "", clGray);
  cat.SeriesBeams->AddVector(-0.9, 1.0, 0, 0, 0.5, 0, "K0", clRed);
  cat.SeriesBeams->AddVector(0, 0.5, 0, 0.9, 1.0, 0, "Kh", clBlue);
  cat.SeriesBeams2->AddVector(0, 0.5, 0, 0.9, 0.8, 0, "", clPurple);
  cat.SeriesBeams->Marks().Visible = true;
  for (int i = -2; i <= 2; ++i) cat.SeriesDetector->AddXYZ(1.1 + 0.05 * i, 1.2, 0.05 * i, "", clNavy);
  cat.SeriesRealPSD->Clear();
  for (double d : {-0.15, 0.15})
    for (double e : {-0.15, 0.15}) cat.SeriesRealPSD->AddXYZ(1.1 + d, 1.1 + d, e);
  cat.SeriesRealPSDpoints->AddBubble(1.1, 1.1, 0, 0.03, "", clRed);

  // Reciprocal space: nodes with hkl labels, axes, wave vectors, spheres, regions.
  const double K = 0.65;
  cat.SeriesPointRes->Marks().Visible = true;
  for (int h = -2; h <= 2; ++h)
    for (int l = 0; l <= 4; ++l) {
      const std::string lab = std::to_string(std::abs(h)) + "0" + std::to_string(l);
      cat.SeriesPointRes->AddBubble(0.25 * h, 0.25 * l - 0.6, 0, 0.035, (h < 0 ? "-" : "") + lab,
                                    (h == 0 && l == 4) ? clRed : clBlue);
    }
  cat.SeriesVecRecipr->AddVector(1.2, -0.6, 0, 0, -0.6, 0, "100", clBlack);
  cat.SeriesVecRecipr->AddVector(0, -0.6, 1.0, 0, -0.6, 0, "010", clBlack);
  cat.SeriesVecRecipr->AddVector(0, 0.8, 0, 0, -0.6, 0, "001", clBlack);
  cat.SeriesVecRecipr2->AddVector(0, -0.6, 0, 0, 0.4, 0, "", clGreen);
  cat.SeriesBeamsRec->AddVector(-0.45, -0.1, 0, 0, -0.6, 0, "", clRed);
  cat.SeriesBeamsRec->AddVector(-0.45, -0.1, 0, 0, 0.4, 0, "", clBlue);
  cat.SeriesBeamsRec2->AddVector(-0.45, -0.1, 0, 0.3, 0.2, 0, "", clPurple);
  cat.SeriesSphereBig->SetActive(true);
  cat.SeriesSphereBig->Pointer().Transparency = 85;
  cat.SeriesSphereBig->AddBubble(0, -0.6, 0, 2 * K, "", clRed);
  cat.SeriesSphereSmall->SetActive(true);
  cat.SeriesSphereSmall->Pointer().Transparency = 60;
  cat.SeriesSphereSmall->AddBubble(K, -0.6, 0, K, "", clGreen);
  cat.SeriesSphereSmall->AddBubble(-K, -0.6, 0, K, "", clGreen);
  cat.SeriesSphereKh->AddBubble(-0.45, -0.1, 0, 0.2, "", clAqua);
  for (TPoint3DSeries* c : {cat.SeriesCircle1, cat.SeriesCircle2, cat.SeriesCircle3, cat.SeriesCircle4}) c->SetActive(true);
  for (int i = -30; i <= 30; ++i) {
    const double f = i * kPi / 30;
    cat.SeriesCircle1->AddXYZ(K * std::cos(f) + K, -0.6, K * std::sin(f));
    cat.SeriesCircle3->AddXYZ(K * std::cos(f) - K, -0.6, K * std::sin(f));
    cat.SeriesCircle2->AddXYZ(2 * K * std::cos(f), -0.6, 2 * K * std::sin(f));
    cat.SeriesCircle4->AddXYZ(2 * K * std::cos(f / 2 + kPi / 2), -0.6 + 2 * K * std::sin(f / 2 + kPi / 2), 0);
  }
  // A region surface: the upper Bragg bound like shape, transparent.
  cat.SeriesSurfUp->SetActive(true);
  cat.SeriesSurfUp->SetTransparency(70);
  cat.SeriesSurfUp->Pen().Visible = false;
  const int M = 20;
  for (int i = -M; i <= M; ++i)
    for (int j = -M; j <= M; ++j) {
      const double x = 1.2 * K * i / M, z = 1.2 * K * j / M;
      const double t = 4 * K * K - x * x - z * z;
      cat.SeriesSurfUp->AddXYZ(x, -0.6 + (t > 0 ? std::sqrt(t) : 0) - K, z);
    }
  cat.SeriesSurfResPlane->Clear();
  for (double x : {-2 * K, 2 * K})
    for (double z : {-2 * K, 2 * K}) cat.SeriesSurfResPlane->AddXYZ(x, -0.6, z);
  cat.SeriesSurfResPlane->SetTransparency(50);
  cat.SeriesSurfIncRes->SetActive(true);
  cat.SeriesSurfIncRes->SetTransparency(50);
  for (double x : {-2 * K, 2 * K})
    for (double y : {-2 * K, 2 * K}) cat.SeriesSurfIncRes->AddXYZ(x, -0.6 + y, 0.001 * (x > 0));
}

// Light scene: 200 spheres, 30 arrows, 2 planes.
inline void FillLight(TChart& c) {
  SetBox(c, 1.0);
  auto* s = c.CreateSeries<TBubble3DSeries>("spheres");
  s->LinePen().Visible = false;
  for (int i = 0; i < 200; ++i) {
    const double a = i * 0.61803398875 * 2 * kPi, r = 1.2 * std::sqrt((i + 0.5) / 200.0);
    s->AddBubble(r * std::cos(a), 0.6 * std::sin(i * 0.37), r * std::sin(a), 0.06, "", i % 2 ? clBlue : clRed);
  }
  auto* v = c.CreateSeries<TVector3DSeries>("arrows");
  v->Pen().Width = 3;
  v->EndArrow().Width = 3;
  for (int i = 0; i < 30; ++i) {
    const double a = i * 2 * kPi / 30;
    v->AddVector(0, 0, 0, 1.3 * std::cos(a), 0.8 * std::sin(3 * a), 1.3 * std::sin(a), "", clGreen);
  }
  for (int k = 0; k < 2; ++k) {
    auto* p = c.CreateSeries<TTriSurfaceSeries>("plane");
    p->SetUseColorRange(false);
    p->SetSeriesColor(k ? clYellow : clGray);
    p->SetTransparency(40);
    p->Pen().Visible = false;
    const double n0[3] = {0, 1, 0}, n1[3] = {1, 0, 0};
    AddCutPlane(p, k ? n1 : n0, 0.0, 1.4);
  }
}

// Heaviest scene: ten 121 x 121 height fields with transparency, 10 000 spheres,
// 1 000 labelled arrows.
// parts: 1 surfaces, 2 spheres, 4 arrows.
inline void FillHeavy(TChart& c, int parts = 7) {
  SetBox(c, 1.0);
  for (int k = 0; k < 10 && (parts & 1); ++k) {
    auto* s = c.CreateSeries<TSurfaceSeries>("surface");
    s->SetIrregularGrid(true);
    s->SetUseColorRange(false);
    s->SetSeriesColor(k % 2 ? clLime : clYellow);
    s->SetTransparency(50);
    s->Pen().Visible = false;
    s->SetFastBrush(true);
    for (int i = -60; i <= 60; ++i)
      for (int j = -60; j <= 60; ++j) {
        const double x = i / 40.0, z = j / 40.0;
        s->AddXYZ(x, -1.2 + 0.25 * k + 0.1 * std::sin(3 * x + k) * std::cos(2 * z), z);
      }
  }
  auto* b = c.CreateSeries<TBubble3DSeries>("nodes");
  b->LinePen().Visible = false;
  for (int i = 0; i < 10000 && (parts & 2); ++i)
    b->AddBubble(-1.4 + 0.14 * (i % 21), -1.4 + 0.14 * ((i / 21) % 21), -1.1 + 0.1 * (i / 441), 0.025, "",
                 i % 3 ? clBlue : clRed);
  auto* v = c.CreateSeries<TVector3DSeries>("arrows");
  v->Marks().Visible = true;
  v->Marks().Transparent = true;
  v->Pen().Width = 2;
  v->EndArrow().Width = 2;
  for (int i = 0; i < 1000 && (parts & 4); ++i) {
    const double a = i * 0.61803398875 * 2 * kPi, r = 1.4 * std::sqrt((i + 0.5) / 1000.0);
    v->AddVector(0, 0, 0, r * std::cos(a), 1.0 * std::sin(i * 0.13), r * std::sin(a), std::to_string(i % 1000),
                 clMaroon);
  }
}

}  // namespace korvex::chartdemo
