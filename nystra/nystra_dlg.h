// CNystraDlg, portable part: the interlock. At most one panel is active
// (its point data enabled); a touch on a disabled panel makes it active
// depending on the panel's touch mode, and the active panel is released by
// the user or after a time without touches on it.
//
// The panels are reached through CUSBInterface and the records through
// CRegPanel / CRegSystem of BRIMOL; the window, its notification-area icon,
// the poll timer and the broadcast through NystraView. Every window event
// is one method here.
#pragma once

#include <cstdint>
#include <string>

#include "brimol.h"
#include "nystra_ids.h"
#include "nystra_trace.h"

namespace nystra {

// The controller's state: no panel active, or one.
enum class InterlockState : std::int32_t { kReleased = 1, kActive = 2 };

// Poll intervals: fast while no panel is active, once a second while one
// is (a second is the unit of the release time-out), and once a second
// after a failed poll.
inline constexpr unsigned kReleasedPollMs = 200;
inline constexpr unsigned kActivePollMs = 1000;
inline constexpr unsigned kFailedPollMs = 1000;

// Polls during which a refused request stays shown.
inline constexpr std::int32_t kRequestPolls = 10;
// Countdown before the first activation has read the system record.
inline constexpr std::int32_t kInitialCountdown = 30;

// Texts of the window and its boxes.
inline constexpr const char* kReleasedText = "  Released  ";
inline constexpr const char* kTrayTip = "Touch Panel Exclusive Control";
inline constexpr const char* kCloseQuestion = "Panel Interlock Control is cancelled.";
inline constexpr const char* kStopQuestion = "Are you sure\nthe Panel Exclusive Control is stopped ?";

// Names of the window messages registered with the system: the tray icon's
// callback, the two messages of other programs (ZRM450_NYSTRA_ACTIVE asks
// for a panel, ZRM450_NYSTRA_UPDATE is broadcast when the rows change), the
// task bar's new start, and `Nystra.exe /stop`'s request to end.
inline constexpr const char* kTrayMessageName = "NystraDlgMessage";
inline constexpr const char* kActiveMessageName = "ZRM450_NYSTRA_ACTIVE";
inline constexpr const char* kUpdateMessageName = "ZRM450_NYSTRA_UPDATE";
inline constexpr const char* kTaskbarCreatedName = "TaskbarCreated";
inline constexpr const char* kStopMessageName = "ZR_EX_CONTROL.Nystra.Stop";

class NystraView {
public:
    // Text of one of the display controls 1001..1004.
    virtual void SetText(int control, const std::string& text) = 0;
    // The request indicator (control 1006, icon 134).
    virtual void ShowIndicator(bool shown) = 0;

    // The notification-area icon: added with the tip and callback message,
    // switched to another icon, removed.
    virtual void AddTrayIcon(int icon) = 0;
    virtual void SetTrayIcon(int icon) = 0;
    virtual void DeleteTrayIcon() = 0;

    // Tells other programs' top-level windows that the display rows changed
    // (ZRM450_NYSTRA_UPDATE); must return at once whatever they do.
    virtual void BroadcastUpdate() = 0;

    // The one-shot poll timer 102.
    virtual void StartPollTimer(unsigned milliseconds) = 0;
    virtual void StopPollTimer() = 0;

    // Shows and restores the window.
    virtual void ShowAndRestore() = 0;
    // Brings the window to the top, shows and restores it and makes it the
    // foreground window.
    virtual void BringToForeground() = 0;
    // Minimises the window, then hides it; the tray icon brings it back.
    virtual void MinimizeAndHide() = 0;
    // Topmost or an ordinary window, with "Always Top" checked to match.
    virtual void SetTopmost(bool topmost) = 0;

