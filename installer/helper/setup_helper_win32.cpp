// SetupHelper.exe: what the installer and the uninstaller do to the
// program folder and the suite's running programs beyond NSIS's own
// instructions. It is unpacked into the installer's temporary folder and
// never installed.
//
//   SetupHelper protect FOLDER [--tree]   access rules by well-known SID
//   SetupHelper sddl PATH                 prints a path's owner and rules
//   SetupHelper rules                     prints the rules `protect` applies, by name
//   SetupHelper running EXE               0 runs in this session, 1 not, 3 only in another
//                                         (whose number it prints)
//   SetupHelper parent EXE                prints what started the running EXE
//   SetupHelper close FOLDER SECONDS [--end-session] NAME...
//                                         asks the suite's programs to close, waits
//   SetupHelper remove-same SAMPLES FOLDER
//                                         removes FOLDER's unchanged copies of the samples
//   SetupHelper free FOLDER FILE...       0 when no FILE of FOLDER is in use
//   SetupHelper replace STAGE FOLDER      the stage's files into the folder, all or none
//   SetupHelper start-as-user EXE         starts EXE through the desktop's shell
//   SetupHelper session-stop EXE SESSION  runs EXE /stop:10 in another session as its user
//   SetupHelper session-start EXE SESSION starts EXE in another session as its user
//   SetupHelper elevation                 prints full, limited or default
//
// Exit status: 0 done, 1 the condition does not hold or the step failed
// (the reason on stdout, one line each), 2 wrong use; `running` and
// `replace` as said there.
#include <windows.h>

#include <aclapi.h>
#include <exdisp.h>
#include <sddl.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>
#include <userenv.h>
#include <wtsapi32.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "replace.h"

namespace {

// Administrators and SYSTEM full control, Users read and execute, for the
// folder and everything in it; nothing inherited from above (so no write
// for Authenticated Users from C:\), and Administrators own it (an owner
// may change the rules, and the user who made the folder first would
// otherwise own it). By SID alias, so it holds on any Windows language.
constexpr wchar_t kProtected[] = L"O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";

std::wstring Widen(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    return wide;
}

std::string Narrow(const std::wstring& wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(n > 0 ? static_cast<size_t>(n) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &text[0], n, nullptr, nullptr);
    text.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    return text;
}

void Say(const std::wstring& line) { std::printf("%s\n", Narrow(line).c_str()); }

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && folder.back() == L'\\') return folder + name;
    return folder + L"\\" + name;
}

bool SameText(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

// ---- access rules -------------------------------------------------------

DWORD SetSecurity(const std::wstring& path, PSECURITY_DESCRIPTOR sd, bool protectedDacl) {
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    PSID owner = nullptr;
    GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted);
    GetSecurityDescriptorOwner(sd, &owner, &defaulted);
    SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION | OWNER_SECURITY_INFORMATION;
    what |= protectedDacl ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION;
    std::wstring writable = path;
    return SetNamedSecurityInfoW(&writable[0], SE_FILE_OBJECT, what, owner, nullptr, dacl, nullptr);
}

// Everything below the folder: Administrators own it, and its rules are
// only those inherited from the folder (rules a user put on a file that
// was there before are dropped).
bool ResetTree(const std::wstring& folder, PSECURITY_DESCRIPTOR inheritOnly) {
    bool ok = true;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Join(folder, L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = Join(folder, name);
        const DWORD error = SetSecurity(path, inheritOnly, false);
        if (error != ERROR_SUCCESS) {
            Say(L"cannot set the access rules of " + path + L" (error " + std::to_wstring(error) + L")");
            ok = false;
        }
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            ok = ResetTree(path, inheritOnly) && ok;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return ok;
}

int Protect(const std::wstring& folder, bool tree) {
    PSECURITY_DESCRIPTOR sd = nullptr, inheritOnly = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kProtected, SDDL_REVISION_1, &sd, nullptr) ||
        !ConvertStringSecurityDescriptorToSecurityDescriptorW(L"O:BAD:AI", SDDL_REVISION_1, &inheritOnly, nullptr)) {
        Say(L"cannot make the access rules (error " + std::to_wstring(GetLastError()) + L")");
        return 1;
    }
    bool ok = true;
    const DWORD error = SetSecurity(folder, sd, true);
    if (error != ERROR_SUCCESS) {
        Say(L"cannot set the access rules of " + folder + L" (error " + std::to_wstring(error) + L")");
        ok = false;
    }
    if (ok && tree) ok = ResetTree(folder, inheritOnly);
    LocalFree(sd);
    LocalFree(inheritOnly);
    return ok ? 0 : 1;
}

