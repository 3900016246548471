// The question box: tab orders, the time-out with its one beep, the height
// that follows the message, and result 0 without a box for bad arguments.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "frm_sure.h"
#include "mdl_main.h"
#include "row_name.h"

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

// What the user (or the clock) does while a box is shown.
enum class Kind { YesNo, YesNoCancel, Tick, Close };
struct Event {
    Kind kind = Kind::Tick;
    int index = 0;  // the button, for a press
};
Event YesNo(int index) { return {Kind::YesNo, index}; }
Event Cancel(int index) { return {Kind::YesNoCancel, index}; }
constexpr Event kTick = {Kind::Tick};
constexpr Event kClose = {Kind::Close};

const std::string kTwoLines = "Do you wish to save this calibration data?\r\n(Automatic timeout after 15 sec. )";

struct SureCase {
    const char* what = "";
    std::int16_t boxType = 0, defButton = 0;
    std::vector<int> order = {};  // empty: no box
    unsigned timeout = 0;
    std::vector<Event> events = {};
    std::int16_t answer = 0;
    int beeps = 0;
    std::string message = "One line";
    double growth = 0;
};

class SureBoxTest : public ::testing::TestWithParam<SureCase> {};

// Each box is answered by a script of events while it is shown: presses on
// buttons that do not exist and events after the answer change nothing.
// The first button in the tab order holds the focus; the box and its
// buttons grow with the message. Bad arguments give 0 without a box.
TEST_P(SureBoxTest, AnswersTimeOutAndClose) {
    const SureCase& c = GetParam();
    FakeSureView view;
    frmSure form{view};
    view.script = [&] {
        EXPECT_EQ(view.timerMs, c.timeout);
        for (const Event& event : c.events) {
            switch (event.kind) {
            case Kind::YesNo:
                form.btnYesNo_Click(event.index);
                break;
            case Kind::YesNoCancel:
                form.btnYesNoCancel_Click(event.index);
                break;
            case Kind::Tick:
                form.TimeOver_Timer();
                break;
            case Kind::Close:
                form.Form_QueryUnload();
                break;
            }
        }
    };
    const std::int16_t answer =
        SureMsgBox(form, c.boxType, c.defButton, "Yes", "No", "Later", "Calibration data save", c.message);
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(view.shows, c.order.empty() ? 0 : 1);
    EXPECT_EQ(view.beeps, c.beeps);
    EXPECT_EQ(view.timerMs, 0u);
    EXPECT_FALSE(view.loaded);
    EXPECT_EQ(view.tabOrder, c.order);
    if (c.order.empty()) return;
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

// clang-format off
INSTANTIATE_TEST_SUITE_P(Gorvat, SureBoxTest,
                         ::testing::Values(
        SureCase{.what = "two buttons, first default", .boxType = 2, .defButton = 1, .order = {0, 1},
                 .events = {YesNo(2), YesNo(-1), Cancel(7), YesNo(0), kTick}, .answer = 1},
        SureCase{.what = "two buttons, second default, two lines", .boxType = 2, .defButton = 2, .order = {1, 0},
                 .events = {YesNo(1), YesNo(0)}, .answer = 2, .message = kTwoLines, .growth = 195},
                                           // A stray second tick changes nothing.
        SureCase{.what = "two buttons, timed, time-out", .boxType = 2, .defButton = 3, .order = {0, 1},
                 .timeout = 15000, .events = {kTick, kTick, YesNo(0)}, .answer = kSureTimedOut, .beeps = 1},
        SureCase{.what = "two buttons, timed, second pressed", .boxType = 2, .defButton = 3, .order = {0, 1},
                 .timeout = 15000, .events = {YesNo(1), YesNo(0)}, .answer = 2},
        SureCase{.what = "two buttons, timed, closed", .boxType = 2, .defButton = 3, .order = {0, 1},
                 .timeout = 15000, .events = {kClose, YesNo(0)}, .answer = kSureNoAnswer},
        SureCase{.what = "three buttons, first default, three lines", .boxType = 3, .defButton = 1,
                 .order = {0, 1, 2}, .events = {Cancel(0), YesNo(1)}, .answer = 1, .message = "a\r\nb\r\nc",
                 .growth = 390},
        SureCase{.what = "three buttons, second default", .boxType = 3, .defButton = 2, .order = {1, 2, 0}, .events = {Cancel(3), Cancel(1)}, .answer = 2},
        SureCase{.what = "three buttons, third default", .boxType = 3, .defButton = 3, .order = {2, 0, 1}, .events = {Cancel(2), kClose}, .answer = 3},
                                           SureCase{.what = "box type 1", .boxType = 1, .defButton = 1},
                                           SureCase{.what = "box type 4", .boxType = 4, .defButton = 1},
                                           SureCase{.what = "default button 0", .boxType = 2, .defButton = 0},
                                           SureCase{.what = "default button 4", .boxType = 2, .defButton = 4}),
                         suite_test::RowName);
// clang-format on

// One form asks again after an answer: each box starts without one.
TEST(SureBoxReuseTest, EachBoxStartsWithoutAnAnswer) {
    FakeSureView view;
    frmSure form{view};
    view.script = [&form] { form.TimeOver_Timer(); };
    EXPECT_EQ(SureMsgBox(form, 2, 3, "Yes", "No", "", "t", "m"), kSureTimedOut);
    view.script = [&form] { form.btnYesNo_Click(1); };
    EXPECT_EQ(SureMsgBox(form, 2, 3, "Yes", "No", "", "t", "m"), 2);
    view.script = [&form] { form.Form_QueryUnload(); };
    EXPECT_EQ(SureMsgBox(form, 2, 1, "Yes", "No", "", "t", "m"), kSureNoAnswer);
}

}  // namespace
}  // namespace gorvat
