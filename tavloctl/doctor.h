// The health check: what a technician looks at first when "no panel
// reacts". Each finding is one line with OK, WARN or FAIL and says what to
// do about it.
#pragma once

#include <string>
#include <vector>

#include "device.h"
#include "platform.h"

namespace tavloctl {

enum class Level { kOk = 0, kWarn = 1, kFail = 2 };

struct Finding {
    Level level;
    std::string check;  // short name: "driver", "panels", ...
    std::string text;
};

const char* LevelName(Level level);  // "OK", "WARN", "FAIL"

// The programs and libraries of the suite, looked for in the install folder.
extern const char* const kSuiteLibraries[2];
extern const char* const kSuitePrograms[5];

// Runs every check; `folder` ends with a backslash.
std::vector<Finding> Examine(Platform& platform, const std::string& folder);

// The worst level found (kOk for none).
Level Worst(const std::vector<Finding>& findings);

}  // namespace tavloctl
