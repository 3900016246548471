#include "sim_console.h"

#include <cstdint>
#include <cstdlib>

namespace tavlosim {

const char* const kSimConsoleUsage =
    "usage: tavlosim [-m] COMMAND [ARGS] [COMMAND [ARGS]]...\n"
    "Drives the simulated touch-panel driver. Commands run in order; numbers\n"
    "are decimal or 0x-prefixed hex. -m prints one machine-readable line per item.\n"
    "\n"
    "  reset                     no panels, default modes, no faults, empty log\n"
    "  attach ID [FIRMWARE]      attach a panel with identifier ID at the end\n"
    "  remove PANEL              remove panel number PANEL (later ones move down)\n"
    "  touch PANEL | release PANEL\n"
    "  pointdata PANEL 0|1       set a panel's point-data enable\n"
    "  fail-next ERROR           fail the next request with Win32 error ERROR\n"
    "  fail CODE ERROR           fail every request CODE with ERROR (0 clears)\n"
    "  reply CODE once|always [BYTE]...  answer CODE with exactly these bytes\n"
    "  clear-faults\n"
    "  unplug | replug           remove or restore the device \\\\.\\Tavlo\n"
    "  state                     print the driver and every panel\n"
    "  log | clear-log           print or clear the request log\n";

namespace {

bool ParseNumber(const std::string& text, std::uint32_t* value) {
    if (text.empty()) return false;
    // Decimal unless 0x-prefixed: a leading zero does not make it octal.
    const bool hex = text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(text.c_str(), &end, hex ? 16 : 10);
    if (end == nullptr || *end != '\0' || text[0] == '-') return false;
    *value = static_cast<std::uint32_t>(parsed);
    return parsed <= 0xFFFFFFFFul;
}

class Runner {
public:
    Runner(const std::vector<std::string>& args, SimControl& control, std::ostream& out, std::ostream& err)
        : args_(args), control_(control), out_(out), err_(err) {}

    int Run() {
        if (pos_ < args_.size() && (args_[pos_] == "-m" || args_[pos_] == "--machine")) {
            machine_ = true;
            ++pos_;
        }
        if (pos_ >= args_.size()) return Usage("no command given");
        while (pos_ < args_.size()) {
            const std::string command = args_[pos_++];
            const int result = RunOne(command);
            if (result != 0) return result;
        }
        return 0;
    }

private:
    int Usage(const std::string& problem) {
        err_ << "tavlosim: " << problem << "\n" << kSimConsoleUsage;
        return 2;
    }

    // Takes the next argument as a number no larger than `max`.
    bool Number(const char* what, std::uint32_t max, std::uint32_t* value) {
        if (pos_ >= args_.size() || !ParseNumber(args_[pos_], value) || *value > max) {
            badArgument_ = what;
            return false;
        }
        ++pos_;
        return true;
    }

    int Done(const std::string& command, std::uint32_t error) {
        if (error == 0) return 0;
        err_ << "tavlosim: " << command << " failed: the driver answered with error " << error << "\n";
        return 1;
    }

