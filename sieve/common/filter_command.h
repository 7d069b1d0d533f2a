// The filters' command-line face, apart from any argument parser: the
// options of `trendtools sieveN` as texts, turned into a recompute and its
// output exactly as the dialog would show it.
#pragma once

#include "sieve/common/sieve_design.h"

#include <optional>
#include <string>
#include <vector>

namespace sieve {

struct FilterRequest {
    std::vector<std::string> kills;        // "GROUP=I[,I...]"
    std::optional<std::string> mustDigits; // --must=DIGITS
    std::optional<std::string> hitCounts;  // --hits=LIST
    bool distinctHits = false;             // --distinct
    std::optional<std::string> baseText;   // --base / --base-file contents
};

struct FilterReply {
    enum class Kind { kept, refused, badUsage };
    Kind kind = Kind::kept;
    // kept: the count line and the NumberList line; refused: the dialog's
    // message; badUsage: what is wrong.
    std::string text;
};

// Starts from the dialog's start-up state, loads the base set by the
// 装入大底 rules, ticks the requested boxes and recomputes.
FilterReply runFilter(const FilterDesign& design, const FilterRequest& request);

} // namespace sieve
