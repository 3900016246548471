// The machine around the console on Windows: Sleep and the local time, the
// interlock controller's lock and window, files, the ANSI code page the
// records keep names in, and the stored form of record values (read in the
// 32-bit registry view, where the record classes keep them).
#include "platform_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "suite_install_folder.h"
#include "text_win32.h"

namespace tavloctl {
namespace {

const char kRecordBase[] = "SOFTWARE\\ZR_EX_CONTROL\\";
// The interlock controller's single-instance lock, under the name it has in
// the session and the machine-wide one, and its window caption.
const char* const kLocalLock = "Local\\ZR_EX_CONTROL.Nystra.Interlock";
const char* const kGlobalLock = "Global\\ZR_EX_CONTROL.Nystra.Interlock";
const char kNystraCaption[] = "Interlock Control";
const char kInstallFolder[] = SUITE_INSTALL_FOLDER;

bool LockExists(const char* name) {
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name);
    if (mutex != nullptr) {
        CloseHandle(mutex);
        return true;
    }
    // A lock that exists but may not be opened by this user still exists.
    return GetLastError() == ERROR_ACCESS_DENIED;
}

// UTF-8 as UTF-16, or nothing when it is not well formed: a name typed for
// a record is refused rather than stored with replacement characters.
std::wstring StrictWide(const std::string& utf8) {
    const int length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    return wide;
}

}  // namespace

void WindowsPlatform::Pause(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

std::string WindowsPlatform::TimeOfDay() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u.%03u", now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}

NystraSigns WindowsPlatform::Nystra() {
    NystraSigns signs;
    signs.localLock = LockExists(kLocalLock);
    signs.globalLock = LockExists(kGlobalLock);
    signs.window = FindWindowA(nullptr, kNystraCaption) != nullptr;
    return signs;
}

bool WindowsPlatform::FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string WindowsPlatform::InstallFolder() { return kInstallFolder; }

std::optional<std::string> WindowsPlatform::ReadFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string content;
    char buffer[16384];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ::ReadFile(file, buffer, sizeof buffer, &got, nullptr) != FALSE) && got > 0)
        content.append(buffer, got);
    CloseHandle(file);
    if (!ok) return std::nullopt;
    return content;
}

bool WindowsPlatform::WriteFile(const std::string& path, const std::string& content) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < content.size()) {
        DWORD wrote = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 20));
        ok = ::WriteFile(file, content.data() + done, chunk, &wrote, nullptr) != FALSE && wrote > 0;
        done += wrote;
    }
    return CloseHandle(file) != FALSE && ok;
}

std::string WindowsPlatform::StoredToUtf8(const std::string& stored) {
    return winui::Narrow(winui::Widen(stored, CP_ACP), CP_UTF8);
}

std::optional<std::string> WindowsPlatform::Utf8ToStored(const std::string& utf8) {
    if (utf8.empty()) return std::string();
    const std::wstring wide = StrictWide(utf8);
    if (wide.empty()) return std::nullopt;
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) return std::nullopt;
    std::string stored(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), &stored[0], length,
                        nullptr, &lossy);
    if (lossy) return std::nullopt;
    return stored;
}

std::size_t WindowsPlatform::StoredCharacters(const std::string& stored) { return winui::Widen(stored, CP_ACP).size(); }

std::optional<StoredValue> WindowsPlatform::RecordValue(const std::string& key, const std::string& valueName) {
    HKEY opened = nullptr;
    const std::string path = std::string(kRecordBase) + key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &opened) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = REG_NONE, size = 0;
    LONG status = RegQueryValueExA(opened, valueName.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)) {
        // Asked without a buffer, the size of a text may be that of its
        // stored (UTF-16) form; read it to learn its size in this code page.
        std::vector<BYTE> data(size + 2);
        DWORD got = size;
        status = RegQueryValueExA(opened, valueName.c_str(), nullptr, &type, data.data(), &got);
        size = got;
    }
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return StoredValue{type, size};
}

}  // namespace tavloctl
