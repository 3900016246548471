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
#define TAVLO_ENTRY(fn) {#fn, reinterpret_cast<void*>(&fn)}
        const struct {
            const char* name;
            void* address;
        } table[] = {
            TAVLO_ENTRY(TavloGetVersion), TAVLO_ENTRY(TavloNeedUpdate), TAVLO_ENTRY(TavloGetDevices),
            TAVLO_ENTRY(TavloGetFirmVer), TAVLO_ENTRY(TavloGetPanelId), TAVLO_ENTRY(TavloGetCalibrationData),
            TAVLO_ENTRY(TavloSetCalibrationData), TAVLO_ENTRY(TavloGetPointdataEnable),
            TAVLO_ENTRY(TavloSetPointdataEnable), TAVLO_ENTRY(TavloCheckTouch), TAVLO_ENTRY(TavloGetClickData),
            TAVLO_ENTRY(TavloSetClickData), TAVLO_ENTRY(TavloGetClickSound), TAVLO_ENTRY(TavloSetClickSound),
            TAVLO_ENTRY(TavloGetPanelLed), TAVLO_ENTRY(TavloSetPanelLed), TAVLO_ENTRY(TavloGetStartupMode),
            TAVLO_ENTRY(TavloSetStartupMode), TAVLO_ENTRY(TavloGetClickMode), TAVLO_ENTRY(TavloSetClickMode),
            TAVLO_ENTRY(TavloGetClickOnceMode), TAVLO_ENTRY(TavloSetClickOnceMode), TAVLO_ENTRY(TavloReadEeprom),
            TAVLO_ENTRY(TavloWriteEeprom),
        };
#undef TAVLO_ENTRY
        for (const auto& entry : table) {
            if (std::strcmp(entry.name, name) == 0) return entry.address;
        }
        return nullptr;
    }

    std::string error_;
};

}  // namespace tavlosim
