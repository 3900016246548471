// Apart from the other control helpers: DeleteObject brings GDI32.DLL in.
#include "controls_win32.h"

namespace winui {

void SetPictureBitmap(HWND picture, Bitmap bitmap) {
    HBITMAP shown = bitmap.Release();
    auto* previous =
        reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown)));
    if (previous != nullptr && previous != shown) DeleteObject(previous);
    // With common controls 6 the control may keep a copy of a bitmap with
    // alpha rather than the bitmap itself: then ours is not in use.
    auto* kept = reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (shown != nullptr && kept != shown) DeleteObject(shown);
}

Bitmap LoadBitmapFile(const char* fileName) {
    return Bitmap(static_cast<HBITMAP>(LoadImageA(nullptr, fileName, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
}

Bitmap LoadBitmapResource(HINSTANCE instance, int id) {
    return Bitmap(static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)));
}

}  // namespace winui
