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

// A box that behaves like the window: one line of text is 195 twips high,
// and while it is "shown" the test's script plays the user (or the clock).
class FakeSureView final : public SureFormView {
public:
    void Load() override {
        loaded = true;
        ++loads;
        height = 1725;
        labelText = "MessageArea";
        for (int i = 0; i < 2; ++i) tops[{ButtonSet::btnYesNo, i}] = 720;
        for (int i = 0; i < 3; ++i) tops[{ButtonSet::btnYesNoCancel, i}] = 720;
    }
    void Unload() override {
        loaded = false;
        showing = false;
        ++unloads;
    }
    double ScreenWidth() override { return 15360; }
    double Width() override { return 4710; }
    double Height() override { return height; }
    void SetLeft(double value) override { left = value; }
    void SetHeight(double value) override { height = value; }
    void SetTitle(const std::string& value) override { title = value; }
    double LabelHeight() override {
        int lines = 1;
        for (std::size_t at = labelText.find("\r\n"); at != std::string::npos; at = labelText.find("\r\n", at + 2)) {
            ++lines;
        }
        return 195.0 * lines;
    }
    void SetLabelText(const std::string& text) override { labelText = text; }
    double ButtonTop(ButtonSet set, int index) override { return tops[{set, index}]; }
    void SetButtonTop(ButtonSet set, int index, double top) override { tops[{set, index}] = top; }
    void SetCaption(ButtonSet set, int index, const std::string& caption) override {
        captions[{set, index}] = caption;
    }
    void HideSet(ButtonSet set) override { hidden.push_back(set); }
    void SetTabOrder(ButtonSet set, const std::vector<int>& order) override {
        tabSet = set;
        tabOrder = order;
    }
    void StartTimer(unsigned ms) override {
        timerMs = ms;
        timerRunning = true;
    }
    void StopTimer() override { timerRunning = false; }
    void Beep() override { ++beeps; }
    void ShowModal() override {
        ++shows;
        showing = true;
        if (script) script();
    }
    void EndModal() override { showing = false; }

    bool loaded = false, showing = false, timerRunning = false;
    int loads = 0, unloads = 0, shows = 0, beeps = 0;
    unsigned timerMs = 0;
    double left = 0, height = 0;
    std::string title, labelText;
    std::map<std::pair<ButtonSet, int>, double> tops;
    std::map<std::pair<ButtonSet, int>, std::string> captions;
    std::vector<ButtonSet> hidden;
    ButtonSet tabSet = ButtonSet::btnYesNo;
    std::vector<int> tabOrder;
    std::function<void()> script;
};

class SureBoxTest : public ::testing::Test {
protected:
    std::int16_t Ask(std::int16_t boxType, std::int16_t defButton, const std::string& message = "Save?") {
        return SureMsgBox(form, boxType, defButton, "Yes", "No", "Later", "Calibration data save", message);
    }
    FakeSureView view;
    frmSure form{view};
};

TEST(PlanSureBoxTest, TabOrderAndTimeOutTable) {
    const struct {
        int boxType, defButton;
        bool valid;
        ButtonSet set;
        std::vector<int> order;
        unsigned timeout;
    } cases[] = {
        {2, 1, true, ButtonSet::btnYesNo, {0, 1}, 0},
        {2, 2, true, ButtonSet::btnYesNo, {1, 0}, 0},
        {2, 3, true, ButtonSet::btnYesNo, {0, 1}, 15000},
        {3, 1, true, ButtonSet::btnYesNoCancel, {0, 1, 2}, 0},
        {3, 2, true, ButtonSet::btnYesNoCancel, {1, 2, 0}, 0},
        {3, 3, true, ButtonSet::btnYesNoCancel, {2, 0, 1}, 0},
        {1, 1, false, ButtonSet::btnYesNo, {}, 0},
        {4, 1, false, ButtonSet::btnYesNo, {}, 0},
        {2, 0, false, ButtonSet::btnYesNo, {}, 0},
        {3, 4, false, ButtonSet::btnYesNo, {}, 0},
        {-1, -1, false, ButtonSet::btnYesNo, {}, 0},
    };
    for (const auto& c : cases) {
        const SurePlan plan = PlanSureBox(c.boxType, c.defButton);
        EXPECT_EQ(plan.valid, c.valid) << c.boxType << "/" << c.defButton;
        if (!c.valid) continue;
        EXPECT_EQ(plan.set, c.set) << c.boxType << "/" << c.defButton;
        EXPECT_EQ(plan.tabOrder, c.order) << c.boxType << "/" << c.defButton;
        EXPECT_EQ(plan.timeoutMs, c.timeout) << c.boxType << "/" << c.defButton;
    }
}

