// The panel and system records: CRegPanel, CRegSystem and their key names.
// Every operation opens or creates its key, reads or writes, and closes it
// again, so no object holds a key between two calls and copies never share
// an open key.
#include <cstdlib>
#include <cstring>

#include "brimol.h"
#include "key_store.h"

namespace {

const char kBasePath[] = "SOFTWARE\\ZR_EX_CONTROL\\";
const char kSystemSubkey[] = "ALL";
const char kNameValue[] = "NAME";
const char kTouchOpValue[] = "TOUCH_OP";
const char kIrOpValue[] = "IR_OP";
const char kTimeOutValue[] = "TIMEOUT";
const char kTimeEnableValue[] = "TIMEENABLE";

// Identifiers probed for regIdList; records of higher identifiers work but
// are not listed.
const int kListedIds = 16;
const std::uint8_t kEndOfList = 0xFF;

// NAME is read through a buffer of this size, so at most 49 characters of
// a longer name reach `name`.
const std::size_t kNameReadBuffer = 50;

// Defaults of a missing record or value.
const std::int32_t kDefaultTouchOp = TouchInterlock;
const std::int32_t kDefaultIrOp = 0;
const std::int32_t kDefaultTimeOut = 30;
const std::int32_t kDefaultTimeEnable = 0;

// Length of text in a buffer of `capacity` bytes that may lack its zero.
std::size_t BoundedLength(const char* text, std::size_t capacity) {
    std::size_t length = 0;
    while (length < capacity && text[length] != '\0') ++length;
    return length;
}

// "ID" followed by `id` in decimal.
CRegString PanelSubkey(int id) {
    char digits[12];
    std::size_t count = 0;
    // Work on the magnitude as unsigned so that INT_MIN needs no special case.
    unsigned int magnitude = id < 0 ? 0u - static_cast<unsigned int>(id) : static_cast<unsigned int>(id);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0u);
    char text[CRegString::kCapacity];
    std::size_t at = 0;
    text[at++] = 'I';
    text[at++] = 'D';
    if (id < 0) text[at++] = '-';
    while (count > 0) text[at++] = digits[--count];
    text[at] = '\0';
    return CRegString(text);
}

// `base` followed by `subkey`; both are bounded by their capacity, so the
// result always fits.
void JoinPath(const CRegString& base, const CRegString& subkey, char (&path)[2 * CRegString::kCapacity]) {
    const std::size_t baseLength = BoundedLength(base.text, CRegString::kCapacity - 1);
    const std::size_t subkeyLength = BoundedLength(subkey.text, CRegString::kCapacity - 1);
    std::memcpy(path, base.text, baseLength);
    std::memcpy(path + baseLength, subkey.text, subkeyLength);
    path[baseLength + subkeyLength] = '\0';
}

void* Allocate(std::size_t size) noexcept { return std::malloc(size == 0 ? 1 : size); }

}  // namespace

// CRegString ------------------------------------------------------------------

CRegString::CRegString() { std::memset(text, 0, sizeof text); }

CRegString::CRegString(const char* source) { *this = source; }

CRegString& CRegString::operator=(const char* source) {
    const std::size_t length = source == nullptr ? 0 : BoundedLength(source, kCapacity - 1);
    // A source inside our own buffer is fine: memmove, then clear the rest.
    if (length > 0) std::memmove(text, source, length);
    std::memset(text + length, 0, kCapacity - length);
    return *this;
}

const char* CRegString::c_str() const { return text; }

std::size_t CRegString::length() const { return BoundedLength(text, kCapacity - 1); }

// CRegPanel -------------------------------------------------------------------

CRegPanel::CRegPanel()
    : irOp(kDefaultIrOp),
      touchOp(kDefaultTouchOp),
      basePath(kBasePath),
      key(nullptr),
      rootKey(brimol::MachineRootKey()) {
    std::memset(name, 0, sizeof name);
    std::memset(regIdList, kEndOfList, sizeof regIdList);
    GetAllRegID();
}

CRegPanel::CRegPanel(const CRegPanel& other) = default;
CRegPanel& CRegPanel::operator=(const CRegPanel& other) = default;
CRegPanel::~CRegPanel() = default;

void* CRegPanel::operator new(std::size_t size) noexcept { return Allocate(size); }
void CRegPanel::operator delete(void* block) noexcept { std::free(block); }
void* CRegPanel::operator new[](std::size_t size) noexcept { return Allocate(size); }
void CRegPanel::operator delete[](void* block) noexcept { std::free(block); }

namespace {

// Opens or creates basePath\subkey under `root` with one of the store's two
// key operations; `key` is null unless that succeeded.
using KeyOperation = long (brimol::KeyStore::*)(BrimolKey, const char*, BrimolKey*);
int OpenKey(KeyOperation operation, BrimolKey root, const CRegString& base, const CRegString& subkey, BrimolKey* key) {
    char path[2 * CRegString::kCapacity];
    JoinPath(base, subkey, path);
    *key = nullptr;
    const long status = (brimol::TheKeyStore().*operation)(root, path, key);
    if (status != brimol::kRegOk) *key = nullptr;
    return static_cast<int>(status);
}

}  // namespace

