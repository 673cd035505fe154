#pragma once

// A data directory of fixture files for one test; the program's data directory points at it
// while the object lives.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "crystal/DataDirectory.h"

namespace korvex::test {

class TempDataDirectory {
 public:
  TempDataDirectory() {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("korvex-crystal-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
    SetDataDirectory(path_);
  }
  ~TempDataDirectory() {
    SetDataDirectory({});
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  TempDataDirectory(const TempDataDirectory&) = delete;
  TempDataDirectory& operator=(const TempDataDirectory&) = delete;

  void Write(const std::string& name, std::string_view contents) const {
    std::ofstream file(path_ / name, std::ios::binary | std::ios::trunc);
    file << contents;
  }
  void Remove(const std::string& name) const { std::filesystem::remove(path_ / name); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// One f0_xop.dat entry in the layout of the shipped table.
inline std::string F0Entry(int z, const std::string& symbol, const std::string& numbers) {
  const std::string number = std::to_string(z);
  return "#S " + std::string(3 - number.size(), ' ') + number + " " + symbol + "\n#N 11\n#UZ " +
         number + "\n#UN neutral atom\n#UF f0\n#UR ref\n#UC f0(0)\n#UO table\n" +
         "#L a1 a2 a3 a4 a5 c b1 b2 b3 b4 b5\n#UP MPFIT guess (Waasmaier&Kirfel) data: " + numbers +
         "\n";
}

// One f1f2.dat entry header; the rows follow.
inline std::string F1F2Header(int z, const std::string& symbol) {
  const std::string number = std::to_string(z);
  return "#S " + std::string(3 - number.size(), ' ') + number + " " + symbol + "\n#N 3\n#UZ " +
         number + "\n#L PhotonEnergy[eV] f1 f2\n";
}

}  // namespace korvex::test
