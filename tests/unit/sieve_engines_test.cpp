// The number filters: base-set texts as users paste them, the command-line request, each
// filter's criterion groups as data (names, box and key counts, what each box kills alone),
// and the one-pass recompute against the per-box definition on seeded random criteria.
#include "sieve/common/filter_command.h"
#include "sieve/common/number_sieve.h"
#include "sieve/common/per_box_sieve.h"
#include "sieve/sieve2/sieve2_engine.h"
#include "sieve/sieve3/sieve3_engine.h"
#include "sieve/sieve4/sieve4_engine.h"
#include "sieve/sieve5/sieve5_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using sieve::BaseSetLoad;
using sieve::FilterDesign;
using sieve::NumberSieve;
using sieve::SieveCriteria;

// The outcome and the numbers loaded, from a buffer of exactly the text's
// size, so that a read past its end stops the test.
std::string parse(const std::string& text, int digitCount) {
    const std::vector<char> buffer(text.begin(), text.end());
    sieve::BaseSet base;
    const BaseSetLoad load =
        sieve::loadBaseSetText({buffer.data(), buffer.size()}, digitCount, base);
    EXPECT_EQ(base.inForce(), load != BaseSetLoad::empty) << text;
    std::string outcome =
        std::array{"empty", "none", "loaded", "malformed"}[static_cast<int>(load)];
    for (std::size_t n = 0; n < base.members.size(); ++n) {
        if (base.members[n] != 0)
            outcome += ' ' + std::to_string(n);
    }
    return outcome;
}

TEST(BaseSetText, PastesUsersMake) {
    const std::tuple<const char*, std::string, int, const char*> cases[] = {
        {"mixed line ends", "123\r\n456\n789\r012", 3, "loaded 12 123 456 789"},
        {"caption", "胆码大底(共2注) 12 34", 2, "loaded 12 34"},
        {"caption then line break", "大底)\r\n123", 3, "loaded 123"},
        {"caption with nothing after", "三星大底(共0注)", 3, "empty"},
        {"caption and one space", "三星大底(共0注) ", 3, "empty"},
        {"caption and two spaces", "大底)  ", 3, "none"},
        {"only the first parenthesis counts", "a) 123 (b) 456", 3, "malformed 123"},
        {"full-width comma", "123，456", 3, "malformed"},
        {"full-width space after caption", "大底)\u3000123", 3, "loaded 123"},
        {"cut character after caption", std::string(")\xE3") + "123", 3, "loaded 123"},
        {"cut character at the end", "大底)\xE3\x80", 3, "empty"},
        {"parenthesis then one byte", ")x", 3, "empty"},
        {"tab after a good token", "123 456\t789", 3, "malformed 123"},
        {"letters", "12a", 3, "malformed"},
        {"too long", "1234", 3, "malformed"},
        {"too short after a good token", "345 12 678", 3, "malformed 345"},
        {"runs of separators", ",, 01 ,,, 99 ,", 2, "loaded 1 99"},
        {"duplicates", "555 555 001", 3, "loaded 1 555"},
        {"empty", "", 3, "empty"},
        {"five digits", "00000,99999 54321", 5, "loaded 0 54321 99999"},
        {"zero byte", std::string("123\0 456", 8), 3, "malformed"},
        {"stray high bytes", "\xFF\xFE 123", 3, "malformed"},
    };
    for (const auto& [name, text, digits, outcome] : cases)
        EXPECT_EQ(parse(text, digits), outcome) << name;
}

