// The process-wide settings record: every value the user can set in the main window and the
// parameters dialog, plus the values the recompute cycle derives from them. Scene builders
// read this record and the two diffraction-geometry objects, never a control.
//
// Units: angles in radians (typed in degrees), lengths in angstrom, reciprocal lengths in
// 1/angstrom without the factor 2 pi, detector sizes in metres.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvex {

inline constexpr double DegToRad = 3.141592653589793 / 180;
inline constexpr double RadToDeg = 180 * 0.3183098861837907;

// The record starts with the values the window's controls show when it opens, so a program
// without a window can use it as it stands.
struct TSettings {
  double Lambda = 1.54;              // EditLambda, angstrom
  std::string RelaxationText = "a";  // EditRelaxation; rewritten by ApplyStrain
  std::array<int32_t, 3> Hkl{0, 0, 4};
  std::array<int32_t, 3> Normal{0, 0, 1};
  std::array<int32_t, 3> IncPlanePoint{0, 1, 0};  // rewritten by ComputeGeometry
  double OmegaShift = 0;                          // rad
  double TwoThetaShift = 0;                       // rad
  double OmegaRange = 60 * DegToRad;              // rad
  double Phi = 0;                                 // rad, EditFi and TrackBarFi
  double ScanN = 2;                               // for Omega/N-Theta scans, no angle conversion
  bool OmegaScan = false;
  bool TwoThetaScan = false;
  bool OnlyBragg = false;
  bool OnlyLaue = false;
  bool UseHi = false;
  bool BothBeams = false;
  bool BraggCircle = false;
  bool DetectorView = false;
  bool Tilt = false;
  bool BindCharts = false;
  bool Octant = false;
  bool MultiBeam = false;
  bool BraggLaw = false;
  int32_t PlaneDivisor = 1;  // 2 when CheckBoxDivisible is on, else 1
  bool BlackWhite = false;
  bool FastMove = false;
  double DetectorDistance = 2;  // m
  double DetectorSize = 1;      // m
  // Parameters dialog.
  int32_t NReal = 2;
  int32_t NRecMax = 20;
  std::array<int32_t, 3> NRecLimit{0, 0, 0};
  int32_t AnimSteps = 50;
  int32_t MaxPoints = 30;
  bool SquareXY = false;
  bool UseRefraction = false;
  // Derived by the recompute cycle.
  double TwoK = 2 / 1.54;  // 2 / Lambda, 1/angstrom
  double RealExtent = 0;   // |NReal| * LatticeA of structure 1, angstrom
  double NodeRadius = 0;   // 0.1 or 0.2 / LatticeA of structure 1, 1/angstrom
  int32_t TimerTicks = 0;  // 0 after every recompute, +1 on every tick of Timer1
  bool RecomputeDone = false;
  // Lecture player: the slide that is playing chains to the next one ("Next", or PgDn during
  // an animation). Cleared at the start of every slide.
  bool NextPending = false;
};

// The one record of the process.
extern TSettings Settings;

// Slot codes of the two structures.
inline constexpr int32_t SlotAlone1 = 0;    // structure 1 alone (or nothing in use)
inline constexpr int32_t SlotAlone2 = 1;    // structure 2 alone
inline constexpr int32_t SlotBeside1 = 2;   // structure 1 while both are shown
inline constexpr int32_t SlotBeside2 = 12;  // structure 2 while both are shown

struct TSlotCodes {
  int32_t Pair;   // c: 2 both in use, 1 only structure 2, 0 otherwise
  int32_t Slot1;  // c
  int32_t Slot2;  // 12 when c = 2, else c
};
TSlotCodes ClassifySlots(bool inUse1, bool inUse2);

// TwoK from Lambda, RealExtent and NodeRadius from structure 1's LatticeA and the pair class c.
// A lattice parameter that is not positive leaves RealExtent and NodeRadius unchanged.
void SetDerivedValues(TSettings& settings, double latticeA1, int32_t pair);

// A wavelength is usable when it is a finite number above 1e-10 angstrom (so 1 / Lambda is
// finite too).
bool WavelengthValid(double lambda);
// The message shown when it is not.
std::string WavelengthMessage(double lambda);

// Real number from text; never fails. "1.54" and "1,54" both read 1.54 (either decimal
// separator is accepted); surrounding blanks are ignored; text that is no finite number
// reads 0.
double ParseNumber(std::string_view text);

// General format with up to 15 significant digits and "." as decimal separator.
std::string FormatNumber(double value);

}  // namespace korvex
