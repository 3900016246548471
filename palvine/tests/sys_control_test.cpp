// SysControl: the menu it builds, the check marks, the size arithmetic in
// twips and which system commands it takes.
#include "sys_control.h"

#include <gtest/gtest.h>

#include "fake_window.h"

namespace palvine {
namespace {

// The items first, then their check marks, and only then the commands:
// any failing menu call fails the install before the procedure is replaced.
TEST(PalvineSysControl, InstallBuildsTheMenuBeforeTakingItsCommands) {
    FakeWindow window;
    SysControl sys{window};
    ASSERT_EQ(sys.InstallSysMenu(true, 1), 0);
    const std::vector<MenuCall> expected = {
        {true, 0, 0x800, 0, ""},
        {true, 0, 0, 101, "Always top window"},
        {true, 0, 0x800, 0, ""},
        {true, 0, 0, 102, "Small size"},
        {true, 0, 0, 103, "Normal size"},
        {true, 0, 0, 104, "Large size"},
        {false, 101, 8, 101, "Always top window"},
        {false, 102, 8, 102, "Small size"},
        {false, 103, 0, 103, "Normal size"},
        {false, 104, 0, 104, "Large size"},
    };
    EXPECT_EQ(window.menuCalls, expected);
    EXPECT_EQ(window.procReplaced, 1);
    for (int failing = 0; failing < 10; ++failing) {
        FakeWindow w;
        SysControl s{w};
        w.failMenuCallAt = failing;
        EXPECT_EQ(s.InstallSysMenu(false, 2), -1) << failing;
        EXPECT_EQ(static_cast<int>(w.menuCalls.size()), failing + 1) << "stops at the first failure";
        EXPECT_EQ(w.procReplaced, 0) << failing;
    }
}

// Applied one after another, from topmost and small, at 120 dots per inch
// (12 twips a pixel: no width is met exactly) on a window 15 pixels wider
// than tall. A size goes on from the width the window really took, keeps
// height minus width and centres the picture as in a square window.
TEST(PalvineSysControl, SystemCommandsRoutedByTheirWholeValue) {
    const auto consumed = SysControl::Route::Consumed, passOn = SysControl::Route::PassOn;
    struct Case {
        std::uint32_t message;
        std::uintptr_t wParam;
        SysControl::Route route;
        bool topMostAfter;
        std::int16_t sizeAfter;
        double widthAfter, pictureAt;  // the picture's top and left
    };
    const Case cases[] = {
        {0x112, 101, consumed, false, 1, 588, 103},
        {0x112, 101, consumed, true, 1, 588, 103},
        {0x112, 0x6F, passOn, true, 1, 588, 103},  // 101 | 0x0F is not 101
        {0x112, 104, passOn, true, 3, 1752, 685},
        {0x112, 103, passOn, true, 2, 1176, 397},
        {0x112, 102, passOn, true, 1, 588, 103},
        {0x112, 105, passOn, true, 1, 588, 103},
        {0x112, 100, passOn, true, 1, 588, 103},
        {0x112, 0xF060, passOn, true, 1, 588, 103},   // SC_CLOSE
        {0x112, 0x10065, passOn, true, 1, 588, 103},  // 101 in the low word only
        {0x111, 101, passOn, true, 1, 588, 103},      // WM_COMMAND
    };
    FakeWindow window;
    SysControl sys{window};
    ASSERT_EQ(sys.SetTopMost(true), 0);
    ASSERT_EQ(sys.InstallSysMenu(true, 1), 0);
    window.twipsPerPixel = 12;
    window.picture = 384;
    window.width = 960;
    window.height = 780;
    EXPECT_EQ(sys.SetWindowSize(1), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.message << " " << c.wParam);
        EXPECT_EQ(sys.SysMenuWndProc(c.message, c.wParam), c.route);
        EXPECT_EQ(sys.SizeCode, c.sizeAfter);
        EXPECT_EQ(window.width, c.widthAfter);
        EXPECT_EQ(window.height, c.widthAfter - 180);
        EXPECT_EQ(window.pictureTop, c.pictureAt);
        EXPECT_EQ(window.pictureLeft, c.pictureAt);
        EXPECT_EQ(window.topmost, c.topMostAfter);
        EXPECT_EQ(window.checked[101], c.topMostAfter);
        for (int id = 102; id <= 104; ++id) EXPECT_EQ(window.checked[id], id == 101 + c.sizeAfter) << id;
    }
    // A z-order the window refuses changes nothing else: the flag and its
    // check mark still follow the command.
    window.zOrderFails = true;
    EXPECT_EQ(sys.SysMenuWndProc(0x112, 101), consumed);
    EXPECT_FALSE(sys.TopMost);
    EXPECT_FALSE(window.checked[101]);
}

}  // namespace
}  // namespace palvine
