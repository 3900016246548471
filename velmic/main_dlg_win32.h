// MainDlg on Windows: the settings dialog built in code (client area
// 7575 x 6240 twips) with its frames, labels, four trackbars, check box,
// buttons and the two test areas; it hands every user event to MainDlg.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "controls_win32.h"
#include "dialog_win32.h"
#include "handles_win32.h"
#include "main_dlg.h"
#include "main_view.h"
#include "twips.h"

namespace velmic {

class MainDlgWindow final : public winui::Dialog, public MainView {
public:
    MainDlgWindow(HINSTANCE instance, const winui::TwipScale& scale) : instance_(instance), scale_(scale) {}

    // Builds the box, hidden.
    bool Create();
    void Attach(MainDlg* logic) { logic_ = logic; }
    // Runs on WM_ENDSESSION when the session really ends.
    void OnSessionEnd(std::function<void()> sessionEnd) { sessionEnd_ = std::move(sessionEnd); }
    void Show();
    // Destroys the box; the object stays for a handler still running.
    void DestroyBox();

    // MainView
    void SetSliderPosition(Slider slider, int position) override;
    int SliderPosition(Slider slider) override;
    void SetClickSound(bool checked) override;
    bool ClickSoundChecked() override;
    void SetEnabled(Button button, bool enabled) override;
    void SetActivePanelId(const std::string& caption) override;
    bool ShowPicture(TestArea area, const std::string& fileName) override;
    void Beep() override;
    void SetDoubleClickTime(unsigned milliseconds) override;

private:
    bool OnInitDialog() override;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void CreateControls();
    void OnCommand(int id, int code);
    HWND Item(int id) const { return GetDlgItem(Handle(), id); }

    HINSTANCE instance_;
    winui::TwipScale scale_;
    winui::Font font_;
    MainDlg* logic_ = nullptr;
    std::function<void()> sessionEnd_;
};

}  // namespace velmic
