#include "doctor.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "records.h"

namespace tavloctl {

const char* const kSuiteLibraries[2] = {"TAVLO.DLL", "BRIMOL.DLL"};
const char* const kSuitePrograms[5] = {"Nystra.exe", "Cordane.exe", "Velmic.exe", "Gorvat.exe", "Palvine.exe"};

const char* LevelName(Level level) {
    switch (level) {
    case Level::kOk:
        return "OK";
    case Level::kWarn:
        return "WARN";
    default:
        return "FAIL";
    }
}

Level Worst(const std::vector<Finding>& findings) {
    Level worst = Level::kOk;
    for (const Finding& finding : findings) worst = std::max(worst, finding.level);
    return worst;
}

namespace {

// The interlock handles this many panels; more are never enabled by it.
const std::size_t kInterlockPanels = 4;

std::string PanelName(std::size_t panel, int id) {
    return "panel " + std::to_string(panel) + " (id " + std::to_string(id) + ")";
}

// Adds an item to a comma-separated list.
void Append(std::string* list, const std::string& item) {
    if (!list->empty()) *list += ", ";
    *list += item;
}

class Examiner {
public:
    explicit Examiner(Platform& platform) : platform_(platform) {}

    void Add(Level level, const char* check, const std::string& text) { findings_.push_back({level, check, text}); }

    // The failure the reader has just reported on its stream, as a finding.
    void FailFromReader(const char* check, const std::string& prefix) {
        std::string text = errors_.str();
        errors_.str("");
        const std::string tag = "tavloctl: ";
        if (text.compare(0, tag.size(), tag) == 0) text.erase(0, tag.size());
        while (!text.empty() && text.back() == '\n') text.pop_back();
        Add(Level::kFail, check, prefix + text);
    }

    bool Call(const char* check, const char* what, TavloStatus status) {
        if (reader_.Check(what, status)) return true;
        FailFromReader(check, "");
        return false;
    }

    std::vector<Finding> Run(const std::string& folder) {
        const bool driver = Driver();
        std::vector<std::uint8_t> ids;
        if (driver) Panels(&ids);
        Records(ids, driver);
        System();
        if (driver) Interlock(ids);
        if (driver) TrialValues(ids);
        if (driver) Modes();
        Files(folder);
        return findings_;
    }

private:
    bool Driver() {
        std::uint16_t version = 0;
        if (!Call("driver", "TavloGetVersion", TavloGetVersion(&version))) {
            findings_.back().text = "the driver does not answer: " + findings_.back().text +
                                    "; is the touch-panel driver installed and the panels' USB hub powered?";
            return false;
        }
        char text[64];
        std::snprintf(text, sizeof text, "the driver answers, version 0x%04X", version);
        Add(Level::kOk, "driver", text);
        return true;
    }

    bool Panels(std::vector<std::uint8_t>* ids) {
        if (!reader_.Identifiers(ids)) {
            FailFromReader("panels", "the panels cannot be read: ");
            ids->clear();
            return false;
        }
        if (ids->empty()) {
            Add(Level::kWarn, "panels", "no panel is attached; check the panels' USB cables");
        } else if (ids->size() > kInterlockPanels) {
            Add(Level::kWarn, "panels",
                std::to_string(ids->size()) +
                    " panels attached; the interlock and the setting dialog handle the first " +
                    std::to_string(kInterlockPanels));
        } else {
            Add(Level::kOk, "panels", std::to_string(ids->size()) + " panel(s) attached");
        }
        bool unique = true;
        for (std::size_t first = 0; first < ids->size(); ++first) {
            const std::uint8_t id = (*ids)[first];
            // Each shared identifier is reported once, at its first panel.
            if (std::find(ids->begin(), ids->begin() + first, id) != ids->begin() + first) continue;
            std::string which;
            std::size_t count = 0;
            for (std::size_t panel = first; panel < ids->size(); ++panel) {
                if ((*ids)[panel] != id) continue;
                Append(&which, std::to_string(panel));
                ++count;
            }
            if (count < 2) continue;
            unique = false;
            Add(Level::kFail, "identifiers",
                "panels " + which + (count == 2 ? " both" : " all") + " report identifier " + std::to_string(id) +
                    ": they share one record and the setting dialog refuses to save; give each panel its own "
                    "identifier");
        }
        if (unique && !ids->empty()) Add(Level::kOk, "identifiers", "every panel has its own identifier");
        return true;
    }

