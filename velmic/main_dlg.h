// MainDlg, portable part: the settings dialog's handlers. Every change of a
// control is previewed at once in the panel's working set (and the speed in
// the Windows double-click time); OK and Apply store the values in the saved
// set; every close copies the saved set back into the working set.
//
// The dialog is bound to the panel it opened on (number and identifier):
// its closing step restores that panel, found again by its identifier,
// whichever panel the poll has found since.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

#include "main_view.h"
#include "reentry.h"
#include "tp_access.h"

namespace velmic {

struct BoundPanel {
    std::int16_t index = 0;
    std::uint8_t id = 0;
};

// Unchanged: OK and Apply disabled; Changed: both enabled; Applied: OK
// enabled, Apply disabled; Closed: the closing step has run.
enum class DialogState { Unchanged, Changed, Applied, Closed };

class MainDlg {
public:
    // `closedItself` runs when the dialog closed on its own (OK, Cancel,
    // the close box, a failed call): the program then ends.
    MainDlg(TpAccess& access, MainView& view, Reentry& reentry, BoundPanel panel, std::function<void()> closedItself)
        : access_(access), view_(view), reentry_(reentry), panel_(panel), closedItself_(std::move(closedItself)) {}

    // The opening step; false when it failed and the dialog closed again.
    bool Form_Load();

    // Window events; ignored while another handler runs and once closed.
    void Slider_Change(Slider slider);
    void ClickSound_Click();
    void OkBtn_Click();
    void ApplyBtn_Click();
    void CancelBtn_Click();  // also Esc and the close box
    void SetDefaultBtn_Click();
    void ClickTestArea_Click();
    void DClickTestArea_DblClick();

    // Closed by the start-up window: the closing step runs, nothing more.
    void Unload();

    DialogState State() const { return state_; }
    const BoundPanel& Panel() const { return panel_; }
    // The panel the dialog edits now has this number.
    void FollowPanel(std::int16_t index) { panel_.index = index; }
    bool ClickPicState = false;
    bool DClickPicState = false;

private:
    bool Preview();
    bool ClickSoundStep();
    bool SaveValues();
    void Fail(Result result);
    void Close(bool itself);
    void ClosingStep();
    std::optional<std::int16_t> RestoreSavedSet();
    void Enter(DialogState state);
    SliderPositions Positions();
    void ShowNextPicture(TestArea area, bool* state, const char* first, const char* second);

    TpAccess& access_;
    MainView& view_;
    Reentry& reentry_;
    BoundPanel panel_;
    std::function<void()> closedItself_;
    DialogState state_ = DialogState::Unchanged;
    // The opening step went through: the dialog was shown and set the
    // double-click time, which the closing step then puts back.
    bool opened_ = false;
    // The saved speed as last known (read at opening, written by OK or
    // Apply): where the closing step leaves the double-click time when it
    // cannot read the saved set.
    std::optional<std::int16_t> savedSpeed_;
    // The positions last put into effect (or shown at opening): a slider
    // released where it was changes nothing.
    SliderPositions inEffect_;
};

}  // namespace velmic
