/*
 * BRIMOL.DLL: registry records of the touch panels and of the interlock
 * settings, and the table of attached panels that the interlock drives.
 *
 * The classes' data members are part of the interface: programs create the
 * objects themselves (on the stack or as members) and read and set the
 * members directly. Their layout is fixed and asserted at the end of this
 * header, in every compiler that reads it:
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
 *
 * Calling conventions: on i686 every non-static member, constructors and
 * destructors included, is thiscall (the object in ECX, the callee pops the
 * arguments); the static operators new and delete are cdecl. On x86_64
 * there is one convention.
 *
 * Programs built in Microsoft's C++ ABI (the ABI of Visual C++) call the
 * same code under that ABI's names; the library exports both sets. The two
 * ABIs lay out the table of virtual functions differently, so such a
 * program may:
 *   - create the objects on its stack, as members or as base classes of its
 *     own classes, and let them end by going out of scope;
 *   - copy and assign them, call every member, read and set the data;
 * and must not:
 *   - make or free them with new and delete (this header makes those
 *     operators protected in that ABI, so `new CRegPanel` does not compile),
 *   - destroy one through a pointer to a base class or call the virtual
 *     destructor in any other way than by the end of the object's scope.
 */
#ifndef BRIMOL_H
#define BRIMOL_H

/* A public header: its tables stay aligned by hand for the reader. */
/* clang-format off */

#if defined(_MSC_VER)
/* Programs in Microsoft's ABI may have no C++ library headers at all. */
#include <stddef.h>
#include <stdint.h>
#else
#include <cstddef>
#include <cstdint>
#endif

#if defined(_WIN32) && defined(BRIMOL_BUILDING_DLL)
#define BRIMOL_API __declspec(dllexport)
#elif defined(_WIN32) && !defined(BRIMOL_STATIC)
#define BRIMOL_API __declspec(dllimport)
#else
#define BRIMOL_API
#endif

#if defined(_WIN32) && !defined(_WIN64)
#define BRIMOL_MEMBER __thiscall
#define BRIMOL_STATIC_MEMBER __cdecl
#else
#define BRIMOL_MEMBER
#define BRIMOL_STATIC_MEMBER
#endif

/* The operators new and delete of the classes: public in the library's own
   ABI, protected in Microsoft's (see above). */
#if defined(_MSC_VER) && !defined(BRIMOL_BUILDING_DLL)
#define BRIMOL_HEAP_ACCESS protected
#else
#define BRIMOL_HEAP_ACCESS public
#endif
/* The heap operators of the classes that have them: objects made with `new`
   live on the library's heap. */
#define BRIMOL_HEAP_OPERATORS                                                 \
    static void* BRIMOL_STATIC_MEMBER operator new(size_t size) noexcept;     \
    static void BRIMOL_STATIC_MEMBER operator delete(void* block) noexcept;   \
    static void* BRIMOL_STATIC_MEMBER operator new[](size_t size) noexcept;   \
    static void BRIMOL_STATIC_MEMBER operator delete[](void* block) noexcept;

// A registry key handle: the same type as HKEY of <windows.h>.
struct HKEY__;
typedef HKEY__* BrimolKey;

// Fixed-capacity narrow text with no heap behind it: copying is a plain
// byte copy. Longer text is cut to kCapacity - 1 characters; the text is
// always zero-terminated.
class BRIMOL_API CRegString {
public:
    enum { kCapacity = 32 };

    BRIMOL_MEMBER CRegString();
    BRIMOL_MEMBER CRegString(const char* text);  // converts implicitly, like a string object
    CRegString& BRIMOL_MEMBER operator=(const char* text);

    const char* BRIMOL_MEMBER c_str() const;
    size_t BRIMOL_MEMBER length() const;

    char text[kCapacity];
};

// Modes of TOUCH_OP.
enum { TouchDisable = 0, TouchInterlock = 1, TouchSupervisor = 2 };

// The record of one panel, kept under SOFTWARE\ZR_EX_CONTROL\ID<identifier>
// of HKEY_LOCAL_MACHINE, and the list of identifiers 0..15 that have one.
class BRIMOL_API CRegPanel {
public:
    BRIMOL_MEMBER CRegPanel();  // probes ID0..ID15 into regIdList; leaves the record unloaded
    BRIMOL_MEMBER CRegPanel(const CRegPanel& other);
    CRegPanel& BRIMOL_MEMBER operator=(const CRegPanel& other);
    virtual BRIMOL_MEMBER ~CRegPanel();

    // Fills regIdList; returns how many identifiers it found (0..16).
    int BRIMOL_MEMBER GetAllRegID();
    // Loads name, touchOp and irOp of panel `id`; a missing record or value
    // reads as the defaults (empty name, Interlock, 0). Returns 0.
    int BRIMOL_MEMBER GetPanelReg(int id);
    // Stores name, touchOp and irOp as the record of panel `id`. Returns 0,
    // or the registry's error code of the first step that failed.
    int BRIMOL_MEMBER SetPanelReg(int id);

BRIMOL_HEAP_ACCESS:
    BRIMOL_HEAP_OPERATORS

public:
    char name[64];            // NAME, zero-terminated
    int32_t irOp;             // IR_OP
    int32_t touchOp;          // TOUCH_OP
    uint8_t regIdList[20];    // identifiers with a record, ascending, then 0xFF
    CRegString basePath;      // "SOFTWARE\ZR_EX_CONTROL\"
    BrimolKey key;            // key of the last RegOpen or RegCreate
    BrimolKey rootKey;        // HKEY_LOCAL_MACHINE

protected:
    // Open basePath + subkey for reading / create or open it for writing
    // into `key`; return the registry's status, 0 for success.
    int BRIMOL_MEMBER RegOpen(CRegString subkey);
    int BRIMOL_MEMBER RegCreate(CRegString subkey);
    void BRIMOL_MEMBER RegClose();
};

