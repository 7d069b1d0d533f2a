#include "stake/common/stake_rules.h"

#include "stake/common/column_format.h"

#include "exact_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

// clang-format off

using namespace stake;

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(StakeRules, UnitModes) {
    const float hundredth = std::nextafter(0.01f, 1.0f); // 0.1f squared, rounded once
    const std::tuple<int, int, int, float> cases[] = { // mode, factor, divisor, step
        {0, 1, 1, 1.0f},      {1, 1, 10, 0.1f},     {2, 1, 100, hundredth}, {3, 1, 1000, 0.001f},
        {4, 2, 1, 1.0f},      {5, 2, 10, 0.1f},     {6, 2, 100, hundredth}, {7, 2, 1000, 0.001f},
        // Beyond the list the divisors repeat with factor 2; no selection (-1)
        // has divisor 0, which is why the plans refuse it.
        {8, 2, 1, 1.0f},      {11, 2, 1000, 0.001f}, {2147483647, 2, 1000, 0.001f},
        {-1, 1, 0, 10.0f},    {-4, 1, 1, 1.0f},
    };
    for (const auto& [mode, factor, divisor, step] : cases) {
        EXPECT_EQ(unitFactor(mode), factor) << mode;
        EXPECT_EQ(unitDivisor(mode), divisor) << mode;
        EXPECT_EQ(unitStep(mode), step) << mode;
    }
}

TEST(StakeRules, StarCountsScaleOddsAndCheckBets) {
    // The star index, "%0.4f" of 1956 scaled in single precision, the bets and their check.
    const std::tuple<int, const char*, std::int64_t, std::optional<std::string>> cases[] = {
        {0, "195600.0000", 99999, {}},  {0, "195600.0000", 100000, "注数数值只能为(1-99999)"},
        {0, "195600.0000", 0, "注数数值只能为(1-99999)"},
        {1, "19560.0000", 9999, {}},    {1, "19560.0000", 10000, "注数数值只能为(1-9999)"},
        {2, "1956.0000", 1, {}},        {2, "1956.0000", 1000, "注数数值只能为(1-999)"},
        {2, "1956.0000", -5, "注数数值只能为(1-999)"},
        {3, "195.6000", 99, {}},        {3, "195.6000", 100, "注数数值只能为(1-99)"},
        {4, "19.5600", 9, {}},          {4, "19.5600", 0, "注数数值只能为(1-9)"},
        {4, "19.5600", 4294967295, "注数数值只能为(1-9)"},
        // No star count: nothing checked or scaled.
        {-1, "1956.0000", 0, {}},       {5, "1956.0000", 1000000, {}},
    };
    for (const auto& [star, odds, bets, message] : cases) {
        EXPECT_EQ(formatFixed(scaledOdds(1956.0f, star), 4), odds) << star;
        EXPECT_EQ(checkBetCount(star, bets), message) << star << " " << bets;
    }
    EXPECT_EQ(scaledOdds(1.0f, 3), 0.1f) << "a single-precision factor";
    EXPECT_EQ(scaledOdds(1.0f, 4), 0.01f);
}

TEST(StakeRules, RealsToIntegers) {
    // A value, truncated, its ceiling, and truncated if it fits 32 bits.
    const std::tuple<double, std::int32_t, std::int32_t, std::optional<std::int32_t>> cases[] = {
        {1.9, 1, 2, 1},                     {-1.9, -1, -1, -1},
        {-0.5, 0, 0, 0},                    {16.0001, 16, 17, 16},
        {2147483647.9, INT32_MAX, INT32_MIN, INT32_MAX}, // wraps modulo 2^32
        {3000000000.0, -1294967296, -1294967296, {}},    {4294967301.0, 5, 5, {}},
        {-2147483648.5, INT32_MIN, INT32_MIN, INT32_MIN}, {-2147483649.0, INT32_MAX, INT32_MAX, {}},
        {9223372036854774784.0, -1024, -1024, {}},       // the largest double below 2^63
        {9223372036854775808.0, 0, 0, {}},  {-9223372036854775808.0, 0, 0, {}},
        {1e300, 0, 0, {}},                  {-kInf, 0, 0, {}},    {std::nan(""), 0, 0, {}},
    };
    for (const auto& [value, truncated, ceiling, checked] : cases) {
        EXPECT_EQ(truncateToInt32(value), truncated) << value;
        EXPECT_EQ(ceilToInt32(value), ceiling) << value;
        EXPECT_EQ(int32IfRepresentable(value), checked) << value;
    }
}

