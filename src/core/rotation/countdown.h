#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillarbor {

inline constexpr double kMinimumDelay = 0.1;
inline constexpr std::string_view kMinimumDelayText = "0.1";
// The largest whole number of minutes whose every countdown fits 32 bits: a countdown is at most
// 75 seconds a minute.
inline constexpr std::string_view kLargestDelayText = "28633115";
inline constexpr std::string_view kInitialTrayTip = " Quillarbor ";
inline constexpr std::size_t kTrayTipMaxChars = 63;

// Seconds of a countdown for a delay in minutes: 60 * d * (0.75 + 0.5 * r) in
// double precision, rounded half to even. nullopt when it does not fit 32 bits.
std::optional<std::int32_t> drawCountdownSeconds(double delayMinutes, float r);

// "57 secs to go. Last shown: sunset.bmp"
std::string countdownTooltip(std::string_view countdownText, std::string_view lastShown);

// The tooltip as the notification area can hold it: at most 63 characters,
// keeping the beginning and never cutting a UTF-8 sequence in half.
std::string fitTrayTip(std::string_view text);

} // namespace quillarbor
