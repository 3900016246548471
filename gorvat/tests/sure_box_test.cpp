// The question box: tab orders, the time-out with its one beep, the height
// that follows the message, and result 0 without a box for bad arguments.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "frm_sure.h"
#include "mdl_main.h"

namespace gorvat {
namespace {

using Key = std::pair<ButtonSet, int>;

// A box that behaves like the window: one line of text is 195 twips high,
// and while it is "shown" the test's script plays the user (or the clock).
class FakeSureView final : public SureFormView {
public:
    void Load() override {
        loaded = true;
        height = 1725;
        labelText = "MessageArea";
        for (ButtonSet set : {ButtonSet::btnYesNo, ButtonSet::btnYesNoCancel}) {
            for (int i = 0; i < ButtonCount(set); ++i) tops[{set, i}] = 720;
        }
    }
    void Unload() override { loaded = modal = false; }
    double ScreenWidth() override { return 15360; }
    double Width() override { return 4710; }
    double Height() override { return height; }
    void SetLeft(double value) override { left = value; }
    void SetHeight(double value) override { height = value; }
    void SetTitle(const std::string& value) override { title = value; }
    double LabelHeight() override {
        double lines = 1;
        for (auto at = labelText.find("\r\n"); at != std::string::npos; at = labelText.find("\r\n", at + 2)) ++lines;
        return 195 * lines;
    }
    void SetLabelText(const std::string& text) override { labelText = text; }
    double ButtonTop(ButtonSet set, int index) override { return tops[{set, index}]; }
    void SetButtonTop(ButtonSet set, int index, double top) override { tops[{set, index}] = top; }
    void SetCaption(ButtonSet set, int index, const std::string& text) override { captions[{set, index}] = text; }
    void HideSet(ButtonSet set) override { hidden.push_back(set); }
    void SetTabOrder(ButtonSet, const std::vector<int>& order) override { tabOrder = order; }
    void StartTimer(unsigned ms) override { timerMs = ms; }
    void StopTimer() override { timerMs = 0; }
    void Beep() override { ++beeps; }
    void ShowModal() override {
        ++shows;
        modal = true;
        if (script) script();
        EXPECT_FALSE(modal) << "the box still shown";
    }
    void EndModal() override { modal = false; }

    bool loaded = false, modal = false;
    int shows = 0, beeps = 0;
    unsigned timerMs = 0;
    double left = 0, height = 0;
    std::string title, labelText;
    std::map<Key, double> tops;
    std::map<Key, std::string> captions;
    std::vector<ButtonSet> hidden;
    std::vector<int> tabOrder;
    std::function<void()> script;
};

// Each box is answered by a script of events while it is shown: presses on
// buttons that do not exist and events after the answer change nothing.
// The first button in the tab order holds the focus; the box and its
// buttons grow with the message. Bad arguments give 0 without a box.
TEST(SureBoxTest, AnswersTimeOutAndClose) {
    FakeSureView view;
    frmSure form{view};
    const auto yesNo = [&form](int i) { return [&form, i] { form.btnYesNo_Click(i); }; };
    const auto cancelSet = [&form](int i) { return [&form, i] { form.btnYesNoCancel_Click(i); }; };
    const auto tick = [&form] { form.TimeOver_Timer(); };
    const auto close = [&form] { form.Form_QueryUnload(); };
    const std::string twoLines = "Do you wish to save this calibration data?\r\n(Automatic timeout after 15 sec. )";
    const struct {
        std::int16_t boxType, defButton;
        std::vector<int> order;  // empty: no box
        unsigned timeout;
        std::vector<std::function<void()>> events;
        std::int16_t answer;
        int beeps;
        std::string message = "One line";
        double growth = 0;
    } cases[] = {
        {2, 1, {0, 1}, 0, {yesNo(2), yesNo(-1), cancelSet(7), yesNo(0), tick}, 1, 0},
        {2, 2, {1, 0}, 0, {yesNo(1), yesNo(0)}, 2, 0, twoLines, 195},
        {2, 3, {0, 1}, 15000, {tick, tick, yesNo(0)}, -1, 1},  // a stray second tick changes nothing
        {2, 3, {0, 1}, 15000, {yesNo(1), yesNo(0)}, 2, 0},
        {2, 3, {0, 1}, 15000, {close, yesNo(0)}, 0, 0},
        {3, 1, {0, 1, 2}, 0, {cancelSet(0), yesNo(1)}, 1, 0, "a\r\nb\r\nc", 390},
        {3, 2, {1, 2, 0}, 0, {cancelSet(3), cancelSet(1)}, 2, 0},
        {3, 3, {2, 0, 1}, 0, {cancelSet(2), close}, 3, 0},
        {1, 1, {}, 0, {}, 0, 0},
        {4, 1, {}, 0, {}, 0, 0},
        {2, 0, {}, 0, {}, 0, 0},
        {2, 4, {}, 0, {}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.boxType << "/" << c.defButton << " answered " << c.answer);
        view = FakeSureView();
        view.script = [&] {
            EXPECT_EQ(view.timerMs, c.timeout);
            for (const auto& event : c.events) event();
        };
        const std::int16_t answer =
            SureMsgBox(form, c.boxType, c.defButton, "Yes", "No", "Later", "Calibration data save", c.message);
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(view.shows, c.order.empty() ? 0 : 1);
        EXPECT_EQ(view.beeps, c.beeps);
        EXPECT_EQ(view.timerMs, 0u);
        EXPECT_FALSE(view.loaded);
        EXPECT_EQ(view.tabOrder, c.order);
        if (c.order.empty()) continue;
        EXPECT_EQ(view.title, "Calibration data save");
        EXPECT_EQ(view.labelText, c.message);
        EXPECT_DOUBLE_EQ(view.left, 15360 / 2 - 4710 / 2);
        EXPECT_DOUBLE_EQ(view.height, 1725 + c.growth);
        for (const auto& [key, top] : view.tops) EXPECT_DOUBLE_EQ(top, 720 + c.growth);
        const ButtonSet shown = c.boxType == 2 ? ButtonSet::btnYesNo : ButtonSet::btnYesNoCancel;
        const ButtonSet other = c.boxType == 2 ? ButtonSet::btnYesNoCancel : ButtonSet::btnYesNo;
        EXPECT_EQ(view.hidden, std::vector<ButtonSet>{other});
        std::map<Key, std::string> captions = {{{shown, 0}, "Yes"}, {{shown, 1}, "No"}};
        if (c.boxType == 3) captions[{shown, 2}] = "Later";
        EXPECT_EQ(view.captions, captions);
    }
}

}  // namespace
}  // namespace gorvat
