// Readers of the two scattering tables: entry search, f0, f1/f2 interpolation and damaged files.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "crystal/DataDirectory.h"
#include "crystal/DataFiles.h"
#include "crystal/Element.h"
#include "tests/crystal/TempData.h"

namespace korvex {
namespace {

using test::F0Entry;
using test::F1F2Header;
using test::TempDataDirectory;

// f0(s) = c + a1 exp(-b1 s^2) + ... with values easy to check by hand.
const std::string NumbersGa = "1.0, 2.0, 3.0, 4.0, 5.0, 0.5, 1.0, 2.0, 3.0, 4.0, 5.0";
const std::string NumbersN = "0.1, 0.2, 0.3, 0.4, 0.5, 0.25, 1.0, 1.0, 1.0, 1.0, 1.0";
const std::string NumbersNa = "9.0, 0.0, 0.0, 0.0, 0.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0";
const std::string NumbersCf = "20.0, 20.0, 20.0, 0.0, 0.0, 0.0, 1.0, 1.0, 1.0, 1.0, 1.0";

double F0Of(const std::string& symbol, double s) {
  TElement element(1.54, 0, 0, 0, 0, "X.stf", symbol);
  return element.ComputeF0(s);
}

void F1F2Of(const std::string& symbol, double energy, double& f1, double& f2) {
  TElement element(EnergyWavelengthProduct / energy, 0, 0, 0, 0, "X.stf", symbol);
  element.LookUpF1F2(f1, f2);
}

TEST(F0Table, FindsEntriesAndEvaluatesWaasmaierKirfel) {
  TempDataDirectory dir;
  dir.Write("f0_xop.dat", "#F f0_xop.dat\n#C comment\n\n" + F0Entry(7, "N", NumbersN) +
                              F0Entry(11, "Na", NumbersNa) + F0Entry(31, "Ga", NumbersGa) +
                              F0Entry(98, "Cf", NumbersCf) + F0Entry(99, "Es", NumbersNa) +
                              F0Entry(14, "Si", NumbersNa));
  LoadError = 0;
  EXPECT_DOUBLE_EQ(F0Of("Ga", 0.0), 0.5 + 15.0);  // c + a1 + ... + a5
  const double s = 0.3;
  double expected = 0.5;
  for (int i = 1; i <= 5; ++i) expected += i * std::exp(-i * s * s);
  EXPECT_DOUBLE_EQ(F0Of("Ga", s), expected);
  // A one-letter symbol matches "N" and not "Na", a two-letter one the other way round.
  EXPECT_DOUBLE_EQ(F0Of("N", 0.0), 0.25 + 1.5);
  EXPECT_DOUBLE_EQ(F0Of("Na", 0.0), 10.0);
  EXPECT_DOUBLE_EQ(F0Of("Cf", 0.0), 60.0);
  // Cf ends every search: Es and Si behind it are not found; neither is an absent element.
  EXPECT_EQ(F0Of("Es", 0.0), 0.0);
  EXPECT_EQ(F0Of("Si", 0.0), 0.0);
  EXPECT_EQ(F0Of("Fe", 0.0), 0.0);
  EXPECT_EQ(LoadError, 0);
}

TEST(F0Table, DamagedEntriesGiveZero) {
  struct Case {
    const char* what;
    std::string numbers;
  };
  const Case cases[] = {
      {"truncated list", "1.0, 2.0, 3.0, 4.0, 5.0, 0.5, 1.0, 2.0"},
      {"truncated number", "1.0, 2.0, 3.0, 4.0, 5.0, 0.5, 1.0, 2.0, 3.0, 4.0, e"},
      {"NaN text", "1.0, 2.0, nan, 4.0, 5.0, 0.5, 1.0, 2.0, 3.0, 4.0, 5.0"},
      {"infinity", "1.0, 2.0, 3.0, 4.0, 5.0, inf, 1.0, 2.0, 3.0, 4.0, 5.0"},
      {"missing commas", "1.0 2.0 3.0 4.0 5.0 0.5 1.0 2.0 3.0 4.0 5.0"},
      {"over-long garbage", std::string(5000, 'x')},
  };
  for (const Case& c : cases) {
    TempDataDirectory dir;
    dir.Write("f0_xop.dat", F0Entry(31, "Ga", c.numbers) + F0Entry(7, "N", NumbersN));
    EXPECT_EQ(F0Of("Ga", 0.0), 0.0) << c.what;
    EXPECT_DOUBLE_EQ(F0Of("N", 0.0), 1.75) << c.what;  // the next entry is unharmed
  }
  // A large negative exponent (the shipped C entry has a tiny one, b5 = -0.000294) must not
  // turn into an infinite f0.
  {
    TempDataDirectory dir;
    dir.Write("f0_xop.dat", F0Entry(31, "Ga", "1, 0, 0, 0, 0, 0, -1e6, 0, 0, 0, 0"));
    EXPECT_EQ(F0Of("Ga", 0.0), 1.0);
    EXPECT_EQ(F0Of("Ga", 1.0), 0.0);
  }
  // An entry cut off before its data line; a header cut off in its symbol field.
  for (const std::string& text :
       {std::string("#S  31 Ga\n#N 11\n#UZ 31\n"), std::string("#S  3")}) {
    TempDataDirectory dir;
    dir.Write("f0_xop.dat", text);
    EXPECT_EQ(F0Of("Ga", 0.0), 0.0);
  }
}

TEST(DataFiles, MissingEmptyAndBinaryFiles) {
  TempDataDirectory dir;
  double f1 = -1.0;
  double f2 = -1.0;
  // Missing: LoadError on every call, not only on the first.
  for (int call = 0; call < 2; ++call) {
    LoadError = 0;
    EXPECT_EQ(F0Of("Ga", 0.0), 0.0);
    EXPECT_EQ(LoadError, 1);
    LoadError = 0;
    F1F2Of("Ga", 8000.0, f1, f2);
    EXPECT_EQ(f1, 0.0);
    EXPECT_EQ(f2, 0.0);
    EXPECT_EQ(LoadError, 1);
  }
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 37 + 11) % 256);
  binary += "#S";  // a header cut short at the end of the file
  for (const std::string& contents : {std::string(), binary}) {
    TempDataDirectory other;
    other.Write("f0_xop.dat", contents);
    other.Write("f1f2.dat", contents);
    LoadError = 0;
    EXPECT_EQ(F0Of("Ga", 0.0), 0.0);
    F1F2Of("Ga", 8000.0, f1, f2);
    EXPECT_EQ(f1, 0.0);
    EXPECT_EQ(f2, 0.0);
    EXPECT_EQ(LoadError, 0);  // the files opened
  }
}

