#include "rotation/random_source.h"

#include <chrono>

namespace quillarbor {

namespace {

std::uint64_t clockSeed() {
    const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
    return static_cast<std::uint64_t>(ticks);
}

} // namespace

ClockSeededRandom::ClockSeededRandom() : engine_(clockSeed()) {
}

ClockSeededRandom::ClockSeededRandom(std::uint64_t seed) : engine_(seed) {
}

float ClockSeededRandom::next() {
    return unitFromBits(engine_());
}

float ClockSeededRandom::unitFromBits(std::uint64_t bits) {
    // A float has 24 significant bits; taking exactly that many keeps the value
    // exact. Scaling a wider value (or a double) could round up to 1.
    constexpr float kScale = 1.0f / 16777216.0f;
    return static_cast<float>(bits >> 40) * kScale;
}

} // namespace quillarbor
