// A stand-in for Palvine's window in native tests: records what the logic
// does to the system menu, the z-order, the sizes, the picture and the
// timer, rounds sizes to whole pixels as a real window does, and plays the
// modal error report's message loop.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "main_dlg.h"
#include "sys_window.h"

namespace palvine {

struct MenuCall {
    bool append;  // AppendMenuA, else ModifyMenuA
    std::uint32_t item;
    std::uint32_t flags;
    std::uint32_t id;
    std::string text;
    bool operator==(const MenuCall& o) const {
        return append == o.append && item == o.item && flags == o.flags && id == o.id && text == o.text;
    }
};

class FakeWindow final : public SysWindow, public MainDlgView {
public:
    // SysWindow ---------------------------------------------------------
    bool AppendSysMenuItem(std::uint32_t flags, std::uint32_t id, const char* text) override {
        menuCalls.push_back({true, 0, flags, id, text ? text : ""});
        return Allowed();
    }
    bool ModifySysMenuItem(std::uint32_t item, std::uint32_t flags, std::uint32_t id, const char* text) override {
        menuCalls.push_back({false, item, flags, id, text ? text : ""});
        if (!Allowed()) return false;
        checked[id] = (flags & kMfChecked) != 0;
        return true;
    }
    bool SetZOrder(std::intptr_t insertAfter, std::uint32_t flags) override {
        zOrderCalls.push_back({insertAfter, flags});
        if (zOrderFails) return false;
        topmost = insertAfter == kHwndTopmost;
        return true;
    }
    void ReplaceWindowProc() override { ++procReplaced; }
    double Width() override { return width; }
    double Height() override { return height; }
    void SetWidth(double twips) override { width = Snap(twips); }
    void SetHeight(double twips) override { height = Snap(twips); }
    double PictureWidth() override { return pictureWidth; }
    double PictureHeight() override { return pictureHeight; }
    void SetPictureTop(double twips) override { pictureTop = twips; }
    void SetPictureLeft(double twips) override { pictureLeft = twips; }

    // MainDlgView -------------------------------------------------------
    bool AnotherInstanceRunning() override { return anotherInstance; }
    void ShowPicture(const std::string& file) override { pictures.push_back(file); }
    void StartTimer(unsigned milliseconds) override {
        timerOn = true;
        timerInterval = milliseconds;
    }
    void StopTimer() override { timerOn = false; }
    void ShowErrorReport() override {
        ++errorReports;
        // While the box is open its message loop goes on delivering the
        // timer's ticks and whatever else arrives.
        if (whileBoxOpen && errorReports < 5) whileBoxOpen();
    }
    void Close() override {
        ++closes;
        if (dlg != nullptr) dlg->Form_Unload();
    }

    // Rounds to whole pixels, as a window does.
    double Snap(double twips) const { return std::round(twips / twipsPerPixel) * twipsPerPixel; }

    // Menu state as the items' check marks show it, by command.
    std::vector<MenuCall> menuCalls;
    bool checked[256] = {};
    int failMenuCallAt = -1;  // index of the menu call that fails, -1: none
    struct ZOrderCall {
        std::intptr_t insertAfter;
        std::uint32_t flags;
    };
    std::vector<ZOrderCall> zOrderCalls;
    bool zOrderFails = false;
    bool topmost = false;
    int procReplaced = 0;
    // The window as designed: outer 63 x 63 pixels, ClickStatus 32 x 32,
    // at 96 dots per inch.
    double twipsPerPixel = 15;
    double width = 945, height = 945;
    double pictureWidth = 480, pictureHeight = 480, pictureTop = 0, pictureLeft = 120;

    bool anotherInstance = false;
    std::vector<std::string> pictures;
    bool timerOn = false;
    unsigned timerInterval = 0;
    int errorReports = 0;
    int closes = 0;
    std::function<void()> whileBoxOpen;
    MainDlg* dlg = nullptr;

private:
    bool Allowed() const { return failMenuCallAt < 0 || static_cast<int>(menuCalls.size()) - 1 != failMenuCallAt; }
};

}  // namespace palvine
