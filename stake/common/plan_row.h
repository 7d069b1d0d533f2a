// One draw of a plan as the texts of one report-list row, and what a calculator
// hands back from 计算: either the message that refuses the inputs, or the rows.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace stake {

struct PlanRow {
    std::vector<std::string> cells;

    friend bool operator==(const PlanRow&, const PlanRow&) = default;
};

struct PlanResult {
    // Set when the inputs are refused: the text the dialog shows in its message
    // box. The rows are then empty and the list keeps what it shows.
    std::optional<std::string> message;
    std::vector<PlanRow> rows;

    bool refused() const { return message.has_value(); }
};

} // namespace stake
