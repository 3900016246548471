// The icon shown in a picture control, owned here. A file that cannot be
// loaded leaves the shown icon in place; an icon that is replaced is
// destroyed as soon as the control shows its successor, so hours of
// changes leave one icon alive.
#pragma once

#include <string>

namespace palvine {

class IconSource {
public:
    // The icon in `file`, or null when it cannot be loaded.
    virtual void* LoadIconFile(const std::string& file) = 0;
    virtual void DestroyIconHandle(void* icon) = 0;
    // The control shows `icon` from now on.
    virtual void ShowIcon(void* icon) = 0;

protected:
    ~IconSource() = default;
};

class PictureSlot {
public:
    explicit PictureSlot(IconSource& source) : source_(source) {}
    // The control must no longer show the icon when the slot goes.
    ~PictureSlot() {
        if (current_ != nullptr) source_.DestroyIconHandle(current_);
    }
    PictureSlot(const PictureSlot&) = delete;
    PictureSlot& operator=(const PictureSlot&) = delete;

    // False, with the shown icon kept, when the file cannot be loaded.
    bool Show(const std::string& file) {
        void* icon = source_.LoadIconFile(file);
        if (icon == nullptr) return false;
        source_.ShowIcon(icon);
        if (current_ != nullptr) source_.DestroyIconHandle(current_);
        current_ = icon;
        return true;
    }

    void* Current() const { return current_; }

private:
    IconSource& source_;
    void* current_ = nullptr;
};

}  // namespace palvine
