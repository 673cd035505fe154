// The libFuzzer entry point of one target; KORVEX_FUZZ_TARGET names its entry function.
#include "fuzz/ReaderTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return korvex::fuzz::KORVEX_FUZZ_TARGET(data, size);
}
