// Velmic's logic against the simulated driver, through the same by-name
// binding the program uses, with the windows played by fakes. A loader can
// force any status on any library function, so every path of the status
// rule is reachable; everything else runs against the device model.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "debug_text.h"
#include "inprocess_driver.h"
#include "inprocess_loader.h"
#include "start_dlg.h"
#include "tavlo_ioctl.h"
#include "tp_access.h"

namespace velmic_test {

using velmic::ClickSettings;
using velmic::Slider;
using velmic::SliderPositions;

// Statuses forced on library functions by name: `remaining` calls fail
// with `status` (-1 for every call), then the function works again.
struct Forced {
    TavloStatus status;
    int remaining;
};
std::map<std::string, Forced>& ForcedStatuses();
bool TakeForced(const char* name, TavloStatus* status);

class ForcingLoader final : public tavlo::LibraryLoader {
public:
    bool Load(const char* name) override { return inner.Load(name); }
    void* Find(const char* name) override;
    std::string LastErrorText() override { return inner.LastErrorText(); }
    tavlosim::InProcessLoader inner;
};

// The Windows double-click time of the session, which outlives a dialog.
struct Desktop {
    unsigned doubleClickTime = 500;
    std::vector<unsigned> doubleClickTimes;  // every setting, in order
};

class FakeMainView final : public velmic::MainView {
public:
    explicit FakeMainView(Desktop& desktop) : desktop_(desktop) {}
    void SetSliderPosition(Slider slider, int position) override {
        const velmic::SliderScale scale = velmic::ScaleOf(slider);
        positions[slider] = std::clamp(position, scale.minPosition, scale.maxPosition);
    }
    int SliderPosition(Slider slider) override { return positions[slider]; }
    void SetClickSound(bool on) override { checked = on; }
    bool ClickSoundChecked() override { return checked; }
    void SetEnabled(velmic::Button button, bool enabled) override {
        (button == velmic::Button::OkBtn ? okEnabled : applyEnabled) = enabled;
    }
    void SetActivePanelId(const std::string& caption) override { panelIdCaption = caption; }
    bool ShowPicture(velmic::TestArea area, const std::string& file) override {
        if (missingFiles.count(file)) return false;
        (area == velmic::TestArea::ClickTestArea ? clickPictures : dClickPictures).push_back(file);
        return true;
    }
    void Beep() override { ++beeps; }
    void SetDoubleClickTime(unsigned ms) override {
        desktop_.doubleClickTime = ms;
        desktop_.doubleClickTimes.push_back(ms);
    }

    // A slider moved by the user.
    void Drag(Slider slider, int position) { SetSliderPosition(slider, position); }

    SliderPositions positions;
    bool checked = false;
    bool okEnabled = true;      // as the dialog is created
    bool applyEnabled = false;  // as the dialog is created
    std::string panelIdCaption;
    std::vector<std::string> clickPictures, dClickPictures;
    std::set<std::string> missingFiles;
    int beeps = 0;

private:
    Desktop& desktop_;
};

class FakeStartView final : public velmic::StartView {
public:
    explicit FakeStartView(Desktop& desktop) : desktop_(desktop) {}
    void StartTimer(unsigned ms) override { timerMs = ms; }
    void StopTimer() override { timerMs = 0; }
    void SetInfoMsg(const std::string& text) override { infoMsg = text; }
    void SetVisible(bool v) override { visible = v; }
    void ShowErrorReport() override {
        ++errorReports;
        if (whileErrorReport) whileErrorReport();
    }
    velmic::MainView& CreateMainDlg() override {
        EXPECT_FALSE(dialogOpen) << "a second settings dialog while one is open";
        dialogs.push_back(std::make_unique<FakeMainView>(desktop_));
        dialogOpen = true;
        dialogShown = false;
        return *dialogs.back();
    }
    void ShowMainDlg() override { dialogShown = true; }
    void DestroyMainDlg() override {
        EXPECT_TRUE(dialogOpen);
        dialogOpen = dialogShown = false;
    }
    void Close() override { ++closes; }

