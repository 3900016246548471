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
#include "row_name.h"

namespace cordane {
namespace {

const std::string kBase = "SOFTWARE\\ZR_EX_CONTROL\\";
enum { kNoRecord = -100, kSystem = -1 };  // no record for the panel; the system record's "identifier"
using Ids = std::vector<int>;
using Texts = std::vector<std::string>;

class RecordingView final : public CordaneView {
public:
    void AddRows(int rows) override { addedRows = rows; }
    void EnableControl(int control, bool on) override { enabled[control] = on; }
    void SetText(int control, const std::string& text) override { texts[control] = text; }
    std::optional<std::string> GetText(int control) override {
        if (unstorable.count(control) != 0) return std::nullopt;
        return texts[control];
    }
    std::size_t TextLength(int control) override {
        const auto length = lengths.find(control);
        return length != lengths.end() ? length->second : texts[control].size();
    }
    void SetCheck(int control, bool on) override { checks[control] = on; }
    bool IsChecked(int control) override { return checks[control]; }
    void SelectMode(int control, int position) override { modes[control] = position; }
    int SelectedMode(int control) override { return modes.count(control) != 0 ? modes[control] : kNoMode; }
    void Focus(int control) override { focus = control; }
    void Message(const std::string& text, BoxIcon icon) override {
        boxes.push_back(text + (icon == BoxIcon::kWarning ? " (warning)" : icon == BoxIcon::kStop ? " (stop)" : ""));
    }
    void StartProgram(const char* path) override { started.emplace_back(path); }
    void ShowAbout() override { ++about; }
    void EndDialog(int result) override { ended = result; }

    bool Enabled(int control) { return enabled.count(control) != 0 && enabled[control]; }

    std::map<int, bool> enabled, checks;
    std::map<int, std::string> texts;
    std::map<int, std::size_t> lengths;
    std::set<int> unstorable;  // controls whose text the narrow code page cannot hold
    std::map<int, int> modes;
    Texts boxes;  // each box's text, and its icon unless it has none
    Texts started;
    int addedRows = 0, focus = 0, about = 0;
    std::optional<int> ended;
};

class CordaneTest : public ::testing::Test {
protected:
    // A fresh driver, registry, window and dialog for each test and case.
    void SetUp() override {
        tavlosim::ResetInProcessDriver();
        store().Clear();
        dlg.reset();
        view = RecordingView();
        dlg.emplace(view);
    }

    static brimol::MemoryKeyStore& store() { return brimol::TheMemoryKeyStore(); }
    static std::string Key(int id) { return kBase + (id == kSystem ? std::string("ALL") : "ID" + std::to_string(id)); }

    // Panels with these identifiers; a mode other than kNoRecord gives
    // panel i the record "Panel <i>" with that TOUCH_OP and IR_OP 7.
    void Start(const Ids& ids, const std::vector<int>& modes = {}) {
        for (std::size_t i = 0; i < ids.size(); ++i) {
            tavlosim::TheInProcessDriver().model.AttachPanel(static_cast<std::uint8_t>(ids[i]));
            if (i >= modes.size() || modes[i] == kNoRecord) continue;
            store().PutText(Key(ids[i]), "NAME", "Panel " + std::to_string(i));
            store().PutDword(Key(ids[i]), "TOUCH_OP", modes[i]);
            store().PutDword(Key(ids[i]), "IR_OP", 7);
        }
        dlg->OnInitDialog();
    }
    static void System(int timeOut, int timeEnable) {
        store().PutDword(Key(kSystem), "TIMEOUT", timeOut);
        store().PutDword(Key(kSystem), "TIMEENABLE", timeEnable);
    }

