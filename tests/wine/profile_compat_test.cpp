// ProfileText held against the platform's own GetPrivateProfileStringW and
// GetPrivateProfileIntW: awkward settings files are written to a temporary
// folder and every section and key, in other cases and with blanks, is read
// both ways.
#include "stake/common/profile_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::wstring wide(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}

// The names of `list` ('|' between them) as written, in lower and upper case
// and with white space around; and the names nobody wrote.
std::vector<std::string> variants(const std::string& list) {
    std::vector<std::string> all{"", " ", "Missing"};
    std::istringstream names(list);
    for (std::string name; std::getline(names, name, '|');) {
        std::string lower = name, upper = name;
        for (std::size_t i = 0; i < name.size(); ++i) {
            lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
            upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[i])));
        }
        all.insert(all.end(), {name, lower, upper, "  " + name + "\t"});
    }
    return all;
}

const std::string kLadderKeys =
    "nModel|nLirunLv|nLirunType|nQishu|nStartBeishu|nXingshu|nZhushu|fLirun|fPeilv";

// Name, file content, sections and keys to read.
const std::string kCases[][4] = {
    {"written by the dialog",
     "[SetBT]\r\nnModel=3\r\nnLirunLv=1\r\nnLirunType=0\r\nnQishu=5\r\nnStartBeishu=1\r\n"
     "nXingshu=2\r\nnZhushu=500\r\nfLirun=100.000000\r\nfPeilv=1956.000000\r\n",
     "SetBT", kLadderKeys},
    {"spaces around '=' and LF",
     "[SetBT]\n  nQishu  =  7  \n\tnZhushu\t=\t250\t\nfPeilv = 1956.5 \n", "SetBT", kLadderKeys},
    {"mixed line ends", "[S]\na=1\rb=2\n\n\r\nc=3\r\n\r\rd=4", "S", "a|b|c|d"},
    {"duplicate sections", "[SetBT]\nnQishu=1\n[Other]\nx=1\n[setbt]\nnQishu=2\nnZhushu=3\n",
     "SetBT|Other", "nQishu|nZhushu|x"},
    {"duplicate keys", "[SetBT]\nnQishu=1\nNQISHU=2\nnqishu=3\n", "SetBT", "nQishu"},
    {"comment lines", "[SetBT]\n;nQishu=5\n#nZhushu=6\n; comment\nnQishu=8\n", "SetBT",
     "nQishu|nZhushu|;nQishu|#nZhushu|; comment|;"},
    {"values",
     "[SetBT]\na=-1\nb=12abc\nc=99999999999\nd=0x10\ne=0X10\nf=0o17\ng=0b101\nh=+42\n"
     "i=-0x10\nj='7'\nk=\"8\"\nl=\"9'\nm=''\nn=\"\"\no=\"\np=\nq\nr=+-1\ns=\x01 5\n"
     "t=000000000000000000000000000012\nu=\" 12\"\nv=1 2\nw=a=b\nx=-2147483648\n"
     "y=4294967295\nz=0xFFFFFFFF\naa=0b\nab=0x\nac=-\nad=0o8\nae=12 \naf=' 7 '\n",
     "SetBT", "a|b|c|d|e|f|g|h|i|j|k|l|m|n|o|p|q|r|s|t|u|v|w|x|y|z|aa|ab|ac|ad|ae|af"},
    {"awkward section lines",
     "top=1\n[ SetBT ]\nx=1\n[a]b] trailing\ny=2\n[]\nz=3\n[noclose\nw=4\n[\tTab\t]\nt=5\n",
     "SetBT|a]b|a|Tab|noclose|[noclose", "top|x|y|z|w|t|[noclose"},
    {"empty key names", "[S]\n=first\n=second\nk=1\n = third\n", "S", "k|=first"},
    {"white space characters", "[S]\n\ta\x0b=\x0c" "5\x1a\n\x1a[T]\x1a\nb=6\n", "S|T", "a|b"},
    {"zero bytes", "[S]\na=1\0" "2\nb\0x=3\n[T\0U]\nc=4\n"s, "S|T|T U", "a|b|bx|c"},
    {"long values",
     "[S]\r\nlong=" + std::string(300, 'x') + "\r\nq=\"" + std::string(259, 'y') + "\"\r\nr=\"" +
         std::string(258, 'z') + "\"\r\ns='" + std::string(260, 'w') + "'\r\n" +
         "i29=00000000000000000000000000012\r\ni30=000000000000000000000000000012\r\n"
         "iq='0000000000000000000000000012'\r\niq2=\"00000000000000000000000000012\"\r\n",
     "S", "long|q|r|s|i29|i30|iq|iq2"},
    {"UTF-8 byte-order mark", "\xEF\xBB\xBF[SetBT]\r\nnQishu=6\r\nname=中文\r\n", "SetBT",
     "nQishu|name"},
    {"empty file", "", "SetBT", "nQishu"},
    {"blank lines only", "\r\n\r\n   \n\t\n", "SetBT", "nQishu"},
};

TEST(ProfileCompat, ReadsLikeThePlatform) {
    const fs::path directory =
        fs::temp_directory_path() / ("profile_compat_" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(directory);
    for (const auto& [name, content, sections, keys] : kCases) {
        const fs::path file = directory / (name + ".ini");
        std::ofstream(file, std::ios::binary) << content;
        const stake::ProfileText profile(content);
        for (const std::string& section : variants(sections))
            for (const std::string& key : variants(keys)) {
                SCOPED_TRACE(name + ": [" + section + "] '" + key + "'");
                wchar_t text[260] = {};
                const DWORD length = GetPrivateProfileStringW(
                    wide(section).c_str(), wide(key).c_str(), L"", text, 260, file.c_str());
                EXPECT_EQ(wide(profile.readText(section, key)), std::wstring(text, length));
                for (const int defaultValue : {77, -5, 0})
                    EXPECT_EQ(profile.readInt(section, key, defaultValue),
                              static_cast<int>(GetPrivateProfileIntW(wide(section).c_str(),
                                  wide(key).c_str(), defaultValue, file.c_str())));
            }
    }
    EXPECT_FALSE(stake::readProfileFile(directory / "missing.ini").has_value());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, nullptr); // the platform's cache lets go
    std::error_code ignored;
    fs::remove_all(directory, ignored);
}

} // namespace