// The rules `protect` applies, read back from the descriptor as the system
// parses it: one line each, the SID by its well-known name.
int PrintRules() {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kProtected, SDDL_REVISION_1, &sd, nullptr)) {
        Say(L"the rules do not parse (error " + std::to_wstring(GetLastError()) + L")");
        return 1;
    }
    struct Known {
        WELL_KNOWN_SID_TYPE type;
        const wchar_t* name;
    };
    const Known known[] = {{WinBuiltinAdministratorsSid, L"Administrators"},
                           {WinLocalSystemSid, L"SYSTEM"},
                           {WinBuiltinUsersSid, L"Users"},
                           {WinAuthenticatedUserSid, L"Authenticated Users"},
                           {WinWorldSid, L"Everyone"},
                           {WinCreatorOwnerSid, L"CREATOR OWNER"}};
    auto name = [&](PSID sid) -> std::wstring {
        for (const Known& k : known) {
            if (IsWellKnownSid(sid, k.type)) return k.name;
        }
        return L"another account";
    };
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(sd, &control, &revision);
    PSID owner = nullptr;
    BOOL defaulted = FALSE, present = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorOwner(sd, &owner, &defaulted);
    GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted);
    Say(std::wstring(L"owner ") + (owner ? name(owner) : L"none"));
    Say((control & SE_DACL_PROTECTED) ? L"nothing inherited from above" : L"inherits from above");
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace)) continue;
        const auto* header = static_cast<ACE_HEADER*>(ace);
        const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        const ACCESS_MASK mask = allowed->Mask;
        std::wstring rights = mask == FILE_ALL_ACCESS                              ? L"full control"
                              : mask == (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE) ? L"read and execute"
                                                                                   : L"other rights";
        if (mask & (FILE_WRITE_DATA | FILE_APPEND_DATA | WRITE_DAC | WRITE_OWNER | DELETE)) rights += L", can change";
        const bool inherits = (header->AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE)) ==
                              (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
        Say(std::wstring(header->AceType == ACCESS_ALLOWED_ACE_TYPE ? L"allow " : L"deny ") +
            name(const_cast<DWORD*>(&allowed->SidStart)) + L": " + rights +
            (inherits ? L", files and folders in it too" : L""));
    }
    LocalFree(sd);
    return 0;
}

int PrintSddl(const std::wstring& path) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    std::wstring writable = path;
    const DWORD error =
        GetNamedSecurityInfoW(&writable[0], SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, nullptr, nullptr, &sd);
    if (error != ERROR_SUCCESS) {
        Say(L"cannot read the access rules of " + path + L" (error " + std::to_wstring(error) + L")");
        return 1;
    }
    LPWSTR text = nullptr;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(
            sd, SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &text, nullptr)) {
        LocalFree(sd);
        Say(L"cannot write the access rules of " + path + L" as text");
        return 1;
    }
    Say(text);
    LocalFree(text);
    LocalFree(sd);
    return 0;
}

// ---- the suite's running programs ---------------------------------------

struct Running {
    DWORD pid;
    DWORD session;
    std::wstring path;
};

