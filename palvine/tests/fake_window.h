// A stand-in for Palvine's window in native tests: records what the logic
// does to the system menu, the z-order, the sizes, the picture and the
// timer, rounds sizes to whole pixels as a real window does, and plays the
// modal error report's message loop.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "main_dlg.h"
#include "sys_window.h"

namespace palvine {

// AppendMenuA (true) or ModifyMenuA; item, flags, id, text.
using MenuCall = std::tuple<bool, std::uint32_t, std::uint32_t, std::uint32_t, std::string>;

class FakeWindow final : public SysWindow, public MainDlgView {
public:
    bool AppendSysMenuItem(std::uint32_t flags, std::uint32_t id, const char* text) override {
        return Menu(true, 0, flags, id, text);
    }
    bool ModifySysMenuItem(std::uint32_t item, std::uint32_t flags, std::uint32_t id, const char* text) override {
        if (!Menu(false, item, flags, id, text)) return false;
        checked[id] = (flags & kMfChecked) != 0;
        return true;
    }
    bool SetZOrder(std::intptr_t insertAfter, std::uint32_t flags) override {
        EXPECT_EQ(flags, 0x43u) << "no size, no move, show";
        EXPECT_TRUE(insertAfter == -1 || insertAfter == -2) << "topmost or not topmost";
        if (zOrderFails) return false;
        topmost = insertAfter == -1;
        return true;
    }
    void ReplaceWindowProc() override { ++procReplaced; }
    double Width() override { return width; }
    double Height() override { return height; }
    void SetWidth(double twips) override { width = Pixels(twips); }
    void SetHeight(double twips) override { height = Pixels(twips); }
    double PictureWidth() override { return picture; }
    double PictureHeight() override { return picture; }
    void SetPictureTop(double twips) override { pictureTop = twips; }
    void SetPictureLeft(double twips) override { pictureLeft = twips; }

    bool AnotherInstanceRunning() override { return anotherInstance; }
    void ShowPicture(const std::string& file) override { pictures.push_back(file); }
    void StartTimer(unsigned milliseconds) override {
        timerOn = true;
        timerInterval = milliseconds;
    }
    void StopTimer() override { timerOn = false; }
    void ShowErrorReport() override {
        EXPECT_FALSE(timerOn) << "the timer would tick on behind the modal box";
        // The box's message loop goes on delivering whatever arrives.
        if (++errorReports < 5 && whileBoxOpen) whileBoxOpen();
    }
    void Close() override {
        ++closes;
        if (dlg != nullptr) dlg->Form_Unload();
    }

    std::vector<MenuCall> menuCalls;
    bool checked[256] = {};   // the items' check marks, by command
    int failMenuCallAt = -1;  // index of the menu call that fails, -1: none
    bool zOrderFails = false, topmost = false;
    int procReplaced = 0;
    // As designed at 96 dots per inch: outer 63 x 63 pixels, ClickStatus 32 x 32.
    double twipsPerPixel = 15, width = 945, height = 945, picture = 480, pictureTop = 0, pictureLeft = 0;

    bool anotherInstance = false, timerOn = false;
    unsigned timerInterval = 0;
    std::vector<std::string> pictures;
    int errorReports = 0, closes = 0;
    std::function<void()> whileBoxOpen;
    MainDlg* dlg = nullptr;

private:
    double Pixels(double twips) const { return std::round(twips / twipsPerPixel) * twipsPerPixel; }
    bool Menu(bool append, std::uint32_t item, std::uint32_t flags, std::uint32_t id, const char* text) {
        menuCalls.emplace_back(append, item, flags, id, text ? text : "");
        return static_cast<int>(menuCalls.size()) - 1 != failMenuCallAt;
    }
};

}  // namespace palvine
