// Every input kept for a fuzz target, and the shipped data its reader sees in use, run through the
// target's checks: a reader that crashes, trips a sanitizer or hands on a value that is not
// finite fails here, in the normal test run, without fuzzing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "crystal/DataDirectory.h"
#include "fuzz/ReaderTargets.h"

namespace korvex {
namespace {

namespace fs = std::filesystem;

struct TInput {
  std::string What;  // file name, shown when a check fails
  std::string Bytes;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The shipped data that each reader reads in use.
std::vector<TInput> ShippedInputs(const std::string& target) {
  std::vector<TInput> inputs;
  const fs::path base = DataDirectory();
  if (target == "f0_table" || target == "f1f2_table") {
    const fs::path path = base / (target == "f0_table" ? "f0_xop.dat" : "f1f2.dat");
    inputs.push_back({path.string(), ReadAll(path)});
  }
  if (target == "structure_file" || target == "structure_name") {
    for (const fs::directory_entry& entry : fs::directory_iterator(base)) {
      if (entry.path().extension() != ".stf") continue;
      inputs.push_back({entry.path().string(), target == "structure_file"
                                                   ? ReadAll(entry.path())
                                                   : entry.path().stem().string()});
    }
  }
  if (target == "lecture") {
    const fs::path path = fs::path(KORVEX_SOURCE_DIR) / "lecture.txt";
    inputs.push_back({path.string(), ReadAll(path)});
  }
  return inputs;
}

}  // namespace

namespace fuzz {
void PrintTo(const TTarget& target, std::ostream* out) { *out << target.Name; }
}  // namespace fuzz

namespace {

class CorpusReplay : public ::testing::TestWithParam<fuzz::TTarget> {};

TEST_P(CorpusReplay, EveryKeptInputPassesTheChecks) {
  const fuzz::TTarget target = GetParam();
  const fs::path folder = fs::path(KORVEX_FUZZ_CORPUS) / target.Name;
  ASSERT_TRUE(fs::is_directory(folder)) << folder;
  std::vector<TInput> inputs;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file()) inputs.push_back({entry.path().string(), ReadAll(entry.path())});
  }
  const std::size_t kept = inputs.size();
  ASSERT_GT(kept, 0u) << "the corpus of " << target.Name << " is empty";
  std::ranges::sort(inputs, {}, &TInput::What);
  const std::vector<TInput> shipped = ShippedInputs(target.Name);
  inputs.insert(inputs.end(), shipped.begin(), shipped.end());

  const fuzz::FailureHandler previous = fuzz::SetFailureHandler(
      [](const std::string& message) { throw std::runtime_error(message); });
  for (const TInput& input : inputs) {
    // A sanitizer report ends the process; the last line printed names the input.
    std::cout << "replaying " << input.What << std::endl;
    try {
      target.Run(reinterpret_cast<const std::uint8_t*>(input.Bytes.data()), input.Bytes.size());
    } catch (const std::exception& e) {
      ADD_FAILURE() << input.What << ": " << e.what();
    }
  }
  fuzz::SetFailureHandler(previous);
  std::cout << target.Name << ": " << kept << " kept inputs, " << shipped.size() << " shipped files"
            << std::endl;
}

INSTANTIATE_TEST_SUITE_P(Readers, CorpusReplay,
                         ::testing::ValuesIn(fuzz::Targets().begin(), fuzz::Targets().end()),
                         [](const ::testing::TestParamInfo<fuzz::TTarget>& info) {
                           return std::string(info.param.Name);
                         });

}  // namespace
}  // namespace korvex
