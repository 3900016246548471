#include "records.h"

#include <algorithm>
#include <cstring>

#include "brimol.h"
#include "panel_fields.h"

namespace tavloctl {
namespace {

// Brimol reads NAME through a buffer of 50 bytes: 49 characters at most.
const std::uint32_t kReadableNameBytes = 49;
const int kHighestId = 255;

// A record object that can also tell whether a key exists, with the
// class's own open and close.
class RecordProbe : public CRegPanel {
public:
    bool Exists(const char* subkey) {
        if (RegOpen(subkey) != 0) return false;
        RegClose();
        return true;
    }
};

std::string KeyName(int id) { return "ID" + std::to_string(id); }

// A note for a 32-bit value the classes read only when it is a REG_DWORD of
// four bytes.
void CheckDword(Platform& platform, const std::string& key, const char* value, const char* fallback,
                std::vector<std::string>* notes) {
    const std::optional<StoredValue> stored = platform.RecordValue(key, value);
    if (!stored) {
        notes->push_back(std::string(value) + " is missing; read as " + fallback);
    } else if (stored->type != kValueDword || stored->size != 4) {
        notes->push_back(std::string(value) + " is not a 32-bit number (type " + std::to_string(stored->type) + ", " +
                         std::to_string(stored->size) + " bytes); read as " + fallback);
    }
}

}  // namespace

std::vector<int> RecordIds() {
    RecordProbe probe;
    std::vector<int> ids;
    for (int id = 0; id <= kHighestId; ++id) {
        if (probe.Exists(KeyName(id).c_str())) ids.push_back(id);
    }
    return ids;
}

PanelRecord ReadRecord(int id, Platform& platform) {
    PanelRecord record;
    record.id = id;
    RecordProbe panel;
    record.stored = panel.Exists(KeyName(id).c_str());
    panel.GetPanelReg(id);
    record.name.assign(panel.name, std::find(panel.name, panel.name + sizeof panel.name, '\0'));
    record.touchOp = panel.touchOp;
    record.irOp = panel.irOp;
    if (!record.stored) return record;

    const std::string key = KeyName(id);
    const std::optional<StoredValue> name = platform.RecordValue(key, "NAME");
    if (!name) {
        record.notes.push_back("NAME is missing; read as empty");
    } else if (name->type != kValueText) {
        record.notes.push_back("NAME is not text (type " + std::to_string(name->type) + "); read as empty");
    } else if (name->size > kReadableNameBytes + 1) {
        record.notes.push_back("NAME holds " + std::to_string(name->size) + " bytes; read as its first " +
                               std::to_string(kReadableNameBytes) + " characters");
    }
    if (const std::optional<std::string> problem = NameProblem(platform, record.name)) {
        record.notes.push_back(*problem);
    }
    CheckDword(platform, key, "TOUCH_OP", "1 (interlock)", &record.notes);
    CheckDword(platform, key, "IR_OP", "0", &record.notes);
    if (ModeName(record.touchOp) == nullptr) {
        record.notes.push_back("TOUCH_OP " + std::to_string(record.touchOp) +
                               " is no mode (0 disable, 1 interlock, 2 supervisor); Nystra treats it as interlock");
    }
    return record;
}

SystemRecord ReadSystem(Platform& platform) {
    SystemRecord record;
    RecordProbe probe;
    record.stored = probe.Exists("ALL");
    CRegSystem system;
    system.GetSystemReg();
    record.timeOut = system.timeOut;
    record.timeEnable = system.timeEnable;
    if (record.stored) {
        CheckDword(platform, "ALL", "TIMEOUT", "30", &record.notes);
        CheckDword(platform, "ALL", "TIMEENABLE", "0", &record.notes);
    }
    if (!TimeOutInRange(record.timeOut)) {
        record.notes.push_back("TIMEOUT " + std::to_string(record.timeOut) + " is outside " + TimeOutRange());
    }
    if (record.timeEnable != 0 && record.timeEnable != 1) {
        record.notes.push_back("TIMEENABLE " + std::to_string(record.timeEnable) + " is neither 0 nor 1; read as on");
    }
    return record;
}

int WriteRecord(int id, const std::string& name, std::int32_t touchOp, std::int32_t irOp) {
    CRegPanel panel;
    std::memset(panel.name, 0, sizeof panel.name);
    std::memcpy(panel.name, name.data(), name.size() < sizeof panel.name ? name.size() : sizeof panel.name - 1);
    panel.touchOp = touchOp;
    panel.irOp = irOp;
    return panel.SetPanelReg(id);
}

bool WriteSystem(std::int32_t timeOut, std::int32_t timeEnable) {
    CRegSystem system;
    system.timeOut = timeOut;
    system.timeEnable = timeEnable;
    system.SetSystemReg();
    CRegSystem check;
    check.GetSystemReg();
    return check.timeOut == timeOut && check.timeEnable == timeEnable;
}

const char* ModeName(std::int32_t touchOp) {
    switch (touchOp) {
    case TouchDisable:
        return "disable";
    case TouchInterlock:
        return "interlock";
    case TouchSupervisor:
        return "supervisor";
    default:
        return nullptr;
    }
}

std::optional<std::int32_t> ParseMode(const std::string& text) {
    for (std::int32_t mode = TouchDisable; mode <= TouchSupervisor; ++mode) {
        if (text == ModeName(mode)) return mode;
    }
    return std::nullopt;
}

std::optional<std::string> NameProblem(Platform& platform, const std::string& stored) {
    if (stored.find('\0') != std::string::npos) return "a name cannot hold a zero character";
    const std::size_t characters = platform.StoredCharacters(stored);
    if (characters > cordane::kMaxNameCharacters) {
        return "the name has " + std::to_string(characters) + " characters; a panel name has at most " +
               std::to_string(cordane::kMaxNameCharacters);
    }
    return std::nullopt;
}

bool TimeOutInRange(long long seconds) {
    // The dialog's own parser decides, so both refuse the same values.
    return seconds >= 0 && cordane::ParseTimeOut(std::to_string(seconds)).has_value();
}

std::string TimeOutRange() {
    return std::to_string(cordane::kMinTimeOut) + " to " + std::to_string(cordane::kMaxTimeOut) + " seconds";
}

}  // namespace tavloctl
