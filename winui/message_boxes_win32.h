// The message boxes the suite's programs show.
#pragma once

#include <windows.h>

#include <string>

namespace winui {

// "Critical error occured" titled "Error report", stop icon, OK only. The
// form tools end after it.
void ShowErrorReport(HWND owner);

// The diagnostic box: the tag, a space and the status in decimal, titled
// "Debug", OK only, no icon.
void ShowDebugBox(HWND owner, const std::string& tag, long status);

// Which button Enter presses in a question box.
enum class DefaultButton { kOk, kCancel };

// A question with OK and Cancel and the exclamation icon; true for OK. A
// question whose OK ends something that protects the machine makes Cancel
// the default, so that a stray Enter or tap keeps it.
bool Confirm(HWND owner, const std::string& question, const char* title,
             DefaultButton defaultButton = DefaultButton::kOk);

// The message naming a library or function the program cannot do without
// (stop icon, above every window), then the end of the process with exit
// code 1.
// A box whose texts keep characters outside the ANSI code page.
int ShowWideBox(HWND owner, const std::wstring& text, const std::wstring& title, UINT style);

[[noreturn]] void FatalMissing(HWND owner, const std::string& message, const char* title);

}  // namespace winui
