#include "stake/common/stake_rules.h"

#include "exact_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace {

using namespace stake;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(StakeRules, UnitModes) {
    const struct {
        int mode;
        int factor;
        int divisor;
        float step;
    } cases[] = {
        {0, 1, 1, 1.0f},
        {1, 1, 10, 0.1f},
        {2, 1, 100, std::nextafter(0.01f, 1.0f)},
        {3, 1, 1000, 0.001f},
        {4, 2, 1, 1.0f},
        {5, 2, 10, 0.1f},
        {6, 2, 100, std::nextafter(0.01f, 1.0f)},
        {7, 2, 1000, 0.001f},
        // Beyond the list the divisors repeat with factor 2; no selection (-1)
        // has divisor 0, which is why the plans refuse it.
        {8, 2, 1, 1.0f},
        {11, 2, 1000, 0.001f},
        {2147483647, 2, 1000, 0.001f},
        {-1, 1, 0, 10.0f},
        {-4, 1, 1, 1.0f},
    };
    EXPECT_EQ(kUnitModeItems[4], "2元");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(unitFactor(c.mode), c.factor);
        EXPECT_EQ(unitDivisor(c.mode), c.divisor);
        EXPECT_EQ(unitStep(c.mode), c.step);
    }
}

TEST(StakeRules, StarCountsScaleOddsAndCheckBets) {
    const struct {
        int star;
        const char* odds; // "%0.4f" of 1956 scaled in single precision
        std::int64_t bets;
        std::optional<std::string> message;
    } cases[] = {
        {0, "195600.0000", 99999, std::nullopt},
        {0, "195600.0000", 100000, "注数数值只能为(1-99999)"},
        {0, "195600.0000", 0, "注数数值只能为(1-99999)"},
        {1, "19560.0000", 9999, std::nullopt},
        {1, "19560.0000", 10000, "注数数值只能为(1-9999)"},
        {2, "1956.0000", 1, std::nullopt},
        {2, "1956.0000", 1000, "注数数值只能为(1-999)"},
        {2, "1956.0000", -5, "注数数值只能为(1-999)"},
        {3, "195.6000", 99, std::nullopt},
        {3, "195.6000", 100, "注数数值只能为(1-99)"},
        {4, "19.5600", 9, std::nullopt},
        {4, "19.5600", 0, "注数数值只能为(1-9)"},
        {4, "19.5600", 4294967295, "注数数值只能为(1-9)"},
        {-1, "1956.0000", 0, std::nullopt}, // no star count: nothing checked or scaled
        {5, "1956.0000", 1000000, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "star " << c.star << " bets " << c.bets);
        EXPECT_EQ(formatFixed(scaledOdds(1956.0f, c.star), 4), c.odds);
        EXPECT_EQ(checkBetCount(c.star, c.bets), c.message);
    }
    // The factors are single-precision constants.
    EXPECT_EQ(scaledOdds(1.0f, 3), 0.1f);
    EXPECT_EQ(scaledOdds(1.0f, 4), 0.01f);
    BetCountMessages own = kBetCountMessages;
    own[2] = "注数数值只能为(1-999";
    EXPECT_EQ(checkBetCount(2, 1000, own), "注数数值只能为(1-999");
}

TEST(StakeRules, RealsToIntegers) {
    const struct {
        double value;
        std::int32_t truncated;
        std::int32_t ceiling;
        std::optional<std::int32_t> checked;
    } cases[] = {
        {1.9, 1, 2, 1},
        {-1.9, -1, -1, -1},
        {-0.5, 0, 0, 0},
        {16.0001, 16, 17, 16},
        {2147483647.9, 2147483647, INT32_MIN, 2147483647},
        {2147483648.0, INT32_MIN, INT32_MIN, std::nullopt}, // wraps modulo 2^32
        {3000000000.0, -1294967296, -1294967296, std::nullopt},
        {4294967301.0, 5, 5, std::nullopt},
        {-2147483648.5, INT32_MIN, INT32_MIN, INT32_MIN},
        {-2147483649.0, 2147483647, 2147483647, std::nullopt},
        {9223372036854774784.0, -1024, -1024, std::nullopt}, // largest double below 2^63
        {9223372036854775808.0, 0, 0, std::nullopt},         // 2^63: beyond 64 bits
        {-9223372036854775808.0, 0, 0, std::nullopt},
        {1e300, 0, 0, std::nullopt},
        {-kInf, 0, 0, std::nullopt},
        {kNaN, 0, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value);
        EXPECT_EQ(truncateToInt32(c.value), c.truncated);
        EXPECT_EQ(ceilToInt32(c.value), c.ceiling);
        EXPECT_EQ(int32IfRepresentable(c.value), c.checked);
    }
}

TEST(StakeRules, LeadingInt) {
    const struct {
        std::string_view text;
        std::int32_t value;
    } cases[] = {
        {"42", 42},
        {"  42abc", 42},
        {"\t\n\v\f\r12", 12},
        {"-7", -7},
        {"+8", 8},
        {"- 5", 0},
        {"+-5", 0},
        {"abc", 0},
        {"", 0},
        {"2147483648", INT32_MAX},
        {"99999999999999999999999", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-99999999999999999999999", INT32_MIN},
        {"0x10", 0},
        {"007", 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(leadingInt(ExactText(c.text)), c.value);
    }
}

TEST(StakeRules, LeadingReal) {
    const std::string zeros(250, '0');
    const struct {
        std::string text;
        double value;
    } cases[] = {
        {"1956", 1956.0},
        {" 1956.000000", 1956.0},
        {"-2.5x", -2.5},
        {"+3.25e2", 325.0},
        {".5", 0.5},
        {"5.", 5.0},
        {"12", 12.0},
        {".", 0.0},
        {"-.", 0.0},
        {"1e", 1.0},
        {"1e+", 1.0},
        {"2E-1", 0.2},
        {"1e40", 1e40},
        {"-1e400", -kInf},
        {"1e-400", 0.0},
        {"0.000000000000000000000000000000000000000000001e-400", 0.0},
        {"123456789012345678901234567890e99999999999999999999", kInf},
        // Beyond double the sign of the whole magnitude decides, not the
        // exponent's alone.
        {"1" + std::string(400, '0') + "e-5", kInf},
        {zeros + "1e-400", 0.0},
        {"0." + std::string(400, '0') + "1e5", 0.0},
        {"abc", 0.0},
        {"", 0.0},
        {"0x10", 0.0},
        {"inf", 0.0},
        {"17,5", 17.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        EXPECT_EQ(leadingReal(ExactText(c.text)), c.value);
    }
}

// The texts are those of printf in the "C" locale, whatever the process locale.
TEST(StakeRules, TextsOfPlanRows) {
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-12, 40);
    char expected[512];
    for (int i = 0; i < 5000; ++i) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        for (const int decimals : {2, 3, 4, 6}) {
            std::snprintf(expected, sizeof expected, "%0.*f", decimals, value);
            ASSERT_EQ(formatFixed(value, decimals), expected) << value << " with " << decimals;
        }
    }
    for (const double value : {0.125, 0.375, 2.5, -0.0, 1e300, -1e300, 5e-324}) {
        std::snprintf(expected, sizeof expected, "%0.2f", value);
        EXPECT_EQ(formatFixed(value, 2), expected) << value;
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

} // namespace
