#include "cordane_dlg.h"

#include <cstring>

namespace cordane {
namespace {

// A name is read back from the registry through a 50-byte buffer: longer
// narrow text (possible only with multi-byte characters) would come back cut.
constexpr std::size_t kMaxNameBytes = 49;

std::string NameOf(const CRegPanel& record) {
    const void* end = std::memchr(record.name, '\0', sizeof record.name);
    const std::size_t length =
        end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - record.name) : sizeof record.name;
    return std::string(record.name, length);
}

void SetName(CRegPanel& record, const std::string& name) {
    std::memset(record.name, 0, sizeof record.name);
    std::memcpy(record.name, name.data(), name.size() < sizeof record.name ? name.size() : sizeof record.name - 1);
}

}  // namespace

int CCordaneDlg::PanelRows() const {
    if (usb.deviceCount < 0) return 0;
    return usb.deviceCount > kMaxRows ? kMaxRows : usb.deviceCount;
}

int CCordaneDlg::ShownRows() const { return PanelRows() > kTemplateRows ? PanelRows() : kTemplateRows; }

void CCordaneDlg::OnInitDialog() {
    usb.UpdateDevices();
    const int rows = PanelRows();
    if (rows > kTemplateRows) view_.AddRows(rows);

    for (int row = 0; row < ShownRows(); ++row) {
        const RowControls& c = kRows[row];
        for (int control : {c.name, c.mode, c.touchSettings, c.calibration}) view_.EnableControl(control, false);
    }
    view_.EnableControl(IDC_TIME_RELEASE, false);
    view_.EnableControl(IDC_TIME_OUT, false);
    timeOutEnabled_ = false;

    okEnabled_ = rows > 0;
    if (okEnabled_) {
        system.GetSystemReg();
        timeOutSeconds = static_cast<std::uint32_t>(system.timeOut);
        timeRelease = system.timeEnable != 0 ? 1 : 0;
    } else {
        view_.EnableControl(kOkButton, false);
    }

    // Only rows with a panel are filled; the others show nothing, so no
    // value that was never read can be seen or saved.
    for (int row = 0; row < kMaxRows; ++row) {
        idTexts[row].clear();
        names[row].clear();
    }
    for (int row = 0; row < rows; ++row) {
        const RowControls& c = kRows[row];
        for (int control : {c.name, c.mode, c.touchSettings, c.calibration}) view_.EnableControl(control, true);
        idTexts[row] = std::to_string(usb.panelIds[row]);
        records[row].GetPanelReg(usb.panelIds[row]);
        names[row] = NameOf(records[row]);
    }
    bool sameId = false;
    for (int row = 1; row < rows; ++row) {
        for (int earlier = 0; earlier < row; ++earlier) sameId = sameId || usb.panelIds[row] == usb.panelIds[earlier];
    }
    if (sameId) view_.Message(kSameIdMessage, BoxIcon::kNone);

    if (rows > 0) {
        view_.EnableControl(IDC_TIME_RELEASE, true);
        timeOutEnabled_ = timeRelease != 0;
        view_.EnableControl(IDC_TIME_OUT, timeOutEnabled_);
    }

    UpdateData(false);
    for (int row = 0; row < ShownRows(); ++row) {
        view_.SelectMode(kRows[row].mode, row < rows ? ModePosition(records[row].touchOp) : kNoMode);
    }
}

bool CCordaneDlg::Refuse(int control, const char* message) {
    view_.Message(message, BoxIcon::kWarning);
    view_.Focus(control);
    return false;
}

