#include "shell/field_text.h"

#include "exact_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>

namespace {

// clang-format off

using namespace shell;

TEST(FieldText, Integers) {
    const std::nullopt_t no = std::nullopt;
    const std::tuple<std::string, std::optional<std::int32_t>, std::optional<std::uint32_t>> cases[] = {
        {"500", 500, 500u},      {"  -7 ", -7, no},      {"+12", 12, 12u},     {"-0", 0, no},
        {"\t1\n", 1, 1u},        {"\r2\v", 2, 2u},       {"\f3", 3, 3u}, // all white space
        {"2147483647", INT32_MAX, 2147483647u},          {"-2147483648", INT32_MIN, no},
        {"2147483648", no, 2147483648u},                 {"4294967295", no, 4294967295u},
        {"4294967296", no, no},  {"99999999999999999999", no, no},         {"12abc", no, no},
        {"", no, no},            {"-", no, no},          {"1 2", no, no},      {"1.0", no, no},
    };
    for (const auto& [text, signedValue, unsignedValue] : cases) {
        EXPECT_EQ(parseInt32Field(ExactText(text)), signedValue) << text;
        EXPECT_EQ(parseUint32Field(ExactText(text)), unsignedValue) << text;
    }
}

TEST(FieldText, Reals) {
    const std::nullopt_t no = std::nullopt;
    const std::pair<std::string, std::optional<float>> cases[] = {
        {"1956", 1956.0f},  {"5", 5.0f},        {" 0.5 ", 0.5f},     {"\t-.25\r", -0.25f},
        {"1e3", 1000.0f},   {"-2E1", -20.0f},   {"1e-400", 0.0f},    {"0.0000e-999", 0.0f},
        {"0." + std::string(400, '0') + "1", 0.0f},  {"0." + std::string(10400, '0') + "1e9999", 0.0f},
        // Too large for single precision; too small reads as zero.
        {"1e40", no},       {"1e400", no},      {"-1e400", no},      {"123456789e300", no},
        {"0.001e400", no},  {"1" + std::string(400, '0'), no},  {"0." + std::string(9000, '0') + "1e9999", no},
        {"inf", no},        {"nan", no},        {"0x10", no},        {"1,5", no},
        {"1.5.2", no},      {"e5", no},         {".", no},           {"", no},
        {"1e", no},         {"--1", no},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(parseFloatField(ExactText(text)), value) << text.substr(0, 40);
    EXPECT_EQ(formatFloatField(1956.0f), "1956");
    EXPECT_EQ(formatFloatField(INFINITY), "0");
    EXPECT_EQ(formatFloatField(123456.7f), "123456.7");
    for (const float value : {0.1f, 1956.5f, 3.4e38f, 1e-30f, 16777217.0f, -2.75f})
        EXPECT_EQ(parseFloatField(formatFloatField(value)), value) << formatFloatField(value);
}

TEST(FieldText, HostHandleByTheAtoiRule) {
    const std::pair<std::string_view, std::uint32_t> cases[] = {
        {"132456", 132456},  {"  +77x", 77},  {" \t\n\r\v\f5", 5},  {"abc", 0},  {"", 0},
        {"-1", 0xFFFFFFFFu}, {"4294967295", 0xFFFFFFFFu},  {"4294967296", 0},
        {"-2147483648", 0x80000000u},         {"-2147483649", 0},   {"99999999999999999999999", 0},
    };
    for (const auto& [argument, handle] : cases)
        EXPECT_EQ(hostHandleFromArgument(ExactText(argument)), handle) << argument;
}

// clang-format on
} // namespace
