#include "main_dlg.h"

namespace palvine {

bool MainDlg::Succeeded(TavloStatus status) {
    // 2 and 3 only come from panel commands; they count as success here.
    return status == TavloOk || status == TavloNoPanel || status == TavloPanelsChanged;
}

void MainDlg::GetButtonState(std::int16_t* result, std::uint8_t* clickMode, std::uint8_t* onceButton,
                             std::uint8_t* onceFlag) {
    if (!Succeeded(device_.GetClickMode(clickMode))) {
        *result = -1;
        return;
    }
    *result = Succeeded(device_.GetClickOnceMode(onceFlag, onceButton)) ? 0 : -1;
}

void MainDlg::SetButtonState(std::int16_t* result, std::uint8_t clickMode, std::uint8_t onceButton,
                             std::uint8_t onceFlag) {
    if (!Succeeded(device_.SetClickMode(clickMode))) {
        *result = -1;
        return;
    }
    *result = Succeeded(device_.SetClickOnceMode(onceFlag, onceButton)) ? 0 : -1;
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
    if (sys_.SetTopMost(options.TopMost) != 0) {
        view_.Close();
        return;
    }
    sys_.SetWindowSize(options.SizeCode);
    if (sys_.InstallSysMenu(options.TopMost, options.SizeCode) != 0) {
        view_.Close();
        return;
    }
    // 7.
    ShownOnceFlag = 0;
    view_.ShowPicture(kLeftPicture);
    // 8. The modes to put back at exit.
    std::int16_t result = 0;
    std::uint8_t unusedFlag = 0;
    GetButtonState(&result, &SavedClickMode, &SavedOnceButton, &unusedFlag);
    if (result != 0) {
        ReportAndClose();
        return;
    }
    savedRead_ = true;
    // 9.
    SetButtonState(&result, NormalButton, OnceButton, 0);
    if (result != 0) {
        ReportAndClose();
        return;
    }
    // 10.
    running_ = true;
    view_.StartTimer(kPollIntervalMs);
}

// Reads the driver's modes and once flag; a failed read ends the program
// with the error report, as every failing poll or click does.
bool MainDlg::ReadStateOrReport(std::uint8_t* clickMode, std::uint8_t* onceButton, std::uint8_t* onceFlag) {
    std::int16_t result = 0;
    GetButtonState(&result, clickMode, onceButton, onceFlag);
    if (result == 0) return true;
    ReportAndClose();
    return false;
}

void MainDlg::ClickChkTimer_Timer() {
    if (!Running()) return;
    std::uint8_t clickMode = 0, onceButton = 0, onceFlag = 0;
    if (!ReadStateOrReport(&clickMode, &onceButton, &onceFlag)) return;
    if (onceFlag != ShownOnceFlag) {
        view_.ShowPicture(onceFlag != 0 ? kRightPicture : kLeftPicture);
        ShownOnceFlag = onceFlag;
    }
}

void MainDlg::Form_MouseUp(int Button) { Release(Button); }

void MainDlg::ClickStatus_MouseUp(int Button) { Release(Button); }

void MainDlg::Release(int Button) {
    if (!Running()) return;
    // The driver's current values: another program may have changed them.
    std::uint8_t clickMode = 0, onceButton = 0, onceFlag = 0;
    if (!ReadStateOrReport(&clickMode, &onceButton, &onceFlag)) return;
    // A release of the once button keeps whatever the driver did with the
    // one-shot for that click; any other button arms or disarms it.
    const bool onceButtonReleased = (Button & onceButton & (kLeftButton | kRightButton | kMiddleButton)) != 0;
    const std::uint8_t newFlag = onceButtonReleased ? onceFlag : (onceFlag == 0 ? 1 : 0);
    std::int16_t result = 0;
    SetButtonState(&result, NormalButton, OnceButton, newFlag);
    if (result != 0) ReportAndClose();
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
    std::int16_t result = 0;
    SetButtonState(&result, SavedClickMode, SavedOnceButton, 0);
    if (result != 0 && !sessionEnding_) view_.ShowErrorReport();
}

void MainDlg::Form_SessionEnd() {
    sessionEnding_ = true;
    Form_Unload();
}

}  // namespace palvine
