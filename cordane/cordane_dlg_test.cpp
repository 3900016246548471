// The panel setting dialog event by event, against the simulated driver
// behind the in-process Tavlo exports and the in-memory registry, with a
// recording view in place of the window.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "cordane_dlg.h"
#include "inprocess_driver.h"
#include "memory_key_store.h"

namespace cordane {
namespace {

const std::string kBase = "SOFTWARE\\ZR_EX_CONTROL\\";
enum { kNoRecord = -100 };  // no record for the panel
using Ids = std::vector<int>;
using Modes = std::vector<int>;

struct Box {
    std::string text;
    BoxIcon icon;
    bool operator==(const Box& other) const { return text == other.text && icon == other.icon; }
};

class RecordingView final : public CordaneView {
public:
    void AddRows(int rows) override { Log("rows " + std::to_string(rows)), addedRows = rows; }
    void EnableControl(int control, bool on) override {
        Log("enable " + std::to_string(control) + (on ? " on" : " off"));
        enabled[control] = on;
    }
    void SetText(int control, const std::string& text) override {
        Log("text " + std::to_string(control)), texts[control] = text;
    }
    std::optional<std::string> GetText(int control) override {
        if (unstorable.count(control) != 0) return std::nullopt;
        return texts[control];
    }
    std::size_t TextLength(int control) override {
        const auto length = lengths.find(control);
        return length != lengths.end() ? length->second : texts[control].size();
    }
    void SetCheck(int control, bool on) override { Log("check"), checks[control] = on; }
    bool IsChecked(int control) override { return checks[control]; }
    void SelectMode(int control, int position) override {
        Log("mode " + std::to_string(control)), modes[control] = position;
    }
    int SelectedMode(int control) override { return modes.count(control) != 0 ? modes[control] : kNoMode; }
    void Focus(int control) override { focus = control; }
    void Message(const std::string& text, BoxIcon icon) override { Log("box " + text), boxes.push_back({text, icon}); }
    void StartProgram(const char* path) override { started.emplace_back(path); }
    void ShowAbout() override { ++about; }
    void EndDialog(int result) override { ended = result; }

    void Log(const std::string& call) { calls.push_back(call); }
    bool Enabled(int control) { return enabled.count(control) != 0 && enabled[control]; }

    std::vector<std::string> calls;
    std::map<int, bool> enabled, checks;
    std::map<int, std::string> texts;
    std::map<int, std::size_t> lengths;
    std::set<int> unstorable;  // controls whose text the narrow code page cannot hold
    std::map<int, int> modes;
    std::vector<Box> boxes;
    std::vector<std::string> started;
    int addedRows = 0, focus = 0, about = 0;
    std::optional<int> ended;
};

class CordaneTest : public ::testing::Test {
protected:
    // A fresh driver, registry, window and dialog; table-driven tests call
    // it again for each case.
    void SetUp() override {
        tavlosim::ResetInProcessDriver();
        store().Clear();
        dlg.reset();
        view = RecordingView();
        dlg.emplace(view);
    }

    static brimol::MemoryKeyStore& store() { return brimol::TheMemoryKeyStore(); }
    static tavlosim::DeviceModel& model() { return tavlosim::TheInProcessDriver().model; }

    // Panels with these identifiers; a mode other than kNoRecord gives
    // panel i the record "Panel <i>" with that TOUCH_OP and IR_OP 7.
    void Start(const Ids& ids, const Modes& modes = {}) {
        for (std::size_t i = 0; i < ids.size(); ++i) {
            model().AttachPanel(static_cast<std::uint8_t>(ids[i]));
            if (i < modes.size() && modes[i] != kNoRecord) Record(ids[i], "Panel " + std::to_string(i), modes[i], 7);
        }
        dlg->OnInitDialog();
    }
    static void Record(int id, const std::string& name, int mode, int irOp = 0) {
        store().PutText(Key(id), "NAME", name);
        store().PutDword(Key(id), "TOUCH_OP", mode);
        store().PutDword(Key(id), "IR_OP", irOp);
    }
    static void System(int timeOut, int timeEnable) {
        store().PutDword(kBase + "ALL", "TIMEOUT", timeOut);
        store().PutDword(kBase + "ALL", "TIMEENABLE", timeEnable);
    }
    static std::string Key(int id) { return kBase + "ID" + std::to_string(id); }