int CRegPanel::RegOpen(CRegString subkey) {
    return OpenKey(&brimol::KeyStore::OpenForRead, rootKey, basePath, subkey, &key);
}

int CRegPanel::RegCreate(CRegString subkey) {
    return OpenKey(&brimol::KeyStore::CreateForWrite, rootKey, basePath, subkey, &key);
}

void CRegPanel::RegClose() {
    if (key == nullptr) return;
    brimol::TheKeyStore().Close(key);
    key = nullptr;
}

int CRegPanel::GetAllRegID() {
    // Only an open and a close per key: this runs on every construction,
    // several times a second in the interlock controller.
    int found = 0;
    std::memset(regIdList, kEndOfList, sizeof regIdList);
    for (int id = 0; id < kListedIds; ++id) {
        if (RegOpen(PanelSubkey(id)) != brimol::kRegOk) continue;
        regIdList[found++] = static_cast<std::uint8_t>(id);
        RegClose();
    }
    return found;
}

int CRegPanel::GetPanelReg(int id) {
    // Every member is set, whether or not the key and its values exist: a
    // value that is missing or of the wrong type or size reads as the
    // default of a missing record.
    std::memset(name, 0, sizeof name);
    touchOp = kDefaultTouchOp;
    irOp = kDefaultIrOp;
    if (RegOpen(PanelSubkey(id)) != brimol::kRegOk) return 0;

    brimol::KeyStore& store = brimol::TheKeyStore();
    char buffer[kNameReadBuffer];
    if (store.ReadText(key, kNameValue, buffer, sizeof buffer) == brimol::kRegOk) {
        std::memcpy(name, buffer, BoundedLength(buffer, sizeof buffer - 1));
    }
    std::int32_t value = 0;
    if (store.ReadDword(key, kTouchOpValue, &value) == brimol::kRegOk) touchOp = value;  // kept even outside 0..2
    if (store.ReadDword(key, kIrOpValue, &value) == brimol::kRegOk) irOp = value;
    RegClose();
    return 0;
}

int CRegPanel::SetPanelReg(int id) {
    const int created = RegCreate(PanelSubkey(id));
    if (created != brimol::kRegOk) return created;

    // `name` is set by callers; never read past its 64 bytes, even when
    // they left it without a terminating zero.
    char text[sizeof name + 1];
    const std::size_t length = BoundedLength(name, sizeof name);
    std::memcpy(text, name, length);
    text[length] = '\0';

    // All three values are written; the first refusal is what the caller
    // learns, so a record that was only partly stored never reports success.
    brimol::KeyStore& store = brimol::TheKeyStore();
    long status = store.WriteText(key, kNameValue, text);
    const long touchStatus = store.WriteDword(key, kTouchOpValue, touchOp);
    if (status == brimol::kRegOk) status = touchStatus;
    const long irStatus = store.WriteDword(key, kIrOpValue, irOp);
    if (status == brimol::kRegOk) status = irStatus;
    RegClose();
    return static_cast<int>(status);
}

// CRegSystem ------------------------------------------------------------------

CRegSystem::CRegSystem() : timeOut(kDefaultTimeOut), timeEnable(kDefaultTimeEnable) {}

CRegSystem::CRegSystem(const CRegSystem& other) = default;
CRegSystem& CRegSystem::operator=(const CRegSystem& other) = default;
CRegSystem::~CRegSystem() = default;

void CRegSystem::GetSystemReg() {
    timeOut = kDefaultTimeOut;
    timeEnable = kDefaultTimeEnable;
    if (RegOpen(kSystemSubkey) != brimol::kRegOk) return;
    brimol::KeyStore& store = brimol::TheKeyStore();
    std::int32_t value = 0;
    if (store.ReadDword(key, kTimeOutValue, &value) == brimol::kRegOk) timeOut = value;  // 0 is kept
    if (store.ReadDword(key, kTimeEnableValue, &value) == brimol::kRegOk) timeEnable = value;
    RegClose();
}

void CRegSystem::SetSystemReg() {
    if (RegCreate(kSystemSubkey) != brimol::kRegOk) return;
    brimol::KeyStore& store = brimol::TheKeyStore();
    store.WriteDword(key, kTimeOutValue, timeOut);
    store.WriteDword(key, kTimeEnableValue, timeEnable);
    RegClose();
}

namespace brimol {

BrimolKey MachineRootKey() {
    return reinterpret_cast<BrimolKey>(static_cast<std::intptr_t>(INT32_C(-2147483646)));  // 0x80000002
}

}  // namespace brimol
