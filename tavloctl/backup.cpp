#include "backup.h"

#include <initializer_list>

#include <nlohmann/json.hpp>

#include "records.h"

namespace tavloctl {
namespace {

using Ordered = nlohmann::ordered_json;
using Json = nlohmann::ordered_json;  // one instantiation for reading and writing keeps the program small

const char* const kCalibrationKeys[4] = {"x_gain", "x_offset", "y_gain", "y_offset"};
const char* const kClickKeys[4] = {"down_cancel", "up_cancel", "double_click_time", "double_click_area"};
const char* const kSetKeys[2] = {"working", "saved"};

// Click values as the driver delivers them: low, high and step.
struct ClickRule {
    int low, high, step;
};
const ClickRule kClickRules[4] = {{0, 100, 10}, {0, 100, 10}, {200, 900, 10}, {20, 40, 2}};

Ordered SetToJson(const SetValues& set) {
    Ordered calibration = Ordered::object();
    Ordered click = Ordered::object();
    for (int i = 0; i < 4; ++i) {
        calibration[kCalibrationKeys[i]] = set.calibration[i];
        click[kClickKeys[i]] = set.click[i];
    }
    Ordered json = Ordered::object();
    json["calibration"] = calibration;
    json["click"] = click;
    json["sound"] = set.sound != 0;
    return json;
}

// Walks the document, keeping the path of the member being read for the
// error message. The first fault throws Fault, caught in ParseBackup.
struct Fault {
    std::string message;
};

class Reader {
public:
    Reader(const Json& json, std::string path) : json_(json), path_(std::move(path)) {}

    [[noreturn]] void Fail(const std::string& what) const { throw Fault{(path_.empty() ? "" : path_ + ": ") + what}; }

    // An object with exactly the given members; `optional` ones may be missing.
    void ExpectObject(std::initializer_list<const char*> required,
                      std::initializer_list<const char*> optional = {}) const {
        if (!json_.is_object()) Fail("expected an object, found " + std::string(json_.type_name()));
        const auto listed = [](std::initializer_list<const char*> names, const std::string& key) {
            for (const char* name : names) {
                if (key == name) return true;
            }
            return false;
        };
        for (auto it = json_.begin(); it != json_.end(); ++it) {
            if (!listed(required, it.key()) && !listed(optional, it.key())) Child(it.key()).Fail("unknown field");
        }
        for (const char* key : required) {
            if (!json_.contains(key)) Fail("missing field \"" + std::string(key) + "\"");
        }
    }

    Reader Child(const std::string& key) const {
        return Reader(json_.at(key), path_.empty() ? key : path_ + "." + key);
    }
    Reader Item(std::size_t index) const { return Reader(json_.at(index), path_ + "[" + std::to_string(index) + "]"); }
    bool Has(const std::string& key) const { return json_.contains(key); }

    long long Integer(long long low, long long high) const {
        if (!json_.is_number_integer()) Fail("expected a whole number, found " + Describe());
        const long long value = json_.is_number_unsigned() && json_.get<unsigned long long>() > 0x7FFFFFFFFFFFFFFFull
                                    ? high + 1
                                    : json_.get<long long>();
        if (value < low || value > high) {
            Fail(std::to_string(value) + " is outside " + std::to_string(low) + ".." + std::to_string(high));
        }
        return value;
    }

    bool Boolean() const {
        if (!json_.is_boolean()) Fail("expected true or false, found " + Describe());
        return json_.get<bool>();
    }

    std::string Text() const {
        if (!json_.is_string()) Fail("expected a text, found " + Describe());
        return json_.get<std::string>();
    }

    const Json& json() const { return json_; }

private:
    std::string Describe() const {
        if (json_.is_number_float()) return "the number " + json_.dump();
        return json_.type_name();
    }

