// The four- and five-digit filter engines: the figures users check by hand,
// base-set parsing, and the one-pass recompute against the per-box
// definition on random criteria sets.
#include "sieve/common/number_sieve.h"
#include "sieve/common/per_box_sieve.h"
#include "sieve/sieve4/sieve4_engine.h"
#include "sieve/sieve5/sieve5_engine.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using sieve::BaseSetLoad;
using sieve::Digits;
using sieve::NumberSieve;
using sieve::SieveCriteria;

// How many numbers remain with one box ticked and nothing else.
int keptWith(const sieve::FilterDesign& design, int group, int box) {
    NumberSieve sieve(design);
    SieveCriteria criteria = SieveCriteria::startState(design);
    criteria.tick(group, box);
    sieve.recompute(criteria);
    return sieve.keptCount();
}

int killedBy(const sieve::FilterDesign& design, int group, int box) {
    return design.candidates() - keptWith(design, group, box);
}

SieveCriteria mustContain(const sieve::FilterDesign& design, std::uint16_t digits,
                          std::uint8_t hits, bool distinct) {
    SieveCriteria criteria = SieveCriteria::startState(design);
    criteria.mustContain = {true, digits, hits, distinct};
    return criteria;
}

// ---------------------------------------------------------------- four digits

TEST(Sieve4Engine, NothingTickedKeepsAllTenThousand) {
    NumberSieve sieve(sieve4::kDesign);
    sieve.recompute(SieveCriteria::startState(sieve4::kDesign));
    const std::string list = sieve.numberList();
    EXPECT_EQ(sieve.keptCount(), 10000);
    ASSERT_EQ(list.size(), 50000u);
    EXPECT_EQ(list.substr(0, 15), "0000 0001 0002 ");
    EXPECT_EQ(list.substr(list.size() - 5), "9999 ");
}

TEST(Sieve4Engine, SingleBoxFigures) {
    using namespace sieve4;
    EXPECT_EQ(killedBy(kDesign, kThousands, 0), 1000);
    EXPECT_EQ(killedBy(kDesign, kUnits, 9), 1000);
    EXPECT_EQ(killedBy(kDesign, kSum, 0), 1);
    EXPECT_EQ(killedBy(kDesign, kSum, 36), 1);
    EXPECT_EQ(killedBy(kDesign, kTail, 0), 1000);
    EXPECT_EQ(killedBy(kDesign, kSpan, 0), 10);
    EXPECT_EQ(killedBy(kDesign, kBigSmall, 0), 625);
    EXPECT_EQ(killedBy(kDesign, kBigSmall, 15), 625);
    // The forms split the 10000 numbers.
    const int forms[] = {10 * 9 * 8 * 7, 6 * 10 * 9 * 8, 270, 360, 10};
    int total = 0;
    for (int form = 0; form < 5; ++form) {
        EXPECT_EQ(killedBy(kDesign, kForm, form), forms[form]) << form;
        total += forms[form];
    }
    EXPECT_EQ(total, 10000);
}

TEST(Sieve4Engine, WhichNumbersABoxKills) {
    using namespace sieve4;
    const auto form = [](int n) { return groupType(Digits(n, 4)); };
    EXPECT_EQ(form(1123), GroupType::group12);
    EXPECT_EQ(form(2113), GroupType::group12);
    EXPECT_EQ(form(1213), GroupType::group12);
    EXPECT_EQ(form(1122), GroupType::group6);
    EXPECT_EQ(form(1212), GroupType::group6);
    EXPECT_EQ(form(1112), GroupType::group4);
    EXPECT_EQ(form(2111), GroupType::group4);
    EXPECT_EQ(form(5555), GroupType::leopard);
    EXPECT_EQ(form(1234), GroupType::group24);
    // 质质质质 kills 1111, 1235 and 2222 (1 is prime) and keeps 1230.
    NumberSieve sieve(kDesign);
    SieveCriteria criteria = SieveCriteria::startState(kDesign);
    criteria.tick(kPrimeComposite, 0);
    sieve.recompute(criteria);
    EXPECT_FALSE(sieve.isKept(1111));
    EXPECT_FALSE(sieve.isKept(1235));
    EXPECT_FALSE(sieve.isKept(2222));
    EXPECT_TRUE(sieve.isKept(1230));
    // Ticking every box of one group kills everything.
    for (int box = 0; box < 10; ++box)
        criteria.tick(kSpan, box);
    sieve.recompute(criteria);
    EXPECT_EQ(sieve.keptCount(), 0);
    EXPECT_EQ(sieve.numberList(), "");
}

