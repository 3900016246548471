// Velmic's logic against the simulated driver, through the same by-name
// binding the program uses. The fixture plays the windows: the start-up
// window, the settings dialog and the diagnostic box. Failures are the
// driver's own: refused requests, odd replies, panels that come and go, a
// device that is missing.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "debug_text.h"
#include "inprocess_driver.h"
#include "inprocess_loader.h"
#include "row_name.h"
#include "start_dlg.h"

namespace velmic {
// A result with its number, as the module's callers know it.
inline void PrintTo(Result result, std::ostream* os) {
    const char* const names[] = {"kCritical", "kNoPanelDevice", "kNoActivePanel", "kOk"};
    const int code = static_cast<int>(result);
    *os << (code >= -3 && code <= 0 ? names[code + 3] : "?") << " (" << code << ")";
}
}  // namespace velmic

namespace velmic_test {

using velmic::ClickSettings;
using velmic::Phase;
using velmic::Slider;
using velmic::SliderPositions;

inline constexpr ClickSettings kSaved = {50, 20, 450, 30};
inline constexpr ClickSettings kWorking = {80, 90, 700, 36};  // someone's earlier preview, never saved
inline constexpr ClickSettings kDefaults = {30, 30, 400, 28};
inline constexpr std::uint8_t kId = 0x31;
inline constexpr std::uint32_t kErrorGenFailure = 31;

// Both sets of one panel as the driver holds them.
struct PanelSets {
    ClickSettings working;
    bool soundWorking;
    ClickSettings saved;
    bool soundSaved;
    bool operator==(const PanelSets& o) const {
        return working == o.working && soundWorking == o.soundWorking && saved == o.saved && soundSaved == o.soundSaved;
    }
};
inline std::ostream& operator<<(std::ostream& os, const ClickSettings& v) {
    return os << "{" << v.down << ", " << v.up << ", " << v.speed << ", " << v.area << "}";
}
inline void PrintTo(const PanelSets& s, std::ostream* os) {
    *os << "working " << s.working << (s.soundWorking ? " sound" : "") << ", saved " << s.saved
        << (s.soundSaved ? " sound" : "");
}

// As Velmic finds the panel: the saved sound off, the working sound on.
inline constexpr PanelSets kFound = {kWorking, true, kSaved, false};
inline constexpr PanelSets kOther = {{10, 10, 300, 22}, true, {0, 0, 200, 20}, true};  // another panel's

struct StartWindow {
    unsigned timerMs = 0;
    std::string infoMsg;
    bool visible = true, dialogOpen = false, dialogShown = false;
    int dialogsOpened = 0, errorReports = 0, closes = 0;
    std::function<void()> whileErrorReport;
};

struct Dialog {
    SliderPositions positions;
    bool checked = false, ok = true, apply = false;  // the buttons as the dialog is created
    std::string caption, missingFile;
    std::vector<std::string> clicks, dClicks;
    int beeps = 0;
};

class VelmicTest : public ::testing::Test, public velmic::StartView, public velmic::MainView, public velmic::DebugView {
public:
    void SetUp() override { Restart(); }
    void TearDown() override { EXPECT_EQ(Driver().channel.OpenHandles(), 0); }
    // A fresh driver, desktop and program.
    void Restart() {
        tavlosim::ResetInProcessDriver();
        win = {};
        doubleClickTime = 500;
        boxes.clear();
        whileShown = nullptr;
        access.MuteDiagnostics(false);
        start = std::make_unique<velmic::StartDlg>(library, access, *this);
    }

    // The start-up window.
    void StartTimer(unsigned ms) override { win.timerMs = ms; }
    void StopTimer() override { win.timerMs = 0; }
    void SetInfoMsg(const std::string& text) override { win.infoMsg = text; }
    void SetVisible(bool on) override { win.visible = on; }
    void ShowErrorReport() override {
        ++win.errorReports;
        if (win.whileErrorReport) win.whileErrorReport();
    }
    velmic::MainView& CreateMainDlg() override {
        EXPECT_FALSE(win.dialogOpen) << "a second settings dialog while one is open";
        ++win.dialogsOpened;
        win.dialogOpen = true;
        win.dialogShown = false;
        dlg = {};
        return *this;
    }
    void ShowMainDlg() override { win.dialogShown = true; }
    void DestroyMainDlg() override {
        EXPECT_TRUE(win.dialogOpen);
        win.dialogOpen = win.dialogShown = false;
    }
    void Close() override { ++win.closes; }

    // The settings dialog.
    void SetSliderPosition(Slider slider, int position) override { dlg.positions[slider] = position; }
    int SliderPosition(Slider slider) override { return dlg.positions[slider]; }
    void SetClickSound(bool on) override { dlg.checked = on; }
    bool ClickSoundChecked() override { return dlg.checked; }
    void SetEnabled(velmic::Button b, bool on) override { (b == velmic::Button::OkBtn ? dlg.ok : dlg.apply) = on; }
    void SetActivePanelId(const std::string& text) override { dlg.caption = text; }
    bool ShowPicture(velmic::TestArea area, const std::string& file) override {
        if (file == dlg.missingFile) return false;
        (area == velmic::TestArea::ClickTestArea ? dlg.clicks : dlg.dClicks).push_back(file);
        return true;
    }
    void Beep() override { ++dlg.beeps; }
    void SetDoubleClickTime(unsigned ms) override { doubleClickTime = ms; }

