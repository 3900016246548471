// Constructors for programs built in Microsoft's C++ ABI. There a
// constructor returns the address of the object it made; the library's own
// constructors return nothing. Each wrapper constructs in place and returns
// the address; the build's .def exports it under that ABI's name of the
// constructor (brimol/sdk/ms-aliases.sh). Every other member is exported
// under both names without a wrapper: the two ABIs agree on those calls.
#include <new>

#include "brimol.h"

// thiscall on i686, as the members; x86_64 has one convention. GCC warns
// that thiscall is meant for members, but applies it to these functions
// (the object in ECX, the callee pops the rest): exactly the call they take.
#if defined(_WIN64)
#define BRIMOL_MS_MEMBER
#else
#define BRIMOL_MS_MEMBER __attribute__((thiscall))
#pragma GCC diagnostic ignored "-Wattributes"
#endif

// ::new: the classes' own operator new would hide the placement form.
#define BRIMOL_MS_CONSTRUCTORS(Class)                                                                        \
    extern "C" Class* BRIMOL_MS_MEMBER BrimolMsDefault_##Class(Class* self) { return ::new (self) Class(); } \
    extern "C" Class* BRIMOL_MS_MEMBER BrimolMsCopy_##Class(Class* self, const Class* other) {               \
        return ::new (self) Class(*other);                                                                   \
    }

BRIMOL_MS_CONSTRUCTORS(CRegPanel)
BRIMOL_MS_CONSTRUCTORS(CRegSystem)
BRIMOL_MS_CONSTRUCTORS(CUSBInterface)

// CRegString's copy constructor is implicit and trivial: callers copy the bytes.
extern "C" CRegString* BRIMOL_MS_MEMBER BrimolMsDefault_CRegString(CRegString* self) {
    return ::new (self) CRegString();
}
extern "C" CRegString* BRIMOL_MS_MEMBER BrimolMsText_CRegString(CRegString* self, const char* text) {
    return ::new (self) CRegString(text);
}
