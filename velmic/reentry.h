// One flag for the whole user interface: a timer tick or a window event
// that arrives while another one is still being handled (inside a message
// box's loop, or while the settings dialog closes) is skipped, so no
// handler ever runs inside another.
#pragma once

namespace velmic {

class Reentry {
public:
    bool Busy() const { return busy_; }

private:
    friend class Entry;
    bool busy_ = false;
};

// Holds the flag for one handler; false when another handler holds it.
class Entry {
public:
    explicit Entry(Reentry& reentry) : reentry_(reentry), entered_(!reentry.busy_) { reentry_.busy_ = true; }
    ~Entry() {
        if (entered_) reentry_.busy_ = false;
    }
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;
    explicit operator bool() const { return entered_; }

private:
    Reentry& reentry_;
    bool entered_;
};

}  // namespace velmic
