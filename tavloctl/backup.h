// The backup file: a JSON document with a format name and version that
// holds, per panel and keyed by its identifier, both sets of calibration,
// click settings and sound, the LED value and the panel's record, and
// (for a backup of every panel) the system record and the driver's click
// and once modes. Reading validates the whole document before anything
// is used, and names the place of the first fault.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device.h"

namespace tavloctl {

inline constexpr int kBackupVersion = 1;
inline constexpr const char* kBackupFormat = "tavloctl backup";

struct PanelBackup {
    int id = 0;
    PanelSettings settings;
    std::string name;  // UTF-8
    std::int32_t touchOp = 1;
    std::int32_t irOp = 0;
};

struct SystemBackup {
    std::int32_t timeOut = 30;
    bool timeRelease = false;
};

struct Backup {
    std::optional<DriverModes> driver;
    std::optional<SystemBackup> system;
    std::vector<PanelBackup> panels;
};

// The document, indented, ending with a newline. The same backup always
// gives the same bytes.
std::string BackupToJson(const Backup& backup, const std::string& suiteVersion);

// Reads and validates a document. On a fault returns false with *error
// naming its place ("panels[1].saved.click.double_click_time: ...") and
// leaves *backup unspecified.
bool ParseBackup(const std::string& text, Backup* backup, std::string* error);

// Range checks shared with the console's own arguments.
bool ClickValueValid(int index, long long value);
std::string ClickValueRule(int index);

}  // namespace tavloctl