TEST(Sieve4Engine, MustContain) {
    using namespace sieve4;
    NumberSieve sieve(kDesign);
    sieve.recompute(mustContain(kDesign, 1u << 1, 0b11110, false));
    EXPECT_EQ(sieve.keptCount(), 10000 - 9 * 9 * 9 * 9);
    sieve.recompute(mustContain(kDesign, 1u << 1, 0b00100, false));
    EXPECT_TRUE(sieve.isKept(1123));
    sieve.recompute(mustContain(kDesign, 1u << 1, 0b00100, true));
    EXPECT_FALSE(sieve.isKept(1123));
    sieve.recompute(mustContain(kDesign, 0b110, 0b00100, true));
    EXPECT_TRUE(sieve.isKept(1213));
    // No digit ticked: every number scores 0.
    sieve.recompute(mustContain(kDesign, 0, 0b11110, false));
    EXPECT_EQ(sieve.keptCount(), 0);
    sieve.recompute(mustContain(kDesign, 0, 0b00001, false));
    EXPECT_EQ(sieve.keptCount(), 10000);
}

TEST(Sieve4Engine, BaseSetTogetherWithMustContain) {
    NumberSieve sieve(sieve4::kDesign);
    ASSERT_EQ(sieve.loadBaseSet("1234"), BaseSetLoad::loaded);
    sieve.recompute(mustContain(sieve4::kDesign, 1u << 9, 0b00010, false));
    int exactlyOneNine = 0;
    for (int n = 0; n < 10000; ++n) {
        const bool one = Digits(n, 4).occurrences(9) == 1;
        exactlyOneNine += one;
        EXPECT_EQ(sieve.isKept(n), one || n == 1234) << n;
    }
    EXPECT_EQ(sieve.keptCount(), exactlyOneNine + 1);
}

// ---------------------------------------------------------------- five digits

TEST(Sieve5Engine, NothingTickedKeepsAllHundredThousand) {
    NumberSieve sieve(sieve5::kDesign);
    sieve.recompute(SieveCriteria::startState(sieve5::kDesign));
    const std::string list = sieve.numberList();
    EXPECT_EQ(sieve.keptCount(), 100000);
    ASSERT_EQ(list.size(), 600000u);
    EXPECT_EQ(list.substr(0, 12), "00000 00001 ");
    EXPECT_EQ(list.substr(list.size() - 6), "99999 ");
}

TEST(Sieve5Engine, SingleBoxFigures) {
    using namespace sieve5;
    EXPECT_EQ(killedBy(kDesign, kTenThousands, 0), 10000);
    EXPECT_EQ(killedBy(kDesign, kTail, 0), 10000);
    EXPECT_EQ(killedBy(kDesign, kSum, 0), 1);
    EXPECT_EQ(killedBy(kDesign, kSum, 45), 1);
    EXPECT_EQ(killedBy(kDesign, kSpan, 0), 10);
    EXPECT_EQ(killedBy(kDesign, kBigSmall, 0), 3125);
    const int forms[] = {10 * 9 * 8 * 7 * 6, 10 * 10 * 9 * 8 * 7, 45 * 8 * 30, 10 * 36 * 20,
                         900, 450, 10};
    int total = 0;
    for (int form = 0; form < 7; ++form) {
        EXPECT_EQ(killedBy(kDesign, kForm, form), forms[form]) << form;
        total += forms[form];
    }
    EXPECT_EQ(total, 100000);
}

