// Cordane's end-to-end helper:
//   cordane_e2e_helper utf8-copy SOURCE.exe TARGET.exe
// copies a program and has its copy run with UTF-8 as its ANSI code page,
// as on a system with "Use Unicode UTF-8 for worldwide language support":
// the copy's manifest gets the active code page setting UTF-8. Paths are
// Windows paths.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>

namespace {

BOOL CALLBACK FirstLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    *reinterpret_cast<WORD*>(found) = language;
    return FALSE;
}

// A program's manifest and the language of its resource.
struct Manifest {
    std::string text;
    WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
};

// The manifest of a program (its manifest resource for the process), or
// nothing when it has none.
std::optional<Manifest> ReadManifest(const std::string& program) {
    HMODULE module =
        LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) return std::nullopt;
    std::optional<Manifest> manifest;
    Manifest read;
    EnumResourceLanguagesA(module, RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID, FirstLanguage,
                           reinterpret_cast<LONG_PTR>(&read.language));
    if (HRSRC resource = FindResourceExA(module, RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID, read.language)) {
        read.text.assign(static_cast<const char*>(LockResource(LoadResource(module, resource))),
                         SizeofResource(module, resource));
        manifest = std::move(read);
    }
    FreeLibrary(module);
    return manifest;
}

int Utf8Copy(const std::string& source, const std::string& target) {
    std::optional<Manifest> read = ReadManifest(source);
    if (!read) {
        std::fprintf(stderr, "cordane_e2e_helper: no manifest in %s\n", source.c_str());
        return 1;
    }
    std::string& manifest = read->text;
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
        !UpdateResourceA(update, RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID, read->language, &manifest[0],
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
