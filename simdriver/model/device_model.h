// The simulated touch-panel driver: a model of the driver's state that
// answers every control request of the Tavlo request table with its exact
// buffer sizes. Freestanding on purpose (no heap, no exceptions, no RTTI,
// no OS calls, fixed-size state) so that the kernel-mode driver hosts the
// very same code that native tests use in-process.
//
// Besides the request table it has a control side for tests: attach and
// remove panels, set touch flags, inject failures and odd replies, and a
// log of the requests received.
#pragma once

#include <stdint.h>

namespace tavlosim {

constexpr int kMaxPanels = 8;
constexpr int kEepromWords = 256;
constexpr int kClickBlockSize = 7;
constexpr int kLogCapacity = 128;
constexpr int kLoggedInputBytes = 12;
constexpr int kMaxReplyBytes = 16;  // longer than the longest reply (8)
constexpr int kMaxCodeFaults = 4;
constexpr int kMaxReplyOverrides = 4;

// Win32 errors the driver reports; the Tavlo library maps exactly these.
constexpr uint32_t kErrorNone = 0;
constexpr uint32_t kErrorInvalidFunction = 1;
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorInvalidParameter = 87;

constexpr uint16_t kDriverVersion = 0x0210;
constexpr uint16_t kDefaultFirmware = 0x0105;

enum SetIndex { kWorkingSet = 0, kSavedSet = 1 };

struct PanelState {
    uint8_t id;
    uint16_t firmware;
    int16_t calibration[2][4];  // [set][xGain, xOffset, yGain, yOffset]
    uint8_t click[2][kClickBlockSize];
    uint8_t sound[2];
    uint8_t led;
    uint16_t eeprom[kEepromWords];
    uint8_t pointdata;
    uint8_t touched;
};

struct DriverModes {
    uint8_t startup;
    uint8_t clickButton;
    uint8_t onceFlag;
    uint8_t onceButton;
};

struct LogEntry {
    uint32_t sequence;  // counts every request since the model was created
    uint32_t code;
    uint32_t inSize;
    uint8_t in[kLoggedInputBytes];  // first bytes of the input
    uint32_t outSize;
    uint32_t error;  // Win32 error the request was failed with, 0 on success
};

class DeviceModel {
public:
    DeviceModel();

    // Back to a driver with no panels, default modes, no faults and an empty
    // log. The stamp moves on, so no caller's stamp stays valid.
    void Reset();

    // Answers one request of the table. Returns 0 on success with the reply
    // length in *returned (above outSize only for a long override), or the
    // Win32 error the driver fails it with.
    uint32_t Handle(uint32_t code, const uint8_t* in, uint32_t inSize, uint8_t* out, uint32_t outSize,
                    uint32_t* returned);

    // Control side ----------------------------------------------------------
    // Attaches a panel with default settings at the end of the list.
    // Returns its panel number, or -1 when kMaxPanels are attached.
    int AttachPanel(uint8_t id, uint16_t firmware = kDefaultFirmware);
    // Removes a panel; the panels after it move down one number.
    bool RemovePanel(uint8_t index);
    bool SetTouched(uint8_t index, bool touched);

    // The next request of the table fails with `error`.
    void FailNext(uint32_t error);
    // Every request with `code` fails with `error` until cleared (error 0).
    bool FailCode(uint32_t code, uint32_t error);
    // The next (or, persistent, every) request with `code` succeeds with
    // exactly these reply bytes; a length below the request's output size
    // makes a short reply, one above it a long reply: the bytes that fit
    // are delivered and the whole length is reported as returned, as a
    // driver that overstates its reply would. State is not changed by such
    // a request.
    bool OverrideReply(uint32_t code, const uint8_t* bytes, uint32_t length, bool persistent);
    void ClearFaults();

    // Inspection ------------------------------------------------------------
    uint8_t PanelCount() const { return panelCount_; }
    uint16_t Stamp() const { return stamp_; }
    const PanelState* Panel(uint8_t index) const;
    PanelState* MutablePanel(uint8_t index);
    const DriverModes& Modes() const { return modes_; }
    DriverModes& MutableModes() { return modes_; }

    // Log of the last kLogCapacity requests, oldest first.
    uint32_t LogSize() const;
    const LogEntry& LogAt(uint32_t index) const;
    uint32_t RequestsSeen() const { return sequence_; }
    void ClearLog();

private:
    struct CodeFault {
        uint32_t code;
        uint32_t error;
    };
    struct ReplyOverride {
        uint32_t code;
        uint32_t length;
        uint8_t bytes[kMaxReplyBytes];
        bool persistent;
        bool active;
    };

    void Log(uint32_t code, const uint8_t* in, uint32_t inSize, uint32_t outSize, uint32_t error);
    uint32_t Answer(uint32_t code, const uint8_t* in, uint32_t inSize, uint8_t* out, uint32_t outSize,
                    uint32_t* returned);
    uint32_t InjectedError(uint32_t code);
    bool TakeOverride(uint32_t code, uint8_t* out, uint32_t outSize, uint32_t* returned);
    void ChangeStamp();

    PanelState panels_[kMaxPanels];
    uint8_t panelCount_;
    uint16_t stamp_;
    DriverModes modes_;

    uint32_t failNext_;
    CodeFault codeFaults_[kMaxCodeFaults];
    ReplyOverride overrides_[kMaxReplyOverrides];

    LogEntry log_[kLogCapacity];
    uint32_t logStart_;
    uint32_t logSize_;
    uint32_t sequence_;
};

// Defaults of a newly attached panel, exposed for tests.
void DefaultPanel(PanelState* panel, uint8_t id, uint16_t firmware);

}  // namespace tavlosim
