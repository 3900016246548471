// Loading a library by name and looking up its functions: LoadLibraryA and
// GetProcAddress on Windows, a table of functions in native tests.
#pragma once

#include <string>

namespace tavlo {

class LibraryLoader {
public:
    // Loads the library; false when it cannot be loaded.
    virtual bool Load(const char* libraryName) = 0;
    // Address of an exported function of the loaded library, or null.
    virtual void* Find(const char* functionName) = 0;
    // The platform's text for the last failure of Load or Find.
    virtual std::string LastErrorText() = 0;

protected:
    ~LibraryLoader() = default;
};

}  // namespace tavlo
