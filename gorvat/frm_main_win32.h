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
#include "handles_win32.h"
#include "timer_win32.h"
#include "twips.h"
#include "window_win32.h"

namespace gorvat {

class FrmMainWindow final : public winui::Window, public CalView {
public:
    explicit FrmMainWindow(HINSTANCE instance);
    ~FrmMainWindow() override;

    void Attach(frmMain* form) { form_ = form; }
    // Creates the window and its controls, runs Form_Load and shows it.
    bool Create();

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
    static constexpr UINT_PTR kSearchTimerId = 1;

    // The message frame and the mark: windows of their own classes whose
    // painting and pointer input the calibration window does.
    class Part final : public winui::Window {
    public:
        using Handler = LRESULT (FrmMainWindow::*)(HWND part, UINT message, WPARAM wParam, LPARAM lParam);
        Part(FrmMainWindow& owner, Handler handler) : owner_(owner), handler_(handler) {}

    private:
        LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
            return (owner_.*handler_)(Handle(), message, wParam, lParam);
        }
        FrmMainWindow& owner_;
        Handler handler_;
    };

    // Presses and moves as the procedure's mouse events, with the position
    // in twips; false for any other message.
    using MouseEvent = void (frmMain::*)(int Button, int Shift, double X, double Y);
    bool ForwardPointer(UINT message, WPARAM wParam, LPARAM lParam, MouseEvent down, MouseEvent move);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT HandleFrame(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);
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
    winui::TwipScale scale_;
    Part frame_{*this, &FrmMainWindow::HandleFrame};
    Part mark_{*this, &FrmMainWindow::HandleMark};
    std::map<Control, HWND> controls_;
    winui::Font font_;
    winui::Brush green_;
    winui::Timer searchTimer_{kSearchTimerId};
    frmSure* question_ = nullptr;
};

}  // namespace gorvat