bool CCordaneDlg::UpdateData(bool save) {
    const int rows = PanelRows();
    if (!save) {
        for (int row = 0; row < ShownRows(); ++row) {
            view_.SetText(kRows[row].id, idTexts[row]);
            view_.SetText(kRows[row].name, names[row]);
        }
        // The time-out shows what was read; with no panel the system record
        // is not read and the disabled field shows the value held, 0.
        view_.SetText(IDC_TIME_OUT, TimeOutText(timeOutSeconds));
        view_.SetCheck(IDC_TIME_RELEASE, timeRelease != 0);
        return true;
    }

    for (int row = 0; row < rows; ++row) {
        const int control = kRows[row].name;
        auto name = view_.GetText(control);
        if (view_.TextLength(control) > kMaxNameCharacters || (name && name->size() > kMaxNameBytes)) {
            return Refuse(control, kNameLimitMessage);
        }
        // Stored as it could be, the name would come back with other
        // characters in place of these.
        if (!name) return Refuse(control, kNameCharactersMessage);
        names[row] = std::move(*name);
    }
    // A disabled time-out is not the user's to fix: it keeps the value it
    // was loaded with, whatever that is, and does not stand in the way.
    if (timeOutEnabled_) {
        const auto seconds = ParseTimeOut(view_.GetText(IDC_TIME_OUT).value_or(std::string()));
        if (!seconds) return Refuse(IDC_TIME_OUT, kTimeOutLimitMessage);
        timeOutSeconds = *seconds;
    }
    timeRelease = view_.IsChecked(IDC_TIME_RELEASE) ? 1 : 0;
    return true;
}

void CCordaneDlg::OnOk() {
    if (!okEnabled_) return;
    if (!UpdateData(true)) return;

    const int rows = PanelRows();
    int supervisors = 0;
    for (int row = 0; row < rows; ++row) {
        records[row].touchOp = ModeOfPosition(view_.SelectedMode(kRows[row].mode));
        if (records[row].touchOp == TouchSupervisor) ++supervisors;
    }
    if (supervisors > 1) view_.Message(kTwoSupervisorMessage, BoxIcon::kNone);

    for (int row = 0; row < rows; ++row) SetName(records[row], names[row]);  // irOp stays as loaded
    system.timeOut = static_cast<std::int32_t>(timeOutSeconds);
    system.timeEnable = timeRelease;

    if (!SaveRecords()) {
        view_.Message(kSaveFailedMessage, BoxIcon::kStop);
        return;
    }
    view_.EndDialog(kOkButton);
}

bool CCordaneDlg::SaveRecords() {
    // Rows in order, so that of two panels with the same identifier the
    // later row is the one kept; the system record last.
    for (int row = 0; row < PanelRows(); ++row) {
        if (records[row].SetPanelReg(usb.panelIds[row]) != 0) return false;
    }
    system.SetSystemReg();
    return SystemRecordStored();
}

// SetSystemReg does not report a refused write: the record is read back
// and compared instead.
bool CCordaneDlg::SystemRecordStored() {
    CRegSystem stored;
    stored.GetSystemReg();
    return stored.timeOut == system.timeOut && stored.timeEnable == system.timeEnable;
}

void CCordaneDlg::OnCancel() { view_.EndDialog(kCancelButton); }

void CCordaneDlg::OnTimeReleaseClicked() {
    // Without a panel the box is disabled and the time-out stays so.
    if (PanelRows() == 0) return;
    // A refused field keeps the time-out as it is; its message is shown.
    if (!UpdateData(true)) return;
    timeOutEnabled_ = timeRelease != 0;
    view_.EnableControl(IDC_TIME_OUT, timeOutEnabled_);
}

bool CCordaneDlg::OnRowButton(int control) {
    for (int row = 0; row < kMaxRows; ++row) {
        const RowControls& c = kRows[row];
        if (control != c.touchSettings && control != c.calibration) continue;
        // A row without a panel has its buttons disabled; a click that
        // arrives all the same starts nothing.
        if (row < PanelRows()) view_.StartProgram(control == c.touchSettings ? kTouchSettingsTool : kCalibrationTool);
        return true;
    }
    return false;
}

void CCordaneDlg::OnAboutCommand() { view_.ShowAbout(); }

}  // namespace cordane
