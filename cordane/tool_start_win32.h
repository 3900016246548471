// Starting the click settings and calibration tools: by path, without
// arguments, without waiting for them.
#pragma once

#include <windows.h>

namespace cordane {

// Starts the program at `path` with no arguments, the default error mode
// and normal priority, in Cordane's environment and current folder, and
// returns at once. `startup` is the start-up record (its size is set here).
// Returns the process record: the process and thread identifiers, all zero
// when the program could not be started. The process and thread handles
// are closed before this returns, so each start leaves no handle behind;
// they are null in the record.
PROCESS_INFORMATION StartDetached(const char* path, STARTUPINFOA& startup);

// Whether the start that returned `process` started a program.
inline bool Started(const PROCESS_INFORMATION& process) { return process.dwProcessId != 0; }

}  // namespace cordane
