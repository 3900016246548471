#include <new>

#include "inprocess_driver.h"
#include "tavlo.h"
#include "tavlo_commands.h"

namespace tavlosim {

namespace {
InProcessDriver* g_driver = nullptr;
}

InProcessDriver& TheInProcessDriver() {
    if (g_driver == nullptr) g_driver = new InProcessDriver();
    return *g_driver;
}

void ResetInProcessDriver() {
    delete g_driver;
    g_driver = new InProcessDriver();
}

}  // namespace tavlosim

namespace {
tavlo::DeviceChannel& Channel() { return tavlosim::TheInProcessDriver().channel; }
}  // namespace

// The exports of tavlo.h, each running the library's command against the
// process-wide driver; expanded from the export table like the DLL's own.
extern "C" {

#define TAVLO_EXPORT(name, command, parameters, arguments, requests) \
    TavloStatus name parameters { return tavlo::command(Channel(), TAVLO_UNWRAP arguments); }
#define TAVLO_UNWRAP(...) __VA_ARGS__
#include "tavlo_exports.inc"
#undef TAVLO_UNWRAP
#undef TAVLO_EXPORT

}  // extern "C"
