#include "memory_key_store.h"

#include <cctype>
#include <cstring>

namespace brimol {

std::string MemoryKeyStore::Normalize(const std::string& path) {
    std::string result;
    for (char c : path) result += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    while (!result.empty() && result.back() == '\\') result.pop_back();
    return result;
}

MemoryKeyStore::Key* MemoryKeyStore::KeyOf(BrimolKey handle) {
    auto open = open_.find(reinterpret_cast<std::uintptr_t>(handle));
    if (open == open_.end()) return nullptr;
    auto key = keys_.find(open->second);
    return key == keys_.end() ? nullptr : &key->second;
}

long MemoryKeyStore::Open(BrimolKey root, const char* path, bool create, BrimolKey* key) {
    *key = nullptr;
    if (root != MachineRootKey() || path == nullptr) return kRegInvalidHandle;
    const std::string normalized = Normalize(path);
    if (create) {
        if (createError_ != kRegOk) return createError_;
        keys_[normalized];  // creates it when missing
    } else if (!HasKey(normalized)) {
        return kRegNotFound;
    }
    const std::uintptr_t handle = nextHandle_++;
    open_[handle] = normalized;
    *key = reinterpret_cast<BrimolKey>(handle);
    return kRegOk;
}

long MemoryKeyStore::OpenForRead(BrimolKey root, const char* path, BrimolKey* key) {
    ++counts_.opens;
    return Open(root, path, false, key);
}

long MemoryKeyStore::CreateForWrite(BrimolKey root, const char* path, BrimolKey* key) {
    ++counts_.creates;
    return Open(root, path, true, key);
}

long MemoryKeyStore::ReadText(BrimolKey handle, const char* valueName, char* text, std::size_t capacity) {
    ++counts_.reads;
    if (capacity > 0) text[0] = '\0';
    Key* key = KeyOf(handle);
    if (key == nullptr) return kRegInvalidHandle;
    auto value = key->values.find(Normalize(valueName));
    if (value == key->values.end()) return kRegNotFound;
    if (value->second.type != kRegSz) return kRegUnsupportedType;
    if (capacity == 0) return kRegMoreData;
    const std::vector<std::uint8_t>& bytes = value->second.bytes;
    std::size_t length = 0;
    while (length < bytes.size() && length < capacity - 1 && bytes[length] != 0) {
        text[length] = static_cast<char>(bytes[length]);
        ++length;
    }
    text[length] = '\0';
    return kRegOk;
}

long MemoryKeyStore::ReadDword(BrimolKey handle, const char* valueName, std::int32_t* value) {
    ++counts_.reads;
    Key* key = KeyOf(handle);
    if (key == nullptr) return kRegInvalidHandle;
    auto found = key->values.find(Normalize(valueName));
    if (found == key->values.end()) return kRegNotFound;
    if (found->second.type != kRegDword) return kRegUnsupportedType;
    if (found->second.bytes.size() != 4) return kRegInvalidData;
    const std::uint8_t* b = found->second.bytes.data();
    const std::uint32_t raw = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    std::memcpy(value, &raw, sizeof raw);
    return kRegOk;
}

long MemoryKeyStore::RefuseWrite(BrimolKey handle, const char* valueName) {
    ++counts_.writes;
    if (KeyOf(handle) == nullptr) return kRegInvalidHandle;
    for (const std::string& refused : {Normalize(valueName), std::string()}) {
        auto error = writeErrors_.find(refused);
        if (error != writeErrors_.end()) return error->second;
    }
    return kRegOk;
}

long MemoryKeyStore::WriteText(BrimolKey handle, const char* valueName, const char* text) {
    if (const long refused = RefuseWrite(handle, valueName)) return refused;
    std::vector<std::uint8_t> bytes(text, text + std::strlen(text) + 1);  // terminating zero included
    PutValue(open_[reinterpret_cast<std::uintptr_t>(handle)], valueName, kRegSz, std::move(bytes));
    return kRegOk;
}

long MemoryKeyStore::WriteDword(BrimolKey handle, const char* valueName, std::int32_t value) {
    if (const long refused = RefuseWrite(handle, valueName)) return refused;
    PutDword(open_[reinterpret_cast<std::uintptr_t>(handle)], valueName, value);
    return kRegOk;
}

void MemoryKeyStore::Close(BrimolKey handle) {
    ++counts_.closes;
    open_.erase(reinterpret_cast<std::uintptr_t>(handle));
}

void MemoryKeyStore::AddKey(const std::string& path) { keys_[Normalize(path)]; }

bool MemoryKeyStore::HasKey(const std::string& path) const {
    const std::string normalized = Normalize(path);
    if (keys_.count(normalized) != 0) return true;
    // A parent of a stored key exists too.
    auto next = keys_.lower_bound(normalized + "\\");
    return next != keys_.end() && next->first.compare(0, normalized.size() + 1, normalized + "\\") == 0;
}

void MemoryKeyStore::PutValue(const std::string& path, const std::string& valueName, std::uint32_t type,
                              std::vector<std::uint8_t> bytes) {
    Key& key = keys_[Normalize(path)];
    const std::string name = Normalize(valueName);
    if (key.values.count(name) == 0) key.order.push_back(valueName);
    key.values[name] = StoredValue{type, std::move(bytes)};
}

void MemoryKeyStore::PutText(const std::string& path, const std::string& valueName, const std::string& text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    PutValue(path, valueName, kRegSz, std::move(bytes));
}

void MemoryKeyStore::PutDword(const std::string& path, const std::string& valueName, std::int32_t value) {
    const auto raw = static_cast<std::uint32_t>(value);
    PutValue(path, valueName, kRegDword,
             {static_cast<std::uint8_t>(raw), static_cast<std::uint8_t>(raw >> 8), static_cast<std::uint8_t>(raw >> 16),
              static_cast<std::uint8_t>(raw >> 24)});
}

const StoredValue* MemoryKeyStore::Find(const std::string& path, const std::string& valueName) const {
    auto key = keys_.find(Normalize(path));
    if (key == keys_.end()) return nullptr;
    auto value = key->second.values.find(Normalize(valueName));
    return value == key->second.values.end() ? nullptr : &value->second;
}

std::vector<std::string> MemoryKeyStore::ValueNames(const std::string& path) const {
    auto key = keys_.find(Normalize(path));
    return key == keys_.end() ? std::vector<std::string>() : key->second.order;
}

void MemoryKeyStore::RefuseWrite(const std::string& valueName, long error) {
    if (error == kRegOk) {
        writeErrors_.erase(Normalize(valueName));
    } else {
        writeErrors_[Normalize(valueName)] = error;
    }
}

void MemoryKeyStore::Clear() {
    keys_.clear();
    open_.clear();
    createError_ = kRegOk;
    writeErrors_.clear();
    counts_ = Counts();
}

MemoryKeyStore& TheMemoryKeyStore() {
    static MemoryKeyStore store;
    return store;
}

KeyStore& TheKeyStore() { return TheMemoryKeyStore(); }

}  // namespace brimol
