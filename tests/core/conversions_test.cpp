#include "rotation/conversions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

using namespace quillarbor;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

const std::string kThreeHundredDigits = "1" + std::string(299, '0');
const std::string kFourHundredDigits = "1" + std::string(399, '0');

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    const struct {
        double in;
        double out;
    } cases[] = {
        {0.5, 0.0},
        {1.5, 2.0},
        {2.5, 2.0},
        {3.5, 4.0},
        {-1.5, -2.0},
        {-2.5, -2.0},
        {0.49999999999999994, 0.0},
        {2.5000000000000004, 3.0},
        {74.5, 74.0},
        {112.5, 112.0},
        {4.4, 4.0},
        {4.6, 5.0},
        {-4.6, -5.0},
        {1e300, 1e300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(roundHalfEven(c.in), c.out);
    }
}

TEST(RoundHalfEven, KeepsTheSignOfZero) {
    EXPECT_TRUE(std::signbit(roundHalfEven(-0.5)));
    EXPECT_TRUE(std::signbit(roundHalfEven(-0.2)));
    EXPECT_FALSE(std::signbit(roundHalfEven(0.5)));
}

TEST(ToInt32HalfEven, RejectsWhatDoesNotFit) {
    EXPECT_EQ(toInt32HalfEven(2147483647.4), 2147483647);
    EXPECT_EQ(toInt32HalfEven(-2147483648.5), -2147483648); // the even neighbour still fits
    EXPECT_EQ(toInt32HalfEven(-2.5), -2);
    EXPECT_EQ(toInt32HalfEven(2147483647.5), std::nullopt);
    EXPECT_EQ(toInt32HalfEven(-2147483649.0), std::nullopt);
    EXPECT_EQ(toInt32HalfEven(kInf), std::nullopt);
    EXPECT_EQ(toInt32HalfEven(std::nan("")), std::nullopt);
}

// One row per text: what the minimum test reads (leading number) and what the
// full conversion gives (nullopt: not a number as a whole).
struct NumberText {
    std::string text;
    double leading;
    std::optional<double> whole;
};

// A failing row names its text.
void PrintTo(const NumberText& row, std::ostream* out) {
    *out << '"' << row.text << '"';
}

class NumberTexts : public testing::TestWithParam<NumberText> {};

TEST_P(NumberTexts, ReadAsLeadingAndAsWholeNumber) {
    const NumberText& row = GetParam();
    const double leading = leadingNumber(row.text);
    if (std::isinf(row.leading)) {
        EXPECT_EQ(leading, row.leading);
    } else {
        EXPECT_DOUBLE_EQ(leading, row.leading);
    }
    const auto whole = parseNumber(row.text);
    ASSERT_EQ(whole.has_value(), row.whole.has_value());
    if (whole) {
        EXPECT_DOUBLE_EQ(*whole, *row.whole);
    }
}

INSTANTIATE_TEST_SUITE_P(
    DelayTexts, NumberTexts,
    testing::Values(NumberText{"1", 1, 1}, NumberText{"2.5", 2.5, 2.5}, NumberText{"0.1", 0.1, 0.1},
                    NumberText{"", 0, std::nullopt}, NumberText{"0", 0, 0},
                    NumberText{"-5", -5, -5}, NumberText{"2x", 2, std::nullopt},
                    NumberText{"1e400", kInf, std::nullopt},
                    NumberText{"-1e400", -kInf, std::nullopt},
                    NumberText{"&HFFFFFFFF", 4294967295.0, 4294967295.0},
                    NumberText{kThreeHundredDigits, 1e299, 1e299},
                    NumberText{kFourHundredDigits, kInf, std::nullopt},
                    NumberText{"1 5", 15, std::nullopt}, NumberText{".", 0, std::nullopt},
                    NumberText{"1e-400", 0, 0}, NumberText{"0.05", 0.05, 0.05}));

