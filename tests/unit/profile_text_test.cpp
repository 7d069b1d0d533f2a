#include "stake/common/profile_text.h"

#include "exact_text.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace std::string_literals;
using stake::ProfileText;

// One file that holds every case of the reader's rules.
const std::string kFile = "top=1\n"
                          "[ SetBT ]\r\nnQishu=7\r\n  nZhushu  =  250  \r\n\tnModel\v=\f1\x1a\r\n"
                          "inner=1 2 \rcr=3\r\n\n\r\n"
                          "[a]b] trailing\ny=2\n[noclose\nw=4\n"
                          "[dup]\nk=1\n[DUP]\nk=2\nonlyInSecond=3\n"
                          "[S]\na=1\nA=2\nnA=5\n;comment=5\nbare\nempty=\neq=a=b\n=first\n=second\n"
                          "single='7'\ndouble=\"8\"\nmixed=\"9'\nemptyQuoted=''\nlone=\"\n"
                          "z=1\0"
                          "2\nb\0x=3\n"
                          "[I]\nneg=-1\ntext=12abc\nwrap=99999999999\nhex=0xA\nX=0X10\noct=0o17\n"
                          "bin=0b101\nnhex=-0x10\ntwo=+-1\nctl=\x01 5\n"
                          "cut=000000000000000000000000000012\nlast=9"s;

TEST(ProfileText, Lookups) {
    const ProfileText profile(kFile);
    const struct {
        const char* name;
        std::string_view section;
        std::string_view key;
        std::string_view text; // readText
        std::int32_t number;   // readInt with default 77
    } cases[] = {
        {"keys before any header: unnamed section", "", "top", "1", 1},
        {"CRLF, section name trimmed", "SetBT", "nQishu", "7", 7},
        {"requested names trimmed, any case", "  setbt\t", " NQISHU ", "7", 7},
        {"spaces around '='", "SetBT", "nZhushu", "250", 250},
        {"tab, VT, FF and ^Z are white space", "SetBT", "nModel", "1", 1},
        {"inner spaces kept, CR alone ends a line", "SetBT", "inner", "1 2", 1},
        {"after a CR alone", "SetBT", "cr", "3", 3},
        {"name up to the last ']'", "a]b", "y", "2", 2},
        {"not the first ']'", "a", "y", "", 77},
        {"a line without ']' is a key", "a]b", "[noclose", "", 77},
        {"and keys go on in the section", "a]b", "w", "4", 4},
        {"first section of a name wins", "Dup", "k", "1", 1},
        {"later sections of that name unseen", "dup", "onlyInSecond", "", 77},
        {"missing section", "Other", "x", "", 77},
        {"first key of a name wins", "S", "A", "1", 1},
        {"upper-case A matches a", "s", "na", "5", 5},
        {"comment lines are keys", "S", ";comment", "5", 5},
        {"key without '=' reads empty", "S", "bare", "", 77},
        {"empty value", "S", "empty", "", 77},
        {"split at the first '='", "S", "eq", "a=b", 0},
        {"empty key name: the first of a run", "S", "  ", "first", 0},
        {"single quotes", "S", "single", "7", 7},
        {"double quotes", "S", "double", "8", 8},
        {"unmatched quotes kept", "S", "mixed", "\"9'", 0},
        {"empty in quotes", "S", "emptyQuoted", "", 77},
        {"a lone quote", "S", "lone", "\"", 0},
        {"value cut at a zero byte", "S", "z", "1", 1},
        {"name cut at a zero byte", "S", "b", "3", 3},
        {"negative", "I", "neg", "-1", -1},
        {"trailing text", "I", "text", "12abc", 12},
        {"wraps modulo 2^32", "I", "wrap", "99999999999", 1215752191},
        {"hex", "I", "hex", "0xA", 10},
        {"upper-case X is no prefix", "I", "X", "0X10", 0},
        {"octal", "I", "oct", "0o17", 15},
        {"binary", "I", "bin", "0b101", 5},
        {"negative hex", "I", "nhex", "-0x10", -16},
        {"two signs", "I", "two", "+-1", 0},
        {"control characters skipped", "I", "ctl", "\x01 5", 5},
        {"only 29 characters converted", "I", "cut", "000000000000000000000000000012", 1},
        {"no final line break", "I", "last", "9", 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(profile.readText(c.section, c.key), c.text);
        EXPECT_EQ(profile.readInt(c.section, c.key, 77), c.number);
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
        {"0x", 0},
        {"0xg", 0},
        {"-", 0},
        {"-0", 0},
        {"0", 0},
        {"4294967295", -1},
        {"4294967296", 0},
        {"0xFFFFFFFF", -1},
        {"0xAf", 175},
        {"0b102", 2},
        {"0o19", 1},
        {" \t-12", -12},
        {"2147483648", INT32_MIN},
        {"-2147483648", INT32_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(stake::profileInteger(ExactText(c.text)), c.value);
    }
}

TEST(ProfileText, LongValues) {
    const ProfileText profile("[S]\nlong=" + std::string(300, 'x') + "\nq=\"" +
                              std::string(259, 'y') + "\"\nr=\"" + std::string(258, 'z') + "\"\n");
    EXPECT_EQ(profile.readText("S", "long"), std::string(259, 'x'));
    // A quoted value that fills the 260-character buffer with its closing quote
    // loses its last character as well.
    EXPECT_EQ(profile.readText("S", "q"), std::string(258, 'y'));
    EXPECT_EQ(profile.readText("S", "r"), std::string(258, 'z'));
}

TEST(ProfileText, ReadsFiles) {
    const auto directory = std::filesystem::temp_directory_path() /
                           ("profile_text_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory);
    std::ofstream(directory / "setbt.ini", std::ios::binary) << "[SetBT]\r\nnQishu=8\r\n";
    const auto profile = stake::readProfileFile(directory / "setbt.ini");
    ASSERT_TRUE(profile.has_value());
    EXPECT_EQ(profile->readInt("SetBT", "nQishu", 5), 8);
    EXPECT_FALSE(stake::readProfileFile(directory / "missing.ini").has_value());
    // A folder opens like a file here but cannot be read.
    EXPECT_FALSE(stake::readProfileFile(directory).has_value());
    std::filesystem::remove_all(directory);
}

} // namespace
