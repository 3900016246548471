// TAVLO.DLL end to end: the real DLL, loaded by name as the form tools load
// it, against the simulated kernel driver under Wine. The driver's control
// name tells what arrived (request log) and sets up panels and faults.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "control_transport_win32.h"
#include "sim_control.h"
#include "tavlo.h"
#include "tavlo_by_name_win32.h"

namespace {

tavlosim::Win32ControlTransport& Transport() {
    static tavlosim::Win32ControlTransport transport;
    return transport;
}

class TavloE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(TavloModule(), nullptr) << "TAVLO.DLL not loadable, error " << GetLastError();
        ASSERT_TRUE(Transport().IsOpen()) << "simulated driver not running";
        ASSERT_EQ(control.Reset(), 0u);
        ASSERT_EQ(control.Attach(0x11, 0x0105, nullptr), 0u);
        ASSERT_EQ(control.Attach(0x22, 0x0207, nullptr), 0u);
        ASSERT_EQ(TAVLO(TavloNeedUpdate)(&stamp), TavloOk);
        ASSERT_EQ(control.ClearLog(), 0u);
    }
    void TearDown() override { control.Replug(); }

    std::vector<tavlosim::RequestInfo> Log() {
        std::vector<tavlosim::RequestInfo> log;
        EXPECT_EQ(control.GetLog(&log), 0u);
        return log;
    }
    tavlosim::PanelInfo Panel(int index) {
        tavlosim::PanelInfo info;
        EXPECT_EQ(control.GetPanel(static_cast<std::uint8_t>(index), &info), 0u);
        return info;
    }

    tavlosim::SimControl control{Transport()};
    std::uint16_t stamp = 0;
};

TEST_F(TavloE2e, AllExportsAreFoundByName) {
    for (const char* name : kTavloExportNames) EXPECT_NE(GetProcAddress(TavloModule(), name), nullptr) << name;
}

struct ExportCase {
    std::string name;
    std::function<TavloStatus(std::uint16_t*)> call;
    std::vector<std::uint32_t> codes;  // requests after the open, in order
    std::vector<std::uint8_t> lastIn;  // input of the last request
};

