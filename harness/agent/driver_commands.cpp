#include "driver_commands.h"

#include <array>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "click_block.h"
#include "sim_console.h"
#include "tavlo.h"

namespace agent {

namespace {

void Check(const std::string& command, std::uint32_t error) {
    if (error != 0) {
        throw CommandError(command + " failed: the driver answered with error " + std::to_string(error));
    }
}

template <typename Array>
Json ToArray(const Array& values) {
    Json list = Json::array();
    for (auto value : values) list.push_back(static_cast<int>(value));
    return list;
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

// A click block as the exports give it to a caller: the values the
// scenarios compare, decoded by the library's own conversion.
Json ClickSet(const std::array<std::uint8_t, tavlo::kClickBlockSize>& block) {
    std::int16_t data[4] = {};
    tavlo::ClickBlockToData(block.data(), data);
    return {{"down_cancel", data[TavloDownCancel]},
            {"up_cancel", data[TavloUpCancel]},
            {"double_click_time", data[TavloDblClickTime]},
            {"double_click_area", data[TavloDblClickArea]}};
}

// A list of byte values 0-255 named `name`.
std::vector<std::uint8_t> Bytes(const Args& args, const char* name) {
    std::vector<std::uint8_t> bytes;
    for (const Json& item : args.Array(name)) {
        if (!item.is_number_integer() || item.get<std::int64_t>() < 0 || item.get<std::int64_t>() > 0xFF) {
            throw CommandError(std::string(name) + " bytes must be integers 0-255");
        }
        bytes.push_back(static_cast<std::uint8_t>(item.get<int>()));
    }
    return bytes;
}

std::uint8_t Panel(const Args& args) { return static_cast<std::uint8_t>(args.Int("panel", 0, 0xFF)); }

}  // namespace

Json DriverState(tavlosim::SimControl& control) {
    tavlosim::DriverInfo d;
    Check("driver.state", control.GetDriver(&d));
    Json panels = Json::array();
    for (int i = 0; i < d.panels; ++i) {
        tavlosim::PanelInfo p;
        Check("driver.state", control.GetPanel(static_cast<std::uint8_t>(i), &p));
        panels.push_back({{"index", p.index},
                          {"id", p.id},
                          {"firmware", p.firmware},
                          {"pointdata", p.pointdata},
                          {"touched", p.touched},
                          {"led", p.led},
                          {"cal", ToArray(p.calibration[0])},
                          {"calsaved", ToArray(p.calibration[1])},
                          {"click", ToArray(p.click[0])},
                          {"clicksaved", ToArray(p.click[1])},
                          {"clickset", ClickSet(p.click[0])},
                          {"clicksetsaved", ClickSet(p.click[1])},
                          {"sound", p.sound[0]},
                          {"soundsaved", p.sound[1]}});
    }
    return {{"driver",
             {{"stamp", d.stamp},
              {"panels", d.panels},
              {"plugged", d.plugged ? 1 : 0},
              {"startup", d.startup},
              {"clickbutton", d.clickButton},
              {"onceflag", d.onceFlag},
              {"oncebutton", d.onceButton},
              {"requests", d.requests},
              {"logsize", d.logSize}}},
            {"panels", panels}};
}

void AddDriverCommands(Dispatcher& dispatcher, tavlosim::ControlTransport& transport) {
    // The control client keeps no state of its own: one for every command.
    auto simple = [&dispatcher, &transport](const std::string& name, const std::string& usage, auto call) {
        dispatcher.Add(name, usage, [name, &transport, call](const Args& args) {
            tavlosim::SimControl control(transport);
            Check(name, call(control, args));
            return Json::object();
        });
    };
    dispatcher.Add("driver.state", "driver.state: {driver: {stamp, panels, plugged, ...}, panels: [{index, id, ...}]}",
                   [&transport](const Args&) {
                       tavlosim::SimControl control(transport);
                       return DriverState(control);
                   });
    dispatcher.Add("driver.log",
                   "driver.log [code=N] [in=[bytes]] [after=SEQ]: {requests: [{seq, code, code_hex, in: [bytes], out, "
                   "error}], count}, only the requests of that code (and input) after that sequence number when "
                   "given; `wait` on {\"count\": {\"$ge\": 2}} paces a step by a program's polls",
                   [&transport](const Args& args) {
                       tavlosim::SimControl control(transport);
                       std::vector<tavlosim::RequestInfo> log;
                       Check("driver.log", control.GetLog(&log));
                       const bool anyCode = !args.Has("code");
                       const auto code = anyCode ? 0 : static_cast<std::uint32_t>(args.Int("code", 0, 0xFFFFFFFF));
                       const std::int64_t after = args.Int("after", -1, 0xFFFFFFFF, -1);
                       const bool anyInput = !args.Has("in");
                       const std::vector<std::uint8_t> input =
                           anyInput ? std::vector<std::uint8_t>() : Bytes(args, "in");
                       Json requests = Json::array();
                       for (const auto& r : log) {
                           if (static_cast<std::int64_t>(r.sequence) <= after || (!anyCode && r.code != code) ||
                               (!anyInput && r.in != input)) {
                               continue;
                           }
                           requests.push_back({{"seq", r.sequence},
                                               {"code", r.code},
                                               {"code_hex", Hex(r.code)},
                                               {"in", ToArray(r.in)},
                                               {"out", r.outSize},
                                               {"error", r.error}});
                       }
                       const auto count = requests.size();
                       return Json{{"requests", requests}, {"count", count}};
                   });
    dispatcher.Add("driver.attach", "driver.attach id=0-255 [firmware=0x105]: {index}", [&transport](const Args& args) {
        tavlosim::SimControl control(transport);
        int index = -1;
        Check("driver.attach",
              control.Attach(static_cast<std::uint8_t>(args.Int("id", 0, 0xFF)),
                             static_cast<std::uint16_t>(args.Int("firmware", 0, 0xFFFF, 0x0105)), &index));
        return Json{{"index", index}};
    });
    simple("driver.reset", "driver.reset: no panels, default modes, no faults, empty log",
           [](tavlosim::SimControl& c, const Args&) { return c.Reset(); });
    simple("driver.remove", "driver.remove panel=N: later panels move down",
           [](tavlosim::SimControl& c, const Args& a) { return c.Remove(Panel(a)); });
    simple("driver.touch", "driver.touch panel=N",
           [](tavlosim::SimControl& c, const Args& a) { return c.SetTouched(Panel(a), true); });
    simple("driver.release", "driver.release panel=N",
           [](tavlosim::SimControl& c, const Args& a) { return c.SetTouched(Panel(a), false); });
    simple("driver.pointdata", "driver.pointdata panel=N on=true|false", [](tavlosim::SimControl& c, const Args& a) {
        if (!a.Has("on")) throw CommandError("missing argument 'on'");
        return c.SetPointdata(Panel(a), a.Bool("on", false));
    });
    simple("driver.fail_next", "driver.fail_next error=WIN32: the next request fails",
           [](tavlosim::SimControl& c, const Args& a) {
               return c.FailNext(static_cast<std::uint32_t>(a.Int("error", 0, 0xFFFFFFFF)));
           });
    simple("driver.fail", "driver.fail code=N error=WIN32: every request CODE fails (error 0 clears)",
           [](tavlosim::SimControl& c, const Args& a) {
               return c.FailCode(static_cast<std::uint32_t>(a.Int("code", 0, 0xFFFFFFFF)),
                                 static_cast<std::uint32_t>(a.Int("error", 0, 0xFFFFFFFF)));
           });
    simple("driver.reply", "driver.reply code=N bytes=[0-255...] (at most 8) [always=false]",
           [](tavlosim::SimControl& c, const Args& a) {
               const std::vector<std::uint8_t> bytes = Bytes(a, "bytes");
               if (bytes.size() > 8) throw CommandError("a reply has at most 8 bytes");
               return c.OverrideReply(static_cast<std::uint32_t>(a.Int("code", 0, 0xFFFFFFFF)), bytes,
                                      a.Bool("always", false));
           });
    simple("driver.clear_faults", "driver.clear_faults",
           [](tavlosim::SimControl& c, const Args&) { return c.ClearFaults(); });
    simple("driver.clear_log", "driver.clear_log", [](tavlosim::SimControl& c, const Args&) { return c.ClearLog(); });
    simple("driver.unplug", "driver.unplug: \\\\.\\Tavlo disappears",
           [](tavlosim::SimControl& c, const Args&) { return c.Unplug(); });
    simple("driver.replug", "driver.replug", [](tavlosim::SimControl& c, const Args&) { return c.Replug(); });
    dispatcher.Add("sim", "sim args=[...]: the simulator console's command line; {status, out, err}",
                   [&transport](const Args& args) {
                       std::vector<std::string> words;
                       for (const Json& item : args.Array("args")) {
                           if (!item.is_string()) throw CommandError("sim args must be strings");
                           words.push_back(item.get<std::string>());
                       }
                       tavlosim::SimControl control(transport);
                       std::ostringstream out, err;
                       const int status = tavlosim::RunSimConsole(words, control, out, err);
                       return Json{{"status", status}, {"out", out.str()}, {"err", err.str()}};
                   });
}

}  // namespace agent
