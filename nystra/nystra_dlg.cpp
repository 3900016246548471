#include "nystra_dlg.h"

#include <cstring>

namespace nystra {
namespace {

// Status of a BRIMOL operation that succeeded.
constexpr int kStatusOk = 0;

std::string NameOf(const CRegPanel& record) {
    const void* end = std::memchr(record.name, '\0', sizeof record.name);
    const std::size_t length =
        end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - record.name) : sizeof record.name;
    return std::string(record.name, length);
}

// Status of a BRIMOL operation on every panel when none is attached.
constexpr int kStatusNoPanel = 2;

std::string Plural(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

const char* EndText(EndCause cause) {
    switch (cause) {
    case EndCause::kClosedByUser:
        return "closed by the user";
    case EndCause::kStoppedFromTray:
        return "stopped by the user from the notification area";
    case EndCause::kSessionEnd:
        return "the Windows session ends";
    case EndCause::kStopRequest:
        return "stop request";
    case EndCause::kDestroyed:
        break;
    }
    return "window destroyed";
}

// The trace's words for what ended an activation, after the panel's.
std::string ReleaseText(ReleaseCause cause, std::int32_t timeOutSeconds) {
    switch (cause) {
    case ReleaseCause::kTimeOut:
        return " by the time-out (" + std::to_string(timeOutSeconds) + " s without a touch)";
    case ReleaseCause::kUnplugged:
        return ": it was unplugged";
    case ReleaseCause::kDriverLost:
        return ": driver lost";
    case ReleaseCause::kActivationFailed:
        return ": another panel could not be activated";
    case ReleaseCause::kUser:
        break;
    }
    return " by the user";
}

}  // namespace

// The trace's words for a panel of the table, with its recorded name.
std::string CNystraDlg::PanelText(int panel) {
    records_.GetPanelReg(usb.panelIds[panel]);
    return TracePanel(panel, usb.panelIds[panel], NameOf(records_));
}

bool CNystraDlg::IsPanel(std::int64_t panel) const {
    const std::int64_t count = usb.deviceCount < 0 ? 0
                               : usb.deviceCount > CUSBInterface::kMaxDevices
                                   ? static_cast<std::int64_t>(CUSBInterface::kMaxDevices)
                                   : usb.deviceCount;
    return panel >= 0 && panel < count;
}

// The active panel is still attached when the table holds its identifier
// where the table says the enabled panel is. A table rebuilt after the
// panel was unplugged finds no enabled panel (or another identifier there).
bool CNystraDlg::ActivePanelAttached() const {
    return IsPanel(usb.activeDevice) && usb.panelIds[usb.activeDevice] == activeId_;
}

void CNystraDlg::OnInitDialog() {
    const int startup = usb.InitExclusiveUSB();
    trayIcon_ = IDI_RELEASED;
    view_.AddTrayIcon(trayIcon_);
    view_.ShowIndicator(false);
    view_.SetTopmost(alwaysTop != 0);
    countdown = kInitialCountdown;
    reloadValue = kInitialCountdown;
    usb.UpdateDevices();
    ReleasePanels();
    const int panels = IsPanel(0) ? usb.deviceCount : 0;
    Trace(trace_, "started: " + Plural(panels, "panel", "panels") + ", every panel disabled, " +
                      (startup == kStatusOk ? std::string("start-up mode 0")
                                            : "start-up mode not set (" + TraceStatus(startup) + ")"));
    view_.StartPollTimer(kReleasedPollMs);
}

void CNystraDlg::OnPollTimer() {
    if (ended_) return;
    // One shot at a time: the next poll is armed after this one's work, so
    // polls never pile up however long the driver takes.
    view_.StopPollTimer();
    unsigned next = kReleasedPollMs;
    const int status = usb.PresentTouchState();
    if (status != kStatusOk) {
        PollFailed(status);
        next = kFailedPollMs;
        view_.StartPollTimer(next);
        return;
    }
    if (lostStatus_ != 0) {
        lostStatus_ = 0;
        Trace(trace_, "driver regained: " + Plural(usb.deviceCount, "panel", "panels"));
    }
    if (state != InterlockState::kActive) {
        const int touched = usb.touchedDevice;
        if (IsPanel(touched)) {
            records_.GetPanelReg(usb.panelIds[touched]);
            if (records_.touchOp != TouchDisable) {
                next = ActivatePanel(touched) ? kActivePollMs : kFailedPollMs;
            }
        }
    } else {
        next = PollActive();
    }
    view_.StartPollTimer(next);
}

// No panels, no device or a driver error: start from a fresh table with
// every panel disabled; the caller looks again in a second. The trace tells
// the first failure and each change of its cause, not every second of it.
void CNystraDlg::PollFailed(long status) {
    // An empty table answers "no panel" without asking the driver: then the
    // rebuild tells the cause, and a rebuild that finds panels again ends
    // the failure (the next poll tells it) rather than changing its cause.
    const bool tableWasEmpty = !IsPanel(0);
    const int rebuilt = usb.UpdateDevices();
    long cause = status;
    if (tableWasEmpty) cause = rebuilt != kStatusOk ? rebuilt : lostStatus_;
    if (cause != lostStatus_) {
        lostStatus_ = cause;
        Trace(trace_, "driver lost (" + TraceStatus(cause) + ")");
    }
    ReleasePanels(ReleaseCause::kDriverLost);
}

unsigned CNystraDlg::PollActive() {
    if (!ActivePanelAttached()) {
        // The active panel was unplugged: the poll rebuilt the table without
        // it and no panel has point data. Release as on a time release, so
        // that the next touch activates as usual instead of only showing a
        // request.
        ReleasePanels(ReleaseCause::kUnplugged);
        return kReleasedPollMs;
    }
    if (requestTicks > 0) {
        if (requestTicks == 1) {
            ShowPanelNames(usb.activeDevice, -1);
            SwitchTrayIcon(IDI_ACTIVE);
            view_.ShowIndicator(false);
        }
        --requestTicks;
    }
    if (usb.activeTouched != 0) {
        // A touch on the active panel starts the time-out again; touches on
        // other panels in the same poll are not looked at.
        countdown = reloadValue;
        return kActivePollMs;
    }
    // TIMEENABLE is read every poll, so switching time release on or off
    // takes effect at once; the time itself only at the next activation.
    records_.GetSystemReg();
    if (records_.timeEnable != 0) {
        --countdown;
        // Only time release ends an activation here: with it off, a
        // TIMEOUT of 0 or less in the record must not release the panel.
        if (countdown <= 0) {
            ReleasePanels(ReleaseCause::kTimeOut);
            return kReleasedPollMs;
        }
    }
    const int touched = usb.touchedDevice;
    if (!IsPanel(touched)) return kActivePollMs;
    records_.GetPanelReg(usb.panelIds[touched]);
    const std::int32_t mode = records_.touchOp;
    if (mode == TouchSupervisor) {
        view_.ShowAndRestore();
        if (!ActivatePanel(touched, ActivationCause::kSupervisor)) return kFailedPollMs;
    } else if (mode != TouchDisable) {
        // Interlock (and any unknown mode): shown as a request only. The
        // trace tells a request when it starts, not each touch that keeps
        // it shown.
        const std::int32_t id = usb.panelIds[touched];
        if (requestTicks == 0 || id != requestId_ || activeId_ != requestActiveId_) {
            requestId_ = id;
            requestActiveId_ = activeId_;
            Trace(trace_, "request from " + PanelText(touched) + " while " + activeText_ + " is active");
        }
        ShowPanelNames(usb.activeDevice, touched);
        SwitchTrayIcon(IDI_REQUEST);
        view_.ShowIndicator(true);
        view_.ShowAndRestore();
        requestTicks = kRequestPolls;
    }
    return kActivePollMs;
}

bool CNystraDlg::ActivatePanel(int panel, ActivationCause cause) {
    // After the end steps no panel is disabled again: the end can come in
    // the middle of a poll, delivered while the tray icon is changed.
    if (ended_) return false;
    const std::string text = PanelText(panel);
    const int status = usb.SetActiveDevice(panel);
    if (status != kStatusOk) {
        // Typically the panel set changed since the table was built: the
        // failed write has already taken the driver's new change stamp, so
        // no later poll would notice the change. Rebuild the table now, as
        // a failed poll does, and leave every panel released rather than
        // show a panel as active whose point data is off.
        Trace(trace_, "could not activate " + text + " (" + TraceStatus(status) + ")");
        usb.UpdateDevices();
        ReleasePanels(ReleaseCause::kActivationFailed);
        return false;
    }
    const std::string by = cause == ActivationCause::kMessage ? " on ZRM450_NYSTRA_ACTIVE" : "";
    if (state == InterlockState::kActive && activeId_ != usb.panelIds[panel]) {
        Trace(trace_, text + " took over from " + activeText_ + by);
    } else {
        Trace(trace_, "activated " + text + by);
    }
    activeText_ = text;
    activeId_ = usb.panelIds[panel];
    state = InterlockState::kActive;
    ShowPanelNames(panel, -1);
    SwitchTrayIcon(IDI_ACTIVE);
    records_.GetSystemReg();
    reloadValue = records_.timeOut;
    countdown = records_.timeOut;
    return true;
}

void CNystraDlg::ReleasePanels(ReleaseCause cause) {
    if (ended_) return;  // as in ActivatePanel
    if (state == InterlockState::kActive) Trace(trace_, "released " + activeText_ + ReleaseText(cause, reloadValue));
    usb.SetAllPanelDisable();
    state = InterlockState::kReleased;
    ShowPanelNames(-1, -1);
    SwitchTrayIcon(IDI_RELEASED);
    view_.ShowIndicator(false);
    requestTicks = 0;
}

void CNystraDlg::ShowPanelNames(int first, int second) {
    if (!IsPanel(first)) {
        view_.SetText(IDC_ACTIVE_ID, "");
        view_.SetText(IDC_ACTIVE_NAME, kReleasedText);
        ShowPanelName(IDC_REQUEST_ID, IDC_REQUEST_NAME, -1);
    } else {
        ShowPanelName(IDC_ACTIVE_ID, IDC_ACTIVE_NAME, first);
        ShowPanelName(IDC_REQUEST_ID, IDC_REQUEST_NAME, second);
    }
    view_.BroadcastUpdate();
}

// Identifier and recorded name of a panel of the table, or two empty texts.
void CNystraDlg::ShowPanelName(int idControl, int nameControl, int panel) {
    if (!IsPanel(panel)) {
        view_.SetText(idControl, "");
        view_.SetText(nameControl, "");
        return;
    }
    records_.GetPanelReg(usb.panelIds[panel]);
    view_.SetText(idControl, std::to_string(usb.panelIds[panel]));
    view_.SetText(nameControl, NameOf(records_));
}

void CNystraDlg::SwitchTrayIcon(int icon) {
    trayIcon_ = icon;
    view_.SetTrayIcon(icon);
}

void CNystraDlg::OnRelease() {
    if (ended_) return;
    usb.UpdateDevices();
    ReleasePanels();
}

void CNystraDlg::OnMinimize() { view_.MinimizeAndHide(); }

void CNystraDlg::OnAboutCommand() { view_.ShowAbout(); }

void CNystraDlg::OnAlwaysTopCommand() {
    alwaysTop = alwaysTop != 0 ? 0 : 1;
    view_.SetTopmost(alwaysTop != 0);
}

void CNystraDlg::OnClose() { EndIfConfirmed(kCloseQuestion, EndCause::kClosedByUser); }

// The dialog ends when the user confirms, unless the end steps ran while the
// question was open (a stop request, the session's end).
void CNystraDlg::EndIfConfirmed(const char* question, EndCause cause) {
    view_.ShowAndRestore();
    if (view_.Confirm(question) && !ended_) {
        endCause_ = cause;
        view_.EndDialog();
    }
}

// A click on the tray icon that arrives while another is handled (its
// question box runs a message loop) is dropped.
void CNystraDlg::OnTrayClick() {
    if (inTrayCallback_) return;
    inTrayCallback_ = true;
    view_.BringToForeground();
    inTrayCallback_ = false;
}

void CNystraDlg::OnTrayRightDoubleClick() {
    if (inTrayCallback_) return;
    inTrayCallback_ = true;
    EndIfConfirmed(kStopQuestion, EndCause::kStoppedFromTray);
    inTrayCallback_ = false;
}

void CNystraDlg::OnActivateRequest(std::uintptr_t panel) {
    // The number comes from another program: only a panel of the table is
    // acted on, so nothing reads past the table or records a phantom panel.
    if (ended_ || panel >= static_cast<std::uintptr_t>(CUSBInterface::kMaxDevices) ||
        !IsPanel(static_cast<int>(panel))) {
        return;
    }
    ActivatePanel(static_cast<int>(panel), ActivationCause::kMessage);
}

void CNystraDlg::OnTaskbarCreated() {
    if (!ended_) view_.AddTrayIcon(trayIcon_);
}

void CNystraDlg::OnEndSession(bool ending) {
    if (!ending || ended_) return;
    // The process may be ended as soon as this returns: leave the panels
    // usable now rather than in a destruction that may never come.
    EndSteps(EndCause::kSessionEnd);
    view_.EndDialog();
}

void CNystraDlg::OnStopRequest() {
    if (ended_) return;
    // As at the normal end, only without the question: a question box
    // open meanwhile is closed with the dialog.
    EndSteps(EndCause::kStopRequest);
    view_.EndDialog();
}

void CNystraDlg::OnDestroy() {
    if (!ended_) EndSteps(endCause_);
}

void CNystraDlg::EndSteps(EndCause cause) {
    ended_ = true;
    // Every panel gets its point data back. When the panel set changed
    // since the last poll the enable stops at the stale stamp; the table
    // is then rebuilt and the enable repeated once.
    int enabled = usb.SetAllPanelEnable();
    if (enabled != kStatusOk) {
        const int rebuilt = usb.UpdateDevices();
        enabled = usb.SetAllPanelEnable();
        // An empty table enables nothing and says "no panel": when the
        // driver could not be asked, that is its failure, not a success.
        if (enabled == kStatusNoPanel && rebuilt != kStatusOk && rebuilt != kStatusNoPanel) enabled = rebuilt;
    }
    const int startup = usb.RemoveExclusiveUSB();
    view_.DeleteTrayIcon();
    view_.StopPollTimer();
    std::string text = std::string("ended (") + EndText(cause) + ")";
    if (state == InterlockState::kActive) text += " while " + activeText_ + " was active";
    text += enabled == kStatusOk || enabled == kStatusNoPanel
                ? std::string(": every panel enabled")
                : ": enabling the panels failed (" + TraceStatus(enabled) + ")";
    text += startup == kStatusOk ? std::string(", start-up mode 1")
                                 : ", start-up mode not set (" + TraceStatus(startup) + ")";
    Trace(trace_, text);
}

}  // namespace nystra