    const Json& json_;
    std::string path_;
};

void ReadSet(const Reader& reader, SetValues* set) {
    reader.ExpectObject({"calibration", "click", "sound"});
    const Reader calibration = reader.Child("calibration");
    const Reader click = reader.Child("click");
    calibration.ExpectObject({kCalibrationKeys[0], kCalibrationKeys[1], kCalibrationKeys[2], kCalibrationKeys[3]});
    click.ExpectObject({kClickKeys[0], kClickKeys[1], kClickKeys[2], kClickKeys[3]});
    for (int i = 0; i < 4; ++i) {
        set->calibration[i] = static_cast<std::int16_t>(calibration.Child(kCalibrationKeys[i]).Integer(-32768, 32767));
        const Reader value = click.Child(kClickKeys[i]);
        const ClickRule& rule = kClickRules[i];
        const long long v = value.Integer(rule.low, rule.high);
        if (!ClickValueValid(i, v)) value.Fail(std::to_string(v) + " is not " + ClickValueRule(i));
        set->click[i] = static_cast<std::int16_t>(v);
    }
    set->sound = reader.Child("sound").Boolean() ? 1 : 0;
}

void ReadPanel(const Reader& reader, PanelBackup* panel) {
    reader.ExpectObject({"id", "record", "led", "working", "saved"});
    panel->id = static_cast<int>(reader.Child("id").Integer(0, 255));
    const Reader record = reader.Child("record");
    record.ExpectObject({"name", "mode", "ir_op"});
    panel->name = record.Child("name").Text();
    const Reader mode = record.Child("mode");
    const std::optional<std::int32_t> touchOp = ParseMode(mode.Text());
    if (!touchOp) mode.Fail("\"" + mode.Text() + "\" is none of interlock, supervisor, disable");
    panel->touchOp = *touchOp;
    panel->irOp = static_cast<std::int32_t>(record.Child("ir_op").Integer(INT32_MIN, INT32_MAX));
    panel->settings.led = static_cast<std::uint8_t>(reader.Child("led").Integer(0, 255));
    for (int set = 0; set < 2; ++set) ReadSet(reader.Child(kSetKeys[set]), &panel->settings.sets[set]);
}

void ReadDocument(const Json& json, Backup* backup) {
    const Reader root(json, "");
    if (!json.is_object()) root.Fail("the document is not a JSON object");
    if (!json.contains("format") || !json["format"].is_string() || json["format"] != kBackupFormat) {
        root.Fail(std::string("not a tavloctl backup (its \"format\" is not \"") + kBackupFormat + "\")");
    }
    if (!json.contains("version")) root.Fail("missing field \"version\"");
    const Reader version = root.Child("version");
    if (!json["version"].is_number_integer() || json["version"].get<long long>() != kBackupVersion) {
        version.Fail(json["version"].dump() + " is not a version this tavloctl reads (it reads " +
                     std::to_string(kBackupVersion) + ")");
    }
    root.ExpectObject({"format", "version", "panels"}, {"suite", "driver", "system"});
    if (root.Has("suite")) root.Child("suite").Text();
    if (root.Has("driver")) {
        const Reader driver = root.Child("driver");
        driver.ExpectObject({"click_mode", "once_flag", "once_button"});
        DriverModes modes;
        modes.clickMode = static_cast<std::uint8_t>(driver.Child("click_mode").Integer(0, 255));
        modes.onceFlag = static_cast<std::uint8_t>(driver.Child("once_flag").Integer(0, 1));
        modes.onceButton = static_cast<std::uint8_t>(driver.Child("once_button").Integer(0, 255));
        backup->driver = modes;
    }
    if (root.Has("system")) {
        const Reader system = root.Child("system");
        system.ExpectObject({"timeout", "time_release"});
        SystemBackup values;
        const Reader timeOut = system.Child("timeout");
        const long long seconds = timeOut.Integer(INT32_MIN, INT32_MAX);
        if (!TimeOutInRange(seconds)) timeOut.Fail(std::to_string(seconds) + " is outside " + TimeOutRange());
        values.timeOut = static_cast<std::int32_t>(seconds);
        values.timeRelease = system.Child("time_release").Boolean();
        backup->system = values;
    }
    const Reader panels = root.Child("panels");
    if (!json["panels"].is_array()) panels.Fail("expected a list, found " + std::string(json["panels"].type_name()));
    for (std::size_t i = 0; i < json["panels"].size(); ++i) {
        PanelBackup panel;
        const Reader item = panels.Item(i);
        ReadPanel(item, &panel);
        for (std::size_t earlier = 0; earlier < backup->panels.size(); ++earlier) {
            if (backup->panels[earlier].id != panel.id) continue;
            item.Child("id").Fail("identifier " + std::to_string(panel.id) + " appears twice (also panels[" +
                                  std::to_string(earlier) + "])");
        }
        backup->panels.push_back(panel);
    }
}

}  // namespace

bool ClickValueValid(int index, long long value) {
    const ClickRule& rule = kClickRules[index];
    return value >= rule.low && value <= rule.high && (value - rule.low) % rule.step == 0;
}

std::string ClickValueRule(int index) {
    const ClickRule& rule = kClickRules[index];
    return std::to_string(rule.low) + ".." + std::to_string(rule.high) + " in steps of " + std::to_string(rule.step);
}

std::string BackupToJson(const Backup& backup, const std::string& suiteVersion) {
    Ordered json = Ordered::object();
    json["format"] = kBackupFormat;
    json["version"] = kBackupVersion;
    json["suite"] = suiteVersion;
    if (backup.driver) {
        json["driver"] = {{"click_mode", backup.driver->clickMode},
                          {"once_flag", backup.driver->onceFlag},
                          {"once_button", backup.driver->onceButton}};
    }
    if (backup.system) {
        json["system"] = {{"timeout", backup.system->timeOut}, {"time_release", backup.system->timeRelease}};
    }
    Ordered panels = Ordered::array();
    for (const PanelBackup& panel : backup.panels) {
        Ordered item = Ordered::object();
        item["id"] = panel.id;
        const char* mode = ModeName(panel.touchOp);
        item["record"] = {{"name", panel.name}, {"mode", mode ? mode : "interlock"}, {"ir_op", panel.irOp}};
        item["led"] = panel.settings.led;
        item["working"] = SetToJson(panel.settings.sets[kWorking]);
        item["saved"] = SetToJson(panel.settings.sets[kSaved]);
        panels.push_back(item);
    }
    json["panels"] = panels;
    // Invalid UTF-8 never reaches here (names are converted before), but
    // a dump must not throw: replace rather than fail.
    return json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

bool ParseBackup(const std::string& text, Backup* backup, std::string* error) {
    *backup = Backup();
    try {
        const Json json = Json::parse(text);
        ReadDocument(json, backup);
        return true;
    } catch (const Fault& fault) {
        *error = fault.message;
    } catch (const Json::parse_error& e) {
        // "[json.exception.parse_error.101] parse error at line 3, column 5: ..." without the tag.
        std::string what = e.what();
        const std::size_t tag = what.find("] ");
        *error = "not a valid JSON document: " + (tag == std::string::npos ? what : what.substr(tag + 2));
    } catch (const Json::exception& e) {
        *error = std::string("unreadable document: ") + e.what();
    }
    return false;
}

}  // namespace tavloctl
