// StartDlg on Windows: the start-up window built in code (client area
// 3735 x 1305 twips), its 200 ms poll timer, the message boxes of the
// program, and the settings dialog it opens and closes.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "controls_win32.h"
#include "dialog_win32.h"
#include "handles_win32.h"
#include "main_dlg_win32.h"
#include "start_dlg.h"
#include "timer_win32.h"
#include "tp_access.h"

namespace velmic {

class StartDlgWindow final : public winui::Dialog, public StartView, public DebugView {
public:
    explicit StartDlgWindow(HINSTANCE instance);
    ~StartDlgWindow() override;

    void Attach(StartDlg* logic) { logic_ = logic; }
    // Builds the window, hidden; false when it cannot be made.
    bool Create();
    void Show();
    // The window a message box belongs to now: the settings dialog when it
    // is shown, else this window when it is shown, else none.
    HWND BoxOwner() const;

    // StartView
    void StartTimer(unsigned milliseconds) override;
    void StopTimer() override;
    void SetInfoMsg(const std::string& text) override;
    void SetVisible(bool visible) override;
    void ShowErrorReport() override;
    MainView& CreateMainDlg() override;
    void ShowMainDlg() override;
    void DestroyMainDlg() override;
    void Close() override;

    // DebugView
    void ShowDebug(const std::string& tag, TavloStatus status) override;

private:
    bool OnInitDialog() override;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    HINSTANCE instance_;
    StartDlg* logic_ = nullptr;
    winui::TwipScale scale_;
    winui::Font font_;
    winui::Timer mainTimer_;
    std::unique_ptr<MainDlgWindow> mainDlg_;
};

}  // namespace velmic
