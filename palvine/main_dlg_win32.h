// MainDlg as a window: a small thin-bordered popup with a caption strip of
// its own at the top (to move the window and open its system menu by touch
// alone), the picture ClickStatus in the square below it and the poll
// timer. Its events go to the portable MainDlg; it is the window that
// SysControl works on, and the icon source of the picture.
#pragma once

#include <windows.h>

#include <string>

#include "caption_strip.h"
#include "main_dlg.h"
#include "named_mutex_win32.h"
#include "palvine_ids.h"
#include "picture_slot.h"
#include "system_menu.h"
#include "timer_win32.h"
#include "twips.h"
#include "window_win32.h"

namespace palvine {

// The window class, by which the tests find the window (its caption is
// empty).
inline constexpr const char* kMainDlgClass = "PalvineMainDlg";
// Held while an instance runs.
inline constexpr const char* kInstanceMutex = "PalvineClickStatusInstance";

class MainDlgWindow final : public winui::Window, public MainDlgView, public SysWindow, public IconSource {
public:
    MainDlgWindow(HINSTANCE instance, tavlo::TavloIoctl& device);
    ~MainDlgWindow() override;

    // Creates the window hidden and runs the start-up; false when the
    // start-up ended the program.
    bool Create(const std::string& commandLine);

    // MainDlgView
    bool AnotherInstanceRunning() override;
    void ShowPicture(const std::string& file) override;
    void StartTimer(unsigned milliseconds) override;
    void StopTimer() override;
    void ShowErrorReport() override;
    void Close() override;

    // SysWindow
    bool AppendMenuSeparator() override;
    bool AppendMenuItem(std::uint32_t id, const char* text) override;
    bool SetMenuItem(std::uint32_t id, const char* text, bool checked) override;
    bool SetTopmost(bool topmost) override;
    void ReplaceWindowProc() override;
    double Width() override;
    double Height() override;
    void SetWidth(double twips) override;
    void SetHeight(double twips) override;
    double PictureWidth() override;
    double PictureHeight() override;
    void SetPictureTop(double twips) override;
    void SetPictureLeft(double twips) override;

    // IconSource
    void* LoadIconFile(const std::string& file) override;
    void DestroyIconHandle(void* icon) override;
    void ShowIcon(void* icon) override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static LRESULT CALLBACK SysMenuWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    RECT OuterRect() const;
    POINT FrameInset() const;
    int ClientWidth() const;
    POINT ToClient(LPARAM screenPoint) const;
    void PaintStrip(HDC dc) const;
    void InvalidateStrip();
    void OpenSysMenu(int clientX, int clientY);
    void Resize(int widthPixels, int heightPixels);
    void MovePicture(int leftPixels, int topPixels);

    HINSTANCE instance_;
    winui::TwipScale scale_;
    CaptionStrip strip_{kLeastStripHeight};
    SysControl sys_;
    MainDlg dlg_;
    HWND picture_ = nullptr;
    PictureSlot pictureSlot_;
    winui::NamedMutex instanceMutex_;
    winui::Timer clickChkTimer_{ID_CLICK_CHK_TIMER};
    WNDPROC oldWndProc_ = nullptr;
    bool destroying_ = false;
    bool active_ = false;
};

}  // namespace palvine
