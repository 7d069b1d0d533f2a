#include "shell/field_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace shell {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Optional sign and at least one digit, nothing else; the magnitude saturates
// so that any over-long text is simply out of range.
std::optional<std::int64_t> parseSignedDigits(std::string_view text) {
    text = trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    std::int64_t magnitude = 0;
    constexpr std::int64_t cap = std::int64_t{1} << 40;
    for (char c : text) {
        if (!isDigit(c))
            return std::nullopt;
        if (magnitude < cap)
            magnitude = magnitude * 10 + (c - '0');
    }
    return negative ? -magnitude : magnitude;
}

// Roughly the power of ten of a plain decimal number ("123e5" → 8, "0.001" →
// −2); only its sign matters, to tell a too-large value from a too-small one.
std::int64_t decimalMagnitude(std::string_view text) {
    std::size_t i = text.empty() || text.front() != '-' ? 0 : 1;
    std::int64_t integerDigits = 0;
    bool significant = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        significant = significant || text[i] != '0';
        integerDigits += significant ? 1 : 0;
    }
    std::int64_t leadingZeros = 0;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && isDigit(text[i]); ++i) {
            if (!significant && text[i] == '0')
                ++leadingZeros;
            else
                significant = true;
        }
    }
    std::int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        const bool negative = i + 1 < text.size() && text[i + 1] == '-';
        for (++i; i < text.size(); ++i) {
            if (isDigit(text[i]) && exponent < 100000000)
                exponent = exponent * 10 + (text[i] - '0');
        }
        exponent = negative ? -exponent : exponent;
    }
    return exponent + (integerDigits > 0 ? integerDigits : -leadingZeros);
}

} // namespace

std::optional<std::int32_t> parseInt32Field(std::string_view text) {
    const auto value = parseSignedDigits(text);
    if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
        *value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

std::optional<std::uint32_t> parseUint32Field(std::string_view text) {
    const std::string_view body = trimmed(text);
    if (!body.empty() && body.front() == '-')
        return std::nullopt;
    const auto value = parseSignedDigits(body);
    if (!value || *value > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

std::optional<float> parseFloatField(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    // Only plain decimal notation: from_chars would also take "inf" and "nan".
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-')
        ++i;
    std::size_t mantissaDigits = 0;
    while (i < text.size() && isDigit(text[i]))
        ++i, ++mantissaDigits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i, ++mantissaDigits;
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t exponentDigits = 0;
        while (i < text.size() && isDigit(text[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;

    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end != text.data() + text.size())
        return std::nullopt;
    if (error == std::errc::result_out_of_range) {
        // from_chars leaves the value alone then: tell overflow, which is no
        // number of the field's type, from underflow, which reads as zero.
        if (decimalMagnitude(text) > 0)
            return std::nullopt;
        value = 0;
    }
    const float stored = static_cast<float>(value);
    if (!std::isfinite(stored))
        return std::nullopt;
    return stored;
}

std::string formatFloatField(float value) {
    if (!std::isfinite(value))
        return "0";
    char buffer[64];
    for (int precision = 6; precision <= 9; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, static_cast<double>(value));
        if (std::strtof(buffer, nullptr) == value)
            break;
    }
    return buffer;
}

std::uint32_t hostHandleFromArgument(std::string_view argument) {
    std::size_t i = 0;
    while (i < argument.size() && isSpace(argument[i]))
        ++i;
    bool negative = false;
    if (i < argument.size() && (argument[i] == '+' || argument[i] == '-')) {
        negative = argument[i] == '-';
        ++i;
    }
    std::int64_t magnitude = 0;
    for (; i < argument.size() && isDigit(argument[i]); ++i) {
        magnitude = magnitude * 10 + (argument[i] - '0');
        if (magnitude > std::numeric_limits<std::uint32_t>::max())
            return 0;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min())
        return 0;
    return static_cast<std::uint32_t>(value);
}

} // namespace shell
