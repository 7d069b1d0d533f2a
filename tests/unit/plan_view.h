// How the plan tests compare a plan with its expected form, in one line of
// text: "! message" for a refusal, else what `Show` picks of the rows, cells
// joined by spaces (an empty cell shown as "_") and rows by " | ". No cell
// may show a NaN or an infinity.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

enum class Show { rows, multipliers, last };

inline std::string planView(const std::optional<std::string>& message,
                            const std::vector<std::vector<std::string>>& rows, Show show,
                            std::size_t multiplierColumn = 1) {
    if (message)
        return "! " + *message;
    std::string text = show == Show::multipliers ? "x" : "";
    for (const auto& cells : rows) {
        text += show == Show::multipliers ? " " + cells.at(multiplierColumn)
                : text.empty()            ? ""
                                          : " | ";
        for (std::size_t i = 0; i < cells.size(); ++i) {
            EXPECT_TRUE(cells[i].find("nan") == cells[i].npos &&
                        cells[i].find("inf") == cells[i].npos);
            if (show == Show::rows)
                text += (i == 0 ? "" : " ") + (cells[i].empty() ? "_" : cells[i]);
        }
    }
    if (show == Show::last)
        return std::to_string(rows.size()) +
               " rows, last: " + (rows.empty() ? "" : planView({}, {rows.back()}, Show::rows));
    return text;
}

// Whether `view` matches `expected`, in which "..." stands for any text.
inline bool matchesView(std::string_view view, std::string_view expected) {
    const std::size_t dots = expected.find("...");
    if (dots == std::string_view::npos)
        return view == expected;
    if (!view.starts_with(expected.substr(0, dots)))
        return false;
    const std::string_view rest = expected.substr(dots + 3);
    for (std::size_t at = dots; at <= view.size(); ++at) {
        if (matchesView(view.substr(at), rest))
            return true;
    }
    return false;
}

inline void expectPlanView(const std::string& view, const std::string& expected) {
    EXPECT_TRUE(matchesView(view, expected)) << "    plan: " << view << "\nexpected: " << expected;
}
