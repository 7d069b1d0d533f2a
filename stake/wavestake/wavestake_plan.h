// The wave-push plan (推波倍投) of wavestake: waves of periods in which the
// whole prize of a hit is staked again in the next period, rounded up to a
// whole multiplier, each wave starting from a first stake sized so that a wave
// hit in every period wins the profit goal plus everything spent before.
#pragma once

#include "stake/common/plan_row.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wavestake {

using stake::PlanRow;

// The longest plan: waves times periods per wave (at least one per wave).
inline constexpr std::int32_t kMaxPlanRows = 10000;

// The columns of the plan list.
inline constexpr std::string_view kWaveColumnLayout =
    "序号,40;波数,40;倍数,100;当前成本,150;累计成本,150;中奖,120;收益,120;";
inline constexpr int kMultiplierColumn = 2;

// The dialog's fields, named after their settings keys; the initial values
// are those of a fresh start.
struct WaveSettings {
    std::int32_t nQishu = 5;    // 推波期数, periods per wave
    std::int32_t nZhushu = 500; // 注数, bets played each period
    float fPeilv = 1956.0f;     // 赔率, quoted for 3 stars at a 2-yuan unit
    std::int32_t nBoshu = 3;    // 波数, number of waves
    float fLirun = 100.0f;      // 利润, profit goal of a wave in yuan
    std::int32_t nXingshu = 2;  // 星数: "3星"
    std::int32_t nMode = 2;     // 金额模式: "1分"

    friend bool operator==(const WaveSettings&, const WaveSettings&) = default;
};

// One period of the plan: the seven texts of its list row, and whether it is
// the last period of a wave of more than one period (painted apart).
struct WaveRow {
    PlanRow row;
    bool closesWave = false;

    friend bool operator==(const WaveRow&, const WaveRow&) = default;
};

struct WavePlan {
    // Set when no plan can be given: the text the dialog shows in its message
    // box. The rows are then empty.
    std::optional<std::string> message;
    std::vector<WaveRow> rows;

    bool refused() const { return message.has_value(); }
};

// The message of the bets check, of an input no plan can be computed from,
// or of a plan whose multipliers or amounts cannot be represented; else one
// row per period, wave after wave (none when there are no waves).
WavePlan computeWavePlan(const WaveSettings& settings);

} // namespace wavestake
