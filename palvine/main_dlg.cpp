#include "main_dlg.h"

namespace palvine {

bool MainDlg::Succeeded(TavloStatus status) {
    // 2 and 3 only come from panel commands; they count as success here.
    return status == TavloOk || status == TavloNoPanel || status == TavloPanelsChanged;
}

ButtonStateRead MainDlg::GetButtonState() {
    ButtonStateRead read;
    if (!Succeeded(device_.GetClickMode(&read.state.clickMode))) return read;
    if (!Succeeded(device_.GetClickOnceMode(&read.state.onceFlag, &read.state.onceButton))) return read;
    read.result = Result::kSuccess;
    return read;
}

Result MainDlg::SetButtonState(std::uint8_t clickMode, std::uint8_t onceButton, std::uint8_t onceFlag) {
    if (!Succeeded(device_.SetClickMode(clickMode))) return Result::kFailure;
    return Succeeded(device_.SetClickOnceMode(onceFlag, onceButton)) ? Result::kSuccess : Result::kFailure;
}

void MainDlg::Form_Load(const std::string& commandLine) {
    // 1. One instance only; the second ends without a word.
    if (view_.AnotherInstanceRunning()) {
        view_.Close();
        return;
    }
    // 2. The first call into the library. Every function Palvine uses is
    // looked up before the first request, so that a library lacking one
    // ends the program (with the message naming it) before the driver's
    // modes are changed and could not be put back.
    using T = tavlo::TavloIoctl;
    if (!device_.BindNow(
            {T::kGetVersion, T::kGetClickMode, T::kSetClickMode, T::kGetClickOnceMode, T::kSetClickOnceMode})) {
        view_.Close();
        return;
    }
    std::uint16_t version = 0;
    if (device_.GetVersion(&version) != TavloOk) {
        view_.Close();
        return;
    }
    // 3.
    const Options options = ReadOptions(commandLine);
    NormalButton = options.NormalButton;
    OnceButton = options.OnceButton;
    // 4.-6.
    if (sys_.SetTopMost(options.TopMost) != Result::kSuccess) {
        view_.Close();
        return;
    }
    sys_.SetWindowSize(options.SizeCode);
    if (sys_.InstallSysMenu(options.TopMost, options.SizeCode) != Result::kSuccess) {
        view_.Close();
        return;
    }
    // 7.
    ShownOnceFlag = 0;
    view_.ShowPicture(kLeftPicture);
    // 8. The modes to put back at exit.
    // The once flag read here is not used.
    const ButtonStateRead found = GetButtonState();
    if (found.result != Result::kSuccess) {
        ReportAndClose();
        return;
    }
    SavedClickMode = found.state.clickMode;
    SavedOnceButton = found.state.onceButton;
    savedRead_ = true;
    // 9.
    if (SetButtonState(NormalButton, OnceButton, 0) != Result::kSuccess) {
        ReportAndClose();
        return;
    }
    // 10.
    running_ = true;
    view_.StartTimer(kPollIntervalMs);
}

// Reads the driver's modes and once flag; a failed read ends the program
// with the error report, as every failing poll or click does.
std::optional<ButtonState> MainDlg::ReadStateOrReport() {
    const ButtonStateRead read = GetButtonState();
    if (read.result == Result::kSuccess) return read.state;
    ReportAndClose();
    return std::nullopt;
}

void MainDlg::ClickChkTimer_Timer() {
    if (!Running()) return;
    const std::optional<ButtonState> state = ReadStateOrReport();
    if (!state) return;
    if (state->onceFlag != ShownOnceFlag) {
        view_.ShowPicture(state->onceFlag != 0 ? kRightPicture : kLeftPicture);
        ShownOnceFlag = state->onceFlag;
    }
}

void MainDlg::Form_MouseUp(int Button) { Release(Button); }

void MainDlg::ClickStatus_MouseUp(int Button) { Release(Button); }

void MainDlg::Release(int Button) {
    if (!Running()) return;
    // The driver's current values: another program may have changed them.
    const std::optional<ButtonState> state = ReadStateOrReport();
    if (!state) return;
    // A release of the once button keeps whatever the driver did with the
    // one-shot for that click; any other button arms or disarms it.
    const bool onceButtonReleased = (Button & state->onceButton & (kLeftButton | kRightButton | kMiddleButton)) != 0;
    const std::uint8_t newFlag = onceButtonReleased ? state->onceFlag : (state->onceFlag == 0 ? 1 : 0);
    if (SetButtonState(NormalButton, OnceButton, newFlag) != Result::kSuccess) ReportAndClose();
    // The picture follows at the next poll.
}

void MainDlg::ReportAndClose() {
    if (closing_) return;
    closing_ = true;
    // The box is modal but the timer would go on ticking behind it.
    view_.StopTimer();
    view_.ShowErrorReport();
    view_.Close();
}

void MainDlg::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    closing_ = true;
    running_ = false;
    view_.StopTimer();
    if (!savedRead_) return;
    const Result restored = SetButtonState(SavedClickMode, SavedOnceButton, 0);
    if (restored != Result::kSuccess && !sessionEnding_) view_.ShowErrorReport();
}

void MainDlg::Form_SessionEnd() {
    sessionEnding_ = true;
    Form_Unload();
}

}  // namespace palvine
