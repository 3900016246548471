#include "form_tool_win32.h"

#include <string>
#include <utility>

#include "message_boxes_win32.h"

namespace winui {

FormToolDevice::FormToolDevice(const char* title, std::function<HWND()> owner)
    : device_(loader_, [title, owner = std::move(owner)](const std::string& message) {
          FatalMissing(owner ? owner() : nullptr, message, title);
      }) {}

}  // namespace winui
