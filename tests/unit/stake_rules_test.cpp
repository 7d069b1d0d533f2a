#include "stake/common/stake_rules.h"

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

TEST(UnitModes, FactorAndDivisorOfEveryItem) {
    struct Case {
        int modeIndex;
        std::string_view item;
        int factor;
        int divisor;
    };
    const Case cases[] = {
        {0, "1元", 1, 1}, {1, "1角", 1, 10}, {2, "1分", 1, 100}, {3, "1厘", 1, 1000},
        {4, "2元", 2, 1}, {5, "2角", 2, 10}, {6, "2分", 2, 100}, {7, "2厘", 2, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        EXPECT_EQ(kUnitModeItems[c.modeIndex], c.item);
        EXPECT_EQ(unitFactor(c.modeIndex), c.factor);
        EXPECT_EQ(unitDivisor(c.modeIndex), c.divisor);
    }
}

TEST(UnitModes, IndicesOutsideTheList) {
    // 8 and above repeat the divisors with factor 2; no selection (-1) has
    // divisor 0, which is why the plans refuse it.
    EXPECT_EQ(unitFactor(8), 2);
    EXPECT_EQ(unitDivisor(8), 1);
    EXPECT_EQ(unitDivisor(11), 1000);
    EXPECT_EQ(unitDivisor(2147483647), 1000);
    EXPECT_EQ(unitFactor(-1), 1);
    EXPECT_EQ(unitDivisor(-1), 0);
    EXPECT_EQ(unitDivisor(-4), 1);
}

TEST(UnitModes, StepOfTheCustomList) {
    EXPECT_EQ(unitStep(0), 1.0f);
    EXPECT_EQ(unitStep(1), 0.1f);
    // Two single-precision tenths multiplied in double and rounded once: one
    // unit in the last place above the constant 0.01f.
    EXPECT_EQ(unitStep(2), std::nextafter(0.01f, 1.0f));
    EXPECT_EQ(unitStep(7), 0.001f);
}

TEST(StarCounts, OddsScaling) {
    struct Case {
        int starIndex;
        const char* expected; // "%0.4f" of the single-precision result
    };
    const Case cases[] = {
        {0, "195600.0000"}, {1, "19560.0000"}, {2, "1956.0000"}, {3, "195.6000"},
        {4, "19.5600"},     {-1, "1956.0000"}, {5, "1956.0000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.starIndex);
        EXPECT_EQ(formatFixed(scaledOdds(1956.0f, c.starIndex), 4), c.expected);
    }
    // The factors are single-precision constants: 0.1f is slightly above 0.1.
    EXPECT_EQ(scaledOdds(1.0f, 3), 0.1f);
    EXPECT_EQ(scaledOdds(1.0f, 4), 0.01f);
    EXPECT_EQ(kStarCountItems[0], "5星");
    EXPECT_EQ(kStarCountItems[4], "1星");
}

TEST(StarCounts, BetCountCheck) {
    struct Case {
        int starIndex;
        std::int64_t bets;
        std::optional<std::string> message;
    };
    const Case cases[] = {
        {0, 99999, std::nullopt},
        {0, 100000, "注数数值只能为(1-99999)"},
        {0, 0, "注数数值只能为(1-99999)"},
        {1, 9999, std::nullopt},
        {1, 10000, "注数数值只能为(1-9999)"},
        {2, 1, std::nullopt},
        {2, 999, std::nullopt},
        {2, 1000, "注数数值只能为(1-999)"},
        {2, -5, "注数数值只能为(1-999)"},
        {3, 100, "注数数值只能为(1-99)"},
        {4, 9, std::nullopt},
        {4, 10, "注数数值只能为(1-9)"},
        {4, 0, "注数数值只能为(1-9)"},
        {-1, 0, std::nullopt},
        {5, 1000000, std::nullopt},
        {4, std::int64_t{4294967295}, "注数数值只能为(1-9)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "star " << c.starIndex << " bets " << c.bets);
        EXPECT_EQ(checkBetCount(c.starIndex, c.bets), c.message);
    }
}

TEST(StarCounts, CalculatorsCanSupplyTheirOwnMessages) {
    BetCountMessages ownWording = kBetCountMessages;
    ownWording[2] = "注数数值只能为(1-999";
    EXPECT_EQ(checkBetCount(2, 1000, ownWording), "注数数值只能为(1-999");
    EXPECT_EQ(checkBetCount(3, 100, ownWording), "注数数值只能为(1-99)");
    EXPECT_EQ(checkBetCount(2, 999, ownWording), std::nullopt);
}

TEST(Conversion, TruncateToInt32) {
    struct Case {
        double value;
        std::int32_t expected;
    };
    const Case cases[] = {
        {1.9, 1},
        {-1.9, -1},
        {0.0, 0},
        {-0.0, 0},
        {2147483647.0, 2147483647},
        {2147483648.0, INT32_MIN}, // wraps modulo 2^32
        {3000000000.0, -1294967296},
        {4294967301.0, 5},
        {-2147483649.0, 2147483647},
        {9223372036854774784.0, -1024}, // largest double below 2^63
        {9223372036854775808.0, 0},     // 2^63: beyond 64 bits
        {-9223372036854775808.0, 0},    // -2^63: low 32 bits are zero
        {1e300, 0},
        {kInf, 0},
        {-kInf, 0},
        {kNaN, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value);
        EXPECT_EQ(truncateToInt32(c.value), c.expected);
    }
}

TEST(Conversion, CeilingAndCheckedConversion) {
    EXPECT_EQ(ceilToInt32(16.0001), 17);
    EXPECT_EQ(ceilToInt32(2.0), 2);
    EXPECT_EQ(ceilToInt32(-0.5), 0);
    EXPECT_EQ(ceilToInt32(kNaN), 0);

    struct Case {
        double value;
        std::optional<std::int32_t> expected;
    };
    const Case cases[] = {
        {2147483647.9, 2147483647}, {2147483648.0, std::nullopt},
        {-2147483648.5, INT32_MIN}, {-2147483649.0, std::nullopt},
        {1e20, std::nullopt},       {kInf, std::nullopt},
        {kNaN, std::nullopt},       {-7.5, -7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value);
        EXPECT_EQ(int32IfRepresentable(c.value), c.expected);
    }
}

TEST(TextNumbers, LeadingInt) {
    struct Case {
        std::string_view text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"42", 42},
        {"  42abc", 42},
        {"\t\n\v\f\r12", 12},
        {"-7", -7},
        {"+8", 8},
        {"- 5", 0},
        {"+-5", 0},
        {"abc", 0},
        {"", 0},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"99999999999999999999999", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-99999999999999999999999", INT32_MIN},
        {"0x10", 0},
        {"007", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(leadingInt(c.text), c.expected);
    }
}

TEST(TextNumbers, LeadingReal) {
    struct Case {
        std::string_view text;
        double expected;
    };
    const Case cases[] = {
        {"1956", 1956.0},
        {" 1956.000000", 1956.0},
        {"-2.5x", -2.5},
        {"+3.25e2", 325.0},
        {".5", 0.5},
        {"5.", 5.0},
        {".", 0.0},
        {"-.", 0.0},
        {"1e", 1.0},
        {"1e+", 1.0},
        {"2E-1", 0.2},
        {"1e40", 1e40},
        {"1e400", kInf},
        {"-1e400", -kInf},
        {"1e-400", 0.0},
        {"0.000000000000000000000000000000000000000000001e-400", 0.0},
        {"123456789012345678901234567890e99999999999999999999", kInf},
        {"abc", 0.0},
        {"", 0.0},
        {"0x10", 0.0},
        {"inf", 0.0},
        {"nan", 0.0},
        {"17,5", 17.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(leadingReal(c.text), c.expected);
    }
}

// The texts must be those of printf in the "C" locale, whatever the process
// locale is.
TEST(Formatting, SameTextsAsPrintf) {
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-12, 40);
    char expected[512];
    for (int i = 0; i < 20000; ++i) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        for (const int decimals : {2, 3, 4, 6}) {
            std::snprintf(expected, sizeof expected, "%0.*f", decimals, value);
            ASSERT_EQ(formatFixed(value, decimals), expected) << value << " with " << decimals;
        }
    }
    for (const double value : {0.125, 0.375, 2.5, -0.0, 1e300, -1e300, 5e-324, 1.0 / 3}) {
        std::snprintf(expected, sizeof expected, "%0.2f", value);
        EXPECT_EQ(formatFixed(value, 2), expected) << value;
    }
    EXPECT_EQ(formatPercent(3.9, 2), "3.90%");
    EXPECT_EQ(formatPercent(-0.6476, 3), "-0.648%");
    EXPECT_EQ(formatInt(-5), "-5");
    EXPECT_EQ(formatInt(INT64_MIN), "-9223372036854775808");
}

TEST(Formatting, IndependentOfTheProcessLocale) {
    const char* commaLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"};
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* chosen = nullptr;
    for (const char* name : commaLocales) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(formatFixed(1956.5, 4), "1956.5000");
    EXPECT_EQ(leadingReal("1956.5"), 1956.5);
    std::setlocale(LC_ALL, previous.c_str());
}

} // namespace
