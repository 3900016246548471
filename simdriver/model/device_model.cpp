#include "device_model.h"

#include "byte_order.h"
#include "identity_calibration.h"

namespace tavlosim {
namespace {

// Request codes of the table: CTL_CODE(0x22, function, METHOD_BUFFERED, access).
// The model spells out its own codes and request shapes rather than taking
// them from tavlo.h or the library's export table, on purpose: it stands for
// the driver, so a wrong code or size on the library's side shows up as a
// failed request in the tests instead of being copied into both sides.
constexpr uint32_t Ctl(uint32_t function, uint32_t access) { return (0x22u << 16) | (access << 14) | (function << 2); }
constexpr uint32_t kRead = 1, kWrite = 2, kReadWrite = 3;

enum Request : uint32_t {
    kGetVersion = Ctl(0x800, kRead),
    kGetStatus = Ctl(0x801, kRead),
    kGetFirmVer = Ctl(0x810, kReadWrite),
    kGetPanelId = Ctl(0x811, kReadWrite),
    kGetCalibration = Ctl(0x820, kReadWrite),
    kSetCalibration = Ctl(0x821, kWrite),
    kGetCalibrationAlt = Ctl(0x822, kReadWrite),
    kSetCalibrationAlt = Ctl(0x823, kWrite),
    kGetPointdata = Ctl(0x830, kReadWrite),
    kSetPointdata = Ctl(0x831, kWrite),
    kCheckTouch = Ctl(0x838, kReadWrite),
    kGetLed = Ctl(0x840, kReadWrite),
    kSetLed = Ctl(0x841, kWrite),
    kGetClick = Ctl(0x850, kReadWrite),
    kSetClick = Ctl(0x851, kWrite),
    kGetClickAlt = Ctl(0x852, kReadWrite),
    kSetClickAlt = Ctl(0x853, kWrite),
    kGetSound = Ctl(0x860, kReadWrite),
    kSetSound = Ctl(0x861, kWrite),
    kGetSoundAlt = Ctl(0x862, kReadWrite),
    kSetSoundAlt = Ctl(0x863, kWrite),
    kGetStartup = Ctl(0x870, kReadWrite),
    kSetStartup = Ctl(0x871, kWrite),
    kGetClickMode = Ctl(0x878, kReadWrite),
    kSetClickMode = Ctl(0x879, kWrite),
    kGetOnceMode = Ctl(0x87A, kReadWrite),
    kSetOnceMode = Ctl(0x87B, kWrite),
    kReadEeprom = Ctl(0x880, kReadWrite),
    kWriteEeprom = Ctl(0x881, kWrite),
};

struct RequestShape {
    uint32_t code;
    uint32_t inSize;
    uint32_t outSize;
    bool addressesPanel;  // first input byte is a panel number
};

constexpr RequestShape kShapes[] = {
    {kGetVersion, 0, 2, false},
    {kGetStatus, 0, 3, false},
    {kGetFirmVer, 1, 2, true},
    {kGetPanelId, 1, 1, true},
    {kGetCalibration, 1, 8, true},
    {kSetCalibration, 9, 0, true},
    {kGetCalibrationAlt, 1, 8, true},
    {kSetCalibrationAlt, 9, 0, true},
    {kGetPointdata, 1, 1, true},
    {kSetPointdata, 2, 0, true},
    {kCheckTouch, 1, 1, true},
    {kGetLed, 1, 1, true},
    {kSetLed, 2, 0, true},
    {kGetClick, 1, 7, true},
    {kSetClick, 8, 0, true},
    {kGetClickAlt, 1, 7, true},
    {kSetClickAlt, 8, 0, true},
    {kGetSound, 1, 1, true},
    {kSetSound, 2, 0, true},
    {kGetSoundAlt, 1, 1, true},
    {kSetSoundAlt, 2, 0, true},
    {kGetStartup, 0, 1, false},
    {kSetStartup, 1, 0, false},
    {kGetClickMode, 0, 1, false},
    {kSetClickMode, 1, 0, false},
    {kGetOnceMode, 0, 2, false},
    {kSetOnceMode, 2, 0, false},
    {kReadEeprom, 2, 2, true},
    {kWriteEeprom, 4, 0, true},
};

const RequestShape* FindShape(uint32_t code) {
    for (const RequestShape& shape : kShapes) {
        if (shape.code == code) return &shape;
    }
    return nullptr;
}

using tavlo::GetLe16;
using tavlo::PutLe16;

void Copy(uint8_t* to, const uint8_t* from, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) to[i] = from[i];
}

// Double-click area 28 (byte 12), 400 ms (byte 40), chatter 30/30 (3/3).
// Bytes 2 and 4 carry driver values the library must write back unchanged.
constexpr uint8_t kDefaultClickBlock[kClickBlockSize] = {12, 15, 0x21, 40, 0x06, 3, 3};

}  // namespace

