// mdlMain, portable part: SureMsgBox, the routine that fills in, sizes and
// shows the question box and returns the answer.
#pragma once

#include <cstdint>
#include <string>

#include "frm_sure.h"

namespace gorvat {

// Returns 1, 2 or 3 for the pressed button (counted from the left), -1 when
// the time-out ended the box, 0 when the box was closed without an answer
// and 0, without showing anything, for a BoxType other than 2 or 3 or a
// DefButton outside 1..3.
std::int16_t SureMsgBox(frmSure& form, std::int16_t BoxType, std::int16_t DefButton, const std::string& Caption1,
                        const std::string& Caption2, const std::string& Caption3, const std::string& Title,
                        const std::string& Message);

}  // namespace gorvat
