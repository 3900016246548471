// The picture's icon: kept when a file cannot be loaded, replaced ones
// destroyed, at most one alive at any time and none after the slot.
#include "picture_slot.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace palvine {
namespace {

class CountingSource final : public IconSource {
public:
    void* LoadIconFile(const std::string& file) override {
        if (file == missing) return nullptr;
        void* icon = reinterpret_cast<void*>(++next);
        alive.insert(icon);
        return icon;
    }
    void DestroyIconHandle(void* icon) override {
        EXPECT_EQ(alive.erase(icon), 1u) << "destroyed twice or never loaded";
        EXPECT_TRUE(icon != shown || !controlAlive) << "destroyed while shown";
    }
    void ShowIcon(void* icon) override { shown = icon; }

    std::string missing;
    std::set<void*> alive;
    void* shown = nullptr;
    bool controlAlive = true;  // the window goes before the slot
    std::uintptr_t next = 0x1000;
};

TEST(PalvinePictureSlot, UnloadableFileKeepsThePictureShown) {
    CountingSource source;
    {
        PictureSlot slot(source);
        // Each file missing once, then there; the first miss has nothing to keep.
        for (const char* file : {"left.ico", "right.ico", "left.ico"}) {
            void* before = source.shown;
            source.missing = file;
            EXPECT_FALSE(slot.Show(file));
            EXPECT_EQ(source.shown, before);
            source.missing.clear();
            EXPECT_TRUE(slot.Show(file));
            EXPECT_EQ(slot.Current(), source.shown);
            EXPECT_EQ(source.alive.size(), 1u);
        }
        source.controlAlive = false;
    }
    EXPECT_TRUE(source.alive.empty());
}

}  // namespace
}  // namespace palvine
