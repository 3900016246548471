#include "frm_main.h"

namespace gorvat {
namespace {

std::string Decimal(long long value) { return std::to_string(value); }

// How often the panel list is read again when the panel set keeps changing
// while it is read.
constexpr int kFindAttempts = 3;

}  // namespace

std::string frmMain::Failure(TavloStatus status) { return kHelpIoctlFailed + Decimal(status); }

void frmMain::HelpLine(const std::string& text) { view_.SetText(Control::textMessage, text); }

void frmMain::Form_Load() {
    stamp = 0;
    const double W = view_.ScreenWidth();
    const double H = view_.ScreenHeight();
    targets = PlaceTargets(W, H);

    const double cx = W / 2;
    const double cy = RoundHalfEven16(H / 2);
    // The frame sits above the centre line, its lower edge 0.3 of its height
    // above it; Cancel sits just below the line. Both are centred across.
    view_.Move(Control::areaMessage, cx - 0.5 * kAreaMessageSize.width, cy - 1.3 * kAreaMessageSize.height);
    view_.Move(Control::QuitButton, cx - kQuitButtonSize.width / 2, cy);

    HelpLine(kHelpStart);
    CalState = CalStep::StartTouch;
    view_.MakeTopmost();
}

void frmMain::Form_MouseDown(int Button, int /*Shift*/, double X, double Y) {
    // A touch arrives as the left button; every other press is ignored.
    if ((Button & kLeftButton) == 0 || closed_) return;
    switch (CalState) {
    case CalStep::StartTouch:
        StartTouch();
        break;
    case CalStep::FirstMark:
        FirstMark(X, Y);
        break;
    case CalStep::SecondMark:
        SecondMark(X, Y);
        break;
    case CalStep::Over:
        break;
    }
}

void frmMain::Form_MouseMove(int /*Button*/, int /*Shift*/, double X, double Y) {
    view_.SetText(Control::DbgSizeX, Decimal(RoundHalfEven(view_.ScreenWidth())));
    view_.SetText(Control::DbgSizeY, Decimal(RoundHalfEven(view_.ScreenHeight())));
    view_.SetText(Control::DbgPosX, Decimal(RoundHalfEven(X)));
    view_.SetText(Control::DbgPosY, Decimal(RoundHalfEven(Y)));
}

// The mark never hides a touch: a press on it is a press at the same point
// of the window.
void frmMain::picPoint_MouseDown(int Button, int Shift, double X, double Y) {
    Form_MouseDown(Button, Shift, X + view_.Left(Control::picPoint), Y + view_.Top(Control::picPoint));
}

void frmMain::picPoint_MouseMove(int Button, int Shift, double X, double Y) {
    Form_MouseMove(Button, Shift, X + view_.Left(Control::picPoint), Y + view_.Top(Control::picPoint));
}

// Step 0: find the active panel, keep its saved calibration and let it
// report raw positions while the marks are touched.
void frmMain::StartTouch() {
    if (searching_) return;  // the search timer is already at work
    HelpLine(kHelpFirstMark);
    if (SearchPanel()) {
        BeginMarks();
        return;
    }
    // No panel delivers touches yet. Try again at a steady pace, so the
    // window, its help line and Cancel keep working meanwhile.
    searching_ = true;
    view_.StartSearchTimer(kPanelSearchIntervalMs);
}

void frmMain::SearchTimer_Timer() {
    if (!searching_ || closed_) return;
    if (!SearchPanel()) return;
    StopSearching();
    // The help line keeps the wait's text: the mark itself now shows where
    // to touch.
    BeginMarks();
}

// One try: the panel count and a fresh stamp are read every time, so a
// panel attached or enabled meanwhile is found. The first panel whose
// touches are delivered as pointer input is the active one.
void frmMain::StopSearching() {
    if (!searching_) return;
    searching_ = false;
    view_.StopSearchTimer();
}

bool frmMain::SearchPanel() {
    std::uint8_t count = 0;
    TavloStatus last = device_.GetDevices(&count);
    last = device_.NeedUpdate(&stamp);
    for (unsigned i = 0; i < count; ++i) {
        std::uint8_t enable = 0;
        last = device_.GetPointdataEnable(&stamp, i, &enable);
        if (last == TavloOk && enable == 1) {
            PanelNo = static_cast<std::uint8_t>(i);
            return true;
        }
    }
    HelpLine("All panels(" + Decimal(count) + ") Disable. (Touch me!)" + Decimal(last) +
             Decimal(static_cast<std::int16_t>(stamp)));
    return false;
}

void frmMain::BeginMarks() {
    view_.SetText(Control::DbgMessage, "( " + Decimal(PanelNo) + " )");
    PlaceMark(targets.TargetX1, targets.TargetY1);
    view_.SetEnabled(Control::picPoint, true);
    view_.SetVisible(Control::picPoint, true);

    // From here on the working set may change: every way out restores it.
    workingSetChanged_ = true;
    // The panel's identifier finds it again should the panel numbers shift
    // during the run (a panel attached or removed).
    where_ = Where::Known;
    panelIdKnown_ = device_.GetPanelId(&stamp, PanelNo, &panelId_) == TavloOk;
    TavloStatus status = device_.GetCalibrationData(&stamp, PanelNo, OrgCal.data(), kSavedSet);
    orgCalRead_ = status == TavloOk;
    if (status != TavloOk) HelpLine(Failure(status));
    // The identity lets the panel report its raw readings during the touches.
    status = device_.SetCalibrationData(&stamp, PanelNo, kIdentityCalibration.data(), kWorkingSet);
    if (status != TavloOk) HelpLine(Failure(status));
    CalState = CalStep::FirstMark;
}

void frmMain::PlaceMark(double centreX, double centreY) {
    view_.Move(Control::picPoint, centreX - kPicPointSize.width / 2, centreY - kPicPointSize.height / 2);
}

// Step 1: the touch on the first mark, accepted wherever it lands.
void frmMain::FirstMark(double X, double Y) {
    view_.SetVisible(Control::areaMessage, false);
    StoreTouch(touches, 0, X, Y);
    const double stepX = static_cast<double>(targets.TargetX2 - targets.TargetX1) / 40;
    const double stepY = static_cast<double>(targets.TargetY2 - targets.TargetY1) / 40;
    for (int k = 0; k < 40; ++k) PlaceMark(targets.TargetX1 + stepX * k, targets.TargetY1 + stepY * k);
    PlaceMark(targets.TargetX2, targets.TargetY2);
    HelpLine(kHelpSecondMark);
    CalState = CalStep::SecondMark;
    view_.SetVisible(Control::areaMessage, true);
}

// Step 2: the touch on the second mark. Out of limits, or after a failed
// write, the next press is a new second touch with the same first touch.
void frmMain::SecondMark(double X, double Y) {
    StoreTouch(touches, 1, X, Y);
    const CalibrationResult result = ComputeCalibration(targets, touches, view_.ScreenWidth(), view_.ScreenHeight());
    if (!result.withinLimits) {
        HelpLine(kHelpLimitOver);
        return;
    }
    NewCal = result.record;
    view_.SetVisible(Control::picPoint, false);
    view_.SetEnabled(Control::picPoint, false);
    view_.SetText(Control::dbgXa, Decimal(NewCal[TavloXGain]));
    view_.SetText(Control::dbgXb, Decimal(NewCal[TavloXOffset]));
    view_.SetText(Control::dbgYa, Decimal(NewCal[TavloYGain]));
    view_.SetText(Control::dbgYb, Decimal(NewCal[TavloYOffset]));
    HelpLine(kHelpQuestion);

    // The new values are in use while the question is asked.
    // A trial refused because the panel set changed is not repeated: the
    // user sees the refusal and touches again, and that touch reaches the
    // calibrated panel wherever it is now.
    TavloStatus status = OnCalibratedPanel(
        [this](std::uint8_t panel) { return device_.SetCalibrationData(&stamp, panel, NewCal.data(), kWorkingSet); },
        false);
    if (status != TavloOk) {
        HelpLine(Failure(status));
        return;
    }
    view_.MakeTopmost();

    asking_ = true;
    const std::int16_t answer = view_.AskSure(2, 3, "Yes", "No", "", kSureTitle, kSureMessage);
    asking_ = false;

    if (answer == kAnswerYes) {
        status = OnCalibratedPanel(
            [this](std::uint8_t panel) { return device_.SetCalibrationData(&stamp, panel, NewCal.data(), kSavedSet); },
            true);
        if (status == TavloOk) {
            workingSetChanged_ = false;
            CalState = CalStep::Over;
            CloseWindow();
            return;
        }
        HelpLine(Failure(status));
        // The window was asked to close while the question was open: the
        // result is not saved, so it is undone.
        if (closeRequested_) Abandon();
        return;
    }
    // No (2), the time-out (-1), or the box closed without an answer (0).
    Abandon();
}

frmMain::Restore frmMain::RestoreWorkingSet() {
    if (!workingSetChanged_) return Restore::Done;
    // Only values read from the panel are ever written back: when the read
    // at the start touch failed, the saved set is read again now.
    if (!orgCalRead_) {
        CalibrationData saved = {0, 0, 0, 0};
        const TavloStatus status = OnCalibratedPanel(
            [this, &saved](std::uint8_t panel) {
                return device_.GetCalibrationData(&stamp, panel, saved.data(), kSavedSet);
            },
            true);
        if (where_ == Where::Gone) return PanelGone();
        if (status != TavloOk) {
            HelpLine(kHelpSavedUnreadable + Decimal(status) + kHelpNotRestored);
            return Restore::SavedUnreadable;
        }
        OrgCal = saved;
        orgCalRead_ = true;
    }
    const TavloStatus status = OnCalibratedPanel(
        [this](std::uint8_t panel) { return device_.SetCalibrationData(&stamp, panel, OrgCal.data(), kWorkingSet); },
        true);
    if (where_ == Where::Gone) return PanelGone();
    if (status != TavloOk) {
        HelpLine(Failure(status) + kHelpNotRestored);
        return Restore::WriteFailed;
    }
    workingSetChanged_ = false;
    return Restore::Done;
}

// The calibrated panel was detached during the run, and its working set
// with it: there is nothing left to put back, and the saved set was never
// changed, so the panel starts from it when attached again. The run ends
// as if the restore had been made.
frmMain::Restore frmMain::PanelGone() {
    workingSetChanged_ = false;
    return Restore::Done;
}

// A panel found gone went with a changed panel set: the status that
// reports it is the one the library gave the call then, 3.
template <typename Call>
TavloStatus frmMain::OnCalibratedPanel(Call call, bool again) {
    if (where_ == Where::Lost) {
        const Search search = FindPanelAgain();
        where_ = search.where;
        if (where_ == Where::Lost) return search.status;
    }
    if (where_ == Where::Gone) return TavloPanelsChanged;
    TavloStatus status = call(PanelNo);
    if (status != TavloPanelsChanged) return status;
    // The library refreshed the stamp and sent nothing; PanelNo may now
    // name another panel.
    const Search search = FindPanelAgain();
    where_ = search.where;
    if (where_ == Where::Gone) return status;
    if (where_ == Where::Lost) return search.status;
    if (!again) return status;
    status = call(PanelNo);
    if (status == TavloPanelsChanged) where_ = Where::Lost;
    return status;
}

frmMain::Search frmMain::FindPanelAgain() {
    // Without the identifier the calibrated panel cannot be told apart.
    if (!panelIdKnown_) return {Where::Lost, TavloPanelsChanged};
    for (int attempt = 0; attempt < kFindAttempts; ++attempt) {
        std::uint8_t count = 0;
        TavloStatus last = device_.NeedUpdate(&stamp);
        if (last == TavloOk) last = device_.GetDevices(&count);
        unsigned matches = 0;
        std::uint8_t match = 0;
        for (unsigned i = 0; i < count && last == TavloOk; ++i) {
            std::uint8_t id = 0;
            last = device_.GetPanelId(&stamp, i, &id);
            if (last == TavloOk && id == panelId_) {
                ++matches;
                match = static_cast<std::uint8_t>(i);
            }
        }
        if (last == TavloPanelsChanged) continue;  // changed again while being read
        if (last != TavloOk) return {Where::Lost, last};
        if (matches == 0) return {Where::Gone, TavloOk};
        // Two panels reporting the same identifier cannot be told apart:
        // neither is written.
        if (matches > 1) return {Where::Lost, TavloPanelsChanged};
        PanelNo = match;
        return {Where::Known, TavloOk};
    }
    return {Where::Lost, TavloPanelsChanged};
}

void frmMain::Abandon() {
    if (closed_) return;
    StopSearching();
    // When the start values cannot be put back (the saved set unreadable,
    // the write refused, the driver gone for a moment) the trial values
    // would stay in use after the program ended. The window stays open
    // instead, saying so; the next Cancel or close tries once more and
    // then ends the program whatever the driver answers.
    const Restore restore = RestoreWorkingSet();
    if (restore != Restore::Done && !restoreFailed_) {
        restoreFailed_ = true;
        CalState = CalStep::Over;
        view_.SetVisible(Control::picPoint, false);
        view_.SetEnabled(Control::picPoint, false);
        view_.SetVisible(Control::areaMessage, true);
        return;
    }
    CalState = CalStep::Over;
    CloseWindow();
}

void frmMain::QuitButton_Click() {
    if (asking_) return;  // the question box is modal; nothing reaches here
    Abandon();
}

void frmMain::Form_QueryUnload() {
    if (closed_) return;
    if (asking_) {
        // End the question without an answer; the procedure then undoes
        // the trial values and closes the window itself.
        closeRequested_ = true;
        view_.CloseQuestion();
        return;
    }
    Abandon();
}

void frmMain::Form_SessionEnd() {
    if (closed_) return;
    StopSearching();
    RestoreWorkingSet();
    // The window cannot stay open to report a failed restore now.
    restoreFailed_ = true;
    CalState = CalStep::Over;
    if (asking_) {
        closeRequested_ = true;
        view_.CloseQuestion();
        return;
    }
    CloseWindow();
}

void frmMain::CloseWindow() {
    if (closed_) return;
    closed_ = true;
    view_.Close();
}

}  // namespace gorvat