    // The diagnostic box.
    void ShowDebug(const std::string& tag, TavloStatus status) override {
        boxes.push_back(winui::DebugBoxText(tag, status));
        if (whileShown) whileShown();
    }

    static tavlosim::InProcessDriver& Driver() { return tavlosim::TheInProcessDriver(); }
    static tavlosim::DeviceModel& Model() { return Driver().model; }

    // A panel holding these sets; returns its number.
    static std::uint8_t Attach(std::uint8_t id, bool enabled = true, PanelSets s = {kDefaults, true, kDefaults, true}) {
        const auto index = static_cast<std::uint8_t>(Model().AttachPanel(id));
        Store(index, tavlosim::kSavedSet, s.saved);
        Store(index, tavlosim::kWorkingSet, s.working);
        tavlosim::PanelState& panel = *Model().MutablePanel(index);
        panel.sound[tavlosim::kSavedSet] = s.soundSaved ? 1 : 0;
        panel.sound[tavlosim::kWorkingSet] = s.soundWorking ? 1 : 0;
        panel.pointdata = enabled ? 1 : 0;
        return index;
    }
    // The sets are written and read through the library's own exports, in
    // the device's steps.
    static void Store(std::uint8_t index, int set, ClickSettings v) {
        std::uint16_t stamp = Model().Stamp();
        std::int16_t data[4] = {v.down, v.up, v.speed, v.area};
        ASSERT_EQ(TavloSetClickData(&stamp, index, data, set == tavlosim::kSavedSet ? 1 : 0), TavloOk);
    }
    static ClickSettings Read(std::uint8_t index, int set) {
        std::uint16_t stamp = Model().Stamp();
        std::int16_t data[4] = {};
        EXPECT_EQ(TavloGetClickData(&stamp, index, data, set == tavlosim::kSavedSet ? 1 : 0), TavloOk);
        return {data[0], data[1], data[2], data[3]};
    }
    static PanelSets Sets(int panel = 0) {
        const auto index = static_cast<std::uint8_t>(panel);
        const std::uint8_t* sound = Model().Panel(index)->sound;
        return {Read(index, tavlosim::kWorkingSet), sound[tavlosim::kWorkingSet] != 0, Read(index, tavlosim::kSavedSet),
                sound[tavlosim::kSavedSet] != 0};
    }
    // The driver fails every request with this code.
    static void Refuse(std::uint32_t code, std::uint32_t error = kErrorGenFailure) { Model().FailCode(code, error); }
    // Requests with this code since the log was cleared.
    static int Count(std::uint32_t code) {
        int n = 0;
        for (std::uint32_t i = 0; i < Model().LogSize(); ++i) n += Model().LogAt(i).code == code;
        return n;
    }

    // Disabled panels 0x20.. holding kOther and, last, panel kId holding
    // these sets; the program loaded and the first tick done.
    void Load(bool enabled = true, std::uint8_t panels = 1, PanelSets sets = kFound) {
        for (std::uint8_t i = 0; i + 1 < panels; ++i) Attach(static_cast<std::uint8_t>(0x20 + i), false, kOther);
        Attach(kId, enabled, sets);
        start->Form_Load();
        Tick();
    }
    // Loaded, with the dialog open.
    void Open(std::uint8_t panels = 1, PanelSets sets = kFound) {
        Load(true, panels, sets);
        ASSERT_EQ(start->State(), Phase::Editing);
    }
    velmic::MainDlg& Logic() { return *start->Settings(); }
    void Tick() { start->MainTimer_Timer(); }
    // The user moves a slider and releases it.
    void Move(Slider slider, int position) {
        dlg.positions[slider] = position;
        Logic().Slider_Change(slider);
    }
    // The user checks or clears the click sound box.
    void Sound(bool on) {
        dlg.checked = on;
        Logic().ClickSound_Click();
    }
    void ExpectEnded() {
        EXPECT_EQ(start->State(), Phase::Ended);
        EXPECT_EQ(win.closes, 1);
        EXPECT_FALSE(win.dialogOpen);
        EXPECT_EQ(win.timerMs, 0u);
    }

    tavlosim::InProcessLoader loader;
    std::vector<std::string> fatal;
    tavlo::TavloIoctl library{loader, [this](const std::string& m) { fatal.push_back(m); }};
    velmic::TpAccess access{library, *this};
    std::unique_ptr<velmic::StartDlg> start;
    StartWindow win;
    Dialog dlg;
    unsigned doubleClickTime = 500;  // the Windows setting, which outlives a dialog
    std::vector<std::string> boxes;  // the diagnostic boxes shown
    std::function<void()> whileShown;
};

}  // namespace velmic_test