    void Records(const std::vector<std::uint8_t>& ids, bool driver) {
        int supervisors = 0;
        bool allGood = true;
        for (std::size_t panel = 0; panel < ids.size() && panel < kInterlockPanels; ++panel) {
            const PanelRecord record = ReadRecord(ids[panel], platform_);
            const std::string who = PanelName(panel, ids[panel]);
            if (record.touchOp == 2) ++supervisors;
            if (!record.stored) {
                allGood = false;
                Add(Level::kWarn, "records",
                    who + " has no record: it acts as interlock with no name; set it with tavloctl record " +
                        std::to_string(ids[panel]) + " --name NAME --mode MODE, or in Cordane");
                continue;
            }
            for (const std::string& note : record.notes) {
                allGood = false;
                Add(Level::kWarn, "records", who + ": " + note);
            }
            if (record.touchOp == 0) {
                Add(Level::kOk, "records", who + " is in mode disable: the interlock never makes it active");
            }
        }
        if (supervisors > 1) {
            allGood = false;
            Add(Level::kWarn, "records",
                "There are two Supervisor in this system: each takes over from the other at a touch");
        }
        if (allGood && !ids.empty()) Add(Level::kOk, "records", "every attached panel has a record with a valid mode");
        std::string orphans;
        if (!driver) return;
        for (const int id : RecordIds()) {
            if (std::find(ids.begin(), ids.end(), id) == ids.end()) {
                Append(&orphans, std::to_string(id));
            }
        }
        if (!orphans.empty()) Add(Level::kOk, "records", "records of identifiers not attached (kept): " + orphans);
    }

    void System() {
        const SystemRecord system = ReadSystem(platform_);
        if (system.notes.empty()) {
            Add(Level::kOk, "time-out",
                "time-out " + std::to_string(system.timeOut) + " s, time release " +
                    (system.timeEnable ? "on" : "off") + (system.stored ? "" : " (no record: defaults)"));
        }
        for (const std::string& note : system.notes) Add(Level::kWarn, "time-out", "ALL: " + note);
    }

    void Interlock(const std::vector<std::uint8_t>& ids) {
        const NystraSigns signs = platform_.Nystra();
        std::string how;
        if (signs.globalLock) Append(&how, "global lock");
        if (signs.localLock) Append(&how, "session lock");
        if (signs.window) Append(&how, "window");
        const bool running = signs.Running();
        Add(Level::kOk, "interlock", running ? "Nystra is running (" + how + ")" : "Nystra is not running");

        std::uint8_t startup = 0;
        if (Call("startup", "TavloGetStartupMode", TavloGetStartupMode(&startup))) {
            if (running && startup != 0) {
                Add(Level::kWarn, "startup",
                    "start-up mode is 1 while Nystra runs (it sets 0 when it starts); restart Nystra");
            } else if (!running && startup == 0) {
                Add(Level::kFail, "startup",
                    "start-up mode is 0 with Nystra not running: an interlock ended without cleaning up; run tavloctl "
                    "recover");
            } else {
                Add(Level::kOk, "startup", "start-up mode " + std::to_string(startup) + " fits");
            }
        }

        std::vector<std::size_t> enabled;
        for (std::uint32_t panel = 0; panel < ids.size(); ++panel) {
            std::uint8_t on = 0;
            std::uint16_t* stamp = reader_.stamp();
            if (!reader_.PanelCall("TavloGetPointdataEnable",
                                   [&] { return TavloGetPointdataEnable(stamp, panel, &on); })) {
                FailFromReader("point data", "");
                return;
            }
            if (on) enabled.push_back(panel);
        }
        if (running && enabled.size() > 1) {
            Add(Level::kFail, "point data",
                std::to_string(enabled.size()) + " panels have point data on while Nystra runs; at most one may");
        } else if (!running && enabled.size() < ids.size()) {
            Add(Level::kFail, "point data",
                std::to_string(ids.size() - enabled.size()) +
                    " panel(s) have point data off with Nystra not running: their touches do nothing; run tavloctl "
                    "recover");
        } else if (!ids.empty()) {
            Add(Level::kOk, "point data",
                std::to_string(enabled.size()) + " of " + std::to_string(ids.size()) + " panel(s) have point data on");
        }
    }

