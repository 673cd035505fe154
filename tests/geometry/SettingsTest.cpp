#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/Settings.h"
#include "geometry/Strain.h"

namespace korvex {
namespace {

TEST(Settings, StartsWithTheControlsStartValues) {
  const TSettings s;
  EXPECT_EQ(s.Lambda, 1.54);
  EXPECT_EQ(s.RelaxationText, "a");
  EXPECT_EQ(s.Hkl, (std::array<int32_t, 3>{0, 0, 4}));
  EXPECT_EQ(s.Normal, (std::array<int32_t, 3>{0, 0, 1}));
  EXPECT_EQ(s.IncPlanePoint, (std::array<int32_t, 3>{0, 1, 0}));
  EXPECT_DOUBLE_EQ(s.OmegaRange * RadToDeg, 60);
  EXPECT_EQ(s.PlaneDivisor, 1);
  EXPECT_EQ(s.NReal, 2);
  EXPECT_EQ(s.NRecMax, 20);
  EXPECT_EQ(s.AnimSteps, 50);
  EXPECT_EQ(s.MaxPoints, 30);
  EXPECT_DOUBLE_EQ(s.TwoK, 2 / 1.54);
}

TEST(Settings, SlotCodes) {
  struct Case {
    bool use1, use2;
    int32_t pair, slot1, slot2;
  };
  const Case cases[] = {{true, false, 0, 0, 0},
                        {false, false, 0, 0, 0},
                        {false, true, 1, 1, 1},
                        {true, true, 2, 2, 12}};
  for (const Case& c : cases) {
    const TSlotCodes codes = ClassifySlots(c.use1, c.use2);
    EXPECT_EQ(codes.Pair, c.pair);
    EXPECT_EQ(codes.Slot1, c.slot1);
    EXPECT_EQ(codes.Slot2, c.slot2);
  }
}

TEST(Settings, DerivedValues) {
  TSettings s;
  s.Lambda = 0.5;
  s.NReal = -1;
  SetDerivedValues(s, 5.431, 0);
  EXPECT_DOUBLE_EQ(s.TwoK, 4);
  EXPECT_DOUBLE_EQ(s.RealExtent, 5.431);  // one cell for NReal = -1
  EXPECT_DOUBLE_EQ(s.NodeRadius, 0.2 / 5.431);
  s.NReal = 2;
  SetDerivedValues(s, 5.431, 2);
  EXPECT_DOUBLE_EQ(s.RealExtent, 2 * 5.431);
  EXPECT_DOUBLE_EQ(s.NodeRadius, 0.1 / 5.431);
  SetDerivedValues(s, 5.431, 1);  // structure 2 alone still sizes by structure 1
  EXPECT_DOUBLE_EQ(s.NodeRadius, 0.2 / 5.431);
  s.Lambda = 0;  // refused wavelength: no infinite TwoK
  SetDerivedValues(s, 0, 1);
  EXPECT_EQ(s.TwoK, 0);
  EXPECT_DOUBLE_EQ(s.NodeRadius, 0.2 / 5.431);  // kept
}

TEST(Settings, Wavelength) {
  EXPECT_TRUE(WavelengthValid(1.54));
  EXPECT_FALSE(WavelengthValid(0));
  EXPECT_FALSE(WavelengthValid(-1));
  EXPECT_FALSE(WavelengthValid(1e-320));  // 1 / Lambda would be infinite
  EXPECT_FALSE(WavelengthValid(std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(WavelengthValid(std::nan("")));
  EXPECT_NE(WavelengthMessage(-1).find("-1"), std::string::npos);
}

TEST(ParseNumber, EitherSeparatorAndZeroForNoNumber) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {{"1.54", 1.54}, {"1,54", 1.54}, {" 2 ", 2},   {"-0,5", -0.5},
                        {"+3", 3},      {"1e-3", 1e-3}, {"abc", 0},   {"", 0},
                        {"1,5.3", 0},   {"1.2.3", 0},   {"inf", 0},   {"nan", 0},
                        {"1e999", 0},   {"+-1", 0},     {"12abc", 0}, {"0x10", 0}};
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(ParseNumber(c.text), c.value) << c.text;
}

TEST(FormatNumber, FifteenSignificantDigits) {
  EXPECT_EQ(FormatNumber(0.1 + 0.2), "0.3");
  EXPECT_EQ(FormatNumber(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FormatNumber(-0.0), "0");
  EXPECT_EQ(FormatNumber(90), "90");
  EXPECT_EQ(FormatNumber(std::nan("")), "0");
  EXPECT_DOUBLE_EQ(ParseNumber(FormatNumber(0.0715813540325612)), 0.0715813540325612);
}

// The strain rule, layer a_l on substrate a_s with Poisson ratio nu.
TEST(ComputeStrain, Table) {
  const double as = 5.6533, al = 6.0583;
  struct Case {
    const char* mode;
    double nu;
    double a, c, strain;
  };
  const double cStrained = al + (al - as) * 2 * 0.35 / 0.65;
  const double bZero = al + (al - as) * 0.5 * 0.65 / 0.35;
  const Case cases[] = {
      {"a", 0.5, as, al + 2 * (al - as), (al + 2 * (al - as) - as) / as},
      {"A", 0.35, as, cStrained, (cStrained - as) / as},
      {"a", 0.0, as, al, (al - as) / as},  // no vertical response
      {"r", 0.35, al, al, (al - as) / as},
      {"R", 0.35, al, al, (al - as) / as},
      {"0", 0.35, bZero, as, 0},
      {"abc", 0.35, bZero, as, 0},  // no number reads as 0
      {"0,01", 1.0, al, 1.01 * as, 0.01},
  };
  for (const Case& c : cases) {
    const TStrainResult r = ComputeStrain(c.mode, as, al, al, al, c.nu);
    ASSERT_TRUE(r.Applied) << c.mode;
    EXPECT_DOUBLE_EQ(r.LatticeA, c.a) << c.mode;
    EXPECT_DOUBLE_EQ(r.LatticeB, c.a) << c.mode;
    EXPECT_DOUBLE_EQ(r.LatticeC, c.c) << c.mode;
    EXPECT_NEAR(r.Strain, c.strain, 1e-15) << c.mode;
    EXPECT_EQ(r.Text, FormatNumber(r.Strain)) << c.mode;
    EXPECT_TRUE(r.Message.empty());
  }
}

TEST(ComputeStrain, MatchedLayerIsUnchangedAndStrainedRoundTrips) {
  TStrainResult r = ComputeStrain("a", 5.431, 5.431, 5.431, 5.431, 0.28);
  EXPECT_DOUBLE_EQ(r.LatticeC, 5.431);
  EXPECT_EQ(r.Text, "0");
  // The written-back strain, read as a manual strain, gives the same lattice again.
  const TStrainResult first = ComputeStrain("a", 5.6533, 6.0583, 6.0583, 6.0583, 0.35);
  const TStrainResult again = ComputeStrain(first.Text, 5.6533, 6.0583, 6.0583, 6.0583, 0.35);
  EXPECT_NEAR(again.LatticeC, first.LatticeC, 1e-12);
  EXPECT_NEAR(again.LatticeA, 5.6533, 1e-12);
}

TEST(ComputeStrain, RefusedRulesKeepTheLayerAndTheText) {
  struct Case {
    const char* mode;
    double as, al, nu;
  };
  const Case cases[] = {
      {"a", 5.6533, 6.0583, 1.0},     // 2 nu / (1 - nu) infinite
      {"0.01", 5.6533, 6.0583, 0.0},  // (1 - nu) / nu infinite
      {"-1", 5.6533, 6.0583, 0.35},   // c = 0
      {"-3", 5.6533, 6.0583, 0.35},   // c < 0
      {"5", 5.6533, 6.0583, 0.35},    // in-plane edge below zero
      {"a", 0, 6.0583, 0.35},         // no substrate lattice
      {"a", 5.6533, 6.0583, std::nan("")},
  };
  for (const Case& c : cases) {
    const TStrainResult r = ComputeStrain(c.mode, c.as, c.al, c.al, c.al, c.nu);
    EXPECT_FALSE(r.Applied) << c.mode;
    EXPECT_EQ(r.Text, c.mode);
    EXPECT_EQ(r.LatticeA, c.al);
    EXPECT_EQ(r.LatticeC, c.al);
    EXPECT_FALSE(r.Message.empty());
  }
}

}  // namespace
}  // namespace korvex
