// A program of an integrator built in Microsoft's C++ ABI (clang for
// *-pc-windows-msvc, linked with lld-link against the .lib import
// libraries of the SDK), without any C or C++ runtime. It calls every
// export of TAVLO.DLL and checks each result, and uses CRegPanel,
// CRegSystem, CUSBInterface and CRegString on its stack. On i686 it checks
// the stack pointer around every call into the libraries: a wrong calling
// convention or a wrong argument size leaves it moved.
//
// tests/e2e/test_msabi_client.py prepares the simulated driver and the
// registry, runs it, and checks the registry and the driver afterwards. One line per check;
// the exit code is the number of failed checks.
#include "brimol.h"
#include "tavlo.h"

extern "C" {
__declspec(dllimport) void* __stdcall GetStdHandle(unsigned long handle);
__declspec(dllimport) int __stdcall WriteFile(void* file, const void* data, unsigned long size, unsigned long* written,
                                              void* overlapped);
__declspec(dllimport) __declspec(noreturn) void __stdcall ExitProcess(unsigned int code);
__declspec(dllimport) void* __stdcall GetModuleHandleA(const char* name);
__declspec(dllimport) void* __stdcall GetProcAddress(void* module, const char* name);

int TavloVersionFromC(void);

// The compiler turns struct copies and clearing into these calls.
void* memset(void* target, int value, size_t size) {
    volatile unsigned char* bytes = static_cast<unsigned char*>(target);
    while (size-- > 0) *bytes++ = static_cast<unsigned char>(value);
    return target;
}
void* memcpy(void* target, const void* source, size_t size) {
    volatile unsigned char* to = static_cast<unsigned char*>(target);
    const unsigned char* from = static_cast<const unsigned char*>(source);
    while (size-- > 0) *to++ = *from++;
    return target;
}
}

namespace {

unsigned g_failures = 0;

size_t Length(const char* text) {
    size_t length = 0;
    while (text[length] != '\0') ++length;
    return length;
}
bool SameText(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) ++a, ++b;
    return *a == *b;
}

