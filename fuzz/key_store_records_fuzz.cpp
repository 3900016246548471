// The panel and system records read from whatever the registry holds: values
// of any type and size under the record keys, names of any length with or
// without their terminating zero, value names in any case. Every read must
// give the stored value or the default of a missing one, never read past a
// value or a buffer, and leave no key open; a record written back reads the
// same again.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "brimol.h"
#include "fuzz_input.h"
#include "memory_key_store.h"

namespace {

using fuzz::FuzzInput;
using Bytes = std::vector<std::uint8_t>;

const std::string kBase = "SOFTWARE\\ZR_EX_CONTROL\\";
const char* const kValueNames[] = {"NAME", "TOUCH_OP", "IR_OP", "TIMEOUT", "TIMEENABLE"};
constexpr int kKeys = 19;               // ID0..ID17 and ALL
constexpr std::size_t kNameLimit = 49;  // characters of NAME a record holds

std::string KeyName(int key) { return key == kKeys - 1 ? "ALL" : "ID" + std::to_string(key); }

// What the test itself put into the registry, by upper-cased key and value
// name: the oracle the records are checked against.
struct Stored {
    std::uint32_t type;
    Bytes bytes;
};
enum ValueIndex { kName, kTouchOp, kIrOp, kTimeOut, kTimeEnable, kValueCount };
struct Mirror {
    Stored values[kKeys][kValueCount];
    bool present[kKeys][kValueCount] = {};
    void Set(int key, int value, Stored stored) {
        values[key][value] = std::move(stored);
        present[key][value] = true;
    }
};
constexpr int kSystemKey = kKeys - 1;

// Lengths around every limit of the records, or any.
std::size_t Length(FuzzInput& input) {
    const std::size_t lengths[] = {0, 1, 3, 4, 5, 8, 15, 16, 17, 48, 49, 50, 51, 63, 64, 65, 300};
    const std::uint8_t pick = input.Byte();
    return pick < 0xE0 ? lengths[pick % (sizeof lengths / sizeof lengths[0])] : input.Byte();
}

std::uint32_t Type(FuzzInput& input) {
    const std::uint32_t types[] = {brimol::kRegSz, brimol::kRegDword, brimol::kRegExpandSz, brimol::kRegBinary,
                                   brimol::kRegQword};
    const std::uint8_t pick = input.Byte();
    return pick < 0xF0 ? types[pick % 5] : input.Le32();
}

// Puts one value; returns the key it went to.
int PutOne(brimol::MemoryKeyStore& store, Mirror& mirror, FuzzInput& input) {
    const int key = static_cast<int>(input.Below(kKeys));
    const int valueIndex = static_cast<int>(input.Below(kValueCount));
    std::string name = kValueNames[valueIndex];
    // Value names are matched without regard to case.
    const std::uint8_t casing = input.Byte();
    for (std::size_t i = 0; i < name.size(); ++i) {
        if ((casing >> (i % 8)) & 1) name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
    }
    const std::uint32_t type = Type(input);
    const std::size_t length = Length(input);
    Bytes bytes;
    const std::uint8_t fill = input.Byte();
    if (fill < 0x80) {
        // Printable text, terminated or not as the last byte says.
        for (std::size_t i = 0; i < length; ++i) bytes.push_back(static_cast<std::uint8_t>('A' + (i + fill) % 26));
        if (!bytes.empty() && (fill & 1)) bytes.back() = 0;
    } else {
        bytes = input.Bytes(length);
    }
    store.PutValue(kBase + KeyName(key), name, type, bytes);
    mirror.Set(key, valueIndex, Stored{type, bytes});
    return key;
}

const Stored* Lookup(const Mirror& mirror, int key, int value) {
    return mirror.present[key][value] ? &mirror.values[key][value] : nullptr;
}

std::string ExpectedName(const Mirror& mirror, int key) {
    const Stored* value = Lookup(mirror, key, kName);
    if (value == nullptr || value->type != brimol::kRegSz) return "";
    std::string text;
    for (std::uint8_t b : value->bytes) {
        if (b == 0 || text.size() == kNameLimit) break;
        text += static_cast<char>(b);
    }
    return text;
}

std::int32_t ExpectedDword(const Mirror& mirror, int key, int name, std::int32_t otherwise) {
    const Stored* value = Lookup(mirror, key, name);
    if (value == nullptr || value->type != brimol::kRegDword || value->bytes.size() != 4) return otherwise;
    const Bytes& b = value->bytes;
    return static_cast<std::int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24));
}

// The record's name: zero-terminated inside the member, nothing after it.
std::string NameOf(const CRegPanel& record) {
    const void* end = std::memchr(record.name, 0, sizeof record.name);
    FUZZ_CHECK(end != nullptr);
    const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(end) - record.name);
    for (std::size_t i = length; i < sizeof record.name; ++i) FUZZ_CHECK(record.name[i] == 0);
    return std::string(record.name, length);
}

void CheckPanelRecord(const Mirror& mirror, bool keyExists, int id, CRegPanel& record) {
    FUZZ_CHECK(record.GetPanelReg(id) == 0);
    const int key = id;
    if (!keyExists) {
        FUZZ_CHECK(NameOf(record).empty() && record.touchOp == TouchInterlock && record.irOp == 0);
        return;
    }
    FUZZ_CHECK(NameOf(record) == ExpectedName(mirror, key));
    FUZZ_CHECK(record.touchOp == ExpectedDword(mirror, key, kTouchOp, TouchInterlock));
    FUZZ_CHECK(record.irOp == ExpectedDword(mirror, key, kIrOp, 0));
}

