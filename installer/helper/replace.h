// Puts a new set of program files into the program folder as one step:
// either every file is the new one afterwards, or every file is as it was
// before (nothing of the earlier install is lost). The files go through
// a small interface, so the order of steps and every way back is tested
// natively with a file system that fails where a test says.
#pragma once

#include <string>
#include <vector>

namespace setup {

// The program folder's files, by path relative to the folder ("TAVLO.DLL",
// "x86/TAVLO.DLL"); the stage holds the new ones under the same paths.
class FileOps {
public:
    virtual ~FileOps() = default;
    virtual bool Exists(const std::string& path) = 0;
    // Whether an existing file could be replaced now: no program has it
    // loaded or open without sharing.
    virtual bool Replaceable(const std::string& path) = 0;
    // Copies the new file from the stage to `path` in the folder (making
    // its folders), overwriting a leftover.
    virtual bool CopyFromStage(const std::string& file, const std::string& path) = 0;
    virtual bool Move(const std::string& from, const std::string& to) = 0;
    virtual bool Remove(const std::string& path) = 0;
    // A file that cannot be removed now (a program has it mapped) is
    // removed at the next start of Windows.
    virtual void RemoveLater(const std::string& path) = 0;
};

enum class ReplaceStatus {
    kDone,
    kInUse,       // a file is in use: nothing was changed
    kWriteFailed  // a new file could not be written: nothing was changed
};

struct ReplaceResult {
    ReplaceStatus status = ReplaceStatus::kDone;
    std::string file;  // the file that stopped it
    // Files of an interrupted earlier run that were put back first.
    std::vector<std::string> recovered;
};

// Suffixes of the new file beside the old one, and of the old one moved aside.
inline const char* const kNewSuffix = ".~new";
inline const char* const kOldSuffix = ".~old";

ReplaceResult ReplaceFiles(FileOps& fs, const std::vector<std::string>& files);

}  // namespace setup
