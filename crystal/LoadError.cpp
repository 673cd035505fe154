#include "crystal/LoadError.h"

namespace korvex {

std::int32_t LoadError = 0;

}  // namespace korvex
