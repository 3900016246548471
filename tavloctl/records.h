// The panel records and the system record, read and written through
// BRIMOL's classes with their defaults, checked with the panel setting
// dialog's rules (name length, modes, time-out range). What the classes
// read silently as a default (a value of the wrong type, a name cut to 49
// characters, a mode outside the three) is reported as a note.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform.h"

namespace tavloctl {

struct PanelRecord {
    int id = 0;
    bool stored = false;  // the key exists; otherwise the values are defaults
    std::string name;     // as stored, in the machine's code page
    std::int32_t touchOp = 1;
    std::int32_t irOp = 0;
    std::vector<std::string> notes;
};

struct SystemRecord {
    bool stored = false;
    std::int32_t timeOut = 30;
    std::int32_t timeEnable = 0;
    std::vector<std::string> notes;
};

// Identifiers (0..255) that have a record key.
std::vector<int> RecordIds();
PanelRecord ReadRecord(int id, Platform& platform);
SystemRecord ReadSystem(Platform& platform);
// Stores a panel record; returns the registry's status (0 success).
int WriteRecord(int id, const std::string& name, std::int32_t touchOp, std::int32_t irOp);
// Stores the system record; false when it did not read back as written.
bool WriteSystem(std::int32_t timeOut, std::int32_t timeEnable);

// "interlock", "supervisor", "disable"; null for a value outside 0..2.
const char* ModeName(std::int32_t touchOp);
std::optional<std::int32_t> ParseMode(const std::string& text);
// Why a name (stored form) cannot be a panel name; nothing when it can.
std::optional<std::string> NameProblem(Platform& platform, const std::string& stored);
// Whether seconds lie in the time-out range, and that range as text.
bool TimeOutInRange(long long seconds);
std::string TimeOutRange();

}  // namespace tavloctl
