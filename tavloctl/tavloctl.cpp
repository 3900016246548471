#include "tavloctl.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <sstream>

#include <nlohmann/json.hpp>

#include "backup.h"
#include "device.h"
#include "doctor.h"
#include "identity_calibration.h"
#include "records.h"
#include "suite_install_folder.h"
#include "tavlo.h"

#ifndef TAVLOCTL_SUITE_VERSION
#define TAVLOCTL_SUITE_VERSION "0.0.0"
#endif

namespace tavloctl {

const char* SuiteVersion() { return TAVLOCTL_SUITE_VERSION; }

namespace {

using Json = nlohmann::ordered_json;

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

const char* ButtonName(int code) {
    switch (code) {
    case TavloButtonLeft:
        return "left";
    case TavloButtonRight:
        return "right";
    case TavloButtonMiddle:
        return "middle";
    default:
        return "unknown";
    }
}

bool ParseButton(const std::string& text, std::uint32_t* code) {
    if (text == "left")
        *code = TavloButtonLeft;
    else if (text == "right")
        *code = TavloButtonRight;
    else if (text == "middle")
        *code = TavloButtonMiddle;
    else {
        long long value = 0;
        if (!ParseNumber(text, 0, 255, &value)) return false;
        *code = static_cast<std::uint32_t>(value);
    }
    return true;
}

bool ParseOnOff(const std::string& text, std::uint8_t* on) {
    if (text != "on" && text != "off") return false;
    *on = text == "on" ? 1 : 0;
    return true;
}

std::string Values(const std::int16_t values[4]) {
    return std::to_string(values[0]) + " " + std::to_string(values[1]) + " " + std::to_string(values[2]) + " " +
           std::to_string(values[3]);
}

std::string SoundText(std::uint8_t on) { return on ? "on" : "off"; }

const char* SetName(PanelSet set) { return set == kSaved ? "saved" : "working"; }

class Console;
using Handler = int (Console::*)();

struct Command {
    const char* name;
    const char* synopsis;
    const char* summary;
    const char* details;  // more for `help COMMAND`; may be empty
    const char* options;  // the options it takes, separated by blanks
    Handler run;
};

// Whether a blank-separated list holds `word`.
bool Listed(const char* list, const std::string& word) {
    if (word.empty() || word.find(' ') != std::string::npos) return false;
    const std::string padded = std::string(" ") + list + " ";
    return padded.find(" " + word + " ") != std::string::npos;
}

// Options that take a value; all others are flags.
const char* const kValueOptions = "--name --mode --timeout --time-release -o --panel --to --count --seconds --folder";

const std::vector<Command>& Commands();

class Console {
public:
    Console(std::ostream& out, std::ostream& err, Platform& platform)
        : out_(out), err_(err), platform_(platform), device_(err) {}

    int Run(const std::vector<std::string>& args);

    // Commands.
    int List();
    int Version();
    int Records();
    int Record();
    int System();
    int Calibration();
    int ResetCalibration();
    int Revert();
    int Click();
    int Sound();
    int PointData();
    int Led();
    int StartupMode();
    int ClickMode();
    int OnceMode();
    int Eeprom();
    int Watch();
    int Export();
    int Import();
    int Recover();
    int Doctor();

private:
    int Usage(const std::string& problem) {
        err_ << "tavloctl: " << problem << "\n";
        if (command_ != nullptr) {
            err_ << "usage: tavloctl " << command_->synopsis << "\n(tavloctl help " << command_->name
                 << " tells more)\n";
        } else {
            err_ << "(tavloctl help lists the commands)\n";
        }
        return kExitUsage;
    }
    bool Flag(const char* name) const { return std::find(flags_.begin(), flags_.end(), name) != flags_.end(); }
    const std::string* Value(const char* name) const {
        for (const auto& [option, value] : ordered_) {
            if (option == name) return &value;
        }
        return nullptr;
    }
    bool Arity(std::size_t low, std::size_t high) const { return args_.size() >= low && args_.size() <= high; }
    bool AsJson() const { return Flag("--json"); }
    void Print(const nlohmann::ordered_json& json) { out_ << json.dump(2) << "\n"; }

    // The panel named by args_[index]; a usage error when it is no panel
    // reference, 1 when it names no single panel.
    int PanelArg(std::size_t index, std::uint32_t* panel) {
        if (index >= args_.size()) return Usage(std::string(command_->name) + " needs a PANEL");
        const int resolved = device_.Resolve(args_[index], panel);
        if (resolved == 2) return NoPanel(args_[index]);
        return resolved;
    }
    int NoPanel(const std::string& text) {
        return Usage("'" + text + "' is no panel: give its number or id:IDENTIFIER");
    }
    PanelSet Set() const { return Flag("--saved") ? kSaved : kWorking; }

    int PrintRecord(const PanelRecord& record);
    Json RecordJson(const PanelRecord& record);
    void PrintSystem(const SystemRecord& system);
    int CopySavedToWorking(std::uint32_t panel);

