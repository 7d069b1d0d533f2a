// The three-digit filter engine: the figures users check by hand, and the
// one-pass recompute against a per-box reading of every criterion.
#include "sieve/common/number_sieve.h"
#include "sieve/sieve3/sieve3_engine.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using sieve::BaseSetLoad;
using sieve::NumberSieve;
using sieve::SieveCriteria;
using namespace sieve3;

SieveCriteria fresh() {
    return SieveCriteria::startState(kDesign);
}

std::string threeDigits(int n) {
    const char text[] = {char('0' + n / 100), char('0' + n / 10 % 10), char('0' + n % 10), 0};
    return text;
}

// ---------------------------------------------------------------- the oracle

// Whether ticked box `box` of group `group` kills `n`, read box by box from
// the description of the criteria, with nothing shared with the engine.
bool boxKills(int group, int box, int n) {
    const int h = n / 100, t = n / 10 % 10, u = n % 10;
    const int sum = h + t + u;
    const int low = std::min({h, t, u}), high = std::max({h, t, u});
    const auto small = [](int d) { return d <= 4; };
    const auto even = [](int d) { return d % 2 == 0; };
    const auto composite = [](int d) { return d == 0 || d == 4 || d == 6 || d == 8 || d == 9; };
    const auto pattern = [&](auto second) { return 4 * second(h) + 2 * second(t) + second(u); };
    const auto sortRange = [](int sortBox, int digit) {
        const int ranges[3][2] = {{0, 2}, {3, 6}, {7, 9}};
        return digit >= ranges[sortBox][0] && digit <= ranges[sortBox][1];
    };
    const bool allDifferent = h != t && t != u && h != u;
    switch (group) {
    case kHundreds:
        return h == box;
    case kTens:
        return t == box;
    case kUnits:
        return u == box;
    case kRoute:
        return 9 * (h % 3) + 3 * (t % 3) + u % 3 == box;
    case kSum:
        return sum == box;
    case kTail:
        return sum % 10 == box;
    case kSpan:
        return high - low == box;
    case kBigSmall:
        return pattern(small) == box;
    case kOddEven:
        return pattern(even) == box;
    case kPrimeComposite:
        return pattern(composite) == box;
    case kForm: {
        if (box == 0)
            return allDifferent;
        if (box == 1)
            return !allDifferent && !(h == t && t == u);
        if (box == 2)
            return h == t && t == u;
        static const std::set<std::set<int>> straights = {
            {0, 1, 2}, {1, 2, 3}, {2, 3, 4}, {3, 4, 5}, {4, 5, 6},
            {5, 6, 7}, {6, 7, 8}, {7, 8, 9}, {8, 9, 0}, {9, 0, 1}};
        return allDifferent && straights.count({h, t, u}) > 0;
    }
    case kSmallest:
        return sortRange(box, low);
    case kLargest:
        return sortRange(box, high);
    default:
        return false;
    }
}

int oracleHits(int n, const sieve::MustContainRule& rule) {
    const int digits[] = {n / 100, n / 10 % 10, n % 10};
    int hits = 0;
    if (rule.distinctHits) {
        for (int d = 0; d <= 9; ++d) {
            if (rule.hasDigit(d) && (digits[0] == d || digits[1] == d || digits[2] == d))
                ++hits;
        }
        return hits;
    }
    for (const int d : digits)
        hits += rule.hasDigit(d) ? 1 : 0;
    return hits;
}

std::vector<bool> oracleKept(const SieveCriteria& criteria, const std::set<int>* base) {
    std::vector<std::pair<int, int>> ticked;
    for (int g = 0; g < kGroupCount; ++g) {
        for (int box = 0; box < kGroups[static_cast<std::size_t>(g)].boxCount; ++box) {
            if (criteria.isTicked(g, box))
                ticked.emplace_back(g, box);
        }
    }
    std::vector<bool> kept(1000);
    const auto& rule = criteria.mustContain;
    for (int n = 0; n < 1000; ++n) {
        bool killed = base ? base->count(n) == 0 : rule.on;
        if (rule.on && rule.acceptsHits(oracleHits(n, rule)))
            killed = false;
        for (const auto& [group, box] : ticked)
            killed = killed || boxKills(group, box, n);
        kept[static_cast<std::size_t>(n)] = !killed;
    }
    return kept;
}

// ---------------------------------------------------------------- figures

int keptWith(int group, int box) {
    NumberSieve sieve(kDesign);
    SieveCriteria criteria = fresh();
    criteria.tick(group, box);
    sieve.recompute(criteria);
    return sieve.keptCount();
}

TEST(Sieve3Engine, NothingTickedKeepsAllThousandInOrder) {
    NumberSieve sieve(kDesign);
    sieve.recompute(fresh());
    EXPECT_EQ(sieve.keptCount(), 1000);
    const std::string list = sieve.numberList();
    EXPECT_EQ(list.size(), 4000u);
    EXPECT_EQ(list.substr(0, 12), "000 001 002 ");
    EXPECT_EQ(list.substr(3996), "999 ");
}

