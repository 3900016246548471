// BRIMOL.DLL end to end: a program that links the DLL through its import
// table, as the interlock controller and the record editor do, and uses its
// classes against the machine's registry and the simulated touch-panel
// driver. It prints one line per check and exits 1 when any check failed.
//
//   brimol_e2e            all checks; leaves the records of WriteFinalRecords() behind
//                         for an outside look with `reg query`
//   brimol_e2e bench [n]  times construction of a CRegSystem and one touch
//                         poll of four panels against the 200 ms poll interval
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
template <typename T>
void CheckEq(const T& actual, const T& expected, const std::string& what) {
    if (actual == expected) {
        Check(true, what);
    } else {
        Check(false, what + " (got " + std::to_string(actual) + ", expected " + std::to_string(expected) + ")");
    }
}
void CheckText(const char* actual, const std::string& expected, const std::string& what) {
    Check(expected == actual, what + (expected == actual ? "" : " (got \"" + std::string(actual) + "\")"));
}

const char kBase[] = "SOFTWARE\\ZR_EX_CONTROL";
const REGSAM kView32 = KEY_WOW64_32KEY;
const REGSAM kView64 = KEY_WOW64_64KEY;

std::string KeyPath(const std::string& subkey) { return std::string(kBase) + "\\" + subkey; }

// Removes every record of the suite from the 32-bit view.
void DeleteRecords() {
    HKEY base = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBase, 0, KEY_READ | kView32, &base) != ERROR_SUCCESS) return;
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(base, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    RegCloseKey(base);
    for (const std::string& n : names) RegDeleteKeyExA(HKEY_LOCAL_MACHINE, KeyPath(n).c_str(), kView32, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kBase, kView32, 0);
}

// Stores a value as given, bypassing the library, in the 32-bit view.
void Seed(const std::string& subkey, const char* value, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyPath(subkey).c_str(), 0, nullptr, 0, KEY_WRITE | kView32, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        Check(false, "write " + subkey + "\\" + value);
        return;
    }
    RegSetValueExA(key, value, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}
