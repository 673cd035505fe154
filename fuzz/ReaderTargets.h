// Entry functions of the fuzz targets: one for each reader of text that a user or a lecturer
// writes (structure files, the two scattering tables, structure names, the number fields, the
// lecture and its slides).
// Each takes arbitrary bytes, runs the reader and checks what it returns: a reader may refuse
// its input, but it never crashes, never reads past its input, and never hands on a value that
// is not finite. The libFuzzer programs (tools/fuzz.sh) and the corpus replay of the test suite
// call the same functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace korvex::fuzz {

using TargetFunction = int (*)(const std::uint8_t* data, std::size_t size);

struct TTarget {
  const char* Name;  // also the folder of its corpus in fuzz/corpus/
  TargetFunction Run;
};

int StructureFile(const std::uint8_t* data, std::size_t size);
int F0Table(const std::uint8_t* data, std::size_t size);
int F1F2Table(const std::uint8_t* data, std::size_t size);
int StructureName(const std::uint8_t* data, std::size_t size);
int Fields(const std::uint8_t* data, std::size_t size);
// The lecture file (read from a file, as the program reads it) and every slide's action string,
// down to its command list.
int Lecture(const std::uint8_t* data, std::size_t size);

std::span<const TTarget> Targets();

// What a failed check does: by default it prints the message and aborts, which libFuzzer
// reports as a crash together with the input. The corpus replay installs a handler that
// throws, so the test names the failing file. Returns the previous handler.
using FailureHandler = std::function<void(const std::string& message)>;
FailureHandler SetFailureHandler(FailureHandler handler);

}  // namespace korvex::fuzz