    // A stored record as "NAME|TOUCH_OP|IR_OP", "" when there is none.
    static std::string Stored(int id) {
        if (!store().HasKey(Key(id))) return "";
        const auto* name = store().Find(Key(id), "NAME");
        std::string text = name != nullptr ? std::string(name->bytes.begin(), name->bytes.end()) : "?";
        if (!text.empty() && text.back() == '\0') text.pop_back();
        return text + "|" + Dword(Key(id), "TOUCH_OP") + "|" + Dword(Key(id), "IR_OP");
    }
    static std::string StoredSystem() {
        if (!store().HasKey(kBase + "ALL")) return "";
        return Dword(kBase + "ALL", "TIMEOUT") + "|" + Dword(kBase + "ALL", "TIMEENABLE");
    }
    static std::string Dword(const std::string& key, const char* value) {
        const auto* stored = store().Find(key, value);
        if (stored == nullptr || stored->bytes.size() != 4) return "?";
        std::int32_t number = 0;
        std::memcpy(&number, stored->bytes.data(), 4);
        return std::to_string(number);
    }

    // What a row shows: "id|name|mode position".
    std::string Row(int row) {
        const RowControls& c = kRows[row];
        return view.texts[c.id] + "|" + view.texts[c.name] + "|" + std::to_string(view.SelectedMode(c.mode));
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const Box& box : view.boxes) texts.push_back(box.text);
        return texts;
    }
    void ClickTimeRelease(bool checked) {
        view.checks[IDC_TIME_RELEASE] = checked;
        dlg->OnTimeReleaseClicked();
    }

