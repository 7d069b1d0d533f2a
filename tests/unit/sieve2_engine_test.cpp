// The two-digit filter engine: its own groups on the shared core, the
// figures users check by hand, and the one-pass recompute against a per-box
// reading of every criterion.
#include "sieve/common/filter_command.h"
#include "sieve/common/number_sieve.h"
#include "sieve/sieve2/sieve2_engine.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using sieve::BaseSetLoad;
using sieve::NumberSieve;
using sieve::SieveCriteria;
using namespace sieve2;

SieveCriteria fresh() {
    return SieveCriteria::startState(kDesign);
}

std::string twoDigits(int n) {
    return {char('0' + n / 10), char('0' + n % 10)};
}

// Whether ticked box `box` of group `group` kills `n`, read box by box.
bool boxKills(int group, int box, int n) {
    const int t = n / 10, u = n % 10;
    const auto small = [](int d) { return d < 5; };
    const auto even = [](int d) { return d % 2 == 0; };
    const auto composite = [](int d) { return d == 0 || d == 4 || d == 6 || d == 8 || d == 9; };
    const int difference = t > u ? t - u : u - t;
    switch (group) {
    case kTens:
        return t == box;
    case kUnits:
        return u == box;
    case kRoute:
        return 3 * (t % 3) + u % 3 == box;
    case kSum:
        return t + u == box;
    case kTail:
        return (t + u) % 10 == box;
    case kSpan:
        return difference == box;
    case kBigSmall:
        return 2 * small(t) + small(u) == box;
    case kOddEven:
        return 2 * even(t) + even(u) == box;
    case kPrimeComposite:
        return 2 * composite(t) + composite(u) == box;
    case kPairStraight:
        return box == 0 ? t == u : difference == 1 || difference == 9;
    default:
        return false;
    }
}

int keptWith(int group, int box) {
    NumberSieve sieve(kDesign);
    SieveCriteria criteria = fresh();
    criteria.tick(group, box);
    sieve.recompute(criteria);
    return sieve.keptCount();
}

TEST(Sieve2Engine, NothingTickedKeepsAllHundred) {
    NumberSieve sieve(kDesign);
    sieve.recompute(fresh());
    EXPECT_EQ(sieve.keptCount(), 100);
    const std::string list = sieve.numberList();
    EXPECT_EQ(list.size(), 300u);
    EXPECT_EQ(list.substr(0, 9), "00 01 02 ");
    EXPECT_EQ(list.substr(297), "99 ");
}

