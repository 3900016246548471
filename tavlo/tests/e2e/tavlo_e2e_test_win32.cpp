// TAVLO.DLL end to end: the real DLL, loaded by name as the form tools load
// it, against the simulated kernel driver under Wine. The driver's control
// name tells what arrived (request log) and sets up panels and faults.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "control_transport_win32.h"
#include "export_arguments.h"
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

using namespace tavlo_test;

// Each export through the stdcall pointer GetProcAddress finds under its
// undecorated name.
#define TAVLO_REACH(name, command, arguments, via) TAVLO(name) arguments
#define TAVLO_EXPORT(name, command, parameters, arguments, requests) \
    TAVLO_EXPORT_LINE(name, command, arguments, requests)
const std::vector<ExportLine> kLines = {
#include "tavlo_exports.inc"
};
#undef TAVLO_EXPORT
#undef TAVLO_REACH

class EachExport : public TavloE2e, public ::testing::WithParamInterface<ExportLine> {};

TEST_P(EachExport, SendsExactlyItsRequestsAndNoneWithoutTheDevice) {
    ASSERT_NE(GetProcAddress(TavloModule(), GetParam().name.c_str()), nullptr);
    EXPECT_EQ(GetParam().call(stamp, nullptr).status, TavloOk);
    std::vector<std::uint32_t> codes;
    for (const tavlosim::RequestInfo& request : Log()) {
        codes.push_back(request.code);
        EXPECT_EQ(request.error, 0u);
    }
    EXPECT_EQ(codes, GetParam().requests);
    ASSERT_EQ(control.ClearLog(), 0u);
    ASSERT_EQ(control.Unplug(), 0u);
    EXPECT_EQ(GetParam().call(stamp, nullptr).status, TavloNoDevice);
    EXPECT_TRUE(Log().empty());
}

INSTANTIATE_TEST_SUITE_P(Exports, EachExport, ::testing::ValuesIn(kLines),
                         [](const auto& param) { return param.param.name; });

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
                                           ErrorCase{87, TavloBadParameter}, ErrorCase{31, TavloFailed}),
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