TEST_F(SureBoxTest, TimeOutEndsTheBoxWithOneBeep) {
    view.script = [&] {
        ASSERT_TRUE(view.timerRunning);
        form.TimeOver_Timer();
        form.TimeOver_Timer();  // a stray second tick changes nothing
    };
    EXPECT_EQ(Ask(2, 3), -1);
    EXPECT_EQ(view.timerMs, 15000u);
    EXPECT_EQ(view.beeps, 1);
    EXPECT_FALSE(view.timerRunning);
    EXPECT_FALSE(view.loaded);
}

TEST_F(SureBoxTest, ButtonsAnswerWithTheirPositionAndNoBeep) {
    for (int index : {0, 1}) {
        view.script = [&] {
            // Presses on buttons that do not exist are ignored.
            form.btnYesNo_Click(2);
            form.btnYesNo_Click(-1);
            form.btnYesNoCancel_Click(7);
            ASSERT_TRUE(view.showing);
            form.btnYesNo_Click(index);
            form.TimeOver_Timer();  // the time-out arriving after the press is void
        };
        EXPECT_EQ(Ask(2, 3), index + 1);
        EXPECT_EQ(view.beeps, 0);
        EXPECT_FALSE(view.timerRunning);
    }
    for (int index : {0, 1, 2}) {
        view.script = [&] { form.btnYesNoCancel_Click(index); };
        EXPECT_EQ(Ask(3, 1), index + 1);
    }
}

TEST_F(SureBoxTest, ClosedWithoutAnAnswerGivesZero) {
    view.script = [&] { form.Form_QueryUnload(); };
    EXPECT_EQ(Ask(2, 3), 0);
    EXPECT_FALSE(view.timerRunning);
    EXPECT_EQ(view.beeps, 0);
}

TEST_F(SureBoxTest, TwoButtonsShowCaptionsAndHideTheOtherSet) {
    view.script = [&] { form.btnYesNo_Click(0); };
    Ask(2, 2);
    EXPECT_EQ(view.captions[std::make_pair(ButtonSet::btnYesNo, 0)], "Yes");
    EXPECT_EQ(view.captions[std::make_pair(ButtonSet::btnYesNo, 1)], "No");
    EXPECT_EQ(view.captions.count(std::make_pair(ButtonSet::btnYesNoCancel, 0)), 0u);
    EXPECT_EQ(view.hidden, std::vector<ButtonSet>{ButtonSet::btnYesNoCancel});
    EXPECT_EQ(view.tabOrder, (std::vector<int>{1, 0}));
    EXPECT_EQ(view.title, "Calibration data save");
    EXPECT_DOUBLE_EQ(view.left, 15360 / 2 - 4710 / 2);
    EXPECT_EQ(view.timerMs, 0u);
}

TEST_F(SureBoxTest, ThreeButtonsNeverTimeOut) {
    for (int defButton : {1, 2, 3}) {
        const auto def = static_cast<std::int16_t>(defButton);
        view.timerMs = 0;
        view.script = [&] { form.btnYesNoCancel_Click(2); };
        EXPECT_EQ(Ask(3, def), 3);
        EXPECT_EQ(view.timerMs, 0u);
        EXPECT_EQ(view.hidden.back(), ButtonSet::btnYesNo);
        EXPECT_EQ(view.captions[std::make_pair(ButtonSet::btnYesNoCancel, 2)], "Later");
    }
    EXPECT_EQ(view.tabOrder.front(), 2);  // 3/3: the right button holds the focus
}

TEST_F(SureBoxTest, BoxGrowsWithTheMessage) {
    const struct {
        std::string message;
        double growth;
    } cases[] = {
        {"One line", 0},
        {"Do you wish to save this calibration data?\r\n(Automatic timeout after 15 sec. )", 195},
        {"a\r\nb\r\nc", 390},
    };
    for (const auto& c : cases) {
        view.script = [&] { form.btnYesNo_Click(0); };
        Ask(2, 3, c.message);
        EXPECT_DOUBLE_EQ(view.height, 1725 + c.growth) << c.message;
        for (const auto& [key, top] : view.tops) EXPECT_DOUBLE_EQ(top, 720 + c.growth) << c.message;
        EXPECT_EQ(view.labelText, c.message);
    }
}

TEST_F(SureBoxTest, BadArgumentsGiveZeroWithoutABox) {
    const std::pair<std::int16_t, std::int16_t> cases[] = {{1, 1}, {4, 1}, {2, 0}, {2, 4}, {3, 0}};
    for (const auto& [boxType, defButton] : cases) {
        EXPECT_EQ(Ask(boxType, defButton), 0) << boxType << "/" << defButton;
    }
    EXPECT_EQ(view.shows, 0);
    EXPECT_EQ(view.loads, view.unloads);
    EXPECT_FALSE(view.timerRunning);
}

}  // namespace
}  // namespace gorvat
