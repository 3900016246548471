#include "replace.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "row_name.h"

namespace setup {
namespace {

// A program folder in memory: path -> content. Steps named in `failing`
// ("copy:Nystra.exe.~new", "move:TAVLO.DLL", ...) fail; `inUse` files are
// not replaceable; a failing copy leaves a part written.
class FakeFolder : public FileOps {
public:
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> stage;
    std::set<std::string> inUse;
    std::set<std::string> failing;
    std::vector<std::string> removedLater;

    bool Exists(const std::string& path) override { return files.count(path) != 0; }
    bool Replaceable(const std::string& path) override { return inUse.count(path) == 0; }
    bool CopyFromStage(const std::string& file, const std::string& path) override {
        if (failing.count("copy:" + path)) {
            files[path] = "part";
            return false;
        }
        files[path] = stage.at(file);
        return true;
    }
    bool Move(const std::string& from, const std::string& to) override {
        if (failing.count("move:" + from) || !Exists(from) || Exists(to)) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    bool Remove(const std::string& path) override {
        if (failing.count("remove:" + path)) return false;
        files.erase(path);
        return true;
    }
    void RemoveLater(const std::string& path) override { removedLater.push_back(path); }
};

const std::vector<std::string> kShipped = {"TAVLO.DLL", "BRIMOL.DLL", "Nystra.exe", "x86/TAVLO.DLL"};

std::map<std::string, std::string> Installed(const std::string& version) {
    std::map<std::string, std::string> files;
    for (const auto& file : kShipped) files[file] = file + " " + version;
    return files;
}

struct Case {
    const char* name;
    std::map<std::string, std::string> before;
    std::set<std::string> inUse = {};
    std::set<std::string> failing = {};
    ReplaceStatus status;
    const char* stoppedAt;
    // What the folder holds afterwards.
    std::map<std::string, std::string> after;
    std::vector<std::string> removedLater = {};
    std::vector<std::string> recovered = {};
};

std::map<std::string, std::string> WithUserFile(std::map<std::string, std::string> files) {
    files["left.ico"] = "the user's picture";
    return files;
}

// The installed set of version 1, and of 2, beside a picture of the user's.
std::map<std::string, std::string> Old() { return WithUserFile(Installed("1")); }
std::map<std::string, std::string> Fresh() { return WithUserFile(Installed("2")); }
// Version 1 after an earlier run stopped with BRIMOL.DLL aside.
std::map<std::string, std::string> Interrupted() {
    auto files = Old();
    files["BRIMOL.DLL.~old"] = files["BRIMOL.DLL"];
    files.erase("BRIMOL.DLL");
    files["Nystra.exe.~new"] = "part";
    return files;
}

class ReplaceFilesCase : public ::testing::TestWithParam<Case> {};

TEST_P(ReplaceFilesCase, EitherEveryFileIsNewOrTheFolderIsAsBefore) {
    const Case& c = GetParam();
    FakeFolder fs;
    fs.files = c.before;
    fs.inUse = c.inUse;
    fs.failing = c.failing;
    for (const auto& file : kShipped) fs.stage[file] = file + " 2";
    const ReplaceResult result = ReplaceFiles(fs, kShipped);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.file, c.stoppedAt);
    EXPECT_EQ(fs.files, c.after);
    EXPECT_EQ(fs.removedLater, c.removedLater);
    EXPECT_EQ(result.recovered, c.recovered);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Folders, ReplaceFilesCase,
    ::testing::Values(
        Case{.name = "empty folder", .before = {{"left.ico", "the user's picture"}}, .status = ReplaceStatus::kDone, .stoppedAt = "", .after = Fresh()},
        Case{.name = "upgrade", .before = Old(), .status = ReplaceStatus::kDone, .stoppedAt = "", .after = Fresh()},
        Case{.name = "a file in use", .before = Old(), .inUse = {"Nystra.exe"}, .status = ReplaceStatus::kInUse, .stoppedAt = "Nystra.exe", .after = Old()},
        Case{.name = "a write refused half way", .before = Old(), .failing = {"copy:Nystra.exe.~new"},
             .status = ReplaceStatus::kWriteFailed, .stoppedAt = "Nystra.exe", .after = Old()},
        Case{.name = "a program started before its file was moved aside", .before = Old(),
             .failing = {"move:Nystra.exe"}, .status = ReplaceStatus::kInUse, .stoppedAt = "Nystra.exe",
             .after = Old()},
        Case{.name = "the last new file not moved in", .before = Old(), .failing = {"move:x86/TAVLO.DLL.~new"},
             .status = ReplaceStatus::kWriteFailed, .stoppedAt = "x86/TAVLO.DLL", .after = Old()},
        Case{.name = "an old file still mapped at the end", .before = Old(), .failing = {"remove:TAVLO.DLL.~old"},
             .status = ReplaceStatus::kDone, .stoppedAt = "",
             .after = [] {auto after = Fresh(); after["TAVLO.DLL.~old"] = "TAVLO.DLL 1"; return after;}(),
             .removedLater = {"TAVLO.DLL.~old"}},
        Case{.name = "an interrupted earlier run", .before = Interrupted(), .status = ReplaceStatus::kDone,
             .stoppedAt = "", .after = Fresh(), .recovered = {"BRIMOL.DLL"}},
        Case{.name = "an interrupted earlier run, then a file in use", .before = Interrupted(),
             .inUse = {"TAVLO.DLL"}, .status = ReplaceStatus::kInUse, .stoppedAt = "TAVLO.DLL", .after = Old(),
             .recovered = {"BRIMOL.DLL"}}),
    suite_test::RowName);
// clang-format on

}  // namespace
}  // namespace setup
