// MainDlg, portable part: Palvine's start-up, its 200 ms poll of the once
// flag, the click rule and the exit steps. The driver is reached through
// the form tools' TavloIoctl binding, the window through MainDlgView, the
// system menu, topmost setting and sizes through SysControl.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "options.h"
#include "result.h"
#include "system_menu.h"
#include "tavlo_ioctl.h"

namespace palvine {

inline constexpr const char* kLeftPicture = "left.ico";
inline constexpr const char* kRightPicture = "right.ico";
inline constexpr unsigned kPollIntervalMs = 200;

// The driver's one-shot modes as Palvine reads them.
struct ButtonState {
    std::uint8_t clickMode = 0;
    std::uint8_t onceButton = 0;
    std::uint8_t onceFlag = 0;
};
struct ButtonStateRead {
    Result result = Result::kFailure;
    ButtonState state;  // valid when result is kSuccess
};

class MainDlgView {
public:
    // True when another instance of the program already runs.
    virtual bool AnotherInstanceRunning() = 0;
    // ClickStatus shows the picture in this file (bare name: the current
    // folder); a file that cannot be loaded leaves the shown picture.
    virtual void ShowPicture(const std::string& file) = 0;
    // ClickChkTimer: ClickChkTimer_Timer every `milliseconds` until stopped.
    virtual void StartTimer(unsigned milliseconds) = 0;
    virtual void StopTimer() = 0;
    // The modal error report ("Critical error occured").
    virtual void ShowErrorReport() = 0;
    // Closes the window: Form_Unload runs, then the window goes and the
    // program ends.
    virtual void Close() = 0;

protected:
    ~MainDlgView() = default;
};

class MainDlg {
public:
    MainDlg(tavlo::TavloIoctl& device, MainDlgView& view, SysControl& sysControl)
        : device_(device), view_(view), sys_(sysControl) {}

    // Window events.
    void Form_Load(const std::string& commandLine);
    void ClickChkTimer_Timer();
    void Form_MouseUp(int Button);
    void ClickStatus_MouseUp(int Button);
    // Every end of the window: the close box, Alt+F4, the system menu's
    // Close, an error, the end of the session. Runs the exit steps once.
    void Form_Unload();
    // The end of the session: the exit steps at once, and no error report,
    // which would hold the session's end up.
    void Form_SessionEnd();

    // Device routines: the driver's click mode, once button and once flag
    // read, and written.
    ButtonStateRead GetButtonState();
    Result SetButtonState(std::uint8_t clickMode, std::uint8_t onceButton, std::uint8_t onceFlag);

    std::uint8_t NormalButton = kLeftButton;
    std::uint8_t OnceButton = kRightButton;
    std::uint8_t SavedClickMode = 0;
    std::uint8_t SavedOnceButton = 0;
    std::int16_t ShownOnceFlag = 0;

    // Start-up finished and the window is not closing.
    bool Running() const { return running_ && !closing_; }
    // Start-up step 8 read the driver's modes: the exit steps put them back.
    bool SavedModesRead() const { return savedRead_; }

private:
    void Release(int Button);
    // The error report, then the window closes. Only one: the poll timer
    // stops first, and anything that arrives while the box is open finds
    // the window closing.
    void ReportAndClose();
    // The driver's modes, or the error report and the close.
    std::optional<ButtonState> ReadStateOrReport();
    static bool Succeeded(TavloStatus status);

    tavlo::TavloIoctl& device_;
    MainDlgView& view_;
    SysControl& sys_;
    bool running_ = false;
    bool closing_ = false;
    bool unloaded_ = false;
    bool savedRead_ = false;
    bool sessionEnding_ = false;
};

}  // namespace palvine
