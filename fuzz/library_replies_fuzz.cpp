// The library's 24 commands against a channel whose driver answers oddly:
// each request either reaches the simulated driver through the in-process
// channel, fails with any error, or succeeds with a reply of any length
// (short, exact, longer than the buffer) and any bytes. Every command must
// return a defined status, close every handle it opened, never write past
// a buffer, and store nothing when it reports a failure.
#include <cstdint>
#include <cstring>
#include <memory>

#include "device_model.h"
#include "fuzz_input.h"
#include "model_channel.h"
#include "tavlo_commands.h"

namespace {

using fuzz::FuzzInput;

class OddReplyChannel final : public tavlo::DeviceChannel {
public:
    OddReplyChannel(tavlosim::ModelChannel& inner, FuzzInput& input) : inner_(inner), input_(input) {}

    tavlo::DeviceHandle Open() override {
        if (input_.Byte() % 16 == 15) return tavlo::kInvalidDeviceHandle;
        ++open_;
        return inner_.Open();
    }

    bool Control(tavlo::DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t* bytesReturned) override {
        FUZZ_CHECK(open_ > 0 && handle != tavlo::kInvalidDeviceHandle);
        FUZZ_CHECK(inSize == 0 || in != nullptr);
        FUZZ_CHECK(outSize == 0 || out != nullptr);
        const std::uint8_t mode = input_.Byte();
        if (mode < 0x80) {
            const bool ok = inner_.Control(handle, code, in, inSize, out, outSize, bytesReturned);
            lastError_ = inner_.LastError();
            return ok;
        }
        if (mode < 0xA0) {
            const std::uint32_t errors[] = {1, 2, 87, 31, 6, 0};
            lastError_ = (mode & 7) < 6 ? errors[mode & 7] : input_.Le32();
            return false;
        }
        // A reply the driver claims is `reported` bytes long; like the I/O
        // manager, at most the buffer's size of it reaches the caller.
        const std::uint8_t length = input_.Byte();
        const std::uint32_t reported = length < 0xF0 ? length % (outSize + 4) : input_.Le32();
        const std::uint32_t copied = reported < outSize ? reported : outSize;
        for (std::uint32_t i = 0; i < copied; ++i) static_cast<std::uint8_t*>(out)[i] = input_.Byte();
        *bytesReturned = reported;
        return true;
    }

    std::uint32_t LastError() override { return lastError_; }

    bool Close(tavlo::DeviceHandle handle) override {
        FUZZ_CHECK(open_ > 0);
        --open_;
        inner_.Close(handle);
        return input_.Byte() % 16 != 15;
    }

