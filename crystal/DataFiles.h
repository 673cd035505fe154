#pragma once

// Readers of the data files in Base/: the two scattering tables (f0_xop.dat, f1f2.dat) and the
// structure files (*.stf). Each file is parsed once per process and then served from memory.
// A file that cannot be opened is not remembered: every request tries to open it again, so the
// caller can report the failure each time and a file created later is picked up.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace korvex {

// Waasmaier-Kirfel coefficients: f0(s) = c + sum a_i exp(-b_i s^2).
struct WaasmaierKirfel {
  std::array<double, 5> A{};
  double C = 0.0;
  std::array<double, 5> B{};
};

// f0_xop.dat, keyed by element symbol ("N", "Ga"). Entries behind the one of Cf are not
// searched. An entry whose data line cannot be read holds no value (its f0 is 0).
struct F0Table {
  std::unordered_map<std::string, std::optional<WaasmaierKirfel>> Entries;
};

struct F1F2Row {
  double Energy = 0.0;  // eV
  double F1 = 0.0;      // total real part, electrons
  double F2 = 0.0;
};

struct F1F2Entry {
  std::vector<F1F2Row> Rows;     // as read, up to the first row that cannot be read
  bool EndsAtEndOfFile = false;  // the last row's last number ends the file
  // Derived when the entry is read: the first row whose energy repeats the one before it
  // (Rows.size() if none), and whether the energies increase strictly before it.
  std::size_t RepeatedRow = 0;
  bool Increasing = false;
};

// f1f2.dat, keyed by element symbol.
struct F1F2Table {
  std::unordered_map<std::string, F1F2Entry> Entries;
};

struct AtomPosition {
  double X = 0.0, Y = 0.0, Z = 0.0;  // fractional coordinates
};

// The atoms of one element in a structure file. A block that cannot be used (no atom count, more
// than MaxAtomsPerBlock atoms, a truncated or non-numeric position) has a Problem and no atoms.
struct ElementBlock {
  std::vector<AtomPosition> Positions;
  std::string Problem;
};

inline constexpr int MaxAtomsPerBlock = 20;

// One structure file. Problem is non-empty when the header or the lattice line cannot be read;
// such a file counts as not loaded.
struct StructureFile {
  std::int32_t ElementCount = 0;
  double LatticeParameter = 0.0;
  double PoissonRatio = 0.0;
  std::string Problem;
  // First block of each symbol; the title line is never taken for a block.
  std::unordered_map<std::string, ElementBlock> Blocks;
};

// Parsers of file contents.
F0Table ParseF0Table(std::string_view text);
F1F2Table ParseF1F2Table(std::string_view text);
StructureFile ParseStructureFile(std::string_view text);

// f1 and f2 at a photon energy (eV) from one entry: linear interpolation between the last row at
// or below the energy and the first row above it; 0, 0 for fewer than two rows, for two
// consecutive rows of equal energy before the energy is passed, and above the last row.
// Searches by bisection where the energies increase.
// Searches by bisection where the energies increase.
void InterpolateF1F2(const F1F2Entry& entry, double energy, double& f1, double& f2);
// The same result, found row by row.
void InterpolateF1F2Stepwise(const F1F2Entry& entry, double energy, double& f1, double& f2);

inline constexpr const char* F0FileName = "f0_xop.dat";
inline constexpr const char* F1F2FileName = "f1f2.dat";

// The parsed file of that name in the data directory, or null if it cannot be opened.
std::shared_ptr<const F0Table> LoadF0Table();
std::shared_ptr<const F1F2Table> LoadF1F2Table();
std::shared_ptr<const StructureFile> LoadStructureFile(const std::string& fileName);

// Forgets every parsed file (done when the data directory changes).
void ClearDataCache();

// Key of an element symbol as used by the tables: one or two characters, empty if none.
std::string SymbolKey(const std::array<char, 2>& symbol);

}  // namespace korvex
