// The settings dialog as its logic sees it: four sliders, the sound check
// box, OK and Apply, the panel label, the two test areas, the system beep
// and the Windows double-click time.
#pragma once

#include <string>

#include "slider_scale.h"

namespace velmic {

enum class Button { OkBtn, ApplyBtn };
enum class TestArea { ClickTestArea, DClickTestArea };

class MainView {
public:
    // Setting a position or the check mark from here is not reported back
    // as a user's change.
    virtual void SetSliderPosition(Slider slider, int position) = 0;
    virtual int SliderPosition(Slider slider) = 0;
    virtual void SetClickSound(bool checked) = 0;
    virtual bool ClickSoundChecked() = 0;
    virtual void SetEnabled(Button button, bool enabled) = 0;
    virtual void SetActivePanelId(const std::string& caption) = 0;
    // Loads the bitmap file by this name from the current folder into the
    // area; false (and the picture unchanged) when it cannot be loaded.
    virtual bool ShowPicture(TestArea area, const std::string& fileName) = 0;
    virtual void Beep() = 0;
    virtual void SetDoubleClickTime(unsigned milliseconds) = 0;

protected:
    ~MainView() = default;
};

}  // namespace velmic
