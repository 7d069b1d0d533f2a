// The filters' shared core: base-set texts as users paste them, and the
// command-line request with its figures and refusals.
#include "sieve/common/base_set.h"
#include "sieve/common/filter_command.h"
#include "sieve/sieve2/sieve2_engine.h"
#include "sieve/sieve3/sieve3_engine.h"
#include "sieve/sieve4/sieve4_engine.h"
#include "sieve/sieve5/sieve5_engine.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using sieve::BaseSetLoad;
using sieve::FilterReply;
using sieve::FilterRequest;

struct Parsed {
    BaseSetLoad result;
    std::vector<int> members;
    std::string baseText;
};

// Parsed from a buffer of exactly the text's size, so that a read past its
// end stops the test.
Parsed parse(const std::string& text, int digitCount) {
    const std::vector<char> buffer(text.begin(), text.end());
    sieve::BaseSet base;
    const BaseSetLoad result =
        sieve::loadBaseSetText({buffer.data(), buffer.size()}, digitCount, base);
    Parsed parsed{result, {}, base.baseText};
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
        {"caption and two spaces", "大底)  ", 3, BaseSetLoad::noNumbers, {}},
        {"only the first parenthesis counts", "a) 123 (b) 456", 3, BaseSetLoad::malformed, {123}},
        {"full-width comma", "123，456", 3, BaseSetLoad::malformed, {}},
        {"full-width parenthesis", "大底（共1注） 123", 3, BaseSetLoad::malformed, {}},
        {"full-width space after caption", "大底)\u3000123", 3, BaseSetLoad::loaded, {123}},
        {"cut character after caption",
         ")\xE3"
         "123",
         3,
         BaseSetLoad::loaded,
         {123}},
        {"cut character at the end", "大底)\xE3\x80", 3, BaseSetLoad::empty, {}},
        {"tab after a good token", "123 456\t789", 3, BaseSetLoad::malformed, {123}},
        {"letters", "12a", 3, BaseSetLoad::malformed, {}},
        {"sign", "+12", 3, BaseSetLoad::malformed, {}},
        {"too long", "1234", 3, BaseSetLoad::malformed, {}},
        {"too short after a good token", "345 12 678", 3, BaseSetLoad::malformed, {345}},
        {"runs of separators", ",, 01 ,,, 99 ,", 2, BaseSetLoad::loaded, {1, 99}},
        {"duplicates", "555 555 001", 3, BaseSetLoad::loaded, {1, 555}},
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
    EXPECT_EQ(parse("大底) 1,2\r\n3", 3).baseText, "1 2  3");
}

TEST(FilterRequest, Replies) {
    using Kind = FilterReply::Kind;
    using Text = std::optional<std::string>;
    struct Case {
        const sieve::FilterDesign& design;
        const char* kills; // separated by spaces
        Text must, hits;
        bool distinct;
        Text base;
        Kind kind;
        std::string reply; // its start
    };
    const auto refusal = [](const char* digits) {
        return std::string("号码存在不符合规则,要以") + digits + "位数且空格或者逗号分隔!";
    };
    const Text none;
    const Case cases[] = {
        {sieve3::kDesign, "pos1=1,2,3,4,5,6,7,8,9 pos2=1,2,3,4,5,6,7,8,9 pos3=0", none, none, false,
         none, Kind::kept, "9\n001 002 003 004 005 006 007 008 009 \n"},
        {sieve3::kDesign, "pos1=1 span=0,1,2,3,4,5,6,7,8,9", none, none, false, none, Kind::kept,
         "0\n\n"},
        // --must alone keeps the hit counts ticked at start-up.
        {sieve2::kDesign, "", "1", none, false, none, Kind::kept, "19\n"},
        {sieve3::kDesign, "", "1", none, false, none, Kind::kept, "271\n"},
        {sieve4::kDesign, "", "1", none, false, none, Kind::kept, "3439\n"},
        {sieve5::kDesign, "", "1", none, false, none, Kind::kept, "0\n\n"},
        {sieve5::kDesign, "", "1", "1", false, none, Kind::kept, "32805\n"},
        {sieve3::kDesign, "", "1", "2", false, none, Kind::kept, "27\n"},
        {sieve3::kDesign, "", "1", "2", true, none, Kind::kept, "0\n\n"},
        {sieve3::kDesign, "", "12", "2", false, none, Kind::kept, "96\n"},
        {sieve3::kDesign, "", "21", "2", true, none, Kind::kept, "54\n"},
        {sieve3::kDesign, "", "", "0", false, none, Kind::kept, "1000\n"},
        {sieve3::kDesign, "", "", "", false, none, Kind::kept, "0\n\n"},
        {sieve5::kDesign, "", none, "5", false, none, Kind::kept, "100000\n"},
        {sieve3::kDesign, "", none, none, false, "123,456\r\n789", Kind::kept, "3\n123 456 789 \n"},
        {sieve3::kDesign, "", none, none, false, " , ", Kind::kept, "0\n\n"},
        {sieve3::kDesign, "", none, none, false, "", Kind::kept, "1000\n"},
        {sieve2::kDesign, "", none, none, false, "12,34 567", Kind::refused, refusal("2")},
        {sieve3::kDesign, "", none, none, false, "345 12", Kind::refused, refusal("3")},
        {sieve4::kDesign, "", none, none, false, "123 5678", Kind::refused, refusal("4")},
        {sieve5::kDesign, "", none, none, false, "1234", Kind::refused, refusal("5")},
        {sieve3::kDesign, "", "1a", none, false, none, Kind::badUsage, "--must"},
        {sieve3::kDesign, "", none, "4", false, none, Kind::badUsage, "--hits"},
        {sieve3::kDesign, "pos1=0 nosuch=1", none, none, false, none, Kind::badUsage,
         "unknown group"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> kills;
        std::istringstream in(c.kills);
        for (std::string kill; in >> kill;)
            kills.push_back(kill);
        const FilterReply reply =
            sieve::runFilter(c.design, {kills, c.must, c.hits, c.distinct, c.base});
        EXPECT_EQ(reply.kind, c.kind) << c.kills << " | " << c.reply;
        EXPECT_EQ(reply.text.substr(0, c.reply.size()), c.reply);
    }
    for (const char* kill : {"sum=28", "sum=-1", "sum=", "sum=1,,2", "sum=1x", "sum", "pair=0",
                             "form=4", "sort1=3", "pos4=0"}) {
        const FilterReply reply = sieve::runFilter(sieve3::kDesign, {{kill}, {}, {}, false, {}});
        EXPECT_EQ(reply.kind, Kind::badUsage) << kill;
    }
}

} // namespace
