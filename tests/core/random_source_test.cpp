#include "rotation/random_source.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace quillarbor;

namespace {

TEST(RandomSource, ExtremeBitsStayBelowOne) {
    EXPECT_EQ(ClockSeededRandom::unitFromBits(0), 0.0f);
    EXPECT_LT(ClockSeededRandom::unitFromBits(UINT64_MAX), 1.0f);
    EXPECT_GT(ClockSeededRandom::unitFromBits(UINT64_MAX), 0.9999f);
    EXPECT_EQ(ClockSeededRandom::unitFromBits(std::uint64_t{1} << 63), 0.5f);
}

TEST(RandomSource, UniformInTheUnitInterval) {
    ClockSeededRandom random;
    constexpr int kDraws = 100000;
    double sum = 0;
    int low = 0;
    for (int i = 0; i < kDraws; ++i) {
        const float r = random.next();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        sum += r;
        low += r < 0.25f;
    }
    // Far outside chance for a uniform source (standard errors below 0.002).
    EXPECT_NEAR(sum / kDraws, 0.5, 0.02);
    EXPECT_NEAR(static_cast<double>(low) / kDraws, 0.25, 0.02);
}

TEST(RandomSource, SameSeedSameSequence) {
    ClockSeededRandom first(42);
    ClockSeededRandom second(42);
    ClockSeededRandom other(43);
    std::vector<float> a, b, c;
    for (int i = 0; i < 16; ++i) {
        a.push_back(first.next());
        b.push_back(second.next());
        c.push_back(other.next());
    }
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
}

} // namespace
