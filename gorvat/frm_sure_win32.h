// frmSure as a real modal box: a captioned window owned by the calibration
// window, which is disabled while the box is shown.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "frm_sure.h"
#include "timer_win32.h"
#include "twips.h"
#include "window_win32.h"

namespace gorvat {

class FrmSureWindow final : public winui::Window, public SureFormView {
public:
    FrmSureWindow(HINSTANCE instance, HWND owner, const winui::TwipScale& scale, HFONT font);
    ~FrmSureWindow() override;

    // Where the box's events go.
    void Attach(frmSure* form) { form_ = form; }

    void Load() override;
    void Unload() override;
    double ScreenWidth() override;
    double Width() override;
    double Height() override;
    void SetLeft(double left) override;
    void SetHeight(double height) override;
    void SetTitle(const std::string& title) override;
    double LabelHeight() override;
    void SetLabelText(const std::string& text) override;
    double ButtonTop(ButtonSet set, int index) override;
    void SetButtonTop(ButtonSet set, int index, double top) override;
    void SetCaption(ButtonSet set, int index, const std::string& caption) override;
    void HideSet(ButtonSet set) override;
    void SetTabOrder(ButtonSet set, const std::vector<int>& order) override;
    void StartTimer(unsigned milliseconds) override;
    void StopTimer() override;
    void Beep() override;
    void ShowModal() override;
    void EndModal() override;

private:
    static constexpr UINT_PTR kTimeOverId = 1;  // TimeOver

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    HWND Button(ButtonSet set, int index) const;
    // Height in pixels that the label needs for its text at its width.
    int MeasureLabel(const std::string& text) const;
    void ReleaseOwner();

    HINSTANCE instance_;
    HWND owner_;
    winui::TwipScale scale_;
    HFONT font_;
    frmSure* form_ = nullptr;
    HWND label_ = nullptr;
    HWND yesNo_[ButtonCount(ButtonSet::btnYesNo)] = {};
    HWND yesNoCancel_[ButtonCount(ButtonSet::btnYesNoCancel)] = {};
    HWND firstInTabOrder_ = nullptr;
    winui::Timer timeOver_{kTimeOverId};
    bool modal_ = false;
    bool ownerDisabled_ = false;
};

}  // namespace gorvat