void DefaultPanel(PanelState* panel, uint8_t id, uint16_t firmware) {
    panel->id = id;
    panel->firmware = firmware;
    for (int set = 0; set < 2; ++set) {
        for (int i = 0; i < 4; ++i) panel->calibration[set][i] = tavlo::kIdentityCalibration[i];
        Copy(panel->click[set], kDefaultClickBlock, kClickBlockSize);
        panel->sound[set] = 1;
    }
    panel->led = 0;
    for (int i = 0; i < kEepromWords; ++i) panel->eeprom[i] = 0xFFFF;
    panel->pointdata = 1;
    panel->touched = 0;
}

DeviceModel::DeviceModel() : stamp_(0x0100), sequence_(0) { Reset(); }

void DeviceModel::Reset() {
    panelCount_ = 0;
    modes_ = DriverModes{1, 1, 0, 2};
    ClearFaults();
    ClearLog();
    ChangeStamp();
}

void DeviceModel::ChangeStamp() {
    // 0xFFFF is what a failed TavloNeedUpdate leaves in a caller's stamp;
    // skipping it keeps such a caller from passing the stamp test by chance.
    stamp_ = static_cast<uint16_t>(stamp_ + 1);
    if (stamp_ == 0xFFFF) stamp_ = 0;
}

int DeviceModel::AttachPanel(uint8_t id, uint16_t firmware) {
    if (panelCount_ >= kMaxPanels) return -1;
    DefaultPanel(&panels_[panelCount_], id, firmware);
    // Start-up mode 0 (exclusive control running) brings new panels up
    // with their point data disabled; the controller enables one itself.
    panels_[panelCount_].pointdata = modes_.startup != 0 ? 1 : 0;
    ChangeStamp();
    return panelCount_++;
}

bool DeviceModel::RemovePanel(uint8_t index) {
    if (index >= panelCount_) return false;
    for (uint8_t i = index; i + 1 < panelCount_; ++i) panels_[i] = panels_[i + 1];
    --panelCount_;
    ChangeStamp();
    return true;
}

bool DeviceModel::SetTouched(uint8_t index, bool touched) {
    if (index >= panelCount_) return false;
    panels_[index].touched = touched ? 1 : 0;
    return true;
}

const PanelState* DeviceModel::Panel(uint8_t index) const { return index < panelCount_ ? &panels_[index] : nullptr; }
PanelState* DeviceModel::MutablePanel(uint8_t index) { return index < panelCount_ ? &panels_[index] : nullptr; }

void DeviceModel::FailNext(uint32_t error) { failNext_ = error; }

bool DeviceModel::FailCode(uint32_t code, uint32_t error) {
    for (CodeFault& fault : codeFaults_) {
        if (fault.code == code && fault.error != 0) {
            fault.error = error;
            return true;
        }
    }
    if (error == 0) return true;
    for (CodeFault& fault : codeFaults_) {
        if (fault.error == 0) {
            fault = CodeFault{code, error};
            return true;
        }
    }
    return false;
}