    RecordingView view;
    std::optional<CCordaneDlg> dlg;
};

// Which controls work for 0..4 panels: one enabled row per panel, the
// template's two rows and no more for up to two panels, the time-out field
// with time release on, OK only with a panel.
TEST_F(CordaneTest, ControlsEnabledForEachNumberOfPanels) {
    for (int panels = 0; panels <= 4; ++panels) {
        for (int timeEnable : {0, 1}) {
            SCOPED_TRACE(std::to_string(panels) + " panels, TIMEENABLE " + std::to_string(timeEnable));
            SetUp();
            System(30, timeEnable);
            const Ids all = {0x11, 0x22, 0x33, 0x44};
            Start(Ids(all.begin(), all.begin() + panels));
            EXPECT_EQ(dlg->PanelRows(), panels);
            EXPECT_EQ(dlg->ShownRows(), panels > 2 ? panels : 2);
            EXPECT_EQ(view.addedRows, panels > 2 ? panels : 0);
            for (int row = 0; row < dlg->ShownRows(); ++row) {
                const RowControls& c = kRows[row];
                for (int control : {c.name, c.mode, c.touchSettings, c.calibration}) {
                    EXPECT_EQ(view.Enabled(control), row < panels) << "row " << row + 1 << " control " << control;
                }
            }
            EXPECT_EQ(view.Enabled(IDC_TIME_RELEASE), panels > 0);
            EXPECT_EQ(view.Enabled(IDC_TIME_OUT), panels > 0 && timeEnable != 0);
            EXPECT_EQ(view.enabled.count(kOkButton) == 0 || view.enabled[kOkButton], panels > 0);
            EXPECT_EQ(view.checks[IDC_TIME_RELEASE], panels > 0 && timeEnable != 0);
            EXPECT_TRUE(view.boxes.empty());
        }
    }
}

// With no panel only Cancel does something: OK (by Enter, say) saves
// nothing, and the time-out shows nothing, as nothing was read.
TEST_F(CordaneTest, NoPanelOnlyCancelWorks) {
    System(45, 1);
    Start({});
    EXPECT_EQ(view.texts[IDC_TIME_OUT], "");
    EXPECT_FALSE(view.checks[IDC_TIME_RELEASE]);
    EXPECT_EQ(Row(0), "||-1");
    EXPECT_EQ(Row(1), "||-1");
    store().ResetCounts();
    dlg->OnOk();
    EXPECT_FALSE(view.ended.has_value());
    EXPECT_EQ(store().counts().creates, 0);
    ClickTimeRelease(true);  // a click that reaches the disabled box
    EXPECT_FALSE(view.Enabled(IDC_TIME_OUT));
    EXPECT_FALSE(dlg->OnRowButton(1));
    EXPECT_TRUE(dlg->OnRowButton(IDC_TOUCH1));
    EXPECT_TRUE(view.started.empty());
    dlg->OnCancel();
    EXPECT_EQ(view.ended, kCancelButton);
    EXPECT_EQ(StoredSystem(), "45|1");
}

// Start: the panels are learnt first, every row is disabled, the system
// record and the rows' records are read, a duplicate identifier is warned
// about, then the controls are filled and the modes selected last.
TEST_F(CordaneTest, InitialisationOrder) {
    Start({0x21, 0x21}, {2, 1});
    ASSERT_FALSE(view.calls.empty());
    std::vector<std::string> kinds;
    for (const std::string& call : view.calls) {
        const std::string kind = call.substr(0, call.find(' '));
        if (kinds.empty() || kinds.back() != kind) kinds.push_back(kind);
    }
    const std::vector<std::string> expected = {"enable", "box", "enable", "text", "check", "mode"};
    EXPECT_EQ(kinds, expected);
    // The rows were disabled before any was enabled.
    const std::vector<std::string> first(view.calls.begin(), view.calls.begin() + 10);
    for (const std::string& call : first) EXPECT_NE(call.find(" off"), std::string::npos) << call;
    EXPECT_EQ(Boxes(), std::vector<std::string>{kSameIdMessage});
    EXPECT_EQ(view.boxes[0].icon, BoxIcon::kNone);
    // Both rows read the one record of identifier 0x21.
    EXPECT_EQ(Row(0), "33|Panel 1|0");
    EXPECT_EQ(Row(1), "33|Panel 1|0");
    EXPECT_EQ(dlg->usb.deviceCount, 2);
}

// What a row shows for its stored record, and what OK stores when the
// user changes nothing. A row without a panel shows nothing: no identifier,
// no name and no mode, and it never takes one from a record that was not
// read (0x22's here).
TEST_F(CordaneTest, RecordShownAndStoredBack) {
    struct Case {
        const char* what;
        int touchOp;
        std::string row, stored;
    };
    const Case cases[] = {
        {"Interlock", 1, "17|Panel 0|0", "Panel 0|1|7"},
        {"Supervisor", 2, "17|Panel 0|1", "Panel 0|2|7"},
        {"Disable", 0, "17|Panel 0|2", "Panel 0|0|7"},
        {"negative reads as Disable", -4, "17|Panel 0|2", "Panel 0|0|7"},
        {"3: no mode, saved as Disable", 3, "17|Panel 0|-1", "Panel 0|0|7"},
        {"no record: Interlock, created with IR_OP 0", kNoRecord, "17||0", "|1|0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Record(0x22, "Stale", 2);
        Start({0x11}, {c.touchOp});
        EXPECT_EQ(Row(0), c.row);
        EXPECT_EQ(Row(1), "||-1");
        EXPECT_EQ(view.modes.count(IDC_MODE2), 1u);  // cleared, not left as it was
        dlg->OnOk();
        EXPECT_EQ(view.ended, kOkButton);
        EXPECT_EQ(Stored(0x11), c.stored);
        EXPECT_EQ(StoredSystem(), "30|0");  // a missing system record: 30 s, time release off
    }
}

// Names and the time-out: a refused field shows its message, takes the
// focus, keeps the dialog open and saves nothing.
TEST_F(CordaneTest, FieldValidation) {
    struct Case {
        const char* what;
        std::string name, timeOut;
        std::size_t nameCharacters;  // 0: as many as bytes
        int refused;                 // control refused, 0 when saved
        const char* message = kNameLimitMessage;
        bool storable = true;  // the code page can hold the name
    };
    const std::string sixteen = "ABCDEFGHIJKLMNOP";
    const Case cases[] = {
        {"16 characters", sixteen, "60", 0, 0},
        {"17 characters", sixteen + "Q", "60", 0, IDC_NAME2},
        {"16 double-byte characters", std::string(32, '\x82'), "60", 16, 0},
        {"narrow text too long to read back whole", std::string(50, 'x'), "60", 16, IDC_NAME2},
        {"empty name", "", "60", 0, 0},
        {"time-out 1", "B", "1", 0, 0},
        {"time-out 1800", "B", "1800", 0, 0},
        {"time-out 0", "B", "0", 0, IDC_TIME_OUT},
        {"time-out 1801", "B", "1801", 0, IDC_TIME_OUT},
        {"time-out not a number", "B", "abc", 0, IDC_TIME_OUT},
        {"time-out empty", "B", "", 0, IDC_TIME_OUT},
        {"name checked before time-out", sixteen + "Q", "0", 0, IDC_NAME2},
        {"characters the code page lacks", "????", "60", 4, IDC_NAME2, kNameCharactersMessage, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        System(30, 1);
        Start({0x11, 0x22}, {1, 1});
        view.texts[IDC_NAME2] = c.name;
        if (c.nameCharacters != 0) view.lengths[IDC_NAME2] = c.nameCharacters;
        if (!c.storable) view.unstorable.insert(IDC_NAME2);
        view.texts[IDC_TIME_OUT] = c.timeOut;
        store().ResetCounts();
        dlg->OnOk();
        if (c.refused == 0) {
            EXPECT_EQ(view.ended, kOkButton);
            EXPECT_TRUE(view.boxes.empty());
            EXPECT_EQ(Stored(0x22), c.name + "|1|7");
            EXPECT_EQ(StoredSystem(), c.timeOut + "|1");
        } else {
            EXPECT_FALSE(view.ended.has_value());
            EXPECT_EQ(view.focus, c.refused);
            ASSERT_EQ(view.boxes.size(), 1u);
            EXPECT_EQ(view.boxes[0].text, c.refused == IDC_TIME_OUT ? kTimeOutLimitMessage : c.message);
            EXPECT_EQ(store().counts().creates, 0);
            EXPECT_EQ(store().counts().writes, 0);
        }
    }
}

// "Two Supervisor" when more than one row is Supervisor; saved all the same.
TEST_F(CordaneTest, TwoSupervisorsAreWarnedAboutAndSaved) {
    struct Case {
        Modes modes;
        bool warned;
    };
    const Case cases[] = {{{2}, false},      {{2, 1}, false},      {{2, 2}, true},       {{1, 2, 0}, false},
                          {{1, 2, 2}, true}, {{2, 1, 1, 2}, true}, {{0, 0, 0, 0}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.modes));
        SetUp();
        Ids ids;
        for (std::size_t i = 0; i < c.modes.size(); ++i) ids.push_back(static_cast<int>(0x11 * (i + 1)));
        Start(ids, c.modes);
        dlg->OnOk();
        EXPECT_EQ(Boxes(), c.warned ? std::vector<std::string>{kTwoSupervisorMessage} : std::vector<std::string>{});
        EXPECT_EQ(view.ended, kOkButton);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            EXPECT_EQ(Stored(ids[i]), "Panel " + std::to_string(i) + "|" + std::to_string(c.modes[i]) + "|7");
        }
    }
}

// Panels reporting the same identifier: warned about at start; both rows
// are written to the one record, the later row last.
TEST_F(CordaneTest, SameIdentifierWarnedAndLaterRowWrittenLast) {
    const struct {
        Ids ids;
        bool warned;
        int lastRow;
    } cases[] = {{{5, 5}, true, 1}, {{5, 6}, false, 0}, {{5, 6, 5}, true, 2}, {{1, 2, 3, 3}, true, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.ids));
        SetUp();
        Start(c.ids);
        EXPECT_EQ(Boxes(), c.warned ? std::vector<std::string>{kSameIdMessage} : std::vector<std::string>{});
        for (std::size_t row = 0; row < c.ids.size(); ++row) view.texts[kRows[row].name] = "Row " + std::to_string(row);
        view.modes[kRows[c.lastRow].mode] = kSupervisorPosition;
        dlg->OnOk();
        EXPECT_EQ(Stored(c.ids[static_cast<std::size_t>(c.lastRow)]), "Row " + std::to_string(c.lastRow) + "|2|0");
    }
}

