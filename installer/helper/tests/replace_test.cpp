#include "replace.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

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
    std::set<std::string> inUse;
    std::set<std::string> failing;
    ReplaceStatus status;
    const char* stoppedAt;
    // What the folder holds afterwards; empty: the new set plus "left.ico".
    std::map<std::string, std::string> after;
    std::vector<std::string> removedLater;
    std::vector<std::string> recovered;
};

std::map<std::string, std::string> WithUserFile(std::map<std::string, std::string> files) {
    files["left.ico"] = "the user's picture";
    return files;
}

TEST(ReplaceFiles, EitherEveryFileIsNewOrTheFolderIsAsBefore) {
    const auto old = WithUserFile(Installed("1"));
    const auto fresh = WithUserFile(Installed("2"));
    auto interrupted = old;  // an earlier run stopped with BRIMOL.DLL aside
    interrupted["BRIMOL.DLL.~old"] = interrupted["BRIMOL.DLL"];
    interrupted.erase("BRIMOL.DLL");
    interrupted["Nystra.exe.~new"] = "part";
    const Case cases[] = {
        {"empty folder", {{"left.ico", "the user's picture"}}, {}, {}, ReplaceStatus::kDone, "", fresh, {}, {}},
        {"upgrade", old, {}, {}, ReplaceStatus::kDone, "", fresh, {}, {}},
        {"a file in use", old, {"Nystra.exe"}, {}, ReplaceStatus::kInUse, "Nystra.exe", old, {}, {}},
        {"a write refused half way", old, {}, {"copy:Nystra.exe.~new"}, ReplaceStatus::kWriteFailed, "Nystra.exe",
         old, {}, {}},
        {"a program started before its file was moved aside", old, {}, {"move:Nystra.exe"},
         ReplaceStatus::kInUse, "Nystra.exe", old, {}, {}},
        {"the last new file not moved in", old, {}, {"move:x86/TAVLO.DLL.~new"}, ReplaceStatus::kWriteFailed,
         "x86/TAVLO.DLL", old, {}, {}},
        {"an old file still mapped at the end", old, {}, {"remove:TAVLO.DLL.~old"}, ReplaceStatus::kDone, "",
         [&] {
             auto after = fresh;
             after["TAVLO.DLL.~old"] = "TAVLO.DLL 1";
             return after;
         }(),
         {"TAVLO.DLL.~old"}, {}},
        {"an interrupted earlier run", interrupted, {}, {}, ReplaceStatus::kDone, "", fresh, {}, {"BRIMOL.DLL"}},
        {"an interrupted earlier run, then a file in use", interrupted, {"TAVLO.DLL"}, {}, ReplaceStatus::kInUse,
         "TAVLO.DLL", old, {}, {"BRIMOL.DLL"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
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
}

}  // namespace
}  // namespace setup
