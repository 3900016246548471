#include "interlock_soak.h"

#include <algorithm>
#include <map>
#include <random>
#include <sstream>
#include <vector>

#include "inprocess_driver.h"
#include "memory_key_store.h"
#include "nystra_dlg.h"
#include "nystra_trace.h"
#include "tavlo.h"

namespace nystra_soak {
namespace {

const std::string kBase = "SOFTWARE\\ZR_EX_CONTROL\\";
constexpr std::size_t kTableSize = 4;  // panels the controller's table holds
constexpr int kMostPanels = 6;         // more than the table, so some stay outside it
constexpr int kIds = 16;               // identifiers with a record slot

std::string KeyOf(int id) { return kBase + (id < 0 ? std::string("ALL") : "ID" + std::to_string(id)); }

// The window as the controller drives it: the texts, icons and timer.
class SoakView final : public nystra::NystraView {
public:
    void SetText(int control, const std::string& text) override { texts[control] = text; }
    void ShowIndicator(bool shown) override { indicator = shown; }
    void AddTrayIcon(int icon) override { tray = icon; }
    void SetTrayIcon(int icon) override { tray = icon; }
    void DeleteTrayIcon() override {}
    void BroadcastUpdate() override {}
    void StartPollTimer(unsigned milliseconds) override { interval = milliseconds; }
    void StopPollTimer() override { interval = 0; }
    void ShowAndRestore() override {}
    void BringToForeground() override {}
    void MinimizeAndHide() override {}
    void SetTopmost(bool) override {}
    void ShowAbout() override {}
    bool Confirm(const std::string&) override { return false; }
    void EndDialog() override {}

