// The export table against the rest of the library: tavlo.h declares each
// export with the table's parameters; the by-name binding reaches each export
// by its own name, which sends exactly the requests its line states.
//
// Then every export against a driver that answers one of its requests oddly:
// no bytes, too few, more than the buffer holds, the right length filled with
// bytes no driver sends, or a failure; and against a close that fails after a
// clean run. Each export must return a defined status, store nothing when it
// refuses, send nothing after the odd reply, close its handle, and never
// touch memory past an out-parameter (see export_arguments.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "export_arguments.h"
#include "inprocess_driver.h"
#include "inprocess_loader.h"
#include "tavlo.h"
#include "tavlo_ioctl.h"

namespace {

#define TAVLO_EXPORT(name, command, parameters, arguments, requests)                         \
    static_assert(std::is_same<decltype(&name), TavloStatus(TAVLO_CALL*) parameters>::value, \
                  #name " in tavlo.h differs from its line in tavlo_exports.inc");
#include "tavlo_exports.inc"
#undef TAVLO_EXPORT

using namespace tavlo_test;

// Each export called directly, or through the by-name binding given as `via`.
#define TAVLO_REACH(name, command, arguments, via) \
    (via != nullptr ? static_cast<tavlo::TavloIoctl*>(via)->command arguments : name arguments)
#define TAVLO_EXPORT(name, command, parameters, arguments, requests) \
    TAVLO_EXPORT_LINE(name, command, arguments, requests)
const std::vector<ExportLine> kLines = {
#include "tavlo_exports.inc"
};
#undef TAVLO_EXPORT
#undef TAVLO_REACH

tavlosim::DeviceModel& Model() { return tavlosim::TheInProcessDriver().model; }

// A fresh in-process driver with one panel and an empty request log.
void FreshDriver() {
    tavlosim::ResetInProcessDriver();
    Model().AttachPanel(0x31);
    Model().ClearLog();
}

std::vector<std::uint32_t> SentCodes() {
    std::vector<std::uint32_t> codes;
    for (std::uint32_t i = 0; i < Model().LogSize(); ++i) codes.push_back(Model().LogAt(i).code);
    return codes;
}

class EachExportLine : public ::testing::TestWithParam<ExportLine> {
protected:
    void SetUp() override { FreshDriver(); }
};

// Called twice: the export is looked up by its name at the first call only.
TEST_P(EachExportLine, BindingLooksUpItsExportOnceAndSendsItsRequests) {
    tavlosim::InProcessLoader loader;
    std::vector<std::string> fatal;
    tavlo::TavloIoctl binding{loader, [&](const std::string& m) { fatal.push_back(m); }};
    EXPECT_EQ(GetParam().call(Model().Stamp(), &binding).status, TavloOk);
    EXPECT_EQ(SentCodes(), GetParam().requests);
    EXPECT_EQ(GetParam().call(Model().Stamp(), &binding).status, TavloOk);
    EXPECT_EQ(loader.lookups, std::vector<std::string>{GetParam().name});
    EXPECT_TRUE(fatal.empty());
}

// The export missing from the library, or the library missing: the call
// reports TavloNoDevice, sends nothing, and one message names what is missing.
TEST_P(EachExportLine, BindingStopsNamingWhatIsMissing) {
    for (bool libraryMissing : {false, true}) {
        SCOPED_TRACE(libraryMissing ? "library missing" : "export missing");
        tavlosim::InProcessLoader loader;
        loader.libraryMissing = libraryMissing;
        loader.missingFunctions = {GetParam().name};
        std::vector<std::string> fatal;
        tavlo::TavloIoctl binding{loader, [&](const std::string& m) { fatal.push_back(m); }};
        EXPECT_EQ(GetParam().call(Model().Stamp(), &binding).status, TavloNoDevice);
        EXPECT_EQ(Model().LogSize(), 0u);
        ASSERT_EQ(fatal.size(), 1u);
        EXPECT_NE(fatal[0].find(libraryMissing ? "TAVLO.DLL" : GetParam().name), std::string::npos) << fatal[0];
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EachExportLine, ::testing::ValuesIn(kLines),
                         [](const ::testing::TestParamInfo<ExportLine>& line) { return line.param.name; });

enum class Shape { kEmpty, kShort, kLong, kGarbageA5, kGarbageFF, kGarbage02, kDriverFails, kCloseFails };
const char* const kShapeNames[] = {"Empty",     "Short",     "Long",        "GarbageA5",
                                   "GarbageFF", "Garbage02", "DriverFails", "CloseFails"};

// Exports that accept only certain values in their own reply refuse these
// full-length garbage replies; the others take any bytes (GetClickData bounds
// them, SetClickData writes bytes 2 and 4 back as read).
const std::map<std::string, std::vector<Shape>> kRefusedGarbage = {
    {"TavloGetPointdataEnable", {Shape::kGarbageA5, Shape::kGarbageFF, Shape::kGarbage02}},
    {"TavloCheckTouch", {Shape::kGarbageA5, Shape::kGarbage02}},  // 0xFF is "touched"
    {"TavloGetClickSound", {Shape::kGarbageA5, Shape::kGarbageFF, Shape::kGarbage02}},
    {"TavloGetStartupMode", {Shape::kGarbageA5, Shape::kGarbageFF, Shape::kGarbage02}},
    {"TavloGetClickOnceMode", {Shape::kGarbageA5, Shape::kGarbageFF, Shape::kGarbage02}},
};

struct ShapeCase {
    const ExportLine* line;
    std::size_t request;  // index into line->requests
    std::uint32_t replySize;
    Shape shape;
};

// The reply size of each request, from one clean call of every export; a
// request without a reply can only be overstated or failed.
std::vector<ShapeCase> AllCases() {
    std::vector<ShapeCase> cases;
    for (const ExportLine& line : kLines) {
        FreshDriver();
        line.call(Model().Stamp(), nullptr);
        for (std::size_t i = 0; i < line.requests.size(); ++i) {
            const std::uint32_t size = Model().LogAt(static_cast<std::uint32_t>(i)).outSize;
            for (int s = 0; s <= static_cast<int>(Shape::kDriverFails); ++s) {
                const Shape shape = static_cast<Shape>(s);
                if (size == 0 && shape != Shape::kLong && shape != Shape::kDriverFails) continue;
                if (size == 1 && shape == Shape::kShort) continue;  // the same as no bytes
                cases.push_back({&line, i, size, shape});
            }
        }
        cases.push_back({&line, line.requests.size() - 1, 0, Shape::kCloseFails});
    }
    return cases;
}

std::vector<std::uint8_t> ReplyBytes(Shape shape, std::uint32_t size) {
    if (shape == Shape::kEmpty) return {};
    if (shape == Shape::kShort) return std::vector<std::uint8_t>(size - 1, 0x00);
    if (shape == Shape::kLong) return std::vector<std::uint8_t>(size + 3, 0x00);
    const std::uint8_t garbage = shape == Shape::kGarbageA5 ? 0xA5 : shape == Shape::kGarbageFF ? 0xFF : 0x02;
    return std::vector<std::uint8_t>(size, garbage);
}

TavloStatus ExpectedStatus(const ShapeCase& c) {
    const ExportLine& line = *c.line;
    const bool panelCheck = line.requests[c.request] == IOCTL_TAVLO_GET_STATUS && line.requests.size() > 1;
    switch (c.shape) {
    case Shape::kEmpty:
    case Shape::kShort:
        return TavloFailed;
    case Shape::kLong:  // the count of a request without a reply is not read
        return c.replySize == 0 ? TavloOk : TavloFailed;
    case Shape::kDriverFails:
        return TavloBadParameter;  // error 87
    case Shape::kCloseFails:
        return TavloCloseFailed;
    default:
        if (panelCheck) return TavloPanelsChanged;
        const auto refused = kRefusedGarbage.find(line.name);
        const bool refuses =
            refused != kRefusedGarbage.end() && std::count(refused->second.begin(), refused->second.end(), c.shape) > 0;
        return refuses ? TavloFailed : TavloOk;
    }
}

class ReplyShapes : public ::testing::TestWithParam<ShapeCase> {
protected:
    void SetUp() override { FreshDriver(); }
    void TearDown() override { EXPECT_EQ(Channel().OpenHandles(), 0); }
    static tavlosim::ModelChannel& Channel() { return tavlosim::TheInProcessDriver().channel; }
};

TEST_P(ReplyShapes, DefinedStatusAndNothingStoredOnRefusal) {
    const ShapeCase& c = GetParam();
    const ExportLine& line = *c.line;
    const std::uint16_t fresh = Model().Stamp();

    // What the out-parameters hold after a call that stores nothing, and
    // after a clean call.
    Channel().deviceMissing = true;
    const CallResult untouched = line.call(fresh, nullptr);
    ASSERT_EQ(untouched.status, TavloNoDevice);
    Channel().deviceMissing = false;
    const CallResult clean = line.call(fresh, nullptr);
    ASSERT_EQ(clean.status, TavloOk);
    Model().ClearLog();

    const std::uint32_t code = line.requests[c.request];
    std::vector<std::uint8_t> reply;
    if (c.shape == Shape::kDriverFails) {
        Model().FailCode(code, 87);
    } else if (c.shape == Shape::kCloseFails) {
        Channel().closeFails = true;
    } else {
        reply = ReplyBytes(c.shape, c.replySize);
        ASSERT_TRUE(Model().OverrideReply(code, reply.data(), static_cast<std::uint32_t>(reply.size()), false));
    }
    const CallResult result = line.call(fresh, nullptr);
    const TavloStatus expected = ExpectedStatus(c);
    EXPECT_EQ(result.status, expected);

    if (expected == TavloOk || expected == TavloCloseFailed) {
        EXPECT_EQ(SentCodes(), line.requests);
        // A close failure still delivers the reply, but for GetClickData.
        if (c.shape == Shape::kCloseFails) {
            EXPECT_EQ(result.outputs, line.name == "TavloGetClickData" ? untouched.outputs : clean.outputs);
            EXPECT_EQ(result.stamp, clean.stamp);
        }
        return;
    }
    // Refused: nothing after the odd reply was sent, nothing was stored
    // (SetClickData has bounded the caller's values before its write).
    EXPECT_EQ(SentCodes(), std::vector<std::uint32_t>(line.requests.begin(),
                                                      line.requests.begin() + static_cast<long>(c.request) + 1));
    const bool writeAfterBounding = line.name == "TavloSetClickData" && c.request == 2;
    EXPECT_EQ(result.outputs, writeAfterBounding ? clean.outputs : untouched.outputs);
    if (expected == TavloPanelsChanged) {
        const std::uint8_t byte = reply[0];
        EXPECT_EQ(result.stamp, byte * 0x101);
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
