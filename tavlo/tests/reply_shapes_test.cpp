// Every export against a driver that answers one of its requests with a reply
// of the wrong shape: no bytes, too few, more than the buffer holds, or the
// right length filled with bytes no driver sends. Each export must return a
// defined status, store nothing when it fails, send nothing after the odd
// reply, close its handle, and never touch memory past an out-parameter (the
// out-parameters are heap blocks of their exact width, so that AddressSanitizer
// sees any stray byte).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "export_arguments.h"
#include "tavlo.h"

namespace {

using namespace tavlo_test;

struct Result {
    TavloStatus status;
    std::uint16_t stamp;
    std::vector<std::uint8_t> outputs;
};

struct ExportLine {
    std::string name;
    std::function<Result(std::uint16_t stamp)> call;
    std::vector<std::uint32_t> requests;
};

#define TAVLO_UNWRAP(...) __VA_ARGS__
#define TAVLO_EXPORT(name, command, parameters, arguments, requests)     \
    ExportLine{#name,                                                    \
               [](std::uint16_t fresh) {                                 \
                   struct : ExportArguments {                            \
                       TavloStatus Run() { return name arguments; }      \
                   } call;                                               \
                   call.stamp[0] = fresh;                                \
                   const TavloStatus status = call.Run();                \
                   return Result{status, call.stamp[0], call.Outputs()}; \
               },                                                        \
               {TAVLO_UNWRAP requests}},
const std::vector<ExportLine> kLines = {
#include "tavlo_exports.inc"
};
#undef TAVLO_EXPORT
#undef TAVLO_UNWRAP

enum class Shape { kEmpty, kShort, kLong, kGarbageA5, kGarbageFF };
const char* const kShapeNames[] = {"Empty", "Short", "Long", "GarbageA5", "GarbageFF"};

// What an export makes of a full-length reply of 0xA5 or 0xFF bytes to its
// own reading request: exports that accept only certain values refuse it.
struct GarbageOutcome {
    TavloStatus a5;
    TavloStatus ff;
};
const std::map<std::string, GarbageOutcome> kGarbageOutcome = {
    {"TavloGetVersion", {TavloOk, TavloOk}},         {"TavloNeedUpdate", {TavloOk, TavloOk}},
    {"TavloGetDevices", {TavloOk, TavloOk}},         {"TavloGetFirmVer", {TavloOk, TavloOk}},
    {"TavloGetPanelId", {TavloOk, TavloOk}},         {"TavloGetCalibrationData", {TavloOk, TavloOk}},
    {"TavloGetPointdataEnable", {TavloFailed, TavloFailed}},
    {"TavloCheckTouch", {TavloFailed, TavloOk}},     // 0xFF is "touched"
    {"TavloGetClickData", {TavloOk, TavloOk}},       // converted and bounded
    {"TavloSetClickData", {TavloOk, TavloOk}},       // bytes 2 and 4 go back as read
    {"TavloGetClickSound", {TavloFailed, TavloFailed}}, {"TavloGetPanelLed", {TavloOk, TavloOk}},
    {"TavloGetStartupMode", {TavloFailed, TavloFailed}}, {"TavloGetClickMode", {TavloOk, TavloOk}},
    {"TavloGetClickOnceMode", {TavloFailed, TavloFailed}}, {"TavloReadEeprom", {TavloOk, TavloOk}},
};

struct ShapeCase {
    const ExportLine* line;
    std::size_t request;  // index into line->requests
    std::uint32_t replySize;
    Shape shape;
};

void PrintTo(const ShapeCase& c, std::ostream* os) {
    *os << c.line->name << " request " << c.request << " " << kShapeNames[static_cast<int>(c.shape)];
}

// The reply size of each request, from one clean call of every export; a
// request without a reply can only be overstated.
std::vector<ShapeCase> AllCases() {
    std::vector<ShapeCase> cases;
    for (const ExportLine& line : kLines) {
        FreshDriver();
        line.call(Model().Stamp());
        for (std::size_t i = 0; i < line.requests.size(); ++i) {
            const std::uint32_t size = Model().LogAt(static_cast<std::uint32_t>(i)).outSize;
            if (size == 0) {
                cases.push_back({&line, i, size, Shape::kLong});
                continue;
            }
            for (Shape shape : {Shape::kEmpty, Shape::kShort, Shape::kLong, Shape::kGarbageA5, Shape::kGarbageFF}) {
                if (shape == Shape::kShort && size == 1) continue;  // the same as no bytes
                cases.push_back({&line, i, size, shape});
            }
        }
    }
    return cases;
}

std::vector<std::uint8_t> ReplyBytes(Shape shape, std::uint32_t size) {
    switch (shape) {
    case Shape::kEmpty:
        return {};
    case Shape::kShort:
        return std::vector<std::uint8_t>(size - 1, 0x00);
    case Shape::kLong:
        return std::vector<std::uint8_t>(size + 3, 0x00);
    case Shape::kGarbageA5:
        return std::vector<std::uint8_t>(size, 0xA5);
    default:
        return std::vector<std::uint8_t>(size, 0xFF);
    }
}

class ReplyShapes : public ::testing::TestWithParam<ShapeCase> {
protected:
    void SetUp() override { FreshDriver(); }
    void TearDown() override { EXPECT_EQ(tavlosim::TheInProcessDriver().channel.OpenHandles(), 0); }
};

TEST_P(ReplyShapes, DefinedStatusAndNothingStoredOnRefusal) {
    const ShapeCase& c = GetParam();
    const ExportLine& line = *c.line;
    const std::uint16_t fresh = Model().Stamp();

    // What the out-parameters hold after a call that stores nothing.
    tavlosim::TheInProcessDriver().channel.deviceMissing = true;
    const Result untouched = line.call(fresh);
    ASSERT_EQ(untouched.status, TavloNoDevice);
    tavlosim::TheInProcessDriver().channel.deviceMissing = false;

    const std::vector<std::uint8_t> reply = ReplyBytes(c.shape, c.replySize);
    const std::uint32_t code = line.requests[c.request];
    ASSERT_TRUE(Model().OverrideReply(code, reply.data(), static_cast<std::uint32_t>(reply.size()), false));
    const Result result = line.call(fresh);

    const bool panelCheck = code == IOCTL_TAVLO_GET_STATUS && line.requests.size() > 1;
    const bool garbage = c.shape == Shape::kGarbageA5 || c.shape == Shape::kGarbageFF;
    TavloStatus expected = TavloFailed;
    if (c.replySize == 0) {
        expected = TavloOk;  // the count of a request without a reply is not read
    } else if (garbage && panelCheck) {
        expected = TavloPanelsChanged;
    } else if (garbage) {
        const GarbageOutcome outcome = kGarbageOutcome.at(line.name);
        expected = c.shape == Shape::kGarbageA5 ? outcome.a5 : outcome.ff;
    }
    EXPECT_EQ(result.status, expected);

    if (expected == TavloOk) {
        EXPECT_EQ(SentCodes(), line.requests);
        return;
    }
    // Refused: nothing after the odd reply was sent, nothing was stored.
    EXPECT_EQ(SentCodes(), std::vector<std::uint32_t>(line.requests.begin(),
                                                 line.requests.begin() + static_cast<long>(c.request) + 1));
    EXPECT_EQ(result.outputs, untouched.outputs);
    if (expected == TavloPanelsChanged) {
        EXPECT_EQ(result.stamp, c.shape == Shape::kGarbageA5 ? 0xA5A5 : 0xFFFF);
    } else {
        EXPECT_EQ(result.stamp, untouched.stamp);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryExport, ReplyShapes, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<ShapeCase>& c) {
                             return c.param.line->name + "_" + std::to_string(c.param.request) + "_" +
                                    kShapeNames[static_cast<int>(c.param.shape)];
                         });

}  // namespace
