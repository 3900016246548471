// BRIMOL.DLL end to end: a program that links the DLL through its import
// table, as the interlock controller and the record editor do, and uses its
// classes against the machine's registry and the simulated touch-panel
// driver. It prints one line per check and exits 1 when any check failed.
//
//   brimol_e2e            all checks; leaves the records of WriteRecords() behind
//                         for an outside look with `reg query`
//   brimol_e2e bench [n]  times construction of a CRegSystem and one touch
//                         poll of four panels against the 200 ms poll interval
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "brimol.h"
#include "control_transport_win32.h"
#include "sim_control.h"

// --- allocations made by this program's own C++ runtime ----------------------

namespace {
long g_programAllocations = 0;
}

// The program's own heap: every global new and delete of this module.
void* operator new(std::size_t size) {
    ++g_programAllocations;
    if (void* block = HeapAlloc(GetProcessHeap(), 0, size == 0 ? 1 : size)) return block;
    std::abort();
}
void operator delete(void* block) noexcept {
    if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}
void operator delete(void* block, std::size_t) noexcept { operator delete(block); }

namespace {

int g_failures = 0;

void Check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++g_failures;
}
// Numbers and texts compared in their printed form.
template <typename T>
std::string Text(const T& value) {
    return std::to_string(value);
}
std::string Text(const char* text) { return text; }
std::string Text(const std::string& text) { return text; }
template <typename A, typename E>
void CheckEq(const A& actual, const E& expected, const std::string& what) {
    const std::string got = Text(actual), want = Text(expected);
    Check(got == want, what + (got == want ? "" : " (got \"" + got + "\", expected \"" + want + "\")"));
}

const char kBase[] = "SOFTWARE\\ZR_EX_CONTROL";
const REGSAM kView32 = KEY_WOW64_32KEY;

// Removes every record of the suite from the 32-bit view.
void DeleteRecords() {
    HKEY software = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS | kView32, &software) != ERROR_SUCCESS) return;
    RegDeleteTreeA(software, "ZR_EX_CONTROL");
    RegCloseKey(software);
}