TEST(FilterRequest, Replies) {
    using Kind = sieve::FilterReply::Kind;
    using Text = std::optional<std::string>;
    const auto refusal = [](const char* digits) {
        return std::string("号码存在不符合规则,要以") + digits + "位数且空格或者逗号分隔!";
    };
    const Text none;
    // Each case: the kills (separated by spaces), --must, --hits, --distinct, --base, and the
    // reply's kind and start.
    const std::tuple<const FilterDesign&, const char*, Text, Text, bool, Text, Kind, std::string>
        cases[] = {
            {sieve3::kDesign, "pos1=1,2,3,4,5,6,7,8,9 pos2=1,2,3,4,5,6,7,8,9 pos3=0", none, none,
             false, none, Kind::kept, "9\n001 002 003 004 005 006 007 008 009 \n"},
            // --must alone keeps the hit counts ticked at start-up.
            {sieve2::kDesign, "", "1", none, false, none, Kind::kept, "19\n"},
            {sieve3::kDesign, "", "1", none, false, none, Kind::kept, "271\n"},
            {sieve3::kDesign, "", "0", none, false, none, Kind::kept, "271\n"},
            {sieve4::kDesign, "", "1", none, false, none, Kind::kept, "3439\n"},
            {sieve5::kDesign, "", "1", none, false, none, Kind::kept, "0\n\n"},
            {sieve5::kDesign, "", "1", "1", false, none, Kind::kept, "32805\n"},
            {sieve3::kDesign, "", "12", "2", false, none, Kind::kept, "96\n"},
            {sieve3::kDesign, "", "21", "2", true, none, Kind::kept, "54\n"},
            {sieve3::kDesign, "", "", "0", false, none, Kind::kept, "1000\n"},
            {sieve5::kDesign, "", none, "5", false, none, Kind::kept, "100000\n"},
            {sieve3::kDesign, "", none, none, false, "123,456\r\n789", Kind::kept,
             "3\n123 456 789 \n"},
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
            {sieve3::kDesign, "pos1=10", none, none, false, none, Kind::badUsage,
             "group pos1: '10' is not an index 0-9"},
        };
    for (const auto& [design, killText, must, hits, distinct, base, kind, start] : cases) {
        std::vector<std::string> kills;
        std::istringstream in(killText);
        for (std::string kill; in >> kill;)
            kills.push_back(kill);
        const auto reply = sieve::runFilter(design, {kills, must, hits, distinct, base});
        EXPECT_EQ(reply.kind, kind) << killText << " | " << start;
        EXPECT_EQ(reply.text.substr(0, start.size()), start);
    }
    for (const char* kill : {"sum=28", "sum=-1", "sum=", "sum=1,,2", "sum=1x", "sum", "pair=0",
                             "form=4", "sort1=3", "pos4=0"})
        EXPECT_EQ(sieve::runFilter(sieve3::kDesign, {{kill}, none, none, false, none}).kind,
                  Kind::badUsage)
            << kill;
}

struct Group {
    const char* name;
    int boxes, keys;
    const char* sampleBoxes; // the boxes that kill the filter's sample number
    const char* kills;       // per box, how many numbers it kills alone: "7 25*4"
};

struct Filter {
    const FilterDesign* design;
    int sample;
    std::span<const Group> groups;
    bool resetsBeforeParsing;
    int rounds; // of the random comparison
};

