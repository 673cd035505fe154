#include "scenes/RealSpace.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "geometry/Settings.h"
#include "geometry/VisStructure.h"
#include "scenes/FrameDrawing.h"
#include "scenes/ReciprocalAxes.h"
#include "scenes/SceneReset.h"

namespace korvex {

using namespace frame;

const std::array<std::array<int32_t, 2>, 12> BlockEdges{{{0, 1},
                                                         {0, 3},
                                                         {0, 4},
                                                         {1, 2},
                                                         {1, 5},
                                                         {2, 3},
                                                         {2, 6},
                                                         {3, 7},
                                                         {4, 5},
                                                         {4, 7},
                                                         {5, 6},
                                                         {6, 7}}};

namespace {

// Once all 100 plane surfaces exist, the points of further planes go into the last one; it
// takes no more than this many, so that a reflection whose planes lie closer than a chart
// can show (0 0 10000 and the like) still finishes at once.
constexpr int32_t SharedSurfacePointLimit = 10000;

TPoint3DSeries* AddRealLine(TSceneContext& scene, int32_t width, TColor colour) {
  auto* line = scene.Pool.Create<TPoint3DSeries>(scene.Pool.RealLines, scene.Charts.Chart1);
  line->Pointer().Visible = false;
  line->LinePen().Width = width;
  line->LinePen().Color = colour;
  return line;
}

// True when x lies between a and b, widened by the tolerance on both sides.
bool Within(double x, double a, double b) {
  return x >= std::min(a, b) - Tolerance && x <= std::max(a, b) + Tolerance;
}

// The vectors of the Bragg construction (part A of DrawPlanes).
struct TBraggConstruction {
  TVector P;   // on the normal of the planes, at the depth of the block
  TVector W1;  // P projected on the wavefront of K0 in the scattering plane
  TVector W2;  // P projected on the wavefront of Kh
};

TVector Projected(const TVector& v, const TVector& u) {
  TVector p;
  Project(v.x, v.y, v.z, u.x, u.y, u.z, p.x, p.y, p.z);
  return p;
}

TBraggConstruction DrawBraggConstruction(TSceneContext& scene, const TVisStructure& s,
                                         const TVector& n, const TBlockCorners& c) {
  TBraggConstruction b;
  const double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
  if (az >= ax && az >= ay) {
    b.P = (-std::fabs(c[0].z - c[4].z) / n.z) * n;
  } else if (ay > ax) {
    b.P = (-std::fabs(c[0].y - c[2].y) / n.y) * n;
  } else {
    b.P = (-std::fabs(c[0].x - c[2].x) / n.x) * n;
  }
  const TVector scatteringNormal = Cross(s.K0, s.Kh);
  b.W1 = Projected(b.P, Cross(s.K0, scatteringNormal));
  b.W2 = Projected(b.P, Cross(s.Kh, scatteringNormal));
  TVector3DSeries& lines = *scene.Charts.SeriesLines;
  for (const TVector* v : {&b.P, &b.W1, &b.W2}) AddArrow(lines, {}, *v, {}, clGray);
  return b;
}

// Part B: the beams that meet plane m at its foot point and the incident and diffracted wave
// trains between the wavefronts through the origin and that plane.
void DrawWaveDemonstration(TSceneContext& scene, const TVisStructure& s, const TVector& n,
                           double md, const TBraggConstruction& b) {
  const TVector q = (-md) * n;
  const double l = 1.5 * Settings.RealExtent;
  const TVector& k0 = s.K0;
  const TVector& kh = s.Kh;
  AddArrow(*scene.Charts.SeriesBeams, q - l * k0, q, "K0", s.IncidentColour);
  AddArrow(*scene.Charts.SeriesBeams, q, q + l * kh, "Kh", s.DiffractedColour);

  if (scene.Pool.RealLines.Count() >= WaveTrainLimit) return;
  // K0 parallel to Kh (back reflection) or a wavefront trace parallel to a beam leaves no
  // point where a train could start: the trains are left out rather than drawn from
  // not-a-number points.
  const double w1 = Length(b.W1);
  const double den1 = k0.z * b.W1.x - k0.x * b.W1.z;
  const double den2 = kh.z * b.W2.x - kh.x * b.W2.z;
  if (!(w1 >= Tolerance) || !(std::fabs(den1) >= Tolerance) || !(std::fabs(den2) >= Tolerance))
    return;

  const double k = s.WaveNumber;
  const TVector o1 = (-md * (k0.z * n.x - k0.x * n.z) / den1) * b.W1;
  const double l1 = Length(md * n + o1);
  const TVector o2 = (-md * (kh.z * n.x - kh.x * n.z) / den2) * b.W2;
  const double l2 = Length(md * n + o2);
  const TVector amp1 = (0.5 / w1) * b.W1;
  const TVector amp2 = (0.5 / w1) * b.W2;

  std::vector<TVector> points;
  points.reserve(202);
  for (int i = 0; i <= 100; ++i) {
    const double f = i / 100.0;
    const double phase = 2 * Pi * f * l1 * k;
    points.push_back(o1 + f * (q - o1) + std::sin(phase) * amp1);
  }
  for (int i = 0; i <= 100; ++i) {
    const double f = i / 100.0;
    const double phase = 2 * Pi * f * l2 * k + 2 * Pi * l1 * k;
    points.push_back(q + f * (o2 - q) + std::sin(phase) * amp2);
  }
  if (!std::all_of(points.begin(), points.end(), [](const TVector& p) { return Finite(p); }))
    return;

  auto* train = scene.Pool.Create<TPoint3DSeries>(scene.Pool.RealLines, scene.Charts.Chart1);
  train->Pointer().Visible = true;
  train->Pointer().Color = clFuchsia;
  train->Pointer().Size = 1;
  train->Pointer().Pen.Visible = false;
  train->LinePen().Width = scene.Pool.LineWidth / 2;
  train->LinePen().Color = clFuchsia;
  for (const TVector& p : points) AddPoint(*train, p, clMaroon);
}

bool AlongFrameAxis(const TVector& v) {
  const int zeros =
      (std::fabs(v.x) < Tolerance) + (std::fabs(v.y) < Tolerance) + (std::fabs(v.z) < Tolerance);
  return zeros >= 2;
}

}  // namespace

void ShowRealSpace(TSceneContext& scene, TVisStructure& structure) {
  DrawLatticeNodes(scene, structure);
  // The recompute before every command leaves K0 along the normal, where the demonstration
  // has no wavefront to start from; with "Sin" the beams of the reflection are solved here.
  if (Settings.BraggLaw) {
    structure.ReciprocalVector(Settings.Hkl[0], Settings.Hkl[1], Settings.Hkl[2],
                               structure.HVector.x, structure.HVector.y, structure.HVector.z);
    structure.SolveWaveVectors();
  }
  DrawPlanes(scene, structure, structure.Corners);
  DrawRealAxes(scene, structure);
  DrawReciprocalAxes(scene, structure);
  MarkReflection(scene, structure, Settings.Hkl[0], Settings.Hkl[1], Settings.Hkl[2]);
}

void DrawLatticeNodes(TSceneContext& scene, const TVisStructure& s) {
  TChartCatalogue& c = scene.Charts;
  if (s.Slot != SlotBeside2) {
    c.SeriesPoint->Clear();
    scene.Pool.RealLines.Free();
  }
  const int32_t n = Settings.NReal;
  int32_t lo, hi, l0, l1;
  if (n >= 0) {
    lo = -n;
    hi = n;
    l0 = s.Slot == SlotBeside2 ? 1 : -n;
    l1 = s.Slot == SlotBeside1 ? 0 : n;
  } else {
    lo = 0;
    hi = -n;
    l0 = 0;
    l1 = s.Slot == SlotBeside1 ? 0 : -n;
    // The edges of the block of cells.
    const double m = -n, mc = l1;
    const TVector& a = s.VecA;
    const TVector& b = s.VecB;
    const TVector& cc = s.VecC;
    const TBlockCorners cell{m * a + m * b + mc * cc, m * a + mc * cc, mc * cc,   m * b + mc * cc,
                             m * a + m * b,           m * a,           TVector{}, m * b};
    for (const auto& e : BlockEdges) {
      TPoint3DSeries* edge = AddRealLine(scene, scene.Pool.LineWidth, s.NodeColour);
      AddPoint(*edge, cell[static_cast<size_t>(e[0])], s.NodeColour);
      AddPoint(*edge, cell[static_cast<size_t>(e[1])], s.NodeColour);
    }
  }
  const double radius = 0.2 * s.LatticeA;
  for (int32_t j = lo; j <= hi; ++j) {
    for (int32_t k = lo; k <= hi; ++k) {
      for (int32_t l = l0; l <= l1; ++l) {
        AddBubble(*c.SeriesPoint, double(j) * s.VecA + double(k) * s.VecB + double(l) * s.VecC,
                  radius, s.NodeColour);
      }
    }
  }
}

void DrawRealAxes(TSceneContext& scene, const TVisStructure& s) {
  TVector3DSeries& axes = *scene.Charts.SeriesVec;
  const TVector& e = s.Extent;
  axes.Clear();
  AddArrow(axes, {1.25 * e.x, 0, 0}, {-1.1 * e.x, 0, 0}, "X", clBlack);
  AddArrow(axes, {0, 0, 1.2 * e.z}, {0, 0, -1.1 * e.z}, "Z", clBlack);
  AddArrow(axes, {0, 1.25 * e.y, 0}, {0, -1.1 * e.y, 0}, "Y", clBlack);
}

void DrawPlanes(TSceneContext& scene, const TVisStructure& s, const TBlockCorners& corners) {
  TChartCatalogue& c = scene.Charts;
  TPoolRange& surfaces = scene.Pool.PlaneSurfaces;
  if (s.Slot != SlotBeside2) {
    surfaces.Free();
    c.SeriesVec2->Clear();
    c.SeriesLines->Clear();
  }
  TVector h;
  s.ReciprocalVector(Settings.Hkl[0], Settings.Hkl[1], Settings.Hkl[2], h.x, h.y, h.z);
  const double hl = Length(h);
  if (!(hl >= Tolerance) || !std::isfinite(hl)) return;  // 0 0 0 has no planes
  const TVector n = (1 / hl) * h;
  const double d = 1 / (hl * std::max<int32_t>(1, Settings.PlaneDivisor));

  TBraggConstruction bragg;
  const bool demonstrate = Settings.BraggLaw;
  if (demonstrate) bragg = DrawBraggConstruction(scene, s, n, corners);
  const double reach = Length(bragg.P);
  const bool beamsUsable = !AlongFrameAxis(s.K0);

  // The plane through the origin is cut from the block with its top corners lifted, so that
  // on a slab whose top face lies at z = 0 it reaches above the surface.
  TBlockCorners lifted = corners;
  const double lift = 0.2 * (s.VecA.z + s.VecB.z + s.VecC.z);
  for (TVector& p : lifted) {
    if (p.z == 0) p.z = lift;
  }

  // Planes -M..M, of which only those that can meet the block are visited.
  const double diagonal = Length(corners[6] - corners[0]);
  const double half = std::trunc((Settings.NReal >= 0 ? 0.5 : 1.0) * diagonal / d) + 1;
  double lowest = INFINITY, highest = -INFINITY;
  for (const TVector& p : corners) {
    lowest = std::min(lowest, Dot(n, p));
    highest = std::max(highest, Dot(n, p));
  }
  // Plane m is n . r = -m d; one plane of slack on either side covers the tolerances, and the
  // plane through the origin is always tried (its lifted corners may reach further).
  const double mFrom = std::max(-half, std::min(0.0, std::floor(-highest / d) - 1));
  const double mTo = std::min(half, std::max(0.0, std::ceil(-lowest / d) + 1));
  if (!std::isfinite(mFrom) || !std::isfinite(mTo)) return;

  for (double mm = mFrom; mm <= mTo; ++mm) {
    const int64_t m = static_cast<int64_t>(mm);
    if (surfaces.Count() == TPoolRange::Capacity &&
        surfaces[TPoolRange::Capacity - 1]->Count() >= SharedSurfacePointLimit) {
      break;
    }
    const TBlockCorners& cs = m == 0 ? lifted : corners;
    const double md = static_cast<double>(m) * d;
    TTriSurfaceSeries* surface = nullptr;
    int32_t planeFirst = 0;  // the first point of this plane in surface
    for (const auto& e : BlockEdges) {
      const TVector& a = cs[static_cast<size_t>(e[0])];
      const TVector& b = cs[static_cast<size_t>(e[1])];
      const TVector ab = b - a;
      const double delta = Dot(ab, n);
      if (std::fabs(delta) < Tolerance) continue;  // the edge is parallel to the plane
      const TVector p = a + (-(Dot(n, a) + md) / delta) * ab;
      bool inside;
      if (std::fabs(b.x - a.x) >= Tolerance) {
        inside = Within(p.x, a.x, b.x);
      } else if (std::fabs(b.y - a.y) >= Tolerance) {
        inside = Within(p.y, a.y, b.y);
      } else {
        inside = Within(p.z, a.z, b.z);
      }
      if (!inside) continue;

      if (surface == nullptr) {
        if (surfaces.Counter < TPoolRange::Capacity - 1) {
          surface = AddPlaneSurface(scene, s);
          if (demonstrate && md > Tolerance && md <= reach + Tolerance && beamsUsable) {
            DrawWaveDemonstration(scene, s, n, md, bragg);
          }
        } else {
          surface = static_cast<TTriSurfaceSeries*>(surfaces[surfaces.Counter]);
        }
        planeFirst = surface->Count();
      }
      // A small shift off the plane keeps the triangulation of a plane seen edge-on apart
      // from its neighbours.
      const TVector shifted{p.x + 0.001 * (p.y + p.z), p.y + 0.001 * (p.x + p.z),
                            p.z + 0.001 * (p.x + p.y)};
      const TVector chart = ToChart(shifted);
      bool seen = false;
      // A plane through a corner meets several edges there; the corner counts once.
      for (int32_t i = planeFirst; i < surface->Count() && !seen; ++i) {
        seen = SameValue(surface->XValue(i), chart.x) && SameValue(surface->YValue(i), chart.y) &&
               SameValue(surface->ZValue(i), chart.z);
      }
      if (!seen) AddPoint(*surface, shifted);
    }
  }

  const double sign = s.Slot == SlotBeside1 ? -1 : 1;
  AddArrow(*c.SeriesVec2, {}, (sign / hl) * n, {}, s.VectorColour);
}

}  // namespace korvex
