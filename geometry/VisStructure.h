// One crystal in the diffraction experiment: its lattice and reciprocal lattice in the frame of
// the sample surface, the reflection vector H, the wave vectors K0 and Kh with their angles,
// the block corners, its palette and the cached reflection strengths.
//
// The frame: z is the outward surface normal (the crystal occupies z < 0), x lies in the
// surface and in the plane of incidence, y is normal to the plane of incidence. Lengths in
// angstrom, reciprocal lengths in 1/angstrom without 2 pi, angles in radians.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "geometry/Settings.h"
#include "geometry/Vector.h"

namespace korvex {

class TCompositeStructure;
class TVisStructure;

// The largest lattice parameter the parameters dialog may set, A; larger cells are refused
// with a message and the structure's own lattice is used.
inline constexpr double MaxManualLattice = 10000;

// Colours in BGR order: 0x0000FF is red, 0xFF0000 is blue.
using TColor = std::uint32_t;

// What the geometry asks of the window above it. The window implements it; the geometry never
// includes a window, chart or scene header.
class TGeometryHost {
 public:
  virtual ~TGeometryHost() = default;
  // After every solution of SolveWaveVectors: show the angles (the window writes its settings
  // back, the angle labels included).
  virtual void ShowAngles(const TVisStructure& solved) = 0;
  // From Setup: blackWhite on shows the outline pens of the point styles of SeriesPoint and
  // SeriesPointRes and makes the marks of SeriesVecRecipr opaque; off hides those pens and
  // makes the marks transparent.
  virtual void StyleBlackWhite(bool blackWhite) = 0;
};

// One cached reflection: the sorted absolute indices, smallest first, and its susceptibilities.
struct ReflectionRecord {
  std::array<int32_t, 3> Key{};
  double Chi0Re = 0, Chi0Im = 0, ChiMinusRe = 0, ChiMinusIm = 0, ChiHRe = 0, ChiHIm = 0;
};

class TVisStructure {
 public:
  // Reads and writes the given settings record (the process-wide one unless told otherwise).
  explicit TVisStructure(TSettings& settings = korvex::Settings);
  ~TVisStructure();
  TVisStructure(const TVisStructure&) = delete;
  TVisStructure& operator=(const TVisStructure&) = delete;

  // Loads the crystal data for StructureName at Settings.Lambda, the manual lattice, MaxIndex
  // and the palette for the slot (0, 1, 2 or 12). Sets WaveNumber to 1 / Settings.Lambda, or to
  // (1 + Chi0Re / 2) / Settings.Lambda with Settings.UseRefraction. False, with Message set,
  // when the name could not be loaded (lattice 1 A, Poisson ratio 0.5) or the wavelength is
  // not positive (then the last usable wavelength, 1.54 A at first, stands in for it).
  bool Setup(int32_t slot);

  // MaxIndex from the longest lattice edge and WaveNumber, limited by Settings.NRecMax. Setup
  // runs it; ApplyStrain runs it again for the layer after changing its lattice.
  void UpdateMaxIndex();

  // Lattice and reciprocal vectors in the surface frame from Settings.Normal,
  // Settings.IncPlanePoint and Settings.Phi; block corners; H of Settings.Hkl. Rewrites
  // Settings.IncPlanePoint into the whole-number indices of the frame's x direction. False,
  // with Message set, when a substitute had to be used (cell that gives no lattice, normal
  // 0 0 0, plane point along the normal); the vectors are then finite all the same.
  bool ComputeGeometry();

  // h RecA + k RecB + l RecC.
  void ReciprocalVector(int32_t h, int32_t k, int32_t l, double& x, double& y, double& z) const;

  // K0 and Kh of the reflection HVector, with the three angles. An unreachable reflection
  // gives zero K0, Kh and angles and a substitute pair in K0Second, KhSecond.
  void SolveWaveVectors();

  // Relative strength of reflection h k l: 0.4 with Settings.UseHi off, otherwise
  // sqrt(|chi(-h)| |chi(h)|) / |chi0| from a cache shared by all sign changes and
  // permutations of the indices.
  double ReflectionStrength(int32_t h, int32_t k, int32_t l);