TEST(Sieve5Engine, Forms) {
    using namespace sieve5;
    NumberSieve sieve(kDesign);
    SieveCriteria criteria = SieveCriteria::startState(kDesign);
    criteria.tick(kForm, static_cast<int>(GroupType::group30));
    sieve.recompute(criteria);
    EXPECT_FALSE(sieve.isKept(11233));
    EXPECT_TRUE(sieve.isKept(33312));
    EXPECT_TRUE(sieve.isKept(11));
    EXPECT_EQ(groupType(Digits(21134, 5)), GroupType::group60);
    EXPECT_EQ(groupType(Digits(33312, 5)), GroupType::group20);
    EXPECT_EQ(groupType(Digits(11, 5)), GroupType::group10);
    EXPECT_EQ(groupType(Digits(11121, 5)), GroupType::group5);
    EXPECT_EQ(groupType(Digits(54321, 5)), GroupType::group120);
    for (int form = 0; form < 7; ++form)
        criteria.tick(kForm, form);
    sieve.recompute(criteria);
    EXPECT_EQ(sieve.keptCount(), 0);
}

TEST(Sieve5Engine, MustContain) {
    using namespace sieve5;
    NumberSieve sieve(kDesign);
    sieve.recompute(mustContain(kDesign, 1u << 1, 0b111110, false));
    EXPECT_EQ(sieve.keptCount(), 40951);
    sieve.recompute(mustContain(kDesign, 1u << 1, 0b001000, false));
    EXPECT_TRUE(sieve.isKept(10101));
    sieve.recompute(mustContain(kDesign, 1u << 1, 0b001000, true));
    EXPECT_FALSE(sieve.isKept(10101));
    sieve.recompute(mustContain(kDesign, 1u << 1, 0b000010, false));
    EXPECT_EQ(sieve.keptCount(), 5 * 9 * 9 * 9 * 9);
    // The start state ticks no hit count: the rule on keeps nothing.
    SieveCriteria start = SieveCriteria::startState(kDesign);
    start.mustContain.on = true;
    sieve.recompute(start);
    EXPECT_EQ(sieve.keptCount(), 0);
}

// ---------------------------------------------------------------- base sets

struct BaseCase {
    const sieve::FilterDesign* design;
    const char* text;
    BaseSetLoad result;
    std::vector<int> members;
};

TEST(Sieve45BaseSet, PastesUsersMake) {
    const BaseCase cases[] = {
        {&sieve4::kDesign, "0123,5678\r\n9012", BaseSetLoad::loaded, {123, 5678, 9012}},
        {&sieve4::kDesign, "123 5678", BaseSetLoad::malformed, {}},
        {&sieve4::kDesign, "5678 123 9012", BaseSetLoad::malformed, {5678}},
        {&sieve4::kDesign, "四星大底(共2注) 1234 5678", BaseSetLoad::loaded, {1234, 5678}},
        {&sieve4::kDesign, "1234\t5678", BaseSetLoad::malformed, {}},
        {&sieve5::kDesign, "01234,54321\r\n24680", BaseSetLoad::loaded, {1234, 54321, 24680}},
        {&sieve5::kDesign, "1234 54321", BaseSetLoad::malformed, {}},
        {&sieve5::kDesign, "54321 1234 24680", BaseSetLoad::malformed, {54321}},
        {&sieve5::kDesign, "00000 00000  99999 ", BaseSetLoad::loaded, {0, 99999}},
    };
    for (const BaseCase& c : cases) {
        NumberSieve sieve(*c.design);
        SieveCriteria criteria = SieveCriteria::startState(*c.design);
        criteria.tick(0, 1);
        sieve.recompute(criteria);
        EXPECT_EQ(sieve.loadBaseSet(c.text), c.result) << c.text;
        // A non-empty text resets the flags before it is parsed; a load shows the base set.
        const int expectKept = c.result == BaseSetLoad::loaded ? static_cast<int>(c.members.size())
                                                               : c.design->candidates();
        EXPECT_EQ(sieve.keptCount(), expectKept) << c.text;
        sieve.recompute(SieveCriteria::startState(*c.design));
        EXPECT_EQ(sieve.keptCount(), static_cast<int>(c.members.size())) << c.text;
        for (int member : c.members)
            EXPECT_TRUE(sieve.isKept(member)) << c.text << ' ' << member;
    }
}