// The system-wide interlock settings, kept under SOFTWARE\ZR_EX_CONTROL\ALL.
class BRIMOL_API CRegSystem : public CRegPanel {
public:
    BRIMOL_MEMBER CRegSystem();
    BRIMOL_MEMBER CRegSystem(const CRegSystem& other);
    CRegSystem& BRIMOL_MEMBER operator=(const CRegSystem& other);
    BRIMOL_MEMBER ~CRegSystem() override;

    // Loads timeOut and timeEnable (defaults 30 and 0).
    void BRIMOL_MEMBER GetSystemReg();
    // Stores them; a refused write is not reported.
    void BRIMOL_MEMBER SetSystemReg();

    int32_t timeOut;     // TIMEOUT, seconds
    int32_t timeEnable;  // TIMEENABLE, 0 or non-zero
};

// The attached panels as the interlock sees them. Every operation returns 0
// or a status of TAVLO.DLL widened to 32 bits; 2 also means "no panel in
// the table".
class BRIMOL_API CUSBInterface {
public:
    enum { kMaxDevices = 4 };

    BRIMOL_MEMBER CUSBInterface();
    BRIMOL_MEMBER CUSBInterface(const CUSBInterface& other);
    CUSBInterface& BRIMOL_MEMBER operator=(const CUSBInterface& other);
    virtual BRIMOL_MEMBER ~CUSBInterface();

    int BRIMOL_MEMBER UpdateDevices();
    int BRIMOL_MEMBER SetActiveDevice(int index);
    int BRIMOL_MEMBER SetAllPanelDisable();
    int BRIMOL_MEMBER SetAllPanelEnable();
    int BRIMOL_MEMBER PresentTouchState();
    int BRIMOL_MEMBER InitExclusiveUSB();
    int BRIMOL_MEMBER RemoveExclusiveUSB();

BRIMOL_HEAP_ACCESS:
    BRIMOL_HEAP_OPERATORS

public:
    int32_t activeDevice;   // panel number of the active panel, or -1
    int32_t touchedDevice;  // first touched panel other than the active one, or -1
    int32_t deviceCount;    // panels in the table, 0..4
    int32_t panelIds[5];    // identifier of panel i below deviceCount, else -1
    uint16_t stamp;         // change stamp passed to every panel command
    int32_t activeTouched;  // 1 when the last poll saw the active panel touched
};

/*
 * The layout every module compiles against, in bytes, for 4-byte pointers
 * (i686) and 8-byte pointers (x86_64). The classes have a virtual
 * destructor, so offsetof is only conditionally supported for them; the
 * compilers this header is built with support it and only warn.
 */
#define BRIMOL_BY_POINTER(bytes4, bytes8) (sizeof(void*) == 8 ? (bytes8) : (bytes4))
#define BRIMOL_ASSERT_SIZE(Class, bytes4, bytes8) \
    static_assert(sizeof(Class) == BRIMOL_BY_POINTER(bytes4, bytes8), "brimol.h: size of " #Class)
#define BRIMOL_ASSERT_OFFSET(Class, member, bytes4, bytes8)                           \
    static_assert(offsetof(Class, member) == BRIMOL_BY_POINTER(bytes4, bytes8), \
                  "brimol.h: offset of " #Class "::" #member)
#if defined(__GNUC__) || defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
#endif
static_assert(sizeof(void*) == 4 || sizeof(void*) == 8, "brimol.h: 32-bit or 64-bit pointers only");
BRIMOL_ASSERT_SIZE(CRegString, 32, 32);
BRIMOL_ASSERT_SIZE(CRegPanel, 136, 152);
BRIMOL_ASSERT_OFFSET(CRegPanel, name, 4, 8);
BRIMOL_ASSERT_OFFSET(CRegPanel, irOp, 68, 72);
BRIMOL_ASSERT_OFFSET(CRegPanel, touchOp, 72, 76);
BRIMOL_ASSERT_OFFSET(CRegPanel, regIdList, 76, 80);
BRIMOL_ASSERT_OFFSET(CRegPanel, basePath, 96, 100);
BRIMOL_ASSERT_OFFSET(CRegPanel, key, 128, 136);
BRIMOL_ASSERT_OFFSET(CRegPanel, rootKey, 132, 144);
BRIMOL_ASSERT_SIZE(CRegSystem, 144, 160);
BRIMOL_ASSERT_OFFSET(CRegSystem, timeOut, 136, 152);
BRIMOL_ASSERT_OFFSET(CRegSystem, timeEnable, 140, 156);
BRIMOL_ASSERT_SIZE(CUSBInterface, 44, 48);
BRIMOL_ASSERT_OFFSET(CUSBInterface, activeDevice, 4, 8);
BRIMOL_ASSERT_OFFSET(CUSBInterface, touchedDevice, 8, 12);
BRIMOL_ASSERT_OFFSET(CUSBInterface, deviceCount, 12, 16);
BRIMOL_ASSERT_OFFSET(CUSBInterface, panelIds, 16, 20);
BRIMOL_ASSERT_OFFSET(CUSBInterface, stamp, 36, 40);
BRIMOL_ASSERT_OFFSET(CUSBInterface, activeTouched, 40, 44);
#if defined(__GNUC__) || defined(__clang__)
#pragma GCC diagnostic pop
#endif

/* clang-format on */
#endif /* BRIMOL_H */
