// TavloIoctl: how the form tools (calibration, click settings, click status)
// reach TAVLO.DLL. The library is loaded by name at the first call and each
// function is looked up by name at its own first use. When the library or a
// function is missing, `onFatal` receives a message naming it; the programs
// show it and stop. Should `onFatal` return, the call reports TavloNoDevice.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "library_loader.h"
#include "tavlo.h"

namespace tavlo {

class TavloIoctl {
public:
    using FatalHandler = std::function<void(const std::string& message)>;

    TavloIoctl(LibraryLoader& loader, FatalHandler onFatal, const char* libraryName = "TAVLO.DLL");

    // One method per export, named as the export without its prefix and
    // taking the export's parameters (see tavlo_exports.inc).
#define TAVLO_EXPORT(name, command, parameters, arguments, requests) TavloStatus command parameters;
#include "tavlo_exports.inc"
#undef TAVLO_EXPORT

    enum Function : int {
#define TAVLO_EXPORT(name, command, parameters, arguments, requests) k##command,
#include "tavlo_exports.inc"
#undef TAVLO_EXPORT
        kFunctionCount
    };

    // Loads the library and looks up all these functions now, so that a
    // program can tell before it changes anything in the driver that it will
    // be able to put it back. False (after onFatal for the first one
    // missing) when the library or any of them is missing.
    bool BindNow(std::initializer_list<Function> functions);

private:
    // Loads the library if needed and looks the function up at its first
    // use; null (after onFatal) when either is missing.
    void* Resolve(Function function);
    template <typename Fn>
    Fn* Bind(Function function) {
        return reinterpret_cast<Fn*>(Resolve(function));
    }

    LibraryLoader& loader_;
    FatalHandler onFatal_;
    std::string libraryName_;
    bool loaded_ = false;
    void* functions_[kFunctionCount] = {};
};

}  // namespace tavlo