    void TrialValues(const std::vector<std::uint8_t>& ids) {
        bool clean = true;
        for (std::uint32_t panel = 0; panel < ids.size(); ++panel) {
            SetValues sets[2];
            if (!reader_.ReadSet(panel, kWorking, &sets[0]) || !reader_.ReadSet(panel, kSaved, &sets[1])) {
                FailFromReader("working set", PanelName(panel, ids[panel]) + " cannot be read: ");
                return;
            }
            std::string what;
            if (!SameValues(sets[0].calibration, sets[1].calibration)) Append(&what, "calibration");
            if (!SameValues(sets[0].click, sets[1].click)) Append(&what, "click settings");
            if (sets[0].sound != sets[1].sound) Append(&what, "sound");
            if (what.empty()) continue;
            clean = false;
            const bool several = what.find(',') != std::string::npos || what == "click settings";
            Add(Level::kWarn, "working set",
                PanelName(panel, ids[panel]) + ": working " + what + (several ? " differ" : " differs") +
                    " from the saved set (trial values of a tool that did not finish?); tavloctl revert " +
                    std::to_string(panel) + " puts the saved values back");
        }
        if (clean && !ids.empty()) Add(Level::kOk, "working set", "every panel's working set equals its saved set");
    }

    void Modes() {
        DriverModes modes;
        if (!reader_.ReadModes(&modes)) {
            FailFromReader("click mode", "");
            return;
        }
        const auto known = [](int b) { return b == 1 || b == 2 || b == 4; };
        if (!known(modes.clickMode)) {
            Add(Level::kWarn, "click mode",
                "click mode " + std::to_string(modes.clickMode) + " is no mouse button (1 left, 2 right, 4 middle)");
        } else if (modes.onceFlag != 0) {
            Add(Level::kWarn, "click mode",
                "the one-shot is armed: the next touch gives one click of button " + std::to_string(modes.onceButton) +
                    " (Palvine disarms it; tavloctl recover does too)");
        } else {
            Add(Level::kOk, "click mode", "touches click button " + std::to_string(modes.clickMode) + ", one-shot off");
        }
    }

    void Files(const std::string& folder) {
        std::string missingLibraries, missingPrograms;
        for (const char* file : kSuiteLibraries) {
            if (!platform_.FileExists(folder + file)) Append(&missingLibraries, file);
        }
        for (const char* file : kSuitePrograms) {
            if (!platform_.FileExists(folder + file)) Append(&missingPrograms, file);
        }
        if (!missingLibraries.empty()) {
            Add(Level::kFail, "files", folder + " lacks " + missingLibraries + ": reinstall the suite");
        }
        if (!missingPrograms.empty()) {
            Add(Level::kWarn, "files", folder + " lacks " + missingPrograms);
        }
        if (missingLibraries.empty() && missingPrograms.empty()) {
            Add(Level::kOk, "files", "the suite's libraries and programs are in " + folder);
        }
    }

    Platform& platform_;
    std::ostringstream errors_;
    Device reader_{errors_};  // reports its failures into errors_
    std::vector<Finding> findings_;
};

}  // namespace

std::vector<Finding> Examine(Platform& platform, const std::string& folder) { return Examiner(platform).Run(folder); }

}  // namespace tavloctl
