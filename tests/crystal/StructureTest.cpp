// Structures read from structure files: symbols, lattice, Bragg angle, structure-factor sums and
// damaged files.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "crystal/Structure.h"
#include "tests/crystal/TempData.h"

namespace korvex {
namespace {

using test::F0Entry;
using test::F1F2Header;
using test::TempDataDirectory;

// Scattering tables with constant f0 (no s dependence) so that sums are easy to check:
// Ga: f0 = 30, f1 = 31, f2 = 1; As: f0 = 32, f1 = 33, f2 = 2 (at any energy in 1..100 keV).
void WriteTables(const TempDataDirectory& dir) {
  dir.Write("f0_xop.dat", F0Entry(31, "Ga", "30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0") +
                              F0Entry(33, "As", "0, 0, 0, 0, 0, 32, 0, 0, 0, 0, 0") +
                              F0Entry(7, "N", "7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0"));
  dir.Write("f1f2.dat", F1F2Header(7, "N") + "1000 7 0.1\n100000 7 0.1\n" + F1F2Header(31, "Ga") +
                            "1000 31 1\n100000 31 1\n" + F1F2Header(33, "As") +
                            "1000 33 2\n100000 33 2\n");
}

const std::string GaAsFile =
    "- zinc blende, a title line of more than seventy-nine characters ........................\n"
    "2,8\n"
    "5.65,0.31\n"
    "Ga\n4\n0, 0, 0\n0, 0.5, 0.5\n0.5, 0, 0.5\n0.5, 0.5, 0\n"
    "As  the rest of a symbol line is ignored\n4\n"
    "0.25, 0.25, 0.25\n0.25, 0.75, 0.75\n0.75, 0.25, 0.75\n0.75, 0.75, 0.25\n";

struct Sums {
  double f[6] = {};
};

Sums SumsOf(TStructure& s) {
  Sums r;
  s.GetStructureFactor(r.f[0], r.f[1], r.f[2], r.f[3], r.f[4], r.f[5]);
  return r;
}

TEST(Structure, SplitsSymbolsFromTheName) {
  struct Case {
    const char *name, *first, *second;
  };
  const Case cases[] = {{"GaAs", "Ga", "As"}, {"InP", "In", "P"}, {"BN", "B", "N"},
                        {"GaN", "Ga", "N"},   {"SiC", "Si", "C"}, {"NaCl", "Na", "Cl"},
                        {"C", "C", ""},       {"", "", ""}};
  for (const Case& c : cases) {
    std::string first = "?";
    std::string second = "?";
    SplitSymbols(c.name, first, second);
    EXPECT_EQ(first, c.first) << c.name;
    EXPECT_EQ(second, c.second) << c.name;
  }
}

TEST(Structure, ReadsLatticeAndSumsTheAtoms) {
  TempDataDirectory dir;
  WriteTables(dir);
  dir.Write("GaAs.stf", GaAsFile);
  LoadError = 1;
  TStructure gaas(0, 0, 0, 1.54, 0, 0, 2, 0, "GaAs");
  EXPECT_EQ(LoadError, 0);
  ASSERT_EQ(gaas.ElementCount, 2);
  ASSERT_TRUE(gaas.Element1 && gaas.Element2);
  EXPECT_EQ(gaas.Element1->Symbol[0], 'G');
  EXPECT_EQ(gaas.Element2->Symbol[1], 's');
  EXPECT_EQ(gaas.LatticeA, 5.65);
  EXPECT_EQ(gaas.LatticeC, 5.65);
  EXPECT_EQ(gaas.PoissonRatio, 0.31);
  EXPECT_NEAR(gaas.BraggAngle, std::asin(1.54 * 2 / 5.65 / 2) * 180 / std::numbers::pi, 1e-12);
  gaas.ComputeStructureFactor();
  // 002 of zinc blende: 4 (fGa - fAs) with f = f0 + f1 - f0(0) + i f2 = f1 + i f2 here.
  const Sums s = SumsOf(gaas);
  EXPECT_NEAR(s.f[0], 4 * 31 + 4 * 33, 1e-9);  // F(000): f1
  EXPECT_NEAR(s.f[1], 4 * 1 + 4 * 2, 1e-9);    // f2
  EXPECT_NEAR(s.f[4], 4 * (31 - 33), 1e-9);
  EXPECT_NEAR(s.f[5], 4 * (1 - 2), 1e-9);
  EXPECT_NEAR(s.f[2], s.f[4], 1e-9);  // centrosymmetric positions: F(-h) = F(h)
  EXPECT_NEAR(s.f[3], s.f[5], 1e-9);
  EXPECT_EQ(gaas.Problem, "");

  // 111: F(hkl) = 4 (fGa - i fAs) and F(-h-k-l) = 4 (fGa + i fAs) for fX = f1 + i f2.
  TStructure g111(0, 0, 0, 1.54, 1, 1, 1, 0, "GaAs");
  g111.ComputeStructureFactor();
  const Sums t = SumsOf(g111);
  EXPECT_NEAR(t.f[4], 4 * (31 + 2), 1e-9);
  EXPECT_NEAR(t.f[5], 4 * (1 - 33), 1e-9);
  EXPECT_NEAR(t.f[2], 4 * (31 - 2), 1e-9);
  EXPECT_NEAR(t.f[3], 4 * (1 + 33), 1e-9);

  // Same name and arguments: identical results, nothing carried over.
  TStructure again(0, 0, 0, 1.54, 1, 1, 1, 0, "GaAs");
  again.ComputeStructureFactor();
  for (int i = 0; i < 6; ++i) EXPECT_EQ(SumsOf(again).f[i], t.f[i]);
}

TEST(Structure, LatticeArgumentsAndBraggAngle) {
  TempDataDirectory dir;
  WriteTables(dir);
  dir.Write("GaAs.stf", GaAsFile);
  // A given a with b = c = 0: the file's value is ignored, b and c stay 0.
  TStructure given(6.0, 0, 0, 1.54, 0, 0, 1, 0, "GaAs");
  EXPECT_EQ(given.LatticeA, 6.0);
  EXPECT_EQ(given.LatticeB, 0.0);
  EXPECT_EQ(given.LatticeC, 0.0);
  EXPECT_EQ(given.BraggAngle, 0.0);
  EXPECT_EQ(given.PoissonRatio, 0.31);
  // h^2 + k^2 + l^2 <= (2a/lambda)^2 = 53.8: 007 (49) is reached, 008 (64) is not.
  TStructure reached(0, 0, 0, 1.54, 0, 0, 7, 0, "GaAs");
  EXPECT_GT(reached.BraggAngle, 60.0);
  TStructure beyond(0, 0, 0, 1.54, 0, 0, 8, 0, "GaAs");
  EXPECT_EQ(beyond.BraggAngle, 0.0);
  // A given angle is kept.
  TStructure angle(0, 0, 0, 1.54, 0, 0, 1, 12.5, "GaAs");
  EXPECT_EQ(angle.BraggAngle, 12.5);
}

TEST(Structure, ZeroReflectionSumsTheScatteringFactors) {
  TempDataDirectory dir;
  dir.Write("f0_xop.dat", F0Entry(31, "Ga", "10, 5, 0, 0, 0, 1, 0, 0, 0, 0, 0"));
  dir.Write("f1f2.dat", F1F2Header(31, "Ga") + "1000 31 1\n100000 31 1\n");
  dir.Write("Ga.stf", "Ga metal\n1,0\n4.5,0.3\nGa\n2\n0.1, 0.2, 0.3\n0.7, 0.1, 0.4\n");
  TStructure ga(0, 0, 0, 1.54, 0, 0, 0, 0, "Ga");
  EXPECT_EQ(ga.ElementCount, 1);
  EXPECT_EQ(ga.Element2, nullptr);
  ga.ComputeStructureFactor();
  const Sums s = SumsOf(ga);
  for (int i : {2, 4}) EXPECT_NEAR(s.f[i], 2 * 31.0, 1e-9);  // fr = f0(0) + f1 - f0(0)
  for (int i : {3, 5}) EXPECT_NEAR(s.f[i], 2 * 1.0, 1e-9);
}

TEST(Structure, MissingOrUnreadableFilesAreReported) {
  TempDataDirectory dir;
  WriteTables(dir);
  struct Case {
    const char* what;
    std::string contents;  // empty name: no file at all
    const char* problem;
  };
  const Case cases[] = {
      {"missing", "", "not found"},
      {"empty", "\n", "element count"},
      {"binary", std::string("\x7f\x45\x4c\x46\x02\x01\x00\x00\xff\xfe", 10), "element count"},
      {"count 3", "title\n3,8\n5.65,0.31\n", "element count is 3"},
      {"no lattice line", "title\n2,8\n", "lattice"},
      {"NaN lattice", "title\n2,8\nnan,0.31\n", "lattice"},
      {"no Poisson ratio", "title\n2,8\n5.65\n", "lattice"},
      {"zero lattice", "title\n2,8\n0,0.31\n", "not positive"},
  };
  for (const Case& c : cases) {
    dir.Remove("GaAs.stf");
    if (c.what != std::string("missing")) dir.Write("GaAs.stf", c.contents);
    SetDataDirectory(dir.Path());  // drop what was parsed from the previous case
    LoadError = 0;
    TStructure s(0, 0, 0, 1.54, 0, 0, 4, 0, "GaAs");
    EXPECT_EQ(LoadError, 1) << c.what;
    EXPECT_EQ(s.ElementCount, 0) << c.what;
    EXPECT_EQ(s.Element1, nullptr) << c.what;
    EXPECT_EQ(s.LatticeA, 0.0) << c.what;
    EXPECT_EQ(s.PoissonRatio, 0.0) << c.what;
    EXPECT_NE(s.Problem.find("GaAs.stf"), std::string::npos) << c.what << ": " << s.Problem;
    EXPECT_NE(s.Problem.find(c.problem), std::string::npos) << c.what << ": " << s.Problem;
    s.ComputeStructureFactor();
    for (double v : SumsOf(s).f) EXPECT_EQ(v, 0.0) << c.what;
  }
}

TEST(Structure, DamagedBlocksContributeNothing) {
  TempDataDirectory dir;
  WriteTables(dir);
  const std::string head = "Ga title line starting with a symbol\n2,8\n5.65,0.31\n";
  const std::string gaBlock = "Ga\n1\n0, 0, 0\n";
  struct Case {
    const char* what;
    std::string asPart;
    const char* problem;  // empty: the As block is fine
  };
  std::string many = "As\n21\n";
  for (int i = 0; i < 21; ++i) many += "0, 0, 0\n";
  const Case cases[] = {
      {"good", "As\n1\n0.25, 0.25, 0.25\n", ""},
      {"absent", "", "no block for As"},
      {"more than 20 atoms", many, "21 atoms"},
      {"negative count", "As\n-1\n", "-1 atoms"},
      {"no count", "As\nfour\n", "no atom count"},
      {"truncated position", "As\n2\n0.25, 0.25, 0.25\n0.75, 0.75", "1 of 2"},
      {"NaN position", "As\n1\n0.25, nan, 0.25\n", "0 of 1"},
  };
  for (const Case& c : cases) {
    dir.Write("GaAs.stf", head + gaBlock + c.asPart);
    SetDataDirectory(dir.Path());
    TStructure s(0, 0, 0, 1.54, 0, 0, 0, 0, "GaAs");
    s.ComputeStructureFactor();
    const Sums sums = SumsOf(s);
    const bool good = *c.problem == '\0';
    // The title line, although it begins with "Ga", is not taken for the Ga block.
    EXPECT_NEAR(sums.f[0], good ? 31 + 33 : 31, 1e-9) << c.what;
    EXPECT_NEAR(sums.f[1], good ? 1 + 2 : 1, 1e-9) << c.what;
    if (good) {
      EXPECT_EQ(s.Problem, "");
    } else {
      EXPECT_NE(s.Problem.find(c.problem), std::string::npos) << c.what << ": " << s.Problem;
    }
  }
}

TEST(Structure, OneLetterElementInItsFile) {
  TempDataDirectory dir;
  WriteTables(dir);
  // "N" must not match the "Na..." line, nor "Ga" the title.
  dir.Write("GaN.stf",
            "GaN test\n2,4\n4.5,0.3\nNa is no nitrogen\n9\nN\n1\n0.5, 0.5, 0.5\nGa\n1\n0, 0, 0\n");
  TStructure s(0, 0, 0, 1.54, 0, 0, 0, 0, "GaN");
  s.ComputeStructureFactor();
  EXPECT_NEAR(SumsOf(s).f[0], 31 + 7, 1e-9);
  EXPECT_EQ(s.Problem, "");
}

}  // namespace
}  // namespace korvex
