// What a tool hands to its host, read back from the raw bytes of one
// WM_COPYDATA: the calculators' fixed plan records and the filters' number
// texts. Portable: no window system, so it can be tested anywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace hostprobe {

using Bytes = std::span<const std::uint8_t>;

// Code page 936 bytes to UTF-8. The Windows side passes the system's
// converter; without one, bytes above 0x7F are shown as \xNN.
using Cp936ToUtf8 = std::function<std::string(std::string_view)>;

inline constexpr std::size_t kPlanRecordSize = 2032;
inline constexpr std::size_t kSegmentRecordSize = 2040;
inline constexpr std::size_t kRecordTextSize = 2000;

// The layout the four calculators share, little-endian.
struct PlanRecordFields {
    std::int32_t kind = 0; // 1 stakeladder, 2 wavestake, 3 snowballstake, 5 segmentstake
    std::int32_t waves = 0;
    float profitGoal = 0;
    std::int32_t periods = 0; // or the maximum multiplier, or the roll periods
    std::int32_t bets = 0;
    std::int32_t starIndex = 0;
    std::int32_t modeIndex = 0;
    std::string text; // the text area up to its first zero byte, code page 936
    bool textTerminated = true;
    std::int32_t startMultiplier = 0;
    // The segmented record's 8 more bytes.
    std::optional<std::int32_t> hitPeriods;
    std::optional<float> targetProfit;
};

// A record is 2032 or 2040 bytes whose first word is 1, 2, 3 or 5.
std::optional<PlanRecordFields> readPlanRecord(Bytes bytes);

// The filters' lists: digits and spaces, each number followed by one space,
// optionally closed by a zero byte.
struct NumberTextFields {
    std::size_t count = 0;
    int digits = 0; // digits per number; 0 when the numbers differ in length
    bool terminatingZero = false;
    bool oneSpaceAfterEach = true;
    std::string firstNumbers; // the first few, for a glance
};

std::optional<NumberTextFields> readNumberText(Bytes bytes);

// One line for a person: the record's fields, the list's shape, or the first
// bytes of anything else. UTF-8.
std::string describePayload(Bytes bytes, const Cp936ToUtf8& toUtf8 = {});

// Lowercase hex of every byte, two digits each, nothing between.
std::string toHex(Bytes bytes);

} // namespace hostprobe
