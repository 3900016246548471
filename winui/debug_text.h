// The text of the "Debug" box: the caller's tag, one space, and the
// library status in decimal ("GetSettings(1):" and 8 give "GetSettings(1): 8").
#pragma once

#include <string>

namespace winui {

inline std::string DebugBoxText(const std::string& tag, long status) { return tag + " " + std::to_string(status); }

}  // namespace winui