std::vector<Running> Processes() {
    std::vector<Running> list;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return list;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (!process) continue;
        wchar_t path[MAX_PATH * 2];
        DWORD size = MAX_PATH * 2;
        if (QueryFullProcessImageNameW(process, 0, path, &size)) {
            DWORD session = 0;
            ProcessIdToSessionId(entry.th32ProcessID, &session);
            list.push_back({entry.th32ProcessID, session, path});
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return list;
}

DWORD OwnSession() {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return session;
}

// Prints the session of a process of EXE found in another session.
int IsRunning(const std::wstring& exe) {
    bool here = false;
    long elsewhere = -1;
    const DWORD own = OwnSession();
    for (const Running& process : Processes()) {
        if (!SameText(process.path, exe)) continue;
        if (process.session == own) {
            here = true;
        } else {
            elsewhere = static_cast<long>(process.session);
        }
    }
    if (here) return 0;
    if (elsewhere < 0) return 1;
    std::printf("%ld\n", elsewhere);
    return 3;
}

// Prints the file name of the program that started a running EXE (for
// checking that a program was started through the desktop's shell).
int PrintParent(const std::wstring& exe) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 1;
    std::vector<PROCESSENTRY32W> all;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        all.push_back(entry);
    CloseHandle(snapshot);
    for (const Running& process : Processes()) {
        if (!SameText(process.path, exe)) continue;
        for (const PROCESSENTRY32W& child : all) {
            if (child.th32ProcessID != process.pid) continue;
            for (const PROCESSENTRY32W& parent : all) {
                if (parent.th32ProcessID == child.th32ParentProcessID) {
                    Say(parent.szExeFile);
                    return 0;
                }
            }
            Say(L"(ended)");
            return 0;
        }
    }
    return 1;
}

// Runs a command line in another session as the user logged on there, with
// that user's own rights: possible only for a process with the right to act
// as the system (a setup run as SYSTEM by a deployment tool). Waits up to
// `seconds` for it when it is given; the exit status is the program's.
int RunInSession(DWORD session, const std::wstring& exe, const std::wstring& arguments, DWORD seconds, bool wait) {
    HANDLE token = nullptr;
    if (!WTSQueryUserToken(session, &token)) {
        Say(L"cannot act for the user of session " + std::to_wstring(session) + L" (error " +
            std::to_wstring(GetLastError()) + L")");
        return 2;
    }
    void* environment = nullptr;
    CreateEnvironmentBlock(&environment, token, FALSE);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    wchar_t desktop[] = L"winsta0\\default";
    startup.lpDesktop = desktop;
    PROCESS_INFORMATION process = {};
    std::wstring line = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    const BOOL started =
        CreateProcessAsUserW(token, exe.c_str(), &line[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                             environment, folder.c_str(), &startup, &process);
    const DWORD error = GetLastError();
    if (environment) DestroyEnvironmentBlock(environment);
    CloseHandle(token);
    if (!started) {
        Say(L"cannot start " + exe + L" in session " + std::to_wstring(session) + L" (error " + std::to_wstring(error) +
            L")");
        return 2;
    }
    DWORD code = 0;
    if (wait) {
        if (WaitForSingleObject(process.hProcess, seconds * 1000 + 5000) != WAIT_OBJECT_0)
            code = 1;
        else
            GetExitCodeProcess(process.hProcess, &code);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

struct CloseRequest {
    DWORD pid;
    bool endSession;
};

BOOL CALLBACK CloseWindowsOf(HWND window, LPARAM context) {
    const auto* request = reinterpret_cast<const CloseRequest*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != request->pid || GetWindow(window, GW_OWNER) != nullptr) return TRUE;
    if (request->endSession) {
        // As when the user logs off: a program that was written for it
        // (Nystra) ends as at its normal end, without a question; its
        // window may be hidden in the notification area.
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, 5000, &answer);
    } else if (IsWindowVisible(window)) {
        // A dialog closes as with its close box (each program then leaves
        // the panel as at its normal end).
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

int Close(const std::wstring& folder, DWORD seconds, bool endSession, const std::vector<std::wstring>& names) {
    const DWORD own = OwnSession();
    std::vector<HANDLE> waits;
    std::vector<std::wstring> waitNames;
    int status = 0;
    for (const Running& process : Processes()) {
        for (const std::wstring& name : names) {
            if (!SameText(process.path, Join(folder, name))) continue;
            if (process.session != own) {
                Say(name + L" runs in another session");
                status = 1;
                continue;
            }
            HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process.pid);
            if (!handle) continue;
            CloseRequest request = {process.pid, endSession};
            EnumWindows(&CloseWindowsOf, reinterpret_cast<LPARAM>(&request));
            waits.push_back(handle);
            waitNames.push_back(name);
        }
    }
    const ULONGLONG end = GetTickCount64() + seconds * 1000ULL;
    for (size_t i = 0; i < waits.size(); ++i) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < end ? static_cast<DWORD>(end - now) : 0;
        if (WaitForSingleObject(waits[i], left) != WAIT_OBJECT_0) {
            Say(waitNames[i] + L" is still running");
            status = 1;
        }
        CloseHandle(waits[i]);
    }
    return status;
}

// ---- files --------------------------------------------------------------

bool Replaceable(const std::wstring& path) {
    // Windows refuses writing a file that a program has loaded (an EXE or
    // DLL in use) or holds open without sharing.
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;  // nothing to replace
    }
    CloseHandle(file);
    return true;
}