std::vector<ExportCase> ExportCases() {
    static const std::int16_t cal[4] = {10000, -3, 9000, 0x1234};
    static const std::uint16_t word = 0x02A7;
    const std::uint32_t st = IOCTL_TAVLO_GET_STATUS;
    return {
        {"GetVersion", [](std::uint16_t*) { std::uint16_t v; return TAVLO(TavloGetVersion)(&v); }, {0x226000}, {}},
        {"NeedUpdate", [](std::uint16_t*) { std::uint16_t v; return TAVLO(TavloNeedUpdate)(&v); }, {st}, {}},
        {"GetDevices", [](std::uint16_t*) { std::uint8_t v; return TAVLO(TavloGetDevices)(&v); }, {st}, {}},
        {"GetFirmVer", [](std::uint16_t* s) { std::uint16_t v; return TAVLO(TavloGetFirmVer)(s, 0x101, &v); },
         {st, 0x22E040}, {1}},
        {"GetPanelId", [](std::uint16_t* s) { std::uint8_t v; return TAVLO(TavloGetPanelId)(s, 1, &v); },
         {st, 0x22E044}, {1}},
        {"GetCalibrationAlt", [](std::uint16_t* s) { std::int16_t v[4]; return TAVLO(TavloGetCalibrationData)(s, 1, v, 0x201); },
         {st, 0x22E088}, {1}},
        {"SetCalibration", [](std::uint16_t* s) { return TAVLO(TavloSetCalibrationData)(s, 1, cal, 0x100); },
         {st, 0x22A084}, {1, 0x10, 0x27, 0xFD, 0xFF, 0x28, 0x23, 0x34, 0x12}},
        {"GetPointdataEnable", [](std::uint16_t* s) { std::uint8_t v; return TAVLO(TavloGetPointdataEnable)(s, 1, &v); },
         {st, 0x22E0C0}, {1}},
        {"SetPointdataEnable", [](std::uint16_t* s) { return TAVLO(TavloSetPointdataEnable)(s, 1, 0x80); },
         {st, 0x22A0C4}, {1, 1}},
        {"CheckTouch", [](std::uint16_t* s) { std::uint8_t v; return TAVLO(TavloCheckTouch)(s, 1, &v); },
         {st, 0x22E0E0}, {1}},
        {"GetClickData", [](std::uint16_t* s) { std::int16_t v[4]; return TAVLO(TavloGetClickData)(s, 1, v, 0); },
         {st, 0x22E140}, {1}},
        {"SetClickDataAlt", [](std::uint16_t* s) { std::int16_t v[4] = {-5, 150, 1000, 41}; return TAVLO(TavloSetClickData)(s, 1, v, 1); },
         {st, 0x22E148, 0x22A14C}, {1, 18, 23, 0x21, 90, 0x06, 0, 10}},
        {"GetClickSound", [](std::uint16_t* s) { std::uint8_t v; return TAVLO(TavloGetClickSound)(s, 1, &v, 0); },
         {st, 0x22E180}, {1}},
        {"SetClickSoundAlt", [](std::uint16_t* s) { return TAVLO(TavloSetClickSound)(s, 1, 0x100, 1); },
         {st, 0x22A18C}, {1, 0}},
        {"GetPanelLed", [](std::uint16_t* s) { std::uint8_t v; return TAVLO(TavloGetPanelLed)(s, 1, &v); },
         {st, 0x22E100}, {1}},
        {"SetPanelLed", [](std::uint16_t* s) { return TAVLO(TavloSetPanelLed)(s, 1, 0x1FE); }, {st, 0x22A104}, {1, 0xFE}},
        {"GetStartupMode", [](std::uint16_t*) { std::uint8_t v; return TAVLO(TavloGetStartupMode)(&v); }, {0x22E1C0}, {}},
        {"SetStartupMode", [](std::uint16_t*) { return TAVLO(TavloSetStartupMode)(0x100); }, {0x22A1C4}, {0}},
        {"GetClickMode", [](std::uint16_t*) { std::uint8_t v; return TAVLO(TavloGetClickMode)(&v); }, {0x22E1E0}, {}},
        {"SetClickMode", [](std::uint16_t*) { return TAVLO(TavloSetClickMode)(0x104); }, {0x22A1E4}, {4}},
        {"GetClickOnceMode", [](std::uint16_t*) { std::uint8_t f, b; return TAVLO(TavloGetClickOnceMode)(&f, &b); },
         {0x22E1E8}, {}},
        {"SetClickOnceMode", [](std::uint16_t*) { return TAVLO(TavloSetClickOnceMode)(7, 0x102); }, {0x22A1EC}, {1, 2}},
        {"ReadEeprom", [](std::uint16_t* s) { std::uint16_t v; return TAVLO(TavloReadEeprom)(s, 1, 0x312, &v); },
         {st, 0x22E200}, {1, 0x12}},
        {"WriteEeprom", [](std::uint16_t* s) { return TAVLO(TavloWriteEeprom)(s, 1, 0x12, &word); },
         {st, 0x22A204}, {1, 0x12, 0xA7, 0x02}},
    };
}

class EachExport : public TavloE2e, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(EachExport, SendsExactlyItsRequests) {
    EXPECT_EQ(GetParam().call(&stamp), TavloOk);
    const std::vector<tavlosim::RequestInfo> log = Log();
    ASSERT_EQ(log.size(), GetParam().codes.size());
    for (std::size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].code, GetParam().codes[i]) << "request " << i;
        EXPECT_EQ(log[i].error, 0u);
    }
    EXPECT_EQ(log.back().in, GetParam().lastIn);
}

TEST_P(EachExport, DeviceMissingSendsNothing) {
    ASSERT_EQ(control.Unplug(), 0u);
    EXPECT_EQ(GetParam().call(&stamp), TavloNoDevice);
    EXPECT_TRUE(Log().empty());
}

INSTANTIATE_TEST_SUITE_P(Exports, EachExport, ::testing::ValuesIn(ExportCases()),
                         [](const auto& param) { return param.param.name; });