TEST(Sieve45BaseSet, TenANumberBoxLinesLoadBack) {
    // The number box shows ten numbers a line; its text loads back to the same set.
    NumberSieve sieve(sieve5::kDesign);
    SieveCriteria criteria = SieveCriteria::startState(sieve5::kDesign);
    criteria.tick(sieve5::kSum, 20);
    sieve.recompute(criteria);
    std::string boxText;
    const std::string list = sieve.numberList();
    for (std::size_t at = 0, n = 0; at < list.size(); at += 6, ++n)
        boxText += list.substr(at, 6) + ((n + 1) % 10 == 0 ? "\r\n" : "");
    NumberSieve other(sieve5::kDesign);
    ASSERT_EQ(other.loadBaseSet(boxText), BaseSetLoad::loaded);
    EXPECT_EQ(other.numberList(), list);
}

// ---------------------------------------------------------------- one pass vs per box

void compareWithPerBox(const sieve::FilterDesign& design, unsigned seed) {
    std::mt19937 random(seed);
    NumberSieve sieve(design);
    for (int round = 0; round < 30; ++round) {
        SieveCriteria criteria = SieveCriteria::startState(design);
        const int tickChance = std::uniform_int_distribution<int>(0, 12)(random);
        for (std::size_t g = 0; g < design.groups.size(); ++g) {
            for (int box = 0; box < design.groups[g].boxCount; ++box) {
                if (std::uniform_int_distribution<int>(0, 99)(random) < tickChance)
                    criteria.tick(static_cast<int>(g), box);
            }
        }
        criteria.mustContain.on = random() % 2 == 0;
        criteria.mustContain.mustDigits = static_cast<std::uint16_t>(random() % 1024);
        criteria.mustContain.hitCounts = static_cast<std::uint8_t>(random() % 64);
        criteria.mustContain.distinctHits = random() % 2 == 0;
        if (round % 3 == 0) {
            std::string text;
            for (int i = 0; i < 200; ++i) {
                const int n = static_cast<int>(random() % static_cast<unsigned>(design.candidates()));
                std::string number = std::to_string(n);
                text += std::string(static_cast<std::size_t>(design.digitCount) - number.size(), '0') +
                        number + ' ';
            }
            ASSERT_EQ(sieve.loadBaseSet(text), BaseSetLoad::loaded);
        } else if (round % 3 == 1) {
            ASSERT_EQ(sieve.loadBaseSet(""), BaseSetLoad::empty);
        }
        sieve.recompute(criteria);
        const std::vector<std::uint8_t> expected =
            sieve::recomputePerBox(design, criteria, sieve.baseSet());
        int kept = 0;
        for (int c = 0; c < design.candidates(); ++c) {
            ASSERT_EQ(sieve.isKept(c), expected[static_cast<std::size_t>(c)] == 0)
                << "round " << round << " candidate " << c;
            kept += expected[static_cast<std::size_t>(c)] == 0;
        }
        EXPECT_EQ(sieve.keptCount(), kept);
    }
}

TEST(Sieve45Engine, OnePassEqualsEveryBoxOnItsOwn) {
    compareWithPerBox(sieve4::kDesign, 4);
    compareWithPerBox(sieve5::kDesign, 5);
}

} // namespace
