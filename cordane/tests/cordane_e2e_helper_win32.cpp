// Cordane's end-to-end helper:
//   cordane_e2e_helper utf8-copy SOURCE.exe TARGET.exe
// copies a program and has its copy run with UTF-8 as its ANSI code page,
// as on a system with "Use Unicode UTF-8 for worldwide language support":
// the copy's manifest gets the active code page setting UTF-8. Paths are
// Windows paths.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

BOOL CALLBACK FirstLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    *reinterpret_cast<WORD*>(found) = language;
    return FALSE;
}

// The manifest (resource 1 of type 24) of a program and its language.
bool ReadManifest(const std::string& program, std::string* manifest, WORD* language) {
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) return false;
    bool found = false;
    EnumResourceLanguagesA(module, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), FirstLanguage,
                           reinterpret_cast<LONG_PTR>(language));
    if (HRSRC resource = FindResourceExA(module, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), *language)) {
        manifest->assign(static_cast<const char*>(LockResource(LoadResource(module, resource))),
                         SizeofResource(module, resource));
        found = true;
    }
    FreeLibrary(module);
    return found;
}

int Utf8Copy(const std::string& source, const std::string& target) {
    std::string manifest;
    WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    if (!ReadManifest(source, &manifest, &language)) {
        std::fprintf(stderr, "cordane_e2e_helper: no manifest in %s\n", source.c_str());
        return 1;
    }
    const std::string end = "</windowsSettings>";
    const std::size_t at = manifest.find(end);
    if (at == std::string::npos) {
        std::fprintf(stderr, "cordane_e2e_helper: the manifest has no windowsSettings\n");
        return 1;
    }
    manifest.insert(at,
                    "  <activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8"
                    "</activeCodePage>\n    ");
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) {
        std::fprintf(stderr, "cordane_e2e_helper: cannot copy to %s (%lu)\n", target.c_str(), GetLastError());
        return 1;
    }
    HANDLE update = BeginUpdateResourceA(target.c_str(), FALSE);
    if (update == nullptr ||
        !UpdateResourceA(update, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), language, &manifest[0],
                         static_cast<DWORD>(manifest.size())) ||
        !EndUpdateResourceA(update, FALSE)) {
        std::fprintf(stderr, "cordane_e2e_helper: cannot rewrite the manifest (%lu)\n", GetLastError());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "utf8-copy") return Utf8Copy(argv[2], argv[3]);
    std::fputs("usage: cordane_e2e_helper utf8-copy SOURCE.exe TARGET.exe\n", stderr);
    return 2;
}
