// The dialog's field rules: the mode list against TOUCH_OP, the release
// time-out as typed, and the length of a panel name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace cordane {

// Positions of the mode lists, which hold "Interlock", "Supervisor" and
// "Disable" in this order.
inline constexpr int kNoMode = -1;  // no entry selected
inline constexpr int kInterlockPosition = 0;
inline constexpr int kSupervisorPosition = 1;
inline constexpr int kDisablePosition = 2;
inline constexpr const char* kModeTexts[] = {"Interlock", "Supervisor", "Disable"};

// The list entry that shows TOUCH_OP `mode`: 1 Interlock, 2 Supervisor,
// 0 and every negative value Disable; a value of 3 or more is no mode the
// list knows, so nothing is selected.
int ModePosition(std::int32_t mode);
// TOUCH_OP for list position `position`; a list without a selection (and
// any position the list does not have) saves Disable (0).
std::int32_t ModeOfPosition(int position);

// Limits of the fields.
inline constexpr std::size_t kMaxNameCharacters = 16;
inline constexpr std::uint32_t kMinTimeOut = 1;
inline constexpr std::uint32_t kMaxTimeOut = 1800;

// The time-out as typed: a whole number from 1 to 1800 in decimal digits,
// blanks around it allowed. Anything else (signs, fractions, other
// characters, an empty field, numbers out of range) has no value.
std::optional<std::uint32_t> ParseTimeOut(const std::string& text);

// Text of the time-out field for the seconds held.
std::string TimeOutText(std::uint32_t seconds);

}  // namespace cordane