    int OpenHandles() const { return open_; }

private:
    tavlosim::ModelChannel& inner_;
    FuzzInput& input_;
    std::uint32_t lastError_ = 0;
    int open_ = 0;
};

// A status that stored a reply: success, or success with a failed close.
bool Delivered(TavloStatus status) { return status == TavloOk || status == TavloCloseFailed; }

constexpr std::uint8_t kUntouched8 = 0xA7;
constexpr std::uint16_t kUntouched16 = 0xA7A7;
constexpr std::int16_t kUntouchedSigned = static_cast<std::int16_t>(-22617);  // 0xA7A7

// Heap arrays of exactly the size the export's contract names, so a write
// past them is caught by AddressSanitizer.
template <typename T>
std::unique_ptr<T[]> Filled(std::size_t count, T value) {
    std::unique_ptr<T[]> array(new T[count]);
    for (std::size_t i = 0; i < count; ++i) array[i] = value;
    return array;
}

TavloStatus OneCommand(tavlo::DeviceChannel& ch, tavlosim::DeviceModel& model, FuzzInput& input) {
    const std::uint8_t which = input.Byte() % 24;
    std::uint16_t stamp = input.Bit() ? model.Stamp() : input.Le16();
    std::uint8_t panelByte = input.Byte();
    const std::uint32_t panel = panelByte < 0xF0 ? panelByte % 6 : input.Le32();
    const std::uint32_t alt = input.Bit() ? input.Le32() : 0;

    auto u8 = Filled<std::uint8_t>(1, kUntouched8);
    auto u8b = Filled<std::uint8_t>(1, kUntouched8);
    auto u16 = Filled<std::uint16_t>(1, kUntouched16);
    auto s16 = Filled<std::int16_t>(4, kUntouchedSigned);
    TavloStatus status = TavloOk;
    switch (which) {
    case 0:
        status = tavlo::GetVersion(ch, u16.get());
        if (!Delivered(status)) FUZZ_CHECK(u16[0] == kUntouched16);
        break;
    case 1:
        status = tavlo::NeedUpdate(ch, u16.get());
        if (!Delivered(status)) FUZZ_CHECK(u16[0] == 0xFFFF);
        break;
    case 2:
        status = tavlo::GetDevices(ch, u8.get());
        if (!Delivered(status)) FUZZ_CHECK(u8[0] == 0);
        break;
    case 3:
        status = tavlo::GetFirmVer(ch, &stamp, panel, u16.get());
        if (!Delivered(status)) FUZZ_CHECK(u16[0] == kUntouched16);
        break;
    case 4:
        status = tavlo::GetPanelId(ch, &stamp, panel, u8.get());
        if (!Delivered(status)) FUZZ_CHECK(u8[0] == 0);
        break;
    case 5:
        status = tavlo::GetCalibrationData(ch, &stamp, panel, s16.get(), alt);
        if (!Delivered(status)) {
            for (int i = 0; i < 4; ++i) FUZZ_CHECK(s16[i] == kUntouchedSigned);
        }
        break;
    case 6: {
        for (int i = 0; i < 4; ++i) s16[i] = static_cast<std::int16_t>(input.Le16());
        status = tavlo::SetCalibrationData(ch, &stamp, panel, s16.get(), alt);
        break;
    }
    case 7:
        status = tavlo::GetPointdataEnable(ch, &stamp, panel, u8.get());
        FUZZ_CHECK(Delivered(status) ? u8[0] <= 1 : u8[0] == kUntouched8);
        break;
    case 8:
        status = tavlo::SetPointdataEnable(ch, &stamp, panel, input.Le32());
        break;
    case 9:
        status = tavlo::CheckTouch(ch, &stamp, panel, u8.get());
        FUZZ_CHECK(Delivered(status) ? u8[0] <= 1 : u8[0] == kUntouched8);
        break;
    case 10:
        status = tavlo::GetClickData(ch, &stamp, panel, s16.get(), alt);
        if (status == TavloOk) {
            FUZZ_CHECK(s16[TavloDownCancel] >= 0 && s16[TavloDownCancel] <= 100);
            FUZZ_CHECK(s16[TavloUpCancel] >= 0 && s16[TavloUpCancel] <= 100);
            FUZZ_CHECK(s16[TavloDblClickTime] >= 200 && s16[TavloDblClickTime] <= 900);
            FUZZ_CHECK(s16[TavloDblClickArea] >= 20 && s16[TavloDblClickArea] <= 40);
        } else {
            // A failed close delivers nothing here either.
            for (int i = 0; i < 4; ++i) FUZZ_CHECK(s16[i] == kUntouchedSigned);
        }
        break;
    case 11:
        for (int i = 0; i < 4; ++i) s16[i] = static_cast<std::int16_t>(input.Le16());
        status = tavlo::SetClickData(ch, &stamp, panel, s16.get(), alt);
        break;
    case 12:
        status = tavlo::GetClickSound(ch, &stamp, panel, u8.get(), alt);
        FUZZ_CHECK(Delivered(status) ? u8[0] <= 1 : u8[0] == kUntouched8);
        break;
    case 13:
        status = tavlo::SetClickSound(ch, &stamp, panel, input.Le32(), alt);
        break;
    case 14:
        status = tavlo::GetPanelLed(ch, &stamp, panel, u8.get());
        if (!Delivered(status)) FUZZ_CHECK(u8[0] == 0);
        break;
    case 15:
        status = tavlo::SetPanelLed(ch, &stamp, panel, input.Le32());
        break;
    case 16:
        status = tavlo::GetStartupMode(ch, u8.get());
        FUZZ_CHECK(Delivered(status) ? u8[0] <= 1 : u8[0] == kUntouched8);
        break;
    case 17:
        status = tavlo::SetStartupMode(ch, input.Le32());
        break;
    case 18:
        status = tavlo::GetClickMode(ch, u8.get());
        if (!Delivered(status)) FUZZ_CHECK(u8[0] == kUntouched8);
        break;
    case 19:
        status = tavlo::SetClickMode(ch, input.Le32());
        break;
    case 20:
        status = tavlo::GetClickOnceMode(ch, u8.get(), u8b.get());
        if (Delivered(status)) {
            FUZZ_CHECK(u8[0] <= 1);
        } else {
            FUZZ_CHECK(u8[0] == kUntouched8 && u8b[0] == kUntouched8);
        }
        break;
    case 21: {
        const std::uint32_t in = input.Le32();
        status = tavlo::SetClickOnceMode(ch, in, input.Le32());
        break;
    }
    case 22: {
        const std::uint32_t address = input.Le32();
        status = tavlo::ReadEeprom(ch, &stamp, panel, address, u16.get());
        if (!Delivered(status)) FUZZ_CHECK(u16[0] == 0);
        break;
    }
    default: {
        const std::uint32_t address = input.Le32();
        u16[0] = input.Le16();
        status = tavlo::WriteEeprom(ch, &stamp, panel, address, u16.get());
        break;
    }
    }
    return status;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    tavlosim::DeviceModel model;
    tavlosim::ModelChannel inner(model);
    const int panels = input.Byte() % 5;
    for (int i = 0; i < panels; ++i) model.AttachPanel(static_cast<std::uint8_t>(0x11 * (i + 1)));
    OddReplyChannel channel(inner, input);
    for (int steps = 0; !input.Empty() && steps < 24; ++steps) {
        const TavloStatus status = OneCommand(channel, model, input);
        FUZZ_CHECK(status >= TavloOk && status <= TavloFailed);
        FUZZ_CHECK(channel.OpenHandles() == 0);
        FUZZ_CHECK(inner.OpenHandles() == 0);
    }
    return 0;
}