TEST_F(TavloE2e, RepliesReachTheOutParameters) {
    std::uint16_t version = 0, firm = 0, word = 0;
    std::uint8_t count = 0, id = 0, enable = 9, touched = 9;
    EXPECT_EQ(TAVLO(TavloGetVersion)(&version), TavloOk);
    EXPECT_EQ(version, 0x0210);
    EXPECT_EQ(TAVLO(TavloGetDevices)(&count), TavloOk);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(TAVLO(TavloGetFirmVer)(&stamp, 1, &firm), TavloOk);
    EXPECT_EQ(firm, 0x0207);
    EXPECT_EQ(TAVLO(TavloGetPanelId)(&stamp, 1, &id), TavloOk);
    EXPECT_EQ(id, 0x22);
    ASSERT_EQ(control.SetTouched(1, true), 0u);
    EXPECT_EQ(TAVLO(TavloCheckTouch)(&stamp, 1, &touched), TavloOk);
    EXPECT_EQ(touched, 1);
    EXPECT_EQ(TAVLO(TavloSetPointdataEnable)(&stamp, 0, 0), TavloOk);
    EXPECT_EQ(TAVLO(TavloGetPointdataEnable)(&stamp, 0, &enable), TavloOk);
    EXPECT_EQ(enable, 0);
    EXPECT_EQ(Panel(0).pointdata, 0);

    const std::int16_t cal[4] = {-12000, 345, 8000, -17};
    EXPECT_EQ(TAVLO(TavloSetCalibrationData)(&stamp, 1, cal, 1), TavloOk);
    std::int16_t read[4] = {};
    EXPECT_EQ(TAVLO(TavloGetCalibrationData)(&stamp, 1, read, 1), TavloOk);
    EXPECT_EQ(std::vector<std::int16_t>(read, read + 4), std::vector<std::int16_t>(cal, cal + 4));
    EXPECT_EQ(Panel(1).calibration[1][0], -12000);
    EXPECT_EQ(Panel(1).calibration[0][0], 10000);

    std::int16_t click[4] = {55, 30, 430, 21};
    EXPECT_EQ(TAVLO(TavloSetClickData)(&stamp, 0, click, 0), TavloOk);
    EXPECT_EQ(TAVLO(TavloGetClickData)(&stamp, 0, click, 0), TavloOk);
    EXPECT_EQ(std::vector<std::int16_t>(click, click + 4), (std::vector<std::int16_t>{50, 30, 430, 20}));

    const std::uint16_t written = 0xBEEF;
    EXPECT_EQ(TAVLO(TavloWriteEeprom)(&stamp, 1, 0xFF, &written), TavloOk);
    EXPECT_EQ(TAVLO(TavloReadEeprom)(&stamp, 1, 0xFF, &word), TavloOk);
    EXPECT_EQ(word, 0xBEEF);

    std::uint8_t flag = 9, button = 9;
    EXPECT_EQ(TAVLO(TavloSetClickOnceMode)(1, 4), TavloOk);
    EXPECT_EQ(TAVLO(TavloGetClickOnceMode)(&flag, &button), TavloOk);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(button, 4);
}

struct ErrorCase {
    std::uint32_t error;
    TavloStatus status;
};

class DriverErrors : public TavloE2e, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(DriverErrors, EachWin32ErrorArrivesThroughARealNtStatus) {
    ASSERT_EQ(control.FailCode(IOCTL_TAVLO_GET_CALIBRATION, GetParam().error), 0u);
    std::int16_t cal[4] = {7, 7, 7, 7};
    EXPECT_EQ(TAVLO(TavloGetCalibrationData)(&stamp, 0, cal, 0), GetParam().status);
    EXPECT_EQ(cal[0], 7);
    std::uint16_t fresh = 0;
    ASSERT_EQ(control.FailNext(GetParam().error), 0u);
    EXPECT_EQ(TAVLO(TavloNeedUpdate)(&fresh), GetParam().status);
    EXPECT_EQ(fresh, 0xFFFF);
}

INSTANTIATE_TEST_SUITE_P(Errors, DriverErrors,
                         ::testing::Values(ErrorCase{1, TavloNotSupported}, ErrorCase{2, TavloBadPanel},
                                           ErrorCase{87, TavloBadParameter}, ErrorCase{31, TavloFailed},
                                           ErrorCase{5, TavloFailed}, ErrorCase{1167, TavloFailed}),
                         [](const ::testing::TestParamInfo<ErrorCase>& row) {
                             return "Win32Error" + std::to_string(row.param.error);
                         });

