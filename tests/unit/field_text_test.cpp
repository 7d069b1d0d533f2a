#include "shell/field_text.h"

#include "exact_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace {

using namespace shell;

TEST(FieldText, Integers) {
    const struct {
        std::string text;
        std::optional<std::int32_t> signedValue;
        std::optional<std::uint32_t> unsignedValue;
    } cases[] = {
        {"500", 500, 500u},
        {"  -7 ", -7, std::nullopt},
        {"+12", 12, 12u},
        {"\t1\n", 1, 1u}, // every white-space character counts
        {"\r2\v", 2, 2u},
        {"\f3", 3, 3u},
        {"2147483647", 2147483647, 2147483647u},
        {"-2147483648", INT32_MIN, std::nullopt},
        {"2147483648", std::nullopt, 2147483648u},
        {"4294967295", std::nullopt, 4294967295u},
        {"4294967296", std::nullopt, std::nullopt},
        {"-0", 0, std::nullopt},
        {"99999999999999999999", std::nullopt, std::nullopt},
        {"12abc", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {"-", std::nullopt, std::nullopt},
        {"1 2", std::nullopt, std::nullopt},
        {"1.0", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseInt32Field(ExactText(c.text)), c.signedValue);
        EXPECT_EQ(parseUint32Field(ExactText(c.text)), c.unsignedValue);
    }
}

TEST(FieldText, Reals) {
    const struct {
        std::string text;
        std::optional<float> value;
    } cases[] = {
        {"1956", 1956.0f},
        {"5", 5.0f},
        {" 0.5 ", 0.5f},
        {"\t-.25\r", -0.25f},
        {"1e3", 1000.0f},
        {"-2E1", -20.0f},
        {"1e-400", 0.0f}, // too small for double: reads as zero
        {"0.0000e-999", 0.0f},
        {"1e40", std::nullopt}, // too large for single precision
        {"1e400", std::nullopt},
        {"-1e400", std::nullopt},
        {"123456789e300", std::nullopt},
        {"0.001e400", std::nullopt},
        {"1" + std::string(400, '0'), std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"0x10", std::nullopt},
        {"1,5", std::nullopt},
        {"1.5.2", std::nullopt},
        {"e5", std::nullopt},
        {".", std::nullopt},
        {"", std::nullopt},
        {"1e", std::nullopt},
        {"--1", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        EXPECT_EQ(parseFloatField(ExactText(c.text)), c.value);
    }
}

TEST(FieldText, RealsShowTheShortestTextThatReadsBack) {
    EXPECT_EQ(formatFloatField(1956.0f), "1956");
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
        {" \t\n\r\v\f5", 5},
        {"abc", 0},
        {"", 0},
        {"-1", 0xFFFFFFFFu},
        {"4294967295", 0xFFFFFFFFu},
        {"4294967296", 0},
        {"-2147483648", 0x80000000u},
        {"-2147483649", 0},
        {"99999999999999999999999", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.argument));
        EXPECT_EQ(hostHandleFromArgument(ExactText(c.argument)), c.handle);
    }
}

} // namespace
