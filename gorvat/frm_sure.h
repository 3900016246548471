// frmSure: the question box with an optional time-out. This is its portable
// part: the tab-order table, the answer it records, and what happens on a
// button press, on the time-out and when the box is closed without an
// answer. The window itself sits behind SureFormView.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gorvat {

// The two button sets of the box; both lie on the same row and a box shows
// one of them. Index 0 is the left button of each set.
enum class ButtonSet { btnYesNo, btnYesNoCancel };

constexpr int ButtonCount(ButtonSet set) { return set == ButtonSet::btnYesNo ? 2 : 3; }

constexpr unsigned kSureTimeoutMs = 15000;

// What a box answers besides the number of the pressed button (1 for the
// left one).
constexpr std::int16_t kSureNoAnswer = 0;   // closed without a button
constexpr std::int16_t kSureTimedOut = -1;  // ended by the time-out

// Which set a box shows, the order in which its buttons take the focus
// (the first holds it when the box opens) and its time-out (0: none).
struct SurePlan {
    bool valid = false;
    ButtonSet set = ButtonSet::btnYesNo;
    std::vector<int> tabOrder;
    unsigned timeoutMs = 0;
};

// BoxType 2 or 3 buttons, DefButton 1..3; anything else is not valid.
SurePlan PlanSureBox(int BoxType, int DefButton);

// The box window. Sizes and positions are in twips.
class SureFormView {
public:
    // Creates the box hidden, at its design size and layout.
    virtual void Load() = 0;
    // Destroys it again; harmless when it is not loaded.
    virtual void Unload() = 0;

    virtual double ScreenWidth() = 0;
    virtual double Width() = 0;
    virtual double Height() = 0;
    virtual void SetLeft(double left) = 0;
    virtual void SetHeight(double height) = 0;
    virtual void SetTitle(const std::string& title) = 0;

    // The message label grows and shrinks with its text.
    virtual double LabelHeight() = 0;
    virtual void SetLabelText(const std::string& text) = 0;

    virtual double ButtonTop(ButtonSet set, int index) = 0;
    virtual void SetButtonTop(ButtonSet set, int index, double top) = 0;
    virtual void SetCaption(ButtonSet set, int index, const std::string& caption) = 0;
    // Hides and disables a whole set.
    virtual void HideSet(ButtonSet set) = 0;
    virtual void SetTabOrder(ButtonSet set, const std::vector<int>& order) = 0;

    // TimeOver: one-shot use; the box calls StopTimer when it fires.
    virtual void StartTimer(unsigned milliseconds) = 0;
    virtual void StopTimer() = 0;
    virtual void Beep() = 0;

    // Shows the box modally; returns when EndModal or Unload was called.
    virtual void ShowModal() = 0;
    // Hides the box, which ends its modal display.
    virtual void EndModal() = 0;

protected:
    ~SureFormView() = default;
};

class frmSure {
public:
    explicit frmSure(SureFormView& view) : view_(view) {}

    SureFormView& View() { return view_; }

    // Called when the box is loaded: no answer yet.
    void Reset();

    void btnYesNo_Click(int index);
    void btnYesNoCancel_Click(int index);
    void TimeOver_Timer();
    // The box was closed without a button (its close box, Alt+F4, or the
    // program closing it): it ends with RetCode left at 0.
    void Form_QueryUnload();

    // Index + 1 of the pressed button, -1 after the time-out, 0 when the
    // box ended without an answer.
    std::int16_t RetCode = kSureNoAnswer;

private:
    void Answer(ButtonSet set, int index);

    SureFormView& view_;
    bool answered_ = false;
};

}  // namespace gorvat
