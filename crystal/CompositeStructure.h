#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "crystal/Structure.h"

namespace korvex {

// One component of a structure name: "In5Ga5As" has In/5, Ga/5 and As with no digits.
struct NamesAndDigits {
  std::string Name;
  std::string Digits;
};

inline constexpr int MaxComponents = 10;
inline constexpr std::int32_t NoCommonIndex = 11;

// The crystal data of a typed name: a plain phase ("Si", "GaAs") or a solid solution mixed by
// Vegard's rule ("In5Ga5As": half InAs, half GaAs). Gives the (averaged) lattice, Poisson ratio,
// structure factors and the susceptibilities chi of the current reflection.
class TCompositeStructure {
 public:
  TCompositeStructure(double a, double b, double c, double lambda, double h, double k, double l,
                      double braggAngle, const std::string& name, double scale);
  ~TCompositeStructure();
  TCompositeStructure(const TCompositeStructure&) = delete;
  TCompositeStructure& operator=(const TCompositeStructure&) = delete;

  void Init(double a, double b, double c, double lambda, double h, double k, double l,
            double braggAngle, const std::string& name, double scale);
  // Parses Name into its components; false (with Message set) if the name breaks the syntax.
  bool Parse();
  // False if the name is not valid or a structure file is missing or unreadable (Message says
  // which); the lattice then stays 0.
  bool LoadLattice();
  void ComputePoissonRatio();
  void ComputeStructureFactor();
  bool ComputeChi();
  void GetLattice(double& a, double& b, double& c) const;
  void GetPoissonRatio(double& poissonRatio) const;
  void GetChi(double& chi0Re, double& chi0Im, double& chiMinusRe, double& chiMinusIm,
              double& chiHRe, double& chiHIm) const;
  void SetReflection(double h, double k, double l);

  // Empty when the last Init was followed by clean loads; otherwise a message for the status bar
  // that names the failing name or file and says why.
  const std::string& GetMessage() const { return Message; }

  std::unique_ptr<TStructure> Current;
  std::string Name;
  std::array<korvex::NamesAndDigits, MaxComponents> NamesAndDigits;
  std::int32_t ComponentCount = 0;
  std::int32_t CommonIndex = NoCommonIndex;
  double Lambda = 0.0;
  double H = 0.0, K = 0.0, L = 0.0;
  double LatticeA = 0.0, LatticeB = 0.0, LatticeC = 0.0;
  double PoissonRatio = 0.0;
  double BraggAngle = 0.0;
  double Scale = 1.0;
  double F0Re = 0.0, F0Im = 0.0, FMinusRe = 0.0, FMinusIm = 0.0, FHRe = 0.0, FHIm = 0.0;
  double Chi0Re = 0.0, Chi0Im = 0.0, ChiMinusRe = 0.0, ChiMinusIm = 0.0, ChiHRe = 0.0, ChiHIm = 0.0;
  bool HasDigits = false;
  std::int32_t DigitTotal = 0;
  bool Parsed = false;
  bool FactorsDone = false;

  std::string Message;

 private:
  bool NameIsValid();
  std::string EndMemberName(int i) const;
  double Weight(int i) const;
  bool ParseOk = false;
};

}  // namespace korvex
