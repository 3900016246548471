// An in-memory registry for platforms without one, and for native tests:
// keys named by path (case-insensitive, like the registry), typed values,
// handles that must be closed, and injected refusals.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "key_store.h"

namespace brimol {

// Registry value types the store keeps apart.
enum : std::uint32_t { kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4, kRegQword = 11 };

struct StoredValue {
    std::uint32_t type = kRegBinary;
    std::vector<std::uint8_t> bytes;
};

class MemoryKeyStore final : public KeyStore {
public:
    // KeyStore
    long OpenForRead(BrimolKey root, const char* path, BrimolKey* key) override;
    long CreateForWrite(BrimolKey root, const char* path, BrimolKey* key) override;
    long ReadText(BrimolKey key, const char* valueName, char* text, std::size_t capacity) override;
    long ReadDword(BrimolKey key, const char* valueName, std::int32_t* value) override;
    long WriteText(BrimolKey key, const char* valueName, const char* text) override;
    long WriteDword(BrimolKey key, const char* valueName, std::int32_t value) override;
    void Close(BrimolKey key) override;

    // Seeding and inspection, by full path under HKEY_LOCAL_MACHINE.
    void AddKey(const std::string& path);
    bool HasKey(const std::string& path) const;
    void PutValue(const std::string& path, const std::string& valueName, std::uint32_t type,
                  std::vector<std::uint8_t> bytes);
    void PutText(const std::string& path, const std::string& valueName, const std::string& text);
    void PutDword(const std::string& path, const std::string& valueName, std::int32_t value);
    const StoredValue* Find(const std::string& path, const std::string& valueName) const;
    // Value names of a key, in the order they were first written.
    std::vector<std::string> ValueNames(const std::string& path) const;

    // Faults. A refused create fails every CreateForWrite with `error`; a
    // refused write fails every write of `valueName` (any value when empty).
    void RefuseCreate(long error) { createError_ = error; }
    void RefuseWrite(const std::string& valueName, long error);

    // Counters of the operations since the last Clear().
    struct Counts {
        int opens = 0;
        int creates = 0;
        int reads = 0;
        int writes = 0;
        int closes = 0;
    };
    const Counts& counts() const { return counts_; }
    void ResetCounts() { counts_ = Counts(); }
    int OpenKeys() const { return static_cast<int>(open_.size()); }

    // Back to an empty registry with no faults and zero counters.
    void Clear();

private:
    struct Key {
        std::map<std::string, StoredValue> values;  // by upper-cased name
        std::vector<std::string> order;             // names as first written
    };

    static std::string Normalize(const std::string& path);
    Key* KeyOf(BrimolKey handle);
    // Counts a write and says why it is refused: an unknown handle, or a
    // refusal set for this value (or for every value); 0 lets it through.
    long RefuseWrite(BrimolKey handle, const char* valueName);
    long Open(BrimolKey root, const char* path, bool create, BrimolKey* key);

    std::map<std::string, Key> keys_;
    std::map<std::uintptr_t, std::string> open_;  // handle -> key path
    std::uintptr_t nextHandle_ = 0x100;
    long createError_ = kRegOk;
    std::map<std::string, long> writeErrors_;
    Counts counts_;
};

// The process-wide store that TheKeyStore() returns in native builds.
MemoryKeyStore& TheMemoryKeyStore();

}  // namespace brimol
