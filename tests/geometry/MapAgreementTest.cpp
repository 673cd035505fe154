// The example maps of Fig/ against the program's own nodes: every peak that tools/make_maps.py
// found in a map lies within one pixel of the node the program draws for the same substrate,
// layer, strain rule and reflection.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/VisStructure.h"

namespace korvex {
namespace {

using TRow = std::map<std::string, std::string>;

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> parts;
  std::stringstream in(line);
  std::string part;
  while (std::getline(in, part, ',')) parts.push_back(part);
  return parts;
}

std::vector<TRow> ReadPeakTable() {
  std::ifstream in(KORVEX_MAP_PEAKS);
  std::vector<TRow> rows;
  std::vector<std::string> header;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> parts = Split(line);
    if (header.empty()) {
      header = parts;
      continue;
    }
    TRow row;
    for (size_t i = 0; i < header.size() && i < parts.size(); ++i) row[header[i]] = parts[i];
    rows.push_back(row);
  }
  return rows;
}

double Number(const TRow& row, const char* key) { return std::stod(row.at(key)); }
int32_t Int(const TRow& row, const char* key) { return std::stoi(row.at(key)); }

// The node as the window's recompute cycle places it (x in the plane of incidence, z normal).
TVector ProgramNode(const TRow& row) {
  TSettings settings;
  settings.RecomputeDone = true;
  settings.Lambda = Number(row, "lambda");
  settings.RelaxationText = row.at("strain");
  settings.Hkl = {Int(row, "h"), Int(row, "k"), Int(row, "l")};
  settings.IncPlanePoint = {Int(row, "hpl"), Int(row, "kpl"), Int(row, "lpl")};
  TVisStructure substrate(settings), layer(settings);
  substrate.StructureName = row.at("substrate");
  substrate.InUse = true;
  const bool alone = row.at("layer") == "-";
  layer.StructureName = alone ? row.at("substrate") : row.at("layer");
  layer.InUse = !alone;
  ComputeStructures(substrate, layer, settings);
  EXPECT_TRUE(substrate.Message.empty()) << substrate.Message;
  EXPECT_TRUE(layer.Message.empty()) << layer.Message;
  const TVisStructure& s = row.at("role") == "layer" ? layer : substrate;
  TVector node;
  s.ReciprocalVector(settings.Hkl[0], settings.Hkl[1], settings.Hkl[2], node.x, node.y, node.z);
  return node;
}

TEST(MapAgreementTest, PeaksLieOnTheProgramsNodesWithinOnePixel) {
  const std::vector<TRow> rows = ReadPeakTable();
  ASSERT_GE(rows.size(), 6u) << KORVEX_MAP_PEAKS;
  std::set<std::string> maps, strains;
  double worstCol = 0, worstRow = 0;
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.at("file") + " " + row.at("role"));
    maps.insert(row.at("file"));
    strains.insert(row.at("layer") + " " + row.at("strain"));
    const TVector node = ProgramNode(row);
    EXPECT_NEAR(node.y, 0, 1e-12) << "the reflection lies in the plane of incidence";
    // Pixel centres at qx_left + (col + 0.5) dqx and qz_top - (row + 0.5) dqz.
    const double col = (node.x - Number(row, "qx_left")) / Number(row, "dqx") - 0.5;
    const double line = (Number(row, "qz_top") - node.z) / Number(row, "dqz") - 0.5;
    worstCol = std::max(worstCol, std::fabs(col - Int(row, "col")));
    worstRow = std::max(worstRow, std::fabs(line - Int(row, "row")));
    EXPECT_LE(std::fabs(col - Int(row, "col")), 1.0) << col;
    EXPECT_LE(std::fabs(line - Int(row, "row")), 1.0) << line;
    // The table's own node is the program's, so the maps were made from this model.
    EXPECT_NEAR(Number(row, "qx"), node.x, 1e-8);
    EXPECT_NEAR(Number(row, "qz"), node.z, 1e-8);
  }
  std::printf(
      "map peaks against the program's nodes: worst %.3f px across, %.3f px along the normal\n",
      worstCol, worstRow);
  EXPECT_GE(maps.size(), 6u);
  // The substrate alone and a layer fully strained, half relaxed and fully relaxed.
  EXPECT_GE(strains.size(), 4u);
}

TEST(MapAgreementTest, EveryMapOfTheTableShipsAsGif) {
  std::set<std::string> numbers;
  for (const TRow& row : ReadPeakTable()) {
    const std::string file = row.at("file");
    EXPECT_EQ(file.substr(0, file.find('_')), row.at("map"))
        << "the name begins with the map's number";
    numbers.insert(row.at("map"));
    std::ifstream gif(std::string(KORVEX_FIG_DIR) + "/" + file, std::ios::binary);
    char magic[4] = {};
    gif.read(magic, 4);
    EXPECT_EQ(std::string(magic, 4), "GIF8") << file;
  }
  EXPECT_GE(numbers.size(), 6u);
}

}  // namespace
}  // namespace korvex
