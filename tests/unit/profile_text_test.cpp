#include "stake/common/profile_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

using stake::ProfileText;

struct Lookup {
    const char* name;
    std::string_view section;
    std::string_view key;
    std::string_view text; // readText
    std::int32_t number;   // readInt with default 77
};

void expectLookups(const ProfileText& profile, std::initializer_list<Lookup> lookups) {
    for (const Lookup& l : lookups) {
        SCOPED_TRACE(l.name);
        EXPECT_EQ(profile.readText(l.section, l.key), l.text);
        EXPECT_EQ(profile.readInt(l.section, l.key, 77), l.number);
    }
}

TEST(ProfileText, LineEndsAndWhiteSpace) {
    const ProfileText crlf(
        "[SetBT]\r\nnQishu=7\r\n  nZhushu  =  250  \r\n\tnModel\v=\f1\x1a\r\nlast=9");
    expectLookups(crlf, {
                            {"CRLF", "SetBT", "nQishu", "7", 7},
                            {"spaces around '='", "SetBT", "nZhushu", "250", 250},
                            {"tab, VT, FF and ^Z are white space", "SetBT", "nModel", "1", 1},
                            {"no final line break", "SetBT", "last", "9", 9},
                        });
    expectLookups(ProfileText("[S]\ra=1\rb=2\r"), {{"CR only", "S", "b", "2", 2}});
    expectLookups(ProfileText("[S]\na=1\rb=2\n\n\r\nc=3\r\n"),
                  {{"mixed", "S", "a", "1", 1}, {"mixed", "S", "c", "3", 3}});
    expectLookups(ProfileText("[S]\na=1 2 \n"), {{"inner spaces kept", "S", "a", "1 2", 1}});
}

TEST(ProfileText, Sections) {
    const ProfileText profile("top=1\n"
                              "[ SetBT ]\nx=1\n"
                              "[a]b] trailing\ny=2\n"
                              "[noclose\n"
                              "w=4\n"
                              "[dup]\nk=1\n"
                              "[DUP]\nk=2\nonlyInSecond=3\n");
    expectLookups(profile,
                  {
                      {"keys before any header: unnamed section", "", "top", "1", 1},
                      {"section name trimmed", "SetBT", "x", "1", 1},
                      {"requested names trimmed", "  setbt\t", " X ", "1", 1},
                      {"name up to the last ']'", "a]b", "y", "2", 2},
                      {"not the first ']'", "a", "y", "", 77},
                      {"line without ']' is a key", "a]b", "[noclose", "", 77},
                      {"and keys go on in the section", "a]b", "w", "4", 4},
                      {"first section of a name wins", "Dup", "k", "1", 1},
                      {"later sections of that name unseen", "dup", "onlyInSecond", "", 77},
                      {"missing section", "Other", "x", "", 77},
                  });
}

TEST(ProfileText, Keys) {
    const ProfileText profile("[S]\n"
                              "a=1\nA=2\n"
                              ";comment=5\n#hash=6\n"
                              "bare\n"
                              "empty=\n"
                              "eq=a=b\n"
                              "=first\n=second\n"
                              "NZhushu=9\n");
    expectLookups(profile, {
                               {"first key of a name wins", "S", "a", "1", 1},
                               {"comment lines are keys", "S", ";comment", "5", 5},
                               {"so is '#'", "S", "#hash", "6", 6},
                               {"key without '=' reads empty", "S", "bare", "", 77},
                               {"empty value", "S", "empty", "", 77},
                               {"split at the first '='", "S", "eq", "a=b", 0},
                               {"empty key name", "S", "", "first", 0},
                               {"blank requested key", "S", "  ", "first", 0},
                               {"case-insensitive key", "S", "nzhushu", "9", 9},
                           });
}

TEST(ProfileText, Quotes) {
    const ProfileText profile("[S]\n"
                              "single='7'\ndouble=\"8\"\nmixed=\"9'\n"
                              "emptySingle=''\nemptyDouble=\"\"\nlone=\"\n"
                              "inner=\" 12\"\n");
    expectLookups(profile, {
                               {"single quotes", "S", "single", "7", 7},
                               {"double quotes", "S", "double", "8", 8},
                               {"unmatched kept", "S", "mixed", "\"9'", 0},
                               {"empty in single quotes", "S", "emptySingle", "", 77},
                               {"empty in double quotes", "S", "emptyDouble", "", 77},
                               {"a lone quote", "S", "lone", "\"", 0},
                               {"spaces inside quotes", "S", "inner", " 12", 12},
                           });
}