// clang-format off
const Group kSieve2Groups[] = {
    {"pos1", 10, 10, "5", "10*10"}, {"pos2", 10, 10, "4", "10*10"},
    {"route", 9, 9, "7", "16 12*3 9*2 12 9*2"},
    {"sum", 19, 19, "9", "1 2 3 4 5 6 7 8 9 10 9 8 7 6 5 4 3 2 1"},
    {"tail", 10, 10, "9", "10*10"}, {"span", 10, 10, "1", "10 18 16 14 12 10 8 6 4 2"},
    {"bigsmall", 4, 4, "1", "25*4"}, {"oddeven", 4, 4, "1", "25*4"},
    {"primecomp", 4, 4, "1", "25*4"}, {"pair", 2, 3, "1", "10 20"},
};
const Group kSieve3Groups[] = {
    {"pos1", 10, 10, "4", "100*10"}, {"pos2", 10, 10, "6", "100*10"},
    {"pos3", 10, 10, "5", "100*10"},
    {"route", 27, 27, "11", "64 48*3 36*2 48 36*2 48 36*3 27*2 36 27*2 48 36*3 27*2 36 27*2"},
    {"sum", 28, 28, "15",
     "1 3 6 10 15 21 28 36 45 55 63 69 73 75*2 73 69 63 55 45 36 28 21 15 10 6 3 1"},
    {"tail", 10, 10, "5", "100*10"}, {"span", 10, 10, "2", "10 54 96 126 144 150 144 126 96 54"},
    {"bigsmall", 8, 8, "4", "125*8"}, {"oddeven", 8, 8, "6", "125*8"},
    {"primecomp", 8, 8, "6", "125*8"}, {"form", 4, 6, "0 3", "720 270 10 60"},
    {"sort1", 3, 3, "1", "657 316 27"}, {"sort3", 3, 3, "1", "27 316 657"},
};
const Group kSieve4Groups[] = {
    {"pos1", 10, 10, "2", "1000*10"}, {"pos2", 10, 10, "9", "1000*10"},
    {"pos3", 10, 10, "6", "1000*10"}, {"pos4", 10, 10, "1", "1000*10"},
    {"sum", 37, 37, "18", "1 4 10 20 35 56 84 120 165 220 282 348 415 480 540 592 633 660 670 "
                          "660 633 592 540 480 415 348 282 220 165 120 84 56 35 20 10 4 1"},
    {"tail", 10, 10, "8", "1000*10"},
    {"span", 10, 10, "8", "10 126 400 770 1164 1510 1736 1770 1540 974"},
    {"bigsmall", 16, 16, "9", "625*16"}, {"oddeven", 16, 16, "10", "625*16"},
    {"primecomp", 16, 16, "6", "625*16"}, {"form", 5, 5, "0", "5040 4320 270 360 10"},
};
const Group kSieve5Groups[] = {
    {"pos1", 10, 10, "4", "10000*10"}, {"pos2", 10, 10, "0", "10000*10"},
    {"pos3", 10, 10, "7", "10000*10"}, {"pos4", 10, 10, "1", "10000*10"},
    {"pos5", 10, 10, "9", "10000*10"},
    {"sum", 46, 46, "21", "1 5 15 35 70 126 210 330 495 715 996 1340 1745 2205 2710 3246 3795 "
                          "4335 4840 5280 5631 5875 6000*2 5875 5631 5280 4840 4335 3795 3246 "
                          "2710 2205 1745 1340 996 715 495 330 210 126 70 35 15 5 1"},
    {"tail", 10, 10, "1", "10000*10"},
    {"span", 10, 10, "9", "10 270 1440 3990 7920 12750 17520 20790 20640 14670"},
    {"bigsmall", 32, 32, "26", "3125*32"}, {"oddeven", 32, 32, "24", "3125*32"},
    {"primecomp", 32, 32, "25", "3125*32"},
    {"form", 7, 7, "0", "30240 50400 10800 7200 900 450 10"},
};
// clang-format on

const Filter kFilters[] = {
    {&sieve2::kDesign, 54, kSieve2Groups, false, 1500},
    {&sieve3::kDesign, 465, kSieve3Groups, false, 300},
    {&sieve4::kDesign, 2961, kSieve4Groups, true, 40},
    {&sieve5::kDesign, 40719, kSieve5Groups, true, 8},
};

// "1 2*3": 1, then 2 three times.
std::vector<int> expand(const char* text) {
    std::vector<int> values;
    std::istringstream in(text);
    for (std::string item; in >> item;) {
        const std::size_t star = item.find('*');
        const int times = star == std::string::npos ? 1 : std::stoi(item.substr(star + 1));
        values.insert(values.end(), static_cast<std::size_t>(times), std::stoi(item));
    }
    return values;
}

// A number with all its digits, as the filters write it.
std::string digitsOf(int number, int digitCount) {
    std::string text = std::to_string(number);
    return std::string(static_cast<std::size_t>(digitCount) - text.size(), '0') + text;
}

class SieveEngine : public testing::TestWithParam<Filter> {};

TEST_P(SieveEngine, GroupsAndWhatEachBoxKills) {
    const Filter& filter = GetParam();
    const FilterDesign& design = *filter.design;
    ASSERT_EQ(design.groups.size(), filter.groups.size());
    NumberSieve sieve(design);
    for (std::size_t g = 0; g < filter.groups.size(); ++g) {
        const Group& row = filter.groups[g];
        const sieve::KillGroup& group = design.groups[g];
        EXPECT_EQ(group.name, row.name);
        EXPECT_EQ(group.boxCount, row.boxes) << row.name;
        EXPECT_EQ(group.keyCount, row.keys) << row.name;
        std::vector<int> kills, sampleBoxes;
        for (int box = 0; box < group.boxCount; ++box) {
            SieveCriteria criteria = SieveCriteria::startState(design);
            criteria.tick(static_cast<int>(g), box);
            sieve.recompute(criteria);
            kills.push_back(design.candidates() - sieve.keptCount());
            if (!sieve.isKept(filter.sample))
                sampleBoxes.push_back(box);
        }
        EXPECT_EQ(kills, expand(row.kills)) << row.name;
        EXPECT_EQ(sampleBoxes, expand(row.sampleBoxes)) << row.name;
    }
}

