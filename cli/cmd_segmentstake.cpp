// trendtools segmentstake [--ini FILE] [KEY=VALUE ...] [--marks STRING]
//
// Starts the segmented plan (初始) from the fresh-start inputs, then section
// SetFD of FILE as the dialog reads it at start-up, then the KEY=VALUE pairs;
// then marks one draw per character of STRING (H or 中 a hit, M or 挂 a miss)
// and prints the list: the column names, one line per row with an eighth field
// naming the mark that coloured it, and the status line.
#include "cli/commands.h"
#include "cli/stake_options.h"

#include "stake/segmentstake/segmentstake_plan.h"
#include "stake/segmentstake/segmentstake_settings.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trendtools {

namespace {

using segmentstake::SegmentInputs;

// The marks of STRING, true for a hit: H or 中, M or 挂 (UTF-8).
std::vector<bool> parseMarks(std::string_view text) {
    static constexpr std::string_view kHit = "中";
    static constexpr std::string_view kMiss = "挂";
    std::vector<bool> marks;
    while (!text.empty()) {
        if (text.front() == 'H' || text.front() == 'M') {
            marks.push_back(text.front() == 'H');
            text.remove_prefix(1);
        } else if (text.starts_with(kHit)) {
            marks.push_back(true);
            text.remove_prefix(kHit.size());
        } else if (text.starts_with(kMiss)) {
            marks.push_back(false);
            text.remove_prefix(kMiss.size());
        } else {
            throw UsageError("--marks takes H or 中 for a hit and M or 挂 for a miss");
        }
    }
    return marks;
}

std::string markOf(const std::optional<segmentstake::RowColors>& colors) {
    if (colors == segmentstake::kHitColors)
        return "中";
    if (colors == segmentstake::kMissColors)
        return "挂";
    return {};
}

int runSegmentstake(const SegmentInputs& inputs, std::string_view markText, Streams& io) {
    const std::vector<bool> marks = parseMarks(markText);
    segmentstake::SegmentPlan plan;
    segmentstake::PlanTable table;
    std::string status;
    const auto step = [&](const segmentstake::StepResult& result) {
        if (result.status)
            status = *result.status;
        return result.message;
    };
    if (const auto message = step(plan.start(inputs, table)))
        return refuse(io, *message);
    for (const bool hit : marks) {
        const auto message = step(hit ? plan.markHit(inputs, table) : plan.markMiss(inputs, table));
        if (message)
            return refuse(io, *message);
    }

    printColumnNames(io.out, segmentstake::kSegmentColumnLayout);
    for (const segmentstake::PlanTable::Row& row : table.rows()) {
        std::vector<std::string> fields = row.cells;
        fields.push_back(markOf(row.colors));
        printFields(io.out, fields);
    }
    printFields(io.out, {"status", status, plan.marksOpen() ? "open" : "closed"});
    io.out.flush();
    return kExitSuccess;
}

CommandAction attachSegmentstake(CLI::App& sub) {
    auto marks = std::make_shared<std::string>();
    CommandAction action = attachCalculator<SegmentInputs>(
        sub,
        {segmentstake::kSettingsSection, segmentstake::kSegmentSettings,
         segmentstake::findSegmentSetting,
         [](const stake::SettingsReader& reader, SegmentInputs& inputs) {
             segmentstake::readSegmentSettings(reader, inputs,
                                               segmentstake::SettingsDefaults::startUp);
         }},
        [marks](SegmentInputs& inputs, Streams& io) {
            return runSegmentstake(inputs, *marks, io);
        });
    sub.add_option("--marks", *marks,
                   "After 初始, mark one draw per character: H or 中 a hit, M or 挂 a miss")
        ->type_name("STRING");
    return action;
}

[[maybe_unused]] const bool registered = registerCommand({
    "segmentstake",
    "Segmented plan tracked against a profit target (分段倍投计算器)",
    "trendtools segmentstake [--ini FILE] [KEY=VALUE ...] [--marks STRING]",
    attachSegmentstake,
});

} // namespace

} // namespace trendtools
