#pragma once

#include <cstdint>
#include <random>

namespace quillarbor {

// Uniform single-precision numbers 0 <= r < 1. Injected wherever chance is
// involved so that tests can choose r.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual float next() = 0;
};

class ClockSeededRandom final : public RandomSource {
public:
    ClockSeededRandom(); // seeded once, from the clock
    explicit ClockSeededRandom(std::uint64_t seed);
    float next() override;

    // The float that next() makes of 64 random bits: the top 24 bits scaled by
    // 2^-24, so every value is exact and the largest is 1 - 2^-24, never 1.
    static float unitFromBits(std::uint64_t bits);

private:
    std::mt19937_64 engine_;
};

} // namespace quillarbor
