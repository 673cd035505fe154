// Composite structures: name syntax, Vegard mixing, susceptibilities and reported failures.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include "crystal/CompositeStructure.h"
#include "tests/crystal/TempData.h"

namespace korvex {
namespace {

using test::F0Entry;
using test::F1F2Header;
using test::TempDataDirectory;

// Three phases with constant scattering factors: InAs (a 6.0), GaAs (a 5.6), Si, Ge.
void WriteFixture(const TempDataDirectory& dir) {
  std::string f0;
  std::string f1f2;
  const struct {
    int z;
    const char* symbol;
    double f1, f2;
  } elements[] = {{49, "In", 49, 4},
                  {31, "Ga", 31, 1},
                  {33, "As", 33, 2},
                  {14, "Si", 14, 0.5},
                  {32, "Ge", 32, 1.5}};
  for (const auto& e : elements) {
    f0 += F0Entry(e.z, e.symbol, "1, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0");  // f0 = exp(-2 s^2)
    f1f2 += F1F2Header(e.z, e.symbol) + "1000 " + std::to_string(e.f1) + " " +
            std::to_string(e.f2) + "\n100000 " + std::to_string(e.f1) + " " + std::to_string(e.f2) +
            "\n";
  }
  dir.Write("f0_xop.dat", f0);
  dir.Write("f1f2.dat", f1f2);
  const std::string zincBlende =
      "4\n0, 0, 0\n0, 0.5, 0.5\n0.5, 0, 0.5\n0.5, 0.5, 0\n"
      "4\n0.25, 0.25, 0.25\n0.25, 0.75, 0.75\n0.75, 0.25, 0.75\n0.75, 0.75, 0.25\n";
  const auto twoElements = [&](const char* a, const char* b, const char* lattice) {
    const std::string blocks = zincBlende;
    const std::size_t split = blocks.find("4\n0.25");
    return std::string("- zinc blende\n2,8\n") + lattice + "\n" + a + "\n" +
           blocks.substr(0, split) + b + "\n" + blocks.substr(split);
  };
  dir.Write("InAs.stf", twoElements("In", "As", "6.0,0.35"));
  dir.Write("GaAs.stf", twoElements("Ga", "As", "5.6,0.31"));
  dir.Write("Si.stf", "- diamond\n1,8\n5.4,0.28\nSi\n1\n0, 0, 0\n");
  dir.Write("Ge.stf", "- diamond\n1,8\n5.6,0.27\nGe\n1\n0, 0, 0\n");
}

TCompositeStructure Make(const std::string& name, double h = 0, double k = 0, double l = 4) {
  return TCompositeStructure(0, 0, 0, 1.54, h, k, l, 0, name, 1);
}

TEST(CompositeStructure, ParsesNames) {
  struct Case {
    const char* name;
    int componentCount, commonIndex, digitTotal;
    const char* first;
    const char* firstDigits;
  };
  const Case cases[] = {
      {"In5Ga5As", 2, 2, 10, "In", "5"}, {"Al3Ga7As", 2, 2, 10, "Al", "3"},
      {"Si8Ge2", 2, 11, 10, "Si", "8"},  {"In05Ga95As", 2, 2, 100, "In", "05"},
      {"Si5", 1, 11, 5, "Si", "5"},      {"In1As", 1, 1, 1, "In", "1"},
  };
  for (const Case& c : cases) {
    TCompositeStructure s = Make(c.name);
    EXPECT_TRUE(s.HasDigits) << c.name;
    EXPECT_TRUE(s.Parse()) << c.name << ": " << s.GetMessage();
    EXPECT_EQ(s.ComponentCount, c.componentCount) << c.name;
    EXPECT_EQ(s.CommonIndex, c.commonIndex) << c.name;
    EXPECT_EQ(s.DigitTotal, c.digitTotal) << c.name;
    EXPECT_EQ(s.NamesAndDigits[0].Name, c.first) << c.name;
    EXPECT_EQ(s.NamesAndDigits[0].Digits, c.firstDigits) << c.name;
  }
  TCompositeStructure s = Make("In5Ga5As");
  ASSERT_TRUE(s.Parse());
  EXPECT_EQ(s.NamesAndDigits[2].Name, "As");
  EXPECT_EQ(s.NamesAndDigits[2].Digits, "");
  EXPECT_FALSE(Make("GaAs").HasDigits);
}

TEST(CompositeStructure, RejectsNamesOutsideTheSyntax) {
  TempDataDirectory dir;
  WriteFixture(dir);
  struct Case {
    std::string name;
    const char* message;
  };
  const Case cases[] = {
      {"", "No structure name"},
      {"gaAs", "upper-case"},
      {"5GaAs", "upper-case"},
      {"In5GaAs2", "\"Ga\" has no digits"},
      {"A1B1C1D1E1F1G1H1I1J1K", "more than 10"},
      {"In0Ga0As", "add up to 0"},
      {"In5aGa5As", "letters after the digits"},
      {"Ga As", "only letters and digits"},
      {"Si/../Ge", "only letters and digits"},
      {"In999999999Ga1As", "too long"},
  };
  for (const Case& c : cases) {
    TCompositeStructure s = Make(c.name);
    EXPECT_FALSE(s.LoadLattice()) << c.name;
    EXPECT_FALSE(s.ComputeChi()) << c.name;
    EXPECT_NE(s.GetMessage().find(c.message), std::string::npos)
        << c.name << ": " << s.GetMessage();
    double a = 1, b = 1, cc = 1;
    s.GetLattice(a, b, cc);
    EXPECT_EQ(a + b + cc, 0.0) << c.name;
    // The other steps stay harmless on a rejected name.
    s.ComputePoissonRatio();
    s.ComputeStructureFactor();
    EXPECT_EQ(s.PoissonRatio, 0.0) << c.name;
    EXPECT_EQ(s.FHRe, 0.0) << c.name;
  }
}

TEST(CompositeStructure, MissingStructureFileIsNamed) {
  TempDataDirectory dir;
  WriteFixture(dir);
  for (const char* name : {"AlAs", "Al5Ga5As", "In5Al5As"}) {
    TCompositeStructure s = Make(name);
    EXPECT_FALSE(s.LoadLattice()) << name;
    EXPECT_EQ(LoadError, 1) << name;
    EXPECT_NE(s.GetMessage().find("AlAs.stf"), std::string::npos) << s.GetMessage();
    // A half-done mixture is not taken for a loaded lattice on the next call.
    EXPECT_EQ(s.LatticeA, 0.0) << name;
    EXPECT_FALSE(s.ComputeChi()) << name;
  }
  TCompositeStructure ok = Make("In5Ga5As");
  EXPECT_TRUE(ok.LoadLattice());
  EXPECT_EQ(ok.GetMessage(), "");
  // Init starts afresh: LoadError and the message are cleared.
  ok.Init(0, 0, 0, 1.54, 0, 0, 1, 0, "AlAs", 1);
  EXPECT_FALSE(ok.LoadLattice());
  ok.Init(0, 0, 0, 1.54, 0, 0, 1, 0, "Si", 1);
  EXPECT_EQ(LoadError, 0);
  EXPECT_EQ(ok.GetMessage(), "");
  EXPECT_TRUE(ok.LoadLattice());
}

TEST(CompositeStructure, MixesByVegardsRule) {
  TempDataDirectory dir;
  WriteFixture(dir);
  struct Case {
    const char* name;
    const char* member1;
    const char* member2;
    double w1;
  };
  const Case cases[] = {{"In5Ga5As", "InAs", "GaAs", 0.5},
                        {"In05Ga95As", "InAs", "GaAs", 0.05},
                        {"Si8Ge2", "Si", "Ge", 0.8}};
  for (const Case& c : cases) {
    TCompositeStructure s = Make(c.name, 2, 2, 4);
    ASSERT_TRUE(s.LoadLattice()) << s.GetMessage();
    TStructure m1(0, 0, 0, 1.54, 0, 0, 1, 0, c.member1);
    TStructure m2(0, 0, 0, 1.54, 0, 0, 1, 0, c.member2);
    const double w2 = 1 - c.w1;
    const double a = c.w1 * m1.LatticeA + w2 * m2.LatticeA;
    EXPECT_NEAR(s.LatticeA, a, 1e-12) << c.name;
    EXPECT_NEAR(s.LatticeC, a, 1e-12) << c.name;
    s.ComputePoissonRatio();
    EXPECT_NEAR(s.PoissonRatio, c.w1 * m1.PoissonRatio + w2 * m2.PoissonRatio, 1e-12);

    // Both end members at the averaged lattice, hence at the same Bragg angle.
    ASSERT_TRUE(s.ComputeChi());
    TStructure e1(a, a, a, 1.54, 2, 2, 4, 0, c.member1);
    TStructure e2(a, a, a, 1.54, 2, 2, 4, 0, c.member2);
    e1.ComputeStructureFactor();
    e2.ComputeStructureFactor();
    EXPECT_NEAR(s.FHRe, c.w1 * e1.FHRe + w2 * e2.FHRe, 1e-9) << c.name;
    EXPECT_NEAR(s.FHIm, c.w1 * e1.FHIm + w2 * e2.FHIm, 1e-9) << c.name;
    EXPECT_NEAR(s.F0Re, c.w1 * e1.F0Re + w2 * e2.F0Re, 1e-9) << c.name;
    const double gamma =
        static_cast<double>(2.817938e-5f) * 1.54 * 1.54 / (std::numbers::pi * a * a * a);
    EXPECT_NEAR(s.Chi0Re, -gamma * s.F0Re, 1e-18) << c.name;
    EXPECT_NEAR(s.Chi0Im, gamma * s.F0Im, 1e-18) << c.name;
    EXPECT_NEAR(s.ChiHRe, gamma * s.FHRe, 1e-18) << c.name;
    EXPECT_NEAR(s.ChiMinusIm, gamma * s.FMinusIm, 1e-18) << c.name;
  }
}

TEST(CompositeStructure, ReflectionsDoNotAccumulate) {
  TempDataDirectory dir;
  WriteFixture(dir);
  for (const char* name : {"GaAs", "In5Ga5As"}) {
    TCompositeStructure s = Make(name, 0, 0, 1);
    ASSERT_TRUE(s.LoadLattice());
    const double hkl[][3] = {{1, 1, 1}, {0, 0, 2}, {1, 1, 1}, {2, 2, 4}};
    for (const auto& r : hkl) {
      s.SetReflection(r[0], r[1], r[2]);
      EXPECT_FALSE(s.FactorsDone);
      ASSERT_TRUE(s.ComputeChi());
      TCompositeStructure fresh = Make(name, r[0], r[1], r[2]);
      ASSERT_TRUE(fresh.ComputeChi());
      double x[6], y[6];
      s.GetChi(x[0], x[1], x[2], x[3], x[4], x[5]);
      fresh.GetChi(y[0], y[1], y[2], y[3], y[4], y[5]);
      for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(x[i], y[i]) << name << " component " << i;
    }
  }
}

TEST(CompositeStructure, ScaleMultipliesEveryChi) {
  TempDataDirectory dir;
  WriteFixture(dir);
  TCompositeStructure s(0, 0, 0, 1.54, 0, 0, 2, 0, "Si", 2.0);
  ASSERT_TRUE(s.ComputeChi());
  // One Si atom at the origin: F(hkl) = f(s) + i f2, F(000) = f1 + i f2.
  const double a = 5.4;
  const double gamma =
      static_cast<double>(2.817938e-5f) * 1.54 * 1.54 / (std::numbers::pi * a * a * a);
  const double sinTheta = 1.54 * 2 / a / 2;
  const double fr = std::exp(-2 * std::pow(sinTheta / 1.54, 2)) + 14 - 1;
  EXPECT_NEAR(s.Chi0Re, -2 * gamma * 14, 1e-15);
  EXPECT_NEAR(s.ChiHRe, 2 * gamma * fr, 1e-15);
  EXPECT_NEAR(s.ChiHIm, 2 * gamma * 0.5, 1e-15);
  ASSERT_NE(s.Current, nullptr);
  EXPECT_NEAR(s.Current->BraggAngle, std::asin(sinTheta) * 180 / std::numbers::pi, 1e-12);
}

TEST(CompositeStructure, UnusableWavelengthFailsInsteadOfGivingNaN) {
  TempDataDirectory dir;
  WriteFixture(dir);
  for (const double lambda : {0.0, -1.54, std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN()}) {
    TCompositeStructure s(0, 0, 0, lambda, 1, 1, 1, 0, "In5Ga5As", 1);
    EXPECT_FALSE(s.ComputeChi()) << lambda;
    EXPECT_NE(s.GetMessage().find("wavelength"), std::string::npos) << s.GetMessage();
    double chi[6];
    s.GetChi(chi[0], chi[1], chi[2], chi[3], chi[4], chi[5]);
    for (const double c : chi) EXPECT_EQ(c, 0.0) << lambda;
  }
}

}  // namespace
}  // namespace korvex
