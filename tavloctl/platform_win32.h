// The console's Platform on Windows.
#pragma once

#include "platform.h"

namespace tavloctl {

class WindowsPlatform final : public Platform {
public:
    void Pause(int milliseconds) override;
    std::string TimeOfDay() override;
    NystraSigns Nystra() override;
    bool FileExists(const std::string& path) override;
    std::string InstallFolder() override;
    std::optional<std::string> ReadFile(const std::string& path) override;
    bool WriteFile(const std::string& path, const std::string& content) override;
    std::string StoredToUtf8(const std::string& stored) override;
    std::optional<std::string> Utf8ToStored(const std::string& utf8) override;
    std::size_t StoredCharacters(const std::string& stored) override;
    std::optional<StoredValue> RecordValue(const std::string& key, const std::string& valueName) override;
};

}  // namespace tavloctl
