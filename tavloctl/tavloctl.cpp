#include "tavloctl.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "identity_calibration.h"
#include "status_text.h"
#include "tavlo.h"

namespace tavloctl {

const char* const kUsage =
    "usage: tavloctl COMMAND [ARGS]\n"
    "Service console for the touch-panel driver. PANEL is a panel number\n"
    "(0 = first); numbers are decimal or 0x-prefixed hex. --saved selects a\n"
    "panel's saved set instead of its working set.\n"
    "\n"
    "  list                                    panels with identifier, firmware, point data, touch\n"
    "  version                                 driver version\n"
    "  calibration PANEL [--saved] [XGAIN XOFFSET YGAIN YOFFSET]\n"
    "                                          read, or write and read back, a calibration\n"
    "  reset-calibration PANEL                 working calibration to identity (10000 0 10000 0)\n"
    "  click PANEL [--saved] [DOWN UP TIME AREA]\n"
    "                                          click settings: chatter cancel down/up, double-click\n"
    "                                          time (ms) and area\n"
    "  sound PANEL [--saved] [on|off]          touch-down click sound\n"
    "  pointdata PANEL [on|off]                whether the panel's touches move the pointer\n"
    "  led PANEL [VALUE]                       panel LED value\n"
    "  startup-mode [0|1]                      driver start-up mode\n"
    "  click-mode [left|right|middle|CODE]     button a touch produces\n"
    "  once-mode [FLAG BUTTON]                 one-shot flag (0|1) and its button\n"
    "  eeprom PANEL ADDRESS [WORD]             read or write a 16-bit EEPROM word\n"
    "  watch [--count N] [--seconds S]         print touches and releases as they happen\n";

namespace {

bool ParseNumber(const std::string& text, long long low, long long high, long long* value) {
    if (text.empty()) return false;
    // Decimal unless 0x-prefixed: a leading zero does not make it octal.
    const bool hex = text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
    if (end == nullptr || *end != '\0' || parsed < low || parsed > high) return false;
    *value = parsed;
    return true;
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

class Console {
public:
    Console(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Pause& pause)
        : out_(out), err_(err), pause_(pause) {
        for (const std::string& arg : args) {
            if (arg == "--saved") {
                saved_ = true;
            } else {
                args_.push_back(arg);
            }
        }
    }

    int Run() {
        if (args_.empty()) return Usage("no command given");
        const std::string command = args_[0];
        if (command == "help" || command == "--help" || command == "-h") {
            out_ << kUsage;
            return 0;
        }
        if (command == "list") return Arity(1, 1) ? List() : Usage("list takes no arguments");
        if (command == "version") return Arity(1, 1) ? Version() : Usage("version takes no arguments");
        if (command == "calibration") return Calibration();
        if (command == "reset-calibration") return ResetCalibration();
        if (command == "click") return Click();
        if (command == "sound") return OnOff("sound");
        if (command == "pointdata") return OnOff("pointdata");
        if (command == "led") return Led();
        if (command == "startup-mode") return StartupMode();
        if (command == "click-mode") return ClickMode();
        if (command == "once-mode") return OnceMode();
        if (command == "eeprom") return Eeprom();
        if (command == "watch") return Watch();
        return Usage("unknown command '" + command + "'");
    }

private:
    bool Arity(std::size_t low, std::size_t high) const { return args_.size() >= low && args_.size() <= high; }

    int Usage(const std::string& problem) {
        err_ << "tavloctl: " << problem << "\n" << kUsage;
        return 2;
    }

    // Reports a failed call with the status's name and meaning.
    bool Check(const char* call, TavloStatus status) {
        if (status == TavloOk) return true;
        err_ << "tavloctl: " << call << " failed: " << tavlo::StatusName(status) << " (" << status
             << "): " << tavlo::StatusMeaning(status) << "\n";
        return false;
    }

    // A fresh change stamp before the first panel command.
    bool TakeStamp() { return Check("TavloNeedUpdate", TavloNeedUpdate(&stamp_)); }

    // Runs a panel command; after a stale stamp (refreshed by the library)
    // it is repeated once.
    template <typename Call>
    bool PanelCall(const char* name, Call call) {
        if (!stampTaken_) {
            if (!TakeStamp()) return false;
            stampTaken_ = true;
        }
        TavloStatus status = call();
        if (status == TavloPanelsChanged) status = call();
        return Check(name, status);
    }

    bool PanelArg(std::size_t index, std::uint32_t* panel) {
        long long value = 0;
        if (index >= args_.size() || !ParseNumber(args_[index], 0, 255, &value)) return false;
        *panel = static_cast<std::uint32_t>(value);
        return true;
    }

    std::uint32_t Alt() const { return saved_ ? 1 : 0; }
    const char* SetName() const { return saved_ ? "saved" : "working"; }

    int List() {
        std::uint8_t count = 0;
        if (!TakeStamp() || !Check("TavloGetDevices", TavloGetDevices(&count))) return 1;
        stampTaken_ = true;
        out_ << static_cast<int>(count) << " panel(s)\n";
        if (count == 0) return 0;
        out_ << "panel  identifier  firmware  point data  touched\n";
        for (std::uint32_t panel = 0; panel < count; ++panel) {
            std::uint8_t id = 0, enable = 0, touched = 0;
            std::uint16_t firmware = 0;
            if (!PanelCall("TavloGetPanelId", [&] { return TavloGetPanelId(&stamp_, panel, &id); }) ||
                !PanelCall("TavloGetFirmVer", [&] { return TavloGetFirmVer(&stamp_, panel, &firmware); }) ||
                !PanelCall("TavloGetPointdataEnable", [&] { return TavloGetPointdataEnable(&stamp_, panel, &enable); }) ||
                !PanelCall("TavloCheckTouch", [&] { return TavloCheckTouch(&stamp_, panel, &touched); })) {
                return 1;
            }
            char line[128];
            std::snprintf(line, sizeof line, "%5u  %10s  %8s  %10s  %7s\n", panel, Hex(id, 2).c_str(),
                          Hex(firmware, 4).c_str(), enable ? "enabled" : "disabled", touched ? "yes" : "no");
            out_ << line;
        }
        return 0;
    }

    int Version() {
        std::uint16_t version = 0;
        if (!Check("TavloGetVersion", TavloGetVersion(&version))) return 1;
        out_ << "driver version " << Hex(version, 4) << "\n";
        return 0;
    }

    void PrintCalibration(std::uint32_t panel, const std::int16_t cal[4]) {
        out_ << "panel " << panel << " calibration (" << SetName() << "): x gain " << cal[0] << ", x offset "
             << cal[1] << ", y gain " << cal[2] << ", y offset " << cal[3] << "\n";
    }

    int Calibration() {
        std::uint32_t panel = 0;
        if (!PanelArg(1, &panel) || !(Arity(2, 2) || Arity(6, 6))) {
            return Usage("calibration needs PANEL and optionally four values");
        }
        std::int16_t cal[4] = {};
        if (args_.size() == 6) {
            for (int i = 0; i < 4; ++i) {
                long long value = 0;
                if (!ParseNumber(args_[2 + i], -32768, 32767, &value)) {
                    return Usage("calibration values must be -32768..32767");
                }
                cal[i] = static_cast<std::int16_t>(value);
            }
            if (!PanelCall("TavloSetCalibrationData",
                           [&] { return TavloSetCalibrationData(&stamp_, panel, cal, Alt()); })) {
                return 1;
            }
        }
        if (!PanelCall("TavloGetCalibrationData", [&] { return TavloGetCalibrationData(&stamp_, panel, cal, Alt()); })) {
            return 1;
        }
        PrintCalibration(panel, cal);
        return 0;
    }

    int ResetCalibration() {
        std::uint32_t panel = 0;
        if (!PanelArg(1, &panel) || !Arity(2, 2) || saved_) {
            return Usage("reset-calibration needs PANEL (it resets the working set only)");
        }
        std::int16_t cal[4];
        std::copy(std::begin(tavlo::kIdentityCalibration), std::end(tavlo::kIdentityCalibration), cal);
        if (!PanelCall("TavloSetCalibrationData", [&] { return TavloSetCalibrationData(&stamp_, panel, cal, 0); }) ||
            !PanelCall("TavloGetCalibrationData", [&] { return TavloGetCalibrationData(&stamp_, panel, cal, 0); })) {
            return 1;
        }
        PrintCalibration(panel, cal);
        return 0;
    }

    int Click() {
        std::uint32_t panel = 0;
        if (!PanelArg(1, &panel) || !(Arity(2, 2) || Arity(6, 6))) {
            return Usage("click needs PANEL and optionally four values");
        }
        std::int16_t click[4] = {};
        if (args_.size() == 6) {
            for (int i = 0; i < 4; ++i) {
                long long value = 0;
                if (!ParseNumber(args_[2 + i], -32768, 32767, &value)) return Usage("click values must fit 16 bits");
                click[i] = static_cast<std::int16_t>(value);
            }
            if (!PanelCall("TavloSetClickData", [&] { return TavloSetClickData(&stamp_, panel, click, Alt()); })) {
                return 1;
            }
        }
        if (!PanelCall("TavloGetClickData", [&] { return TavloGetClickData(&stamp_, panel, click, Alt()); })) return 1;
        out_ << "panel " << panel << " click settings (" << SetName() << "): down cancel " << click[0]
             << ", up cancel " << click[1] << ", double-click time " << click[2] << " ms, double-click area "
             << click[3] << "\n";
        return 0;
    }

    int OnOff(const std::string& what) {
        std::uint32_t panel = 0;
        if (!PanelArg(1, &panel) || !Arity(2, 3)) return Usage(what + " needs PANEL and optionally on or off");
        const bool isSound = what == "sound";
        if (!isSound && saved_) return Usage("pointdata has no saved set");
        if (args_.size() == 3) {
            if (args_[2] != "on" && args_[2] != "off") return Usage(what + " takes on or off");
            const std::uint32_t on = args_[2] == "on" ? 1 : 0;
            const bool done =
                isSound ? PanelCall("TavloSetClickSound", [&] { return TavloSetClickSound(&stamp_, panel, on, Alt()); })
                        : PanelCall("TavloSetPointdataEnable",
                                    [&] { return TavloSetPointdataEnable(&stamp_, panel, on); });
            if (!done) return 1;
        }
        std::uint8_t value = 0;
        const bool read =
            isSound ? PanelCall("TavloGetClickSound", [&] { return TavloGetClickSound(&stamp_, panel, &value, Alt()); })
                    : PanelCall("TavloGetPointdataEnable",
                                [&] { return TavloGetPointdataEnable(&stamp_, panel, &value); });
        if (!read) return 1;
        if (isSound) {
            out_ << "panel " << panel << " click sound (" << SetName() << "): " << (value ? "on" : "off") << "\n";
        } else {
            out_ << "panel " << panel << " point data: " << (value ? "enabled" : "disabled") << "\n";
        }
        return 0;
    }

    int Led() {
        std::uint32_t panel = 0;
        if (!PanelArg(1, &panel) || !Arity(2, 3)) return Usage("led needs PANEL and optionally a value");
        if (args_.size() == 3) {
            long long value = 0;
            if (!ParseNumber(args_[2], 0, 255, &value)) return Usage("the LED value is 0-255");
            if (!PanelCall("TavloSetPanelLed",
                           [&] { return TavloSetPanelLed(&stamp_, panel, static_cast<std::uint32_t>(value)); })) {
                return 1;
            }
        }
        std::uint8_t led = 0;
        if (!PanelCall("TavloGetPanelLed", [&] { return TavloGetPanelLed(&stamp_, panel, &led); })) return 1;
        out_ << "panel " << panel << " LED: " << static_cast<int>(led) << "\n";
        return 0;
    }

    int StartupMode() {
        if (!Arity(1, 2)) return Usage("startup-mode takes 0 or 1");
        if (args_.size() == 2) {
            long long value = 0;
            if (!ParseNumber(args_[1], 0, 1, &value)) return Usage("startup-mode takes 0 or 1");
            if (!Check("TavloSetStartupMode", TavloSetStartupMode(static_cast<std::uint32_t>(value)))) return 1;
        }
        std::uint8_t mode = 0;
        if (!Check("TavloGetStartupMode", TavloGetStartupMode(&mode))) return 1;
        out_ << "start-up mode: " << static_cast<int>(mode) << "\n";
        return 0;
    }

    static const char* ButtonName(int code) {
        switch (code) {
        case TavloButtonLeft: return "left";
        case TavloButtonRight: return "right";
        case TavloButtonMiddle: return "middle";
        default: return "unknown";
        }
    }

    static bool ParseButton(const std::string& text, std::uint32_t* code) {
        if (text == "left") *code = TavloButtonLeft;
        else if (text == "right") *code = TavloButtonRight;
        else if (text == "middle") *code = TavloButtonMiddle;
        else {
            long long value = 0;
            if (!ParseNumber(text, 0, 255, &value)) return false;
            *code = static_cast<std::uint32_t>(value);
        }
        return true;
    }

    int ClickMode() {
        if (!Arity(1, 2)) return Usage("click-mode takes one button");
        if (args_.size() == 2) {
            std::uint32_t button = 0;
            if (!ParseButton(args_[1], &button)) return Usage("click-mode takes left, right, middle or a code 0-255");
            if (!Check("TavloSetClickMode", TavloSetClickMode(button))) return 1;
        }
        std::uint8_t button = 0;
        if (!Check("TavloGetClickMode", TavloGetClickMode(&button))) return 1;
        out_ << "click mode: " << static_cast<int>(button) << " (" << ButtonName(button) << ")\n";
        return 0;
    }

    int OnceMode() {
        if (!(Arity(1, 1) || Arity(3, 3))) return Usage("once-mode takes FLAG and BUTTON, or nothing");
        if (args_.size() == 3) {
            long long flag = 0;
            std::uint32_t button = 0;
            if (!ParseNumber(args_[1], 0, 1, &flag) || !ParseButton(args_[2], &button)) {
                return Usage("once-mode takes a flag 0|1 and a button");
            }
            if (!Check("TavloSetClickOnceMode", TavloSetClickOnceMode(static_cast<std::uint32_t>(flag), button))) {
                return 1;
            }
        }
        std::uint8_t flag = 0, button = 0;
        if (!Check("TavloGetClickOnceMode", TavloGetClickOnceMode(&flag, &button))) return 1;
        out_ << "once mode: flag " << static_cast<int>(flag) << ", button " << static_cast<int>(button) << " ("
             << ButtonName(button) << ")\n";
        return 0;
    }

    int Eeprom() {
        std::uint32_t panel = 0;
        long long address = 0;
        if (!PanelArg(1, &panel) || !Arity(3, 4) || !ParseNumber(args_[2], 0, 255, &address)) {
            return Usage("eeprom needs PANEL, an ADDRESS 0-255 and optionally a WORD");
        }
        const auto addr = static_cast<std::uint32_t>(address);
        if (args_.size() == 4) {
            long long value = 0;
            if (!ParseNumber(args_[3], 0, 0xFFFF, &value)) return Usage("an EEPROM word is 0-65535");
            const auto word = static_cast<std::uint16_t>(value);
            if (!PanelCall("TavloWriteEeprom", [&] { return TavloWriteEeprom(&stamp_, panel, addr, &word); })) {
                return 1;
            }
        }
        std::uint16_t word = 0;
        if (!PanelCall("TavloReadEeprom", [&] { return TavloReadEeprom(&stamp_, panel, addr, &word); })) return 1;
        out_ << "panel " << panel << " EEPROM " << Hex(addr, 2) << ": " << Hex(word, 4) << "\n";
        return 0;
    }

    // Polls every panel's touch flag and prints each change.
    int Watch() {
        long long count = 0, seconds = 0;
        for (std::size_t i = 1; i < args_.size(); i += 2) {
            if (i + 1 >= args_.size()) return Usage("watch options take a value");
            if (args_[i] == "--count" && ParseNumber(args_[i + 1], 1, 1000000, &count)) continue;
            if (args_[i] == "--seconds" && ParseNumber(args_[i + 1], 1, 86400, &seconds)) continue;
            return Usage("watch takes --count N and --seconds S");
        }
        constexpr int kPollMs = 50;
        const long long polls = seconds > 0 ? seconds * 1000 / kPollMs : -1;
        std::vector<std::uint8_t> last;
        long long events = 0;
        out_ << "watching touches" << (count ? " until " + std::to_string(count) + " seen" : std::string())
             << (seconds ? ", at most " + std::to_string(seconds) + " s" : std::string()) << "\n";
        out_.flush();
        for (long long poll = 0; polls < 0 || poll < polls; ++poll) {
            if (poll > 0) pause_(kPollMs);
            std::uint8_t panels = 0;
            if (!Check("TavloGetDevices", TavloGetDevices(&panels))) return 1;
            last.resize(panels, 0);
            for (std::uint32_t panel = 0; panel < panels; ++panel) {
                std::uint8_t touched = 0;
                if (!PanelCall("TavloCheckTouch", [&] { return TavloCheckTouch(&stamp_, panel, &touched); })) return 1;
                if (touched == last[panel]) continue;
                last[panel] = touched;
                out_ << "panel " << panel << (touched ? " touched" : " released") << "\n";
                out_.flush();
                if (touched && ++events == count) return 0;
            }
        }
        if (count > 0) {
            err_ << "tavloctl: watch saw " << events << " of " << count << " touches in " << seconds << " s\n";
            return 1;
        }
        return 0;
    }

    std::vector<std::string> args_;
    std::ostream& out_;
    std::ostream& err_;
    const Pause& pause_;
    bool saved_ = false;
    std::uint16_t stamp_ = 0;
    bool stampTaken_ = false;
};

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Pause& pause) {
    return Console(args, out, err, pause).Run();
}

}  // namespace tavloctl
