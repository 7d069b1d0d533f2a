#include "stake/common/stake_rules.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace stake {

static_assert(std::numeric_limits<double>::is_iec559 && std::numeric_limits<float>::is_iec559,
              "the plans rely on IEEE single and double precision");

namespace {

struct StarCount {
    double oddsFactor;
    std::int32_t maxBets;
};

// The factors 0.1 and 0.01 are single-precision constants widened to double.
constexpr std::array<StarCount, 5> kStarCounts{{
    {100.0, 99999},
    {10.0, 9999},
    {1.0, 999},
    {static_cast<double>(0.1f), 99},
    {static_cast<double>(0.01f), 9},
}};

bool validStarIndex(int starIndex) {
    return starIndex >= 0 && starIndex < static_cast<int>(kStarCounts.size());
}

// White space as the C library's isspace sees it in the "C" locale.
bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipSpace(std::string_view text, std::size_t at) {
    while (at < text.size() && isCSpace(text[at]))
        ++at;
    return at;
}

std::size_t skipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at;
}

// Decimal exponent of the first significant digit of a mantissa such as
// "0012.5" or ".0003" (the mantissa has at least one non-zero digit).
long long leadingDigitExponent(std::string_view mantissa) {
    const std::size_t point = mantissa.find('.');
    const std::size_t intEnd = point == std::string_view::npos ? mantissa.size() : point;
    for (std::size_t i = 0; i < intEnd; ++i) {
        if (mantissa[i] != '0')
            return static_cast<long long>(intEnd - i) - 1;
    }
    for (std::size_t i = intEnd + 1; i < mantissa.size(); ++i) {
        if (mantissa[i] != '0')
            return -static_cast<long long>(i - intEnd);
    }
    return 0;
}

// Exponent digits read with saturation, so that "1e99999999999999999999"
// cannot overflow.
long long saturatedExponent(std::string_view digits, bool negative) {
    constexpr long long kLimit = 1000000000;
    long long value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
        if (value > kLimit) {
            value = kLimit;
            break;
        }
    }
    return negative ? -value : value;
}

} // namespace

int unitFactor(int modeIndex) {
    return modeIndex < 4 ? 1 : 2;
}

int unitDivisor(int modeIndex) {
    const int exponent = modeIndex % 4;
    if (exponent < 0)
        return 0;
    int divisor = 1;
    for (int i = 0; i < exponent; ++i)
        divisor *= 10;
    return divisor;
}

float unitStep(int modeIndex) {
    const int exponent = modeIndex % 4;
    const double tenth = static_cast<double>(0.1f);
    double step = 1.0;
    for (int i = 0; i < exponent; ++i)
        step *= tenth;
    for (int i = exponent; i < 0; ++i)
        step /= tenth;
    return static_cast<float>(step);
}

float scaledOdds(float odds, int starIndex) {
    if (!validStarIndex(starIndex))
        return odds;
    return static_cast<float>(static_cast<double>(odds) * kStarCounts[starIndex].oddsFactor);
}

std::optional<std::int32_t> maxBetCount(int starIndex) {
    if (!validStarIndex(starIndex))
        return std::nullopt;
    return kStarCounts[starIndex].maxBets;
}

std::optional<std::string> checkBetCount(int starIndex, std::int64_t bets,
                                         const BetCountMessages& messages) {
    const auto maxBets = maxBetCount(starIndex);
    if (!maxBets || (bets >= 1 && bets <= *maxBets))
        return std::nullopt;
    return std::string(messages[starIndex]);
}

std::int32_t truncateToInt32(double value) {
    if (!std::isfinite(value))
        return 0;
    constexpr double kTwo63 = 9223372036854775808.0;
    const double whole = std::trunc(value);
    if (whole >= kTwo63 || whole < -kTwo63)
        return 0;
    const auto wide = static_cast<std::uint64_t>(static_cast<std::int64_t>(whole));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(wide));
}

std::int32_t ceilToInt32(double value) {
    return truncateToInt32(std::ceil(value));
}

std::optional<std::int32_t> int32IfRepresentable(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    const double whole = std::trunc(value);
    if (whole < -2147483648.0 || whole > 2147483647.0)
        return std::nullopt;
    return static_cast<std::int32_t>(whole);
}

std::int32_t leadingInt(std::string_view text) {
    std::size_t at = skipSpace(text, 0);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    constexpr std::int64_t kBeyond = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (; at < text.size() && isDigit(text[at]); ++at) {
        magnitude = magnitude * 10 + (text[at] - '0');
        if (magnitude > kBeyond)
            magnitude = kBeyond;
    }
    if (negative)
        return static_cast<std::int32_t>(-magnitude);
    return static_cast<std::int32_t>(magnitude == kBeyond ? kBeyond - 1 : magnitude);
}

double leadingReal(std::string_view text) {
    std::size_t at = skipSpace(text, 0);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    const std::size_t mantissaStart = at;
    const std::size_t intEnd = skipDigits(text, at);
    std::size_t mantissaEnd = intEnd;
    if (intEnd < text.size() && text[intEnd] == '.') {
        const std::size_t fracEnd = skipDigits(text, intEnd + 1);
        if (fracEnd > intEnd + 1 || intEnd > mantissaStart)
            mantissaEnd = fracEnd;
    }
    if (mantissaEnd == mantissaStart)
        return 0.0;

    std::size_t numberEnd = mantissaEnd;
    std::string_view exponentDigits;
    bool negativeExponent = false;
    if (mantissaEnd < text.size() && (text[mantissaEnd] == 'e' || text[mantissaEnd] == 'E')) {
        std::size_t digitsStart = mantissaEnd + 1;
        if (digitsStart < text.size() && (text[digitsStart] == '+' || text[digitsStart] == '-')) {
            negativeExponent = text[digitsStart] == '-';
            ++digitsStart;
        }
        const std::size_t digitsEnd = skipDigits(text, digitsStart);
        if (digitsEnd > digitsStart) {
            numberEnd = digitsEnd;
            exponentDigits = text.substr(digitsStart, digitsEnd - digitsStart);
        }
    }

    const std::string_view number = text.substr(mantissaStart, numberEnd - mantissaStart);
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                              std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        const std::string_view mantissa = text.substr(mantissaStart, mantissaEnd - mantissaStart);
        const long long magnitude =
            leadingDigitExponent(mantissa) + saturatedExponent(exponentDigits, negativeExponent);
        value = magnitude >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (error != std::errc{}) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::string formatInt(std::int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string formatFixed(double value, int decimals) {
    // Large enough for DBL_MAX written in full with a sign and the decimals.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc{})
        return {};
    return std::string(buffer, result.ptr);
}

std::string formatPercent(double value, int decimals) {
    return formatFixed(value, decimals) + '%';
}

} // namespace stake
