#include "rotation/countdown.h"

#include "rotation/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace quillarbor;

namespace {

TEST(DrawCountdown, SecondsAroundTheDelayRoundedHalfToEven) {
    const struct {
        double delay;
        float r;
        std::int32_t seconds;
    } cases[] = {
        {1, 0.0f, 45},
        {1, 0.5f, 60},
        {1, 0.98f, 74},       // 74.4
        {1, 0.99999994f, 75}, // largest r
        {0.5, 0.0f, 22},      // exactly 22.5
        {0.1, 0.0f, 5},       // just above 4.5, since 0.1 is not exact
        {0.1, 0.99999994f, 7},
        {2.5, 0.0f, 112}, // exactly 112.5
        {2.5, 0.99999994f, 187},
        {1.5, 0.0f, 68}, // exactly 67.5 goes up to the even 68
        {47721858, 0.0f, 2147483610},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "delay=" << c.delay << " r=" << c.r);
        EXPECT_EQ(drawCountdownSeconds(c.delay, c.r), c.seconds);
    }
}

TEST(DrawCountdown, OneMinuteStaysWithin45And75) {
    for (int k = 0; k < 1000; ++k) {
        const float r = static_cast<float>(k) / 1000.0f;
        const auto seconds = drawCountdownSeconds(1.0, r);
        ASSERT_TRUE(seconds.has_value()) << r;
        EXPECT_GE(*seconds, 45) << r;
        EXPECT_LE(*seconds, 75) << r;
    }
}

TEST(DrawCountdown, NothingWhenTheSecondsDoNotFit) {
    const double tooLarge[] = {47721858, 4294967295.0, 1e300,
                               std::numeric_limits<double>::infinity(), std::nan("")};
    for (const double delay : tooLarge) {
        SCOPED_TRACE(delay);
        EXPECT_EQ(drawCountdownSeconds(delay, 0.99f), std::nullopt);
    }
}

// The delay box's texts as start-up and the change event meet them: those that
// pass the minimum test are converted as a whole and drawn.
TEST(DrawCountdown, FromDelayTexts) {
    const struct {
        std::string text;
        bool replacedByMinimum;
        std::optional<std::int32_t> seconds; // with r = 0, when not replaced
    } cases[] = {
        {"1", false, 45},
        {"2.5", false, 112},
        {"0.1", false, 5},
        {"", true, {}},
        {"0", true, {}},
        {"-5", true, {}},
        {"1e-400", true, {}},
        {".", true, {}},
        {"2x", false, std::nullopt},
        {"1 5", false, std::nullopt},
        {"1e400", false, std::nullopt},
        {"&HFFFFFFFF", false, std::nullopt},
        {"1" + std::string(299, '0'), false, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const bool replaced = leadingNumber(c.text) < kMinimumDelay;
        EXPECT_EQ(replaced, c.replacedByMinimum);
        if (replaced) {
            continue;
        }
        const auto delay = parseNumber(c.text);
        const auto seconds = delay ? drawCountdownSeconds(*delay, 0.0f) : std::nullopt;
        EXPECT_EQ(seconds, c.seconds);
    }
    EXPECT_EQ(parseNumber(kMinimumDelayText), kMinimumDelay);
}

TEST(CountdownTooltip, CountdownThenLastShown) {
    EXPECT_EQ(countdownTooltip("57", "sunset.bmp"), "57 secs to go. Last shown: sunset.bmp");
    EXPECT_EQ(countdownTooltip("30", "b.bmp"), "30 secs to go. Last shown: b.bmp");
    EXPECT_EQ(countdownTooltip("45", ""), "45 secs to go. Last shown: ");
}

TEST(FitTrayTip, KeepsAtMost63CharactersFromTheStart) {
    const std::string a62(62, 'a');
    const std::string e = "\xC3\xA9";             // 2 bytes
    const std::string kanji = "\xE6\x97\xA5";     // 3 bytes
    const std::string emoji = "\xF0\x9F\x8C\x85"; // 4 bytes
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"", ""},
        {std::string(kInitialTrayTip), std::string(kInitialTrayTip)},
        {std::string(63, 'a'), std::string(63, 'a')},
        {std::string(64, 'a'), std::string(63, 'a')},
        {a62 + e, a62 + e},
        {a62 + e + "x", a62 + e},
        {a62 + "x" + e, a62 + "x"},
        {a62 + kanji + kanji, a62 + kanji},
        {a62 + emoji + emoji, a62 + emoji},
        {std::string(100, '\x80'), std::string(63, '\x80')}, // stray continuation bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(fitTrayTip(c.in), c.out);
    }
}

TEST(FitTrayTip, NeverCutsASequence) {
    const std::string mixed = "\xC3\xA9\xE6\x97\xA5\xF0\x9F\x8C\x85z";
    const std::string lastShown = mixed + mixed + mixed + mixed;
    // 25 characters of fixed text follow the digits: the cut falls on every
    // position of the mixed part.
    for (std::size_t digits = 28; digits <= 38; ++digits) {
        const std::string text = countdownTooltip(std::string(digits, '9'), lastShown);
        const std::string fitted = fitTrayTip(text);
        SCOPED_TRACE(digits);
        ASSERT_EQ(text.compare(0, fitted.size(), fitted), 0);
        std::size_t characters = 0;
        for (const char c : fitted) {
            characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }
        EXPECT_EQ(characters, kTrayTipMaxChars);
        ASSERT_LT(fitted.size(), text.size());
        EXPECT_NE(static_cast<unsigned char>(text[fitted.size()]) & 0xC0, 0x80);
    }
}

} // namespace