bool DeviceModel::OverrideReply(uint32_t code, const uint8_t* bytes, uint32_t length, bool persistent) {
    if (length > kMaxReplyBytes) return false;
    // One override per code: a new one replaces the old, wherever it sits.
    ReplyOverride* slot = nullptr;
    for (ReplyOverride& entry : overrides_) {
        if (entry.active && entry.code == code) {
            slot = &entry;
            break;
        }
        if (!entry.active && slot == nullptr) slot = &entry;
    }
    if (slot == nullptr) return false;
    slot->code = code;
    slot->length = length;
    Copy(slot->bytes, bytes, length);
    slot->persistent = persistent;
    slot->active = true;
    return true;
}

void DeviceModel::ClearFaults() {
    failNext_ = 0;
    for (CodeFault& fault : codeFaults_) fault = CodeFault{0, 0};
    for (ReplyOverride& entry : overrides_) entry.active = false;
}

uint32_t DeviceModel::LogSize() const { return logSize_; }
const LogEntry& DeviceModel::LogAt(uint32_t index) const { return log_[(logStart_ + index) % kLogCapacity]; }
void DeviceModel::ClearLog() {
    logStart_ = 0;
    logSize_ = 0;
}

void DeviceModel::Log(uint32_t code, const uint8_t* in, uint32_t inSize, uint32_t outSize, uint32_t error) {
    LogEntry* entry;
    if (logSize_ < kLogCapacity) {
        entry = &log_[(logStart_ + logSize_) % kLogCapacity];
        ++logSize_;
    } else {
        entry = &log_[logStart_];
        logStart_ = (logStart_ + 1) % kLogCapacity;
    }
    entry->sequence = sequence_;
    entry->code = code;
    entry->inSize = inSize;
    for (uint32_t i = 0; i < kLoggedInputBytes; ++i) entry->in[i] = (in != nullptr && i < inSize) ? in[i] : 0;
    entry->outSize = outSize;
    entry->error = error;
}

uint32_t DeviceModel::InjectedError(uint32_t code) {
    if (failNext_ != 0) {
        const uint32_t error = failNext_;
        failNext_ = 0;
        return error;
    }
    for (const CodeFault& fault : codeFaults_) {
        if (fault.error != 0 && fault.code == code) return fault.error;
    }
    return 0;
}

bool DeviceModel::TakeOverride(uint32_t code, uint8_t* out, uint32_t outSize, uint32_t* returned) {
    for (ReplyOverride& entry : overrides_) {
        if (!entry.active || entry.code != code) continue;
        const uint32_t length = entry.length < outSize ? entry.length : outSize;
        if (out != nullptr) Copy(out, entry.bytes, length);
        *returned = entry.length;
        if (!entry.persistent) entry.active = false;
        return true;
    }
    return false;
}

uint32_t DeviceModel::Handle(uint32_t code, const uint8_t* in, uint32_t inSize, uint8_t* out, uint32_t outSize,
                             uint32_t* returned) {
    *returned = 0;
    ++sequence_;
    uint32_t error = InjectedError(code);
    if (error == 0) {
        // A reply size without a reply buffer is refused by Answer; an
        // override must not claim reply bytes that had nowhere to go, so it
        // waits for the next request that has a buffer.
        const bool hasReplyBuffer = out != nullptr || outSize == 0;
        if (!hasReplyBuffer || !TakeOverride(code, out, outSize, returned)) {
            error = Answer(code, in, inSize, out, outSize, returned);
        }
    }
    Log(code, in, inSize, outSize, error);
    return error;
}

