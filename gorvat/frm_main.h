// frmMain, portable part: the calibration procedure. Three touches lead the
// user from the start touch over the mark near the top-left corner to the
// mark near the bottom-right corner; the result is tried in the panel's
// working set at once and saved only when the user says Yes in time.
//
// The window is reached through CalView, the panel through the form tools'
// TavloIoctl binding. Every event of the window is one method here.
#pragma once

#include <cstdint>
#include <string>

#include "cal_math.h"
#include "cal_view.h"
#include "tavlo_ioctl.h"

namespace gorvat {

// Texts of the window.
inline constexpr const char* kHelpStart = "1. Touch anywhere on the screen to start the Calibration Setting Program.";
inline constexpr const char* kHelpFirstMark = "2. Touch the yellow '+' mark.";
inline constexpr const char* kHelpSecondMark = "3. Touch the '+' mark again.";
inline constexpr const char* kHelpLimitOver = "   The calibration is limit over!  Try again.";
inline constexpr const char* kHelpQuestion =
    "4. Select Save to keep the figure of calibration, Cancel to abort, Retry to return a beginning.";
inline constexpr const char* kHelpIoctlFailed = "Can't send the IOCTL!";
inline constexpr const char* kHelpSavedUnreadable = "Can't read the saved calibration!";
inline constexpr const char* kHelpNotRestored = "  The calibration in use was not restored.";
// The question's first button, "Yes", answers 1.
inline constexpr std::int16_t kAnswerYes = 1;
inline constexpr const char* kSureTitle = "Calibration data save";
inline constexpr const char* kSureMessage =
    "Do you wish to save this calibration data?\r\n(Automatic timeout after 15 sec. )";

// alt arguments of the calibration calls: the working set, and all bits
// set for the saved set.
inline constexpr std::uint32_t kWorkingSet = 0;
inline constexpr std::uint32_t kSavedSet = 0xFFFFFFFFu;

// Where the procedure stands; the values are the steps as counted in the
// help lines, less one.
enum class CalStep : std::int16_t {
    StartTouch = 0,  // waiting for the start touch (or for an enabled panel)
    FirstMark = 1,   // waiting for the touch on the first mark
    SecondMark = 2,  // waiting for the touch on the second mark
    Over = 3,        // the run is over: presses do nothing
};

class frmMain {
public:
    frmMain(tavlo::TavloIoctl& device, CalView& view) : device_(device), view_(view) {}

    // Window events.
    void Form_Load();
    void Form_MouseDown(int Button, int Shift, double X, double Y);
    void Form_MouseMove(int Button, int Shift, double X, double Y);
    void picPoint_MouseDown(int Button, int Shift, double X, double Y);
    void picPoint_MouseMove(int Button, int Shift, double X, double Y);
    void QuitButton_Click();
    // The panel-search timer fired.
    void SearchTimer_Timer();
    // The window is being closed by other means than the procedure (Alt+F4,
    // the task bar, the system menu): handled as Cancel. The window closes
    // through CalView::Close when it may.
    void Form_QueryUnload();
    // The session ends: the calibration in use is put back now, since the
    // window cannot stay open.
    void Form_SessionEnd();

    // State of the procedure, read by the window's tests.
    CalStep CalState = CalStep::StartTouch;
    std::uint16_t stamp = 0;
    std::uint8_t PanelNo = 0;
    CalibrationData OrgCal = {0, 0, 0, 0};
    CalibrationData NewCal = {0, 0, 0, 0};
    Targets targets;
    Touches touches;

    bool Searching() const { return searching_; }
    // True once the working set may differ from the saved set, until the
    // result is saved or the saved values are back in effect.
    bool WorkingSetChanged() const { return workingSetChanged_; }

private:
    void StartTouch();
    bool SearchPanel();
    void StopSearching();
    void BeginMarks();
    void FirstMark(double X, double Y);
    void SecondMark(double X, double Y);
    void PlaceMark(double centreX, double centreY);
    // Outcome of putting the saved calibration back into the working set.
    enum class Restore {
        Done,             // the saved values are in effect (or were never changed)
        SavedUnreadable,  // no values read from the panel: nothing was written
        WriteFailed,      // the write of the saved values was refused
    };
    // Puts the saved calibration back into the working set; when that fails
    // the reason is in the help line.
    Restore RestoreWorkingSet();
    Restore PanelGone();
    // Where the calibrated panel is among the driver's panels. Panel numbers
    // shift when panels are attached or removed; the panel's own identifier
    // does not, so that is what the panel is found by again.
    enum class Where {
        Known,  // PanelNo is the calibrated panel
        Lost,   // the panel set changed and the panel was not found again yet
        Gone,   // no attached panel reports the calibrated panel's identifier
    };
    // Runs `call` with the number of the calibrated panel. When the panel
    // set changed since the stamp was taken, the panel is looked for again
    // by its identifier and, with `again`, `call` runs once more there. No
    // call is ever made on another panel: while the panel cannot be told
    // apart, and once it is gone, the result is TavloPanelsChanged.
    template <typename Call>
    TavloStatus OnCalibratedPanel(Call call, bool again);
    // Where the panel was found, and when it was lost, why.
    struct Search {
        Where where = Where::Lost;
        TavloStatus status = TavloPanelsChanged;
    };
    // Refreshes the stamp and the panel list and looks for the panel that
    // reports `panelId_`.
    Search FindPanelAgain();
    // No, time-out, Cancel or close: undo and end the program; when the
    // undo fails the first time, the window stays open to say so.
    void Abandon();
    void CloseWindow();
    void HelpLine(const std::string& text);
    static std::string Failure(TavloStatus status);

    tavlo::TavloIoctl& device_;
    CalView& view_;
    bool searching_ = false;
    bool orgCalRead_ = false;
    bool workingSetChanged_ = false;
    bool asking_ = false;
    bool closeRequested_ = false;
    bool restoreFailed_ = false;
    bool closed_ = false;
    // The identifier the calibrated panel reported at the start touch.
    std::uint8_t panelId_ = 0;
    bool panelIdKnown_ = false;
    Where where_ = Where::Known;
};

}  // namespace gorvat