// OK saves every row, then the system record; names and TIMEENABLE as the
// user set them, the time-out as typed.
TEST_F(CordaneTest, OkSavesEveryRowThenTheSystemRecord) {
    for (int panels = 1; panels <= 4; ++panels) {
        SCOPED_TRACE(std::to_string(panels) + " panels");
        SetUp();
        System(30, 0);
        Ids ids;
        for (int i = 0; i < panels; ++i) ids.push_back(3 + i);
        Start(ids, Modes(static_cast<std::size_t>(panels), 1));
        for (int row = 0; row < panels; ++row) {
            EXPECT_EQ(Row(row), std::to_string(3 + row) + "|Panel " + std::to_string(row) + "|0");
            view.texts[kRows[row].name] = "Line " + std::to_string(row);
            view.modes[kRows[row].mode] = kSupervisorPosition - row % 2;
        }
        ClickTimeRelease(true);
        view.texts[IDC_TIME_OUT] = "120";
        store().ResetCounts();
        dlg->OnOk();
        EXPECT_EQ(view.ended, kOkButton);
        for (int row = 0; row < panels; ++row) {
            EXPECT_EQ(Stored(3 + row), "Line " + std::to_string(row) + "|" + std::to_string(2 - row % 2) + "|7");
        }
        EXPECT_EQ(StoredSystem(), "120|1");
        EXPECT_EQ(store().counts().creates, panels + 1);
        EXPECT_EQ(store().OpenKeys(), 0);
    }
}