    // A stored record as "NAME|TOUCH_OP|IR_OP", the system record as
    // "TIMEOUT|TIMEENABLE"; "" when there is none, "?" for a missing value.
    static std::string Stored(int id) {
        if (!store().HasKey(Key(id))) return "";
        if (id == kSystem) return Dword(id, "TIMEOUT") + "|" + Dword(id, "TIMEENABLE");
        const auto* name = store().Find(Key(id), "NAME");
        std::string text = name != nullptr ? std::string(name->bytes.begin(), name->bytes.end()) : "?";
        if (!text.empty() && text.back() == '\0') text.pop_back();
        return text + "|" + Dword(id, "TOUCH_OP") + "|" + Dword(id, "IR_OP");
    }
    static std::string Dword(int id, const char* value) {
        const auto* stored = store().Find(Key(id), value);
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
    void ClickTimeRelease(bool checked) {
        view.checks[IDC_TIME_RELEASE] = checked;
        dlg->OnTimeReleaseClicked();
    }

    RecordingView view;
    std::optional<CCordaneDlg> dlg;
};

// The same for a table of cases, one test per row.
template <class Case>
class CordaneCases : public CordaneTest, public ::testing::WithParamInterface<Case> {};

// Which controls work for 0..4 panels: one enabled row per panel, the
// template's two rows and no more for up to two panels, rows without a
// panel empty, the time-out field with time release on, and the time-out
// read, or without a panel the 0 held (the record is not read), greyed. The tool buttons of every row with a panel
// start the tools by fixed path. Without a panel a click that reaches the
// disabled check box, a row button and OK (by Enter, say) do nothing.
struct PanelCountCase {
    int panels;      // attached, 0..4
    int timeEnable;  // TIMEENABLE stored
};

std::vector<PanelCountCase> EveryPanelCount() {
    std::vector<PanelCountCase> cases;
    for (int panels = 0; panels <= 4; ++panels) {
        for (int timeEnable : {0, 1}) cases.push_back({.panels = panels, .timeEnable = timeEnable});
    }
    return cases;
}

using PanelCount = CordaneCases<PanelCountCase>;

TEST_P(PanelCount, ControlsForEachNumberOfPanels) {
    const auto [panels, timeEnable] = GetParam();
    System(30, timeEnable);
    // The window's two template rows come enabled and may hold text.
    for (int row = 0; row < 2; ++row) {
        const RowControls& c = kRows[row];
        for (int control : {c.name, c.mode, c.touchSettings, c.calibration}) view.enabled[control] = true;
        view.texts[c.id] = view.texts[c.name] = "old";
        view.modes[c.mode] = kInterlockPosition;
    }
    const Ids all = {0x11, 0x22, 0x33, 0x44};
    Start(Ids(all.begin(), all.begin() + panels));
    EXPECT_EQ(view.addedRows, panels > 2 ? panels : 0);
    for (int row = 0; row < std::max(panels, 2); ++row) {
        const RowControls& c = kRows[row];
        for (int control : {c.name, c.mode, c.touchSettings, c.calibration}) {
            EXPECT_EQ(view.Enabled(control), row < panels) << "row " << row + 1 << " control " << control;
        }
        if (row >= panels) {
            EXPECT_EQ(Row(row), "||-1") << "row " << row + 1;
        }
    }
    EXPECT_EQ(view.Enabled(IDC_TIME_RELEASE), panels > 0);
    EXPECT_EQ(view.Enabled(IDC_TIME_OUT), panels > 0 && timeEnable != 0);
    EXPECT_EQ(view.enabled.count(kOkButton) == 0 || view.enabled[kOkButton], panels > 0);
    EXPECT_EQ(view.checks[IDC_TIME_RELEASE], panels > 0 && timeEnable != 0);
    EXPECT_EQ(view.texts[IDC_TIME_OUT], panels > 0 ? "30" : "0");
    ClickTimeRelease(timeEnable == 0);
    EXPECT_EQ(view.Enabled(IDC_TIME_OUT), panels > 0 && timeEnable == 0);
    Texts tools;
    for (int row = 0; row < kMaxRows; ++row) {
        EXPECT_TRUE(dlg->OnRowButton(kRows[row].touchSettings));
        EXPECT_TRUE(dlg->OnRowButton(kRows[row].calibration));
        if (row < panels) tools.insert(tools.end(), {kTouchSettingsTool, kCalibrationTool});
    }
    EXPECT_EQ(view.started, tools);
    dlg->OnOk();
    EXPECT_EQ(view.ended.has_value(), panels > 0);
    EXPECT_EQ(Stored(kSystem), "30|" + std::to_string(panels > 0 ? 1 - timeEnable : timeEnable));
}

// "Panels3_TimeEnable1" and the like.
INSTANTIATE_TEST_SUITE_P(Cordane, PanelCount, ::testing::ValuesIn(EveryPanelCount()),
                         [](const ::testing::TestParamInfo<PanelCountCase>& row) {
                             return "Panels" + std::to_string(row.param.panels) + "_TimeEnable" +
                                    std::to_string(row.param.timeEnable);
                         });

// What a row shows for its stored record, and what OK stores when the
// user changes nothing.
struct StoredRecordCase {
    const char* name;
    int touchOp;  // TOUCH_OP stored, or kNoRecord
    std::string row, stored;
};

using StoredRecord = CordaneCases<StoredRecordCase>;

TEST_P(StoredRecord, RecordShownAndStoredBack) {
    Start({0x11}, {GetParam().touchOp});
    EXPECT_EQ(Row(0), GetParam().row);
    dlg->OnOk();
    EXPECT_EQ(view.ended, kOkButton);
    EXPECT_EQ(Stored(0x11), GetParam().stored);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cordane, StoredRecord,
    ::testing::Values(
        StoredRecordCase{.name = "Interlock", .touchOp = 1, .row = "17|Panel 0|0", .stored = "Panel 0|1|7"},
        StoredRecordCase{.name = "Supervisor", .touchOp = 2, .row = "17|Panel 0|1", .stored = "Panel 0|2|7"},
        StoredRecordCase{.name = "Disable", .touchOp = 0, .row = "17|Panel 0|2", .stored = "Panel 0|0|7"},
        StoredRecordCase{.name = "NegativeReadsAsDisable", .touchOp = -4, .row = "17|Panel 0|2", .stored = "Panel 0|0|7"},
        StoredRecordCase{.name = "ThreeIsNoModeSavedAsDisable", .touchOp = 3, .row = "17|Panel 0|-1", .stored = "Panel 0|0|7"},
        // No record: Interlock, created with IR_OP 0.
        StoredRecordCase{.name = "NoRecord", .touchOp = kNoRecord, .row = "17||0", .stored = "|1|0"}),
    suite_test::RowName);
// clang-format on

// Names and the time-out: a refused field shows its message, takes the
// focus, keeps the dialog open and saves nothing.
struct FieldCase {
    const char* name;
    std::string panelName, timeOut;
    std::size_t nameCharacters = 0;  // 0: as many as bytes
    int refused = 0;                 // control refused, 0 when saved
    const char* message = kNameLimitMessage;
    bool storable = true;  // the code page can hold the name
};

using Fields = CordaneCases<FieldCase>;

TEST_P(Fields, FieldValidation) {
    const FieldCase& c = GetParam();
    System(30, 1);
    Start({0x11, 0x22}, {1, 1});
    view.texts[IDC_NAME2] = c.panelName;
    if (c.nameCharacters != 0) view.lengths[IDC_NAME2] = c.nameCharacters;
    if (!c.storable) view.unstorable.insert(IDC_NAME2);
    view.texts[IDC_TIME_OUT] = c.timeOut;
    store().ResetCounts();
    dlg->OnOk();
    EXPECT_EQ(view.ended.has_value(), c.refused == 0);
    if (c.refused == 0) {
        EXPECT_TRUE(view.boxes.empty());
        EXPECT_EQ(Stored(0x22), c.panelName + "|1|7");
        EXPECT_EQ(Stored(kSystem), c.timeOut + "|1");
    } else {
        EXPECT_EQ(view.focus, c.refused);
        EXPECT_EQ(view.boxes, Texts{std::string(c.message) + " (warning)"});
        EXPECT_EQ(store().counts().creates + store().counts().writes, 0);
    }
}

const std::string kSixteen = "ABCDEFGHIJKLMNOP";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cordane, Fields,
    ::testing::Values(
        FieldCase{.name = "SixteenCharacters", .panelName = kSixteen, .timeOut = "60"},
        FieldCase{.name = "SeventeenCharacters", .panelName = kSixteen + "Q", .timeOut = "60", .refused = IDC_NAME2},
        FieldCase{.name = "SixteenDoubleByteCharacters", .panelName = std::string(32, '\x82'), .timeOut = "60", .nameCharacters = 16},
        FieldCase{.name = "SixteenThreeByteCharactersOfUtf8", .panelName = std::string(48, '\xE3'), .timeOut = "60", .nameCharacters = 16},
        FieldCase{.name = "NarrowTextTooLongToReadBackWhole", .panelName = std::string(50, 'x'), .timeOut = "60", .nameCharacters = 16, .refused = IDC_NAME2},
        FieldCase{.name = "EmptyNameWidestTimeOut", .panelName = "", .timeOut = "1800"},
        FieldCase{.name = "TimeOutOutOfRange", .panelName = "B", .timeOut = "1801", .refused = IDC_TIME_OUT, .message = kTimeOutLimitMessage},
        FieldCase{.name = "NameCheckedBeforeTimeOut", .panelName = kSixteen + "Q", .timeOut = "0", .refused = IDC_NAME2},
        FieldCase{.name = "CharactersTheCodePageLacks", .panelName = "????", .timeOut = "60", .nameCharacters = 4,
                  .refused = IDC_NAME2, .message = kNameCharactersMessage, .storable = false}),
    suite_test::RowName);
// clang-format on

// OK saves every row, then the system record: names, modes and TIMEENABLE
// as the user set them, the time-out as typed, IR_OP as loaded. More than
// one Supervisor is warned about and saved all the same. Panels reporting
// the same identifier are warned about at start and share one record, which
// the later row is written to last.
struct SaveCase {
    const char* name;
    Ids ids;
    std::vector<int> modes;  // TOUCH_OP the user selects per row
    Texts boxes;             // the boxes shown
};

using Save = CordaneCases<SaveCase>;

TEST_P(Save, OkSavesEveryRowThenTheSystemRecord) {
    const SaveCase& c = GetParam();
    const int positionOf[] = {kDisablePosition, kInterlockPosition, kSupervisorPosition};
    System(30, 0);
    Start(c.ids, std::vector<int>(c.ids.size(), 1));
    std::map<int, std::string> expected;  // of each identifier, its last row
    for (std::size_t row = 0; row < c.ids.size(); ++row) {
        view.texts[kRows[row].name] = "Row " + std::to_string(row);
        view.modes[kRows[row].mode] = positionOf[c.modes[row]];
        expected[c.ids[row]] = "Row " + std::to_string(row) + "|" + std::to_string(c.modes[row]) + "|7";
    }
    ClickTimeRelease(true);
    view.texts[IDC_TIME_OUT] = "120";
    dlg->OnOk();
    EXPECT_EQ(view.boxes, c.boxes);
    EXPECT_EQ(view.ended, kOkButton);
    for (const auto& [id, stored] : expected) EXPECT_EQ(Stored(id), stored) << "identifier " << id;
    EXPECT_EQ(Stored(kSystem), "120|1");
    EXPECT_EQ(store().OpenKeys(), 0);
}

const std::string kTwo = kTwoSupervisorMessage, kSame = kSameIdMessage;

INSTANTIATE_TEST_SUITE_P(
    Cordane, Save,
    ::testing::Values(
        SaveCase{.name = "TwoSupervisors", .ids = {3, 4}, .modes = {2, 2}, .boxes = {kTwo}},
        SaveCase{.name = "ThreePanelsEachMode", .ids = {3, 4, 5}, .modes = {1, 2, 0}, .boxes = {}},
        SaveCase{.name = "FourPanelsTwoSupervisors", .ids = {3, 4, 5, 6}, .modes = {2, 1, 1, 2}, .boxes = {kTwo}},
        SaveCase{.name = "SameIdentifier", .ids = {5, 5}, .modes = {1, 2}, .boxes = {kSame}},
        SaveCase{.name = "SameIdentifierFirstAndThird", .ids = {5, 6, 5}, .modes = {2, 1, 0}, .boxes = {kSame}},
        SaveCase{.name = "SameIdentifierLastTwo", .ids = {1, 2, 3, 3}, .modes = {0, 0, 1, 2}, .boxes = {kSame}},
        SaveCase{.name = "SameIdentifierTwoSupervisors", .ids = {5, 5}, .modes = {2, 2}, .boxes = {kSame, kTwo}}),
    suite_test::RowName);

// The check box: the time-out field follows it, once the fields are valid.
// With time release off, a stored time-out outside 1..1800 neither blocks
// OK (it is saved as loaded) nor stops the user from switching the field on
// to correct it.
struct TimeReleaseCase {
    const char* name;
    int storedTimeOut, storedEnable;
    std::vector<std::pair<bool, std::string>> clicks;  // box state after the click, time-out typed before it
    bool fieldEnabled;
    int boxes;
    std::string okSaves;  // "" when OK is refused
};

using TimeRelease = CordaneCases<TimeReleaseCase>;

TEST_P(TimeRelease, TimeReleaseBoxAndTheTimeOutField) {
    const TimeReleaseCase& c = GetParam();
    System(c.storedTimeOut, c.storedEnable);
    Start({0x11}, {1});
    EXPECT_EQ(view.texts[IDC_TIME_OUT], std::to_string(c.storedTimeOut));
    for (const auto& [checked, typed] : c.clicks) {
        view.texts[IDC_TIME_OUT] = typed;
        ClickTimeRelease(checked);
    }
    EXPECT_EQ(view.Enabled(IDC_TIME_OUT), c.fieldEnabled);
    dlg->OnOk();
    EXPECT_EQ(static_cast<int>(view.boxes.size()), c.boxes);
    EXPECT_EQ(view.ended.has_value(), !c.okSaves.empty());
    EXPECT_EQ(Stored(kSystem),
              c.okSaves.empty() ? std::to_string(c.storedTimeOut) + "|" + std::to_string(c.storedEnable) : c.okSaves);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cordane, TimeRelease,
                         ::testing::Values(
                             // Off: the field disabled, its value saved as loaded.
        TimeReleaseCase{.name = "OffFieldDisabledValueSavedAsLoaded", .storedTimeOut = 0, .storedEnable = 0,
                        .clicks = {}, .fieldEnabled = false, .boxes = 0, .okSaves = "0|0"},
        TimeReleaseCase{.name = "OnWithZeroRefusedUntilCorrected", .storedTimeOut = 0, .storedEnable = 1,
                        .clicks = {}, .fieldEnabled = true, .boxes = 1, .okSaves = ""},
        TimeReleaseCase{.name = "CheckingEnablesAnInvalidField", .storedTimeOut = 0, .storedEnable = 0,
                        .clicks = {{true, "0"}}, .fieldEnabled = true, .boxes = 1, .okSaves = ""},
        TimeReleaseCase{.name = "CheckingCorrecting", .storedTimeOut = 0, .storedEnable = 0,
                        .clicks = {{true, "0"}, {false, "25"}}, .fieldEnabled = false, .boxes = 0, .okSaves = "25|0"},
                             // Refused: the field stays enabled.
        TimeReleaseCase{.name = "UncheckingAnInvalidField", .storedTimeOut = 30, .storedEnable = 1,
                        .clicks = {{false, "abc"}}, .fieldEnabled = true, .boxes = 2, .okSaves = ""},
        TimeReleaseCase{.name = "UncheckingAValidField", .storedTimeOut = 30, .storedEnable = 1,
                        .clicks = {{false, "40"}}, .fieldEnabled = false, .boxes = 0, .okSaves = "40|0"},
        TimeReleaseCase{.name = "CheckingAgain", .storedTimeOut = 30, .storedEnable = 1,
                        .clicks = {{false, "40"}, {true, "40"}}, .fieldEnabled = true, .boxes = 0, .okSaves = "40|1"}),
                         suite_test::RowName);
// clang-format on

// A refused write is reported and the dialog stays open; what was written
// before it stays, nothing after it is written, and OK can be tried again.
struct FailedSaveCase {
    const char* name;
    long createError;
    std::string refusedValue;
    std::string stored1, stored2, system;  // what the refused save left
};

using FailedSave = CordaneCases<FailedSaveCase>;

TEST_P(FailedSave, FailedSaveIsReported) {
    const FailedSaveCase& c = GetParam();
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
    EXPECT_EQ(view.boxes, Texts{std::string(kSaveFailedMessage) + " (stop)"});
    EXPECT_EQ(Stored(0x11), c.stored1);
    EXPECT_EQ(Stored(0x22), c.stored2);
    EXPECT_EQ(Stored(kSystem), c.system);

    // The store lets writes through again: OK now saves everything.
    store().RefuseCreate(0);
    store().RefuseWrite(c.refusedValue.empty() ? "IR_OP" : c.refusedValue, 0);
    dlg->OnOk();
    EXPECT_EQ(view.ended, kOkButton);
    EXPECT_EQ(Stored(0x11) + " " + Stored(0x22) + " " + Stored(kSystem), "New 0|2|0 New 1|0|0 90|0");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cordane, FailedSave,
                         ::testing::Values(
        FailedSaveCase{.name = "NoKeyCanBeCreated", .createError = brimol::kRegAccessDenied, .refusedValue = "",
                       .stored1 = "", .stored2 = "", .system = "60|1"},
        FailedSaveCase{.name = "PanelValueRefused", .createError = 0, .refusedValue = "IR_OP", .stored1 = "New 0|2|?", .stored2 = "", .system = "60|1"},
        FailedSaveCase{.name = "NameRefused", .createError = 0, .refusedValue = "NAME", .stored1 = "?|2|0", .stored2 = "", .system = "60|1"},
        FailedSaveCase{.name = "TimeOutRefused", .createError = 0, .refusedValue = "TIMEOUT", .stored1 = "New 0|2|0", .stored2 = "New 1|0|0", .system = "60|0"},
        FailedSaveCase{.name = "TimeReleaseRefused", .createError = 0, .refusedValue = "TIMEENABLE",
                       .stored1 = "New 0|2|0", .stored2 = "New 1|0|0", .system = "90|1"}),
                         suite_test::RowName);
// clang-format on

// Other controls are no row buttons; Cancel ends the dialog as such; the
// system menu's about command opens the about box each time (which system
// commands are the about command: cordane_win32_test.cpp).
TEST_F(CordaneTest, CancelAndSystemMenu) {
    Start({0x11});
    EXPECT_FALSE(dlg->OnRowButton(IDC_NAME1));
    EXPECT_FALSE(dlg->OnRowButton(kOkButton));
    dlg->OnCancel();
    EXPECT_EQ(view.ended, kCancelButton);

    dlg->OnAboutCommand();
    dlg->OnAboutCommand();
    EXPECT_EQ(view.about, 2);
}

}  // namespace
}  // namespace cordane
