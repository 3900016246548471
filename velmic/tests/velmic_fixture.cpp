#include "velmic_fixture.h"

namespace velmic_test {

std::map<std::string, Forced>& ForcedStatuses() {
    static std::map<std::string, Forced> forced;
    return forced;
}

bool TakeForced(const char* name, TavloStatus* status) {
    auto it = ForcedStatuses().find(name);
    if (it == ForcedStatuses().end() || it->second.remaining == 0) return false;
    if (it->second.remaining > 0) --it->second.remaining;
    *status = it->second.status;
    return true;
}

namespace {

// Each stub fails with the forced status, or passes the call on to the
// in-process export.
#define FORCED_FUNCTIONS(X)                                                                                      \
    X(TavloGetVersion, (std::uint16_t * v), (v))                                                                 \
    X(TavloNeedUpdate, (std::uint16_t * s), (s))                                                                 \
    X(TavloGetDevices, (std::uint8_t * c), (c))                                                                  \
    X(TavloGetPanelId, (std::uint16_t * s, std::uint32_t p, std::uint8_t * id), (s, p, id))                      \
    X(TavloGetPointdataEnable, (std::uint16_t * s, std::uint32_t p, std::uint8_t * e), (s, p, e))                \
    X(TavloGetClickData, (std::uint16_t * s, std::uint32_t p, std::int16_t * d, std::uint32_t a), (s, p, d, a))  \
    X(TavloSetClickData, (std::uint16_t * s, std::uint32_t p, std::int16_t * d, std::uint32_t a), (s, p, d, a))  \
    X(TavloGetClickSound, (std::uint16_t * s, std::uint32_t p, std::uint8_t * o, std::uint32_t a), (s, p, o, a)) \
    X(TavloSetClickSound, (std::uint16_t * s, std::uint32_t p, std::uint32_t o, std::uint32_t a), (s, p, o, a))
#define FORCING_STUB(fn, params, args)                      \
    TavloStatus Forcing##fn params {                        \
        TavloStatus status = TavloOk;                       \
        return TakeForced(#fn, &status) ? status : fn args; \
    }
FORCED_FUNCTIONS(FORCING_STUB)

}  // namespace

void* ForcingLoader::Find(const char* name) {
    void* address = inner.Find(name);
    if (address == nullptr) return nullptr;
#define FORCING_ENTRY(fn, params, args) \
    if (std::string(name) == #fn) return reinterpret_cast<void*>(&Forcing##fn);
    FORCED_FUNCTIONS(FORCING_ENTRY)
    return address;
}

}  // namespace velmic_test
