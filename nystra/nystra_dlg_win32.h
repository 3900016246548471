// CNystraDlg's window: dialog template 102, its system menu, the
// notification-area icon and the registered messages, as a NystraView for
// the interlock logic.
#pragma once

#include <windows.h>

#include <memory>

#include "dialog_win32.h"
#include "minimized_icon_win32.h"
#include "nystra_dlg.h"
#include "system_menu_win32.h"
#include "timer_win32.h"

namespace nystra {

// Title of the question boxes.
inline constexpr const char* kBoxTitle = "Nystra";

struct RegisteredMessages {
    UINT tray = 0;
    UINT active = 0;
    UINT update = 0;
    UINT taskbarCreated = 0;
    UINT stop = 0;
};

class NystraDlgWindow final : public winui::Dialog, public NystraView {
public:
    NystraDlgWindow(HINSTANCE instance, const RegisteredMessages& messages, TraceSink& trace);

    // Runs the dialog until it ends; returns its result.
    INT_PTR DoModal();

    // NystraView
    void SetText(int control, const std::string& text) override;
    void ShowIndicator(bool shown) override;
    void AddTrayIcon(int icon) override;
    void SetTrayIcon(int icon) override;
    void DeleteTrayIcon() override;
    void BroadcastUpdate() override;
    void StartPollTimer(unsigned milliseconds) override;
    void StopPollTimer() override;
    void ShowAndRestore() override;
    void BringToForeground() override;
    void MinimizeAndHide() override;
    void SetTopmost(bool topmost) override;
    void ShowAbout() override;
    // Cancel is the default button: OK ends the interlock.
    bool Confirm(const std::string& question) override;
    void EndDialog() override;

private:
    bool OnInitDialog() override;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    HICON Icon(int id, int size) const;

    HINSTANCE instance_;
    RegisteredMessages messages_;
    winui::ProgramIcon programIcon_;
    std::unique_ptr<NOTIFYICONDATAA> tray_;  // allocated at start, freed at the end
    winui::Timer pollTimer_{ID_POLL_TIMER};
    CNystraDlg dlg_;
};

}  // namespace nystra
