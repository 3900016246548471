// TAVLO.DLL's exports: each builds a stateless Windows device channel and
// runs the portable command. The definitions are expanded from the export
// table; being extern "C", each must agree with its declaration in tavlo.h.
// Names are exported undecorated through the generated .def file.
#include "device_channel_win32.h"
#include "tavlo.h"
#include "tavlo_commands.h"

extern "C" {

#define TAVLO_EXPORT(name, command, parameters, arguments, requests) \
    TavloStatus TAVLO_CALL name parameters {                         \
        tavlo::Win32DeviceChannel ch;                                \
        return tavlo::command(ch, TAVLO_UNWRAP arguments);           \
    }
#define TAVLO_UNWRAP(...) __VA_ARGS__
#include "tavlo_exports.inc"
#undef TAVLO_UNWRAP
#undef TAVLO_EXPORT

}  // extern "C"
