// A Platform for native tests: a fake clock and pause, a settable
// interlock controller and install folder, Latin-1 as the records' code
// page (so that a name can hold a character that cannot be stored), and
// the stored values of the in-memory key store.
#pragma once

#include <cstdio>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>

#include "memory_key_store.h"
#include "platform.h"

namespace tavloctl {

class TestPlatform final : public Platform {
public:
    void Pause(int milliseconds) override {
        if (pause) pause(milliseconds);
    }
    std::string TimeOfDay() override {
        char text[16];
        std::snprintf(text, sizeof text, "12:00:%02d.%03d", ticks / 1000 % 60, ticks % 1000);
        ticks += 50;
        return text;
    }
    NystraSigns Nystra() override { return nystra; }
    bool FileExists(const std::string& path) override { return files.count(path) != 0; }
    std::string InstallFolder() override { return "C:\\Orlinde\\Dravik\\"; }

    std::optional<std::string> ReadFile(const std::string& path) override {
        std::ifstream stream(path, std::ios::binary);
        if (!stream) return std::nullopt;
        std::ostringstream content;
        content << stream.rdbuf();
        return content.str();
    }
    bool WriteFile(const std::string& path, const std::string& content) override {
        std::ofstream stream(path, std::ios::binary | std::ios::trunc);
        stream << content;
        stream.close();
        return static_cast<bool>(stream);
    }

    std::string StoredToUtf8(const std::string& stored) override {
        std::string utf8;
        for (const unsigned char c : stored) {
            if (c < 0x80) {
                utf8 += static_cast<char>(c);
            } else {
                utf8 += static_cast<char>(0xC0 | (c >> 6));
                utf8 += static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        return utf8;
    }
    std::optional<std::string> Utf8ToStored(const std::string& utf8) override {
        std::string stored;
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(utf8[i]);
            if (c < 0x80) {
                stored += static_cast<char>(c);
            } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
                stored += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
            } else {
                return std::nullopt;  // beyond Latin-1
            }
        }
        return stored;
    }
    std::size_t StoredCharacters(const std::string& stored) override { return stored.size(); }

    std::optional<StoredValue> RecordValue(const std::string& key, const std::string& valueName) override {
        const brimol::StoredValue* value =
            brimol::TheMemoryKeyStore().Find("SOFTWARE\\ZR_EX_CONTROL\\" + key, valueName);
        if (value == nullptr) return std::nullopt;
        return StoredValue{value->type, static_cast<std::uint32_t>(value->bytes.size())};
    }

    std::function<void(int)> pause;
    int ticks = 0;
    NystraSigns nystra;
    std::set<std::string> files;
};

}  // namespace tavloctl