    std::ostream& out_;
    std::ostream& err_;
    Platform& platform_;
    Device device_;
    const Command* command_ = nullptr;
    std::vector<std::string> args_;  // positional arguments after the command
    std::vector<std::string> flags_;
    std::vector<std::pair<std::string, std::string>> ordered_;  // value options in order (import's pairs)
};

int Console::Run(const std::vector<std::string>& args) {
    if (args.empty()) return Usage("no command given");
    const std::string& first = args[0];
    if (first == "--version") {
        if (args.size() > 1) return Usage("--version takes nothing else");
        out_ << "tavloctl " << SuiteVersion() << "\n";
        return kExitOk;
    }
    if (first == "help" || first == "--help" || first == "-h") {
        if (args.size() == 1) {
            out_ << UsageText();
            return kExitOk;
        }
        for (const Command& command : Commands()) {
            if (args.size() == 2 && args[1] == command.name) {
                out_ << "usage: tavloctl " << command.synopsis << "\n" << command.summary << "\n";
                if (*command.details) out_ << command.details;
                if (*command.options) out_ << "options: " << command.options << "\n";
                return kExitOk;
            }
        }
        return Usage("help takes one command name; '" + args[1] + "' is none");
    }
    for (const Command& command : Commands()) {
        if (first == command.name) command_ = &command;
    }
    if (command_ == nullptr) return Usage("unknown command '" + first + "'");

    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool option = arg.compare(0, 2, "--") == 0 || arg == "-o";
        if (!option) {
            args_.push_back(arg);
            continue;
        }
        if (!Listed(command_->options, arg)) {
            return Usage("option " + arg + " has no meaning for " + command_->name);
        }
        if (Listed(kValueOptions, arg)) {
            if (i + 1 >= args.size()) return Usage("option " + arg + " needs a value");
            const std::string& value = args[++i];
            if (Value(arg.c_str()) && arg != "--panel" && arg != "--to") return Usage("option " + arg + " given twice");
            ordered_.emplace_back(arg, value);
        } else {
            flags_.push_back(arg);
        }
    }
    return (this->*(command_->run))();
}

// Panels ----------------------------------------------------------------------

int Console::List() {
    if (!Arity(0, 0)) return Usage("list takes no arguments");
    std::vector<std::uint8_t> ids;
    if (!device_.Identifiers(&ids)) return kExitFailed;
    Json panels = Json::array();
    std::ostringstream text;
    text << ids.size() << " panel(s)\n";
    if (!ids.empty()) text << "panel  identifier  firmware  point data  touched  mode        name\n";
    for (std::uint32_t panel = 0; panel < ids.size(); ++panel) {
        std::uint8_t enable = 0, touched = 0;
        std::uint16_t firmware = 0;
        std::uint16_t* stamp = device_.stamp();
        if (!device_.PanelCall("TavloGetFirmVer", [&] { return TavloGetFirmVer(stamp, panel, &firmware); }) ||
            !device_.PanelCall("TavloGetPointdataEnable",
                               [&] { return TavloGetPointdataEnable(stamp, panel, &enable); }) ||
            !device_.PanelCall("TavloCheckTouch", [&] { return TavloCheckTouch(stamp, panel, &touched); })) {
            return kExitFailed;
        }
        const PanelRecord record = ReadRecord(ids[panel], platform_);
        const char* mode = ModeName(record.touchOp);
        const std::string modeText = record.stored ? (mode ? mode : std::to_string(record.touchOp)) : "(no record)";
        char line[160];
        std::snprintf(line, sizeof line, "%5u  %10u  %8s  %10s  %7s  %-10s  %s\n", panel, ids[panel],
                      Hex(firmware, 4).c_str(), enable ? "enabled" : "disabled", touched ? "yes" : "no",
                      modeText.c_str(), record.name.c_str());
        text << line;
        panels.push_back({{"panel", panel},
                          {"id", ids[panel]},
                          {"firmware", firmware},
                          {"point_data", enable != 0},
                          {"touched", touched != 0},
                          {"record", RecordJson(record)}});
    }
    if (AsJson()) {
        Print({{"panels", panels}});
    } else {
        out_ << text.str();
    }
    return kExitOk;
}

int Console::Version() {
    if (!Arity(0, 0)) return Usage("version takes no arguments");
    std::uint16_t version = 0;
    if (!device_.Check("TavloGetVersion", TavloGetVersion(&version))) return kExitFailed;
    if (AsJson()) {
        Print({{"driver_version", version}, {"suite_version", SuiteVersion()}});
    } else {
        out_ << "driver version " << Hex(version, 4) << "\n";
    }
    return kExitOk;
}

int Console::Calibration() {
    std::uint32_t panel = 0;
    if (!(Arity(1, 1) || Arity(5, 5))) return Usage("calibration needs PANEL and optionally four values");
    std::int16_t cal[4] = {};
    for (std::size_t i = 1; i < args_.size(); ++i) {
        long long value = 0;
        if (!ParseNumber(args_[i], -32768, 32767, &value)) return Usage("calibration values must be -32768..32767");
        cal[i - 1] = static_cast<std::int16_t>(value);
    }
    if (const int status = PanelArg(0, &panel)) return status;
    if (args_.size() == 5 && !device_.WriteCalibration(panel, Set(), cal)) return kExitFailed;
    std::uint16_t* stamp = device_.stamp();
    const std::uint32_t alt = Set();
    if (!device_.PanelCall("TavloGetCalibrationData",
                           [&] { return TavloGetCalibrationData(stamp, panel, cal, alt); })) {
        return kExitFailed;
    }
    if (AsJson()) {
        Print({{"panel", panel},
               {"set", SetName(Set())},
               {"calibration", {{"x_gain", cal[0]}, {"x_offset", cal[1]}, {"y_gain", cal[2]}, {"y_offset", cal[3]}}}});
    } else {
        out_ << "panel " << panel << " calibration (" << SetName(Set()) << "): x gain " << cal[0] << ", x offset "
             << cal[1] << ", y gain " << cal[2] << ", y offset " << cal[3] << "\n";
    }
    return kExitOk;
}

int Console::ResetCalibration() {
    std::uint32_t panel = 0;
    if (!Arity(1, 1)) return Usage("reset-calibration needs PANEL");
    if (const int status = PanelArg(0, &panel)) return status;
    // With --saved the saved set is reset as well: a bad calibration that
    // was confirmed would otherwise come back with the next revert.
    const bool both = Flag("--saved");
    for (const PanelSet set : {kWorking, kSaved}) {
        if (set == kSaved && !both) break;
        if (!device_.WriteCalibration(panel, set, tavlo::kIdentityCalibration)) return kExitFailed;
        out_ << "panel " << panel << " calibration (" << SetName(set)
             << "): identity, x gain 10000, x offset 0, y gain 10000, y offset 0\n";
    }
    return kExitOk;
}

// Copies the panel's saved calibration, click settings and sound into its
// working set, writing only what differs.
int Console::CopySavedToWorking(std::uint32_t panel) {
    PanelSettings settings;
    if (!device_.ReadSettings(panel, &settings)) return kExitFailed;
    const SetValues& working = settings.sets[kWorking];
    const SetValues& saved = settings.sets[kSaved];
    int copied = 0;
    if (!SameValues(working.calibration, saved.calibration)) {
        if (!device_.WriteCalibration(panel, kWorking, saved.calibration)) return kExitFailed;
        out_ << "panel " << panel << " working calibration: " << Values(working.calibration) << " -> "
             << Values(saved.calibration) << "\n";
        ++copied;
    }
    if (!SameValues(working.click, saved.click)) {
        if (!device_.WriteClick(panel, kWorking, saved.click)) return kExitFailed;
        out_ << "panel " << panel << " working click settings: " << Values(working.click) << " -> "
             << Values(saved.click) << "\n";
        ++copied;
    }
    if (working.sound != saved.sound) {
        if (!device_.WriteSound(panel, kWorking, saved.sound)) return kExitFailed;
        out_ << "panel " << panel << " working sound: " << SoundText(working.sound) << " -> " << SoundText(saved.sound)
             << "\n";
        ++copied;
    }
    if (copied == 0) out_ << "panel " << panel << ": working set already equals the saved set\n";
    return kExitOk;
}

int Console::Revert() {
    std::uint32_t panel = 0;
    if (!Arity(1, 1)) return Usage("revert needs PANEL");
    if (const int status = PanelArg(0, &panel)) return status;
    return CopySavedToWorking(panel);
}

int Console::Click() {
    std::uint32_t panel = 0;
    if (!(Arity(1, 1) || Arity(5, 5))) return Usage("click needs PANEL and optionally four values");
    std::int16_t click[4] = {};
    for (std::size_t i = 1; i < args_.size(); ++i) {
        long long value = 0;
        if (!ParseNumber(args_[i], -32768, 32767, &value)) return Usage("click values must fit 16 bits");
        click[i - 1] = static_cast<std::int16_t>(value);
    }
    if (const int status = PanelArg(0, &panel)) return status;
    if (args_.size() == 5 && !device_.WriteClick(panel, Set(), click)) return kExitFailed;
    std::uint16_t* stamp = device_.stamp();
    const std::uint32_t alt = Set();
    if (!device_.PanelCall("TavloGetClickData", [&] { return TavloGetClickData(stamp, panel, click, alt); })) {
        return kExitFailed;
    }
    if (AsJson()) {
        Print({{"panel", panel},
               {"set", SetName(Set())},
               {"click",
                {{"down_cancel", click[0]},
                 {"up_cancel", click[1]},
                 {"double_click_time", click[2]},
                 {"double_click_area", click[3]}}}});
    } else {
        out_ << "panel " << panel << " click settings (" << SetName(Set()) << "): down cancel " << click[0]
             << ", up cancel " << click[1] << ", double-click time " << click[2] << " ms, double-click area "
             << click[3] << "\n";
    }
    return kExitOk;
}

int Console::Sound() {
    std::uint32_t panel = 0;
    std::uint8_t on = 0;
    if (!Arity(1, 2)) return Usage("sound needs PANEL and optionally on or off");
    if (args_.size() == 2 && !ParseOnOff(args_[1], &on)) return Usage("sound takes on or off");
    if (const int status = PanelArg(0, &panel)) return status;
    if (args_.size() == 2 && !device_.WriteSound(panel, Set(), on)) return kExitFailed;
    std::uint16_t* stamp = device_.stamp();
    const std::uint32_t alt = Set();
    if (!device_.PanelCall("TavloGetClickSound", [&] { return TavloGetClickSound(stamp, panel, &on, alt); })) {
        return kExitFailed;
    }
    if (AsJson()) {
        Print({{"panel", panel}, {"set", SetName(Set())}, {"sound", on != 0}});
    } else {
        out_ << "panel " << panel << " click sound (" << SetName(Set()) << "): " << (on ? "on" : "off") << "\n";
    }
    return kExitOk;
}

int Console::PointData() {
    std::uint32_t panel = 0;
    std::uint8_t on = 0;
    if (!Arity(1, 2)) return Usage("pointdata needs PANEL and optionally on or off");
    if (args_.size() == 2 && !ParseOnOff(args_[1], &on)) return Usage("pointdata takes on or off");
    if (const int status = PanelArg(0, &panel)) return status;
    std::uint16_t* stamp = device_.stamp();
    if (args_.size() == 2 &&
        !device_.PanelCall("TavloSetPointdataEnable", [&] { return TavloSetPointdataEnable(stamp, panel, on); })) {
        return kExitFailed;
    }
    if (!device_.PanelCall("TavloGetPointdataEnable", [&] { return TavloGetPointdataEnable(stamp, panel, &on); })) {
        return kExitFailed;
    }
    if (AsJson()) {
        Print({{"panel", panel}, {"point_data", on != 0}});
    } else {
        out_ << "panel " << panel << " point data: " << (on ? "enabled" : "disabled") << "\n";
    }
    return kExitOk;
}

int Console::Led() {
    std::uint32_t panel = 0;
    long long value = 0;
    if (!Arity(1, 2)) return Usage("led needs PANEL and optionally a value");
    if (args_.size() == 2 && !ParseNumber(args_[1], 0, 255, &value)) return Usage("the LED value is 0-255");
    if (const int status = PanelArg(0, &panel)) return status;
    if (args_.size() == 2 && !device_.WriteLed(panel, static_cast<std::uint8_t>(value))) return kExitFailed;
    std::uint8_t led = 0;
    std::uint16_t* stamp = device_.stamp();
    if (!device_.PanelCall("TavloGetPanelLed", [&] { return TavloGetPanelLed(stamp, panel, &led); })) {
        return kExitFailed;
    }
    if (AsJson()) {
        Print({{"panel", panel}, {"led", led}});
    } else {
        out_ << "panel " << panel << " LED: " << static_cast<int>(led) << "\n";
    }
    return kExitOk;
}

int Console::StartupMode() {
    long long value = 0;
    if (!Arity(0, 1) || (args_.size() == 1 && !ParseNumber(args_[0], 0, 1, &value))) {
        return Usage("startup-mode takes 0 or 1");
    }
    if (args_.size() == 1 &&
        !device_.Check("TavloSetStartupMode", TavloSetStartupMode(static_cast<std::uint32_t>(value)))) {
        return kExitFailed;
    }
    std::uint8_t mode = 0;
    if (!device_.Check("TavloGetStartupMode", TavloGetStartupMode(&mode))) return kExitFailed;
    if (AsJson()) {
        Print({{"startup_mode", mode}});
    } else {
        out_ << "start-up mode: " << static_cast<int>(mode) << "\n";
    }
    return kExitOk;
}

int Console::ClickMode() {
    std::uint32_t button = 0;
    if (!Arity(0, 1) || (args_.size() == 1 && !ParseButton(args_[0], &button))) {
        return Usage("click-mode takes left, right, middle or a code 0-255");
    }
    if (args_.size() == 1 && !device_.Check("TavloSetClickMode", TavloSetClickMode(button))) return kExitFailed;
    std::uint8_t code = 0;
    if (!device_.Check("TavloGetClickMode", TavloGetClickMode(&code))) return kExitFailed;
    if (AsJson()) {
        Print({{"click_mode", code}, {"button", ButtonName(code)}});
    } else {
        out_ << "click mode: " << static_cast<int>(code) << " (" << ButtonName(code) << ")\n";
    }
    return kExitOk;
}

int Console::OnceMode() {
    long long flag = 0;
    std::uint32_t button = 0;
    if (!(Arity(0, 0) || Arity(2, 2))) return Usage("once-mode takes FLAG and BUTTON, or nothing");
    if (args_.size() == 2) {
        if (!ParseNumber(args_[0], 0, 1, &flag) || !ParseButton(args_[1], &button)) {
            return Usage("once-mode takes a flag 0|1 and a button");
        }
        if (!device_.Check("TavloSetClickOnceMode", TavloSetClickOnceMode(static_cast<std::uint32_t>(flag), button))) {
            return kExitFailed;
        }
    }
    DriverModes modes;
    if (!device_.Check("TavloGetClickOnceMode", TavloGetClickOnceMode(&modes.onceFlag, &modes.onceButton))) {
        return kExitFailed;
    }
    if (AsJson()) {
        Print({{"once_flag", modes.onceFlag},
               {"once_button", modes.onceButton},
               {"button", ButtonName(modes.onceButton)}});
    } else {
        out_ << "once mode: flag " << static_cast<int>(modes.onceFlag) << ", button "
             << static_cast<int>(modes.onceButton) << " (" << ButtonName(modes.onceButton) << ")\n";
    }
    return kExitOk;
}

int Console::Eeprom() {
    std::uint32_t panel = 0;
    long long address = 0, value = 0;
    if (!Arity(2, 3) || !ParseNumber(args_[1], 0, 255, &address) ||
        (args_.size() == 3 && !ParseNumber(args_[2], 0, 0xFFFF, &value))) {
        return Usage("eeprom needs PANEL, an ADDRESS 0-255 and optionally a WORD 0-65535");
    }
    if (const int status = PanelArg(0, &panel)) return status;
    const auto addr = static_cast<std::uint32_t>(address);
    std::uint16_t* stamp = device_.stamp();
    if (args_.size() == 3) {
        const auto word = static_cast<std::uint16_t>(value);
        if (!device_.PanelCall("TavloWriteEeprom", [&] { return TavloWriteEeprom(stamp, panel, addr, &word); })) {
            return kExitFailed;
        }
    }
    std::uint16_t word = 0;
    if (!device_.PanelCall("TavloReadEeprom", [&] { return TavloReadEeprom(stamp, panel, addr, &word); })) {
        return kExitFailed;
    }
    if (AsJson()) {
        Print({{"panel", panel}, {"address", addr}, {"word", word}});
    } else {
        out_ << "panel " << panel << " EEPROM " << Hex(addr, 2) << ": " << Hex(word, 4) << "\n";
    }
    return kExitOk;
}

// Polls every panel's touch flag and prints each change with the time and
// the panel's identifier.
int Console::Watch() {
    if (!Arity(0, 0)) return Usage("watch takes only --count and --seconds");
    long long count = 0, seconds = 0;
    if (const std::string* v = Value("--count"); v && !ParseNumber(*v, 1, 1000000, &count)) {
        return Usage("--count takes 1..1000000");
    }
    if (const std::string* v = Value("--seconds"); v && !ParseNumber(*v, 1, 86400, &seconds)) {
        return Usage("--seconds takes 1..86400");
    }
    constexpr int kPollMs = 50;
    const long long polls = seconds > 0 ? seconds * 1000 / kPollMs : -1;
    std::vector<std::uint8_t> last;
    std::vector<std::uint8_t> ids;
    long long events = 0;
    if (!AsJson()) {
        out_ << "watching touches" << (count ? " until " + std::to_string(count) + " seen" : std::string())
             << (seconds ? ", at most " + std::to_string(seconds) + " s" : std::string()) << "\n";
        out_.flush();
    }
    std::uint16_t* stamp = device_.stamp();
    for (long long poll = 0; polls < 0 || poll < polls; ++poll) {
        if (poll > 0) platform_.Pause(kPollMs);
        std::uint8_t panels = 0;
        if (!device_.Check("TavloGetDevices", TavloGetDevices(&panels))) return kExitFailed;
        // The identifiers are read again whenever the panel set changed.
        const std::uint16_t before = *stamp;
        if (ids.size() != panels && !device_.Identifiers(&ids)) return kExitFailed;
        last.resize(ids.size(), 0);
        for (std::uint32_t panel = 0; panel < ids.size(); ++panel) {
            std::uint8_t touched = 0;
            if (!device_.PanelCall("TavloCheckTouch", [&] { return TavloCheckTouch(stamp, panel, &touched); })) {
                return kExitFailed;
            }
            if (*stamp != before) ids.clear();  // read the identifiers at the next poll
            if (touched == last[panel]) continue;
            last[panel] = touched;
            const std::string time = platform_.TimeOfDay();
            if (AsJson()) {
                out_ << nlohmann::ordered_json{{"time", time},
                                               {"panel", panel},
                                               {"id", panel < ids.size() ? ids[panel] : -1},
                                               {"touched", touched != 0}}
                            .dump()
                     << "\n";
            } else {
                out_ << time << " panel " << panel << " (id "
                     << (panel < ids.size() ? std::to_string(ids[panel]) : std::string("?")) << ")"
                     << (touched ? " touched" : " released") << "\n";
            }
            out_.flush();
            if (touched && ++events == count) return kExitOk;
        }
    }
    if (count > 0) {
        err_ << "tavloctl: watch saw " << events << " of " << count << " touches in " << seconds << " s\n";
        return kExitFailed;
    }
    return kExitOk;
}

// Records ---------------------------------------------------------------------

Json Console::RecordJson(const PanelRecord& record) {
    const char* mode = ModeName(record.touchOp);
    Json notes = Json::array();
    for (const std::string& note : record.notes) notes.push_back(platform_.StoredToUtf8(note));
    return {{"id", record.id},
            {"stored", record.stored},
            {"name", platform_.StoredToUtf8(record.name)},
            {"mode", mode ? Json(mode) : Json(nullptr)},
            {"touch_op", record.touchOp},
            {"ir_op", record.irOp},
            {"notes", notes}};
}

int Console::PrintRecord(const PanelRecord& record) {
    const char* mode = ModeName(record.touchOp);
    out_ << "ID" << record.id << ": name \"" << record.name << "\", mode "
         << (mode ? mode : "TOUCH_OP " + std::to_string(record.touchOp)) << ", IR_OP " << record.irOp
         << (record.stored ? "" : " (no record: defaults)") << "\n";
    for (const std::string& note : record.notes) out_ << "  note: " << note << "\n";
    return kExitOk;
}

void Console::PrintSystem(const SystemRecord& system) {
    out_ << "ALL: time-out " << system.timeOut << " s, time release " << (system.timeEnable ? "on" : "off")
         << (system.stored ? "" : " (no record: defaults)") << "\n";
    for (const std::string& note : system.notes) out_ << "  note: " << note << "\n";
}

Json SystemJson(const SystemRecord& system) {
    Json notes = Json::array();
    for (const std::string& note : system.notes) notes.push_back(note);
    return {{"stored", system.stored},
            {"timeout", system.timeOut},
            {"time_release", system.timeEnable != 0},
            {"time_enable", system.timeEnable},
            {"notes", notes}};
}

int Console::Records() {
    if (!Arity(0, 0)) return Usage("records takes no arguments");
    const SystemRecord system = ReadSystem(platform_);
    Json list = Json::array();
    const std::vector<int> ids = RecordIds();
    if (!AsJson() && ids.empty()) out_ << "no panel records\n";
    for (const int id : ids) {
        const PanelRecord record = ReadRecord(id, platform_);
        if (AsJson()) {
            list.push_back(RecordJson(record));
        } else {
            PrintRecord(record);
        }
    }
    if (AsJson()) {
        Print({{"records", list}, {"system", SystemJson(system)}});
    } else {
        PrintSystem(system);
    }
    return kExitOk;
}

int Console::Record() {
    if (!Arity(1, 1)) return Usage("record needs one identifier");
    long long id = 0;
    const std::string& text = args_[0];
    if (!ParseNumber(text.compare(0, 3, "id:") == 0 ? text.substr(3) : text, 0, 255, &id)) {
        return Usage("'" + text + "' is no identifier 0..255");
    }
    const std::string* name = Value("--name");
    const std::string* modeText = Value("--mode");
    std::optional<std::int32_t> mode;
    if (modeText && !(mode = ParseMode(*modeText))) return Usage("--mode takes interlock, supervisor or disable");
    if (name) {
        if (const std::optional<std::string> problem = NameProblem(platform_, *name)) {
            err_ << "tavloctl: " << *problem << "; nothing written\n";
            return kExitFailed;
        }
    }
    if (name || mode) {
        // The record as the classes read it, defaults included, with only
        // the given values changed; IR_OP is written back as read.
        const PanelRecord current = ReadRecord(static_cast<int>(id), platform_);
        const int status = WriteRecord(static_cast<int>(id), name ? *name : current.name,
                                       mode ? *mode : current.touchOp, current.irOp);
        if (status != 0) {
            err_ << "tavloctl: the record ID" << id << " could not be written (registry error " << status << ")\n";
            return kExitFailed;
        }
    }
    const PanelRecord record = ReadRecord(static_cast<int>(id), platform_);
    if (AsJson()) {
        Print(RecordJson(record));
        return kExitOk;
    }
    return PrintRecord(record);
}

int Console::System() {
    if (!Arity(0, 0)) return Usage("system takes only --timeout and --time-release");
    const std::string* timeOutText = Value("--timeout");
    const std::string* releaseText = Value("--time-release");
    std::uint8_t release = 0;
    if (releaseText && !ParseOnOff(*releaseText, &release)) return Usage("--time-release takes on or off");
    long long seconds = 0;
    if (timeOutText && (!ParseNumber(*timeOutText, 0, 0x7FFFFFFF, &seconds) || !TimeOutInRange(seconds))) {
        err_ << "tavloctl: the time-out is a whole number of seconds from " << TimeOutRange() << "; nothing written\n";
        return kExitFailed;
    }
    if (timeOutText || releaseText) {
        const SystemRecord current = ReadSystem(platform_);
        if (!WriteSystem(timeOutText ? static_cast<std::int32_t>(seconds) : current.timeOut,
                         releaseText ? release : current.timeEnable)) {
            err_ << "tavloctl: the system record ALL could not be written\n";
            return kExitFailed;
        }
    }
    const SystemRecord system = ReadSystem(platform_);
    if (AsJson()) {
        Print(SystemJson(system));
    } else {
        PrintSystem(system);
    }
    return kExitOk;
}

// Backup and restore ------------------------------------------------------------

int Console::Export() {
    if (!Arity(0, 1)) return Usage("export takes PANEL or all");
    const bool all = args_.empty() || args_[0] == "all";
    std::vector<std::uint8_t> ids;
    std::uint32_t only = 0;
    if (!all) {
        if (const int status = PanelArg(0, &only)) return status;
    }
    if (!device_.Identifiers(&ids)) return kExitFailed;
    if (!all && only >= ids.size()) {
        err_ << "tavloctl: there is no panel " << only << " (" << ids.size() << " attached)\n";
        return kExitFailed;
    }
    for (std::size_t panel = 0; panel < ids.size(); ++panel) {
        if ((!all && panel != only) || std::count(ids.begin(), ids.end(), ids[panel]) < 2) continue;
        err_ << "tavloctl: two attached panels have identifier " << static_cast<int>(ids[panel])
             << "; a backup keys panels by identifier, so export them one by one by panel number\n";
        return kExitFailed;
    }
    Backup backup;
    if (all) {
        DriverModes modes;
        if (!device_.ReadModes(&modes)) return kExitFailed;
        backup.driver = modes;
        const SystemRecord system = ReadSystem(platform_);
        for (const std::string& note : system.notes) err_ << "tavloctl: warning: ALL: " << note << "\n";
        if (!TimeOutInRange(system.timeOut)) {
            err_ << "tavloctl: warning: an import refuses this time-out; set it with tavloctl system --timeout\n";
        }
        backup.system = SystemBackup{system.timeOut, system.timeEnable != 0};
    }
    for (std::uint32_t panel = 0; panel < ids.size(); ++panel) {
        if (!all && panel != only) continue;
        PanelBackup item;
        item.id = ids[panel];
        if (!device_.ReadSettings(panel, &item.settings)) return kExitFailed;
        const PanelRecord record = ReadRecord(item.id, platform_);
        for (const std::string& note : record.notes) {
            err_ << "tavloctl: warning: ID" << item.id << ": " << note << "\n";
        }
        if (NameProblem(platform_, record.name)) {
            err_ << "tavloctl: warning: an import refuses the name of ID" << item.id
                 << "; shorten it with tavloctl record " << item.id << " --name\n";
        }
        item.name = platform_.StoredToUtf8(record.name);
        item.touchOp = ModeName(record.touchOp) ? record.touchOp : 1;  // as the interlock applies it
        item.irOp = record.irOp;
        backup.panels.push_back(item);
    }
    const std::string document = BackupToJson(backup, SuiteVersion());
    const std::string* file = Value("-o");
    if (file == nullptr) {
        out_ << document;
        return kExitOk;
    }
    if (!platform_.WriteFile(*file, document)) {
        err_ << "tavloctl: " << *file << " could not be written\n";
        return kExitFailed;
    }
    out_ << "exported " << backup.panels.size() << " panel(s)"
         << (all ? ", the system record and the driver's modes" : "") << " to " << *file << "\n";
    return kExitOk;
}

namespace {

// One write of an import: which item of the panel, and what it changes.
enum class Item { kCalibration, kClick, kSound, kLed, kRecord };
struct Step {
    Item item;
    PanelSet set;
    std::string what;
    std::string before;
    std::string after;
};

std::string RecordText(const std::string& name, std::int32_t touchOp, std::int32_t irOp) {
    const char* mode = ModeName(touchOp);
    return "\"" + name + "\" " + (mode ? mode : "TOUCH_OP " + std::to_string(touchOp)) + " IR_OP " +
           std::to_string(irOp);
}

}  // namespace

int Console::Import() {
    if (!Arity(1, 1)) return Usage("import needs one FILE");
    // --panel ID selects a panel of the file; a --to after it names the
    // attached panel it goes to.
    struct Selection {
        long long id;
        std::string to;
    };
    std::vector<Selection> selections;
    for (const auto& [option, value] : ordered_) {
        if (option == "--panel") {
            long long id = 0;
            if (!ParseNumber(value, 0, 255, &id)) return Usage("--panel takes an identifier 0..255");
            for (const Selection& s : selections) {
                if (s.id == id) return Usage("--panel " + value + " given twice");
            }
            selections.push_back({id, ""});
        } else if (option == "--to") {
            if (selections.empty() || !selections.back().to.empty()) return Usage("--to must follow a --panel ID");
            selections.back().to = value;
        }
    }
    const bool dryRun = Flag("--dry-run");
    const std::string& path = args_[0];
    const std::optional<std::string> content = platform_.ReadFile(path);
    if (!content) {
        err_ << "tavloctl: " << path << " cannot be read; nothing written\n";
        return kExitFailed;
    }
    Backup backup;
    std::string error;
    if (!ParseBackup(*content, &backup, &error)) {
        err_ << "tavloctl: " << path << ": " << error << "; nothing written\n";
        return kExitFailed;
    }

    // Everything is checked before the first write.
    struct Target {
        const PanelBackup* from;
        std::uint32_t panel;
        std::uint8_t id;   // identifier of the attached panel: the record's key
        std::string name;  // stored form
    };
    std::vector<std::uint8_t> ids;
    if (!device_.Identifiers(&ids)) return kExitFailed;
    std::vector<Target> targets;
    const auto refuse = [&](const std::string& why) {
        err_ << "tavloctl: " << why << "; nothing written\n";
        return kExitFailed;
    };
    for (const Selection& s : selections) {
        const bool inFile =
            std::any_of(backup.panels.begin(), backup.panels.end(), [&](const PanelBackup& p) { return p.id == s.id; });
        if (!inFile) return refuse(path + " has no panel with identifier " + std::to_string(s.id));
    }
    for (std::size_t i = 0; i < backup.panels.size(); ++i) {
        const PanelBackup& from = backup.panels[i];
        const auto selection =
            std::find_if(selections.begin(), selections.end(), [&](const Selection& s) { return s.id == from.id; });
        if (!selections.empty() && selection == selections.end()) continue;
        Target target{&from, 0, 0, ""};
        if (selection != selections.end() && !selection->to.empty()) {
            const int resolved = device_.Resolve(selection->to, &target.panel);
            if (resolved == 2) return NoPanel(selection->to);
            if (resolved != 0) return refuse("--to " + selection->to + " names no single panel");
            if (target.panel >= ids.size()) return refuse("there is no panel " + std::to_string(target.panel));
        } else {
            const auto count = std::count(ids.begin(), ids.end(), from.id);
            if (count == 0) {
                return refuse("no attached panel has identifier " + std::to_string(from.id) +
                              "; restore it onto another panel with --panel " + std::to_string(from.id) +
                              " --to PANEL");
            }
            if (count > 1) {
                return refuse("several attached panels have identifier " + std::to_string(from.id) +
                              "; choose one with --panel " + std::to_string(from.id) + " --to PANEL");
            }
            target.panel = static_cast<std::uint32_t>(std::find(ids.begin(), ids.end(), from.id) - ids.begin());
        }
        target.id = ids[target.panel];
        for (const Target& other : targets) {
            if (other.panel == target.panel) {
                return refuse("identifiers " + std::to_string(other.from->id) + " and " + std::to_string(from.id) +
                              " would both go to panel " + std::to_string(target.panel));
            }
        }
        const std::string place = path + ": panels[" + std::to_string(i) + "].record.name";
        const std::optional<std::string> stored = platform_.Utf8ToStored(from.name);
        if (!stored) return refuse(place + ": the name has characters that this computer cannot store");
        if (const std::optional<std::string> problem = NameProblem(platform_, *stored)) {
            return refuse(place + ": " + *problem);
        }
        target.name = *stored;
        targets.push_back(target);
    }

    int changes = 0;
    const std::string prefix = dryRun ? "would change " : "";
    const auto show = [&](const std::string& who, const Step& step) {
        out_ << prefix << who << " " << step.what << ": " << step.before << " -> " << step.after << "\n";
    };
    for (const Target& target : targets) {
        const std::uint32_t panel = target.panel;
        const std::string who = "panel " + std::to_string(panel) + " (id " + std::to_string(target.id) + ")";
        PanelSettings now;
        if (!device_.ReadSettings(panel, &now)) return kExitFailed;
        const PanelSettings& want = target.from->settings;
        const PanelRecord record = ReadRecord(target.id, platform_);

        const std::int32_t touchOp = target.from->touchOp, irOp = target.from->irOp;
        std::vector<Step> steps;
        for (const PanelSet set : {kWorking, kSaved}) {
            const std::string setName = SetName(set);
            const SetValues& a = now.sets[set];
            const SetValues& b = want.sets[set];
            if (!SameValues(a.calibration, b.calibration)) {
                steps.push_back(
                    {Item::kCalibration, set, setName + " calibration", Values(a.calibration), Values(b.calibration)});
            }
            if (!SameValues(a.click, b.click)) {
                steps.push_back({Item::kClick, set, setName + " click settings", Values(a.click), Values(b.click)});
            }
            if (a.sound != b.sound) {
                steps.push_back({Item::kSound, set, setName + " sound", SoundText(a.sound), SoundText(b.sound)});
            }
        }
        if (now.led != want.led) {
            steps.push_back({Item::kLed, kWorking, "LED", std::to_string(now.led), std::to_string(want.led)});
        }
        if (!record.stored || record.name != target.name || record.touchOp != touchOp || record.irOp != irOp) {
            steps.push_back({Item::kRecord, kWorking, "record ID" + std::to_string(target.id),
                             record.stored ? RecordText(record.name, record.touchOp, record.irOp) : "(none)",
                             RecordText(target.name, touchOp, irOp)});
        }
        // Writes the file's value of a step, or (undo) the value it replaced.
        const auto write = [&](const Step& step, bool undo) {
            const PanelSettings& values = undo ? now : want;
            const SetValues& set = values.sets[step.set];
            switch (step.item) {
            case Item::kCalibration:
                return device_.WriteCalibration(panel, step.set, set.calibration);
            case Item::kClick:
                return device_.WriteClick(panel, step.set, set.click);
            case Item::kSound:
                return device_.WriteSound(panel, step.set, set.sound);
            case Item::kLed:
                return device_.WriteLed(panel, values.led);
            case Item::kRecord:
                break;
            }
            const int status = undo ? WriteRecord(target.id, record.name, record.touchOp, record.irOp)
                                    : WriteRecord(target.id, target.name, touchOp, irOp);
            if (status != 0) {
                err_ << "tavloctl: the record ID" << static_cast<int>(target.id)
                     << " could not be written (registry error " << status << ")\n";
            }
            return status == 0;
        };
        for (std::size_t i = 0; i < steps.size(); ++i) {
            show(who, steps[i]);
            if (dryRun) continue;
            if (write(steps[i], false)) {
                ++changes;
                continue;
            }
            // Never leave a panel half written: what was written of it goes back.
            bool undone = true;
            for (std::size_t j = i; j-- > 0;) undone = write(steps[j], true) && undone;
            err_ << "tavloctl: import stopped at " << who << " " << steps[i].what << "; "
                 << (i == 0   ? "nothing of this panel had been written"
                     : undone ? "what had been written to this panel was put back"
                              : "what had been written to this panel could not all be put back")
                 << "; the panels before it were written in full\n";
            return kExitFailed;
        }
        if (steps.empty()) out_ << who << ": unchanged\n";
        changes += dryRun ? static_cast<int>(steps.size()) : 0;
    }

    if (selections.empty() && backup.system) {
        const SystemRecord system = ReadSystem(platform_);
        const std::int32_t enable = backup.system->timeRelease ? 1 : 0;
        if (!system.stored || system.timeOut != backup.system->timeOut || system.timeEnable != enable) {
            out_ << prefix << "system record ALL: time-out " << system.timeOut << " s, time release "
                 << (system.timeEnable ? "on" : "off") << " -> time-out " << backup.system->timeOut
                 << " s, time release " << (enable ? "on" : "off") << "\n";
            ++changes;
            if (!dryRun && !WriteSystem(backup.system->timeOut, enable)) {
                err_ << "tavloctl: the system record ALL could not be written; every panel was written in full\n";
                return kExitFailed;
            }
        }
    }
    if (selections.empty() && backup.driver) {
        DriverModes now;
        if (!device_.ReadModes(&now)) return kExitFailed;
        const DriverModes& want = *backup.driver;
        if (now.clickMode != want.clickMode) {
            out_ << prefix << "click mode: " << static_cast<int>(now.clickMode) << " -> "
                 << static_cast<int>(want.clickMode) << "\n";
            ++changes;
            if (!dryRun && !device_.Check("TavloSetClickMode", TavloSetClickMode(want.clickMode))) return kExitFailed;
        }
        if (now.onceFlag != want.onceFlag || now.onceButton != want.onceButton) {
            out_ << prefix << "once mode: flag " << static_cast<int>(now.onceFlag) << " button "
                 << static_cast<int>(now.onceButton) << " -> flag " << static_cast<int>(want.onceFlag) << " button "
                 << static_cast<int>(want.onceButton) << "\n";
            ++changes;
            if (!dryRun &&
                !device_.Check("TavloSetClickOnceMode", TavloSetClickOnceMode(want.onceFlag, want.onceButton))) {
                return kExitFailed;
            }
        }
    }
    out_ << (dryRun ? "dry run: " : "") << changes << " change(s)" << (dryRun ? " would be made" : " made") << "\n";
    return kExitOk;
}

// Recovery and health -----------------------------------------------------------

int Console::Recover() {
    if (!Arity(0, 0)) return Usage("recover takes only --revert and --force");
    if (platform_.Nystra().Running() && !Flag("--force")) {
        err_ << "tavloctl: Nystra is running; recover would undo its interlock. End Nystra first (its tray icon, "
                "or Nystra.exe /stop), or add --force\n";
        return kExitFailed;
    }
    std::vector<std::uint8_t> ids;
    if (!device_.Identifiers(&ids)) return kExitFailed;
    int changes = 0;
    std::uint16_t* stamp = device_.stamp();
    for (std::uint32_t panel = 0; panel < ids.size(); ++panel) {
        std::uint8_t on = 0;
        if (!device_.PanelCall("TavloGetPointdataEnable", [&] { return TavloGetPointdataEnable(stamp, panel, &on); })) {
            return kExitFailed;
        }
        if (on) continue;
        if (!device_.PanelCall("TavloSetPointdataEnable", [&] { return TavloSetPointdataEnable(stamp, panel, 1); })) {
            return kExitFailed;
        }
        out_ << "panel " << panel << " point data: disabled -> enabled\n";
        ++changes;
    }
    std::uint8_t startup = 0;
    if (!device_.Check("TavloGetStartupMode", TavloGetStartupMode(&startup))) return kExitFailed;
    if (startup != 1) {
        if (!device_.Check("TavloSetStartupMode", TavloSetStartupMode(1))) return kExitFailed;
        out_ << "start-up mode: " << static_cast<int>(startup) << " -> 1\n";
        ++changes;
    }
    DriverModes modes;
    if (!device_.ReadModes(&modes)) return kExitFailed;
    if (modes.onceFlag != 0) {
        if (!device_.Check("TavloSetClickOnceMode", TavloSetClickOnceMode(0, modes.onceButton))) return kExitFailed;
        out_ << "once flag: 1 -> 0 (button " << static_cast<int>(modes.onceButton) << " kept)\n";
        ++changes;
    }
    if (Flag("--revert")) {
        for (std::uint32_t panel = 0; panel < ids.size(); ++panel) {
            if (const int status = CopySavedToWorking(panel)) return status;
        }
    }
    if (changes == 0)
        out_ << "point data, start-up mode and once flag were already as no running program leaves them\n";
    return kExitOk;
}

int Console::Doctor() {
    if (!Arity(0, 0)) return Usage("doctor takes only --folder and --json");
    std::string folder = Value("--folder") ? *Value("--folder") : platform_.InstallFolder();
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    const std::vector<Finding> findings = Examine(platform_, folder);
    const Level worst = Worst(findings);
    if (AsJson()) {
        Json checks = Json::array();
        for (const Finding& f : findings) {
            checks.push_back(
                {{"level", LevelName(f.level)}, {"check", f.check}, {"text", platform_.StoredToUtf8(f.text)}});
        }
        Print({{"result", LevelName(worst)}, {"checks", checks}});
    } else {
        for (const Finding& f : findings) {
            char level[8];
            std::snprintf(level, sizeof level, "%-4s", LevelName(f.level));
            out_ << level << "  " << f.check << ": " << f.text << "\n";
        }
    }
    return static_cast<int>(worst);
}

// The commands --------------------------------------------------------------------

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"list", "list [--json]", "panels: number, identifier, firmware, point data, touch, record's mode and name", "",
         "--json", &Console::List},
        {"records", "records [--json]",
         "every panel record (ID0..ID255) and the system record, with notes on values read as defaults",
         "Names and modes are read as the interlock reads them; a value of the wrong type, a name over\n"
         "16 characters or cut at 49, a mode outside the three is shown as a note.\n",
         "--json", &Console::Records},
        {"record", "record ID [--name NAME] [--mode interlock|supervisor|disable] [--json]",
         "show or write the record of the panel whose identifier is ID",
         "A name has at most 16 characters. IR_OP is written back as read. A missing record reads as\n"
         "mode interlock with no name.\n",
         "--name --mode --json", &Console::Record},
        {"system", "system [--timeout SECONDS] [--time-release on|off] [--json]",
         "show or write the release time-out (1 to 1800 s) and whether it is used", "",
         "--timeout --time-release --json", &Console::System},
        {"version", "version [--json]", "driver version (tavloctl --version: the suite's version)", "", "--json",
         &Console::Version},
        {"calibration", "calibration PANEL [--saved] [XGAIN XOFFSET YGAIN YOFFSET] [--json]",
         "read, or write and read back, a calibration (working set, or saved with --saved)", "", "--saved --json",
         &Console::Calibration},
        {"reset-calibration", "reset-calibration PANEL [--saved]",
         "working calibration to identity (10000 0 10000 0); with --saved the saved set too", "", "--saved",
         &Console::ResetCalibration},
        {"revert", "revert PANEL", "copy the panel's saved calibration, click settings and sound into its working set",
         "Undoes trial values that a calibration or click settings tool left behind.\n", "", &Console::Revert},
        {"click", "click PANEL [--saved] [DOWN UP TIME AREA] [--json]",
         "click settings: chatter cancel down/up, double-click time (ms) and area", "", "--saved --json",
         &Console::Click},
        {"sound", "sound PANEL [--saved] [on|off] [--json]", "touch-down click sound", "", "--saved --json",
         &Console::Sound},
        {"pointdata", "pointdata PANEL [on|off] [--json]", "whether the panel's touches move the pointer", "", "--json",
         &Console::PointData},
        {"led", "led PANEL [VALUE] [--json]", "panel LED value 0-255", "", "--json", &Console::Led},
        {"startup-mode", "startup-mode [0|1] [--json]", "driver start-up mode (0 while the interlock runs)", "",
         "--json", &Console::StartupMode},
        {"click-mode", "click-mode [left|right|middle|CODE] [--json]", "button a touch produces", "", "--json",
         &Console::ClickMode},
        {"once-mode", "once-mode [FLAG BUTTON] [--json]", "one-shot flag (0|1) and its button", "", "--json",
         &Console::OnceMode},
        {"eeprom", "eeprom PANEL ADDRESS [WORD] [--json]", "read or write a 16-bit EEPROM word", "", "--json",
         &Console::Eeprom},
        {"watch", "watch [--count N] [--seconds S] [--json]",
         "print touches and releases with the time and the panel's identifier",
         "With --json, one JSON object per line and event.\n", "--count --seconds --json", &Console::Watch},
        {"export", "export [PANEL|all] [-o FILE]",
         "back up panels to a JSON file (stdout without -o): both sets, LED, record; with all also the system\n"
         "record and the driver's click and once modes",
         "", "-o", &Console::Export},
        {"import", "import FILE [--panel ID [--to PANEL]]... [--dry-run]",
         "restore a backup, showing each change; the whole file is checked before anything is written",
         "A panel of the file goes to the attached panel with its identifier; --panel ID --to PANEL sends\n"
         "it to another panel (the record is then kept under that panel's identifier). With --panel only\n"
         "the named panels are restored, without the system record and driver modes. A write the driver\n"
         "or registry refuses stops the import; what was written of that panel is put back.\n",
         "--panel --to --dry-run", &Console::Import},
        {"recover", "recover [--revert] [--force]",
         "every panel's point data on, start-up mode 1, once flag off; --revert also copies each saved set\n"
         "into the working set",
         "Refused while Nystra runs, unless --force.\n", "--revert --force", &Console::Recover},
        {"doctor", "doctor [--folder DIR] [--json]",
         "health check, one line per finding: OK, WARN or FAIL; exit 0 all OK, 1 a warning, 2 a failure",
         "DIR is the install folder to look for the suite's files in (default C:\\" SUITE_VENDOR_FOLDER_NAME
         "\\" SUITE_PROGRAM_FOLDER_NAME ").\n",
         "--folder --json", &Console::Doctor},
    };
    return commands;
}

}  // namespace