void Print(const char* text) {
    unsigned long written = 0;
    WriteFile(GetStdHandle(static_cast<unsigned long>(-11)), text, static_cast<unsigned long>(Length(text)), &written,
              nullptr);
}
void PrintNumber(long value) {
    char digits[24];
    char* at = digits + sizeof digits;
    *--at = '\0';
    unsigned long magnitude = value < 0 ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
        *--at = static_cast<char>('0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0);
    if (value < 0) *--at = '-';
    Print(at);
}

void Check(bool ok, const char* what) {
    Print(ok ? "ok   " : "FAIL ");
    Print(what);
    Print("\n");
    if (!ok) ++g_failures;
}
void CheckEq(long actual, long expected, const char* what) {
    Print(actual == expected ? "ok   " : "FAIL ");
    Print(what);
    if (actual != expected) {
        Print(" (got ");
        PrintNumber(actual);
        Print(", expected ");
        PrintNumber(expected);
        Print(")");
        ++g_failures;
    }
    Print("\n");
}

// The stack pointer, read where it stands (always inlined). On x86_64 the
// caller removes the arguments, so the check is trivially true there.
__attribute__((always_inline)) inline unsigned long long StackPointer() {
    unsigned long long sp = 0;
#if defined(_M_IX86)
    unsigned long esp = 0;
    __asm__ volatile("movl %%esp, %0" : "=r"(esp));
    sp = esp;
#else
    __asm__ volatile("movq %%rsp, %0" : "=r"(sp));
#endif
    return sp;
}
void StackCheck(unsigned long long before, unsigned long long after, const char* call) {
    if (before == after) return;
    Print("FAIL stack pointer moved by ");
    PrintNumber(static_cast<long>(after - before));
    Print(" bytes in ");
    Print(call);
    Print("\n");
    ++g_failures;
}
#define CALL(expr)                                           \
    ([&]() -> decltype(auto) {                               \
        const unsigned long long sp_before = StackPointer(); \
        decltype(auto) result = (expr);                      \
        StackCheck(sp_before, StackPointer(), #expr);        \
        return result;                                       \
    }())
#define CALL_VOID(expr)                                      \
    do {                                                     \
        const unsigned long long sp_before = StackPointer(); \
        expr;                                                \
        StackCheck(sp_before, StackPointer(), #expr);        \
    } while (0)

// --- TAVLO.DLL: every export ----------------------------------------------------
// The script attached panel 0x11 and panel 0x22 with firmware 0x0207, and
// touched panel 1.
void CheckTavlo() {
    uint16_t version = 0;
    CheckEq(CALL(TavloGetVersion(&version)), TavloOk, "TavloGetVersion");
    CheckEq(version, 0x0210, "driver version 0x0210");
    CheckEq(TavloVersionFromC(), 0x0210, "TavloGetVersion called from C");
    uint8_t count = 0;
    CheckEq(CALL(TavloGetDevices(&count)), TavloOk, "TavloGetDevices");
    CheckEq(count, 2, "two panels");

    uint16_t stamp = 0;
    uint8_t id = 0;
    CheckEq(CALL(TavloGetPanelId(&stamp, 0, &id)), TavloPanelsChanged, "stale stamp: TavloPanelsChanged");
    uint16_t fresh = 0;
    CheckEq(CALL(TavloNeedUpdate(&fresh)), TavloOk, "TavloNeedUpdate");
    CheckEq(fresh, stamp, "TavloNeedUpdate gives the refreshed stamp");
    CheckEq(CALL(TavloGetPanelId(&stamp, 1, &id)), TavloOk, "TavloGetPanelId");
    CheckEq(id, 0x22, "panel 1 is 0x22");
    CheckEq(CALL(TavloGetPanelId(&stamp, 2, &id)), TavloBadPanel, "panel 2: TavloBadPanel");
    uint16_t firmware = 0;
    CheckEq(CALL(TavloGetFirmVer(&stamp, 1, &firmware)), TavloOk, "TavloGetFirmVer");
    CheckEq(firmware, 0x0207, "firmware 0x0207");
    uint8_t touched = 9;
    CheckEq(CALL(TavloCheckTouch(&stamp, 1, &touched)), TavloOk, "TavloCheckTouch");
    CheckEq(touched, 1, "panel 1 touched");

    uint8_t enable = 9;
    CheckEq(CALL(TavloSetPointdataEnable(&stamp, 0, 0)), TavloOk, "TavloSetPointdataEnable");
    CheckEq(CALL(TavloGetPointdataEnable(&stamp, 0, &enable)), TavloOk, "TavloGetPointdataEnable");
    CheckEq(enable, 0, "point data of panel 0 off");

    const int16_t calibration[4] = {-12000, 345, 8000, -17};
    int16_t read[4] = {0, 0, 0, 0};
    CheckEq(CALL(TavloSetCalibrationData(&stamp, 1, calibration, 1)), TavloOk, "TavloSetCalibrationData");
    CheckEq(CALL(TavloGetCalibrationData(&stamp, 1, read, 1)), TavloOk, "TavloGetCalibrationData");
    Check(read[0] == -12000 && read[1] == 345 && read[2] == 8000 && read[3] == -17, "calibration reads back");

    int16_t click[4] = {55, 30, 430, 21};
    CheckEq(CALL(TavloSetClickData(&stamp, 0, click, 0)), TavloOk, "TavloSetClickData");
    CheckEq(CALL(TavloGetClickData(&stamp, 0, click, 0)), TavloOk, "TavloGetClickData");
    Check(click[0] == 50 && click[1] == 30 && click[2] == 430 && click[3] == 20,
          "click data reads back in the device's steps");

    uint8_t on = 9;
    CheckEq(CALL(TavloSetClickSound(&stamp, 0, 0, 0)), TavloOk, "TavloSetClickSound");
    CheckEq(CALL(TavloGetClickSound(&stamp, 0, &on, 0)), TavloOk, "TavloGetClickSound");
    CheckEq(on, 0, "touch-down sound of panel 0 off");

    uint8_t led = 9;
    CheckEq(CALL(TavloSetPanelLed(&stamp, 1, 1)), TavloOk, "TavloSetPanelLed");
    CheckEq(CALL(TavloGetPanelLed(&stamp, 1, &led)), TavloOk, "TavloGetPanelLed");
    CheckEq(led, 1, "LED of panel 1 on");

    uint16_t word = 0;
    const uint16_t written = 0xBEEF;
    CheckEq(CALL(TavloWriteEeprom(&stamp, 1, 0xFF, &written)), TavloOk, "TavloWriteEeprom");
    CheckEq(CALL(TavloReadEeprom(&stamp, 1, 0xFF, &word)), TavloOk, "TavloReadEeprom");
    CheckEq(word, 0xBEEF, "EEPROM word reads back");

    uint8_t mode = 9;
    CheckEq(CALL(TavloSetStartupMode(0)), TavloOk, "TavloSetStartupMode");
    CheckEq(CALL(TavloGetStartupMode(&mode)), TavloOk, "TavloGetStartupMode");
    CheckEq(mode, 0, "start-up mode 0");
    uint8_t button = 9;
    CheckEq(CALL(TavloSetClickMode(TavloButtonRight)), TavloOk, "TavloSetClickMode");
    CheckEq(CALL(TavloGetClickMode(&button)), TavloOk, "TavloGetClickMode");
    CheckEq(button, TavloButtonRight, "click button right");
    uint8_t onceFlag = 9, onceButton = 9;
    CheckEq(CALL(TavloSetClickOnceMode(1, TavloButtonMiddle)), TavloOk, "TavloSetClickOnceMode");
    CheckEq(CALL(TavloGetClickOnceMode(&onceFlag, &onceButton)), TavloOk, "TavloGetClickOnceMode");
    Check(onceFlag == 1 && onceButton == TavloButtonMiddle, "once mode on, middle button");
}

// --- BRIMOL.DLL -------------------------------------------------------------------

// The protected registry operations, reached from a class of this program.
// Its own virtual destructor and table live in this module.
class RecordKeys : public CRegPanel {
public:
    int Open(const char* subkey) { return CALL(RegOpen(subkey)); }
    int Create(const char* subkey) { return CALL(RegCreate(subkey)); }
    void Close() { CALL_VOID(RegClose()); }
};

void CheckStrings() {
    const unsigned long long sp = StackPointer();
    CRegString empty;
    StackCheck(sp, StackPointer(), "CRegString()");
    CheckEq(static_cast<long>(CALL(empty.length())), 0, "CRegString() is empty");
    CRegString text("ID7");
    StackCheck(sp, StackPointer(), "CRegString(const char*)");
    Check(SameText(CALL(text.c_str()), "ID7"), "CRegString(\"ID7\").c_str()");
    CALL(text = "0123456789012345678901234567890123456789");
    CheckEq(static_cast<long>(CALL(text.length())), 31, "assigned long text cut to 31 characters");
}

// The script stored ID5 (NAME "Stored first", TOUCH_OP 2, IR_OP 7) and ALL
// (TIMEOUT 60, TIMEENABLE 0).
void CheckRecords() {
    const unsigned long long sp = StackPointer();
    {
        CRegPanel panel;
        StackCheck(sp, StackPointer(), "CRegPanel()");
        CheckEq(panel.regIdList[0], 5, "constructor lists ID5");
        CheckEq(panel.regIdList[1], 0xFF, "then the end mark");
        Check(SameText(panel.basePath.c_str(), "SOFTWARE\\ZR_EX_CONTROL\\"), "basePath");
        Check(panel.rootKey == reinterpret_cast<BrimolKey>(static_cast<intptr_t>(static_cast<int32_t>(0x80000002))),
              "rootKey is HKEY_LOCAL_MACHINE");
        CheckEq(CALL(panel.GetPanelReg(5)), 0, "GetPanelReg(5)");
        Check(SameText(panel.name, "Stored first"), "ID5 name");
        CheckEq(panel.touchOp, TouchSupervisor, "ID5 TOUCH_OP");
        CheckEq(panel.irOp, 7, "ID5 IR_OP");

        CRegPanel copy(panel);
        StackCheck(sp, StackPointer(), "CRegPanel(const CRegPanel&)");
        Check(SameText(copy.name, "Stored first") && copy.touchOp == TouchSupervisor,
              "copy constructor copies the record");
        const char lineName[] = "Line 3 left";
        for (size_t i = 0; i < sizeof lineName; ++i) copy.name[i] = lineName[i];
        copy.touchOp = TouchInterlock;
        copy.irOp = 0;
        CheckEq(CALL(copy.SetPanelReg(3)), 0, "SetPanelReg(3)");
        CALL(panel = copy);
        Check(SameText(panel.name, "Line 3 left") && panel.touchOp == TouchInterlock, "assignment copies the record");
        CheckEq(CALL(panel.GetAllRegID()), 2, "GetAllRegID finds ID3 and ID5");
        Check(panel.regIdList[0] == 3 && panel.regIdList[1] == 5 && panel.regIdList[2] == 0xFF, "regIdList 3, 5, end");
    }
    StackCheck(sp, StackPointer(), "~CRegPanel()");

    {
        RecordKeys keys;
        CheckEq(keys.Open("ID9"), 2, "RegOpen of a missing key: 2");
        Check(keys.key == nullptr, "no key after a failed RegOpen");
        CheckEq(keys.Create("ID9"), 0, "RegCreate(\"ID9\")");
        Check(keys.key != nullptr, "RegCreate leaves the key open");
        keys.Close();
        Check(keys.key == nullptr, "RegClose");
        CheckEq(keys.Open("ID9"), 0, "RegOpen of the created key");
        keys.Close();
    }
    StackCheck(sp, StackPointer(), "class derived from CRegPanel");

    {
        CRegSystem system;
        StackCheck(sp, StackPointer(), "CRegSystem()");
        CALL_VOID(system.GetSystemReg());
        CheckEq(system.timeOut, 60, "GetSystemReg: TIMEOUT 60");
        CheckEq(system.timeEnable, 0, "GetSystemReg: TIMEENABLE 0");
        system.timeOut = 45;
        system.timeEnable = 1;
        CRegSystem copy(system);
        StackCheck(sp, StackPointer(), "CRegSystem(const CRegSystem&)");
        CheckEq(copy.timeOut, 45, "copy constructor copies timeOut");
        CALL_VOID(copy.SetSystemReg());
        CRegSystem reader;
        CALL(reader = system);
        CheckEq(reader.timeEnable, 1, "assignment copies timeEnable");
        reader.timeOut = 0;
        CALL_VOID(reader.GetSystemReg());
        CheckEq(reader.timeOut, 45, "SetSystemReg stored TIMEOUT 45");
    }
    StackCheck(sp, StackPointer(), "~CRegSystem()");
}

typedef int(__thiscall* TableOperation)(CUSBInterface* self);

// The panel table against the driver as CheckTavlo left it.
void CheckPanelTable() {
    const unsigned long long sp = StackPointer();
    {
        CUSBInterface usb;
        StackCheck(sp, StackPointer(), "CUSBInterface()");
        CheckEq(usb.activeDevice, -1, "no active panel yet");
        CheckEq(CALL(usb.InitExclusiveUSB()), 0, "InitExclusiveUSB");
        CheckEq(CALL(usb.UpdateDevices()), 0, "UpdateDevices");
        CheckEq(usb.deviceCount, 2, "two panels in the table");
        Check(usb.panelIds[0] == 0x11 && usb.panelIds[1] == 0x22 && usb.panelIds[2] == -1, "panel identifiers");
        CheckEq(usb.activeDevice, 1, "first panel with point data is active");
        CheckEq(CALL(usb.SetActiveDevice(1)), 0, "SetActiveDevice(1)");
        CheckEq(CALL(usb.PresentTouchState()), 0, "PresentTouchState");
        CheckEq(usb.activeTouched, 1, "active panel seen touched");
        CheckEq(usb.touchedDevice, -1, "no other panel touched");

        CUSBInterface copy(usb);
        StackCheck(sp, StackPointer(), "CUSBInterface(const CUSBInterface&)");
        Check(copy.deviceCount == 2 && copy.stamp == usb.stamp, "copy constructor copies the table");
        CheckEq(CALL(copy.SetAllPanelDisable()), 0, "SetAllPanelDisable");
        CheckEq(copy.activeDevice, -1, "no active panel after disabling all");
        CheckEq(CALL(copy.SetAllPanelEnable()), 0, "SetAllPanelEnable");
        CheckEq(copy.activeDevice, 0, "panel 0 active after enabling all");
        CALL(usb = copy);
        CheckEq(usb.activeDevice, 0, "assignment copies the active panel");

        // The plain names are the members' own code: thiscall on i686.
        void* library = GetModuleHandleA("BRIMOL.DLL");
        TableOperation update = reinterpret_cast<TableOperation>(GetProcAddress(library, "UpdateDevices"));
        TableOperation remove = reinterpret_cast<TableOperation>(GetProcAddress(library, "RemoveExclusiveUSB"));
        Check(update != nullptr && remove != nullptr, "plain names UpdateDevices and RemoveExclusiveUSB found");
        if (update != nullptr && remove != nullptr) {
            usb.deviceCount = 0;
            CheckEq(CALL(update(&usb)), 0, "UpdateDevices by its plain name");
            CheckEq(usb.deviceCount, 2, "the plain name filled the table");
            CheckEq(CALL(remove(&usb)), 0, "RemoveExclusiveUSB by its plain name");
        }
    }
    StackCheck(sp, StackPointer(), "~CUSBInterface()");
    uint8_t mode = 9;
    CheckEq(CALL(TavloGetStartupMode(&mode)), TavloOk, "start-up mode read back");
    CheckEq(mode, 1, "start-up mode 1 after RemoveExclusiveUSB");
}

}  // namespace

extern "C" void __cdecl ClientEntry() {
    Print(sizeof(void*) == 8 ? "Microsoft ABI client, x86_64\n" : "Microsoft ABI client, i686\n");
    CheckTavlo();
    CheckStrings();
    CheckRecords();
    CheckPanelTable();
    Print(g_failures == 0 ? "PASSED\n" : "FAILED\n");
    ExitProcess(g_failures);
}