// ReadText into a buffer of exactly `capacity` bytes.
void CheckReadText(brimol::MemoryKeyStore& store, const Mirror& mirror, int key, std::size_t capacity) {
    BrimolKey handle = nullptr;
    if (store.OpenForRead(brimol::MachineRootKey(), (kBase + KeyName(key)).c_str(), &handle) != brimol::kRegOk) {
        return;
    }
    std::vector<char> text(capacity, 'x');
    const long status = store.ReadText(handle, "name", text.data(), capacity);
    store.Close(handle);
    const Stored* value = Lookup(mirror, key, kName);
    if (capacity == 0) {
        FUZZ_CHECK(status != brimol::kRegOk);
        return;
    }
    FUZZ_CHECK(std::memchr(text.data(), 0, capacity) != nullptr);
    if (value == nullptr || value->type != brimol::kRegSz) {
        FUZZ_CHECK(status != brimol::kRegOk && text[0] == 0);
        return;
    }
    FUZZ_CHECK(status == brimol::kRegOk);
    std::string expected;
    for (std::uint8_t b : value->bytes) {
        if (b == 0 || expected.size() == capacity - 1) break;
        expected += static_cast<char>(b);
    }
    FUZZ_CHECK(std::string(text.data()) == expected);
}

// What SetPanelReg stores: NAME as text with its zero, the modes as DWORDs.
void Written(Mirror& mirror, int id, const Bytes& text, std::int32_t touchOp, std::int32_t irOp) {
    Bytes name = text;
    name.push_back(0);
    mirror.Set(id, kName, Stored{brimol::kRegSz, name});
    for (const auto& [valueIndex, value] :
         {std::pair<int, std::int32_t>{kTouchOp, touchOp}, std::pair<int, std::int32_t>{kIrOp, irOp}}) {
        const auto raw = static_cast<std::uint32_t>(value);
        mirror.Set(id, valueIndex,
                   Stored{brimol::kRegDword,
                          Bytes{static_cast<std::uint8_t>(raw), static_cast<std::uint8_t>(raw >> 8),
                                static_cast<std::uint8_t>(raw >> 16), static_cast<std::uint8_t>(raw >> 24)}});
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    brimol::MemoryKeyStore& store = brimol::TheMemoryKeyStore();
    store.Clear();
    Mirror mirror;
    bool keyExists[kKeys] = {};

    const int values = input.Byte() % 12;
    for (int i = 0; i < values; ++i) keyExists[PutOne(store, mirror, input)] = true;
    const int bareKeys = input.Byte() % 4;
    for (int i = 0; i < bareKeys; ++i) {
        const int key = static_cast<int>(input.Below(kKeys));
        store.AddKey(kBase + KeyName(key));
        keyExists[key] = true;
    }

    // The identifiers 0..15 that have a key are listed (as on every
    // construction). The objects live across runs, as the interlock keeps
    // its records for its whole life; every read sets every member.
    static CRegPanel record;
    static CRegSystem system;
    FUZZ_CHECK(record.GetAllRegID() == static_cast<int>(std::count(keyExists, keyExists + 16, true)));
    std::vector<std::uint8_t> listed;
    for (int id = 0; id < 16; ++id) {
        if (keyExists[id]) listed.push_back(static_cast<std::uint8_t>(id));
    }
    listed.resize(sizeof record.regIdList, 0xFF);
    FUZZ_CHECK(std::equal(listed.begin(), listed.end(), record.regIdList));

    for (int steps = 0; !input.Empty() && steps < 12; ++steps) {
        const int id = static_cast<int>(input.Below(kKeys - 1));
        switch (input.Byte() % 5) {
        case 0:
            CheckPanelRecord(mirror, keyExists[id], id, record);
            break;
        case 1: {
            system.GetSystemReg();
            FUZZ_CHECK(system.timeOut == ExpectedDword(mirror, kSystemKey, kTimeOut, 30));
            FUZZ_CHECK(system.timeEnable == ExpectedDword(mirror, kSystemKey, kTimeEnable, 0));
            break;
        }
        case 2: {
            // Read, write back, read again: nothing changes.
            CheckPanelRecord(mirror, keyExists[id], id, record);
            const std::string name = NameOf(record);
            const std::int32_t touchOp = record.touchOp, irOp = record.irOp;
            FUZZ_CHECK(record.SetPanelReg(id) == 0);
            keyExists[id] = true;
            Written(mirror, id, Bytes(name.begin(), name.end()), touchOp, irOp);
            CheckPanelRecord(mirror, true, id, record);
            FUZZ_CHECK(NameOf(record) == name && record.touchOp == touchOp && record.irOp == irOp);
            break;
        }
        case 3: {
            // A name the caller left without its terminating zero is stored
            // as its 64 bytes and read back as the first 49 of them.
            const Bytes raw = input.Bytes(sizeof record.name);
            std::memcpy(record.name, raw.data(), raw.size());
            FUZZ_CHECK(record.SetPanelReg(id) == 0);
            keyExists[id] = true;
            const Bytes text(raw.begin(), std::find(raw.begin(), raw.end(), 0));
            Written(mirror, id, text, record.touchOp, record.irOp);
            const brimol::StoredValue* value = store.Find(kBase + KeyName(id), "NAME");
            FUZZ_CHECK(value != nullptr && value->type == brimol::kRegSz);
            FUZZ_CHECK(value->bytes.size() == text.size() + 1 &&
                       std::equal(text.begin(), text.end(), value->bytes.begin()));
            CheckPanelRecord(mirror, true, id, record);
            break;
        }
        default:
            CheckReadText(store, mirror, id, input.Byte() % 70);
            break;
        }
        FUZZ_CHECK(store.OpenKeys() == 0);
    }
    // Leave nothing allocated, so that libFuzzer's leak check has nothing
    // to look into between runs.
    store.Clear();
    return 0;
}
