// How palvine_e2e_helper and its hook DLL talk inside Palvine's process:
// the helper sends the registered message with an item's command as
// wParam; the hook leaves the item's state in a window property.
#pragma once

namespace palvine_e2e {

inline constexpr const char* kAskMessage = "PalvineE2eMenuState";
inline constexpr const char* kAnswerProperty = "PalvineE2eMenuState";

// The answer in the property (0, no property: no answer).
enum MenuItemAnswer : unsigned { kNoSuchItem = 1, kNotChecked = 2, kChecked = 3 };

}  // namespace palvine_e2e
