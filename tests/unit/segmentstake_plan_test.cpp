#include "stake/segmentstake/segmentstake_plan.h"

#include "stake/common/stake_rules.h"

#include "plan_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// clang-format off

using namespace segmentstake;

// Presses the buttons of `steps` in turn: S 初始, H 中, M 挂; C empties the
// list (as an import does), '/' switches to the later inputs and '\' back.
// Shows the rows (a row completed by a mark ends in 中 or 挂), then after
// " || " the status, whether the marks are open, the marks kept, the
// cumulative cost and profit, and every message.
std::string track(const SegmentInputs& inputs, const SegmentInputs& later, std::string_view steps,
                  Show show) {
    SegmentPlan plan;
    PlanTable list;
    std::string status, messages;
    const SegmentInputs* current = &inputs;
    for (const char step : steps) {
        if (step == 'C' || step == '/' || step == '\\') {
            step == 'C' ? list.clearRows() : void(current = step == '/' ? &later : &inputs);
            continue;
        }
        const StepResult result = step == 'S'   ? plan.start(*current, list)
                                  : step == 'H' ? plan.markHit(*current, list)
                                                : plan.markMiss(*current, list);
        EXPECT_EQ(result.marksOpen, plan.marksOpen());
        status = result.status.value_or(status);
        messages += result.message ? " ! " + *result.message : "";
    }
    std::vector<std::vector<std::string>> rows;
    for (const PlanTable::Row& row : list.rows()) {
        rows.push_back(row.cells);
        if (row.colors)
            rows.back().push_back(*row.colors == kHitColors    ? "中"
                                  : *row.colors == kMissColors ? "挂"
                                                               : "?");
    }
    std::string marks;
    for (const bool hit : plan.marks())
        marks += hit ? 'H' : 'M';
    return planView(std::nullopt, rows, show) + " || " + status +
           (plan.marksOpen() ? " open " : " closed ") + marks + " " +
           stake::formatFixed(plan.cumulativeCost(), 3) + "/" +
           stake::formatFixed(plan.cumulativeProfit(), 3) + messages;
}

