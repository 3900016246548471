// LoadLibraryA / GetProcAddress behind the LibraryLoader interface. The
// library stays loaded for the life of the process, as the form tools
// expect of a library bound by name.
#pragma once

#include "library_loader.h"

namespace tavlo {

class Win32LibraryLoader final : public LibraryLoader {
public:
    bool Load(const char* libraryName) override;
    void* Find(const char* functionName) override;
    std::string LastErrorText() override;

private:
    void* module_ = nullptr;
    unsigned long lastError_ = 0;
};

}  // namespace tavlo
