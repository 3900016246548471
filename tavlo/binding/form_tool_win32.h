// The start of the form tools (the programs that reach TAVLO.DLL through
// TavloIoctl): the library bound by name, with a fatal handler that names
// the missing library or function and ends the program.
#pragma once

#include <windows.h>

#include <functional>

#include "library_loader_win32.h"
#include "tavlo_ioctl.h"

namespace winui {

class FormToolDevice {
public:
    // `title` heads the fatal message; `owner` gives the window it belongs
    // to at the time (null before the first window exists).
    FormToolDevice(const char* title, std::function<HWND()> owner);
    FormToolDevice(const FormToolDevice&) = delete;
    FormToolDevice& operator=(const FormToolDevice&) = delete;

    tavlo::TavloIoctl& Device() { return device_; }

private:
    tavlo::Win32LibraryLoader loader_;
    tavlo::TavloIoctl device_;
};

}  // namespace winui
