// Rules shared by the four bet calculators: unit-amount modes, the star-count
// rule with its bets check, the conversion of reals to 32-bit integers, the
// atoi/atof reading of texts, the precision of plan figures and the
// printf-style texts of plan rows.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace stake {

// ---- Unit-amount modes (金额模式) ------------------------------------------

inline constexpr std::array<std::string_view, 8> kUnitModeItems{
    "1元", "1角", "1分", "1厘", "2元", "2角", "2分", "2厘",
};

// 1 for modes below 4 (including "no selection", -1), 2 from mode 4 on.
int unitFactor(int modeIndex);

// 10 raised to (modeIndex mod 4), converted to an integer: 1, 10, 100 or 1000.
// A negative index has a negative remainder, and 10 raised to it truncates to 0.
int unitDivisor(int modeIndex);

// 1 / unitDivisor as the custom-list plan forms it: the single-precision 0.1
// raised to (modeIndex mod 4), rounded to single precision.
float unitStep(int modeIndex);

// ---- Star counts (星数) -----------------------------------------------------

inline constexpr std::array<std::string_view, 5> kStarCountItems{
    "5星", "4星", "3星", "2星", "1星",
};

// The odds are quoted for three digits; the star count scales them by 100, 10,
// 1, 0.1f or 0.01f (single-precision factors). Any other index leaves them as
// they are.
float scaledOdds(float odds, int starIndex);

// Largest bets count accepted for a star count; nothing for an index outside 0-4.
std::optional<std::int32_t> maxBetCount(int starIndex);

// The five messages of the bets check, one per star count. A calculator with
// its own wording passes its own table to checkBetCount.
using BetCountMessages = std::array<std::string_view, 5>;

inline constexpr BetCountMessages kBetCountMessages{
    "注数数值只能为(1-99999)", "注数数值只能为(1-9999)", "注数数值只能为(1-999)",
    "注数数值只能为(1-99)",    "注数数值只能为(1-9)",
};

// Nothing when `bets` lies in 1..maxBetCount(starIndex) or the index is
// outside 0-4, else the message of that star count.
std::optional<std::string> checkBetCount(int starIndex, std::int64_t bets,
                                         const BetCountMessages& messages = kBetCountMessages);

// ---- Reals to integers ------------------------------------------------------

// The conversion of all four calculators: truncation toward zero through a
// 64-bit integer of which the low 32 bits are taken. A value that is not finite,
// or too large for 64 bits, gives 0 (the integer the hardware produces for it,
// 0x8000000000000000, has zero low bits).
std::int32_t truncateToInt32(double value);

// The same after taking the ceiling: how the calculators round up.
std::int32_t ceilToInt32(double value);

// The truncated value when it is finite and fits a signed 32-bit integer;
// nothing where truncateToInt32 would have wrapped or given 0 for a non-number.
std::optional<std::int32_t> int32IfRepresentable(double value);

// ---- Reading numbers from texts ---------------------------------------------

// The atoi rule: leading white space, an optional sign, decimal digits up to the
// first other character; no digits give 0. Values beyond 32 bits saturate.
std::int32_t leadingInt(std::string_view text);

// The atof rule: leading white space, an optional sign, decimal digits with an
// optional point and exponent; no number gives 0. Independent of the process
// locale (the point is always '.'). Overflow gives an infinity, underflow 0.
double leadingReal(std::string_view text);

// ---- Figures of plans ------------------------------------------------------

// A value as the plans keep their figures: in single precision.
inline float stored(double value) {
    return static_cast<float>(value);
}

// Whether every value is finite (a plan ends before a row that is not).
inline bool allFinite(std::initializer_list<double> values) {
    for (const double value : values) {
        if (!std::isfinite(value))
            return false;
    }
    return true;
}

// ---- Texts of plan rows ----------------------------------------------------

// "%d"
std::string formatInt(std::int64_t value);

// "%0.<decimals>f", always with '.' whatever the process locale.
std::string formatFixed(double value, int decimals);

// "%0.<decimals>f%%"
std::string formatPercent(double value, int decimals);

} // namespace stake
