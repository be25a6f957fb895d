// The numeric reading of any text ends, and agrees with itself on the text
// without its blanks.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/numeric_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double value = lomi::NumericValue(text);
    if (std::isnan(value)) std::abort();

    std::string compact;
    for (char c : text) {
        if (c != ' ' && c != '\t') compact.push_back(c);
    }
    if (lomi::NumericValue(compact) != value) std::abort();

    const auto small = lomi::ToInt16(value);
    if (small && std::fabs(*small - value) > 0.5) std::abort();
    if (lomi::IsWholeNumberText(text) && !std::isfinite(value) && std::fabs(value) != HUGE_VAL) {
        std::abort();
    }
    return 0;
}