// A fresh start: 最大倍数 50, 注数 488, 赔率 1956, 中出期数 5, 目标盈利 50, "3星", "1分".
TEST(SegmentPlan, Tracking) {
    const std::string rows =
        "1 3 14.640 14.640 0 -14.640 -14.640 挂 | 2 3 14.640 29.280 0 -14.640 -29.280 挂 | "
        "3 4 19.520 48.800 39.120 19.600 -9.680 中 | ";
    const std::string failed = " || 已超过最大期数，未完成目标! closed ...";
    const struct {
        const char* name;
        SegmentInputs inputs;
        std::string_view steps;
        std::string expected;
        Show show = Show::rows;
        SegmentInputs later = {};
    } cases[] = {
        {"初始", {}, "S", "1 3 14.640 14.640 _ _ _ || 还剩下 5 期中完成目标! open  14.640/0.000"},
        {"the worked example, three marks", {}, "SMMH",
         rows + "4 4 19.520 68.320 _ _ _ || 还剩下 4 期中完成目标! open MMH 68.320/-9.680"},
        {"the worked example to its end", {}, "SMMHHMHHHH",
         rows + "4 4 19.520 68.320 39.120 19.600 9.920 中 | 5 3 14.640 82.960 0 -14.640 -4.720 挂 | "
         "6 4 19.520 102.480 39.120 19.600 14.880 中 | 7 4 19.520 122.000 39.120 19.600 34.480 中 | "
         "8 4 19.520 141.520 39.120 19.600 54.080 中 || 恭喜你，已完成目标! closed MMHHMHHH 141.520/54.080 "
         "! 中和挂已停用，请先按初始"},
        {"marks before 初始", {}, "M", " ||  closed  0.000/0.000 ! 中和挂已停用，请先按初始"},
        // 50 over 1 draw: 50 / 0.0100410 / 488 = 10.2, so 11.
        {"one winning draw", {.hitPeriods = 1}, "SH",
         "1 11 53.680 53.680 107.580 53.900 53.900 中 || 恭喜你，已完成目标! closed H ..."},
        {"2厘", {.modeIndex = 7}, "S", "1 11 10.736 10.736 _ _ _ ||..."},
        {"5星", {.bets = 48800, .starIndex = 0}, "S", "1 1 488.000 488.000 _ _ _ ||..."},
        {"no star count: nothing bought, odds unscaled", {.bets = 0, .starIndex = -1}, "SMH",
         "1 1 0.000 0.000 0 -0.000 0.000 挂 | 2 1 0.000 0.000 9.780 9.780 9.780 中 | ..."},
        // A miss fails when the multiplier it needs reaches 最大倍数; the
        // failing row is completed and one more carries the restarted multiplier.
        {"misses below 最大倍数", {.maxMultiplier = 13}, "SMMMMMMMM",
         "x 3 3 4 5 6 7 8 10 12 || 还剩下 5 期中完成目标! open ...", Show::multipliers},
        {"a miss that needs 最大倍数", {.maxMultiplier = 12}, "SMMMMMMMM", "x 3 3 4 5 6 7 8 10 3" + failed,
         Show::multipliers},
        {"fails at the first miss", {.maxMultiplier = 3}, "SMH", "1 3 14.640 14.640 0 -14.640 -14.640 挂 | "
         "2 3 14.640 29.280 _ _ _" + failed + "! 中和挂已停用，请先按初始"},
        {"hits are never held against 最大倍数", {.maxMultiplier = 1}, "SHHHHH",
         "x 3 2 2 2 2 || 恭喜你，已完成目标! closed ...", Show::multipliers},
        {"a miss is", {.maxMultiplier = 2}, "SHHM", "x 3 2 2 3" + failed, Show::multipliers},
        {"a miss beyond 32 bits", {.maxMultiplier = 4294967295u, .bets = 1, .hitPeriods = 1,
         .targetProfit = 977.0f * 2147000000.0f, .modeIndex = 0}, "SM", "x 2147000010 2147000010" + failed,
         Show::multipliers},
        {"no gain per bet", {.bets = 978}, "SMMHMH", "x 1 1 1 1 1 1 || 还剩下 3 期中完成目标! open ...",
         Show::multipliers},
        // A refused 初始 empties the list, opens the marks and keeps them.
        {"初始 refused by the bets check", {}, "SMH/S",
         " || 还剩下 4 期中完成目标! open MH 43.920/0.060 ! 注数数值只能为(1-999)", Show::rows, {.bets = 1000}},
        {"and a replay fails as before", {.maxMultiplier = 4}, "SMM/S\\H", "x 2" + failed, Show::multipliers,
         {.bets = 1000}},
        // An import empties the list and keeps the marks: the next row is
        // numbered 1, with the multiplier of a replay with the new inputs.
        {"marks after an import", {}, "SMMC/H",
         "1 7 34.160 82.960 _ _ _ || 还剩下 4 期中完成目标! open MMH 82.960/5.020", Show::rows,
         {.targetProfit = 100.0f}},
        {"初始 begins a new plan", {}, "SMMHHS", "1 3 14.640 14.640 _ _ _ || 还剩下 5 期中完成目标! open  14.640/0.000"},
        {"no mode", {.modeIndex = -1}, "SH", " ||  open  0.000/0.000 ! 请选择金额模式 ! 请选择金额模式"},
        {"mode beyond the list", {.modeIndex = 8}, "S", " ||  open  0.000/0.000 ! 请选择金额模式"},
        {"中出期数 0", {.hitPeriods = 0}, "S", " ||  open  0.000/0.000 ! 中出期数不能为0"},
        {"first multiplier beyond 32 bits", {.targetProfit = 1e12f}, "S",
         " ||  open  0.000/0.000 ! 所需倍数超出范围，请减小目标盈利或增加中出期数"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectPlanView(track(c.inputs, c.later, c.steps, c.show), c.expected);
    }
}

// clang-format on
} // namespace