    unsigned timerMs = 0;
    std::string infoMsg;
    bool visible = true;
    int errorReports = 0;
    std::function<void()> whileErrorReport;
    std::vector<std::unique_ptr<FakeMainView>> dialogs;
    bool dialogOpen = false, dialogShown = false;
    int closes = 0;

private:
    Desktop& desktop_;
};

class FakeDebugView final : public velmic::DebugView {
public:
    void ShowDebug(const std::string& tag, TavloStatus status) override {
        boxes.push_back(winui::DebugBoxText(tag, status));
        if (whileShown) whileShown();
    }
    std::vector<std::string> boxes;
    std::function<void()> whileShown;
};

class VelmicTest : public ::testing::Test {
public:
    void SetUp() override {
        tavlosim::ResetInProcessDriver();
        ForcedStatuses().clear();
    }
    void TearDown() override {
        ForcedStatuses().clear();
        EXPECT_EQ(Driver().channel.OpenHandles(), 0);
    }

    static tavlosim::InProcessDriver& Driver() { return tavlosim::TheInProcessDriver(); }
    static tavlosim::DeviceModel& Model() { return Driver().model; }

    // A panel whose saved set holds `saved` and whose working set holds
    // `working`; returns its number.
    static std::uint8_t Attach(std::uint8_t id, bool enabled = true, ClickSettings saved = {30, 30, 400, 28},
                               ClickSettings working = {30, 30, 400, 28}, bool soundSaved = true,
                               bool soundWorking = true) {
        const auto index = static_cast<std::uint8_t>(Model().AttachPanel(id));
        Store(index, tavlosim::kSavedSet, saved);
        Store(index, tavlosim::kWorkingSet, working);
        Model().MutablePanel(index)->sound[tavlosim::kSavedSet] = soundSaved ? 1 : 0;
        Model().MutablePanel(index)->sound[tavlosim::kWorkingSet] = soundWorking ? 1 : 0;
        Model().MutablePanel(index)->pointdata = enabled ? 1 : 0;
        return index;
    }
    // The sets are written and read through the library's own exports, in
    // the device's steps.
    static void Store(std::uint8_t index, int set, ClickSettings values) {
        std::uint16_t stamp = Model().Stamp();
        std::int16_t data[4] = {values.down, values.up, values.speed, values.area};
        ASSERT_EQ(TavloSetClickData(&stamp, index, data, set == tavlosim::kSavedSet ? 1 : 0), TavloOk);
    }
    static ClickSettings Settings(std::uint8_t index, int set) {
        std::uint16_t stamp = Model().Stamp();
        std::int16_t data[4] = {};
        EXPECT_EQ(TavloGetClickData(&stamp, index, data, set == tavlosim::kSavedSet ? 1 : 0), TavloOk);
        return {data[0], data[1], data[2], data[3]};
    }
    static ClickSettings Working(std::uint8_t index = 0) { return Settings(index, tavlosim::kWorkingSet); }
    static ClickSettings Saved(std::uint8_t index = 0) { return Settings(index, tavlosim::kSavedSet); }
    static bool SoundWorking(std::uint8_t index = 0) { return Model().Panel(index)->sound[tavlosim::kWorkingSet] != 0; }
    static bool SoundSaved(std::uint8_t index = 0) { return Model().Panel(index)->sound[tavlosim::kSavedSet] != 0; }
    static void Force(const char* function, TavloStatus status, int calls = -1) {
        ForcedStatuses()[function] = {status, calls};
    }

    // Library calls since the log was cleared, panel checks left out.
    static std::vector<std::uint32_t> Requests() {
        std::vector<std::uint32_t> codes;
        for (std::uint32_t i = 0; i < Model().LogSize(); ++i) {
            if (Model().LogAt(i).code != IOCTL_TAVLO_GET_STATUS) codes.push_back(Model().LogAt(i).code);
        }
        return codes;
    }

    ForcingLoader loader;
    std::vector<std::string> fatal;
    tavlo::TavloIoctl library{loader, [this](const std::string& m) { fatal.push_back(m); }};
    FakeDebugView debug;
    velmic::TpAccess access{library, debug};
    Desktop desktop;
};

}  // namespace velmic_test
