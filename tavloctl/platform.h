// What the console needs of the machine besides the Tavlo exports and the
// records: a clock, the interlock controller's presence, files of the
// install folder, the code page the records keep their names in, and the
// stored form of a record's values. Windows provides them in
// platform_win32.cpp; tests provide fakes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tavloctl {

// Registry value types the console tells apart.
enum : std::uint32_t { kValueText = 1, kValueDword = 4 };

struct StoredValue {
    std::uint32_t type = 0;
    std::uint32_t size = 0;  // bytes as stored
};

// How the interlock controller shows itself while it runs: its
// single-instance lock (under either of the names it has used) and its
// window.
struct NystraSigns {
    bool localLock = false;
    bool globalLock = false;
    bool window = false;
    bool Running() const { return localLock || globalLock || window; }
};

class Platform {
public:
    virtual ~Platform() = default;

    // Waits between two polls of `watch`.
    virtual void Pause(int milliseconds) = 0;
    // Local time of day, "HH:MM:SS.mmm".
    virtual std::string TimeOfDay() = 0;

    virtual NystraSigns Nystra() = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // The folder the suite is installed in, with a trailing backslash.
    virtual std::string InstallFolder() = 0;

    // A whole file read into memory, or nothing when it cannot be read;
    // and a file written whole (replacing one that exists), false on failure.
    virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
    virtual bool WriteFile(const std::string& path, const std::string& content) = 0;

    // Names are kept in the machine's narrow code page; the backup file and
    // JSON output are UTF-8. Text the code page cannot hold has no stored
    // form.
    virtual std::string StoredToUtf8(const std::string& stored) = 0;
    virtual std::optional<std::string> Utf8ToStored(const std::string& utf8) = 0;
    // Characters of a stored text, as a text field counts them.
    virtual std::size_t StoredCharacters(const std::string& stored) = 0;

    // Type and size of a value of a record key (e.g. "ID17", "TOUCH_OP"),
    // read in the same registry view as the record classes; nothing when
    // the key or value is missing.
    virtual std::optional<StoredValue> RecordValue(const std::string& key, const std::string& valueName) = 0;
};

}  // namespace tavloctl
