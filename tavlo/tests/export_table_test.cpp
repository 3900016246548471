// The export table against the rest of the library: tavlo.h declares each
// export with the table's parameters, and each export, called directly or
// through the by-name binding, reaches its own export name and sends
// exactly the requests its table line states.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

#include "inprocess_driver.h"
#include "inprocess_loader.h"
#include "tavlo.h"
#include "tavlo_ioctl.h"

namespace {

#define TAVLO_EXPORT(name, command, parameters, arguments, requests)                                      \
    static_assert(std::is_same<decltype(&name), TavloStatus(TAVLO_CALL*) parameters>::value, #name      \
                  " in tavlo.h differs from its line in tavlo_exports.inc");
#include "tavlo_exports.inc"
#undef TAVLO_EXPORT

// Stands for an argument that is an input (0) in one export and an output
// byte in another (`enable`, `on`, `led`, ...).
struct ByteSlot {
    std::uint8_t byte = 0;
    operator std::uint32_t() const { return 0; }
    operator std::uint8_t*() { return &byte; }
};

// A 16-bit output, or the input of an EEPROM write.
struct WordSlot {
    std::uint16_t value = 0;
    operator std::uint16_t*() { return &value; }
};

// Valid arguments under the names the table's `arguments` column uses:
// panel 0, the working copy (alt 0), and a stamp the caller keeps fresh.
// A new argument name in the table needs a member here.
struct Arguments {
    WordSlot stamp, version, firmVer, word;
    std::uint32_t panel = 0, alt = 0, address = 0x12;
    std::uint8_t count[1] = {}, panelId[1] = {}, touched[1] = {};
    std::int16_t cal[4] = {10000, 0, 10000, 0};
    std::int16_t click[4] = {10, 10, 500, 8};
    ByteSlot enable, on, led, mode, button, onceFlag, onceButton;
};

struct ExportLine {
    std::string name;
    std::function<TavloStatus(std::uint16_t stamp)> callExport;
    std::function<TavloStatus(tavlo::TavloIoctl& binding, std::uint16_t stamp)> callBinding;
    std::vector<std::uint32_t> requests;
};

void PrintTo(const ExportLine& line, std::ostream* os) { *os << line.name; }

#define TAVLO_UNWRAP(...) __VA_ARGS__
#define TAVLO_EXPORT(name, command, parameters, arguments, requests)          \
    ExportLine{#name,                                                        \
               [](std::uint16_t fresh) {                                     \
                   struct : Arguments {                                      \
                       TavloStatus Run() { return name arguments; }          \
                   } call;                                                   \
                   call.stamp.value = fresh;                                 \
                   return call.Run();                                        \
               },                                                            \
               [](tavlo::TavloIoctl& binding, std::uint16_t fresh) {         \
                   struct : Arguments {                                      \
                       TavloStatus Run(tavlo::TavloIoctl& b) { return b.command arguments; } \
                   } call;                                                   \
                   call.stamp.value = fresh;                                 \
                   return call.Run(binding);                                 \
               },                                                            \
               {TAVLO_UNWRAP requests}},
const std::vector<ExportLine> kLines = {
#include "tavlo_exports.inc"
};
#undef TAVLO_EXPORT
#undef TAVLO_UNWRAP

class EachExportLine : public ::testing::TestWithParam<ExportLine> {
protected:
    void SetUp() override {
        tavlosim::ResetInProcessDriver();
        Model().AttachPanel(0x31);
        Model().ClearLog();
    }
    static tavlosim::DeviceModel& Model() { return tavlosim::TheInProcessDriver().model; }
    static std::vector<std::uint32_t> Sent() {
        std::vector<std::uint32_t> codes;
        for (std::uint32_t i = 0; i < Model().LogSize(); ++i) codes.push_back(Model().LogAt(i).code);
        return codes;
    }
};

TEST_P(EachExportLine, ExportSendsItsRequests) {
    EXPECT_EQ(GetParam().callExport(Model().Stamp()), TavloOk);
    EXPECT_EQ(Sent(), GetParam().requests);
}

TEST_P(EachExportLine, BindingLooksUpItsExportAndSendsItsRequests) {
    tavlosim::InProcessLoader loader;
    std::vector<std::string> fatal;
    tavlo::TavloIoctl binding{loader, [&](const std::string& m) { fatal.push_back(m); }};
    EXPECT_EQ(GetParam().callBinding(binding, Model().Stamp()), TavloOk);
    EXPECT_EQ(loader.lookups, std::vector<std::string>{GetParam().name});
    EXPECT_EQ(Sent(), GetParam().requests);
    EXPECT_TRUE(fatal.empty());
}

INSTANTIATE_TEST_SUITE_P(Table, EachExportLine, ::testing::ValuesIn(kLines),
                         [](const ::testing::TestParamInfo<ExportLine>& line) { return line.param.name; });

}  // namespace
