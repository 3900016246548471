// frmMain as a window: borderless, maximised over the whole screen, topmost,
// dark green, with the message frame, Cancel, the '+' mark and the hidden
// diagnostic labels. Its events go to the procedure (frmMain).
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "cal_view.h"
#include "frm_main.h"
#include "frm_sure.h"
#include "twips.h"
#include "win_handles_win32.h"

namespace gorvat {

class FrmMainWindow final : public CalView {
public:
    explicit FrmMainWindow(HINSTANCE instance);
    ~FrmMainWindow();
    FrmMainWindow(const FrmMainWindow&) = delete;
    FrmMainWindow& operator=(const FrmMainWindow&) = delete;

    void Attach(frmMain* form) { form_ = form; }
    // Creates the window and its controls, runs Form_Load and shows it.
    bool Create();
    HWND Handle() const { return window_; }

    double ScreenWidth() override;
    double ScreenHeight() override;
    void SetText(Control control, const std::string& text) override;
    void Move(Control control, double left, double top) override;
    double Left(Control control) override;
    double Top(Control control) override;
    void SetVisible(Control control, bool visible) override;
    void SetEnabled(Control control, bool enabled) override;
    void MakeTopmost() override;
    void StartSearchTimer(unsigned milliseconds) override;
    void StopSearchTimer() override;
    std::int16_t AskSure(std::int16_t BoxType, std::int16_t DefButton, const std::string& Caption1,
                         const std::string& Caption2, const std::string& Caption3, const std::string& Title,
                         const std::string& Message) override;
    void CloseQuestion() override;
    void Close() override;

private:
    static LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MarkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMain(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMark(HWND mark, UINT message, WPARAM wParam, LPARAM lParam);
    void PaintFrame(HWND frame);
    void PaintMark(HWND mark);
    bool RegisterClasses();
    void CreateControls();
    HWND ControlWindow(Control control) const;
    // VB-style masks: the button pressed (or held, for moves) and shift keys.
    static int ShiftMask(WPARAM keys);
    static int HeldButtons(WPARAM keys);

    HINSTANCE instance_;
    frmMain* form_ = nullptr;
    TwipScale scale_;
    HWND window_ = nullptr;
    std::map<Control, HWND> controls_;
    GdiObject<HFONT> font_;
    GdiObject<HBRUSH> green_;
    frmSure* question_ = nullptr;
    bool destroyed_ = false;
};

}  // namespace gorvat
