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

}  // namespace

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
    usb.InitExclusiveUSB();
    trayIcon_ = IDI_RELEASED;
    view_.AddTrayIcon(trayIcon_);
    view_.ShowIndicator(false);
    view_.SetTopmost(alwaysTop != 0);
    countdown = kInitialCountdown;
    reloadValue = kInitialCountdown;
    usb.UpdateDevices();
    ReleasePanels();
    view_.StartPollTimer(kReleasedPollMs);
}

void CNystraDlg::OnTimer(std::uintptr_t timerId) {
    if (timerId != ID_POLL_TIMER || ended_) return;
    // One shot at a time: the next poll is armed after this one's work, so
    // polls never pile up however long the driver takes.
    view_.StopPollTimer();
    unsigned next = kReleasedPollMs;
    if (usb.PresentTouchState() != kStatusOk) {
        // No panels, no device or a driver error: start from a fresh table
        // with every panel disabled, and look again in a second.
        usb.UpdateDevices();
        ReleasePanels();
        next = kFailedPollMs;
    } else if (state != kActive) {
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

unsigned CNystraDlg::PollActive() {
    if (!ActivePanelAttached()) {
        // The active panel was unplugged: the poll rebuilt the table without
        // it and no panel has point data. Release as on a time release, so
        // that the next touch activates as usual instead of only showing a
        // request.
        ReleasePanels();
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
            ReleasePanels();
            return kReleasedPollMs;
        }
    }
    const int touched = usb.touchedDevice;
    if (!IsPanel(touched)) return kActivePollMs;
    records_.GetPanelReg(usb.panelIds[touched]);
    const std::int32_t mode = records_.touchOp;
    if (mode == TouchSupervisor) {
        view_.ShowAndRestore();
        if (!ActivatePanel(touched)) return kFailedPollMs;
    } else if (mode != TouchDisable) {
        // Interlock (and any unknown mode): shown as a request only.
        ShowPanelNames(usb.activeDevice, touched);
        SwitchTrayIcon(IDI_REQUEST);
        view_.ShowIndicator(true);
        view_.ShowAndRestore();
        requestTicks = kRequestPolls;
    }
    return kActivePollMs;
}

bool CNystraDlg::ActivatePanel(int panel) {
    if (usb.SetActiveDevice(panel) != kStatusOk) {
        // Typically the panel set changed since the table was built: the
        // failed write has already taken the driver's new change stamp, so
        // no later poll would notice the change. Rebuild the table now, as
        // a failed poll does, and leave every panel released rather than
        // show a panel as active whose point data is off.
        usb.UpdateDevices();
        ReleasePanels();
        return false;
    }
    activeId_ = usb.panelIds[panel];
    state = kActive;
    ShowPanelNames(panel, -1);
    SwitchTrayIcon(IDI_ACTIVE);
    records_.GetSystemReg();
    reloadValue = records_.timeOut;
    countdown = records_.timeOut;
    return true;
}

void CNystraDlg::ReleasePanels() {
    usb.SetAllPanelDisable();
    state = kReleased;
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

bool CNystraDlg::OnSysCommand(std::uintptr_t command) {
    if ((command & 0xFFF0u) == IDM_ABOUTBOX) {
        view_.ShowAbout();
        return true;
    }
    if (command == IDM_ALWAYS_TOP) {
        alwaysTop = alwaysTop != 0 ? 0 : 1;
        view_.SetTopmost(alwaysTop != 0);
        return true;
    }
    return false;
}

void CNystraDlg::OnClose() {
    view_.ShowAndRestore();
    if (view_.Confirm(kCloseQuestion)) view_.EndDialog();
}

void CNystraDlg::OnTrayNotify(std::uintptr_t mouseMessage) {
    // A callback that arrives while another is handled (its question box
    // runs a message loop) is dropped.
    if (inTrayCallback_) return;
    inTrayCallback_ = true;
    if (mouseMessage == kTrayLeftButtonDown) {
        view_.BringToForeground();
    } else if (mouseMessage == kTrayRightButtonDoubleClick) {
        view_.ShowAndRestore();
        if (view_.Confirm(kStopQuestion)) view_.EndDialog();
    }
    inTrayCallback_ = false;
}

void CNystraDlg::OnActivateRequest(std::uintptr_t panel) {
    // The number comes from another program: only a panel of the table is
    // acted on, so nothing reads past the table or records a phantom panel.
    if (ended_ || panel >= static_cast<std::uintptr_t>(CUSBInterface::kMaxDevices) ||
        !IsPanel(static_cast<int>(panel))) {
        return;
    }
    ActivatePanel(static_cast<int>(panel));
}

void CNystraDlg::OnTaskbarCreated() {
    if (!ended_) view_.AddTrayIcon(trayIcon_);
}

void CNystraDlg::OnEndSession(bool ending) {
    if (!ending || ended_) return;
    // The process may be ended as soon as this returns: leave the panels
    // usable now rather than in a destruction that may never come.
    EndSteps();
    view_.EndDialog();
}

void CNystraDlg::OnDestroy() {
    if (!ended_) EndSteps();
}

void CNystraDlg::EndSteps() {
    ended_ = true;
    // Every panel gets its point data back. When the panel set changed
    // since the last poll the enable stops at the stale stamp; the table
    // is then rebuilt and the enable repeated once.
    if (usb.SetAllPanelEnable() != kStatusOk) {
        usb.UpdateDevices();
        usb.SetAllPanelEnable();
    }
    usb.RemoveExclusiveUSB();
    view_.DeleteTrayIcon();
    view_.StopPollTimer();
}

}  // namespace nystra
