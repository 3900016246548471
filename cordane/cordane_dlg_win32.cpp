#include "cordane_dlg_win32.h"

#include <string>

#include "code_page_win32.h"
#include "controls_win32.h"
#include "handles_win32.h"
#include "message_boxes_win32.h"
#include "system_menu_win32.h"
#include "text_win32.h"
#include "tool_start_win32.h"

namespace cordane {

// The buttons that end the dialog and the mode lists' "no selection" are
// the dialog framework's values.
static_assert(kOkButton == IDOK && kCancelButton == IDCANCEL, "OK and Cancel end the dialog with their identifiers");
static_assert(kNoMode == CB_ERR, "a list without a selection answers CB_ERR, and CB_SETCURSEL takes -1 for none");

namespace {

// Characters, with the terminating zero, of the about command's text and of
// the class name and text of a row control that is copied.
constexpr int kAboutTextLength = 128;
constexpr int kClassNameLength = 32;
constexpr int kControlTextLength = 64;

}  // namespace

CordaneDlgWindow::CordaneDlgWindow(HINSTANCE instance) : instance_(instance), dlg_(*this) {}

// A Unicode dialog: the Japanese font name and texts of the template reach
// the controls as they are, whatever the system's code page.
INT_PTR CordaneDlgWindow::DoModal() { return DoModalUnicode(instance_, IDD_CORDANE_DIALOG); }

// The mode list's entries, unsorted, and the name's limit.
void CordaneDlgWindow::PrepareRow(const RowControls& row) {
    HWND list = GetDlgItem(Handle(), row.mode);
    if (SendMessageW(list, CB_GETCOUNT, 0, 0) == 0) {
        for (const char* mode : kModeTexts) {
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(winui::Widen(mode, CP_ACP).c_str()));
        }
    }
    SendDlgItemMessageW(Handle(), row.name, EM_LIMITTEXT, kMaxNameCharacters, 0);
}

bool CordaneDlgWindow::OnInitDialog() {
    for (int row = 0; row < kTemplateRows; ++row) PrepareRow(kRows[row]);
    dlg_.OnInitDialog();

    // The about command, when its text is there, and the program icon.
    const winui::SystemMenu systemMenu(Handle());
    wchar_t about[kAboutTextLength] = {};
    if (systemMenu && LoadStringW(instance_, IDS_ABOUTBOX, about, kAboutTextLength) > 0) {
        systemMenu.AppendSeparator();
        systemMenu.AppendItem(IDM_ABOUTBOX, about);
    }
    programIcon_.Set(Handle(), instance_, IDR_MAINFRAME);
    return true;
}

INT_PTR CordaneDlgWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    INT_PTR answer = FALSE;
    if (programIcon_.Answer(Handle(), message, &answer)) return answer;
    switch (message) {
    case WM_COMMAND: {
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        const int control = LOWORD(wParam);
        if (control == IDOK) {
            dlg_.OnOk();
        } else if (control == IDCANCEL) {  // Cancel, Escape and the close box
            dlg_.OnCancel();
        } else if (control == IDC_TIME_RELEASE) {
            dlg_.OnTimeReleaseClicked();
        } else if (!dlg_.OnRowButton(control)) {
            return FALSE;
        }
        return TRUE;
    }
    case WM_SYSCOMMAND:
        if (!IsAboutCommand(wParam)) return FALSE;
        dlg_.OnAboutCommand();
        return TRUE;
    default:
        return FALSE;
    }
}

