#include "tavlo_ioctl.h"

#include <utility>

namespace tavlo {
namespace {

const char* const kFunctionNames[] = {
#define TAVLO_EXPORT(name, command, parameters, arguments, requests) #name,
#include "tavlo_exports.inc"
#undef TAVLO_EXPORT
};

}  // namespace

TavloIoctl::TavloIoctl(LibraryLoader& loader, FatalHandler onFatal, const char* libraryName)
    : loader_(loader), onFatal_(std::move(onFatal)), libraryName_(libraryName) {}

void* TavloIoctl::Resolve(Function function) {
    if (functions_[function] != nullptr) return functions_[function];
    if (!loaded_) {
        if (!loader_.Load(libraryName_.c_str())) {
            onFatal_("Can't load the library " + libraryName_ + ": " + loader_.LastErrorText());
            return nullptr;
        }
        loaded_ = true;
    }
    void* address = loader_.Find(kFunctionNames[function]);
    if (address == nullptr) {
        onFatal_("Can't find the function " + std::string(kFunctionNames[function]) + " in " + libraryName_ + ": " +
                 loader_.LastErrorText());
        return nullptr;
    }
    functions_[function] = address;
    return address;
}

bool TavloIoctl::BindNow(std::initializer_list<Function> functions) {
    for (Function function : functions) {
        if (Resolve(function) == nullptr) return false;
    }
    return true;
}

// Each method binds its export, typed with the library's calling
// convention, and forwards the arguments; TavloNoDevice when it is missing.
#define TAVLO_EXPORT(name, command, parameters, arguments, requests)                   \
    TavloStatus TavloIoctl::command parameters {                                       \
        auto* fn = Bind<TavloStatus TAVLO_CALL parameters>(k##command);                \
        return fn != nullptr ? fn arguments : static_cast<TavloStatus>(TavloNoDevice); \
    }
#include "tavlo_exports.inc"
#undef TAVLO_EXPORT

}  // namespace tavlo
