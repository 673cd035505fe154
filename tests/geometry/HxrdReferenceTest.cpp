// The solver's angles against xrayutilities' HXRD for Si with normal 0 0 1 and the plane of
// incidence through 1 1 0 (tests/geometry/hxrd_reference.csv).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/VisStructure.h"

namespace korvex {
namespace {

struct Row {
  std::string material, geometry;
  int32_t h = 0, k = 0, l = 0;
  double lambda = 0, incidence = 0, twoTheta = 0, exit = 0;  // degrees
};

std::vector<Row> ReadReference() {
  std::ifstream in(KORVEX_HXRD_REFERENCE);
  std::vector<Row> rows;
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (header) {  // material,h,k,l,lambda,geometry,incidence,two_theta,exit
      header = false;
      continue;
    }
    std::stringstream fields(line);
    std::vector<std::string> f;
    std::string field;
    while (std::getline(fields, field, ',')) f.push_back(field);
    if (f.size() != 9) continue;
    rows.push_back({f[0], f[5], std::stoi(f[1]), std::stoi(f[2]), std::stoi(f[3]), std::stod(f[4]),
                    std::stod(f[6]), std::stod(f[7]), std::stod(f[8])});
  }
  return rows;
}

TEST(HxrdReference, AnglesAgreeWithXrayutilities) {
  const std::vector<Row> rows = ReadReference();
  ASSERT_GE(rows.size(), 6u) << "no reference rows in " << KORVEX_HXRD_REFERENCE;
  TSettings settings;
  settings.RecomputeDone = true;
  settings.BothBeams = true;
  TVisStructure s(settings);
  double worst = 0;
  for (const Row& r : rows) {
    settings.Lambda = r.lambda;
    settings.Hkl = {r.h, r.k, r.l};
    settings.IncPlanePoint = {1, 1, 0};
    s.StructureName = r.material;
    s.WaveNumber = 1 / r.lambda;
    ASSERT_TRUE(s.Setup(0)) << s.Message;
    ASSERT_TRUE(s.ComputeGeometry()) << s.Message;
    s.SolveWaveVectors();
    // Both solutions: the chosen one and the second; HXRD's hi_lo has the grazing exit.
    const double k = s.WaveNumber;
    struct Angles {
      double incidence, exit;
    };
    const Angles first{s.IncidenceAngle, s.ExitAngle};
    const Angles second{std::asin(-s.K0Second.z / k), std::asin(s.KhSecond.z / k)};
    const bool grazingExit = r.geometry == "hi_lo";
    const Angles& mine = (first.exit < first.incidence) == grazingExit ? first : second;
    const double toDeg = 180 / Pi;
    const std::string what = r.material + " " + std::to_string(r.h) + std::to_string(r.k) +
                             std::to_string(r.l) + " " + r.geometry;
    // The table holds ten significant digits.
    EXPECT_NEAR(mine.incidence * toDeg, r.incidence, 1e-7) << what;
    EXPECT_NEAR(mine.exit * toDeg, r.exit, 1e-7) << what;
    EXPECT_NEAR(s.ScatteringAngle * toDeg, r.twoTheta, 1e-7) << what;
    worst = std::max({worst, std::fabs(mine.incidence * toDeg - r.incidence),
                      std::fabs(mine.exit * toDeg - r.exit),
                      std::fabs(s.ScatteringAngle * toDeg - r.twoTheta)});
  }
  RecordProperty("LargestDifferenceDegrees", std::to_string(worst));
  std::cout << "largest difference from HXRD: " << worst << " degrees\n";
}

}  // namespace
}  // namespace korvex
