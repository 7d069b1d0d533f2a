// The filters' shared core: base-set parsing as users paste, the digit
// properties behind the groups, and the command-line request.
#include "sieve/common/base_set.h"
#include "sieve/common/candidate.h"
#include "sieve/common/filter_command.h"
#include "sieve/sieve3/sieve3_engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

using sieve::BaseSet;
using sieve::BaseSetLoad;
using sieve::FilterReply;
using sieve::FilterRequest;

struct Parsed {
    BaseSetLoad result;
    std::vector<int> members;
    std::string baseText;
};

Parsed parse(std::string_view text, int digitCount) {
    BaseSet base;
    base.members.assign(static_cast<std::size_t>(sieve::candidateCount(digitCount)), 0);
    Parsed parsed{sieve::loadBaseSetText(text, digitCount, base), {}, base.baseText};
    for (std::size_t n = 0; n < base.members.size(); ++n) {
        if (base.members[n] != 0)
            parsed.members.push_back(static_cast<int>(n));
    }
    return parsed;
}

TEST(BaseSetText, PastesUsersMake) {
    struct Case {
        const char* name;
        std::string text;
        int digits;
        BaseSetLoad result;
        std::vector<int> members;
    };
    const Case cases[] = {
        {"mixed line ends", "123\r\n456\n789\r012", 3, BaseSetLoad::loaded, {12, 123, 456, 789}},
        {"caption", "胆码大底(共2注) 12 34", 2, BaseSetLoad::loaded, {12, 34}},
        {"caption then line break", "大底)\r\n123", 3, BaseSetLoad::loaded, {123}},
        {"caption with nothing after", "三星大底(共0注)", 3, BaseSetLoad::empty, {}},
        {"caption and one space", "三星大底(共0注) ", 3, BaseSetLoad::empty, {}},
        {"only the first parenthesis counts", "a) 123 (b) 456", 3, BaseSetLoad::malformed, {123}},
        {"full-width comma", "123，456", 3, BaseSetLoad::malformed, {}},
        {"full-width parenthesis", "大底（共1注） 123", 3, BaseSetLoad::malformed, {}},
        {"full-width space after caption",
         "大底)\xE3\x80\x80"
         "123",
         3,
         BaseSetLoad::loaded,
         {123}},
        {"tab", "123\t456", 3, BaseSetLoad::malformed, {}},
        {"tab after a good token", "123 456\t789", 3, BaseSetLoad::malformed, {123}},
        {"letters", "12a", 3, BaseSetLoad::malformed, {}},
        {"sign", "+12", 3, BaseSetLoad::malformed, {}},
        {"too long", "1234", 3, BaseSetLoad::malformed, {}},
        {"runs of separators", ",, 01 ,,, 99 ,", 2, BaseSetLoad::loaded, {1, 99}},
        {"spaces only", "   ", 3, BaseSetLoad::noNumbers, {}},
        {"empty", "", 3, BaseSetLoad::empty, {}},
        {"five digits", "00000,99999 54321", 5, BaseSetLoad::loaded, {0, 54321, 99999}},
        {"four digits", "0123 5678 9012", 4, BaseSetLoad::loaded, {123, 5678, 9012}},
        {"zero byte", std::string("123\0 456", 8), 3, BaseSetLoad::malformed, {}},
        {"stray high bytes", "\xFF\xFE 123", 3, BaseSetLoad::malformed, {}},
        {"parenthesis last", "123)", 3, BaseSetLoad::empty, {}},
        {"parenthesis then one byte", ")x", 3, BaseSetLoad::empty, {}},
    };
    for (const Case& c : cases) {
        const Parsed parsed = parse(c.text, c.digits);
        EXPECT_EQ(parsed.result, c.result) << c.name;
        EXPECT_EQ(parsed.members, c.members) << c.name;
        EXPECT_EQ(parsed.baseText.empty(), c.result == BaseSetLoad::empty) << c.name;
    }
}

TEST(BaseSetText, CleanedTextIsKept) {
    EXPECT_EQ(sieve::cleanBaseSetText("大底) 1,2\r\n3"), "1 2  3");
    EXPECT_EQ(sieve::cleanBaseSetText("1,2"), "1 2");
}