INSTANTIATE_TEST_SUITE_P(
    Syntax, NumberTexts,
    testing::Values(
        NumberText{" 2 . 5", 2.5, std::nullopt}, NumberText{"\t1\n0", 10, std::nullopt},
        NumberText{" \t2.5\t ", 2.5, 2.5}, NumberText{"1 e 5", 1e5, std::nullopt},
        NumberText{"x2", 0, std::nullopt}, NumberText{"+5", 5, 5}, NumberText{"-.5", -0.5, -0.5},
        NumberText{"1.", 1, 1}, NumberText{".5", 0.5, 0.5}, NumberText{"1.5.3", 1.5, std::nullopt},
        NumberText{"1,5", 1, std::nullopt}, NumberText{"--1", 0, std::nullopt},
        NumberText{"-", 0, std::nullopt}, NumberText{"1e3", 1000, 1000},
        NumberText{"1E+3", 1000, 1000}, NumberText{"25e-1", 2.5, 2.5}, NumberText{"1d2", 100, 100},
        NumberText{"1D-2", 0.01, 0.01}, NumberText{"2e", 2, std::nullopt},
        NumberText{"2e+", 2, std::nullopt}, NumberText{"e5", 0, std::nullopt},
        NumberText{"1e99999999999999999999", kInf, std::nullopt}, NumberText{"0e99999999", 0, 0},
        NumberText{"0.000", 0, 0}, NumberText{"0.00000000000000000000000000001", 1e-29, 1e-29},
        NumberText{"inf", 0, std::nullopt}, NumberText{"nan", 0, std::nullopt},
        NumberText{"0x10", 0, std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    HexAndOctal, NumberTexts,
    testing::Values(NumberText{"&H10", 16, 16}, NumberText{"&h1f", 31, 31},
                    NumberText{"&O17", 15, 15}, NumberText{"&o17", 15, 15},
                    NumberText{"&O8", 0, std::nullopt}, NumberText{"&H", 0, std::nullopt},
                    NumberText{"&HG", 0, std::nullopt}, NumberText{"&10", 0, std::nullopt},
                    NumberText{"&H1G", 1, std::nullopt}, NumberText{" &H 1 0", 16, std::nullopt},
                    NumberText{"&H20000000000000", 9007199254740992.0, 9007199254740992.0},
                    NumberText{"&H20000000000001", kInf, std::nullopt},
                    NumberText{"&H" + std::string(40, 'F'), kInf, std::nullopt}));

TEST(ParseNumber, IgnoresTheCLocale) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
        std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    const auto parsed = parseNumber("2.5");
    const std::string text = numberToText(2.5);
    const double leading = leadingNumber("0.5");
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(parsed, 2.5);
    EXPECT_EQ(text, "2.5");
    EXPECT_EQ(leading, 0.5);
}

TEST(NumberToText, FifteenSignificantDigitsShortestForm) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.1, "0.1"},
        {56, "56"},
        {-2.5, "-2.5"},
        {0.0, "0"},
        {-0.0, "0"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {0.1 + 0.2, "0.3"},
        {100, "100"},
        {12345.678, "12345.678"},
        {4294967295.0, "4294967295"},
        {1e14, "100000000000000"},
        {999999999999999.0, "999999999999999"},
        {999999999999999.9, "1E+15"}, // rounding to 15 digits carries into the exponent
        {1e15, "1E+15"},
        {1e20, "1E+20"},
        {-1e20, "-1E+20"},
        {123456789012345678.0, "1.23456789012346E+17"},
        {1e300, "1E+300"},
        // Rounding the largest doubles up would pass every double: cut instead.
        {std::numeric_limits<double>::max(), "1.79769313486231E+308"},
        {-std::numeric_limits<double>::max(), "-1.79769313486231E+308"},
        {1.797693134862315e308, "1.79769313486231E+308"},
        {1.79769313486231e308, "1.79769313486231E+308"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        {1e-5, "0.00001"},
        {1.25e-5, "0.0000125"},
        {1e-6, "1E-06"},
        {-1.5e-7, "-1.5E-07"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(numberToText(c.value), c.text);
    }
}

TEST(NumberToText, ReadsBackAsTheSameNumber) {
    // The delay box shows the text the countdown later converts: both must agree.
    const double values[] = {0.1, 2.5, 56, -7, 1e20, 1.5e-7, 123456.789, 4294967295.0};
    for (const double value : values) {
        SCOPED_TRACE(value);
        const auto back = parseNumber(numberToText(value));
        ASSERT_TRUE(back.has_value());
        EXPECT_DOUBLE_EQ(*back, value);
    }
    // Found by fuzzing: the text of the largest double read back as out of range.
    for (const double largest : {std::numeric_limits<double>::max(), -1.7976931348623155e308}) {
        SCOPED_TRACE(largest);
        const auto back = parseNumber(numberToText(largest));
        ASSERT_TRUE(back.has_value());
        EXPECT_NEAR(*back, largest, 1e-14 * std::fabs(largest));
    }
    EXPECT_EQ(parseNumber(numberToText(kInf)), std::nullopt);
    EXPECT_EQ(parseNumber(numberToText(std::nan(""))), std::nullopt);
}

TEST(Booleans, WordsAndNumbers) {
    const struct {
        const char* text;
        std::optional<bool> value;
    } cases[] = {
        {"True", true},
        {"true", true},
        {"TRUE", true},
        {" True ", true},
        {"False", false},
        {"fALSE", false},
        {"0", false},
        {"0.0", false},
        {"1", true},
        {"-1", true},
        {"0.5", true},
        {"&H0", false},
        {"maybe", std::nullopt},
        {"", std::nullopt},
        {"Tru", std::nullopt},
        {"yes", std::nullopt},
        {"1x", std::nullopt},
        {"True False", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(textToBool(c.text), c.value);
    }
    EXPECT_EQ(boolToText(true), "True");
    EXPECT_EQ(boolToText(false), "False");
    EXPECT_EQ(textToBool(boolToText(true)), true);
    EXPECT_EQ(textToBool(boolToText(false)), false);
}

} // namespace
