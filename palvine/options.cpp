#include "options.h"

#include <string>

namespace palvine {
namespace {

template <typename Value>
struct Choice {
    const char* option;  // upper case
    Value value;
};

// The value of the last option of `choices` found in `upper`, else `value`.
template <typename Value, std::size_t N>
Value LastFound(const std::string& upper, const Choice<Value> (&choices)[N], Value value) {
    for (const Choice<Value>& choice : choices) {
        if (upper.find(choice.option) != std::string::npos) value = choice.value;
    }
    return value;
}

constexpr Choice<bool> kTopMost[] = {{"/NOTOP", false}, {"/TOP", true}};
constexpr Choice<WindowSize> kSize[] = {
    {"/SMALLSIZE", WindowSize::kSmall}, {"/LARGESIZE", WindowSize::kLarge}, {"/NMLSIZE", WindowSize::kNormal}};
constexpr Choice<std::uint8_t> kNormal[] = {
    {"/NORMALMIDDLE", kMiddleButton}, {"/NORMALRIGHT", kRightButton}, {"/NORMALLEFT", kLeftButton}};
constexpr Choice<std::uint8_t> kOnce[] = {
    {"/ONCEMIDDLE", kMiddleButton}, {"/ONCELEFT", kLeftButton}, {"/ONCERIGHT", kRightButton}};

}  // namespace

Options ReadOptions(std::string_view arguments) {
    // Only ASCII letters change case: the options are plain ASCII, and a
    // byte of another code page must never turn into one of their letters.
    std::string upper(arguments);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    Options options;
    options.TopMost = LastFound(upper, kTopMost, options.TopMost);
    options.SizeCode = LastFound(upper, kSize, options.SizeCode);
    options.NormalButton = LastFound(upper, kNormal, options.NormalButton);
    options.OnceButton = LastFound(upper, kOnce, options.OnceButton);
    return options;
}

}  // namespace palvine
