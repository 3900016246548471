// A long run of the interlock controller against the in-process driver and
// the in-memory registry, driven by a pseudo-random schedule of panel
// attaches and removals, touches, record edits, driver failures, activate
// messages and Release presses, one poll after each step. After every poll
// the driver, the window and the controller are compared with a model of
// the interlock's rules kept by the soak itself.
#pragma once

#include <cstdint>
#include <string>

namespace nystra_soak {

struct SoakFigures {
    long polls = 0;
    long activations = 0;   // polls or messages that made a panel active
    long timeReleases = 0;  // releases by the time-out
    long requests = 0;      // refused touches shown as a request
    long failedPolls = 0;   // polls that took the failure path
    long attaches = 0, removals = 0, touches = 0, recordEdits = 0;
    long driverFaults = 0, deviceAbsences = 0, messages = 0, releasePresses = 0;
    int mostPanels = 0;
    long traced = 0;  // trace lines of activations, requests and releases checked
    // Empty while every check held; otherwise what differed, at which poll.
    std::string failure;
};

// Runs `polls` polls with the schedule that `schedule` picks; stops at the first
// difference. Resets the in-process driver and the in-memory registry.
SoakFigures RunInterlockSoak(std::uint32_t schedule, long polls);

}  // namespace nystra_soak
