#include "mdl_main.h"

#include "cal_math.h"

namespace gorvat {

std::int16_t SureMsgBox(frmSure& form, std::int16_t BoxType, std::int16_t DefButton, const std::string& Caption1,
                        const std::string& Caption2, const std::string& Caption3, const std::string& Title,
                        const std::string& Message) {
    SureFormView& view = form.View();
    const SurePlan plan = PlanSureBox(BoxType, DefButton);

    view.Load();
    form.Reset();
    // Centred horizontally; the vertical position stays as designed.
    view.SetLeft(view.ScreenWidth() / 2 - view.Width() / 2);
    view.SetTitle(Title);

    // The label grows with its text; the box and its buttons follow.
    const std::int16_t h0 = RoundHalfEven16(view.LabelHeight());
    view.SetLabelText(Message);
    const std::int16_t d = RoundHalfEven16(view.LabelHeight() - h0);
    view.SetHeight(view.Height() + d);
    for (ButtonSet set : {ButtonSet::btnYesNo, ButtonSet::btnYesNoCancel}) {
        for (int i = 0; i < ButtonCount(set); ++i) view.SetButtonTop(set, i, view.ButtonTop(set, i) + d);
    }

    std::int16_t result = kSureNoAnswer;
    if (plan.valid) {
        const std::string* captions[] = {&Caption1, &Caption2, &Caption3};
        const ButtonSet other = plan.set == ButtonSet::btnYesNo ? ButtonSet::btnYesNoCancel : ButtonSet::btnYesNo;
        for (int i = 0; i < ButtonCount(plan.set); ++i) view.SetCaption(plan.set, i, *captions[i]);
        view.HideSet(other);
        view.SetTabOrder(plan.set, plan.tabOrder);
        // The time-out counts from here, just before the box is shown, and
        // is not restarted by anything the user does.
        if (plan.timeoutMs != 0) view.StartTimer(plan.timeoutMs);
        view.ShowModal();
        result = form.RetCode;
    }
    view.Unload();
    return result;
}

}  // namespace gorvat
