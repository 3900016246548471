// Names and plain-language meanings of the library's status codes, for
// programs that report them to people.
#pragma once

namespace tavlo {

const char* StatusName(int status);     // "TavloBadPanel"; "unknown status" otherwise
const char* StatusMeaning(int status);  // one line, lower case, no full stop

}  // namespace tavlo