TEST(Sieve3Engine, SingleBoxCounts) {
    struct Case {
        const char* name;
        int group, box, kept;
    };
    const Case cases[] = {
        {"顺子", kForm, 3, 940},
        {"组三", kForm, 1, 730},
        {"豹子", kForm, 2, 990},
        {"组六", kForm, 0, 280},
        {"大小小", kBigSmall, 3, 875},
        {"百位 0", kHundreds, 0, 900},
        {"和值 00", kSum, 0, 999},
        {"和值 27", kSum, 27, 999},
        {"跨度 0", kSpan, 0, 990},
        {"尾和 0", kTail, 0, 900},
        {"012路 000", kRoute, 0, 1000 - 64},
    };
    for (const Case& c : cases)
        EXPECT_EQ(keptWith(c.group, c.box), c.kept) << c.name;
}

TEST(Sieve3Engine, WhichNumbersABoxKills) {
    struct Case {
        const char* name;
        int group, box;
        std::vector<const char*> killed, kept;
    };
    const Case cases[] = {
        {"顺子",
         kForm,
         3,
         {"890", "809", "980", "908", "089", "098", "901", "910", "019", "109", "789", "012"},
         {"135", "112", "000", "024"}},
        {"质质质", kPrimeComposite, 0, {"111", "123", "537"}, {"104"}},
        {"排序一 小数", kSmallest, 0, {"299", "905"}, {"345"}},
        {"大小小", kBigSmall, 3, {"500", "944"}, {"050", "955", "444"}},
    };
    for (const Case& c : cases) {
        NumberSieve sieve(kDesign);
        SieveCriteria criteria = fresh();
        criteria.tick(c.group, c.box);
        sieve.recompute(criteria);
        for (const char* n : c.killed)
            EXPECT_FALSE(sieve.isKept(std::stoi(n))) << c.name << " keeps " << n;
        for (const char* n : c.kept)
            EXPECT_TRUE(sieve.isKept(std::stoi(n))) << c.name << " kills " << n;
    }
}

TEST(Sieve3Engine, StraightsAreExactlySixty) {
    int straights = 0;
    for (int n = 0; n < 1000; ++n)
        straights += isStraight(sieve::Digits(n, 3)) ? 1 : 0;
    EXPECT_EQ(straights, 60);
}

TEST(Sieve3Engine, TickingAWholeGroupKillsEverything) {
    for (const auto& [group, boxes] : {std::pair{kSpan, 10}, std::pair{kForm, 3}}) {
        NumberSieve sieve(kDesign);
        SieveCriteria criteria = fresh();
        for (int box = 0; box < boxes; ++box)
            criteria.tick(group, box);
        sieve.recompute(criteria);
        EXPECT_EQ(sieve.keptCount(), 0) << "group " << group;
        EXPECT_EQ(sieve.numberList(), "");
    }
}

TEST(Sieve3Engine, MustContainBuildsTheStartSet) {
    NumberSieve sieve(kDesign);
    SieveCriteria criteria = fresh();
    criteria.mustContain.on = true;
    criteria.mustContain.mustDigits = 1u << 1;
    sieve.recompute(criteria);
    EXPECT_EQ(sieve.keptCount(), 271);

    criteria.mustContain.hitCounts = 1u << 2;
    sieve.recompute(criteria);
    EXPECT_TRUE(sieve.isKept(112));
    EXPECT_TRUE(sieve.isKept(101));
    criteria.mustContain.distinctHits = true;
    sieve.recompute(criteria);
    EXPECT_FALSE(sieve.isKept(112));
    EXPECT_FALSE(sieve.isKept(101));

    criteria.mustContain.mustDigits = (1u << 1) | (1u << 2);
    sieve.recompute(criteria);
    EXPECT_TRUE(sieve.isKept(121));
}

TEST(Sieve3Engine, MustContainWithoutDigits) {
    NumberSieve sieve(kDesign);
    SieveCriteria criteria = fresh();
    criteria.mustContain.on = true;
    sieve.recompute(criteria);
    EXPECT_EQ(sieve.keptCount(), 0);
    criteria.mustContain.hitCounts |= 1u;
    sieve.recompute(criteria);
    EXPECT_EQ(sieve.keptCount(), 1000);
}

TEST(Sieve3Engine, BaseSetTogetherWithMustContain) {
    NumberSieve sieve(kDesign);
    ASSERT_EQ(sieve.loadBaseSet("123"), BaseSetLoad::loaded);
    SieveCriteria criteria = fresh();
    criteria.mustContain.on = true;
    criteria.mustContain.mustDigits = 1u << 9;
    criteria.mustContain.hitCounts = 1u << 1;
    sieve.recompute(criteria);
    EXPECT_EQ(sieve.keptCount(), 244);
    EXPECT_TRUE(sieve.isKept(123));
    EXPECT_TRUE(sieve.isKept(900));
    EXPECT_FALSE(sieve.isKept(990));
}