TEST(DataFiles, FileCreatedLaterIsRead) {
  TempDataDirectory dir;
  LoadError = 0;
  EXPECT_EQ(F0Of("Ga", 0.0), 0.0);
  EXPECT_EQ(LoadError, 1);
  dir.Write("f0_xop.dat", F0Entry(31, "Ga", NumbersGa));
  LoadError = 0;
  EXPECT_DOUBLE_EQ(F0Of("Ga", 0.0), 15.5);
  EXPECT_EQ(LoadError, 0);
}

// Rows of one entry: 1000, 2000, 4000, 8000 eV.
const std::string RowsGa =
    "# comment before the rows\n\n"
    "1000 10.0 1.0\n"
    "2000 12.0 2.0\n"
    "4000 16.0 4.0 4000 16.0 4.0\n";  // rows need not end their line; a repeated energy ends all

TEST(F1F2Table, InterpolatesAndHandlesTheEnds) {
  TempDataDirectory dir;
  dir.Write("f1f2.dat", F1F2Header(7, "N") + "1000 5.0 0.5\n3000 7.0 0.7\n" + F1F2Header(31, "Ga") +
                            RowsGa + F1F2Header(33, "As") + "# no rows at all\n" +
                            F1F2Header(14, "Si") + "1000 14.0 1.0\n" + F1F2Header(32, "Ge") +
                            "5000 30.0 3.0\n" + F1F2Header(98, "Cf") +
                            "1000 1.0 1.0\n2000 2.0 2.0\n4000 4.0 4.0");
  struct Case {
    const char* symbol;
    double energy, f1, f2;
  };
  const Case cases[] = {
      {"Ga", 1500.0, 11.0, 1.5},  // between rows
      {"Ga", 2000.0, 12.0, 2.0},  // on a row: the tabulated value
      {"Ga", 500.0, 9.0, 0.5},    // below the first row: extrapolated from the first two
      {"Ga", 3000.0, 14.0, 3.0},
      {"Ga", 4000.0, 0.0, 0.0},  // the repeated energy ends the search
      {"Ga", 9000.0, 0.0, 0.0},  // above the last row
      {"N", 2000.0, 6.0, 0.6},   // one-letter symbol
      {"As", 2000.0, 0.0, 0.0},  // no rows: not those of the next entry
      {"Si", 2000.0, 0.0, 0.0},  // a single row
      {"Cf", 1500.0, 1.5, 1.5},
      // The last row ends the file: the read that reaches the end counts as failed.
      {"Cf", 3000.0, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    double f1 = -1.0;
    double f2 = -1.0;
    F1F2Of(c.symbol, c.energy, f1, f2);
    EXPECT_NEAR(f1, c.f1, 1e-9) << c.symbol << " at " << c.energy;
    EXPECT_NEAR(f2, c.f2, 1e-9) << c.symbol << " at " << c.energy;
  }
}

TEST(F1F2Table, DamagedRowsEndTheEntry) {
  struct Case {
    const char* what;
    std::string rows;
    double f1At1500, f1At2500;
  };
  const Case cases[] = {
      {"NaN row", "1000 10 1\n2000 12 2\nnan 14 3\n3000 14 3\n", 11.0, 0.0},
      {"truncated row", "1000 10 1\n2000 12 2\n3000 14", 11.0, 0.0},
      {"garbage row", "1000 10 1\n2000 12 2\nabc\n3000 14 3\n", 11.0, 0.0},
      {"bad first row", "1000 x 1\n2000 12 2\n3000 14 3\n", 0.0, 0.0},
      {"over-long comment",
       "#" + std::string(300, 'c') + " 5 5 5\n1000 10 1\n2000 12 2\n" + "3000 14 3\n", 11.0, 13.0},
      {"CRLF line ends", "1000 10 1\r\n2000 12 2\r\n3000 14 3\r\n", 11.0, 13.0},
  };
  for (const Case& c : cases) {
    TempDataDirectory dir;
    dir.Write("f1f2.dat", F1F2Header(31, "Ga") + c.rows + F1F2Header(33, "As") + "1 1 1\n");
    double f1 = -1.0;
    double f2 = -1.0;
    F1F2Of("Ga", 1500.0, f1, f2);
    EXPECT_NEAR(f1, c.f1At1500, 1e-9) << c.what;
    F1F2Of("Ga", 2500.0, f1, f2);
    EXPECT_NEAR(f1, c.f1At2500, 1e-9) << c.what;
    EXPECT_TRUE(std::isfinite(f2)) << c.what;
  }
}

TEST(F1F2Table, BisectionFindsWhatTheRowByRowSearchFinds) {
  // The shipped table (every entry, energies on, between and beyond the rows) and entries with
  // falling or repeated energies, which take the row-by-row search.
  const auto table = LoadF1F2Table();
  ASSERT_NE(table, nullptr);
  std::vector<F1F2Entry> entries;
  for (const auto& [symbol, entry] : table->Entries) entries.push_back(entry);
  const F1F2Table odd = ParseF1F2Table(
      F1F2Header(1, "H") + "1000 1 1\n3000 3 3\n2000 2 2\n" + "4000 4 4\n" + F1F2Header(2, "He") +
      "1000 1 1\n2000 2 2\n2000 5 5\n3000 3 3\n" + F1F2Header(3, "Li") + "1000 1 1\n2000 2 2");
  for (const auto& [symbol, entry] : odd.Entries) entries.push_back(entry);
  ASSERT_GT(entries.size(), 90u);
  for (const F1F2Entry& entry : entries) {
    std::vector<double> energies = {0.0, -5.0, 1e9, 1500.0, 2500.0, 3500.0};
    for (std::size_t i = 0; i < entry.Rows.size(); i += 7) {
      energies.push_back(entry.Rows[i].Energy);
      if (i + 1 < entry.Rows.size()) {
        energies.push_back(0.5 * (entry.Rows[i].Energy + entry.Rows[i + 1].Energy));
      }
    }
    for (const double e : energies) {
      double f1 = 0, f2 = 0, g1 = 0, g2 = 0;
      InterpolateF1F2(entry, e, f1, f2);
      InterpolateF1F2Stepwise(entry, e, g1, g2);
      ASSERT_EQ(f1, g1) << e;
      ASSERT_EQ(f2, g2) << e;
    }
  }
}

TEST(ShippedTables, OneLetterAndLastElementsAreFound) {
  // The tables beside the test program.
  LoadError = 0;
  for (const char* symbol : {"N", "H", "Si", "Cf"}) {
    EXPECT_GT(F0Of(symbol, 0.0), 0.5) << symbol;
    double f1 = 0.0;
    double f2 = 0.0;
    F1F2Of(symbol, 8050.7143, f1, f2);
    EXPECT_GT(f1, 0.5) << symbol;
    EXPECT_GT(f2, 0.0) << symbol;
  }
  EXPECT_EQ(LoadError, 0);
  EXPECT_NEAR(EnergyWavelengthProduct / 1.54, 8050.7143, 1e-4);
  // Every entry from H to Cf reads completely.
  const auto f0 = LoadF0Table();
  const auto f1f2 = LoadF1F2Table();
  ASSERT_TRUE(f0 && f1f2);
  EXPECT_EQ(f0->Entries.size(), 98u);
  EXPECT_EQ(f1f2->Entries.size(), 98u);
  for (const auto& [symbol, entry] : f0->Entries) EXPECT_TRUE(entry.has_value()) << symbol;
  for (const auto& [symbol, entry] : f1f2->Entries) {
    EXPECT_TRUE(entry.Increasing) << symbol;
    EXPECT_EQ(entry.RepeatedRow, entry.Rows.size()) << symbol;
    ASSERT_GE(entry.Rows.size(), 2u) << symbol;
    EXPECT_LE(entry.Rows.front().Energy, 1000.0) << symbol;
    EXPECT_GE(entry.Rows.back().Energy, 400000.0) << symbol;
  }
}

}  // namespace
}  // namespace korvex