TEST(ProfileText, Integers) {
    const ProfileText profile("[S]\n"
                              "a=-1\nb=12abc\nc=99999999999\nd=0x10\ne=0X10\nf=0o17\ng=0b101\n"
                              "h=  +42\ni=-0x10\nr=+-1\ns=\x01 5\n"
                              "t=000000000000000000000000000012\n"
                              "u=abc\n");
    expectLookups(profile, {
                               {"negative", "S", "a", "-1", -1},
                               {"trailing text", "S", "b", "12abc", 12},
                               {"wraps modulo 2^32", "S", "c", "99999999999", 1215752191},
                               {"hex", "S", "d", "0x10", 16},
                               {"upper-case X is not a prefix", "S", "e", "0X10", 0},
                               {"octal", "S", "f", "0o17", 15},
                               {"binary", "S", "g", "0b101", 5},
                               {"plus sign", "S", "h", "+42", 42},
                               {"negative hex", "S", "i", "-0x10", -16},
                               {"two signs", "S", "r", "+-1", 0},
                               {"control characters skipped", "S", "s", "\x01 5", 5},
                               {"only 29 characters converted", "S", "t",
                                "000000000000000000000000000012", 1},
                               {"not a number", "S", "u", "abc", 0},
                           });
}

TEST(ProfileText, IntegerConversion) {
    struct Case {
        std::string_view text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"0x", 0},
        {"0xg", 0},
        {"-", 0},
        {"4294967295", -1},
        {"4294967296", 0},
        {"0xFFFFFFFF", -1},
        {"0xffffffff", -1},
        {"0b102", 2},
        {"0o19", 1},
        {" \t-12", -12},
        {"2147483648", INT32_MIN},
        {"-2147483648", INT32_MIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(stake::profileInteger(c.text), c.expected);
    }
}

TEST(ProfileText, LongValues) {
    const std::string text = "[S]\nlong=" + std::string(300, 'x') + "\nq=\"" +
                             std::string(259, 'y') + "\"\nr=\"" + std::string(258, 'z') + "\"\n";
    const ProfileText profile(text);
    EXPECT_EQ(profile.readText("S", "long"), std::string(259, 'x'));
    // A quoted value that fills the 260-character buffer with its closing quote
    // loses its last character as well.
    EXPECT_EQ(profile.readText("S", "q"), std::string(258, 'y'));
    EXPECT_EQ(profile.readText("S", "r"), std::string(258, 'z'));
}

TEST(ProfileText, ByteOrderMarkAndZeroBytes) {
    expectLookups(ProfileText("\xEF\xBB\xBF[S]\na=中\nb=5\n"),
                  {{"after a BOM", "S", "b", "5", 5}, {"UTF-8 value", "S", "a", "中", 0}});
    using namespace std::string_literals;
    const std::string withZeros = "[S]\na=1\0"
                                  "2\nb\0x=3\n"s;
    expectLookups(ProfileText(withZeros), {
                                              {"value cut at a zero byte", "S", "a", "1", 1},
                                              {"name cut at a zero byte", "S", "b", "3", 3},
                                          });
}

TEST(ProfileText, EmptyAndMissing) {
    const ProfileText empty;
    EXPECT_EQ(empty.readText("SetBT", "nQishu"), "");
    EXPECT_EQ(empty.readInt("SetBT", "nQishu", 5), 5);
    EXPECT_EQ(ProfileText("\r\n\n  \n").readInt("", "", -3), -3);
}

TEST(ProfileText, ReadsFiles) {
    const auto directory =
        std::filesystem::temp_directory_path() /
        ("profile_text_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(directory);
    const auto path = directory / "setbt.ini";
    {
        std::ofstream file(path, std::ios::binary);
        file << "[SetBT]\r\nnQishu=8\r\n";
    }
    const auto profile = stake::readProfileFile(path);
    ASSERT_TRUE(profile.has_value());
    EXPECT_EQ(profile->readInt("SetBT", "nQishu", 5), 8);
    EXPECT_FALSE(stake::readProfileFile(directory / "missing.ini").has_value());
    // A folder opens like a file here but cannot be read.
    EXPECT_FALSE(stake::readProfileFile(directory).has_value());
    std::filesystem::remove_all(directory);
}

} // namespace