// Stores a value as given, bypassing the library, in the 32-bit view.
void PutValue(const std::string& subkey, const char* value, DWORD type, const std::string& data) {
    HKEY key = nullptr;
    const bool stored = RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kBase) + "\\" + subkey).c_str(), 0, nullptr, 0,
                                        KEY_WRITE | kView32, nullptr, &key, nullptr) == ERROR_SUCCESS &&
                        RegSetValueExA(key, value, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                       static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    if (key != nullptr) RegCloseKey(key);
    if (!stored) Check(false, "write " + subkey + "\\" + value);
}
std::string Sz(const std::string& text) { return text + '\0'; }
std::string Le(DWORD v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

// --- checks -------------------------------------------------------------------------

// Records written through the library; left behind at the end for the look
// from outside with `reg query`. ID16 works but is above the listed ones.
void WriteRecords() {
    const struct {
        int id;
        const char* name;
        int touchOp, irOp;
    } records[] = {{3, "Line 3 left", 2, 0}, {7, "Sixteen chars ok", 0, 5}, {16, "", 1, -1}};
    for (const auto& r : records) {
        CRegPanel panel;
        std::strcpy(panel.name, r.name);
        panel.touchOp = r.touchOp;
        panel.irOp = r.irOp;
        CheckEq(panel.SetPanelReg(r.id), 0, "SetPanelReg(" + Text(r.id) + ")");
    }
    CRegSystem system;
    system.timeOut = 0;
    system.timeEnable = 1;
    system.SetSystemReg();
}

// The written records read back, and values of every other type and size
// the registry can hold read as the defaults of a missing value.
void CheckRecords() {
    DeleteRecords();
    WriteRecords();
    CRegSystem s;
    CheckEq(s.GetAllRegID(), 2, "identifiers 3 and 7 listed, 16 not");
    CheckEq(Text(s.regIdList[0]) + " " + Text(s.regIdList[1]) + " " + Text(s.regIdList[2]), "3 7 255",
            "regIdList is 3, 7, end");
    s.GetSystemReg();
    CheckEq(Text(s.timeOut) + " " + Text(s.timeEnable), "0 1", "TIMEOUT 0 and TIMEENABLE read back");

    const std::string bigEndian = Le(0x02000000u), eightBytes = Le(5) + Le(0);
    const struct {
        const char* key;
        const char* value;
        DWORD type;
        std::string data;
    } values[] = {
        {"ID9", "NAME", REG_SZ, Sz(std::string(60, 'L'))},
        {"ID9", "TOUCH_OP", REG_DWORD, Le(3)},
        {"ID10", "NAME", REG_SZ, "NoZero"},
        {"ID10", "TOUCH_OP", REG_SZ, Sz("2")},
        {"ID10", "IR_OP", REG_QWORD, eightBytes},
        {"ID11", "NAME", REG_BINARY, "Bin"},
        {"ID11", "TOUCH_OP", REG_DWORD, Le(2).substr(0, 2)},
        {"ID12", "IR_OP", REG_DWORD, Le(0xFFFFFFFFu)},
        {"ID13", "NAME", REG_SZ, Sz(std::string(70000, 'W'))},
        {"ID14", "NAME", REG_EXPAND_SZ, Sz("%TEMP%")},
        {"ID14", "TOUCH_OP", REG_DWORD_BIG_ENDIAN, bigEndian},
        {"ID15", "NAME", REG_SZ, ""},
        {"ID15", "IR_OP", REG_NONE, bigEndian},
        {"ID17", "NAME", REG_MULTI_SZ, std::string("A\0B\0", 5)},
        {"ALL", "TIMEOUT", REG_DWORD_BIG_ENDIAN, bigEndian},
        {"ALL", "TIMEENABLE", REG_DWORD, eightBytes},
    };
    for (const auto& v : values) PutValue(v.key, v.value, v.type, v.data);
    // Result, NAME, TOUCH_OP and IR_OP as read; a missing value reads as "", 1 (Interlock), 0.
    const struct {
        int id;
        std::string read;
        const char* what;
    } records[] = {
        {3, "0 Line 3 left 2 0", "written"},
        {7, "0 Sixteen chars ok 0 5", "written"},
        {16, "0  1 -1", "written"},
        {5, "0  1 0", "no record"},
        {9, "0 " + std::string(49, 'L') + " 3 0", "60-character NAME cut to 49, TOUCH_OP 3 kept"},
        {10, "0 NoZero 1 0", "NAME without its zero, TOUCH_OP as text, IR_OP of eight bytes"},
        {11, "0  1 0", "NAME as REG_BINARY, TOUCH_OP of two bytes"},
        {12, "0  1 -1", "only IR_OP, 0xFFFFFFFF"},
        {13, "0 " + std::string(49, 'W') + " 1 0", "70,000-character NAME cut to 49"},
        {14, "0  1 0", "NAME as REG_EXPAND_SZ, TOUCH_OP as REG_DWORD_BIG_ENDIAN"},
        {15, "0  1 0", "NAME of zero bytes, IR_OP without a type"},
        {17, "0  1 0", "NAME as REG_MULTI_SZ"},
    };
    for (const auto& r : records) {
        std::strcpy(s.name, "junk");
        const int result = s.GetPanelReg(r.id);
        CheckEq(Text(result) + " " + s.name + " " + Text(s.touchOp) + " " + Text(s.irOp), r.read,
                "ID" + Text(r.id) + ": " + r.what);
    }
    s.GetSystemReg();
    CheckEq(Text(s.timeOut) + " " + Text(s.timeEnable), "30 0",
            "TIMEOUT as REG_DWORD_BIG_ENDIAN and TIMEENABLE of eight bytes read as 30 and 0");
}

// Objects of the library made, copied, assigned and destroyed here, in the
// program's module: none of it may use this module's heap. The checks'
// own texts are built after the counted part.
void CheckCrossModuleObjects() {
    DeleteRecords();
    PutValue("ID2", "NAME", REG_SZ, Sz("Copied"));
    char copyName[64] = {}, assignedBase[CRegString::kCapacity] = {}, madeName[64] = {};
    int assignedTimeOut = 0, tableCopyActive = 0;
    const long before = g_programAllocations;
    {
        CRegSystem original;
        original.GetPanelReg(2);
        original.timeOut = 77;
        CRegSystem copy(original);
        CRegSystem assigned;
        assigned = copy;
        std::strcpy(original.name, "changed");
        original.basePath = "OTHER\\";
        std::memcpy(copyName, copy.name, sizeof copyName);
        std::memcpy(assignedBase, assigned.basePath.c_str(), sizeof assignedBase);
        assignedTimeOut = assigned.timeOut;

        CRegPanel* object = new CRegSystem(copy);
        object->GetPanelReg(2);
        std::memcpy(madeName, object->name, sizeof madeName);
        delete object;
        CUSBInterface* table = new CUSBInterface();
        CUSBInterface tableCopy(*table);
        delete table;
        tableCopyActive = tableCopy.activeDevice;
        delete[] new CRegPanel[3];
    }
    const long allocations = g_programAllocations - before;
    CheckEq(copyName, "Copied", "copy keeps its own name");
    CheckEq(assignedBase, "SOFTWARE\\ZR_EX_CONTROL\\", "assignment copies basePath");
    CheckEq(assignedTimeOut, 77, "assignment copies timeOut");
    CheckEq(madeName, "Copied", "object made with new reads its record");
    CheckEq(tableCopyActive, -1, "copy of a deleted table object is intact");
    CheckEq(allocations, 0L, "no allocation on the program's heap");
}

// The table, the touch state and the driver's start-up mode and point data.
std::string State(int result, const CUSBInterface& usb, tavlosim::SimControl& sim) {
    std::string state = Text(result) + ": table";
    for (std::int32_t id : usb.panelIds) state += " " + Text(id);
    state += ", " + Text(usb.deviceCount) + " panels, active " + Text(usb.activeDevice) + ", touched " +
             Text(usb.touchedDevice) + "/" + Text(usb.activeTouched);
    tavlosim::DriverInfo driver;
    sim.GetDriver(&driver);
    state += ", start-up " + Text(driver.startup) + ", point data ";
    tavlosim::PanelInfo panel;
    for (std::uint8_t i = 0; sim.GetPanel(i, &panel) == 0; ++i) state += static_cast<char>('0' + panel.pointdata);
    return state;
}

// Each step against the real TAVLO.DLL and the simulated driver, from three
// panels of which the second has point data enabled.
void CheckPanelTable(tavlosim::SimControl& sim) {
    CheckEq(sim.Reset(), 0u, "driver reset");
    const std::uint8_t ids[] = {0x11, 0x22, 0x33};
    for (std::uint8_t id : ids) sim.Attach(id, 0x0105, nullptr);
    sim.SetPointdata(0, false);
    sim.SetPointdata(2, false);
    CUSBInterface usb;
    using Call = std::function<int(CUSBInterface&)>;
    const Call poll = &CUSBInterface::PresentTouchState;
    const struct {
        const char* what;
        int removed, touched;  // before the call, the panel the driver loses and the one touched
        Call call;
        const char* state;
    } steps[] = {
        {"InitExclusiveUSB", -1, -1, &CUSBInterface::InitExclusiveUSB,
         "0: table -1 -1 -1 -1 -1, 0 panels, active -1, touched -1/0, start-up 0, point data 010"},
        {"UpdateDevices: first enabled panel active", -1, -1, &CUSBInterface::UpdateDevices,
         "0: table 17 34 51 -1 -1, 3 panels, active 1, touched -1/0, start-up 0, point data 010"},
        {"SetActiveDevice(2)", -1, -1, [](CUSBInterface& u) { return u.SetActiveDevice(2); },
         "0: table 17 34 51 -1 -1, 3 panels, active 2, touched -1/0, start-up 0, point data 001"},
        {"poll: other panel touched", -1, 0, poll,
         "0: table 17 34 51 -1 -1, 3 panels, active 2, touched 0/0, start-up 0, point data 001"},
        {"poll after the panel set changed: table rebuilt, active found again", 0, 1, poll,
         "0: table 34 51 -1 -1 -1, 2 panels, active 1, touched -1/1, start-up 0, point data 01"},
        {"SetAllPanelDisable", -1, -1, &CUSBInterface::SetAllPanelDisable,
         "0: table 34 51 -1 -1 -1, 2 panels, active -1, touched -1/1, start-up 0, point data 00"},
        {"SetAllPanelEnable: panel 0 counts as active", -1, -1, &CUSBInterface::SetAllPanelEnable,
         "0: table 34 51 -1 -1 -1, 2 panels, active 0, touched -1/1, start-up 0, point data 11"},
        {"RemoveExclusiveUSB", -1, -1, &CUSBInterface::RemoveExclusiveUSB,
         "0: table 34 51 -1 -1 -1, 2 panels, active 0, touched -1/1, start-up 1, point data 11"},
    };
    for (const auto& s : steps) {
        if (s.removed >= 0) sim.Remove(static_cast<std::uint8_t>(s.removed));
        if (s.touched >= 0) sim.SetTouched(static_cast<std::uint8_t>(s.touched), true);
        CheckEq(State(s.call(usb), usb, sim), s.state, s.what);
    }
}

// Milliseconds per call of `step`, or -1 when a call failed.
double Time(int rounds, const std::function<bool()>& step) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < rounds; ++i) {
        if (!step()) return -1.0;
    }
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart) /
           rounds;
}

