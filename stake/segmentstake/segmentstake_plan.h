// The segmented plan (分段倍投) of segmentstake: a profit target spread over a
// number of winning draws. 初始 gives the first draw's multiplier; each draw is
// then marked hit (中) or miss (挂), the marks are replayed from the first, the
// newest row is completed and coloured, and the next draw's row is appended.
// The plan succeeds when the last winning draw has come and fails when a
// multiplier needed after a miss reaches the maximum multiplier.
#pragma once

#include "stake/common/plan_row.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace segmentstake {

using stake::PlanRow;

// The columns of the plan list.
inline constexpr std::string_view kSegmentColumnLayout =
    "序号,40;倍数,100;成本,100;累计成本,100;中奖,120;收益,120;累计收益,120;";

namespace column {
inline constexpr int kNumber = 0;
inline constexpr int kMultiplier = 1;
inline constexpr int kCost = 2;
inline constexpr int kCumulativeCost = 3;
inline constexpr int kPrize = 4;
inline constexpr int kProfit = 5;
inline constexpr int kCumulativeProfit = 6;
inline constexpr int kCount = 7;
} // namespace column

// Colours with red in the low byte, as the platform keeps them.
struct RowColors {
    std::uint32_t text = 0;
    std::uint32_t back = 0;

    friend bool operator==(const RowColors&, const RowColors&) = default;
};

constexpr std::uint32_t rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return std::uint32_t{red} | (std::uint32_t{green} << 8) | (std::uint32_t{blue} << 16);
}

// A row completed by 中 or by 挂: black text on light red or on light blue.
inline constexpr RowColors kHitColors{0, rgb(255, 180, 180)};
inline constexpr RowColors kMissColors{0, rgb(180, 180, 255)};

inline constexpr std::string_view kSucceededStatus = "恭喜你，已完成目标!";
inline constexpr std::string_view kFailedStatus = "已超过最大期数，未完成目标!";
// "还剩下 %d 期中完成目标!"
std::string remainingStatus(std::int64_t remainingHits);

// Refusals of inputs from which no plan can be tracked.
inline constexpr std::string_view kNoModeMessage = "请选择金额模式";
inline constexpr std::string_view kNoHitPeriodsMessage = "中出期数不能为0";
inline constexpr std::string_view kTooLargeMessage =
    "所需倍数超出范围，请减小目标盈利或增加中出期数";
// trendtools only: the dialog's 中 and 挂 cannot be pressed then.
inline constexpr std::string_view kMarksClosedMessage = "中和挂已停用，请先按初始";

// The dialog's fields; the initial values are those of a fresh start.
struct SegmentInputs {
    std::uint32_t maxMultiplier = 50; // 最大倍数
    std::uint32_t bets = 488;         // 注数
    std::uint32_t odds = 1956;        // 赔率, quoted for 3 stars at a 2-yuan unit
    std::uint32_t hitPeriods = 5;     // 中出期数
    float targetProfit = 50.0f;       // 目标盈利
    std::int32_t starIndex = 2;       // 星数: "3星"
    std::int32_t modeIndex = 2;       // 金额模式: "1分"

    friend bool operator==(const SegmentInputs&, const SegmentInputs&) = default;
};

// The report list as the plan uses it. Rows and columns outside the list are
// ignored.
class PlanList {
  public:
    virtual ~PlanList() = default;
    virtual int rowCount() const = 0;
    virtual void clearRows() = 0;
    // Seven texts in the list's default colours; the row is scrolled into view.
    virtual void appendRow(const PlanRow& row) = 0;
    virtual void setCellText(int row, int column, std::string_view text) = 0;
    virtual void setRowColors(int row, RowColors colors) = 0;
};

// What 初始, 中 or 挂 changed besides the list.
struct StepResult {
    // Shown in a message box: the inputs were refused. For 初始 the list has
    // been emptied and the marks opened all the same; a refused mark changes
    // nothing.
    std::optional<std::string> message;
    // The new status text, when it changed.
    std::optional<std::string> status;
    // Whether 中 and 挂 can be pressed now.
    bool marksOpen = false;
};

class SegmentPlan {
  public:
    // 初始: empties the list, opens the marks, checks the inputs and appends
    // row 1. A refusal keeps the marks and the cumulative values of the
    // previous plan.
    StepResult start(const SegmentInputs& inputs, PlanList& list);
    // 中 and 挂: appends the mark and replays every mark with `inputs`. Refused
    // while the marks are closed.
    StepResult markHit(const SegmentInputs& inputs, PlanList& list) {
        return mark(true, inputs, list);
    }
    StepResult markMiss(const SegmentInputs& inputs, PlanList& list) {
        return mark(false, inputs, list);
    }

    bool marksOpen() const { return marksOpen_; }
    // true for 中, false for 挂, oldest first.
    const std::vector<bool>& marks() const { return marks_; }
    float cumulativeCost() const { return cumulativeCost_; }
    float cumulativeProfit() const { return cumulativeProfit_; }

  private:
    StepResult mark(bool hit, const SegmentInputs& inputs, PlanList& list);
    void appendNextRow(PlanList& list, std::int32_t multiplier, float cost);

    std::vector<bool> marks_;
    float cumulativeCost_ = 0.0f;
    float cumulativeProfit_ = 0.0f;
    bool marksOpen_ = false;
};

// The multiplier for a quotient: its ceiling, 1 when that is 0 or negative or
// the quotient is not a number; nothing when it is beyond a signed 32-bit
// integer.
std::optional<std::int32_t> nextMultiplier(double quotient);

// A list kept in memory, for trendtools and the tests: what the dialog's list
// shows, texts and colours.
class PlanTable final : public PlanList {
  public:
    struct Row {
        std::vector<std::string> cells;
        std::optional<RowColors> colors; // nullopt: the list's default colours

        friend bool operator==(const Row&, const Row&) = default;
    };

    int rowCount() const override { return static_cast<int>(rows_.size()); }
    void clearRows() override { rows_.clear(); }
    void appendRow(const PlanRow& row) override;
    void setCellText(int row, int column, std::string_view text) override;
    void setRowColors(int row, RowColors colors) override;

    const std::vector<Row>& rows() const { return rows_; }

  private:
    Row* rowAt(int row);

    std::vector<Row> rows_;
};

} // namespace segmentstake
