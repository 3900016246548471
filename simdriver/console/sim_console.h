// The simulator console's commands, portable: parses a sequence of commands
// from the command line and runs them against the simulated driver.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "sim_control.h"

namespace tavlosim {

// Exit codes: 0 all commands done, 1 a command failed, 2 bad usage.
int RunSimConsole(const std::vector<std::string>& args, SimControl& control, std::ostream& out, std::ostream& err);

extern const char* const kSimConsoleUsage;

}  // namespace tavlosim