TEST_F(TavloE2e, PanelCheckThroughTheDriver) {
    std::uint8_t id = 0;
    EXPECT_EQ(TAVLO(TavloGetPanelId)(&stamp, 2, &id), TavloBadPanel);
    EXPECT_EQ(TAVLO(TavloGetPanelId)(&stamp, 0x100, &id), TavloOk);
    EXPECT_EQ(id, 0x11);
    ASSERT_EQ(control.Remove(1), 0u);
    ASSERT_EQ(control.Remove(0), 0u);
    EXPECT_EQ(TAVLO(TavloGetPanelId)(&stamp, 0, &id), TavloPanelsChanged);
    EXPECT_EQ(TAVLO(TavloGetPanelId)(&stamp, 0, &id), TavloNoPanel);
    EXPECT_EQ(id, 0);
}

TEST_F(TavloE2e, OddRepliesAreRejected) {
    std::uint8_t touched = 9;
    ASSERT_EQ(control.OverrideReply(IOCTL_TAVLO_CHECK_TOUCH, {0x01}, false), 0u);
    EXPECT_EQ(TAVLO(TavloCheckTouch)(&stamp, 0, &touched), TavloFailed);
    EXPECT_EQ(touched, 9);
    ASSERT_EQ(control.OverrideReply(IOCTL_TAVLO_GET_STATUS, {0x01}, false), 0u);  // short status reply
    std::uint8_t count = 9;
    EXPECT_EQ(TAVLO(TavloGetDevices)(&count), TavloFailed);
    EXPECT_EQ(count, 0);
}

TEST_F(TavloE2e, DeviceMissingKeepsPresets) {
    ASSERT_EQ(control.Unplug(), 0u);
    std::uint16_t fresh = 5, word = 5;
    std::uint8_t count = 5, id = 5, led = 5;
    EXPECT_EQ(TAVLO(TavloNeedUpdate)(&fresh), TavloNoDevice);
    EXPECT_EQ(TAVLO(TavloGetDevices)(&count), TavloNoDevice);
    EXPECT_EQ(TAVLO(TavloGetPanelId)(&stamp, 0, &id), TavloNoDevice);
    EXPECT_EQ(TAVLO(TavloGetPanelLed)(&stamp, 0, &led), TavloNoDevice);
    EXPECT_EQ(TAVLO(TavloReadEeprom)(&stamp, 0, 0, &word), TavloNoDevice);
    EXPECT_EQ(fresh, 0xFFFF);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(led, 0);
    EXPECT_EQ(word, 0);
    ASSERT_EQ(control.Replug(), 0u);
    EXPECT_EQ(TAVLO(TavloGetDevices)(&count), TavloOk);
    EXPECT_EQ(count, 2);
}

// Runs this program again as a second process that prints its stamp.
std::uint16_t StampSeenByAnotherProcess() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string command = std::string("\"") + path + "\" --print-stamp";
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readPipe, writePipe;
    if (!CreatePipe(&readPipe, &writePipe, &sa, 0)) return 0;
    SetHandleInformation(readPipe, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writePipe;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(writePipe);
    std::string output;
    if (started) {
        char buffer[64];
        DWORD got = 0;
        while (ReadFile(readPipe, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
        WaitForSingleObject(pi.hProcess, 30000);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    CloseHandle(readPipe);
    return static_cast<std::uint16_t>(std::strtoul(output.c_str(), nullptr, 10));
}

TEST_F(TavloE2e, TwoProcessesSeeTheStampChangeAfterAnAttach) {
    const std::uint16_t before = stamp;
    EXPECT_EQ(StampSeenByAnotherProcess(), before);
    ASSERT_EQ(control.Attach(0x33, 0x0100, nullptr), 0u);
    const std::uint16_t other = StampSeenByAnotherProcess();
    EXPECT_NE(other, before);
    std::uint8_t id = 0;
    EXPECT_EQ(TAVLO(TavloGetPanelId)(&stamp, 2, &id), TavloPanelsChanged);
    EXPECT_EQ(stamp, other);
    EXPECT_EQ(TAVLO(TavloGetPanelId)(&stamp, 2, &id), TavloOk);
    EXPECT_EQ(id, 0x33);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--print-stamp") {
        std::uint16_t stamp = 0;
        const TavloStatus status = TAVLO(TavloNeedUpdate)(&stamp);
        std::printf("%u\n", status == TavloOk ? stamp : 0u);
        return status;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
