#pragma once

#include <cstdint>

namespace korvex {

// Process-wide flag: 1 after a scattering table or a structure file could not be read, 0 after a
// structure read its file and after a composite structure was initialised.
extern std::int32_t LoadError;

}  // namespace korvex
