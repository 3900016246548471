// A stand-in for Palvine's window in native tests: records what the logic
// does to the system menu, the z-order, the sizes, the picture and the
// timer, rounds sizes to whole pixels as a real window does, and plays the
// modal error report's message loop.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "main_dlg.h"
#include "system_menu.h"

namespace palvine {

// A call on the system menu: what it does, the item's command and text,
// and its check mark when the item is rewritten.
struct MenuCall {
    enum Kind { kAppendSeparator, kAppendItem, kSetItem } kind = kAppendSeparator;
    std::uint32_t id = 0;
    std::string text = {};
    bool checked = false;
    bool operator==(const MenuCall& o) const {
        return kind == o.kind && id == o.id && text == o.text && checked == o.checked;
    }
    friend std::ostream& operator<<(std::ostream& out, const MenuCall& c) {
        return out << "{" << c.kind << " " << c.id << " \"" << c.text << "\" " << c.checked << "}";
    }
};

class FakeWindow final : public SysWindow, public MainDlgView {
public:
    bool AppendMenuSeparator() override { return Menu({MenuCall::kAppendSeparator}); }
    bool AppendMenuItem(std::uint32_t id, const char* text) override { return Menu({MenuCall::kAppendItem, id, text}); }
    bool SetMenuItem(std::uint32_t id, const char* text, bool check) override {
        if (!Menu({MenuCall::kSetItem, id, text, check})) return false;
        checked[id] = check;
        return true;
    }
    bool SetTopmost(bool on) override {
        if (zOrderFails) return false;
        topmost = on;
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
    bool Menu(MenuCall call) {
        menuCalls.push_back(std::move(call));
        return static_cast<int>(menuCalls.size()) - 1 != failMenuCallAt;
    }
};

}  // namespace palvine
