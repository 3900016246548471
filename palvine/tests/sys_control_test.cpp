// SysControl: the menu it builds, the check marks, the z-order calls, the
// size arithmetic in twips and which system commands it takes.
#include "sys_control.h"

#include <gtest/gtest.h>

#include "fake_window.h"

namespace palvine {
namespace {

class PalvineSysControlTest : public ::testing::Test {
protected:
    FakeWindow window;
    SysControl sys{window};
};

TEST_F(PalvineSysControlTest, InstallAppendsTheItemsThenChecksThemThenReplacesTheProcedure) {
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
    EXPECT_TRUE(sys.TopMost);
    EXPECT_EQ(sys.SizeCode, 1);
}

TEST_F(PalvineSysControlTest, AnyFailingMenuCallFailsTheInstallBeforeTheProcedureIsReplaced) {
    for (int failing = 0; failing < 10; ++failing) {
        FakeWindow w;
        SysControl s{w};
        w.failMenuCallAt = failing;
        EXPECT_EQ(s.InstallSysMenu(false, 2), -1) << failing;
        EXPECT_EQ(static_cast<int>(w.menuCalls.size()), failing + 1) << "stops at the first failure";
        EXPECT_EQ(w.procReplaced, 0) << failing;
    }
}

TEST_F(PalvineSysControlTest, UpdateChecksExactlyTheCurrentItems) {
    struct Case {
        bool topMost;
        std::int16_t sizeCode;
        bool top, small, normal, large;
    };
    const Case cases[] = {
        {true, 1, true, true, false, false},  {false, 2, false, false, true, false},
        {true, 3, true, false, false, true},  {false, 0, false, false, false, false},
        {true, 7, true, false, false, false}, {false, -1, false, false, false, false},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(sys.UpdateSysMenu(c.topMost, c.sizeCode), 0);
        EXPECT_EQ(window.checked[101], c.top);
        EXPECT_EQ(window.checked[102], c.small) << c.sizeCode;
        EXPECT_EQ(window.checked[103], c.normal) << c.sizeCode;
        EXPECT_EQ(window.checked[104], c.large) << c.sizeCode;
    }
    window.failMenuCallAt = static_cast<int>(window.menuCalls.size()) + 2;  // the normal-size item
    EXPECT_EQ(sys.UpdateSysMenu(true, 1), -1);
}

TEST_F(PalvineSysControlTest, SetTopMostUsesTheTopmostGroupsAndFlags0x43) {
    EXPECT_EQ(sys.SetTopMost(true), 0);
    EXPECT_EQ(sys.SetTopMost(false), 0);
    window.zOrderFails = true;
    EXPECT_EQ(sys.SetTopMost(true), -1);
    ASSERT_EQ(window.zOrderCalls.size(), 3u);
    EXPECT_EQ(window.zOrderCalls[0].insertAfter, -1);
    EXPECT_EQ(window.zOrderCalls[1].insertAfter, -2);
    for (const auto& call : window.zOrderCalls) EXPECT_EQ(call.flags, 0x43u);
}

TEST_F(PalvineSysControlTest, SizesKeepHeightMinusWidthAndCentreThePicture) {
    struct Case {
        double startWidth, startHeight;  // outer size before, twips
        std::int16_t sizeCode;
        double width, height, pictureTop, pictureLeft;
    };
    const Case cases[] = {
        // Square design: height - width 0.
        {945, 945, 1, 585, 585, 53.5, 53.5},
        {945, 945, 2, 1170, 1170, 346, 346},
        {945, 945, 3, 1755, 1755, 638.5, 638.5},
        {945, 945, 0, 1170, 1170, 346, 346},  // any other code is normal
        {945, 945, 99, 1170, 1170, 346, 346},
        // Taller than wide by 90: kept, and the picture centred in the square.
        {945, 1035, 1, 585, 675, 53.5, 53.5},
        {945, 1035, 3, 1755, 1845, 638.5, 638.5},
        // Wider than tall by 180.
        {1125, 945, 2, 1170, 990, 346, 346},
    };
    for (const Case& c : cases) {
        window.width = c.startWidth;
        window.height = c.startHeight;
        EXPECT_EQ(sys.SetWindowSize(c.sizeCode), 0);
        EXPECT_EQ(window.width, c.width) << c.sizeCode;
        EXPECT_EQ(window.height, c.height) << c.sizeCode;
        EXPECT_DOUBLE_EQ(window.pictureTop, c.pictureTop) << c.sizeCode;
        EXPECT_DOUBLE_EQ(window.pictureLeft, c.pictureLeft) << c.sizeCode;
    }
}

// At 120 dots per inch a pixel is 12 twips: 585 cannot be met exactly, and
// the height follows the width the window really took.
TEST_F(PalvineSysControlTest, HeightFollowsTheWidthReadBack) {
    window.twipsPerPixel = 12;
    window.width = 960;
    window.height = 1032;
    window.pictureWidth = window.pictureHeight = 384;
    sys.SetWindowSize(1);
    EXPECT_EQ(window.width, 588);  // 49 pixels
    EXPECT_EQ(window.height, 588 + 72);
    EXPECT_DOUBLE_EQ(window.pictureTop, 588.0 / 2 - 192 + 1);
    EXPECT_DOUBLE_EQ(window.pictureLeft, 588.0 / 2 - 192 + 1);
}

TEST_F(PalvineSysControlTest, SystemCommandsRoutedByTheirWholeValue) {
    using Route = SysControl::Route;
    struct Case {
        std::uint32_t message;
        std::uintptr_t wParam;
        Route route;
        bool topMostAfter;
        std::int16_t sizeAfter;
        double widthAfter;
    };
    // From topmost, small (585 wide).
    const Case cases[] = {
        {0x112, 101, Route::Consumed, false, 1, 585},
        {0x112, 101, Route::Consumed, true, 1, 585},  // twice: topmost again
        {0x112, 0x6F, Route::PassOn, true, 1, 585},   // 101 | 0x0F is not 101
        {0x112, 104, Route::PassOn, true, 3, 1755},
        {0x112, 103, Route::PassOn, true, 2, 1170},
        {0x112, 103, Route::PassOn, true, 2, 1170},  // the same size again
        {0x112, 102, Route::PassOn, true, 1, 585},
        {0x112, 105, Route::PassOn, true, 1, 585},
        {0x112, 100, Route::PassOn, true, 1, 585},
        {0x112, 0xF060, Route::PassOn, true, 1, 585},   // SC_CLOSE
        {0x112, 0x10065, Route::PassOn, true, 1, 585},  // 101 in the low word only
        {0x111, 101, Route::PassOn, true, 1, 585},      // WM_COMMAND, not a system command
        {0x202, 101, Route::PassOn, true, 1, 585},
    };
    ASSERT_EQ(sys.InstallSysMenu(true, 1), 0);
    sys.SetWindowSize(1);
    for (const Case& c : cases) {
        const std::size_t zBefore = window.zOrderCalls.size();
        EXPECT_EQ(sys.SysMenuWndProc(c.message, c.wParam), c.route) << std::hex << c.message << " " << c.wParam;
        EXPECT_EQ(sys.TopMost, c.topMostAfter) << std::hex << c.wParam;
        EXPECT_EQ(sys.SizeCode, c.sizeAfter) << std::hex << c.wParam;
        EXPECT_EQ(window.width, c.widthAfter) << std::hex << c.wParam;
        EXPECT_EQ(window.width, window.height) << "height minus width kept";
        EXPECT_EQ(window.checked[101], c.topMostAfter);
        EXPECT_EQ(window.checked[101 + c.sizeAfter], true);
        EXPECT_EQ(window.zOrderCalls.size(), zBefore + (c.message == 0x112 && c.wParam == 101 ? 1u : 0u));
        if (window.zOrderCalls.size() > zBefore) {
            EXPECT_EQ(window.topmost, c.topMostAfter);
        }
    }
}

TEST_F(PalvineSysControlTest, FailuresOfACommandAreIgnoredAndTheCheckMarkFollowsTheFlag) {
    ASSERT_EQ(sys.InstallSysMenu(true, 1), 0);
    window.zOrderFails = true;
    EXPECT_EQ(sys.SysMenuWndProc(0x112, 101), SysControl::Route::Consumed);
    EXPECT_FALSE(sys.TopMost);
    EXPECT_FALSE(window.checked[101]);
}

}  // namespace
}  // namespace palvine