uint32_t DeviceModel::Answer(uint32_t code, const uint8_t* in, uint32_t inSize, uint8_t* out, uint32_t outSize,
                             uint32_t* returned) {
    const RequestShape* shape = FindShape(code);
    if (shape == nullptr) return kErrorInvalidFunction;
    if (inSize != shape->inSize || outSize != shape->outSize) return kErrorInvalidParameter;
    if ((shape->inSize > 0 && in == nullptr) || (shape->outSize > 0 && out == nullptr)) return kErrorInvalidParameter;

    PanelState* panel = nullptr;
    if (shape->addressesPanel) {
        if (in[0] >= panelCount_) return kErrorFileNotFound;
        panel = &panels_[in[0]];
    }
    // Flags travel as exactly 0 or 1; anything else is a malformed request.
    auto flagOk = [](uint8_t value) { return value <= 1; };

    switch (code) {
    case kGetVersion:
        PutLe16(out, kDriverVersion);
        break;
    case kGetStatus:
        PutLe16(out, stamp_);
        out[2] = panelCount_;
        break;
    case kGetFirmVer:
        PutLe16(out, panel->firmware);
        break;
    case kGetPanelId:
        out[0] = panel->id;
        break;
    case kGetCalibration:
    case kGetCalibrationAlt: {
        const int set = code == kGetCalibration ? kWorkingSet : kSavedSet;
        for (int i = 0; i < 4; ++i) PutLe16(out + 2 * i, static_cast<uint16_t>(panel->calibration[set][i]));
        break;
    }
    case kSetCalibration:
    case kSetCalibrationAlt: {
        const int set = code == kSetCalibration ? kWorkingSet : kSavedSet;
        for (int i = 0; i < 4; ++i) panel->calibration[set][i] = static_cast<int16_t>(GetLe16(in + 1 + 2 * i));
        break;
    }
    case kGetPointdata:
        out[0] = panel->pointdata;
        break;
    case kSetPointdata:
        if (!flagOk(in[1])) return kErrorInvalidParameter;
        panel->pointdata = in[1];
        break;
    case kCheckTouch:
        out[0] = panel->touched ? 0xFF : 0x00;
        break;
    case kGetLed:
        out[0] = panel->led;
        break;
    case kSetLed:
        panel->led = in[1];
        break;
    case kGetClick:
    case kGetClickAlt:
        Copy(out, panel->click[code == kGetClick ? kWorkingSet : kSavedSet], kClickBlockSize);
        break;
    case kSetClick:
    case kSetClickAlt:
        Copy(panel->click[code == kSetClick ? kWorkingSet : kSavedSet], in + 1, kClickBlockSize);
        break;
    case kGetSound:
    case kGetSoundAlt:
        out[0] = panel->sound[code == kGetSound ? kWorkingSet : kSavedSet];
        break;
    case kSetSound:
    case kSetSoundAlt:
        if (!flagOk(in[1])) return kErrorInvalidParameter;
        panel->sound[code == kSetSound ? kWorkingSet : kSavedSet] = in[1];
        break;
    case kGetStartup:
        out[0] = modes_.startup;
        break;
    case kSetStartup:
        if (!flagOk(in[0])) return kErrorInvalidParameter;
        modes_.startup = in[0];
        break;
    case kGetClickMode:
        out[0] = modes_.clickButton;
        break;
    case kSetClickMode:
        modes_.clickButton = in[0];
        break;
    case kGetOnceMode:
        out[0] = modes_.onceFlag;
        out[1] = modes_.onceButton;
        break;
    case kSetOnceMode:
        if (!flagOk(in[0])) return kErrorInvalidParameter;
        modes_.onceFlag = in[0];
        modes_.onceButton = in[1];
        break;
    case kReadEeprom:
        PutLe16(out, panel->eeprom[in[1]]);
        break;
    case kWriteEeprom:
        panel->eeprom[in[1]] = GetLe16(in + 2);
        break;
    default:
        return kErrorInvalidFunction;
    }
    *returned = shape->outSize;
    return kErrorNone;
}

}  // namespace tavlosim
