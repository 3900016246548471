// TAVLO.DLL loaded by name and each export looked up with GetProcAddress,
// as the form tools bind it; for the end-to-end tests and the benchmark.
#pragma once

#include <windows.h>

#include <type_traits>

#include "tavlo.h"

inline HMODULE TavloModule() {
    static HMODULE module = LoadLibraryA("TAVLO.DLL");
    return module;
}

template <typename Fn>
Fn* FindTavloExport(const char* name) {
    return reinterpret_cast<Fn*>(reinterpret_cast<void*>(GetProcAddress(TavloModule(), name)));
}

// TAVLO(TavloGetDevices)(&count): the export looked up by name, with the
// type its declaration in tavlo.h gives it.
#define TAVLO(fn) (*FindTavloExport<std::remove_pointer_t<decltype(&fn)>>(#fn))
