// The number conversions against arbitrary texts and arbitrary doubles: no
// crash, no undefined behaviour, and every number written reads back.
#include "rotation/conversions.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

using namespace quillarbor;

namespace {

[[noreturn]] void fail(const char* what, double x) {
    std::fprintf(stderr, "conversions_fuzz: %s (%a, %.17g)\n", what, x, x);
    std::abort();
}

// A finite number written with 15 significant digits reads back within one unit
// of the fifteenth; anything else writes as a text that is not a number.
void checkWritten(double x) {
    const std::string text = numberToText(x);
    const auto back = parseNumber(text);
    if (!std::isfinite(x)) {
        if (back) {
            fail("a non-finite value wrote as a number", x);
        }
        return;
    }
    if (!back) {
        fail("numberToText wrote a text parseNumber rejects", x);
    }
    if (std::fabs(*back - x) > 1e-14 * std::fabs(x)) {
        fail("numberToText lost more than fifteen digits", x);
    }
    if (numberToText(*back) != text) {
        fail("a number read back writes differently", x);
    }

    const auto whole = toInt32HalfEven(x);
    if (whole && std::fabs(static_cast<double>(*whole) - x) > 0.5) {
        fail("rounding moved the value by more than a half", x);
    }
    if (!whole && std::fabs(x) < 2147483647.0) {
        fail("a value well inside 32 bits did not round into them", x);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const double leading = leadingNumber(text);
    if (std::isnan(leading)) {
        fail("leadingNumber gave NaN", leading);
    }
    const auto whole = parseNumber(text);
    const auto truth = textToBool(text);
    if (whole) {
        // A whole number is also its own leading number, and true exactly when not 0.
        if (!std::isfinite(*whole)) {
            fail("parseNumber accepted a value that is not finite", *whole);
        }
        if (leading != *whole) {
            fail("leadingNumber and parseNumber disagree", *whole);
        }
        if (!truth || *truth != (*whole != 0.0)) {
            fail("textToBool disagrees with parseNumber", *whole);
        }
        checkWritten(*whole);
    }

    // The first eight bytes as a double reach values no text in the corpus names.
    if (size >= sizeof(double)) {
        double x = 0.0;
        std::memcpy(&x, data, sizeof x);
        checkWritten(x);
    }
    return 0;
}
