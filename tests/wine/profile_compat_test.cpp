// ProfileText held against the platform's own GetPrivateProfileStringW and
// GetPrivateProfileIntW: awkward settings files are written to a temporary
// folder and every section and key, in other cases and with blanks, is read
// both ways.
#include "stake/common/profile_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::wstring widened(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(
        CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

// What the platform reads, as UTF-8.
std::string platformText(const fs::path& file, const std::string& section, const std::string& key) {
    wchar_t buffer[260] = {};
    const DWORD length = GetPrivateProfileStringW(widened(section).c_str(), widened(key).c_str(),
                                                  L"", buffer, 260, file.c_str());
    std::string utf8(length * 3, '\0');
    utf8.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(length),
                                                             utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

std::string changedCase(std::string text, int (*change)(int)) {
    for (char& c : text)
        c = static_cast<char>(change(static_cast<unsigned char>(c)));
    return text;
}

// Each name as written, in other cases, with white space around it; and the
// names nobody wrote.
std::vector<std::string> variants(const std::vector<std::string>& names) {
    std::vector<std::string> all{"", " ", "Missing"};
    for (const std::string& name : names) {
        all.push_back(name);
        all.push_back(changedCase(name, ::tolower));
        all.push_back(changedCase(name, ::toupper));
        all.push_back("  " + name + "\t");
    }
    return all;
}

struct Case {
    const char* name;
    std::string content;
    std::vector<std::string> sections;
    std::vector<std::string> keys;
};

const std::vector<std::string> kLadderKeys = {"nModel",  "nLirunLv",     "nLirunType",
                                              "nQishu",  "nStartBeishu", "nXingshu",
                                              "nZhushu", "fLirun",       "fPeilv"};

std::vector<Case> cases() {
    const std::string longValues = "[S]\r\nlong=" + std::string(300, 'x') + "\r\nq=\"" +
                                   std::string(259, 'y') + "\"\r\nr=\"" + std::string(258, 'z') +
                                   "\"\r\ns='" + std::string(260, 'w') + "'\r\n" +
                                   "i29=00000000000000000000000000012\r\n"
                                   "i30=000000000000000000000000000012\r\n"
                                   "iq='0000000000000000000000000012'\r\n"
                                   "iq2=\"00000000000000000000000000012\"\r\n";
    return {
        {"written by the dialog",
         "[SetBT]\r\nnModel=3\r\nnLirunLv=1\r\nnLirunType=0\r\nnQishu=5\r\nnStartBeishu=1\r\n"
         "nXingshu=2\r\nnZhushu=500\r\nfLirun=100.000000\r\nfPeilv=1956.000000\r\n",
         {"SetBT"},
         kLadderKeys},
        {"spaces around '=' and LF",
         "[SetBT]\n  nQishu  =  7  \n\tnZhushu\t=\t250\t\nfPeilv = 1956.5 \n",
         {"SetBT"},
         kLadderKeys},
        {"no final line break", "[SetBT]\nnQishu=9", {"SetBT"}, {"nQishu"}},
        {"CR only", "[SetBT]\rnQishu=7\rnZhushu=8\r", {"SetBT"}, {"nQishu", "nZhushu"}},
        {"mixed line ends", "[S]\na=1\rb=2\n\n\r\nc=3\r\n\r\rd=4", {"S"}, {"a", "b", "c", "d"}},
        {"missing section", "[Other]\nnQishu=7\n", {"SetBT", "Other"}, {"nQishu"}},
        {"duplicate sections",
         "[SetBT]\nnQishu=1\n[Other]\nx=1\n[setbt]\nnQishu=2\nnZhushu=3\n",
         {"SetBT", "Other"},
         {"nQishu", "nZhushu", "x"}},
        {"duplicate keys", "[SetBT]\nnQishu=1\nNQISHU=2\nnqishu=3\n", {"SetBT"}, {"nQishu"}},
        {"case differences", "[sEtBt]\nNQISHU=9\nfpeilv=12\n", {"SetBT"}, kLadderKeys},
        {"comment lines",
         "[SetBT]\n;nQishu=5\n#nZhushu=6\n; comment\nnQishu=8\n",
         {"SetBT"},
         {"nQishu", "nZhushu", ";nQishu", "#nZhushu", "; comment", ";"}},
        {"values",
         "[SetBT]\na=-1\nb=12abc\nc=99999999999\nd=0x10\ne=0X10\nf=0o17\ng=0b101\nh=+42\n"
         "i=-0x10\nj='7'\nk=\"8\"\nl=\"9'\nm=''\nn=\"\"\no=\"\np=\nq\nr=+-1\ns=\x01 5\n"
         "t=000000000000000000000000000012\nu=\" 12\"\nv=1 2\nw=a=b\nx=-2147483648\n"
         "y=4294967295\nz=0xFFFFFFFF\naa=0b\nab=0x\nac=-\nad=0o8\nae=12 \naf=' 7 '\n",
         {"SetBT"},
         {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k",  "l",  "m",  "n",  "o",  "p",
          "q", "r", "s", "t", "u", "v", "w", "x", "y", "z", "aa", "ab", "ac", "ad", "ae", "af"}},
        {"awkward section lines",
         "top=1\n[ SetBT ]\nx=1\n[a]b] trailing\ny=2\n[]\nz=3\n[noclose\nw=4\n[\tTab\t]\nt=5\n",
         {"SetBT", "a]b", "a", "Tab", "noclose", "[noclose"},
         {"top", "x", "y", "z", "w", "t", "[noclose"}},
        {"empty key names", "[S]\n=first\n=second\nk=1\n = third\n", {"S"}, {"k", "=first"}},
        {"white space characters",
         "[S]\n\ta\x0b=\x0c"
         "5\x1a\n\x1a[T]\x1a\nb=6\n",
         {"S", "T"},
         {"a", "b"}},
        {"zero bytes",
         "[S]\na=1\0"
         "2\nb\0x=3\n[T\0U]\nc=4\n"s,
         {"S", "T", "T U"},
         {"a", "b", "bx", "c"}},
        {"long values", longValues, {"S"}, {"long", "q", "r", "s", "i29", "i30", "iq", "iq2"}},
        {"UTF-8 byte-order mark",
         "\xEF\xBB\xBF[SetBT]\r\nnQishu=6\r\nname=中文\r\n",
         {"SetBT"},
         {"nQishu", "name"}},
        {"empty file", "", {"SetBT"}, {"nQishu"}},
        {"blank lines only", "\r\n\r\n   \n\t\n", {"SetBT"}, {"nQishu"}},
    };
}

TEST(ProfileCompat, ReadsLikeThePlatform) {
    const fs::path directory =
        fs::temp_directory_path() / ("profile_compat_" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(directory);
    int fileNumber = 0, comparisons = 0, valuesSeen = 0;
    for (const Case& c : cases()) {
        const fs::path file = directory / ("case" + std::to_string(++fileNumber) + ".ini");
        std::ofstream(file, std::ios::binary).write(c.content.data(), static_cast<std::streamsize>(c.content.size()));
        const stake::ProfileText profile(c.content);
        for (const std::string& section : variants(c.sections)) {
            for (const std::string& key : variants(c.keys)) {
                SCOPED_TRACE(testing::Message() << c.name << ": [" << section << "] '" << key << "'");
                const std::string expected = platformText(file, section, key);
                EXPECT_EQ(profile.readText(section, key), expected);
                valuesSeen += !expected.empty();
                for (const std::int32_t defaultValue : {77, -5, 0})
                    EXPECT_EQ(profile.readInt(section, key, defaultValue),
                              static_cast<std::int32_t>(GetPrivateProfileIntW(
                                  widened(section).c_str(), widened(key).c_str(), defaultValue, file.c_str())));
                ++comparisons;
            }
        }
    }
    // A missing file reads as nothing, both ways.
    EXPECT_FALSE(stake::readProfileFile(directory / "missing.ini").has_value());
    EXPECT_EQ(platformText(directory / "missing.ini", "SetBT", "nQishu"), "");
    // The platform must have found the files: most lookups name existing keys.
    EXPECT_GT(valuesSeen, comparisons / 10) << "of " << comparisons << " lookups";
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, nullptr); // the platform's cache lets go
    std::error_code ignored;
    fs::remove_all(directory, ignored);
}

} // namespace
