#include "rotation/countdown.h"

#include "rotation/conversions.h"

namespace quillarbor {

namespace {

// Bytes of the UTF-8 sequence that starts at `text[i]`. A byte that cannot
// start a valid sequence, or a sequence cut short, counts as one character of
// its own, so every character is 1 to 4 bytes.
std::size_t sequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    }
    if (i + length > text.size()) {
        return 1;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
            return 1;
        }
    }
    return length;
}

} // namespace

std::optional<std::int32_t> drawCountdownSeconds(double delayMinutes, float r) {
    const double d = delayMinutes;
    const double random = r;
    // Kept in this order of operations: the rounding of the halfway cases
    // (0.1 minute gives just above 4.5 seconds) depends on it.
    const double seconds = (d + (d * 0.5 * random - d * 0.25)) * 60.0;
    return toInt32HalfEven(seconds);
}

std::string countdownTooltip(std::string_view countdownText, std::string_view lastShown) {
    std::string text(countdownText);
    text += " secs to go. Last shown: ";
    text += lastShown;
    return text;
}

std::string fitTrayTip(std::string_view text) {
    std::size_t end = 0;
    for (std::size_t characters = 0; end < text.size() && characters < kTrayTipMaxChars;
         ++characters) {
        end += sequenceLength(text, end);
    }
    return std::string(text.substr(0, end));
}

} // namespace quillarbor
