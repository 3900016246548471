// What the window probe does, as functions: finding windows and processes,
// reading texts, counting a process's objects and sweeping windows with
// foreign messages. Shared by winprobe.exe (one command per start) and the
// harness agent (many commands per start); neither prints from here.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "text_win32.h"

namespace winprobe {

// Numbers as strtoull reads them (decimal, 0x hex, leading 0 octal).
bool ParseNumber(const std::string& text, unsigned long long* value);

// A window by exact caption, or "#HEX" for a handle printed earlier.
HWND FindByName(const std::string& name);
// The same with the caption in UTF-8 (texts outside the code page).
HWND FindByNameUtf8(const std::string& name);

// Polls `condition` every 20 ms until it holds or `deadlineMs` passes; the
// condition is checked once more at the deadline.
template <typename Condition>
bool WaitFor(int deadlineMs, Condition condition) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(deadlineMs < 0 ? 0 : deadlineMs);
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
}

// "#hex" of a handle, as `find` prints it.
std::string HandleText(HWND window);

// A window's text through WM_GETTEXT with a 5 s limit (a hung target must
// not hang the caller): in the code page, or as UTF-8.
std::string TextOf(HWND window);
std::string Utf8TextOf(HWND window);

// The agent's texts are UTF-8: winui's conversions in that code page.
inline std::wstring Widen(const std::string& utf8) { return winui::Widen(utf8, CP_UTF8); }
inline std::string Narrow(const std::wstring& wide) { return winui::Narrow(wide, CP_UTF8); }

// A message by number or registered name.
UINT MessageNumber(const std::string& name);

// Process ids of the running processes whose file name is `image`.
std::vector<DWORD> ProcessesNamed(const std::string& image);

// Whether every process named `image` has ended and no top-level window
// of one is left; `seen` gathers the ids met so far, call after call.
bool Ended(const std::string& image, std::vector<DWORD>* seen);

// What one process holds, for soaks that check nothing grows. The GDI and
// USER counts and the handle count are what the system reports (0 for
// every process under Wine); gdiTable and handleList are the same counts
// read where Wine keeps them, -1 when unreadable.
struct ProcessResources {
    DWORD pid = 0;
    DWORD gdi = 0;
    DWORD user = 0;
    DWORD handles = 0;
    int windows = 0;
    long gdiTable = -1;
    long handleList = -1;
};
// False with `error` set when a process cannot be opened.
bool ResourcesOf(const std::string& image, std::vector<ProcessResources>* out, std::string* error);

// A visible, enabled top-level window that `owner` owns (a modal box), or null.
HWND OwnedPopup(HWND owner);

// The result of sending the foreign-message table to a window, every other
// window of its process and all their children.
struct SweepResult {
    std::size_t windows = 0;
    unsigned long sent = 0;
    unsigned long unanswered = 0;
    std::vector<std::string> problems;  // one line per unanswered message
    bool windowLost = false;            // a window disappeared during the sweep
};
SweepResult Sweep(HWND start, UINT timeoutMs);

}  // namespace winprobe