std::string UsageText() {
    std::ostringstream text;
    text << "usage: tavloctl COMMAND [ARGS]    tavloctl help COMMAND    tavloctl --version\n"
            "Service console for the touch panels. PANEL is a panel number (0 = first) or id:N, the one\n"
            "attached panel whose identifier is N; numbers are decimal or 0x-prefixed hex. --saved selects a\n"
            "panel's saved set instead of its working set; --json prints one JSON document.\n\n";
    for (const Command& command : Commands()) {
        text << "  " << command.synopsis << "\n";
        std::istringstream summary(command.summary);
        for (std::string line; std::getline(summary, line);) text << "      " << line << "\n";
    }
    text << "\nexit status: 0 success; 1 a driver, registry or file operation failed or was refused (a name or\n"
            "time-out the records do not take, a bad backup file, recover while Nystra runs), no single panel has\n"
            "the identifier, or watch saw fewer touches than asked; 2 bad usage.\n"
            "doctor: 0 every check OK, 1 a warning, 2 a failure.\n";
    return text.str();
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, Platform& platform) {
    try {
        return Console(out, err, platform).Run(args);
    } catch (const std::exception& e) {
        // Nothing the console does should throw; if it does, say so rather
        // than end without a word.
        err << "tavloctl: internal error: " << e.what() << "\n";
        return kExitFailed;
    }
}

}  // namespace tavloctl
