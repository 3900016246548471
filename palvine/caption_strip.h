// CaptionStrip: the strip at the top of Palvine's client area that stands
// in for a caption bar. A thin-framed window fits every size (the narrowest
// is 39 pixels), where a captioned frame is some 7 pixels a side on current
// systems and its close box fills most of a small caption. The strip moves
// the window when dragged and opens the system menu on a right click (what
// a press and hold on a touch screen gives); the picture keeps the square
// below it. Everything here is in pixels of the client area, from its top
// left corner.
#pragma once

#include <cstdint>
#include <vector>

namespace palvine {

// Hit-test answers as the platform defines them.
inline constexpr std::intptr_t kHtClient = 1;
inline constexpr std::intptr_t kHtCaption = 2;

// The thinnest strip: less is no target for a finger or a pointer, and a
// system metric that could not be read (0) gets a strip all the same.
inline constexpr int kLeastStripHeight = 8;

struct StripRect {
    int left, top, width, height;
    bool operator==(const StripRect& o) const {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
};

// Where a system menu opens, in client pixels; `open` false: it does not.
struct MenuPlace {
    bool open;
    int x, y;
    bool operator==(const MenuPlace& o) const { return open == o.open && x == o.x && y == o.y; }
};

class CaptionStrip {
public:
    // From the system's small caption height in pixels.
    explicit CaptionStrip(int smallCaptionHeight)
        : height_(smallCaptionHeight > kLeastStripHeight ? smallCaptionHeight : kLeastStripHeight) {}

    int Height() const { return height_; }

    // True when the point lies on the strip of a client area this wide.
    bool Holds(int x, int y, int clientWidth) const { return x >= 0 && x < clientWidth && y >= 0 && y < height_; }

    // The answer to a hit test: the platform's own answer, except that a
    // point of the client area on the strip is caption. Borders stay
    // borders, the square below stays client (the picture's clicks).
    std::intptr_t HitTest(std::intptr_t platformAnswer, int x, int y, int clientWidth) const {
        return platformAnswer == kHtClient && Holds(x, y, clientWidth) ? kHtCaption : platformAnswer;
    }

    // A context-menu request (a right click or a press and hold) at a
    // point, or from the keyboard (no point): the system menu opens at the
    // point when it is on the strip, below the strip's left end for the
    // keyboard, and not at all elsewhere, where clicks are Palvine's own.
    MenuPlace ContextMenu(bool fromKeyboard, int x, int y, int clientWidth) const {
        if (fromKeyboard) return {true, 0, height_};
        if (Holds(x, y, clientWidth)) return {true, x, y};
        return {false, 0, 0};
    }

    // The picture's place in the client area from one measured from the
    // window's outer edge, as its outer size is, with the frame this thick
    // a side: across, only the frame lies before the client area; down,
    // the strip lies under the frame too, so the square below it is what
    // the outer size's square part stands for.
    int PictureLeft(int fromOuterEdge, int frame) const { return fromOuterEdge - frame; }
    int PictureTop(int fromOuterEdge, int frame) const { return fromOuterEdge - frame + height_; }

    // The client area a design's square of this side needs.
    int DesignClientHeight(int square) const { return square + height_; }

    // The grip drawn on the strip: two rows of square dots, centred, that
    // say "hold and drag here". Dots grow with the strip (a larger system
    // font or resolution); none when the strip is too narrow for two.
    std::vector<StripRect> Grip(int clientWidth) const;

private:
    int height_;
};

}  // namespace palvine
