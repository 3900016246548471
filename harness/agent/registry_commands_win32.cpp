// The agent's registry commands: the suite's records read, written and
// deleted in either registry view through the registry API itself (no reg
// tool, no process per step). Data in the harness's normal form: DWORDs
// and QWORDs as numbers, binaries as lower-case hex bytes "01 ff", texts
// as UTF-8, multi-strings as arrays.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "agent_commands_win32.h"
#include "text_win32.h"
#include "window_probe_win32.h"

namespace agent {

namespace {

using winprobe::Narrow;
using winprobe::Widen;

REGSAM View(const Args& args) {
    const auto view = args.Int("view", 32, 64);
    if (view != 32 && view != 64) throw CommandError("argument 'view' must be 32 or 64");
    return view == 32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

struct KeyName {
    HKEY root;
    std::wstring path;
};

KeyName Key(const Args& args) {
    const std::string key = args.Str("key");
    static const struct {
        const char* name;
        HKEY root;
    } kRoots[] = {{"HKLM", HKEY_LOCAL_MACHINE}, {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                  {"HKCU", HKEY_CURRENT_USER},  {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                  {"HKCR", HKEY_CLASSES_ROOT},  {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                  {"HKU", HKEY_USERS},          {"HKEY_USERS", HKEY_USERS}};
    const std::size_t slash = key.find('\\');
    const std::string root = key.substr(0, slash);
    for (const auto& candidate : kRoots) {
        if (root == candidate.name) {
            if (slash == std::string::npos || slash + 1 == key.size()) {
                throw CommandError("argument 'key' must name a key below " + root);
            }
            return {candidate.root, winui::Widen(key.substr(slash + 1), CP_UTF8)};
        }
    }
    throw CommandError("argument 'key' must start with HKLM, HKCU, HKCR or HKU: " + key);
}

class Key32 {
public:
    Key32() = default;
    ~Key32() {
        if (handle_ != nullptr) RegCloseKey(handle_);
    }
    Key32(const Key32&) = delete;
    Key32& operator=(const Key32&) = delete;
    HKEY* out() { return &handle_; }
    HKEY get() const { return handle_; }

private:
    HKEY handle_ = nullptr;
};

std::string Error(LONG status) { return "error " + std::to_string(status); }

std::string HexBytes(const BYTE* data, DWORD size) {
    std::string text;
    char byte[4];
    for (DWORD i = 0; i < size; ++i) {
        std::snprintf(byte, sizeof byte, "%02x", data[i]);
        if (!text.empty()) text += ' ';
        text += byte;
    }
    return text;
}

const char* TypeName(DWORD type) {
    switch (type) {
    case REG_SZ:
        return "REG_SZ";
    case REG_EXPAND_SZ:
        return "REG_EXPAND_SZ";
    case REG_DWORD:
        return "REG_DWORD";
    case REG_QWORD:
        return "REG_QWORD";
    case REG_BINARY:
        return "REG_BINARY";
    case REG_MULTI_SZ:
        return "REG_MULTI_SZ";
    case REG_NONE:
        return "REG_NONE";
    default:
        return "REG_OTHER";
    }
}

std::wstring TextOfData(const std::vector<BYTE>& data) {
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

Json Value(DWORD type, const std::vector<BYTE>& data) {
    Json value = {{"type", TypeName(type)}};
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        value["data"] = winui::Narrow(TextOfData(data), CP_UTF8);
        break;
    case REG_DWORD: {
        DWORD number = 0;
        std::memcpy(&number, data.data(), std::min<std::size_t>(sizeof number, data.size()));
        value["data"] = number;
        break;
    }
    case REG_QWORD: {
        unsigned long long number = 0;
        std::memcpy(&number, data.data(), std::min<std::size_t>(sizeof number, data.size()));
        value["data"] = number;
        break;
    }
    case REG_MULTI_SZ: {
        Json list = Json::array();
        const std::wstring all(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
        std::size_t start = 0;
        while (start < all.size() && all[start] != L'\0') {
            const std::size_t end = all.find(L'\0', start);
            list.push_back(winui::Narrow(
                all.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start), CP_UTF8));
            if (end == std::wstring::npos) break;
            start = end + 1;
        }
        value["data"] = list;
        break;
    }
    default:
        value["data"] = HexBytes(data.data(), static_cast<DWORD>(data.size()));
        break;
    }
    return value;
}

// All values of an open key; throws on a failed read.
Json Values(HKEY key) {
    Json values = Json::object();
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        DWORD nameSize = 16384, type = 0, size = 0;
        LONG status = RegEnumValueW(key, index, name, &nameSize, nullptr, &type, nullptr, &size);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) throw CommandError("cannot list the values: " + Error(status));
        std::vector<BYTE> data(size + 2);
        nameSize = 16384;
        DWORD got = size;
        status = RegEnumValueW(key, index, name, &nameSize, nullptr, &type, data.data(), &got);
        if (status != ERROR_SUCCESS) throw CommandError("cannot read a value: " + Error(status));
        data.resize(got);
        values[winui::Narrow(name, CP_UTF8)] = Value(type, data);
    }
    return values;
}

// Opens a key for reading; false when it does not exist.
bool OpenKey(const KeyName& name, REGSAM access, Key32* key) {
    const LONG status = RegOpenKeyExW(name.root, name.path.c_str(), 0, access, key->out());
    if (status == ERROR_FILE_NOT_FOUND) return false;
    if (status != ERROR_SUCCESS) throw CommandError("cannot open the key: " + Error(status));
    return true;
}

std::vector<BYTE> Encode(const std::string& type, const Json& data, DWORD* regType) {
    std::vector<BYTE> bytes;
    auto number = [&](unsigned long long max) {
        unsigned long long value = 0;
        if (data.is_number_unsigned())
            value = data.get<unsigned long long>();
        else if (data.is_number_integer() && data.get<long long>() >= 0)
            value = static_cast<unsigned long long>(data.get<long long>());
        else
            throw CommandError(type + " data must be a number 0-" + std::to_string(max));
        if (value > max) throw CommandError(type + " data must be a number 0-" + std::to_string(max));
        return value;
    };
    if (type == "REG_SZ" || type == "REG_EXPAND_SZ") {
        if (!data.is_string()) throw CommandError(type + " data must be a string");
        std::wstring text = Widen(data.get<std::string>());
        const auto* raw = reinterpret_cast<const BYTE*>(text.c_str());
        bytes.assign(raw, raw + (text.size() + 1) * sizeof(wchar_t));
        *regType = type == "REG_SZ" ? REG_SZ : REG_EXPAND_SZ;
    } else if (type == "REG_DWORD") {
        const auto value = static_cast<DWORD>(number(0xFFFFFFFFull));
        bytes.resize(sizeof value);
        std::memcpy(bytes.data(), &value, sizeof value);
        *regType = REG_DWORD;
    } else if (type == "REG_QWORD") {
        const unsigned long long value = number(~0ull);
        bytes.resize(sizeof value);
        std::memcpy(bytes.data(), &value, sizeof value);
        *regType = REG_QWORD;
    } else if (type == "REG_BINARY") {
        if (!data.is_string()) throw CommandError("REG_BINARY data must be hex bytes like \"01 ff\"");
        std::string hex;
        for (char c : data.get<std::string>()) {
            if (c == ' ' || c == ',') continue;
            if (!std::isxdigit(static_cast<unsigned char>(c))) throw CommandError("REG_BINARY data must be hex bytes");
            hex += c;
        }
        if (hex.size() % 2 != 0) throw CommandError("REG_BINARY data must be whole bytes");
        for (std::size_t i = 0; i < hex.size(); i += 2) {
            bytes.push_back(static_cast<BYTE>(std::stoul(hex.substr(i, 2), nullptr, 16)));
        }
        *regType = REG_BINARY;
    } else {
        throw CommandError("type " + type +
                           " is not supported (REG_SZ, REG_EXPAND_SZ, REG_DWORD, REG_QWORD, REG_BINARY)");
    }
    return bytes;
}

}  // namespace

void AddRegistryCommands(Dispatcher& d) {
    d.Add("registry.read",
          "registry.read view=32|64 key=HKLM\\... name=N: {exists, type, data} (exists false: no key or no value)",
          [](const Args& args) {
              const KeyName name = Key(args);
              const std::wstring value = Widen(args.Str("name"));
              Key32 key;
              if (!OpenKey(name, KEY_QUERY_VALUE | View(args), &key)) return Json{{"exists", false}, {"key", false}};
              DWORD type = 0, size = 0;
              LONG status = RegQueryValueExW(key.get(), value.c_str(), nullptr, &type, nullptr, &size);
              if (status == ERROR_FILE_NOT_FOUND) return Json{{"exists", false}, {"key", true}};
              if (status != ERROR_SUCCESS) throw CommandError("cannot read the value: " + Error(status));
              std::vector<BYTE> data(size + 2);
              DWORD got = size;
              status = RegQueryValueExW(key.get(), value.c_str(), nullptr, &type, data.data(), &got);
              if (status != ERROR_SUCCESS) throw CommandError("cannot read the value: " + Error(status));
              data.resize(got);
              Json result = Value(type, data);
              result["exists"] = true;
              result["key"] = true;
              return result;
          });
    d.Add("registry.values", "registry.values view=32|64 key=K: {exists, values: {NAME: {type, data}}}",
          [](const Args& args) {
              Key32 key;
              if (!OpenKey(Key(args), KEY_QUERY_VALUE | View(args), &key)) return Json{{"exists", false}};
              return Json{{"exists", true}, {"values", Values(key.get())}};
          });
    d.Add("registry.write",
          "registry.write view=32|64 key=K values=[{name, type, data}...]: creates the key, writes, reads back",
          [](const Args& args) {
              const KeyName name = Key(args);
              const REGSAM view = View(args);
              const Json& list = args.Array("values");
              struct Item {
                  std::wstring name;
                  DWORD type;
                  std::vector<BYTE> bytes;
                  Json expected;
              };
              std::vector<Item> items;
              for (const Json& entry : list) {
                  const Args item(entry.is_object() ? entry : throw CommandError("each value must be an object"));
                  Item parsed;
                  parsed.name = Widen(item.Str("name"));
                  if (!entry.contains("data")) throw CommandError("a value needs data");
                  parsed.bytes = Encode(item.Str("type"), entry.at("data"), &parsed.type);
                  parsed.expected = Value(parsed.type, parsed.bytes);
                  items.push_back(std::move(parsed));
              }
              Key32 key;
              LONG status = RegCreateKeyExW(name.root, name.path.c_str(), 0, nullptr, 0,
                                            KEY_SET_VALUE | KEY_QUERY_VALUE | view, nullptr, key.out(), nullptr);
              if (status != ERROR_SUCCESS) throw CommandError("cannot create the key: " + Error(status));
              for (const Item& item : items) {
                  status = RegSetValueExW(key.get(), item.name.c_str(), 0, item.type, item.bytes.data(),
                                          static_cast<DWORD>(item.bytes.size()));
                  if (status != ERROR_SUCCESS) {
                      throw CommandError("cannot write " + Narrow(item.name) + ": " + Error(status));
                  }
              }
              // Read back: the scenario goes on only with the record in place.
              const Json values = Values(key.get());
              for (const Item& item : items) {
                  const std::string itemName = Narrow(item.name);
                  if (!values.contains(itemName) || values.at(itemName) != item.expected) {
                      throw CommandError(itemName + " reads back as " +
                                         (values.contains(itemName) ? values.at(itemName).dump() : "nothing") +
                                         ", not " + item.expected.dump());
                  }
              }
              return Json{{"values", values}};
          });
    d.Add("registry.delete", "registry.delete view=32|64 key=K: deletes it with its subkeys; a missing key is fine",
          [](const Args& args) {
              const KeyName name = Key(args);
              const REGSAM view = View(args);
              {
                  Key32 key;
                  if (!OpenKey(name, DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE | view, &key)) {
                      return Json{{"existed", false}};
                  }
                  const LONG status = RegDeleteTreeW(key.get(), nullptr);
                  if (status != ERROR_SUCCESS) throw CommandError("cannot delete the subkeys: " + Error(status));
              }
              const LONG status = RegDeleteKeyExW(name.root, name.path.c_str(), view, 0);
              if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
                  throw CommandError("cannot delete the key: " + Error(status));
              }
              Key32 check;
              if (OpenKey(name, KEY_QUERY_VALUE | view, &check)) throw CommandError("the key is still there");
              return Json{{"existed", true}};
          });
}

}  // namespace agent
