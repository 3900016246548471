/*
 * BRIMOL.DLL: registry records of the touch panels and of the interlock
 * settings, and the table of attached panels that the interlock drives.
 *
 * The classes' data members are part of the interface: programs create the
 * objects themselves (on the stack or as members) and read and set the
 * members directly. Their layout is fixed:
 *
 *   CRegPanel      vptr, name[64], irOp, touchOp, regIdList[20], basePath,
 *                  key, rootKey
 *   CRegSystem     CRegPanel, timeOut, timeEnable
 *   CUSBInterface  vptr, activeDevice, touchedDevice, deviceCount,
 *                  panelIds[5], stamp, activeTouched
 *
 * No member owns heap memory, so objects may be created, copied, assigned
 * and destroyed in any module, whatever C++ runtime that module carries.
 * Objects created with `new` are allocated and freed inside the library.
 */
#ifndef BRIMOL_H
#define BRIMOL_H

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && defined(BRIMOL_BUILDING_DLL)
#define BRIMOL_API __declspec(dllexport)
#elif defined(_WIN32) && !defined(BRIMOL_STATIC)
#define BRIMOL_API __declspec(dllimport)
#else
#define BRIMOL_API
#endif

// A registry key handle: the same type as HKEY of <windows.h>.
struct HKEY__;
typedef HKEY__* BrimolKey;

// Fixed-capacity narrow text with no heap behind it: copying is a plain
// byte copy. Longer text is cut to kCapacity - 1 characters; the text is
// always zero-terminated.
class BRIMOL_API CRegString {
public:
    enum { kCapacity = 32 };

    CRegString();
    CRegString(const char* text);  // converts implicitly, like a string object
    CRegString& operator=(const char* text);

    const char* c_str() const;
    std::size_t length() const;

    char text[kCapacity];
};

// Modes of TOUCH_OP.
enum { TouchDisable = 0, TouchInterlock = 1, TouchSupervisor = 2 };

// The record of one panel, kept under SOFTWARE\ZR_EX_CONTROL\ID<identifier>
// of HKEY_LOCAL_MACHINE, and the list of identifiers 0..15 that have one.
class BRIMOL_API CRegPanel {
public:
    CRegPanel();  // probes ID0..ID15 into regIdList; leaves the record unloaded
    CRegPanel(const CRegPanel& other);
    CRegPanel& operator=(const CRegPanel& other);
    virtual ~CRegPanel();

    // Fills regIdList; returns how many identifiers it found (0..16).
    int GetAllRegID();
    // Loads name, touchOp and irOp of panel `id`; a missing record or value
    // reads as the defaults (empty name, Interlock, 0). Returns 0.
    int GetPanelReg(int id);
    // Stores name, touchOp and irOp as the record of panel `id`. Returns 0,
    // or the registry's error code of the first step that failed.
    int SetPanelReg(int id);

    // Objects made with `new` live on the library's heap.
    static void* operator new(std::size_t size) noexcept;
    static void operator delete(void* block) noexcept;
    static void* operator new[](std::size_t size) noexcept;
    static void operator delete[](void* block) noexcept;

    char name[64];            // NAME, zero-terminated
    std::int32_t irOp;        // IR_OP
    std::int32_t touchOp;     // TOUCH_OP
    std::uint8_t regIdList[20];  // identifiers with a record, ascending, then 0xFF
    CRegString basePath;      // "SOFTWARE\ZR_EX_CONTROL\"
    BrimolKey key;            // key of the last RegOpen or RegCreate
    BrimolKey rootKey;        // HKEY_LOCAL_MACHINE

protected:
    // Open basePath + subkey for reading / create or open it for writing
    // into `key`; return the registry's status, 0 for success.
    int RegOpen(CRegString subkey);
    int RegCreate(CRegString subkey);
    void RegClose();
};

// The system-wide interlock settings, kept under SOFTWARE\ZR_EX_CONTROL\ALL.
class BRIMOL_API CRegSystem : public CRegPanel {
public:
    CRegSystem();
    CRegSystem(const CRegSystem& other);
    CRegSystem& operator=(const CRegSystem& other);
    ~CRegSystem() override;

    // Loads timeOut and timeEnable (defaults 30 and 0).
    void GetSystemReg();
    // Stores them; a refused write is not reported.
    void SetSystemReg();

    std::int32_t timeOut;     // TIMEOUT, seconds
    std::int32_t timeEnable;  // TIMEENABLE, 0 or non-zero
};

// The attached panels as the interlock sees them. Every operation returns 0
// or a status of TAVLO.DLL widened to 32 bits; 2 also means "no panel in
// the table".
class BRIMOL_API CUSBInterface {
public:
    enum { kMaxDevices = 4 };

    CUSBInterface();
    CUSBInterface(const CUSBInterface& other);
    CUSBInterface& operator=(const CUSBInterface& other);
    virtual ~CUSBInterface();

    int UpdateDevices();
    int SetActiveDevice(int index);
    int SetAllPanelDisable();
    int SetAllPanelEnable();
    int PresentTouchState();
    int InitExclusiveUSB();
    int RemoveExclusiveUSB();

    static void* operator new(std::size_t size) noexcept;
    static void operator delete(void* block) noexcept;
    static void* operator new[](std::size_t size) noexcept;
    static void operator delete[](void* block) noexcept;

    std::int32_t activeDevice;   // panel number of the active panel, or -1
    std::int32_t touchedDevice;  // first touched panel other than the active one, or -1
    std::int32_t deviceCount;    // panels in the table, 0..4
    std::int32_t panelIds[5];    // identifier of panel i below deviceCount, else -1
    std::uint16_t stamp;         // change stamp passed to every panel command
    std::int32_t activeTouched;  // 1 when the last poll saw the active panel touched
};

#endif /* BRIMOL_H */
