#include "status_text.h"

namespace tavlo {
namespace {

struct StatusText {
    const char* name;
    const char* meaning;
};

constexpr StatusText kTexts[] = {
    {"TavloOk", "the request was carried out"},
    {"TavloNoDevice", "the touch-panel driver cannot be opened (\\\\.\\Tavlo is missing); nothing was sent"},
    {"TavloNoPanel", "the driver reports no touch panels"},
    {"TavloPanelsChanged", "the set of attached panels changed; read the panel list again"},
    {"TavloCloseFailed", "the request succeeded but closing the device failed"},
    {"TavloBadPanel", "there is no panel with that number"},
    {"TavloNotSupported", "the driver does not support this request"},
    {"TavloBadParameter", "the driver rejected a parameter of the request"},
    {"TavloFailed", "the driver failed the request or sent a reply that is not valid"},
};

}  // namespace

const char* StatusName(int status) {
    return status >= 0 && status < static_cast<int>(sizeof kTexts / sizeof kTexts[0]) ? kTexts[status].name
                                                                                      : "unknown status";
}

const char* StatusMeaning(int status) {
    return status >= 0 && status < static_cast<int>(sizeof kTexts / sizeof kTexts[0])
               ? kTexts[status].meaning
               : "the library returned a status it does not define";
}

}  // namespace tavlo
