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

#include "export_arguments.h"
#include "inprocess_loader.h"
#include "tavlo.h"
#include "tavlo_ioctl.h"

namespace {

#define TAVLO_EXPORT(name, command, parameters, arguments, requests)                               \
    static_assert(std::is_same<decltype(&name), TavloStatus(TAVLO_CALL*) parameters>::value, #name \
                  " in tavlo.h differs from its line in tavlo_exports.inc");
#include "tavlo_exports.inc"
#undef TAVLO_EXPORT

using namespace tavlo_test;

struct ExportLine {
    std::string name;
    std::function<TavloStatus(std::uint16_t stamp)> callExport;
    std::function<TavloStatus(tavlo::TavloIoctl& binding, std::uint16_t stamp)> callBinding;
    std::vector<std::uint32_t> requests;
};

void PrintTo(const ExportLine& line, std::ostream* os) { *os << line.name; }

#define TAVLO_UNWRAP(...) __VA_ARGS__
#define TAVLO_EXPORT(name, command, parameters, arguments, requests)                         \
    ExportLine{#name,                                                                        \
               [](std::uint16_t fresh) {                                                     \
                   struct : ExportArguments {                                                \
                       TavloStatus Run() { return name arguments; }                          \
                   } call;                                                                   \
                   call.stamp[0] = fresh;                                                    \
                   return call.Run();                                                        \
               },                                                                            \
               [](tavlo::TavloIoctl& binding, std::uint16_t fresh) {                         \
                   struct : ExportArguments {                                                \
                       TavloStatus Run(tavlo::TavloIoctl& b) { return b.command arguments; } \
                   } call;                                                                   \
                   call.stamp[0] = fresh;                                                    \
                   return call.Run(binding);                                                 \
               },                                                                            \
               {TAVLO_UNWRAP requests}},
const std::vector<ExportLine> kLines = {
#include "tavlo_exports.inc"
};
#undef TAVLO_EXPORT
#undef TAVLO_UNWRAP

class EachExportLine : public ::testing::TestWithParam<ExportLine> {
protected:
    void SetUp() override { FreshDriver(); }
};

TEST_P(EachExportLine, ExportSendsItsRequests) {
    EXPECT_EQ(GetParam().callExport(Model().Stamp()), TavloOk);
    EXPECT_EQ(SentCodes(), GetParam().requests);
}

TEST_P(EachExportLine, BindingLooksUpItsExportAndSendsItsRequests) {
    tavlosim::InProcessLoader loader;
    std::vector<std::string> fatal;
    tavlo::TavloIoctl binding{loader, [&](const std::string& m) { fatal.push_back(m); }};
    EXPECT_EQ(GetParam().callBinding(binding, Model().Stamp()), TavloOk);
    EXPECT_EQ(loader.lookups, std::vector<std::string>{GetParam().name});
    EXPECT_EQ(SentCodes(), GetParam().requests);
    EXPECT_TRUE(fatal.empty());
}

INSTANTIATE_TEST_SUITE_P(Table, EachExportLine, ::testing::ValuesIn(kLines),
                         [](const ::testing::TestParamInfo<ExportLine>& line) { return line.param.name; });

}  // namespace
