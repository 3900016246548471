// CCordaneDlg's window: dialog template 102 (extended at run time by rows 3
// and 4 when that many panels are attached), its system menu and about box,
// the message boxes and the tool starts, as a CordaneView for the logic.
#pragma once

#include <windows.h>

#include "cordane_dlg.h"
#include "dialog_win32.h"
#include "minimized_icon_win32.h"

namespace cordane {

// Title of Cordane's message boxes.
inline constexpr const wchar_t* kBoxTitle = L"Cordane";

// The system menu's about command: the system keeps the low four bits of a
// system command for itself, so identifiers 16 to 31 all mean the about
// command; every other command gets the default handling.
inline constexpr WPARAM kSystemCommandLowBits = 16;
constexpr bool IsAboutCommand(WPARAM systemCommand) {
    return systemCommand >= IDM_ABOUTBOX && systemCommand < IDM_ABOUTBOX + kSystemCommandLowBits;
}

class CordaneDlgWindow final : public winui::Dialog, public CordaneView {
public:
    explicit CordaneDlgWindow(HINSTANCE instance);

    // Runs the dialog until it ends; returns its result.
    INT_PTR DoModal();

    // CordaneView
    void AddRows(int rows) override;
    void EnableControl(int control, bool enabled) override;
    void SetText(int control, const std::string& text) override;
    std::optional<std::string> GetText(int control) override;
    std::size_t TextLength(int control) override;
    void SetCheck(int control, bool checked) override;
    bool IsChecked(int control) override;
    void SelectMode(int control, int position) override;
    int SelectedMode(int control) override;
    void Focus(int control) override;
    void Message(const std::string& text, BoxIcon icon) override;
    void StartProgram(const char* path) override;
    void ShowAbout() override;
    void EndDialog(int result) override;

private:
    bool OnInitDialog() override;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PrepareRow(const RowControls& row);

    HINSTANCE instance_;
    winui::ProgramIcon programIcon_;
    STARTUPINFOA startup_{};         // start-up record of the tool starts
    PROCESS_INFORMATION process_{};  // filled by the last tool start
    CCordaneDlg dlg_;
};

}  // namespace cordane
