#include "stake/common/profile_text.h"

#include "exact_text.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

// clang-format off

using namespace std::string_literals;
using stake::ProfileText;

// One file that holds every case of the reader's rules.
const std::string kFile = "top=1\n"
                          "[ SetBT ]\r\nnQishu=7\r\n  nZhushu  =  250  \r\n\tnModel\v=\f1\x1a\r\n"
                          "inner=1 2 \r\n\n\r\n"
                          "[a]b] trailing\ny=2\n[noclose\nw=4\n"
                          "[dup]\nk=1\n[DUP]\nk=2\nonlyInSecond=3\n"
                          "[S]\na=1\nA=2\nnA=5\n;comment=5\nbare\nempty=\neq=a=b\n=first\n=second\n"
                          "double=\"8\"\nmixed=\"9'\nemptyQuoted=''\nlone=\"\n"
                          "z=1\0"
                          "2\nb\0x=3\n"
                          "[I]\ntext=12abc\nhex=0xA\nX=0X10\n"
                          "cut=000000000000000000000000000012\n"
                          "[L]\nlong="s +
                          std::string(300, 'x') + "\nq=\"" + std::string(259, 'y') + "\"\nr=\"" +
                          std::string(258, 'z') + "\"\nlast=9";

TEST(ProfileText, Lookups) {
    const ProfileText profile(kFile);
    // The rule, the section and key asked for, readText, readInt with default 77.
    const std::tuple<const char*, std::string_view, std::string_view, std::string, std::int32_t>
        cases[] = {
            {"keys before any header: unnamed section", "", "top", "1", 1},
            {"CRLF, section name trimmed", "SetBT", "nQishu", "7", 7},
            {"requested names trimmed, any case", "  setbt\t", " NQISHU ", "7", 7},
            {"spaces around '='", "SetBT", "nZhushu", "250", 250},
            {"tab, VT, FF and ^Z are white space", "SetBT", "nModel", "1", 1},
            {"inner spaces kept, CR ends a line", "SetBT", "inner", "1 2", 1},
            {"name up to the last ']'", "a]b", "y", "2", 2},
            {"not the first ']'", "a", "y", "", 77},
            {"a line without ']' is a key", "a]b", "[noclose", "", 77},
            {"first section of a name wins", "Dup", "k", "1", 1},
            {"later sections of that name unseen", "dup", "onlyInSecond", "", 77},
            {"missing section", "Other", "x", "", 77},
            {"first key of a name wins", "S", "A", "1", 1},
            {"upper-case A matches a", "s", "na", "5", 5},
            {"comment lines are keys", "S", ";comment", "5", 5},
            {"key without '=' reads empty", "S", "bare", "", 77},
            {"empty value", "S", "empty", "", 77}, {"split at the first '='", "S", "eq", "a=b", 0},
            {"empty key name: the first of a run", "S", "  ", "first", 0},
            {"double quotes", "S", "double", "8", 8},
            {"unmatched quotes kept", "S", "mixed", "\"9'", 0},
            {"empty in quotes", "S", "emptyQuoted", "", 77}, {"a lone quote", "S", "lone", "\"", 0},
            {"value cut at a zero byte", "S", "z", "1", 1}, {"upper-case Z matches z", "S", "Z", "1", 1},
            {"name cut at a zero byte", "S", "b", "3", 3},
            {"trailing text", "I", "text", "12abc", 12}, {"hex", "I", "hex", "0xA", 10},
            {"upper-case X is no prefix", "I", "X", "0X10", 0},
            {"only 29 characters converted", "I", "cut", "000000000000000000000000000012", 1},
            {"at most 259 characters", "L", "long", std::string(259, 'x'), 0},
            // A quoted value that fills the 260-character buffer with its
            // closing quote loses its last character as well.
            {"quoted, 259 characters", "L", "q", std::string(258, 'y'), 0},
            {"quoted, 258 characters", "L", "r", std::string(258, 'z'), 0},
            {"no final line break", "L", "last", "9", 9}};
    for (const auto& [rule, section, key, text, number] : cases) {
        EXPECT_EQ(profile.readText(section, key), text) << rule;
        EXPECT_EQ(profile.readInt(section, key, 77), number) << rule;
    }
    EXPECT_EQ(ProfileText().readInt("SetBT", "nQishu", 5), 5);
    EXPECT_EQ(ProfileText("\r\n\n  \n").readInt("", "", -3), -3);
    EXPECT_EQ(ProfileText("\xEF\xBB\xBF[S]\na=中\n").readText("S", "a"), "中");
}

TEST(ProfileText, IntegerConversion) {
    const struct {
        std::string_view text;
        std::int32_t value;
    } cases[] = {
        {"0x", 0},    {"0xg", 0},    {"-", 0},    {"-0", 0},    {"0", 0},    {"4294967295", -1},
        {"4294967296", 0},    {"0xFFFFFFFF", -1},    {"0xAf", 175},    {"0b102", 2},    {"0o19", 1},
        {" \t-12", -12},    {"-1", -1},    {"99999999999", 1215752191},    {"0o17", 15},
        {"0b101", 5},    {"-0x10", -16},    {"+-1", 0},    {"\x01 5", 5},    {"2147483648", INT32_MIN},    {"-2147483648", INT32_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(stake::profileInteger(ExactText(c.text)), c.value) << c.text;
}

// clang-format on
} // namespace
