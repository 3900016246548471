// Starting the click settings and calibration tools: by path, without
// arguments, without waiting for them.
#pragma once

#include <windows.h>

namespace cordane {

// Starts the program at `path` with no arguments, the default error mode
// and normal priority, in Cordane's environment and current folder, and
// returns at once. `startup` is the start-up record (its size is set here);
// `process` receives the process and thread identifiers. The process and
// thread handles are closed before this returns, so each start leaves no
// handle behind; they are null in `process`. False when the program could
// not be started.
bool StartDetached(const char* path, STARTUPINFOA* startup, PROCESS_INFORMATION* process);

}  // namespace cordane
