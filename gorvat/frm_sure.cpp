#include "frm_sure.h"

namespace gorvat {

SurePlan PlanSureBox(int BoxType, int DefButton) {
    SurePlan plan;
    if (DefButton < 1 || DefButton > 3) return plan;
    if (BoxType == 2) {
        plan.set = ButtonSet::btnYesNo;
        plan.tabOrder = DefButton == 2 ? std::vector<int>{1, 0} : std::vector<int>{0, 1};
        // With two buttons, "3" means the first button first and a time-out.
        plan.timeoutMs = DefButton == 3 ? kSureTimeoutMs : 0;
    } else if (BoxType == 3) {
        plan.set = ButtonSet::btnYesNoCancel;
        static const std::vector<int> kOrders[] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}};
        plan.tabOrder = kOrders[DefButton - 1];
    } else {
        return plan;
    }
    plan.valid = true;
    return plan;
}

void frmSure::Reset() {
    RetCode = kSureNoAnswer;
    answered_ = false;
}

void frmSure::Answer(ButtonSet set, int index) {
    // A second event (a press queued behind the time-out, a click on a
    // button of the hidden set) must not change the answer given.
    if (answered_ || index < 0 || index >= ButtonCount(set)) return;
    answered_ = true;
    view_.StopTimer();
    RetCode = static_cast<std::int16_t>(index + 1);
    view_.EndModal();
}

void frmSure::btnYesNo_Click(int index) { Answer(ButtonSet::btnYesNo, index); }

void frmSure::btnYesNoCancel_Click(int index) { Answer(ButtonSet::btnYesNoCancel, index); }

void frmSure::TimeOver_Timer() {
    view_.StopTimer();
    if (answered_) return;
    answered_ = true;
    view_.Beep();
    RetCode = kSureTimedOut;
    view_.Unload();
}

void frmSure::Form_QueryUnload() {
    if (answered_) return;
    answered_ = true;
    view_.StopTimer();
    view_.EndModal();
}

}  // namespace gorvat
