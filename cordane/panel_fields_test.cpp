// The field rules on their own: the mode list both ways and the time-out
// as typed.
#include <gtest/gtest.h>

#include "panel_fields.h"

namespace cordane {
namespace {

TEST(PanelFields, ModeOfStoredTouchOp) {
    const struct {
        std::int32_t touchOp;
        int position;
    } cases[] = {
        {1, kInterlockPosition},
        {2, kSupervisorPosition},
        {0, kDisablePosition},
        {-1, kDisablePosition},
        {INT32_MIN, kDisablePosition},
        {3, kNoMode},
        {4, kNoMode},
        {INT32_MAX, kNoMode},
    };
    for (const auto& c : cases) EXPECT_EQ(ModePosition(c.touchOp), c.position) << "TOUCH_OP " << c.touchOp;
}

TEST(PanelFields, TouchOpOfListPosition) {
    const struct {
        int position;
        std::int32_t touchOp;
    } cases[] = {
        {kInterlockPosition, 1}, {kSupervisorPosition, 2}, {kDisablePosition, 0}, {kNoMode, 0}, {3, 0}, {-7, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ModeOfPosition(c.position), c.touchOp) << "position " << c.position;
    // Every mode the list shows comes back as itself.
    for (std::int32_t mode : {0, 1, 2}) EXPECT_EQ(ModeOfPosition(ModePosition(mode)), mode);
}

TEST(PanelFields, TimeOutAsTyped) {
    const struct {
        const char* text;
        std::optional<std::uint32_t> seconds;
    } cases[] = {
        {"1", 1u},
        {"1800", 1800u},
        {"30", 30u},
        {" 60 ", 60u},
        {"\t45", 45u},
        {"0060", 60u},
        {"0", std::nullopt},
        {"1801", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-5", std::nullopt},
        {"+5", std::nullopt},
        {"12abc", std::nullopt},
        {"1.5", std::nullopt},
        {"1 2", std::nullopt},
        {"abc", std::nullopt},
        {"4294967297", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseTimeOut(c.text), c.seconds) << "\"" << c.text << "\"";
}

}  // namespace
}  // namespace cordane