int Free(const std::wstring& folder, const std::vector<std::wstring>& files) {
    int status = 0;
    for (const std::wstring& file : files) {
        if (!Replaceable(Join(folder, file))) {
            Say(file + L" is in use");
            status = 1;
        }
    }
    return status;
}

std::wstring Backslashes(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return Widen(path);
}

class Win32Files : public setup::FileOps {
public:
    Win32Files(std::wstring stage, std::wstring folder) : stage_(std::move(stage)), folder_(std::move(folder)) {}

    bool Exists(const std::string& path) override {
        return GetFileAttributesW(In(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    bool Replaceable(const std::string& path) override { return ::Replaceable(In(path)); }
    bool CopyFromStage(const std::string& file, const std::string& path) override {
        const std::wstring target = In(path);
        const size_t slash = target.find_last_of(L'\\');
        if (slash != std::wstring::npos) SHCreateDirectoryExW(nullptr, target.substr(0, slash).c_str(), nullptr);
        return CopyFileW(Join(stage_, Backslashes(file)).c_str(), target.c_str(), FALSE) != FALSE;
    }
    bool Move(const std::string& from, const std::string& to) override {
        return MoveFileExW(In(from).c_str(), In(to).c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    bool Remove(const std::string& path) override {
        return DeleteFileW(In(path).c_str()) != FALSE || GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    void RemoveLater(const std::string& path) override {
        MoveFileExW(In(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }

private:
    std::wstring In(const std::string& path) const { return Join(folder_, Backslashes(path)); }
    std::wstring stage_, folder_;
};

void ListStage(const std::wstring& root, const std::string& prefix, std::vector<std::string>& files) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Join(root, L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::string relative = prefix + Narrow(name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ListStage(Join(root, name), relative + "/", files);
        } else {
            files.push_back(relative);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// Exit status: 0 done, 3 a file in use, 4 a write refused; the folder is
// then as it was.
int Replace(const std::wstring& stage, const std::wstring& folder) {
    std::vector<std::string> files;
    ListStage(stage, "", files);
    if (files.empty()) {
        Say(L"nothing to install in " + stage);
        return 1;
    }
    SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    Win32Files fs(stage, folder);
    const setup::ReplaceResult result = setup::ReplaceFiles(fs, files);
    for (const std::string& file : result.recovered) Say(L"put back " + Widen(file) + L" of an interrupted install");
    switch (result.status) {
    case setup::ReplaceStatus::kDone:
        return 0;
    case setup::ReplaceStatus::kInUse:
        Say(Backslashes(result.file) + L" is in use");
        return 3;
    case setup::ReplaceStatus::kWriteFailed:
        Say(Backslashes(result.file) + L" could not be written (error " + std::to_wstring(GetLastError()) + L")");
        return 4;
    }
    return 1;
}

bool SameContent(const std::wstring& a, const std::wstring& b) {
    HANDLE fa = CreateFileW(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE fb = CreateFileW(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    bool same = fa != INVALID_HANDLE_VALUE && fb != INVALID_HANDLE_VALUE;
    while (same) {
        char ba[4096], bb[4096];
        DWORD na = 0, nb = 0;
        if (!ReadFile(fa, ba, sizeof ba, &na, nullptr) || !ReadFile(fb, bb, sizeof bb, &nb, nullptr) || na != nb ||
            std::memcmp(ba, bb, na) != 0) {
            same = false;
        } else if (na == 0) {
            break;
        }
    }
    if (fa != INVALID_HANDLE_VALUE) CloseHandle(fa);
    if (fb != INVALID_HANDLE_VALUE) CloseHandle(fb);
    return same;
}

// The copies of the sample files in the folder that are still exactly the
// samples go; one the user replaced stays.
int RemoveSame(const std::wstring& samples, const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Join(samples, L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::wstring copy = Join(folder, found.cFileName);
        if (SameContent(Join(samples, found.cFileName), copy)) DeleteFileW(copy.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return 0;
}

// ---- starting a program as the user -------------------------------------

TOKEN_ELEVATION_TYPE Elevation() {
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        DWORD size = 0;
        if (!GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size))
            type = TokenElevationTypeDefault;
        CloseHandle(token);
    }
    return type;
}

template <typename T>
struct Com {
    T* p = nullptr;
    ~Com() {
        if (p) p->Release();
    }
};

// Starts the program through the desktop's shell (Explorer): the program
// runs in Explorer's process tree with the user's own, not elevated,
// rights, whatever this process has.
HRESULT ShellStart(const std::wstring& exe, const std::wstring& folder) {
    Com<IShellWindows> windows;
    HRESULT hr = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                  reinterpret_cast<void**>(&windows.p));
    if (FAILED(hr)) return hr;
    VARIANT empty;
    VariantInit(&empty);
    long hwnd = 0;
    Com<IDispatch> desktop;
    hr = windows.p->FindWindowSW(&empty, &empty, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH, &desktop.p);
    if (hr != S_OK || !desktop.p) return FAILED(hr) ? hr : E_FAIL;
    Com<IServiceProvider> provider;
    hr = desktop.p->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&provider.p));
    if (FAILED(hr)) return hr;
    Com<IShellBrowser> browser;
    hr = provider.p->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, reinterpret_cast<void**>(&browser.p));
    if (FAILED(hr)) return hr;
    Com<IShellView> view;
    hr = browser.p->QueryActiveShellView(&view.p);
    if (FAILED(hr)) return hr;
    Com<IDispatch> background;
    hr = view.p->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, reinterpret_cast<void**>(&background.p));
    if (FAILED(hr)) return hr;
    Com<IShellFolderViewDual> dual;
    hr = background.p->QueryInterface(IID_IShellFolderViewDual, reinterpret_cast<void**>(&dual.p));
    if (FAILED(hr)) return hr;
    Com<IDispatch> application;
    hr = dual.p->get_Application(&application.p);
    if (FAILED(hr)) return hr;
    Com<IShellDispatch2> shell;
    hr = application.p->QueryInterface(IID_IShellDispatch2, reinterpret_cast<void**>(&shell.p));
    if (FAILED(hr)) return hr;
    BSTR file = SysAllocString(exe.c_str());
    VARIANT args, dir, operation, show;
    VariantInit(&args);
    VariantInit(&dir);
    VariantInit(&operation);
    VariantInit(&show);
    dir.vt = VT_BSTR;
    dir.bstrVal = SysAllocString(folder.c_str());
    operation.vt = VT_BSTR;
    operation.bstrVal = SysAllocString(L"open");
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    hr = shell.p->ShellExecute(file, args, dir, operation, show);
    SysFreeString(file);
    VariantClear(&dir);
    VariantClear(&operation);
    return hr;
}

int StartAsUser(const std::wstring& exe) {
    std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    if (Elevation() != TokenElevationTypeFull) {
        // Not elevated (or no split token at all): a start of our own is
        // already a start with the user's rights.
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        std::wstring line = L"\"" + exe + L"\"";
        if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                            &process)) {
            Say(L"cannot start " + exe + L" (error " + std::to_wstring(GetLastError()) + L")");
            return 1;
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return 0;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const HRESULT hr = ShellStart(exe, folder);
    CoUninitialize();
    if (FAILED(hr)) {
        wchar_t code[16];
        std::swprintf(code, 16, L"%08lx", static_cast<unsigned long>(hr));
        Say(L"no desktop shell to start " + exe + L" as the user (0x" + code + L")");
        return 1;
    }
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: SetupHelper protect FOLDER [--tree] | sddl PATH | rules | running EXE |\n"
                 "       close FOLDER SECONDS [--end-session] NAME... | free FOLDER FILE... |\n"
                 "       replace STAGE FOLDER | remove-same SAMPLES FOLDER | start-as-user EXE |\n"
                 "       session-stop EXE SESSION | session-start EXE SESSION | parent EXE | elevation\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Usage();
    const std::wstring command = argv[1];
    std::vector<std::wstring> rest(argv + 2, argv + argc);
    if (command == L"protect" && (rest.size() == 1 || (rest.size() == 2 && rest[1] == L"--tree"))) {
        return Protect(rest[0], rest.size() == 2);
    }
    if (command == L"sddl" && rest.size() == 1) return PrintSddl(rest[0]);
    if (command == L"rules" && rest.empty()) return PrintRules();
    if (command == L"running" && rest.size() == 1) return IsRunning(rest[0]);
    if (command == L"parent" && rest.size() == 1) return PrintParent(rest[0]);
    if (command == L"close" && rest.size() >= 3) {
        wchar_t* end = nullptr;
        const unsigned long seconds = std::wcstoul(rest[1].c_str(), &end, 10);
        if (*end != 0 || seconds > 3600) return Usage();
        const bool endSession = rest[2] == L"--end-session";
        if (endSession && rest.size() < 4) return Usage();
        return Close(rest[0], static_cast<DWORD>(seconds), endSession,
                     std::vector<std::wstring>(rest.begin() + (endSession ? 3 : 2), rest.end()));
    }
    if (command == L"remove-same" && rest.size() == 2) return RemoveSame(rest[0], rest[1]);
    if (command == L"free" && rest.size() >= 2) {
        return Free(rest[0], std::vector<std::wstring>(rest.begin() + 1, rest.end()));
    }
    if (command == L"replace" && rest.size() == 2) return Replace(rest[0], rest[1]);
    if (command == L"start-as-user" && rest.size() == 1) return StartAsUser(rest[0]);
    if ((command == L"session-stop" || command == L"session-start") && rest.size() == 2) {
        wchar_t* end = nullptr;
        const unsigned long session = std::wcstoul(rest[1].c_str(), &end, 10);
        if (*end != 0 || rest[1].empty()) return Usage();
        if (command == L"session-start") return RunInSession(static_cast<DWORD>(session), rest[0], L"", 0, false);
        return RunInSession(static_cast<DWORD>(session), rest[0], L"/stop:10", 10, true);
    }
    if (command == L"elevation" && rest.empty()) {
        const TOKEN_ELEVATION_TYPE type = Elevation();
        std::printf("%s\n", type == TokenElevationTypeFull      ? "full"
                            : type == TokenElevationTypeLimited ? "limited"
                                                                : "default");
        return 0;
    }
    return Usage();
}
