// A LibraryLoader that "loads" the in-process exports, so the form tools'
// TavloIoctl binding runs unchanged in native tests. Tests can make the
// library or single functions missing, and see what was looked up.
#pragma once

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "library_loader.h"
#include "tavlo.h"

namespace tavlosim {

class InProcessLoader final : public tavlo::LibraryLoader {
public:
    bool Load(const char* libraryName) override {
        loads.push_back(libraryName);
        error_ = libraryMissing ? "The specified module could not be found." : "";
        return !libraryMissing;
    }

    void* Find(const char* functionName) override {
        lookups.push_back(functionName);
        void* address = missingFunctions.count(functionName) ? nullptr : Lookup(functionName);
        error_ = address == nullptr ? "The specified procedure could not be found." : "";
        return address;
    }

    std::string LastErrorText() override { return error_; }

    bool libraryMissing = false;
    std::set<std::string> missingFunctions;
    std::vector<std::string> loads;
    std::vector<std::string> lookups;

private:
    static void* Lookup(const char* name) {
        const struct {
            const char* name;
            void* address;
        } table[] = {
#define TAVLO_EXPORT(name, command, parameters, arguments, requests) {#name, reinterpret_cast<void*>(&name)},
#include "tavlo_exports.inc"
#undef TAVLO_EXPORT
        };
        for (const auto& entry : table) {
            if (std::strcmp(entry.name, name) == 0) return entry.address;
        }
        return nullptr;
    }

    std::string error_;
};

}  // namespace tavlosim
