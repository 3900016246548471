// The picture's icon: kept when a file cannot be loaded, replaced ones
// destroyed, one alive after many changes.
#include "picture_slot.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace palvine {
namespace {

class CountingSource final : public IconSource {
public:
    void* LoadIconFile(const std::string& file) override {
        if (missing.count(file)) return nullptr;
        void* icon = reinterpret_cast<void*>(++next);
        alive.insert(icon);
        return icon;
    }
    void DestroyIconHandle(void* icon) override {
        EXPECT_EQ(alive.erase(icon), 1u) << "destroyed twice or never loaded";
        if (controlAlive) {
            EXPECT_NE(icon, shown) << "destroyed while shown";
        }
    }
    void ShowIcon(void* icon) override { shown = icon; }

    std::set<std::string> missing;
    std::set<void*> alive;
    void* shown = nullptr;
    bool controlAlive = true;  // the window goes before the slot
    std::uintptr_t next = 0x1000;
};

TEST(PalvinePictureSlot, UnloadableFileKeepsThePictureShown) {
    CountingSource source;
    {
        PictureSlot slot(source);
        struct Step {
            const char* file;
            bool missing;
            bool shown;
        };
        const Step steps[] = {
            {"left.ico", true, false},  // nothing to keep yet
            {"left.ico", false, true}, {"right.ico", true, false}, {"right.ico", false, true},
            {"left.ico", true, false}, {"left.ico", false, true},
        };
        for (const Step& step : steps) {
            source.missing.clear();
            if (step.missing) source.missing.insert(step.file);
            void* before = source.shown;
            EXPECT_EQ(slot.Show(step.file), step.shown) << step.file;
            if (!step.shown) {
                EXPECT_EQ(source.shown, before);
            }
            EXPECT_EQ(slot.Current(), source.shown);
            EXPECT_LE(source.alive.size(), 1u);
        }
        source.controlAlive = false;
    }
    EXPECT_TRUE(source.alive.empty());
}

TEST(PalvinePictureSlot, TenThousandChangesLeaveOneIcon) {
    CountingSource source;
    PictureSlot slot(source);
    for (int i = 0; i < 10000; ++i) slot.Show(i % 2 ? "right.ico" : "left.ico");
    EXPECT_EQ(source.alive.size(), 1u);
    source.controlAlive = false;
}

}  // namespace
}  // namespace palvine
