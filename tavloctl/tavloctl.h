// tavloctl: the service console. It reaches the panels only through the
// Tavlo exports, so it serves on the real driver as well as on the
// simulated one. The command logic is portable; `pause` is how `watch`
// waits between polls (Sleep on Windows, a fake clock in tests).
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tavloctl {

using Pause = std::function<void(int milliseconds)>;

// Exit codes: 0 success, 1 a library call failed (or watch saw fewer touches
// than asked), 2 bad usage.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Pause& pause);

extern const char* const kUsage;

}  // namespace tavloctl