    std::map<int, std::string> texts;
    bool indicator = false;
    int tray = 0;
    unsigned interval = 0;
};

// The controller's trace, kept until the next check.
class SoakTrace final : public nystra::TraceSink {
public:
    void Write(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

// Lines of the trace the rules predict: activations, take-overs, requests
// and releases. Start, end and the driver's comings and goings are left to
// the unit tests.
bool Predicted(const std::string& line) {
    for (const char* other : {"Nystra: started", "Nystra: ended", "Nystra: driver ", "Nystra: could not"}) {
        if (line.rfind(other, 0) == 0) return false;
    }
    return true;
}

struct Rows {
    std::string activeId, activeName, requestId, requestName;
    bool operator==(const Rows& o) const {
        return activeId == o.activeId && activeName == o.activeName && requestId == o.requestId &&
               requestName == o.requestName;
    }
    std::string Text() const { return activeId + "|" + activeName + "|" + requestId + "|" + requestName; }
};

// The interlock's rules as this soak understands them, written apart from
// the controller: which panel is active, what the window shows, when the
// time-out releases, and what a failed poll does. It sees the same inputs
// (the driver's panels and touch flags, the records it wrote) and predicts
// the driver's point data and the window after each poll.
class InterlockRules {
public:
    // Registry, as written by the schedule.
    std::map<int, std::int32_t> touchOp;  // absent or of another type: Interlock
    std::map<int, std::string> names;
    std::int32_t timeOut = 30, timeEnable = 0;

    // Driver: identifiers in panel order, their point data as expected.
    std::vector<int> panels;
    std::map<int, bool> enabled;

    // Controller.
    std::vector<int> table;   // identifiers of the controller's panel table
    bool tableStale = false;  // the panel set changed since the table was built
    bool active = false;
    int activeIndex = -1;  // table position of the panel with point data
    std::int32_t countdown = nystra::kInitialCountdown, reload = nystra::kInitialCountdown, requestTicks = 0;
    Rows rows;
    int tray = IDI_RELEASED;
    bool indicator = false;
    unsigned next = 0;
    // The trace lines these rules expect, in order, since the last check.
    std::vector<std::string> trace;
    std::string activeText;
    int requestId = -1, requestActiveId = -1;

    void Start() {
        Rebuild();
        Release();
        next = nystra::kReleasedPollMs;
    }

    // One poll; `touched` tells the driver's touch flag of an identifier.
    // Returns false when the poll took the failure path.
    template <typename Touched>
    bool Poll(bool deviceMissing, bool faultArmed, Touched touched, SoakFigures& figures) {
        if (deviceMissing || table.empty() || faultArmed) {
            // The failure path: a fresh table (empty when the device is
            // missing, or when an empty table was rebuilt through the fault)
            // and every panel of it disabled.
            if (deviceMissing || (table.empty() && faultArmed)) {
                table.clear();
                activeIndex = -1;
            } else {
                Rebuild();
            }
            Release(deviceMissing, ": driver lost");
            next = nystra::kFailedPollMs;
            return false;
        }
        if (tableStale) {
            Rebuild();
            if (table.empty()) {
                Release(false, ": driver lost");
                next = nystra::kFailedPollMs;
                return false;
            }
        }
        // The first touched panel other than the active one; the active
        // panel counts as touched only when it comes before that one.
        int other = -1;
        bool activeTouched = false;
        for (int i = 0; i < static_cast<int>(table.size()); ++i) {
            if (!touched(table[i])) continue;
            if (i == activeIndex) {
                activeTouched = true;
            } else {
                other = i;
                break;
            }
        }
        if (!active) {
            next = nystra::kReleasedPollMs;
            if (other >= 0 && ModeOf(table[other]) != TouchDisable) {
                Activate(other, "");
                ++figures.activations;
                next = nystra::kActivePollMs;
            }
            return true;
        }
        if (activeIndex < 0) {
            // The active panel was unplugged and the rebuilt table has no
            // enabled panel: released as on a time release.
            Release(false, ": it was unplugged");
            next = nystra::kReleasedPollMs;
            return true;
        }
        next = nystra::kActivePollMs;
        if (requestTicks > 0) {
            if (requestTicks == 1) {
                rows = RowsOf(activeIndex, -1);
                tray = IDI_ACTIVE;
                indicator = false;
            }
            --requestTicks;
        }
        if (activeTouched) {
            countdown = reload;
            return true;
        }
        if (timeEnable != 0 && --countdown <= 0) {
            Release(false, " by the time-out (" + std::to_string(reload) + " s without a touch)");
            ++figures.timeReleases;
            next = nystra::kReleasedPollMs;
            return true;
        }
        if (other < 0) return true;
        const std::int32_t mode = ModeOf(table[other]);
        if (mode == TouchSupervisor) {
            Activate(other, "");
            ++figures.activations;
        } else if (mode != TouchDisable) {
            // Told when the request starts, or another panel asks, or
            // another panel is active now.
            const int activeId = table[activeIndex];
            if (requestTicks == 0 || requestId != table[other] || requestActiveId != activeId) {
                requestId = table[other];
                requestActiveId = activeId;
                trace.push_back("Nystra: request from " + TextOf(other) + " while " + activeText + " is active");
            }
            rows = RowsOf(activeIndex, other);
            tray = IDI_REQUEST;
            indicator = true;
            requestTicks = nystra::kRequestPolls;
            ++figures.requests;
        }
        return true;
    }

    // The activate message for table position `index`.
    void Message(std::uintptr_t index, SoakFigures& figures) {
        if (index >= table.size()) return;
        Activate(static_cast<int>(index), " on ZRM450_NYSTRA_ACTIVE");
        ++figures.activations;
    }

    // "Release": a fresh table, every panel of it disabled.
    void ReleasePress(bool deviceMissing) {
        if (deviceMissing) {
            table.clear();
            activeIndex = -1;
        } else {
            Rebuild();
        }
        Release(deviceMissing, " by the user");
    }

private:
    std::int32_t ModeOf(int id) const {
        auto found = touchOp.find(id);
        return found == touchOp.end() ? TouchInterlock : found->second;
    }
    std::string NameOf(int id) const {
        auto found = names.find(id);
        return found == names.end() ? std::string() : found->second;
    }

    void Rebuild() {
        table.assign(panels.begin(), panels.begin() + static_cast<long>(std::min(kTableSize, panels.size())));
        tableStale = false;
        activeIndex = -1;
        for (std::size_t i = 0; i < table.size(); ++i) {
            if (enabled[table[i]]) {
                activeIndex = static_cast<int>(i);
                break;
            }
        }
    }

    Rows RowsOf(int first, int second) const {
        const int count = static_cast<int>(table.size());
        if (first < 0 || first >= count) return Rows{"", nystra::kReleasedText, "", ""};
        Rows shown{std::to_string(table[first]), NameOf(table[first]), "", ""};
        if (second >= 0 && second < count) {
            shown.requestId = std::to_string(table[second]);
            shown.requestName = NameOf(table[second]);
        }
        return shown;
    }

    std::string TextOf(int index) const { return nystra::TracePanel(index, table[index], NameOf(table[index])); }

    // Told as a take-over when another panel was active.
    void Activate(int index, const std::string& by) {
        const std::string text = TextOf(index);
        if (active && activeIndex >= 0 && table[activeIndex] != table[index]) {
            trace.push_back("Nystra: " + text + " took over from " + activeText + by);
        } else {
            trace.push_back("Nystra: activated " + text + by);
        }
        activeText = text;
        for (std::size_t i = 0; i < table.size(); ++i) enabled[table[i]] = static_cast<int>(i) == index;
        activeIndex = index;
        active = true;
        rows = RowsOf(index, -1);
        tray = IDI_ACTIVE;
        reload = countdown = timeOut;
    }

    // Every panel the driver reports is disabled, those outside the table
    // too; nothing reaches a driver that is missing. An activation it ends
    // is told with `cause`.
    void Release(bool deviceMissing = false, const std::string& cause = "") {
        if (active) trace.push_back("Nystra: released " + activeText + cause);
        if (!deviceMissing) {
            for (int id : panels) enabled[id] = false;
        }
        activeIndex = -1;
        active = false;
        rows = RowsOf(-1, -1);
        tray = IDI_RELEASED;
        indicator = false;
        requestTicks = 0;
    }
};

class Soak {
public:
    explicit Soak(std::uint32_t schedule) : random_(schedule) {}

    SoakFigures Run(long polls) {
        tavlosim::ResetInProcessDriver();
        store().Clear();
        // Records for most identifiers; the rest read as defaults.
        for (int id = 0; id < kIds; ++id) {
            if (Chance(4) == 0) continue;
            rules_.names[id] = "Panel " + std::to_string(id);
            store().PutText(KeyOf(id), "NAME", rules_.names[id]);
            SetMode(id, static_cast<std::int32_t>(Chance(3)));
        }
        SetSystem("TIMEOUT", 3, rules_.timeOut);
        SetSystem("TIMEENABLE", 1, rules_.timeEnable);
        // Panels present at start come up enabled (start-up mode 1 until
        // the controller takes over), at times more than the table holds.
        for (int i = static_cast<int>(Chance(kMostPanels + 1)); i > 0; --i) Attach(true);

        nystra::CNystraDlg dlg(view_, trace_);
        dlg.OnInitDialog();
        rules_.Start();
        if (!Check(dlg)) return figures_;

        // A fault armed while the device is missing waits for the first
        // request that reaches the driver.
        bool faultArmed = false;
        while (figures_.polls < polls) {
            Step(dlg, faultArmed);
            if (!Check(dlg)) return figures_;
            const auto touched = [this](int id) {
                const tavlosim::PanelState* panel = model().Panel(static_cast<std::uint8_t>(IndexOf(id)));
                return panel != nullptr && panel->touched != 0;
            };
            const bool missing = channel().deviceMissing;
            const std::uint32_t requests = model().RequestsSeen();
            dlg.OnPollTimer();
            ++figures_.polls;
            Note("poll");
            if (!rules_.Poll(missing, faultArmed, touched, figures_)) ++figures_.failedPolls;
            if (model().RequestsSeen() != requests) faultArmed = false;
            if (absentPolls_ > 0 && --absentPolls_ == 0) channel().deviceMissing = false;
            if (!Check(dlg)) return figures_;
        }
        return figures_;
    }

private:
    static tavlosim::DeviceModel& model() { return tavlosim::TheInProcessDriver().model; }
    static tavlosim::ModelChannel& channel() { return tavlosim::TheInProcessDriver().channel; }
    static brimol::MemoryKeyStore& store() { return brimol::TheMemoryKeyStore(); }

    std::uint32_t Chance(std::uint32_t count) { return static_cast<std::uint32_t>(random_() % count); }

    int IndexOf(int id) const {
        auto at = std::find(rules_.panels.begin(), rules_.panels.end(), id);
        return at == rules_.panels.end() ? -1 : static_cast<int>(at - rules_.panels.begin());
    }

    void SetMode(int id, std::int32_t mode) {
        store().PutDword(KeyOf(id), "TOUCH_OP", mode);
        rules_.touchOp[id] = mode;
    }
    void SetSystem(const char* name, std::int32_t value, std::int32_t& kept) {
        store().PutDword(KeyOf(-1), name, value);
        kept = value;
    }

    void Attach(bool startsEnabled) {
        if (static_cast<int>(rules_.panels.size()) >= kMostPanels) return;
        int id;
        do id = static_cast<int>(Chance(kIds));
        while (IndexOf(id) >= 0);
        model().AttachPanel(static_cast<std::uint8_t>(id));
        rules_.panels.push_back(id);
        rules_.enabled[id] = startsEnabled;
        rules_.tableStale = true;
        ++figures_.attaches;
        figures_.mostPanels = std::max(figures_.mostPanels, static_cast<int>(rules_.panels.size()));
    }

    // One event of the schedule before the next poll.
    void Step(nystra::CNystraDlg& dlg, bool& faultArmed) {
        const std::uint32_t roll = Chance(100);
        Note("event " + std::to_string(roll) + " panels " + std::to_string(rules_.panels.size()));
        const int count = static_cast<int>(rules_.panels.size());
        const int somePanel = count > 0 ? static_cast<int>(Chance(static_cast<std::uint32_t>(count))) : -1;
        const int someId = static_cast<int>(Chance(kIds));
        if (roll < 3) {
            Attach(false);  // start-up mode 0: new panels come up disabled
        } else if (roll < 6 && somePanel >= 0) {
            model().RemovePanel(static_cast<std::uint8_t>(somePanel));
            rules_.enabled.erase(rules_.panels[somePanel]);
            rules_.panels.erase(rules_.panels.begin() + somePanel);
            rules_.tableStale = true;
            ++figures_.removals;
        } else if (roll < 22 && somePanel >= 0) {
            model().SetTouched(static_cast<std::uint8_t>(somePanel), true);
            ++figures_.touches;
        } else if (roll < 40 && somePanel >= 0) {
            model().SetTouched(static_cast<std::uint8_t>(somePanel), false);
        } else if (roll < 44) {
            SetMode(someId, static_cast<std::int32_t>(Chance(4)));  // 3: unknown, acts as Interlock
            ++figures_.recordEdits;
        } else if (roll < 45) {
            // A mode of the wrong type reads as Interlock.
            store().PutText(KeyOf(someId), "TOUCH_OP", "2");
            rules_.touchOp.erase(someId);
            ++figures_.recordEdits;
        } else if (roll < 47) {
            SetSystem("TIMEOUT", static_cast<std::int32_t>(Chance(8)) - 1, rules_.timeOut);
            ++figures_.recordEdits;
        } else if (roll < 49) {
            SetSystem("TIMEENABLE", static_cast<std::int32_t>(Chance(4) != 0), rules_.timeEnable);
            ++figures_.recordEdits;
        } else if (roll < 52 && faultArmed) {
            // One fault at a time, so that the rules know which request it
            // meets (with an empty table, the release's own requests).
        } else if (roll < 51) {
            const std::uint32_t errors[] = {31, 1, 2, 87, 1167};
            model().FailNext(errors[Chance(5)]);
            faultArmed = true;
            ++figures_.driverFaults;
        } else if (roll < 52) {
            // A status reply cut short, once.
            const std::uint8_t reply[] = {0x12, 0x34};
            model().OverrideReply(IOCTL_TAVLO_GET_STATUS, reply, Chance(3), false);
            faultArmed = true;
            ++figures_.driverFaults;
        } else if (roll < 53 && absentPolls_ == 0) {
            channel().deviceMissing = true;
            absentPolls_ = 1 + static_cast<int>(Chance(5));
            ++figures_.deviceAbsences;
        } else if (faultArmed) {
            // A fault still waiting for the driver belongs to the next poll.
        } else if (roll < 55 && !rules_.tableStale && absentPolls_ == 0) {
            // Activate messages reach a controller whose table matches the
            // driver; a message that meets a stale table is pinned by
            // NystraTest.ActivateMessageAfterAPanelChange instead.
            const std::uintptr_t panels[] = {0, 1, 2, 3, 4, 5, static_cast<std::uintptr_t>(-1)};
            const std::uintptr_t panel = panels[Chance(7)];
            dlg.OnActivateRequest(panel);
            rules_.Message(panel, figures_);
            ++figures_.messages;
        } else if (roll < 56) {
            dlg.OnRelease();
            rules_.ReleasePress(channel().deviceMissing);
            ++figures_.releasePresses;
        }
    }

    bool Check(nystra::CNystraDlg& dlg) {
        std::ostringstream problem;
        int enabledCount = 0;
        for (std::uint8_t i = 0; i < model().PanelCount(); ++i) {
            const tavlosim::PanelState* panel = model().Panel(i);
            enabledCount += panel->pointdata != 0 ? 1 : 0;
            if ((panel->pointdata != 0) != rules_.enabled[panel->id]) {
                problem << "panel " << int(panel->id) << " point data " << int(panel->pointdata) << "; ";
            }
        }
        if (enabledCount > 1) problem << enabledCount << " panels enabled; ";
        const Rows shown{view_.texts[IDC_ACTIVE_ID], view_.texts[IDC_ACTIVE_NAME], view_.texts[IDC_REQUEST_ID],
                         view_.texts[IDC_REQUEST_NAME]};
        if (!(shown == rules_.rows)) problem << "rows " << shown.Text() << " expected " << rules_.rows.Text() << "; ";
        const auto state = rules_.active ? nystra::InterlockState::kActive : nystra::InterlockState::kReleased;
        if (dlg.state != state) {
            problem << "state " << static_cast<int>(dlg.state) << " expected " << static_cast<int>(state) << "; ";
        }
        if (dlg.usb.activeDevice != rules_.activeIndex) {
            problem << "active panel " << dlg.usb.activeDevice << " expected " << rules_.activeIndex << "; ";
        }
        if (dlg.TrayIcon() != rules_.tray || view_.tray != rules_.tray) problem << "tray icon " << view_.tray << "; ";
        if (view_.indicator != rules_.indicator) problem << "indicator " << view_.indicator << "; ";
        if (view_.interval != rules_.next) problem << "poll interval " << view_.interval << "; ";
        if (rules_.active && (dlg.countdown != rules_.countdown || dlg.requestTicks != rules_.requestTicks)) {
            problem << "countdown " << dlg.countdown << "/" << rules_.countdown << " request polls " << dlg.requestTicks
                    << "/" << rules_.requestTicks << "; ";
        }
        // The trace told every activation and release in order.
        std::vector<std::string> told;
        for (const std::string& line : trace_.lines) {
            if (Predicted(line)) told.push_back(line);
        }
        if (told != rules_.trace) {
            problem << "trace";
            for (const std::string& line : told) problem << " [" << line << "]";
            problem << " expected";
            for (const std::string& line : rules_.trace) problem << " [" << line << "]";
            problem << "; ";
        }
        figures_.traced += static_cast<long>(told.size());
        trace_.lines.clear();
        rules_.trace.clear();
        // Nothing grows: every key and device handle is closed again.
        if (store().OpenKeys() != 0) problem << store().OpenKeys() << " keys open; ";
        if (channel().OpenHandles() != 0) problem << channel().OpenHandles() << " handles open; ";
        if (problem.str().empty()) return true;
        problem << "table";
        for (int id : rules_.table) problem << " " << id;
        problem << " (controller";
        for (int i = 0; i < dlg.usb.deviceCount; ++i) problem << " " << dlg.usb.panelIds[i];
        problem << "), driver";
        for (int id : rules_.panels) problem << " " << id;
        problem << "; ";
        figures_.failure = "after poll " + std::to_string(figures_.polls) + ": " + problem.str() + "recent:";
        for (const std::string& event : recent_) figures_.failure += " " + event + ";";
        return false;
    }

    // The last few events, told with a difference.
    void Note(const std::string& event) {
        if (recent_.size() == 8) recent_.erase(recent_.begin());
        recent_.push_back(event);
    }

    std::mt19937 random_;
    InterlockRules rules_;
    SoakView view_;
    SoakTrace trace_;
    SoakFigures figures_;
    int absentPolls_ = 0;
    std::vector<std::string> recent_;
};

}  // namespace

SoakFigures RunInterlockSoak(std::uint32_t schedule, long polls) { return Soak(schedule).Run(polls); }

}  // namespace nystra_soak