// The check box: the time-out field follows it, once the fields are valid.
// With time release off, a stored time-out outside 1..1800 neither blocks
// OK (it is saved as loaded) nor stops the user from switching the field on
// to correct it.
TEST_F(CordaneTest, TimeReleaseBoxAndTheTimeOutField) {
    struct Case {
        const char* what;
        int storedTimeOut, storedEnable;
        std::vector<std::pair<bool, std::string>> clicks;  // box state after the click, time-out typed before it
        bool fieldEnabled;
        int boxes;
        std::string okSaves;  // "" when OK is refused
    };
    const Case cases[] = {
        {"off: field disabled, value saved as loaded", 0, 0, {}, false, 0, "0|0"},
        {"off with 5000", 5000, 0, {}, false, 0, "5000|0"},
        {"off with a negative value", -3, 0, {}, false, 0, "-3|0"},
        {"on with 0: refused until corrected", 0, 1, {}, true, 1, ""},
        {"checking enables an invalid field", 0, 0, {{true, "0"}}, true, 1, ""},
        {"checking, correcting", 0, 0, {{true, "0"}, {false, "25"}}, false, 0, "25|0"},
        {"unchecking an invalid field: refused, field stays", 30, 1, {{false, "abc"}}, true, 2, ""},
        {"unchecking a valid field", 30, 1, {{false, "40"}}, false, 0, "40|0"},
        {"checking again", 30, 1, {{false, "40"}, {true, "40"}}, true, 0, "40|1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        System(c.storedTimeOut, c.storedEnable);
        Start({0x11}, {1});
        EXPECT_EQ(view.texts[IDC_TIME_OUT], std::to_string(static_cast<std::uint32_t>(c.storedTimeOut)));
        for (const auto& click : c.clicks) {
            view.texts[IDC_TIME_OUT] = click.second;
            ClickTimeRelease(click.first);
        }
        EXPECT_EQ(view.Enabled(IDC_TIME_OUT), c.fieldEnabled);
        EXPECT_EQ(dlg->TimeOutEnabled(), c.fieldEnabled);
        dlg->OnOk();
        EXPECT_EQ(static_cast<int>(view.boxes.size()), c.boxes);
        EXPECT_EQ(view.ended.has_value(), !c.okSaves.empty());
        EXPECT_EQ(StoredSystem(), c.okSaves.empty()
                                      ? std::to_string(c.storedTimeOut) + "|" + std::to_string(c.storedEnable)
                                      : c.okSaves);
    }
}

// A refused write is reported and the dialog stays open; what was written
// before it stays, nothing after it is written, and OK can be tried again.
TEST_F(CordaneTest, FailedSaveIsReported) {
    struct Case {
        const char* what;
        long createError;
        std::string refusedValue;
        std::string stored1, stored2, system;
    };
    const Case cases[] = {
        {"no key can be created", brimol::kRegAccessDenied, "", "", "", "60|1"},
        {"a panel value refused", 0, "IR_OP", "", "", "60|1"},
        {"the name refused", 0, "NAME", "", "", "60|1"},
        {"the time-out refused", 0, "TIMEOUT", "New 0|2|0", "New 1|0|0", "60|0"},
        {"the time release refused", 0, "TIMEENABLE", "New 0|2|0", "New 1|0|0", "90|1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        System(60, 1);
        Start({0x11, 0x22});
        view.texts[IDC_NAME1] = "New 0";
        view.texts[IDC_NAME2] = "New 1";
        view.modes[IDC_MODE1] = kSupervisorPosition;
        view.modes[IDC_MODE2] = kDisablePosition;
        view.texts[IDC_TIME_OUT] = "90";
        ClickTimeRelease(false);
        if (c.createError != 0) store().RefuseCreate(c.createError);
        if (!c.refusedValue.empty()) store().RefuseWrite(c.refusedValue, brimol::kRegAccessDenied);
        dlg->OnOk();
        EXPECT_FALSE(view.ended.has_value());
        ASSERT_EQ(view.boxes.size(), 1u);
        EXPECT_EQ(view.boxes[0], (Box{kSaveFailedMessage, BoxIcon::kStop}));
        if (c.refusedValue != "NAME" && c.refusedValue != "IR_OP") {
            EXPECT_EQ(Stored(0x11), c.stored1);
        } else {
            // The record's values are written together; the refused one is
            // missing, the others are there.
            EXPECT_TRUE(store().HasKey(Key(0x11)));
        }
        EXPECT_EQ(Stored(0x22), c.stored2);
        EXPECT_EQ(Dword(kBase + "ALL", "TIMEOUT") + "|" + Dword(kBase + "ALL", "TIMEENABLE"), c.system);

        // The store lets writes through again: OK now saves everything.
        store().RefuseCreate(0);
        store().RefuseWrite(c.refusedValue.empty() ? "IR_OP" : c.refusedValue, 0);
        dlg->OnOk();
        EXPECT_EQ(view.ended, kOkButton);
        EXPECT_EQ(Stored(0x11), "New 0|2|0");
        EXPECT_EQ(Stored(0x22), "New 1|0|0");
        EXPECT_EQ(StoredSystem(), "90|0");
    }
}

// The tool buttons of every row with a panel start the tools by fixed path;
// the system menu's commands 16..31 open the about box.
TEST_F(CordaneTest, ToolButtonsAndSystemMenu) {
    Start({0x11, 0x22, 0x33});
    for (int row = 0; row < kMaxRows; ++row) {
        EXPECT_TRUE(dlg->OnRowButton(kRows[row].touchSettings));
        EXPECT_TRUE(dlg->OnRowButton(kRows[row].calibration));
    }
    const std::vector<std::string> expected = {kTouchSettingsTool, kCalibrationTool,   kTouchSettingsTool,
                                               kCalibrationTool,   kTouchSettingsTool, kCalibrationTool};
    EXPECT_EQ(view.started, expected);
    EXPECT_FALSE(dlg->OnRowButton(IDC_NAME1));
    EXPECT_FALSE(dlg->OnRowButton(kOkButton));

    const struct {
        std::uintptr_t command;
        bool about;
    } commands[] = {{16, true}, {31, true}, {15, false}, {32, false}, {0xF060, false}, {0xF010, false}};
    for (const auto& c : commands) {
        const int before = view.about;
        EXPECT_EQ(dlg->OnSysCommand(c.command), c.about) << c.command;
        EXPECT_EQ(view.about, before + (c.about ? 1 : 0)) << c.command;
    }
}

// Cancel closes without saving, whatever was changed.
TEST_F(CordaneTest, CancelSavesNothing) {
    Start({0x11}, {1});
    view.texts[IDC_NAME1] = "Changed";
    view.modes[IDC_MODE1] = kDisablePosition;
    ClickTimeRelease(true);
    store().ResetCounts();
    dlg->OnCancel();
    EXPECT_EQ(view.ended, kCancelButton);
    EXPECT_EQ(store().counts().writes, 0);
    EXPECT_EQ(Stored(0x11), "Panel 0|1|7");
    EXPECT_EQ(StoredSystem(), "");
}

}  // namespace
}  // namespace cordane