TEST(Sieve3Engine, BaseSetLoads) {
    struct Case {
        const char* name;
        std::string text;
        BaseSetLoad result;
        std::vector<int> members; // the kept numbers at the next recompute
    };
    const Case cases[] = {
        {"comma and CRLF", "123,456\r\n789", BaseSetLoad::loaded, {123, 456, 789}},
        {"caption", "三星大底(共3注) 123 456 789", BaseSetLoad::loaded, {123, 456, 789}},
        {"short token first", "12 345", BaseSetLoad::malformed, {}},
        {"short token later", "345 12 678", BaseSetLoad::malformed, {345}},
        {"separators only", " , \r\n ,", BaseSetLoad::noNumbers, {}},
        {"duplicates", "555 555 001", BaseSetLoad::loaded, {1, 555}},
    };
    for (const Case& c : cases) {
        NumberSieve sieve(kDesign);
        EXPECT_EQ(sieve.loadBaseSet(c.text), c.result) << c.name;
        sieve.recompute(fresh());
        std::vector<int> kept;
        for (int n = 0; n < 1000; ++n) {
            if (sieve.isKept(n))
                kept.push_back(n);
        }
        EXPECT_EQ(kept, c.members) << c.name;
    }
}

TEST(Sieve3Engine, LoadingShowsTheBaseSetUntilTheNextRecompute) {
    NumberSieve sieve(kDesign);
    ASSERT_EQ(sieve.loadBaseSet("999 000 999"), BaseSetLoad::loaded);
    EXPECT_EQ(sieve.keptCount(), 2);
    EXPECT_EQ(sieve.numberList(), "000 999 ");

    // Separators only: the flags stay; the empty base set shows at the next recompute.
    NumberSieve other(kDesign);
    EXPECT_EQ(other.loadBaseSet(" , "), BaseSetLoad::noNumbers);
    EXPECT_EQ(other.keptCount(), 1000);
    other.recompute(fresh());
    EXPECT_EQ(other.keptCount(), 0);

    // An empty text ends the base set.
    EXPECT_EQ(other.loadBaseSet(""), BaseSetLoad::empty);
    other.recompute(fresh());
    EXPECT_EQ(other.keptCount(), 1000);
}

TEST(Sieve3Engine, SpanZeroOnABaseSet) {
    NumberSieve sieve(kDesign);
    ASSERT_EQ(sieve.loadBaseSet("111 123 456"), BaseSetLoad::loaded);
    SieveCriteria criteria = fresh();
    criteria.tick(kSpan, 0);
    sieve.recompute(criteria);
    EXPECT_EQ(sieve.numberList(), "123 456 ");
}

// ---------------------------------------------------------------- against the oracle

SieveCriteria randomCriteria(std::mt19937& random) {
    SieveCriteria criteria = fresh();
    std::uniform_int_distribution<int> percent(0, 99);
    // Few ticks, so that something is usually left.
    const int tickChance = std::uniform_int_distribution<int>(0, 12)(random);
    for (int g = 0; g < kGroupCount; ++g) {
        for (int box = 0; box < kGroups[static_cast<std::size_t>(g)].boxCount; ++box) {
            if (percent(random) < tickChance)
                criteria.tick(g, box);
        }
    }
    auto& rule = criteria.mustContain;
    rule.on = percent(random) < 40;
    rule.mustDigits = static_cast<std::uint16_t>(random() & 0x3FF);
    rule.hitCounts = static_cast<std::uint8_t>(random() & 0xF);
    rule.distinctHits = percent(random) < 50;
    return criteria;
}

TEST(Sieve3Engine, OnePassEqualsEveryBoxOnItsOwn) {
    std::mt19937 random(20261206);
    for (int round = 0; round < 3000; ++round) {
        const SieveCriteria criteria = randomCriteria(random);
        NumberSieve sieve(kDesign);
        std::set<int> base;
        const bool withBase = round % 3 == 0;
        if (withBase) {
            std::string text;
            const int size = std::uniform_int_distribution<int>(1, 300)(random);
            for (int i = 0; i < size; ++i) {
                const int n = std::uniform_int_distribution<int>(0, 999)(random);
                base.insert(n);
                text += threeDigits(n) + (i % 7 == 0 ? "," : " ");
            }
            ASSERT_EQ(sieve.loadBaseSet(text), BaseSetLoad::loaded);
        }
        sieve.recompute(criteria);
        const std::vector<bool> expected = oracleKept(criteria, withBase ? &base : nullptr);
        std::string expectedList;
        int expectedCount = 0;
        for (int n = 0; n < 1000; ++n) {
            if (expected[static_cast<std::size_t>(n)]) {
                expectedList += threeDigits(n) + ' ';
                ++expectedCount;
            }
        }
        ASSERT_EQ(sieve.keptCount(), expectedCount) << "round " << round;
        ASSERT_EQ(sieve.numberList(), expectedList) << "round " << round;
    }
}

} // namespace
