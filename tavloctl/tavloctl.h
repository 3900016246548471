// tavloctl: the service console. It reaches the panels only through the
// Tavlo exports and the records only through BRIMOL's classes, so it
// serves on the real driver as well as on the simulated one. The command
// logic is portable; the machine around it comes in through Platform.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform.h"

namespace tavloctl {

// Exit status of every command but doctor: 0 success; 1 a driver, registry
// or file operation failed or was refused (values the records do not take,
// a bad backup file, recover while Nystra runs), a panel named by
// identifier is not there once, or watch saw fewer touches than asked;
// 2 bad usage. doctor: 0 every check
// OK, 1 a warning, 2 a failure.
enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };
enum DoctorExit { kDoctorOk = 0, kDoctorWarn = 1, kDoctorFail = 2 };

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, Platform& platform);

// The usage text: every command and the exit codes.
std::string UsageText();

// The suite's version, "1.0.0".
const char* SuiteVersion();

}  // namespace tavloctl
