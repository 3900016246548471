// What Palvine's routines report: 0 for success and -1 for failure, the
// numbers its window and menu routines have always given.
#pragma once

#include <cstdint>

namespace palvine {

enum class Result : std::int16_t { kSuccess = 0, kFailure = -1 };

}  // namespace palvine