TEST(Sieve2Engine, SingleBoxes) {
    struct Case {
        const char* name;
        int group, box, kept;
        std::vector<int> killed, keptNumbers;
    };
    const Case cases[] = {
        {"顺子", kPairStraight, 1, 80, {9, 90, 1, 10, 89, 98}, {13, 11}},
        {"对子", kPairStraight, 0, 90, {0, 55, 99}, {12}},
        {"和值 18", kSum, 18, 99, {99}, {98}},
        {"跨度 0", kSpan, 0, 90, {0, 11, 99}, {10}},
        {"大小", kBigSmall, 1, 75, {50, 94}, {5, 55, 44}},
        {"质质", kPrimeComposite, 0, 100 - 25, {11, 12, 17, 75}, {10}},
        {"012路 00", kRoute, 0, 100 - 16, {0, 39, 96}, {1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(keptWith(c.group, c.box), c.kept) << c.name;
        NumberSieve sieve(kDesign);
        SieveCriteria criteria = fresh();
        criteria.tick(c.group, c.box);
        sieve.recompute(criteria);
        for (const int n : c.killed)
            EXPECT_FALSE(sieve.isKept(n)) << c.name << " keeps " << n;
        for (const int n : c.keptNumbers)
            EXPECT_TRUE(sieve.isKept(n)) << c.name << " kills " << n;
    }
}

TEST(Sieve2Engine, MustContainDigitFive) {
    NumberSieve sieve(kDesign);
    SieveCriteria criteria = fresh();
    criteria.mustContain.on = true;
    criteria.mustContain.mustDigits = 1u << 5;
    sieve.recompute(criteria);
    EXPECT_EQ(sieve.keptCount(), 19);

    criteria.mustContain.hitCounts = 1u << 2;
    sieve.recompute(criteria);
    EXPECT_EQ(sieve.numberList(), "55 ");
    criteria.mustContain.distinctHits = true;
    sieve.recompute(criteria);
    EXPECT_EQ(sieve.keptCount(), 0);
}

TEST(Sieve2Engine, BaseSetStopsAtAThreeDigitToken) {
    NumberSieve sieve(kDesign);
    EXPECT_EQ(sieve.loadBaseSet("12,34 567"), BaseSetLoad::malformed);
    sieve.recompute(fresh());
    EXPECT_EQ(sieve.numberList(), "12 34 ");

    const sieve::FilterReply refused = sieve::runFilter(kDesign, {.baseText = "12,34 567"});
    EXPECT_EQ(refused.kind, sieve::FilterReply::Kind::refused);
    EXPECT_EQ(refused.text, "号码存在不符合规则,要以2位数且空格或者逗号分隔!");
    EXPECT_EQ(sieve::runFilter(kDesign, {.kills = {"pair=0,1"}}).text.substr(0, 3), "70\n");
    EXPECT_EQ(sieve::runFilter(kDesign, {.kills = {"form=0"}}).kind,
              sieve::FilterReply::Kind::badUsage);
    EXPECT_EQ(sieve::runFilter(kDesign, {.kills = {"sum=19"}}).kind,
              sieve::FilterReply::Kind::badUsage);
}

TEST(Sieve2Engine, OnePassEqualsEveryBoxOnItsOwn) {
    std::mt19937 random(62);
    for (int round = 0; round < 5000; ++round) {
        SieveCriteria criteria = fresh();
        const int chance = std::uniform_int_distribution<int>(0, 15)(random);
        for (int g = 0; g < kGroupCount; ++g) {
            for (int box = 0; box < kGroups[static_cast<std::size_t>(g)].boxCount; ++box) {
                if (static_cast<int>(random() % 100) < chance)
                    criteria.tick(g, box);
            }
        }
        auto& rule = criteria.mustContain;
        rule.on = random() % 3 == 0;
        rule.mustDigits = static_cast<std::uint16_t>(random() & 0x3FF);
        rule.hitCounts = static_cast<std::uint8_t>(random() & 0x7);
        rule.distinctHits = random() % 2 == 0;

        NumberSieve sieve(kDesign);
        std::vector<bool> member(100, false);
        const bool withBase = round % 4 == 0;
        if (withBase) {
            std::string text = "二星(大底)\r\n";
            for (int i = 0; i < 30; ++i) {
                const int n = static_cast<int>(random() % 100);
                member[static_cast<std::size_t>(n)] = true;
                text += twoDigits(n) + "\r\n";
            }
            ASSERT_EQ(sieve.loadBaseSet(text), BaseSetLoad::loaded);
        }
        sieve.recompute(criteria);

        std::string expected;
        for (int n = 0; n < 100; ++n) {
            const int digits[] = {n / 10, n % 10};
            int hits = 0;
            for (int d = 0; d <= 9; ++d) {
                const int times = (digits[0] == d) + (digits[1] == d);
                if (rule.hasDigit(d))
                    hits += rule.distinctHits ? (times > 0) : times;
            }
            bool killed = withBase ? !member[static_cast<std::size_t>(n)] : rule.on;
            if (rule.on && rule.acceptsHits(hits))
                killed = false;
            for (int g = 0; g < kGroupCount; ++g) {
                for (int box = 0; box < kGroups[static_cast<std::size_t>(g)].boxCount; ++box)
                    killed = killed || (criteria.isTicked(g, box) && boxKills(g, box, n));
            }
            if (!killed)
                expected += twoDigits(n) + ' ';
        }
        ASSERT_EQ(sieve.numberList(), expected) << "round " << round;
        ASSERT_EQ(sieve.keptCount(), static_cast<int>(expected.size() / 3)) << "round " << round;
    }
}

} // namespace