// Few ticks or most of a group, the must-contain rule, masks for groups the filter lacks.
SieveCriteria randomCriteria(const FilterDesign& design, std::mt19937& random) {
    SieveCriteria criteria = SieveCriteria::startState(design);
    for (std::size_t g = 0; g < design.groups.size(); ++g) {
        const unsigned chance = std::array<unsigned, 8>{0, 0, 2, 5, 10, 15, 70, 100}[random() % 8];
        for (int box = 0; box < design.groups[g].boxCount; ++box) {
            if (random() % 100 < chance)
                criteria.tick(static_cast<int>(g), box);
        }
    }
    if (random() % 4 == 0)
        criteria.ticked.push_back(random());
    criteria.mustContain = {random() % 2 == 0, static_cast<std::uint16_t>(random() & 0x3FF),
                            static_cast<std::uint8_t>(random() & 0x3F), random() % 2 == 0};
    return criteria;
}

// Numbers with any separators, or none; sometimes a caption before or a word after them.
std::string randomBaseText(const FilterDesign& design, std::mt19937& random) {
    std::string text = random() % 2 == 0 ? "大底(共N注) " : "";
    const char* const separators[] = {" ", ",", "\r\n", "  "};
    for (unsigned i = random() % 4 == 0 ? 0 : random() % 300; i > 0; --i)
        text += digitsOf(static_cast<int>(random() % static_cast<unsigned>(design.candidates())),
                         design.digitCount) +
                separators[random() % 4];
    return text + (random() % 4 == 0 ? " x" : " ");
}

TEST_P(SieveEngine, OnePassEqualsThePerBoxDefinition) {
    const Filter& filter = GetParam();
    const FilterDesign& design = *filter.design;
    std::mt19937 random(static_cast<unsigned>(design.digitCount));
    NumberSieve sieve(design);
    for (int round = 0; round < filter.rounds; ++round) {
        const SieveCriteria criteria = randomCriteria(design, random);
        if (round % 3 == 0) {
            // A loaded base set shows at once; sieve4 and sieve5 keep all before parsing.
            const int before = sieve.keptCount();
            const BaseSetLoad load = sieve.loadBaseSet(randomBaseText(design, random));
            const auto& members = sieve.baseSet().members;
            EXPECT_EQ(sieve.keptCount(),
                      load == BaseSetLoad::loaded
                          ? static_cast<int>(std::count(members.begin(), members.end(), 1))
                      : filter.resetsBeforeParsing ? design.candidates()
                                                   : before)
                << "round " << round;
        } else if (round % 3 == 1) {
            ASSERT_EQ(sieve.loadBaseSet(""), BaseSetLoad::empty);
        }
        sieve.recompute(criteria);

        const std::vector<std::uint8_t> killed =
            sieve::recomputePerBox(design, criteria, sieve.baseSet());
        std::string list;
        int kept = 0;
        for (int c = 0; c < design.candidates(); ++c) {
            ASSERT_EQ(sieve.isKept(c), killed[static_cast<std::size_t>(c)] == 0)
                << "round " << round << ", number " << c;
            if (killed[static_cast<std::size_t>(c)] == 0) {
                list += digitsOf(c, design.digitCount) + ' ';
                ++kept;
            }
        }
        ASSERT_EQ(sieve.keptCount(), kept) << "round " << round;
        ASSERT_TRUE(sieve.numberList() == list) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Filters, SieveEngine, testing::ValuesIn(kFilters),
                         [](const testing::TestParamInfo<Filter>& info) {
                             return "sieve" + std::to_string(info.param.design->digitCount);
                         });

} // namespace
