#include "start_dlg.h"

namespace velmic {

void StartDlg::Form_Load() {
    const Entry entry(reentry_);
    if (!entry || phase_ == Phase::Ended) return;
    // Only the status matters: a driver that does not answer ends the
    // program without a word.
    std::uint16_t version = 0;
    if (library_.GetVersion(&version) != TavloOk) {
        End();
        return;
    }
    MainShown = false;
    phase_ = Phase::Checking;
    view_.StartTimer(kPollIntervalMs);
}

void StartDlg::MainTimer_Timer() {
    const Entry entry(reentry_);
    if (!entry || phase_ == Phase::Ended) return;

    const std::uint16_t stampBefore = access_.ChangeStamp;
    const Reading<std::uint8_t> active = access_.GetActivePanel();
    if (active.result == Result::kCritical) {
        // The diagnostic box has named the failing call; the closing step's
        // calls that follow add no further boxes.
        access_.MuteDiagnostics(true);
        view_.StopTimer();
        view_.ShowErrorReport();
        MainShown = false;
        CloseSettings();
        End();
        return;
    }
    if (!active.Ok()) {
        message_ = active.result == Result::kNoActivePanel ? kNoActivePanelMessage : kNoPanelDeviceMessage;
        MainShown = false;
        view_.SetVisible(true);
        CloseSettings();
        view_.SetInfoMsg(message_);
        phase_ = Phase::Waiting;
        return;
    }
    const std::uint8_t id = active.value;
    if (MainShown) {
        const BoundPanel& bound = settings_->Panel();
        // A panel changes its number only when the panel set changes (a
        // panel below it removed or attached); then the same identifier is
        // the same panel, and the dialog follows it and stays open with the
        // user's edits. A new number in an unchanged set is another panel,
        // even one reporting the same identifier.
        const bool panelsChanged = access_.ChangeStamp != stampBefore;
        if (bound.id == id && (bound.index == access_.ActivePanelIndex || panelsChanged)) {
            settings_->FollowPanel(access_.ActivePanelIndex);
            return;
        }
        // Another panel is the active one now: the dialog closes for the
        // panel it edited and opens afresh for the new one.
        CloseSettings();
        OpenSettings(id);
        return;
    }
    MainShown = true;
    view_.SetVisible(false);
    OpenSettings(id);
}

void StartDlg::CancelBtn_Click() {
    const Entry entry(reentry_);
    if (!entry || phase_ == Phase::Ended) return;
    CloseSettings();
    End();
}

void StartDlg::SessionEnd() {
    if (phase_ == Phase::Ended) return;
    access_.MuteDiagnostics(true);
    MainShown = false;
    CloseSettings();
    End();
}

void StartDlg::OpenSettings(std::uint8_t panelId) {
    MainView& dialogView = view_.CreateMainDlg();
    settings_ = std::make_unique<MainDlg>(access_, dialogView, reentry_, BoundPanel{access_.ActivePanelIndex, panelId},
                                          [this] { SettingsClosedThemselves(); });
    settingsOpen_ = true;
    phase_ = Phase::Editing;
    if (!settings_->Form_Load()) return;  // it closed again: the program is ending
    view_.ShowMainDlg();
    // A space where a minus sign would stand.
    dialogView.SetActivePanelId(" " + std::to_string(panelId));
}

// Closed by this window: the dialog's closing step runs, the program goes on.
void StartDlg::CloseSettings() {
    if (!settingsOpen_) return;
    settingsOpen_ = false;
    settings_->Unload();
    view_.DestroyMainDlg();
}

// The dialog closed on its own (OK, Cancel, a failure): the program ends.
void StartDlg::SettingsClosedThemselves() {
    MainShown = false;
    // The session's end may have closed it already, from inside the
    // handler that is closing it now.
    if (settingsOpen_) {
        settingsOpen_ = false;
        view_.DestroyMainDlg();
    }
    End();
}

void StartDlg::End() {
    if (phase_ == Phase::Ended) return;
    phase_ = Phase::Ended;
    view_.StopTimer();
    view_.Close();
}

}  // namespace velmic
