// StartDlg, portable part: the start-up check. At load it makes sure the
// driver answers; then every 200 ms it looks for the active panel, tells
// the user why it waits, opens the settings dialog as soon as an active
// panel exists and closes it again when that panel is lost or another
// panel has become the active one.
//
// States: Checking (window shown, no message), Waiting (a message), Editing
// (window hidden, settings dialog open), Ended (the program ends).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "main_dlg.h"
#include "reentry.h"
#include "tavlo_ioctl.h"
#include "tp_access.h"

namespace velmic {

inline constexpr const char* kNoActivePanelMessage = "No active panel found";
inline constexpr const char* kNoPanelDeviceMessage = "No panel device found";
inline constexpr unsigned kPollIntervalMs = 200;

enum class Phase { Checking, Waiting, Editing, Ended };

class StartView {
public:
    virtual void StartTimer(unsigned milliseconds) = 0;
    virtual void StopTimer() = 0;
    virtual void SetInfoMsg(const std::string& text) = 0;
    virtual void SetVisible(bool visible) = 0;
    // The error-report box ("Critical error occured"); returns when the
    // user has dismissed it.
    virtual void ShowErrorReport() = 0;
    // A new settings dialog, loaded but not shown yet. The view stays valid
    // until the next CreateMainDlg or the end of the program, even after
    // DestroyMainDlg (a handler of the dialog may still be running then).
    virtual MainView& CreateMainDlg() = 0;
    virtual void ShowMainDlg() = 0;
    virtual void DestroyMainDlg() = 0;
    // Closes the start-up window: the program ends.
    virtual void Close() = 0;

protected:
    ~StartView() = default;
};

class StartDlg {
public:
    StartDlg(tavlo::TavloIoctl& library, TpAccess& access, StartView& view)
        : library_(library), access_(access), view_(view) {}

    // Window events; ignored while another handler runs and once ended.
    void Form_Load();
    void MainTimer_Timer();
    void CancelBtn_Click();  // also Esc and the close box
    // The session ends and the process may be ended as soon as this
    // returns: the settings dialog's closing step runs now, even inside a
    // handler held up by a message box, and no further box is shown.
    void SessionEnd();

    // The open settings dialog, for its window's events; null when none is.
    MainDlg* Settings() { return settingsOpen_ ? settings_.get() : nullptr; }
    Phase State() const { return phase_; }
    bool MainShown = false;
    const std::string& Message() const { return message_; }

private:
    void OpenSettings(std::uint8_t panelId);
    void CloseSettings();
    void SettingsClosedThemselves();
    void End();

    tavlo::TavloIoctl& library_;
    TpAccess& access_;
    StartView& view_;
    Reentry reentry_;
    // Kept after the dialog closed, until the next one opens: the handler
    // that closed it may still be running.
    std::unique_ptr<MainDlg> settings_;
    bool settingsOpen_ = false;
    Phase phase_ = Phase::Checking;
    std::string message_;
};

}  // namespace velmic
