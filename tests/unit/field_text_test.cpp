#include "shell/field_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace {

using shell::formatFloatField;
using shell::hostHandleFromArgument;
using shell::parseFloatField;
using shell::parseInt32Field;
using shell::parseUint32Field;

TEST(FieldText, SignedIntegers) {
    const struct {
        std::string_view text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"500", 500},
        {"  -7 ", -7},
        {"+12", 12},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"12abc", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"1 2", std::nullopt},
        {"1.0", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseInt32Field(c.text), c.value);
    }
}

TEST(FieldText, UnsignedIntegers) {
    EXPECT_EQ(parseUint32Field("4294967295"), 4294967295u);
    EXPECT_EQ(parseUint32Field(" 0 "), 0u);
    EXPECT_EQ(parseUint32Field("-1"), std::nullopt);
    EXPECT_EQ(parseUint32Field("-0"), std::nullopt);
    EXPECT_EQ(parseUint32Field("4294967296"), std::nullopt);
}

TEST(FieldText, RealsFiniteInSinglePrecision) {
    EXPECT_EQ(parseFloatField("1956"), 1956.0f);
    EXPECT_EQ(parseFloatField(" 0.5 "), 0.5f);
    EXPECT_EQ(parseFloatField("-.25"), -0.25f);
    EXPECT_EQ(parseFloatField("1e3"), 1000.0f);
    EXPECT_EQ(parseFloatField("1e-400"), 0.0f) << "underflow reads as zero";
    EXPECT_EQ(parseFloatField("0.0000e-999"), 0.0f);
    for (std::string_view bad : {"1e40", "1e400", "-1e400", "123456789e300", "inf", "nan", "0x10",
                                 "1,5", "1.5.2", "e5", ".", "", "1e", "abc"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(parseFloatField(bad), std::nullopt);
    }
}

TEST(FieldText, RealsShowTheShortestTextThatReadsBack) {
    EXPECT_EQ(formatFloatField(1956.0f), "1956");
    EXPECT_EQ(formatFloatField(100.0f), "100");
    EXPECT_EQ(formatFloatField(0.1f), "0.1");
    EXPECT_EQ(formatFloatField(123456.7f), "123456.7");
    for (float value : {0.1f, 1956.5f, 3.4e38f, 1e-30f, 16777217.0f, -2.75f})
        EXPECT_EQ(parseFloatField(formatFloatField(value)), value) << formatFloatField(value);
}

TEST(FieldText, HostHandleByTheAtoiRule) {
    const struct {
        std::string_view argument;
        std::uint32_t handle;
    } cases[] = {
        {"132456", 132456},
        {"  +77x", 77},
        {"abc", 0},
        {"", 0},
        {"0", 0},
        {"-1", 0xFFFFFFFFu},
        {"4294967295", 0xFFFFFFFFu},
        {"4294967296", 0},
        {"99999999999999999999999", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument);
        EXPECT_EQ(hostHandleFromArgument(c.argument), c.handle);
    }
}

} // namespace