  // The cache, emptied by Setup when StructureName differs from the name it was filled for.
  int32_t CacheCount() const { return static_cast<int32_t>(ReflectionCache_.size()); }
  const std::string& CacheName() const { return CacheName_; }

  void SetHost(TGeometryHost* host) { Host_ = host; }

  std::string StructureName;
  bool InUse = false;
  double IncidenceAngle = 0;   // between K0 and the surface plane
  double ScatteringAngle = 0;  // between K0 and Kh (2 theta)
  double ExitAngle = 0;        // between Kh and the surface plane
  double LatticeA = 0, LatticeB = 0, LatticeC = 0;
  double Alpha = Pi / 2, Beta = Pi / 2, Gamma = Pi / 2;
  // Used when all three exceed 1e-10 and none exceeds MaxManualLattice.
  double ManualA = 0, ManualB = 0, ManualC = 0;
  double PoissonRatio = 0;
  double WaveNumber = 1 / 1.54;
  std::unique_ptr<TCompositeStructure> Composite;
  TVector HVector;
  TVector IncidencePlaneNormal;
  TVector SurfaceDirection;
  TVector ScatteringPlaneNormal;
  TVector SurfaceNormal;
  int32_t MaxIndex = 0;
  TVector VecA, VecB, VecC;
  TVector RecA, RecB, RecC;
  TVector Extent;
  TVector K0, Kh;
  TVector K0Second, KhSecond;
  double OutOfPlaneAngle = 0;  // turn of Kh out of the scattering plane; 0 = none
  double AzimuthAngle = 0;     // turn of K0, Kh and the scattering-plane normal about z
  // While the azimuth fan of the detector view runs its scans, Setup keeps AzimuthAngle.
  bool AzimuthFanActive = false;
  int32_t Slot = 0;
  TColor NodeColour = 0;
  TColor VectorColour = 0;
  TColor SurfaceColour = 0;
  TColor IncidentColour = 0;
  TColor DiffractedColour = 0;
  std::array<TVector, 8> Corners{};
  std::array<TVector, 4> DetectorCorners{};
  // What went wrong in the last Setup, ApplyStrain or ComputeGeometry; empty when nothing did.
  std::string Message;

 private:
  void SetPalette();
  void AddMessage(const std::string& text);
  bool BuildLattice(double& a, double& b, double& c, double& alpha, double& beta, double& gamma);

  TSettings& Settings;
  TGeometryHost* Host_ = nullptr;
  double LastLambda_ = 1.54;
  // The last lattice that gave a valid cell; a cell that gives none falls back on it.
  double ValidA_ = 1, ValidB_ = 1, ValidC_ = 1;
  double ValidAlpha_ = Pi / 2, ValidBeta_ = Pi / 2, ValidGamma_ = Pi / 2;
  std::vector<ReflectionRecord> ReflectionCache_;
  struct KeyHash {
    size_t operator()(const std::array<int32_t, 3>& k) const noexcept;
  };
  std::unordered_map<std::array<int32_t, 3>, size_t, KeyHash> CacheIndex_;
  std::string CacheName_;
};

// The layer strain rule on structure 2 (layer) against structure 1 (substrate), with
// Settings.RelaxationText as mode; see ComputeStrain. Writes the layer's lattice, rewrites the
// mode text into the strain and updates the layer's MaxIndex. When the rule is refused the
// layer keeps its lattice, the text stays and the layer's Message says why; returns false.
bool ApplyStrain(TVisStructure& substrate, TVisStructure& layer,
                 TSettings& settings = korvex::Settings);

// The structure part of every command's recompute, after the controls have been read into
// settings (whose Lambda must be valid): the wave numbers, the slots (two structures in use
// force the normal 0 0 1), Setup of both structures, the layer strain, the geometry of each
// structure in use and the derived values of settings.
void ComputeStructures(TVisStructure& s1, TVisStructure& s2,
                       TSettings& settings = korvex::Settings);

}  // namespace korvex
