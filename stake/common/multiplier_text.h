// The multiplier column of a plan list as the text the calculators copy to the
// clipboard or hand to the host: each cell read by the atof rule, rounded up to
// an integer and written "%d", followed by a separator.
#pragma once

#include "stake/common/stake_rules.h"

#include <span>
#include <string>
#include <string_view>

namespace stake {

// Every cell followed by `separator`, all joined.
inline std::string joinMultipliers(std::span<const std::string> cells, std::string_view separator) {
    std::string text;
    for (const std::string& cell : cells) {
        text += formatInt(ceilToInt32(leadingReal(cell)));
        text += separator;
    }
    return text;
}

// "1,2,4,8,16": the cells joined by commas, the last comma dropped; empty for
// an empty column.
inline std::string multipliersInRow(std::span<const std::string> cells) {
    std::string text = joinMultipliers(cells, ",");
    if (!text.empty())
        text.pop_back();
    return text;
}

// One multiplier per line, each line ended by a carriage return and line feed.
inline std::string multipliersInColumn(std::span<const std::string> cells) {
    return joinMultipliers(cells, "\r\n");
}

} // namespace stake