    // The about box, modal.
    virtual void ShowAbout() = 0;
    // A question with OK and Cancel and the exclamation icon; true for OK.
    virtual bool Confirm(const std::string& question) = 0;
    // Ends the dialog, and with it the program.
    virtual void EndDialog() = 0;

protected:
    ~NystraView() = default;
};

// What ended an activation, for the trace.
enum class ReleaseCause { kUser, kTimeOut, kUnplugged, kDriverLost, kActivationFailed };
// How a panel became active, for the trace.
enum class ActivationCause { kTouch, kSupervisor, kMessage };
// What ended the interlock, for the trace.
enum class EndCause { kClosedByUser, kStoppedFromTray, kSessionEnd, kStopRequest, kDestroyed };

class CNystraDlg {
public:
    explicit CNystraDlg(NystraView& view, TraceSink& trace = NoTrace()) : view_(view), trace_(trace) {}

    // Window events.
    void OnInitDialog();
    // The poll timer (102) ran out.
    void OnPollTimer();
    void OnRelease();   // "Release"
    void OnMinimize();  // "Minimize"
    // The system menu's about item.
    void OnAboutCommand();
    // The system menu's "Always Top": switches between topmost and ordinary.
    void OnAlwaysTopCommand();
    // The close box or Escape.
    void OnClose();
    // The notification-area icon: a left button press brings the window
    // forward; a right double-click asks whether to end the interlock.
    void OnTrayClick();
    void OnTrayRightDoubleClick();
    // ZRM450_NYSTRA_ACTIVE: make panel number `panel` active. A number that
    // is not a panel of the table is ignored.
    void OnActivateRequest(std::uintptr_t panel);
    // The task bar was created again (Explorer restarted): the tray icon is
    // added again with the icon of the current state.
    void OnTaskbarCreated();
    // The session ends: with `ending`, the end steps run now, as on exit,
    // and the dialog ends.
    void OnEndSession(bool ending);
    // A stop request (`Nystra.exe /stop`): the end steps run now, without a
    // question, and the dialog ends.
    void OnStopRequest();
    // Window destruction: the end steps, unless they already ran.
    void OnDestroy();

    // Enables `panel` alone and shows it as active. When the enable fails
    // (the panel set changed since the table was built, or a driver error)
    // the table is rebuilt and every panel released instead; returns false
    // then. After the end steps both leave the panels as the end left them.
    bool ActivatePanel(int panel, ActivationCause cause = ActivationCause::kTouch);
    // Disables every panel and shows none as active; an activation it ends
    // is traced with its cause.
    void ReleasePanels(ReleaseCause cause = ReleaseCause::kUser);
    // Shows panel `first` in the first row and panel `second` in the
    // second; -1 (or any number that is not a panel) for none.
    void ShowPanelNames(int first, int second);

    int TrayIcon() const { return trayIcon_; }

    CUSBInterface usb;
    std::uint8_t alwaysTop = 1;
    std::int32_t requestTicks = 0;
    std::int32_t countdown = 0;
    std::int32_t reloadValue = 0;
    InterlockState state = InterlockState::kReleased;

private:
    void ShowPanelName(int idControl, int nameControl, int panel);
    unsigned PollActive();
    void EndSteps(EndCause cause);
    void EndIfConfirmed(const char* question, EndCause cause);
    void PollFailed(long status);
    std::string PanelText(int panel);
    void SwitchTrayIcon(int icon);
    bool IsPanel(std::int64_t panel) const;
    bool ActivePanelAttached() const;

    NystraView& view_;
    TraceSink& trace_;
    // The records are read from the registry each time they are needed, so
    // changes made meanwhile take effect; the object itself lives as long
    // as the dialog, because constructing one probes sixteen keys.
    CRegSystem records_;
    int trayIcon_ = IDI_RELEASED;
    // Identifier of the panel made active; a rebuilt table is searched for
    // it, since table positions shift when panels come and go.
    std::int32_t activeId_ = -1;
    // The trace's words for the active panel, as it was when activated
    // (its table position and record may change before it is released).
    std::string activeText_;
    // Identifier of the panel whose request is shown; a request is traced
    // when it starts or another panel asks.
    std::int32_t requestId_ = -1;
    std::int32_t requestActiveId_ = -1;
    // Status of the last failed poll while the driver is lost, else 0.
    long lostStatus_ = 0;
    bool inTrayCallback_ = false;
    bool ended_ = false;
    // What the end steps will name as the end's cause.
    EndCause endCause_ = EndCause::kDestroyed;
};

}  // namespace nystra
