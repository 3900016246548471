// The registry as the record classes see it: seven operations on keys named
// by their path under a root key. The Win32 build uses the registry of the
// machine; native builds use an in-memory store.
#pragma once

#include <cstddef>
#include <cstdint>

#include "brimol.h"

namespace brimol {

// Registry status codes (the Win32 error numbers the registry returns).
enum : long {
    kRegOk = 0,
    kRegNotFound = 2,           // ERROR_FILE_NOT_FOUND: no such key or value
    kRegAccessDenied = 5,       // ERROR_ACCESS_DENIED
    kRegInvalidHandle = 6,      // ERROR_INVALID_HANDLE
    kRegNotEnoughMemory = 8,    // ERROR_NOT_ENOUGH_MEMORY
    kRegInvalidData = 13,       // ERROR_INVALID_DATA: value of the wrong size
    kRegMoreData = 234,         // ERROR_MORE_DATA: value larger than expected
    kRegUnsupportedType = 1630  // ERROR_UNSUPPORTED_TYPE: value of another type
};

// HKEY_LOCAL_MACHINE: the predefined handle 0x80000002, sign-extended on
// 64-bit builds as <windows.h> defines it.
BrimolKey MachineRootKey();

class KeyStore {
public:
    virtual ~KeyStore() = default;

    // Opens `path` under `root` for reading. On success *key is the open key;
    // on failure *key is null.
    virtual long OpenForRead(BrimolKey root, const char* path, BrimolKey* key) = 0;
    // Creates `path` under `root`, or opens it when it exists, for writing.
    virtual long CreateForWrite(BrimolKey root, const char* path, BrimolKey* key) = 0;

    // Reads a text value (REG_SZ). On success `text` holds the value up to
    // its first zero byte, or all of it when it has none, cut to
    // `capacity` - 1 characters, and is zero-terminated. A value of another
    // type fails with kRegUnsupportedType. On failure `text` is empty.
    virtual long ReadText(BrimolKey key, const char* valueName, char* text, std::size_t capacity) = 0;
    // Reads a 32-bit value (REG_DWORD of exactly 4 bytes). Any other type or
    // size fails, and *value is left as it was.
    virtual long ReadDword(BrimolKey key, const char* valueName, std::int32_t* value) = 0;

    // Writes a zero-terminated text as REG_SZ, its terminating zero included.
    virtual long WriteText(BrimolKey key, const char* valueName, const char* text) = 0;
    // Writes a REG_DWORD.
    virtual long WriteDword(BrimolKey key, const char* valueName, std::int32_t value) = 0;

    virtual void Close(BrimolKey key) = 0;
};

// The store the record classes use: the machine's registry on Windows, the
// process-wide in-memory store elsewhere.
KeyStore& TheKeyStore();

}  // namespace brimol