// Rows 3 and 4 are copies of row 2 (class, styles, size, text, font) one
// row pitch further down each; what lies below the rows moves down and the
// dialog grows by as much. Tab order follows the rows.
void CordaneDlgWindow::AddRows(int rows) {
    if (rows > kMaxRows) rows = kMaxRows;
    if (rows <= kTemplateRows) return;
    const RowControls& model = kRows[kTemplateRows - 1];
    const RECT first = winui::ChildRect(GetDlgItem(Handle(), kRows[0].id));
    const RECT last = winui::ChildRect(GetDlgItem(Handle(), model.id));
    const int pitch = last.top - first.top;
    const int extra = pitch * (rows - kTemplateRows);

    for (HWND child = GetWindow(Handle(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT rect = winui::ChildRect(child);
        if (rect.top < last.bottom) continue;
        SetWindowPos(child, nullptr, rect.left, rect.top + extra, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame{};
    GetWindowRect(Handle(), &frame);
    SetWindowPos(Handle(), nullptr, frame.left, frame.top - extra / 2, frame.right - frame.left,
                 frame.bottom - frame.top + extra, SWP_NOZORDER | SWP_NOACTIVATE);

    const auto font = static_cast<WPARAM>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
    HWND after = GetDlgItem(Handle(), model.calibration);
    for (int row = kTemplateRows; row < rows; ++row) {
        const RowControls& made = kRows[row];
        const int offset = pitch * (row - (kTemplateRows - 1));
        const std::pair<int, int> copies[] = {{model.id, made.id},
                                              {model.name, made.name},
                                              {model.mode, made.mode},
                                              {model.touchSettings, made.touchSettings},
                                              {model.calibration, made.calibration}};
        for (const auto& copy : copies) {
            HWND source = GetDlgItem(Handle(), copy.first);
            const RECT rect = winui::ChildRect(source);
            int height = rect.bottom - rect.top;
            RECT dropped{};
            if (SendMessageW(source, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)) != 0) {
                height = dropped.bottom - dropped.top;  // a list: its height when dropped down
            }
            wchar_t className[kClassNameLength] = {};
            GetClassNameW(source, className, kClassNameLength);
            wchar_t text[kControlTextLength] = {};
            GetWindowTextW(source, text, kControlTextLength);
            HWND control =
                CreateWindowExW(static_cast<DWORD>(GetWindowLongW(source, GWL_EXSTYLE)), className, text,
                                static_cast<DWORD>(GetWindowLongW(source, GWL_STYLE)), rect.left, rect.top + offset,
                                rect.right - rect.left, height, Handle(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(copy.second)), instance_, nullptr);
            if (control == nullptr) continue;
            SendMessageW(control, WM_SETFONT, font, FALSE);
            SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            after = control;
        }
        PrepareRow(made);
    }
}

void CordaneDlgWindow::EnableControl(int control, bool enabled) {
    EnableWindow(GetDlgItem(Handle(), control), enabled ? TRUE : FALSE);
}

// Texts pass through the narrow code page the records keep.
void CordaneDlgWindow::SetText(int control, const std::string& text) {
    SetDlgItemTextA(Handle(), control, text.c_str());
}

std::optional<std::string> CordaneDlgWindow::GetText(int control) {
    HWND item = GetDlgItem(Handle(), control);
    const int length = GetWindowTextLengthW(item);
    if (length <= 0) return std::string();
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(item, &wide[0], length + 1);
    if (copied <= 0) return std::string();
    // The code page the registry's narrow calls use.
    PlatformCodePage platform;
    return NarrowExactly(
        platform, GetACP(),
        std::u16string(reinterpret_cast<const char16_t*>(wide.data()), static_cast<std::size_t>(copied)));
}

std::size_t CordaneDlgWindow::TextLength(int control) {
    const int length = GetWindowTextLengthW(GetDlgItem(Handle(), control));
    return static_cast<std::size_t>(length > 0 ? length : 0);
}

void CordaneDlgWindow::SetCheck(int control, bool checked) {
    CheckDlgButton(Handle(), control, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool CordaneDlgWindow::IsChecked(int control) { return IsDlgButtonChecked(Handle(), control) == BST_CHECKED; }

void CordaneDlgWindow::SelectMode(int control, int position) {
    SendDlgItemMessageW(Handle(), control, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

int CordaneDlgWindow::SelectedMode(int control) {
    const LRESULT position = SendDlgItemMessageW(Handle(), control, CB_GETCURSEL, 0, 0);
    return position == CB_ERR ? kNoMode : static_cast<int>(position);
}

void CordaneDlgWindow::Focus(int control) {
    HWND item = GetDlgItem(Handle(), control);
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
}

void CordaneDlgWindow::Message(const std::string& text, BoxIcon icon) {
    UINT style = MB_OK;
    if (icon == BoxIcon::kWarning) style |= MB_ICONEXCLAMATION;
    if (icon == BoxIcon::kStop) style |= MB_ICONSTOP;
    winui::ShowWideBox(Handle(), winui::Widen(text, CP_ACP), kBoxTitle, style);
}

// The tools find the panel to work on themselves; whether they started is
// not reported (a missing tool is a missing installation, not a user error).
void CordaneDlgWindow::StartProgram(const char* path) { process_ = StartDetached(path, startup_); }

void CordaneDlgWindow::ShowAbout() { winui::ShowSimpleBoxUnicode(instance_, IDD_ABOUTBOX, Handle()); }

void CordaneDlgWindow::EndDialog(int result) { ::EndDialog(Handle(), result); }

}  // namespace cordane