int Bench(tavlosim::SimControl& sim, int rounds) {
    DeleteRecords();
    PutValue("ID1", "NAME", REG_SZ, Sz("One"));
    PutValue("ID2", "NAME", REG_SZ, Sz("Two"));
    sim.Reset();
    for (std::uint8_t id = 1; id <= 4; ++id) sim.Attach(id, 0x0105, nullptr);
    CUSBInterface usb;
    if (usb.UpdateDevices() != 0 || usb.deviceCount != 4) {
        std::printf("bench: the simulated driver does not show four panels\n");
        return 1;
    }
    const double construct = Time(rounds, [] { return CRegSystem().regIdList[2] == 0xFF; });
    const double poll = Time(rounds, [&usb] { return usb.PresentTouchState() == 0; });
    if (construct < 0 || poll < 0) return 1;
    std::printf("bench %d-bit, %d rounds each\n", static_cast<int>(8 * sizeof(void*)), rounds);
    std::printf("  CRegSystem construction (16 key probes): %.3f ms = %.4f of the 200 ms poll interval\n", construct,
                construct / 200.0);
    std::printf("  PresentTouchState, 4 panels:             %.3f ms = %.4f of the 200 ms poll interval\n", poll,
                poll / 200.0);
    DeleteRecords();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    tavlosim::Win32ControlTransport transport;
    tavlosim::SimControl sim(transport);
    if (argc > 1 && std::strcmp(argv[1], "bench") == 0) {
        if (!transport.IsOpen()) {
            std::printf("bench: simulated driver not running (error %lu)\n", (unsigned long)transport.OpenError());
            return 1;
        }
        return Bench(sim, argc > 2 ? std::atoi(argv[2]) : 200);
    }

    CheckRecords();
    CheckCrossModuleObjects();
    if (transport.IsOpen()) {
        CheckPanelTable(sim);
    } else {
        Check(false, "simulated driver reachable (error " + std::to_string(transport.OpenError()) + ")");
    }
    DeleteRecords();
    WriteRecords();
    std::printf("%s: %d failed\n", g_failures == 0 ? "PASSED" : "FAILED", g_failures);
    return g_failures == 0 ? 0 : 1;
}