void SeedDword(const std::string& subkey, const char* value, DWORD data) {
    Seed(subkey, value, REG_DWORD, &data, sizeof data);
}
void SeedText(const std::string& subkey, const char* value, const std::string& text) {
    Seed(subkey, value, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool KeyExists(const std::string& subkey, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, KeyPath(subkey).c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::size_t Offset(const void* object, const void* member) {
    return static_cast<std::size_t>(static_cast<const char*>(member) - static_cast<const char*>(object));
}

// --- checks -------------------------------------------------------------------------

// The member offsets that other modules compile against.
void CheckLayout() {
    const std::size_t p = sizeof(void*);
    CRegSystem s;
    CUSBInterface u;
    const std::size_t keyAt = (p + 124 + p - 1) / p * p;  // after basePath, aligned
    const struct {
        const char* member;
        std::size_t actual, expected;
    } members[] = {
        {"CRegPanel::name", Offset(&s, s.name), p},
        {"CRegPanel::irOp", Offset(&s, &s.irOp), p + 64},
        {"CRegPanel::touchOp", Offset(&s, &s.touchOp), p + 68},
        {"CRegPanel::regIdList", Offset(&s, s.regIdList), p + 72},
        {"CRegPanel::basePath", Offset(&s, &s.basePath), p + 92},
        {"CRegPanel::key", Offset(&s, &s.key), keyAt},
        {"CRegPanel::rootKey", Offset(&s, &s.rootKey), keyAt + p},
        {"CRegSystem::timeOut", Offset(&s, &s.timeOut), keyAt + 2 * p},
        {"CRegSystem::timeEnable", Offset(&s, &s.timeEnable), keyAt + 2 * p + 4},
        {"CUSBInterface::activeDevice", Offset(&u, &u.activeDevice), p},
        {"CUSBInterface::touchedDevice", Offset(&u, &u.touchedDevice), p + 4},
        {"CUSBInterface::deviceCount", Offset(&u, &u.deviceCount), p + 8},
        {"CUSBInterface::panelIds", Offset(&u, u.panelIds), p + 12},
        {"CUSBInterface::stamp", Offset(&u, &u.stamp), p + 32},
        {"CUSBInterface::activeTouched", Offset(&u, &u.activeTouched), p + 36},
    };
    for (const auto& m : members) CheckEq(m.actual, m.expected, std::string("offset of ") + m.member);
    Check(s.rootKey == HKEY_LOCAL_MACHINE, "rootKey is HKEY_LOCAL_MACHINE");
    std::printf("     sizes: CRegPanel %u, CRegSystem %u, CUSBInterface %u\n", unsigned(sizeof(CRegPanel)),
                unsigned(sizeof(CRegSystem)), unsigned(sizeof(CUSBInterface)));
}

void CheckEmptyRegistry() {
    DeleteRecords();
    CRegSystem s;
    CheckEq(s.GetAllRegID(), 0, "no records: no identifiers");
    CheckEq(int(s.regIdList[0]), 0xFF, "no records: list starts with the end mark");
    std::strcpy(s.name, "junk");
    CheckEq(s.GetPanelReg(3), 0, "missing record reads with result 0");
    CheckText(s.name, "", "missing record: empty name");
    CheckEq(s.touchOp, 1, "missing record: Interlock");
    CheckEq(s.irOp, 0, "missing record: IR_OP 0");
    s.GetSystemReg();
    CheckEq(s.timeOut, 30, "missing ALL: time-out 30");
    CheckEq(s.timeEnable, 0, "missing ALL: time release off");
}

void CheckRecordsRoundTrip() {
    DeleteRecords();
    struct Record {
        int id;
        const char* name;
        int touchOp;
        int irOp;
    };
    const Record records[] = {
        {3, "Line 3 left", 2, 0}, {7, "Sixteen chars ok", 0, 5}, {16, "", 1, -1}};
    for (const Record& r : records) {
        CRegPanel panel;
        std::strcpy(panel.name, r.name);
        panel.touchOp = r.touchOp;
        panel.irOp = r.irOp;
        CheckEq(panel.SetPanelReg(r.id), 0, "SetPanelReg(" + std::to_string(r.id) + ")");
    }
    CRegPanel reader;
    CheckEq(reader.GetAllRegID(), 2, "identifiers 3 and 7 listed, 16 not");
    Check(reader.regIdList[0] == 3 && reader.regIdList[1] == 7 && reader.regIdList[2] == 0xFF,
          "regIdList is 3, 7, end");
    for (const Record& r : records) {
        const std::string id = std::to_string(r.id);
        reader.GetPanelReg(r.id);
        CheckText(reader.name, r.name, "ID" + id + " name reads back");
        CheckEq(reader.touchOp, r.touchOp, "ID" + id + " TOUCH_OP reads back");
        CheckEq(reader.irOp, r.irOp, "ID" + id + " IR_OP reads back");
    }
    CRegSystem system;
    system.timeOut = 0;
    system.timeEnable = 1;
    system.SetSystemReg();
    system.timeOut = 99;
    system.GetSystemReg();
    CheckEq(system.timeOut, 0, "TIMEOUT 0 reads back as 0");
    CheckEq(system.timeEnable, 1, "TIMEENABLE reads back");

    // Every build keeps its records in the 32-bit view.
    Check(KeyExists("ID3", kView32), "record is in the 32-bit registry view");
    Check(!KeyExists("ID3", kView64), "record is not in the 64-bit registry view");
}

void CheckOddValues() {
    DeleteRecords();
    const std::string longName(60, 'L');
    SeedText("ID9", "NAME", longName);
    SeedDword("ID9", "TOUCH_OP", 3);
    const char unterminated[] = {'N', 'o', 'Z', 'e', 'r', 'o'};
    Seed("ID10", "NAME", REG_SZ, unterminated, sizeof unterminated);
    SeedText("ID10", "TOUCH_OP", "2");
    const std::uint64_t wide = 5;
    Seed("ID10", "IR_OP", REG_QWORD, &wide, sizeof wide);
    Seed("ID11", "NAME", REG_BINARY, "Bin", 3);
    const std::uint16_t shortValue = 2;
    Seed("ID11", "TOUCH_OP", REG_DWORD, &shortValue, sizeof shortValue);
    SeedDword("ID12", "IR_OP", 0xFFFFFFFFu);  // only IR_OP present
    SeedText("ALL", "TIMEOUT", "60");
    SeedDword("ALL", "TIMEENABLE", 1);

    CRegSystem s;
    s.GetPanelReg(9);
    CheckText(s.name, std::string(49, 'L'), "60-character NAME cut to 49");
    CheckEq(s.touchOp, 3, "TOUCH_OP 3 kept");
    s.GetPanelReg(10);
    CheckText(s.name, "NoZero", "NAME without terminating zero");
    CheckEq(s.touchOp, 1, "TOUCH_OP stored as text reads as Interlock");
    CheckEq(s.irOp, 0, "IR_OP of eight bytes reads as 0");
    s.GetPanelReg(11);
    CheckText(s.name, "", "binary NAME reads empty");
    CheckEq(s.touchOp, 1, "two-byte TOUCH_OP reads as Interlock");
    s.GetPanelReg(12);
    CheckText(s.name, "", "missing NAME reads empty");
    CheckEq(s.touchOp, 1, "missing TOUCH_OP reads as Interlock");
    CheckEq(s.irOp, -1, "IR_OP 0xFFFFFFFF reads as -1");
    s.GetSystemReg();
    CheckEq(s.timeOut, 30, "TIMEOUT stored as text reads as 30");
    CheckEq(s.timeEnable, 1, "TIMEENABLE beside it still reads");

    // The types and sizes the registry itself can hold besides: a name far
    // larger than any buffer of the reader, one of zero bytes, text of the
    // other string types, numbers of the other number types and no type.
    SeedText("ID13", "NAME", std::string(70000, 'W'));
    const char* const expandable = "%TEMP%";
    Seed("ID14", "NAME", REG_EXPAND_SZ, expandable, 7);
    const DWORD bigEndian = 0x02000000u;
    Seed("ID14", "TOUCH_OP", REG_DWORD_BIG_ENDIAN, &bigEndian, sizeof bigEndian);
    Seed("ID15", "NAME", REG_SZ, "", 0);
    Seed("ID15", "IR_OP", REG_NONE, &bigEndian, sizeof bigEndian);
    const char multi[] = {'A', 0, 'B', 0, 0};
    Seed("ID16", "NAME", REG_MULTI_SZ, multi, sizeof multi);
    Seed("ALL", "TIMEOUT", REG_DWORD_BIG_ENDIAN, &bigEndian, sizeof bigEndian);
    Seed("ALL", "TIMEENABLE", REG_DWORD, &wide, sizeof wide);
    s.GetPanelReg(13);
    CheckText(s.name, std::string(49, 'W'), "70,000-character NAME cut to 49");
    s.GetPanelReg(14);
    CheckText(s.name, "", "NAME of REG_EXPAND_SZ reads empty");
    CheckEq(s.touchOp, 1, "TOUCH_OP of REG_DWORD_BIG_ENDIAN reads as Interlock");
    s.GetPanelReg(15);
    CheckText(s.name, "", "NAME of zero bytes reads empty");
    CheckEq(s.irOp, 0, "IR_OP without a type reads as 0");
    s.GetPanelReg(16);
    CheckText(s.name, "", "NAME of REG_MULTI_SZ reads empty");
    s.GetSystemReg();
    CheckEq(s.timeOut, 30, "TIMEOUT of REG_DWORD_BIG_ENDIAN reads as 30");
    CheckEq(s.timeEnable, 0, "TIMEENABLE of eight bytes reads as 0");
}

// Objects of the library made, copied, assigned and destroyed here, in the
// program's module: none of it may use this module's heap. The checks'
// own texts are built after the counted part.
void CheckCrossModuleObjects() {
    DeleteRecords();
    SeedText("ID2", "NAME", "Copied");
    char copyName[64] = {}, assignedBase[CRegString::kCapacity] = {}, madeName[64] = {};
    int assignedTimeOut = 0, tableCopyActive = 0;
    bool made = false;
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
        made = object != nullptr;
        if (made) {
            object->GetPanelReg(2);
            std::memcpy(madeName, object->name, sizeof madeName);
            delete object;
        }
        CUSBInterface* table = new CUSBInterface();
        CUSBInterface tableCopy(*table);
        delete table;
        tableCopyActive = tableCopy.activeDevice;
        CRegPanel* several = new CRegPanel[3];
        delete[] several;
    }
    const long allocations = g_programAllocations - before;
    CheckText(copyName, "Copied", "copy keeps its own name");
    CheckText(assignedBase, "SOFTWARE\\ZR_EX_CONTROL\\", "assignment copies basePath");
    CheckEq(assignedTimeOut, 77, "assignment copies timeOut");
    Check(made, "new CRegSystem in the program");
    CheckText(madeName, "Copied", "object made with new reads its record");
    CheckEq(tableCopyActive, -1, "copy of a deleted table object is intact");
    CheckEq(allocations, 0L, "no allocation on the program's heap");
}

void CheckPanelTable(tavlosim::SimControl& sim) {
    CheckEq(sim.Reset(), 0u, "driver reset");
    const std::uint8_t ids[] = {0x11, 0x22, 0x33};
    for (std::uint8_t id : ids) sim.Attach(id, 0x0105, nullptr);
    sim.SetPointdata(0, false);
    sim.SetPointdata(2, false);

    CUSBInterface usb;
    CheckEq(usb.InitExclusiveUSB(), 0, "InitExclusiveUSB");
    tavlosim::DriverInfo driver;
    sim.GetDriver(&driver);
    CheckEq(driver.startup, 0, "start-up mode 0 while the interlock runs");

    CheckEq(usb.UpdateDevices(), 0, "UpdateDevices");
    CheckEq(usb.deviceCount, 3, "three panels in the table");
    Check(usb.panelIds[0] == 0x11 && usb.panelIds[1] == 0x22 && usb.panelIds[2] == 0x33 && usb.panelIds[3] == -1 &&
              usb.panelIds[4] == -1,
          "panel identifiers in order, -1 after them");
    CheckEq(usb.activeDevice, 1, "first enabled panel is active");

    CheckEq(usb.SetActiveDevice(2), 0, "SetActiveDevice(2)");
    tavlosim::PanelInfo panel;
    std::string flags;
    for (std::uint8_t i = 0; i < 3; ++i) {
        sim.GetPanel(i, &panel);
        flags += static_cast<char>('0' + panel.pointdata);
    }
    CheckText(flags.c_str(), "001", "only panel 2 has point data enabled");

    sim.SetTouched(0, true);
    CheckEq(usb.PresentTouchState(), 0, "PresentTouchState");
    CheckEq(usb.touchedDevice, 0, "touched other panel reported");
    CheckEq(usb.activeTouched, 0, "active panel not touched");
    sim.SetTouched(0, false);

    sim.Remove(0);  // the panel set changes under the object
    sim.SetTouched(1, true);
    CheckEq(usb.PresentTouchState(), 0, "poll after the panel set changed");
    CheckEq(usb.deviceCount, 2, "table rebuilt with two panels");
    Check(usb.panelIds[0] == 0x22 && usb.panelIds[1] == 0x33, "rebuilt table lists 0x22, 0x33");
    CheckEq(usb.activeDevice, 1, "active panel found again in the rebuilt table");
    CheckEq(usb.activeTouched, 1, "active panel seen touched");
    CheckEq(usb.touchedDevice, -1, "no other panel touched");

    CheckEq(usb.SetAllPanelDisable(), 0, "SetAllPanelDisable");
    CheckEq(usb.activeDevice, -1, "no active panel");
    CheckEq(usb.SetAllPanelEnable(), 0, "SetAllPanelEnable");
    CheckEq(usb.activeDevice, 0, "panel 0 counts as active after enabling all");
    CheckEq(usb.RemoveExclusiveUSB(), 0, "RemoveExclusiveUSB");
    sim.GetDriver(&driver);
    CheckEq(driver.startup, 1, "start-up mode 1 again");

    for (std::uint8_t id = 0x40; id < 0x44; ++id) sim.Attach(id, 0x0105, nullptr);
    usb.UpdateDevices();
    CheckEq(usb.deviceCount, 4, "six panels: table of four");
    CheckEq(usb.panelIds[4], -1, "fifth entry stays -1");
}

// Left behind for the look from outside with `reg query`.
void WriteFinalRecords() {
    DeleteRecords();
    CRegPanel panel;
    std::strcpy(panel.name, "Line 3 left");
    panel.touchOp = 2;
    panel.irOp = 0;
    CheckEq(panel.SetPanelReg(3), 0, "final record ID3 written");
    CRegSystem system;
    system.timeOut = 45;
    system.timeEnable = 1;
    system.SetSystemReg();
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& frequency) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int Bench(tavlosim::SimControl& sim, int rounds) {
    DeleteRecords();
    SeedText("ID1", "NAME", "One");
    SeedText("ID2", "NAME", "Two");
    sim.Reset();
    for (std::uint8_t id = 1; id <= 4; ++id) sim.Attach(id, 0x0105, nullptr);
    CUSBInterface usb;
    if (usb.UpdateDevices() != 0 || usb.deviceCount != 4) {
        std::printf("bench: the simulated driver does not show four panels\n");
        return 1;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);

    QueryPerformanceCounter(&start);
    for (int i = 0; i < rounds; ++i) {
        CRegSystem system;
        if (system.regIdList[2] != 0xFF) return 1;
    }
    QueryPerformanceCounter(&end);
    const double construct = Milliseconds(start, end, frequency) / rounds;

    QueryPerformanceCounter(&start);
    for (int i = 0; i < rounds; ++i) {
        if (usb.PresentTouchState() != 0) return 1;
    }
    QueryPerformanceCounter(&end);
    const double poll = Milliseconds(start, end, frequency) / rounds;

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

    CheckLayout();
    CheckEmptyRegistry();
    CheckRecordsRoundTrip();
    CheckOddValues();
    CheckCrossModuleObjects();
    if (transport.IsOpen()) {
        CheckPanelTable(sim);
    } else {
        Check(false, "simulated driver reachable (error " + std::to_string(transport.OpenError()) + ")");
    }
    WriteFinalRecords();
    std::printf("%s: %d failed\n", g_failures == 0 ? "PASSED" : "FAILED", g_failures);
    return g_failures == 0 ? 0 : 1;
}
