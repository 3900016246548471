// The calibration window as the procedure sees it: its controls by name,
// their design sizes, and what the procedure does to them. Positions and
// sizes are in twips, the window's client coordinates.
#pragma once

#include <cstdint>
#include <string>

namespace gorvat {

enum class Control {
    areaMessage,  // frame "Touch Panel Calibration" holding the help line
    textMessage,  // the help line
    QuitButton,   // "Cancel"
    picPoint,     // the yellow '+' mark
    // Diagnostic labels: hidden and disabled, written but never seen.
    DbgMessage,
    Label2,
    Label4,
    dbgXa,
    dbgXb,
    dbgYa,
    dbgYb,
    DbgPosX,
    DbgPosY,
    DbgSizeX,
    DbgSizeY,
};

struct DesignSize {
    double width;
    double height;
};

inline constexpr DesignSize kAreaMessageSize = {4332, 1212};
inline constexpr DesignSize kTextMessageSize = {3852, 732};
inline constexpr double kTextMessageLeft = 240;  // inside areaMessage
inline constexpr double kTextMessageTop = 360;
inline constexpr DesignSize kQuitButtonSize = {1095, 555};
inline constexpr DesignSize kPicPointSize = {480, 480};

// Mouse button mask of a press or move: bit 0 left, bit 1 right, bit 2 middle.
enum : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

// How long the panel search waits between two tries.
inline constexpr unsigned kPanelSearchIntervalMs = 200;

class CalView {
public:
    // The screen's size, read each time it is asked for.
    virtual double ScreenWidth() = 0;
    virtual double ScreenHeight() = 0;

    virtual void SetText(Control control, const std::string& text) = 0;
    virtual void Move(Control control, double left, double top) = 0;
    // Where the control actually is (the window may snap to whole pixels).
    virtual double Left(Control control) = 0;
    virtual double Top(Control control) = 0;
    virtual void SetVisible(Control control, bool visible) = 0;
    virtual void SetEnabled(Control control, bool enabled) = 0;

    // Puts the window into the topmost group without moving or sizing it.
    virtual void MakeTopmost() = 0;

    // The panel-search timer: SearchTimer_Timer every `milliseconds` until
    // stopped.
    virtual void StartSearchTimer(unsigned milliseconds) = 0;
    virtual void StopSearchTimer() = 0;

    // The question box: SureMsgBox with these arguments; CloseQuestion ends
    // an open box without an answer (SureMsgBox then returns 0).
    virtual std::int16_t AskSure(std::int16_t BoxType, std::int16_t DefButton, const std::string& Caption1,
                                 const std::string& Caption2, const std::string& Caption3, const std::string& Title,
                                 const std::string& Message) = 0;
    virtual void CloseQuestion() = 0;

    // Closes the window, which ends the program.
    virtual void Close() = 0;

protected:
    ~CalView() = default;
};

}  // namespace gorvat
