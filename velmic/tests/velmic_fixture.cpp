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
#define FORCING_STUB(fn, params, args)                          \
    TavloStatus Forcing##fn params {                            \
        TavloStatus status = TavloOk;                           \
        return TakeForced(#fn, &status) ? status : fn args;     \
    }
FORCING_STUB(TavloGetVersion, (std::uint16_t * v), (v))
FORCING_STUB(TavloNeedUpdate, (std::uint16_t * s), (s))
FORCING_STUB(TavloGetDevices, (std::uint8_t * c), (c))
FORCING_STUB(TavloGetPanelId, (std::uint16_t * s, std::uint32_t p, std::uint8_t* id), (s, p, id))
FORCING_STUB(TavloGetPointdataEnable, (std::uint16_t * s, std::uint32_t p, std::uint8_t* e), (s, p, e))
FORCING_STUB(TavloGetClickData, (std::uint16_t * s, std::uint32_t p, std::int16_t* d, std::uint32_t a), (s, p, d, a))
FORCING_STUB(TavloSetClickData, (std::uint16_t * s, std::uint32_t p, std::int16_t* d, std::uint32_t a), (s, p, d, a))
FORCING_STUB(TavloGetClickSound, (std::uint16_t * s, std::uint32_t p, std::uint8_t* o, std::uint32_t a), (s, p, o, a))
FORCING_STUB(TavloSetClickSound, (std::uint16_t * s, std::uint32_t p, std::uint32_t o, std::uint32_t a), (s, p, o, a))
#undef FORCING_STUB

}  // namespace

void* ForcingLoader::Find(const char* name) {
    void* address = inner.Find(name);
    if (address == nullptr) return nullptr;
#define FORCING_ENTRY(fn) \
    if (std::string(name) == #fn) return reinterpret_cast<void*>(&Forcing##fn);
    FORCING_ENTRY(TavloGetVersion)
    FORCING_ENTRY(TavloNeedUpdate)
    FORCING_ENTRY(TavloGetDevices)
    FORCING_ENTRY(TavloGetPanelId)
    FORCING_ENTRY(TavloGetPointdataEnable)
    FORCING_ENTRY(TavloGetClickData)
    FORCING_ENTRY(TavloSetClickData)
    FORCING_ENTRY(TavloGetClickSound)
    FORCING_ENTRY(TavloSetClickSound)
#undef FORCING_ENTRY
    return address;
}

}  // namespace velmic_test
