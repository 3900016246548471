// The key store over the Windows registry. Keys are opened in the 32-bit
// registry view in every build, so the 32-bit and 64-bit builds of the
// programs read and write the same records (a 64-bit process would
// otherwise see a different key than a 32-bit one).
#include <windows.h>

#include <cstring>

#include "key_store.h"

namespace brimol {
namespace {

const REGSAM kReadAccess = KEY_READ | KEY_WOW64_32KEY;
const REGSAM kWriteAccess = KEY_WRITE | KEY_WOW64_32KEY;

// Text values up to this size are read through the stack.
const DWORD kLocalTextBuffer = 256;
// A value that keeps growing between the size query and the read is given
// up after this many attempts.
const int kTextReadAttempts = 3;

class RegistryKeyStore final : public KeyStore {
public:
    long OpenForRead(BrimolKey root, const char* path, BrimolKey* key) override {
        HKEY opened = nullptr;
        const LONG status = RegOpenKeyExA(root, path, 0, kReadAccess, &opened);
        *key = status == ERROR_SUCCESS ? opened : nullptr;
        return status;
    }

    long CreateForWrite(BrimolKey root, const char* path, BrimolKey* key) override {
        HKEY created = nullptr;
        const LONG status =
            RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, kWriteAccess, nullptr, &created, nullptr);
        *key = status == ERROR_SUCCESS ? created : nullptr;
        return status;
    }

    long ReadText(BrimolKey key, const char* valueName, char* text, std::size_t capacity) override {
        if (capacity == 0) return kRegMoreData;
        text[0] = '\0';
        for (int attempt = 0; attempt < kTextReadAttempts; ++attempt) {
            // The whole value is read and then cut: a buffer smaller than
            // the value would fail with ERROR_MORE_DATA and undefined
            // contents.
            DWORD type = REG_NONE;
            DWORD size = 0;
            LONG status = RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size);
            if (status != ERROR_SUCCESS) return status;
            if (type != REG_SZ) return kRegUnsupportedType;

            char local[kLocalTextBuffer];
            char* buffer = local;
            if (size > sizeof local) {
                buffer = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size));
                if (buffer == nullptr) return kRegNotEnoughMemory;
            }
            DWORD got = size;
            status = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &got);
            if (status == ERROR_SUCCESS && type != REG_SZ) status = kRegUnsupportedType;
            if (status == ERROR_SUCCESS) {
                // Up to the first zero, or all stored bytes when the value
                // was stored without one; cut to the caller's buffer.
                std::size_t length = 0;
                while (length < got && length + 1 < capacity && buffer[length] != '\0') {
                    text[length] = buffer[length];
                    ++length;
                }
                text[length] = '\0';
            }
            if (buffer != local) HeapFree(GetProcessHeap(), 0, buffer);
            if (status != ERROR_MORE_DATA) return status;
        }
        return kRegMoreData;
    }

    long ReadDword(BrimolKey key, const char* valueName, std::int32_t* value) override {
        DWORD type = REG_NONE;
        DWORD data = 0;
        DWORD size = sizeof data;
        const LONG status = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
        if (status != ERROR_SUCCESS) return status;  // ERROR_MORE_DATA for a larger value
        if (type != REG_DWORD) return kRegUnsupportedType;
        if (size != sizeof data) return kRegInvalidData;
        std::memcpy(value, &data, sizeof data);
        return kRegOk;
    }

    long WriteText(BrimolKey key, const char* valueName, const char* text) override {
        const DWORD size = static_cast<DWORD>(std::strlen(text) + 1);
        return RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size);
    }

    long WriteDword(BrimolKey key, const char* valueName, std::int32_t value) override {
        DWORD data = 0;
        std::memcpy(&data, &value, sizeof data);
        return RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    }

    void Close(BrimolKey key) override { RegCloseKey(key); }
};

RegistryKeyStore g_registry;

}  // namespace

KeyStore& TheKeyStore() { return g_registry; }

}  // namespace brimol