TEST(BaseSetText, MegabytesParseInLinearTime) {
    std::string valid;
    for (int i = 0; valid.size() < 4'000'000; ++i)
        valid += std::to_string(100 + i % 900) + (i % 10 == 9 ? "\r\n" : ",");
    std::string noise(4'000'000, ' ');
    noise.back() = 'x';
    std::string oneToken(4'000'000, '7');

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(parse(valid, 3).members.size(), 900u);
    EXPECT_EQ(parse(noise, 3).result, BaseSetLoad::malformed);
    EXPECT_EQ(parse(oneToken, 3).result, BaseSetLoad::malformed);
    EXPECT_EQ(parse(std::string(4'000'000, ')'), 3).result, BaseSetLoad::malformed);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

TEST(Digits, PropertiesOfOneNumber) {
    const sieve::Digits d(40719, 5);
    EXPECT_EQ(d[0], 4);
    EXPECT_EQ(d[4], 9);
    EXPECT_EQ(d.sum(), 21);
    EXPECT_EQ(d.tail(), 1);
    EXPECT_EQ(d.span(), 9);
    // 4 small, 0 small, 7 big, 1 small, 9 big: 小小大小大 = 0b11010.
    EXPECT_EQ(d.bigSmallIndex(), 0b11010);
    // 4 even, 0 even, 7 odd, 1 odd, 9 odd.
    EXPECT_EQ(d.oddEvenIndex(), 0b11000);
    // 4 composite, 0 composite, 7 prime, 1 prime, 9 composite.
    EXPECT_EQ(d.primeCompositeIndex(), 0b11001);
    EXPECT_EQ(d.routeIndex(), ((((1 * 3) + 0) * 3 + 1) * 3 + 1) * 3 + 0);
    EXPECT_EQ(sieve::Digits(7, 2)[0], 0);
    EXPECT_EQ(sieve::Digits(1123, 4).largestMultiplicity(), 2);
    EXPECT_EQ(sieve::Digits(1123, 4).distinctCount(), 3);
}

// ---------------------------------------------------------------- command-line request

FilterReply run(FilterRequest request) {
    return sieve::runFilter(sieve3::kDesign, request);
}

TEST(FilterRequest, KeptCountAndList) {
    FilterRequest request;
    request.kills = {"pos1=1,2,3,4,5,6,7,8,9", "pos2=1,2,3,4,5,6,7,8,9", "pos3=0"};
    const FilterReply reply = run(request);
    EXPECT_EQ(reply.kind, FilterReply::Kind::kept);
    EXPECT_EQ(reply.text, "9\n001 002 003 004 005 006 007 008 009 \n");

    request.kills.push_back("span=0,1,2,3,4,5,6,7,8,9");
    EXPECT_EQ(run(request).text, "0\n\n");
}

TEST(FilterRequest, MustContainOptions) {
    FilterRequest request;
    request.mustDigits = "1";
    EXPECT_EQ(run(request).text.substr(0, 4), "271\n");
    request.hitCounts = "2";
    const std::string plain = run(request).text;
    EXPECT_NE(plain.find("112 "), std::string::npos);
    request.distinctHits = true;
    EXPECT_EQ(run(request).text, "0\n\n");
    request.mustDigits = "";
    request.hitCounts = "0";
    EXPECT_EQ(run(request).text.substr(0, 5), "1000\n");
    request.hitCounts = "";
    EXPECT_EQ(run(request).text, "0\n\n");
}

TEST(FilterRequest, BaseSet) {
    FilterRequest request;
    request.baseText = "123,456\r\n789";
    EXPECT_EQ(run(request).text, "3\n123 456 789 \n");
    request.baseText = "345 12 678";
    const FilterReply refused = run(request);
    EXPECT_EQ(refused.kind, FilterReply::Kind::refused);
    EXPECT_EQ(refused.text, sieve3::kMalformedMessage);
    request.baseText = " , ";
    EXPECT_EQ(run(request).text, "0\n\n");
    request.baseText = "";
    EXPECT_EQ(run(request).text.substr(0, 5), "1000\n");
}

TEST(FilterRequest, BadUsage) {
    const std::vector<std::string> kills = {
        "nosuch=1", "sum=28", "sum=-1", "sum=",    "sum=1,,2", "sum=1x",
        "sum",      "pair=0", "form=4", "sort1=3", "pos4=0"};
    for (const std::string& kill : kills) {
        FilterRequest request;
        request.kills = {kill};
        EXPECT_EQ(run(request).kind, FilterReply::Kind::badUsage) << kill;
    }
    FilterRequest must;
    must.mustDigits = "1a";
    EXPECT_EQ(run(must).kind, FilterReply::Kind::badUsage);
    FilterRequest hits;
    hits.hitCounts = "4";
    EXPECT_EQ(run(hits).kind, FilterReply::Kind::badUsage);
}

} // namespace