    int RunOne(const std::string& command) {
        std::uint32_t a = 0, b = 0;
        badArgument_ = nullptr;
        if (command == "help" || command == "-h" || command == "--help") {
            out_ << kSimConsoleUsage;
            return 0;
        }
        if (command == "reset") return Done(command, control_.Reset());
        if (command == "attach") {
            if (!Number("panel identifier (0-255)", 0xFF, &a)) return BadArgument(command);
            b = 0x0105;
            if (pos_ < args_.size() && ParseNumber(args_[pos_], &b)) {
                if (b > 0xFFFF) return Usage("firmware version must fit 16 bits");
                ++pos_;
            }
            int index = -1;
            const std::uint32_t error =
                control_.Attach(static_cast<std::uint8_t>(a), static_cast<std::uint16_t>(b), &index);
            if (error == 0) {
                if (machine_) {
                    out_ << "attached index=" << index << " id=" << a << "\n";
                } else {
                    out_ << "attached panel " << index << " (identifier " << a << ")\n";
                }
            }
            return Done(command, error);
        }
        if (command == "remove") {
            if (!Number("panel number", 0xFF, &a)) return BadArgument(command);
            return Done(command, control_.Remove(static_cast<std::uint8_t>(a)));
        }
        if (command == "touch" || command == "release") {
            if (!Number("panel number", 0xFF, &a)) return BadArgument(command);
            return Done(command, control_.SetTouched(static_cast<std::uint8_t>(a), command == "touch"));
        }
        if (command == "pointdata") {
            if (!Number("panel number", 0xFF, &a) || !Number("0 or 1", 1, &b)) return BadArgument(command);
            return Done(command, control_.SetPointdata(static_cast<std::uint8_t>(a), b != 0));
        }
        if (command == "fail-next") {
            if (!Number("Win32 error", 0xFFFFFFFF, &a)) return BadArgument(command);
            return Done(command, control_.FailNext(a));
        }
        if (command == "fail") {
            if (!Number("request code", 0xFFFFFFFF, &a) || !Number("Win32 error", 0xFFFFFFFF, &b)) {
                return BadArgument(command);
            }
            return Done(command, control_.FailCode(a, b));
        }
        if (command == "reply") return Reply();
        if (command == "clear-faults") return Done(command, control_.ClearFaults());
        if (command == "unplug") return Done(command, control_.Unplug());
        if (command == "replug") return Done(command, control_.Replug());
        if (command == "clear-log") return Done(command, control_.ClearLog());
        if (command == "state") return State();
        if (command == "log") return Log();
        return Usage("unknown command '" + command + "'");
    }

    int BadArgument(const std::string& command) {
        return Usage(command + " needs " + (badArgument_ ? badArgument_ : "an argument"));
    }

    int Reply() {
        std::uint32_t code = 0;
        if (!Number("request code", 0xFFFFFFFF, &code)) return BadArgument("reply");
        if (pos_ >= args_.size() || (args_[pos_] != "once" && args_[pos_] != "always")) {
            return Usage("reply needs once or always");
        }
        const bool persistent = args_[pos_++] == "always";
        std::vector<std::uint8_t> bytes;
        std::uint32_t value = 0;
        while (pos_ < args_.size() && ParseNumber(args_[pos_], &value)) {
            if (value > 0xFF) return Usage("reply bytes must be 0-255");
            bytes.push_back(static_cast<std::uint8_t>(value));
            ++pos_;
        }
        if (bytes.size() > static_cast<std::size_t>(8)) return Usage("a reply has at most 8 bytes");
        return Done("reply", control_.OverrideReply(code, bytes, persistent));
    }

    int State() {
        DriverInfo driver;
        std::uint32_t error = control_.GetDriver(&driver);
        if (error != 0) return Done("state", error);
        out_ << DescribeDriver(driver, machine_) << "\n";
        for (int i = 0; i < driver.panels; ++i) {
            PanelInfo panel;
            error = control_.GetPanel(static_cast<std::uint8_t>(i), &panel);
            if (error != 0) return Done("state", error);
            out_ << DescribePanel(panel, machine_) << "\n";
        }
        return 0;
    }

    int Log() {
        std::vector<RequestInfo> log;
        const std::uint32_t error = control_.GetLog(&log);
        if (error != 0) return Done("log", error);
        for (const RequestInfo& item : log) out_ << DescribeRequest(item, machine_) << "\n";
        if (log.empty() && !machine_) out_ << "(no requests logged)\n";
        return 0;
    }

    const std::vector<std::string>& args_;
    SimControl& control_;
    std::ostream& out_;
    std::ostream& err_;
    std::size_t pos_ = 0;
    bool machine_ = false;
    const char* badArgument_ = nullptr;
};

}  // namespace

int RunSimConsole(const std::vector<std::string>& args, SimControl& control, std::ostream& out, std::ostream& err) {
    return Runner(args, control, out, err).Run();
}

}  // namespace tavlosim
