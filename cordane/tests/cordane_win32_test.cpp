// Cordane's Windows side under Wine: a tool start leaves no handle behind,
// and the resources of Cordane.exe keep their Japanese texts and the
// dialog's template as the program relies on them.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "cordane_ids.h"
#include "tool_start_win32.h"

namespace cordane {
namespace {

// True while the process object with this id exists: while the process
// runs, or after it ended for as long as some handle still refers to it.
bool ProcessObjectExists(DWORD id) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (process == nullptr) return false;
    CloseHandle(process);
    return true;
}

// Waits until the process object `id` is gone; false when it is still there
// after 10 s.
bool ProcessObjectGone(DWORD id) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (process != nullptr) {
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
    const ULONGLONG end = GetTickCount64() + 10000;
    while (ProcessObjectExists(id)) {
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
    return true;
}

std::string SystemProgram(const char* name) {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + name;
}

// Each start closes the process and thread handles at once: starting a
// tool again and again does not make Cordane's handle table grow.
// Each start closes the process and thread handles at once, so a tool that
// has ended leaves nothing of itself in Cordane.
TEST(ToolStart, LeavesNoHandleBehind) {
    const std::string program = SystemProgram("hostname.exe");
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    ASSERT_TRUE(StartDetached(program.c_str(), &startup, &process));
    EXPECT_NE(process.dwProcessId, 0u);
    EXPECT_EQ(process.hProcess, nullptr);
    EXPECT_EQ(process.hThread, nullptr);
    EXPECT_EQ(startup.cb, sizeof startup);
    EXPECT_TRUE(ProcessObjectGone(process.dwProcessId)) << "the ended tool is still held by a handle";
}

TEST(ToolStart, MissingProgramIsReported) {
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    EXPECT_FALSE(StartDetached("C:\\no such folder\\Velmic.exe", &startup, &process));
    EXPECT_EQ(process.hProcess, nullptr);
    EXPECT_EQ(process.dwProcessId, 0u);
}

class CordaneResources : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExW(L"Cordane.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << "Cordane.exe beside the test: error " << GetLastError();
    }
    void TearDown() override {
        if (module != nullptr) FreeLibrary(module);
    }

    // The template's bytes.
    const std::uint8_t* Template(int id) const {
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_DIALOG));
        if (found == nullptr) return nullptr;
        return static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
    }

    HMODULE module = nullptr;
};

// What a DIALOGEX template begins with, up to its font name.
struct DialogHeader {
    int cx = 0, cy = 0, points = 0;
    std::uint32_t style = 0, exStyle = 0;
    std::wstring caption, font;
};

// Reads a menu or class field (0x0000, 0xFFFF + ordinal, or a string).
const wchar_t* SkipField(const wchar_t* at) {
    if (*at == 0) return at + 1;
    if (*at == 0xFFFF) return at + 2;
    return at + std::wcslen(at) + 1;
}

DialogHeader ReadHeader(const std::uint8_t* bytes) {
    DialogHeader header;
    std::uint16_t version = 0, signature = 0;
    std::memcpy(&version, bytes, 2);
    std::memcpy(&signature, bytes + 2, 2);
    EXPECT_EQ(version, 1);
    EXPECT_EQ(signature, 0xFFFF);
    std::memcpy(&header.exStyle, bytes + 8, 4);
    std::memcpy(&header.style, bytes + 12, 4);
    std::int16_t cx = 0, cy = 0;
    std::memcpy(&cx, bytes + 22, 2);
    std::memcpy(&cy, bytes + 24, 2);
    header.cx = cx;
    header.cy = cy;
    const auto* at = reinterpret_cast<const wchar_t*>(bytes + 26);
    at = SkipField(at);  // menu
    at = SkipField(at);  // class
    header.caption = at;
    at += header.caption.size() + 1;
    header.points = *at;
    at += 3;  // point size, weight, italic and charset
    header.font = at;
    return header;
}

TEST_F(CordaneResources, DialogTemplatesKeepTheirTexts) {
    const struct {
        int id;
        const wchar_t* caption;
        int cx, cy;
        bool taskbar;
    } dialogs[] = {
        {IDD_CORDANE_DIALOG, L"Panel Setting", 319, 105, true},
        {IDD_ABOUTBOX, L"Cordane\x306E\x30D0\x30FC\x30B8\x30E7\x30F3\x60C5\x5831", 170, 50, false},
    };
    for (const auto& d : dialogs) {
        SCOPED_TRACE(d.id);
        const std::uint8_t* bytes = Template(d.id);
        ASSERT_NE(bytes, nullptr);
        const DialogHeader header = ReadHeader(bytes);
        EXPECT_TRUE(header.caption == d.caption);
        EXPECT_EQ(header.cx, d.cx);
        EXPECT_EQ(header.cy, d.cy);
        EXPECT_EQ(header.points, 9);
        // "ＭＳ Ｐゴシック": full-width letters and katakana.
        EXPECT_TRUE(header.font == L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF");
        EXPECT_EQ((header.exStyle & WS_EX_APPWINDOW) != 0, d.taskbar);
    }
}

TEST_F(CordaneResources, AboutCommandText) {
    wchar_t text[128] = {};
    ASSERT_GT(LoadStringW(module, IDS_ABOUTBOX, text, 128), 0);
    EXPECT_TRUE(std::wstring(text) == L"Cordane\x306E\x30D0\x30FC\x30B8\x30E7\x30F3\x60C5\x5831(&A)...");
}

// The manifest asks for administrator rights: the records live under
// HKEY_LOCAL_MACHINE, and a 32-bit program without it would write to a
// virtual copy the interlock never reads.
TEST_F(CordaneResources, ManifestRequestsAdministrator) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), reinterpret_cast<LPCWSTR>(RT_MANIFEST));
    ASSERT_NE(found, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    const std::string manifest(bytes, SizeofResource(module, found));
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos) << manifest;
}

}  // namespace
}  // namespace cordane
