#include "main_dlg_win32.h"

#include "code_dialog_win32.h"
#include "velmic_ids.h"

namespace velmic {
namespace {

constexpr const char* kCaption = "Touch Settings Program";
constexpr double kClientWidth = 7575;
constexpr double kClientHeight = 6240;

// The two frames' places; the controls inside them are placed relative to
// them, as on the form.
constexpr winui::TwipRect kClickFrame = {120, 480, 7335, 1935};
constexpr winui::TwipRect kDClickFrame = {120, 2520, 7335, 1935};

struct SliderRow {
    Slider slider;
    const winui::TwipRect* frame;
    double top;  // of the row inside the frame: the label's top less 120
    const char* title;
    const char* leftEnd;
    const char* rightEnd;
    int titleId, sliderId, leftId, rightId;
};
constexpr SliderRow kRows[] = {
    {Slider::DownCanceler, &kClickFrame, 240, "Touch down chatter cancel", "Low", "High", IDC_DOWN_LABEL,
     IDC_DOWN_CANCELER, IDC_DOWN_LOW, IDC_DOWN_HIGH},
    {Slider::UpCanceler, &kClickFrame, 1080, "Touch up chatter cancel", "Low", "High", IDC_UP_LABEL, IDC_UP_CANCELER,
     IDC_UP_LOW, IDC_UP_HIGH},
    {Slider::DblClickSpeed, &kDClickFrame, 240, "Double click speed", "Fast", "Slow", IDC_SPEED_LABEL,
     IDC_DBL_CLICK_SPEED, IDC_SPEED_FAST, IDC_SPEED_SLOW},
    {Slider::DblClickArea, &kDClickFrame, 1080, "Double click area", "Narrow", "Wide", IDC_AREA_LABEL,
     IDC_DBL_CLICK_AREA, IDC_AREA_NARROW, IDC_AREA_WIDE},
};

int SliderId(Slider slider) {
    for (const SliderRow& row : kRows) {
        if (row.slider == slider) return row.sliderId;
    }
    return 0;
}

winui::TwipRect Inside(const winui::TwipRect& frame, winui::TwipRect rect) {
    return {frame.left + rect.left, frame.top + rect.top, rect.width, rect.height};
}

}  // namespace

bool MainDlgWindow::Create() {
    font_ = winui::MessageFont();
    const winui::CodeDialogTemplate dialog(
        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_CENTER, kCaption);
    return CreateModelessIndirect(instance_, dialog.Get(), nullptr) != nullptr;
}

bool MainDlgWindow::OnInitDialog() {
    winui::SizeClientInTwips(Handle(), scale_, kClientWidth, kClientHeight);
    CreateControls();
    return true;
}

void MainDlgWindow::CreateControls() {
    HWND box = Handle();
    const auto child = [&](const char* cls, const char* text, DWORD style, winui::TwipRect rect, int id,
                           DWORD exStyle = 0) {
        return winui::CreateChild(box, scale_, font_.Get(), {cls, text, WS_VISIBLE | style, rect, id, exStyle});
    };
    const DWORD label = SS_LEFT | SS_NOPREFIX;
    child("STATIC", "Current active panel ID :", SS_LEFTNOWORDWRAP | SS_NOPREFIX, {120, 120, 1725, 195},
          IDC_PANEL_ID_LABEL);
    child("STATIC", "", label, {1920, 120, 615, 255}, IDC_ACTIVE_PANEL_ID);
    child("BUTTON", "Touch Operation Settings", BS_GROUPBOX, kClickFrame, IDC_CLICK_FRAME);
    child("BUTTON", "Double click Settings", BS_GROUPBOX, kDClickFrame, IDC_DCLICK_FRAME);

    for (const SliderRow& row : kRows) {
        const winui::TwipRect& frame = *row.frame;
        child("STATIC", row.title, label, Inside(frame, {360, row.top + 120, 2655, 255}), row.titleId);
        HWND control = child(TRACKBAR_CLASSA, "", winui::Trackbar::kTrackbarStyle,
                             Inside(frame, {3120, row.top, 3975, 495}), row.sliderId);
        const winui::Trackbar trackbar(control);
        const SliderScale scale = ScaleOf(row.slider);
        trackbar.SetRange(scale.minPosition, scale.maxPosition);
        trackbar.ShowEveryTick();
        // The end labels below the slider; the right one, right-aligned,
        // ends where the slider ends.
        child("STATIC", row.leftEnd, label, Inside(frame, {3240, row.top + 480, 1095, 195}), row.leftId);
        child("STATIC", row.rightEnd, SS_RIGHT | SS_NOPREFIX, Inside(frame, {6600, row.top + 480, 495, 195}),
              row.rightId);
    }

    child("BUTTON", "Touch down sound", WS_TABSTOP | BS_AUTOCHECKBOX, {480, 4680, 3135, 240}, IDC_CLICK_SOUND);
    child("BUTTON", "Set to default", WS_TABSTOP | BS_PUSHBUTTON, {6000, 4680, 1455, 375}, IDC_SET_DEFAULT);
    // The test areas: pictures that report clicks (SS_NOTIFY), the image
    // centred in a sunken frame at the control's design size.
    const DWORD picture = SS_BITMAP | SS_CENTERIMAGE | SS_NOTIFY;
    HWND dClickArea = child("STATIC", "", picture, {120, 5160, 1020, 1020}, IDC_DCLICK_TEST_AREA, WS_EX_CLIENTEDGE);
    HWND clickArea = child("STATIC", "", picture, {1320, 5160, 1020, 1020}, IDC_CLICK_TEST_AREA, WS_EX_CLIENTEDGE);
    winui::SetPictureBitmap(dClickArea, winui::LoadBitmapResource(instance_, IDB_DCLICK_AREA));
    winui::SetPictureBitmap(clickArea, winui::LoadBitmapResource(instance_, IDB_CLICK_AREA));

    child("BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, {2640, 5760, 1455, 375}, IDOK);
    child("BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, {4320, 5760, 1455, 375}, IDCANCEL);
    HWND apply = child("BUTTON", "Apply", WS_TABSTOP | BS_PUSHBUTTON, {6000, 5760, 1455, 375}, IDC_APPLY);
    EnableWindow(apply, FALSE);
}

void MainDlgWindow::Show() {
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
}

void MainDlgWindow::DestroyBox() {
    logic_ = nullptr;
    if (Handle() != nullptr) DestroyWindow(Handle());
}

INT_PTR MainDlgWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (logic_ == nullptr) return FALSE;
    if (message == WM_ENDSESSION) {
        if (wParam && sessionEnd_) sessionEnd_();
        return TRUE;
    }
    switch (message) {
    case WM_HSCROLL: {
        // A slider's move ends (mouse button or key released): the
        // positions are put into effect.
        if (LOWORD(wParam) != TB_ENDTRACK) return FALSE;
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        for (const SliderRow& row : kRows) {
            if (row.sliderId == id) logic_->Slider_Change(row.slider);
        }
        return TRUE;
    }
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        logic_->CancelBtn_Click();
        return TRUE;
    default:
        return FALSE;
    }
}

void MainDlgWindow::OnCommand(int id, int code) {
    MainDlg* logic = logic_;
    switch (id) {
    case IDOK:
        logic->OkBtn_Click();
        break;
    case IDCANCEL:
        logic->CancelBtn_Click();
        break;
    case IDC_APPLY:
        logic->ApplyBtn_Click();
        break;
    case IDC_SET_DEFAULT:
        logic->SetDefaultBtn_Click();
        break;
    case IDC_CLICK_SOUND:
        if (code == BN_CLICKED) logic->ClickSound_Click();
        break;
    case IDC_CLICK_TEST_AREA:
        // The second press of a double click comes as STN_DBLCLK and is
        // not a click.
        if (code == STN_CLICKED) logic->ClickTestArea_Click();
        break;
    case IDC_DCLICK_TEST_AREA:
        if (code == STN_DBLCLK) logic->DClickTestArea_DblClick();
        break;
    default:
        break;
    }
}

void MainDlgWindow::SetSliderPosition(Slider slider, int position) {
    winui::Trackbar(Item(SliderId(slider))).SetPosition(position);
}

int MainDlgWindow::SliderPosition(Slider slider) { return winui::Trackbar(Item(SliderId(slider))).Position(); }

void MainDlgWindow::SetClickSound(bool checked) {
    CheckDlgButton(Handle(), IDC_CLICK_SOUND, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool MainDlgWindow::ClickSoundChecked() { return IsDlgButtonChecked(Handle(), IDC_CLICK_SOUND) == BST_CHECKED; }

void MainDlgWindow::SetEnabled(Button button, bool enabled) {
    HWND control = Item(button == Button::OkBtn ? IDOK : IDC_APPLY);
    // A button about to be disabled that has the focus hands it on first,
    // so the keyboard keeps working in the dialog.
    if (!enabled && GetFocus() == control) SendMessageA(Handle(), WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(control, enabled ? TRUE : FALSE);
}

void MainDlgWindow::SetActivePanelId(const std::string& caption) {
    SetDlgItemTextA(Handle(), IDC_ACTIVE_PANEL_ID, caption.c_str());
}

bool MainDlgWindow::ShowPicture(TestArea area, const std::string& fileName) {
    // By bare name: the file is looked up in the current folder.
    winui::Bitmap bitmap = winui::LoadBitmapFile(fileName.c_str());
    if (!bitmap) return false;
    winui::SetPictureBitmap(Item(area == TestArea::ClickTestArea ? IDC_CLICK_TEST_AREA : IDC_DCLICK_TEST_AREA),
                            std::move(bitmap));
    return true;
}

void MainDlgWindow::Beep() { MessageBeep(MB_OK); }

void MainDlgWindow::SetDoubleClickTime(unsigned milliseconds) { ::SetDoubleClickTime(milliseconds); }

}  // namespace velmic