// The atoi and atof rules on the same texts.
TEST(StakeRules, LeadingNumbers) {
    const std::string zeros(400, '0');
    const std::tuple<std::string, std::int32_t, double> cases[] = {
        {"1956", 1956, 1956.0},     {" 1956.000000", 1956, 1956.0},  {"\t\n\v\f\r-2.5x", -2, -2.5},
        {"+3.25e2", 3, 325.0},      {".5", 0, 0.5},      {"5.", 5, 5.0},      {"12", 12, 12.0},
        {".", 0, 0.0},              {"-.", 0, 0.0},      {"- 5", 0, 0.0},     {"+-5", 0, 0.0},
        {"1e", 1, 1.0},             {"1e+", 1, 1.0},     {"2E-1", 2, 0.2},    {"007", 7, 7.0},
        {"abc", 0, 0.0},            {"", 0, 0.0},        {"0x10", 0, 0.0},    {"inf", 0, 0.0},
        {"17,5", 17, 17.0},         {"1e40", 1, 1e40},   {"-1e400", -1, -kInf}, {"1e-400", 1, 0.0},
        {"2147483648", INT32_MAX, 2147483648.0},   {"-2147483648", INT32_MIN, -2147483648.0},
        {"99999999999999999999999", INT32_MAX, 1e23},
        {"-99999999999999999999999", INT32_MIN, -1e23},
        {"0.000000000000000000000000000000000000000000001e-400", 0, 0.0},
        {"123456789012345678901234567890e99999999999999999999", INT32_MAX, kInf},
        // Beyond double the magnitude of the whole number decides, not its exponent's alone.
        {"1" + zeros + "e-5", INT32_MAX, kInf},   {zeros + "1e-400", 1, 0.0},
        {"0." + zeros + "1e5", 0, 0.0},
    };
    for (const auto& [text, integer, real] : cases) {
        EXPECT_EQ(leadingInt(ExactText(text)), integer) << text.substr(0, 60);
        EXPECT_EQ(leadingReal(ExactText(text)), real) << text.substr(0, 60);
    }
}

TEST(StakeRules, ColumnLayouts) {
    const std::pair<std::string_view, std::vector<ColumnLayout>> cases[] = {
        {"期数,40;当前倍数,80;", {{"期数", 40}, {"当前倍数", 80}}},    {"期数,40;当前倍数,80", {{"期数", 40}, {"当前倍数", 80}}},
        {"", {}},                      {"期数;40;", {}},                  {"a,;b,5", {{"a", 0}, {"b", 5}}},
        {"a,x;", {{"a", 0}}},          {"a,12px;", {{"a", 12}}},          {"a, -5;", {{"a", -5}}},
        {",10;", {{"", 10}}},          {"a,1,2;", {{"a", 1}}},            {",,,", {{"", 0}}},
        {"a,1;tail", {{"a", 1}}},      {"a,10;;b,20", {{"a", 10}, {";b", 20}}}, // ";b" is the next name
        {"a,99999999999999999999;", {{"a", INT32_MAX}}},    {"a,-99999999999999999999;", {{"a", INT32_MIN}}},
    };
    for (const auto& [spec, columns] : cases)
        EXPECT_EQ(parseColumnLayout(spec), columns) << spec;
}

// The texts are those of printf in the "C" locale, whatever the process locale.
TEST(StakeRules, TextsOfPlanRows) {
    std::mt19937_64 random(12345);
    std::vector<double> values{0.125, 0.375, 2.5, -0.0, 1e300, -1e300, 5e-324};
    for (int i = 0; i < 5000; ++i)
        values.push_back(std::uniform_real_distribution<double>(-1.0, 1.0)(random) *
                         std::pow(10.0, std::uniform_int_distribution<int>(-12, 40)(random)));
    char expected[512];
    for (const double value : values) {
        for (const int decimals : {2, 3, 4, 6}) {
            std::snprintf(expected, sizeof expected, "%0.*f", decimals, value);
            ASSERT_EQ(formatFixed(value, decimals), expected) << value << " with " << decimals;
        }
    }
    EXPECT_EQ(formatPercent(-0.6476, 3), "-0.648%");
    EXPECT_EQ(formatInt(INT64_MIN), "-9223372036854775808");
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            EXPECT_EQ(formatFixed(1956.5, 4), "1956.5000") << name;
            EXPECT_EQ(leadingReal("1956.5"), 1956.5) << name;
            break;
        }
    }
    std::setlocale(LC_ALL, previous.c_str());
}

// clang-format on
} // namespace
