#include "replace.h"

namespace setup {

ReplaceResult ReplaceFiles(FileOps& fs, const std::vector<std::string>& files) {
    ReplaceResult result;
    // An earlier run that was interrupted between moving a file aside and
    // putting the new one in left the old file only under its aside name:
    // it is put back before anything else, and a stray new copy goes.
    for (const std::string& file : files) {
        const std::string old = file + kOldSuffix;
        if (!fs.Exists(file) && fs.Exists(old) && fs.Move(old, file)) result.recovered.push_back(file);
        if (fs.Exists(file + kNewSuffix)) fs.Remove(file + kNewSuffix);
    }

    // 1. Every file to be replaced must be free, before anything changes.
    for (const std::string& file : files) {
        if (fs.Exists(file) && !fs.Replaceable(file)) {
            result.status = ReplaceStatus::kInUse;
            result.file = file;
            return result;
        }
    }

    // 2. The new files beside the old ones: a full disk or a refused write
    // shows here, while the old files are untouched.
    std::vector<std::string> copied;
    for (const std::string& file : files) {
        if (!fs.CopyFromStage(file, file + kNewSuffix)) {
            fs.Remove(file + kNewSuffix);  // a part written
            for (const std::string& done : copied) fs.Remove(done + kNewSuffix);
            result.status = ReplaceStatus::kWriteFailed;
            result.file = file;
            return result;
        }
        copied.push_back(file);
    }

    // 3. Swap each: the old file aside, the new one in. A swap that fails
    // (a program started meanwhile) takes back every swap made so far.
    struct Swap {
        std::string file;
        bool hadOld;
    };
    std::vector<Swap> swapped;
    auto undo = [&]() {
        for (auto it = swapped.rbegin(); it != swapped.rend(); ++it) {
            if (it->hadOld) {
                fs.Move(it->file, it->file + kNewSuffix);
                fs.Move(it->file + kOldSuffix, it->file);
            } else {
                fs.Move(it->file, it->file + kNewSuffix);
            }
        }
        for (const std::string& file : files) fs.Remove(file + kNewSuffix);
    };
    for (const std::string& file : files) {
        const bool hadOld = fs.Exists(file);
        if (hadOld && !fs.Move(file, file + kOldSuffix)) {
            undo();
            result.status = ReplaceStatus::kInUse;
            result.file = file;
            return result;
        }
        if (!fs.Move(file + kNewSuffix, file)) {
            if (hadOld) fs.Move(file + kOldSuffix, file);
            undo();
            result.status = ReplaceStatus::kWriteFailed;
            result.file = file;
            return result;
        }
        swapped.push_back({file, hadOld});
    }

    // 4. The old files go; one still mapped by a program goes at the next start.
    for (const Swap& swap : swapped) {
        if (swap.hadOld && !fs.Remove(swap.file + kOldSuffix)) fs.RemoveLater(swap.file + kOldSuffix);
    }
    return result;
}

}  // namespace setup
