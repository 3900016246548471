#include "main_dlg.h"

namespace velmic {
namespace {

constexpr bool kSavedSet = true;
constexpr bool kWorkingSet = false;

unsigned Milliseconds(std::int16_t speed) { return static_cast<unsigned>(speed); }

}  // namespace

SliderPositions MainDlg::Positions() {
    SliderPositions positions;
    for (Slider slider : kSliders) positions[slider] = view_.SliderPosition(slider);
    return positions;
}

void MainDlg::Enter(DialogState state) {
    state_ = state;
    view_.SetEnabled(Button::OkBtn, state == DialogState::Changed || state == DialogState::Applied);
    view_.SetEnabled(Button::ApplyBtn, state == DialogState::Changed);
}

bool MainDlg::Form_Load() {
    const Reading<ClickSettings> settings = access_.GetSettings(kSavedSet);
    if (!settings.Ok()) {
        Fail(settings.result);
        return false;
    }
    const ClickSettings& saved = settings.value;
    savedSpeed_ = saved.speed;
    const SliderPositions positions = PositionsFromValues(saved);
    for (Slider slider : kSliders) view_.SetSliderPosition(slider, positions[slider]);
    inEffect_ = Positions();

    const Reading<bool> sound = access_.GetClickSound(kSavedSet);
    if (!sound.Ok()) {
        Fail(sound.result);
        return false;
    }
    view_.SetClickSound(sound.value);
    // The speed as read, not as the slider rounds it.
    view_.SetDoubleClickTime(Milliseconds(saved.speed));
    ClickPicState = false;
    DClickPicState = false;
    opened_ = true;
    Enter(DialogState::Unchanged);
    return true;
}

// The four values of the sliders into the working set, the speed into the
// Windows double-click time.
bool MainDlg::Preview() {
    inEffect_ = Positions();
    const ClickSettings values = ValuesFromPositions(inEffect_);
    const Result result = access_.SetSettings(values, kWorkingSet);
    if (result != Result::kOk) {
        Fail(result);
        return false;
    }
    view_.SetDoubleClickTime(Milliseconds(LimitSettings(values).speed));
    Enter(DialogState::Changed);
    return true;
}

bool MainDlg::ClickSoundStep() {
    const Result result = access_.SetClickSound(view_.ClickSoundChecked(), kWorkingSet);
    if (result != Result::kOk) {
        Fail(result);
        return false;
    }
    Enter(DialogState::Changed);
    return true;
}

// OK and Apply: the four values and the sound flag into the saved set.
bool MainDlg::SaveValues() {
    const ClickSettings values = LimitSettings(ValuesFromPositions(Positions()));
    Result result = access_.SetSettings(values, kSavedSet);
    if (result != Result::kOk) {
        Fail(result);
        return false;
    }
    savedSpeed_ = values.speed;
    result = access_.SetClickSound(view_.ClickSoundChecked(), kSavedSet);
    if (result != Result::kOk) {
        Fail(result);
        return false;
    }
    view_.SetDoubleClickTime(Milliseconds(values.speed));
    return true;
}

void MainDlg::Slider_Change(Slider /*slider*/) {
    const Entry entry(reentry_);
    if (!entry || state_ == DialogState::Closed || Positions() == inEffect_) return;
    Preview();
}

void MainDlg::ClickSound_Click() {
    const Entry entry(reentry_);
    if (!entry || state_ == DialogState::Closed) return;
    ClickSoundStep();
}

void MainDlg::OkBtn_Click() {
    const Entry entry(reentry_);
    // A disabled OK (Enter on an unchanged dialog) saves nothing.
    if (!entry || state_ == DialogState::Closed || state_ == DialogState::Unchanged) return;
    if (SaveValues()) Close(true);
}

void MainDlg::ApplyBtn_Click() {
    const Entry entry(reentry_);
    if (!entry || state_ != DialogState::Changed) return;
    if (SaveValues()) Enter(DialogState::Applied);
}

void MainDlg::CancelBtn_Click() {
    const Entry entry(reentry_);
    if (!entry || state_ == DialogState::Closed) return;
    Close(true);
}

// The default positions and the sound on. What the sliders then show is
// put into effect like a change by the user, so the panel, the double-click
// time and OK and Apply follow.
void MainDlg::SetDefaultBtn_Click() {
    const Entry entry(reentry_);
    if (!entry || state_ == DialogState::Closed) return;
    for (Slider slider : kSliders) view_.SetSliderPosition(slider, kDefaultPositions[slider]);
    const bool wasChecked = view_.ClickSoundChecked();
    view_.SetClickSound(true);
    if (Positions() != inEffect_ && !Preview()) return;
    if (!wasChecked) ClickSoundStep();
}

void MainDlg::ShowNextPicture(TestArea area, bool* state, const char* first, const char* second) {
    view_.Beep();
    // A file that cannot be loaded leaves the picture as it was.
    view_.ShowPicture(area, *state ? first : second);
    *state = !*state;
}

void MainDlg::ClickTestArea_Click() {
    const Entry entry(reentry_);
    if (!entry || state_ == DialogState::Closed) return;
    ShowNextPicture(TestArea::ClickTestArea, &ClickPicState, "single1.bmp", "single2.bmp");
}

void MainDlg::DClickTestArea_DblClick() {
    const Entry entry(reentry_);
    if (!entry || state_ == DialogState::Closed) return;
    ShowNextPicture(TestArea::DClickTestArea, &DClickPicState, "double1.bmp", "double2.bmp");
}

void MainDlg::Unload() { Close(false); }

// A failed call closes the dialog. After a reported failure the program
// ends, so the closing step's own failures add no further boxes.
void MainDlg::Fail(Result result) {
    if (result == Result::kCritical) access_.MuteDiagnostics(true);
    Close(true);
}

void MainDlg::Close(bool itself) {
    if (state_ == DialogState::Closed) return;
    state_ = DialogState::Closed;
    ClosingStep();
    if (itself && closedItself_) closedItself_();
}

// The saved set back into the working set of the panel the dialog edited,
// and, when the dialog had opened, the saved speed into the double-click
// time. The first failure skips the remaining calls; the double-click time
// still goes back to the saved speed last known. The settings calls address
// the polled panel again afterwards.
void MainDlg::ClosingStep() {
    const std::int16_t polledIndex = access_.ActivePanelIndex;
    std::optional<std::int16_t> speed = RestoreSavedSet();
    if (!speed) speed = savedSpeed_;
    // A dialog that never opened never changed the double-click time.
    if (speed && opened_) view_.SetDoubleClickTime(Milliseconds(*speed));
    access_.ActivePanelIndex = polledIndex;
}

// The bound panel's saved set into its working set, stopping at the first
// failure; the saved speed when it could be read.
std::optional<std::int16_t> MainDlg::RestoreSavedSet() {
    if (access_.FindPanel(panel_.id, panel_.index) != Result::kOk) return std::nullopt;
    const Reading<ClickSettings> saved = access_.GetSettings(kSavedSet);
    if (!saved.Ok()) return std::nullopt;
    if (access_.SetSettings(saved.value, kWorkingSet) == Result::kOk) {
        const Reading<bool> sound = access_.GetClickSound(kSavedSet);
        if (sound.Ok()) access_.SetClickSound(sound.value, kWorkingSet);
    }
    return saved.value.speed;
}

}  // namespace velmic
