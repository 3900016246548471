// CCordaneDlg, portable part: the panel setting dialog. One row per
// attached panel (its identifier, name, touch mode and the two tool
// buttons) and the release time-out; OK writes the panel records and the
// system record that the interlock controller reads.
//
// Panels are learnt through CUSBInterface and records kept through
// CRegPanel / CRegSystem of BRIMOL; the dialog's controls, boxes and the
// start of the tools through CordaneView. Every window event is one method
// here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "brimol.h"
#include "cordane_ids.h"
#include "panel_fields.h"
#include "suite_install_folder.h"

namespace cordane {

// Rows the dialog can show: one per entry of the panel table.
inline constexpr int kMaxRows = CUSBInterface::kMaxDevices;
// Rows of the dialog template; rows below them are added at run time.
inline constexpr int kTemplateRows = 2;

struct RowControls {
    int id;             // identifier text
    int name;           // name edit
    int mode;           // mode list
    int touchSettings;  // "Touch Settings": starts the click settings tool
    int calibration;    // "Calibration": starts the calibration tool
};
inline constexpr RowControls kRows[kMaxRows] = {
    {IDC_ID1, IDC_NAME1, IDC_MODE1, IDC_TOUCH1, IDC_CALIBRATION1},
    {IDC_ID2, IDC_NAME2, IDC_MODE2, IDC_TOUCH2, IDC_CALIBRATION2},
    {IDC_ID3, IDC_NAME3, IDC_MODE3, IDC_TOUCH3, IDC_CALIBRATION3},
    {IDC_ID4, IDC_NAME4, IDC_MODE4, IDC_TOUCH4, IDC_CALIBRATION4},
};
inline constexpr int kOkButton = 1;
inline constexpr int kCancelButton = 2;

// The tools, started by fixed path.
inline constexpr const char* kTouchSettingsTool = SUITE_INSTALL_FOLDER "Velmic.exe";
inline constexpr const char* kCalibrationTool = SUITE_INSTALL_FOLDER "Gorvat.exe";

// Texts of the boxes.
inline constexpr const char* kSameIdMessage = "A system find the same PanelID";
inline constexpr const char* kTwoSupervisorMessage = "There are two Supervisor in this system";
inline constexpr const char* kSaveFailedMessage = "The panel settings could not be saved.";
inline constexpr const char* kNameLimitMessage = "Enter a panel name of at most 16 characters.";
inline constexpr const char* kNameCharactersMessage = "The panel name has characters that this computer cannot store.";
inline constexpr const char* kTimeOutLimitMessage = "Enter a whole number of seconds from 1 to 1800.";

enum class BoxIcon { kNone, kWarning, kStop };

class CordaneView {
public:
    // Extends the dialog to `rows` rows (3 or 4): the controls of the rows
    // below row 2 are created and the controls under the rows move down.
    virtual void AddRows(int rows) = 0;

    virtual void EnableControl(int control, bool enabled) = 0;
    virtual void SetText(int control, const std::string& text) = 0;
    // Text of a control in the narrow code page the records keep, or
    // nothing when it holds characters that code page cannot express; and
    // its length in characters as the control counts them.
    virtual std::optional<std::string> GetText(int control) = 0;
    virtual std::size_t TextLength(int control) = 0;
    virtual void SetCheck(int control, bool checked) = 0;
    virtual bool IsChecked(int control) = 0;
    // Position selected in a mode list, kNoMode for none.
    virtual void SelectMode(int control, int position) = 0;
    virtual int SelectedMode(int control) = 0;
    virtual void Focus(int control) = 0;

    // A box with OK over the dialog, modal.
    virtual void Message(const std::string& text, BoxIcon icon) = 0;
    // Starts a program by path without arguments and without waiting.
    virtual void StartProgram(const char* path) = 0;
    virtual void ShowAbout() = 0;
    // Ends the dialog with kOkButton or kCancelButton.
    virtual void EndDialog(int result) = 0;

protected:
    ~CordaneView() = default;
};

class CCordaneDlg {
public:
    explicit CCordaneDlg(CordaneView& view) : view_(view) {}

    // Window events.
    void OnInitDialog();
    void OnOk();
    void OnCancel();
    // A click on check box 1011 (the box has already toggled).
    void OnTimeReleaseClicked();
    // A button of a panel row; false when `control` is none.
    bool OnRowButton(int control);
    // The system menu's about command.
    void OnAboutCommand();

    // Rows that show a panel (0..4), and rows the dialog shows (2..4).
    int PanelRows() const;
    int ShownRows() const;
    bool TimeOutEnabled() const { return timeOutEnabled_; }

    CRegSystem system;              // TIMEOUT and TIMEENABLE
    CUSBInterface usb;              // the panels and their identifiers
    CRegPanel records[kMaxRows];    // the record of each row's panel
    std::string idTexts[kMaxRows];  // identifier of each row's panel, decimal
    std::string names[kMaxRows];    // name of each row's panel
    std::uint32_t timeOutSeconds = 0;
    std::int32_t timeRelease = 0;  // check box 1011: 1 checked

private:
    // Moves the members into the controls, or (save) the controls into the
    // members with validation; false after a refused field, whose message
    // has been shown.
    bool UpdateData(bool save);
    bool Refuse(int control, const char* message);
    // Writes every row's record, then the system record; false at the first
    // that did not reach the registry.
    bool SaveRecords();
    bool SystemRecordStored();

    CordaneView& view_;
    bool okEnabled_ = false;
    bool timeOutEnabled_ = false;
};

}  // namespace cordane
