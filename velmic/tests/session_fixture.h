// Whole sessions of Velmic: the program loaded against the simulated
// driver, its start-up check ticked by hand, its settings dialog played by
// a fake view.
#pragma once

#include <memory>

#include "start_dlg.h"
#include "velmic_fixture.h"

namespace velmic_test {

using velmic::DialogState;
using velmic::Phase;

inline const ClickSettings kSaved = {50, 20, 450, 30};
inline const ClickSettings kWorking = {80, 90, 700, 36};  // someone's earlier preview, never saved
inline const ClickSettings kDefaults = {30, 30, 400, 28};
inline constexpr std::uint8_t kId = 0x31;

class SessionTest : public VelmicTest {
public:
    void SetUp() override { Restart(); }
    // A fresh driver, desktop and program.
    void Restart() {
        VelmicTest::SetUp();
        desktop = Desktop();
        access.MuteDiagnostics(false);
        debug.boxes.clear();
        start.reset();
        view = std::make_unique<FakeStartView>(desktop);
        start = std::make_unique<velmic::StartDlg>(library, access, *view);
    }

    // One enabled panel holding kSaved (sound off) and kWorking (sound on),
    // the program loaded and the first tick done: the dialog is open.
    void Open(std::uint8_t panels = 1) {
        for (std::uint8_t i = 0; i + 1 < panels; ++i) Attach(static_cast<std::uint8_t>(0x20 + i), false);
        Attach(kId, true, kSaved, kWorking, false, true);
        start->Form_Load();
        start->MainTimer_Timer();
        ASSERT_EQ(start->State(), Phase::Editing);
    }
    FakeMainView& Dlg() { return *view->dialogs.back(); }
    velmic::MainDlg& Logic() { return *start->Settings(); }
    void Tick() { start->MainTimer_Timer(); }

    // The panel's two sets and the double-click time.
    void Expect(const ClickSettings& working, bool soundWorking, const ClickSettings& saved, bool soundSaved,
                unsigned doubleClickTime, std::uint8_t panel = 0) {
        EXPECT_EQ(Working(panel), working);
        EXPECT_EQ(SoundWorking(panel), soundWorking);
        EXPECT_EQ(Saved(panel), saved);
        EXPECT_EQ(SoundSaved(panel), soundSaved);
        EXPECT_EQ(desktop.doubleClickTime, doubleClickTime);
    }
    void ExpectButtons(bool ok, bool apply) {
        EXPECT_EQ(Dlg().okEnabled, ok);
        EXPECT_EQ(Dlg().applyEnabled, apply);
    }
    void ExpectEnded() {
        EXPECT_EQ(start->State(), Phase::Ended);
        EXPECT_EQ(view->closes, 1);
        EXPECT_FALSE(view->dialogOpen);
        EXPECT_EQ(view->timerMs, 0u);
    }

    std::unique_ptr<FakeStartView> view;
    std::unique_ptr<velmic::StartDlg> start;
};

}  // namespace velmic_test
