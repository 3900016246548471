// Dialog boxes built in code: a template in memory with a caption and a
// style but no controls, whose client area is then sized in twips with the
// screen's real resolution; the controls are made with CreateChild.
#pragma once

#include <windows.h>

#include <vector>

#include "twips.h"

namespace winui {

class CodeDialogTemplate {
public:
    CodeDialogTemplate(DWORD style, const char* caption, DWORD exStyle = 0);
    // Valid while this object lives.
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(storage_.data()); }

private:
    std::vector<DWORD> storage_;  // DWORD-aligned, as a template must be
};

// Resizes a top-level window so that its client area is width x height
// twips; it keeps its place, or is centred on the screen with `centre`.
void SizeClientInTwips(HWND window, const TwipScale& scale, double width, double height, bool centre = true);

}  // namespace winui
