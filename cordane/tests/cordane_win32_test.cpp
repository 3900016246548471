// Cordane's Windows side under Wine: a tool start leaves no handle behind,
// and the resources of Cordane.exe keep their Japanese texts and ask for
// the highest rights the user has. (The e2e scenarios read the captions of
// the dialog and the about box.)
#include <windows.h>
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "code_page_cases.h"
#include "code_page_win32.h"
#include "cordane_dlg_win32.h"
#include "cordane_ids.h"
#include "row_name.h"
#include "tool_start_win32.h"

namespace cordane {
namespace {

// Waits until the process object `id` is gone: the process has ended and no
// handle refers to it any more. False when it is still there after 10 s.
bool ProcessObjectGone(DWORD id) {
    for (const ULONGLONG end = GetTickCount64() + 10000; GetTickCount64() < end; Sleep(20)) {
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
        if (process == nullptr) return true;
        WaitForSingleObject(process, 1000);
        CloseHandle(process);
    }
    return false;
}

// Each start closes the process and thread handles at once, so a tool that
// has ended leaves nothing of itself in Cordane. The window keeps the
// process record of the last start: a start that fails returns one with no
// identifier in it, not that of the start before.
TEST(ToolStart, LeavesNoHandleBehind) {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    const std::string program = std::string(folder) + "\\hostname.exe";
    STARTUPINFOA startup;
    PROCESS_INFORMATION process = StartDetached(program.c_str(), startup);
    ASSERT_TRUE(Started(process));
    EXPECT_EQ(startup.cb, sizeof startup);
    EXPECT_EQ(process.hProcess, nullptr);
    EXPECT_EQ(process.hThread, nullptr);
    EXPECT_TRUE(ProcessObjectGone(process.dwProcessId)) << "the ended tool is still held by a handle";
    process = StartDetached("C:\\no such folder\\Velmic.exe", startup);
    EXPECT_FALSE(Started(process));
    EXPECT_EQ(process.dwProcessId, 0u);
    EXPECT_EQ(process.hProcess, nullptr);
}

// The bytes of resource `id` of `type` in Cordane.exe beside the test; empty
// when there is none.
std::string ResourceBytes(LPCSTR type, int id) {
    HMODULE module = LoadLibraryExA("Cordane.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    std::string bytes;
    if (HRSRC found = module != nullptr ? FindResourceA(module, MAKEINTRESOURCEA(id), type) : nullptr) {
        bytes.assign(static_cast<const char*>(LockResource(LoadResource(module, found))),
                     SizeofResource(module, found));
    }
    if (module != nullptr) FreeLibrary(module);
    return bytes;
}

// A text as the resources hold it: UTF-16.
std::string Utf16(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

// The font of both dialogs and the about command keep their characters
// whatever code page built them. The manifest asks for the highest rights
// the user has: an administrator elevates and can save, a standard user can
// still open the dialog (a refused save says so); a requested level also
// keeps a 32-bit program's writes from a virtual copy the interlock never
// reads.
struct ResourceCase {
    const char* name;
    LPCSTR type;
    int id;
    std::string text;  // bytes the resource holds
};

class CordaneResources : public ::testing::TestWithParam<ResourceCase> {};

TEST_P(CordaneResources, KeepTheirTextsAndAskForTheHighestRights) {
    const std::string bytes = ResourceBytes(GetParam().type, GetParam().id);
    ASSERT_FALSE(bytes.empty()) << "no such resource in Cordane.exe";
    EXPECT_NE(bytes.find(GetParam().text), std::string::npos);
}

// clang-format off
const std::wstring kFont = L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF";  // "ＭＳ Ｐゴシック"

INSTANTIATE_TEST_SUITE_P(
    Cordane, CordaneResources,
    ::testing::Values(
        ResourceCase{.name = "SettingDialogFont", .type = RT_DIALOG, .id = IDD_CORDANE_DIALOG, .text = Utf16(kFont)},
        ResourceCase{.name = "AboutBoxFont", .type = RT_DIALOG, .id = IDD_ABOUTBOX, .text = Utf16(kFont)},
        ResourceCase{.name = "AboutCommandText", .type = RT_STRING, .id = IDS_ABOUTBOX / 16 + 1,
                     .text = Utf16(L"Cordane\x306E\x30D0\x30FC\x30B8\x30E7\x30F3\x60C5\x5831(&A)...")},
        ResourceCase{.name = "HighestRights", .type = RT_MANIFEST, .id = 1, .text = "level=\"highestAvailable\""}),
    suite_test::RowName);
// clang-format on

// The names of the native test against the platform's own conversions: a
// name is stored only as the code page holds it exactly, in Western,
// Japanese and UTF-8 alike.
class CordaneCodePage : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(CordaneCodePage, PlatformConversionsKeepOrRefuseEachName) {
    PlatformCodePage platform;
    EXPECT_EQ(NarrowExactly(platform, GetParam().codePage, GetParam().text), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Platform, CordaneCodePage, ::testing::ValuesIn(kCodePageCases), CodePageCaseName);

// The system menu's commands 16 to 31 are the about command (the system
// uses the low four bits); the commands next to them and the system's own
// are left to the default handling.
struct SystemCommandCase {
    const char* name;
    WPARAM command;
    bool about;
};

class CordaneSystemMenu : public ::testing::TestWithParam<SystemCommandCase> {};

TEST_P(CordaneSystemMenu, CommandsSixteenToThirtyOneAreTheAboutCommand) {
    EXPECT_EQ(IsAboutCommand(GetParam().command), GetParam().about);
}

INSTANTIATE_TEST_SUITE_P(Cordane, CordaneSystemMenu,
                         ::testing::Values(SystemCommandCase{.name = "Sixteen", .command = 16, .about = true},
                                           SystemCommandCase{.name = "ThirtyOne", .command = 31, .about = true},
                                           SystemCommandCase{.name = "Fifteen", .command = 15, .about = false},
                                           SystemCommandCase{.name = "ThirtyTwo", .command = 32, .about = false},
                                           SystemCommandCase{.name = "Close", .command = SC_CLOSE, .about = false}),
                         suite_test::RowName);

}  // namespace
}  // namespace cordane
