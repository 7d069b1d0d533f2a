// trendtools segmentstake [--ini FILE] [KEY=VALUE ...] [--marks STRING]
//
// Starts the segmented plan (初始) from the fresh-start inputs, then section
// SetFD of FILE as the dialog reads it at start-up, then the KEY=VALUE pairs;
// then marks one draw per character of STRING (H or 中 a hit, M or 挂 a miss)
// and prints the list: the column names, one line per row with an eighth field
// naming the mark that coloured it, and the status line.
#include "cli/commands.h"

#include "shell/field_text.h"
#include "stake/common/column_format.h"
#include "stake/common/profile_text.h"
#include "stake/segmentstake/segment_plan.h"
#include "stake/segmentstake/segment_settings.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace trendtools {

namespace {

using segmentstake::SegmentInputs;

constexpr std::string_view kUsage =
    "trendtools segmentstake [--ini FILE] [KEY=VALUE ...] [--marks STRING]";

struct Options {
    std::string iniFile;
    std::string marks;
    std::vector<std::string> assignments;
    CLI::Option* ini = nullptr;
    CLI::Option* marksOption = nullptr;
};

template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

// Values are read by the rules of the dialog's typed fields.
void applyAssignment(SegmentInputs& inputs, std::string_view assignment) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string_view::npos)
        throw UsageError("expected KEY=VALUE, got '" + std::string(assignment) + "'");
    const std::string_view key = assignment.substr(0, equals);
    const std::string_view value = assignment.substr(equals + 1);
    const segmentstake::SegmentSetting* setting = segmentstake::findSegmentSetting(key);
    if (setting == nullptr)
        throw UsageError("unknown key '" + std::string(key) + "'");

    const auto refuse = [&](std::string_view type) {
        return UsageError("the value of " + std::string(key) + " is not " + std::string(type) +
                          ": '" + std::string(value) + "'");
    };
    std::visit(Overloaded{
                   [&](const segmentstake::IntSetting& s) {
                       const auto number = shell::parseInt32Field(value);
                       if (!number)
                           throw refuse("a signed 32-bit integer");
                       inputs.*s.field = *number;
                   },
                   [&](const segmentstake::UintSetting& s) {
                       const auto number = shell::parseUint32Field(value);
                       if (!number)
                           throw refuse("an unsigned 32-bit integer");
                       inputs.*s.field = *number;
                   },
                   [&](const segmentstake::RealSetting& s) {
                       const auto number = shell::parseFloatField(value);
                       if (!number)
                           throw refuse("a real number finite in single precision");
                       inputs.*s.field = *number;
                   },
               },
               setting->kind);
}

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

std::filesystem::path pathFromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

void printFields(std::ostream& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out << '\t';
        out << fields[i];
    }
    out << '\n';
}

std::string markOf(const std::optional<segmentstake::RowColors>& colors) {
    if (colors == segmentstake::kHitColors)
        return "中";
    if (colors == segmentstake::kMissColors)
        return "挂";
    return {};
}

int runSegmentstake(const Options& options, Streams& io) {
    SegmentInputs inputs;
    if (options.ini->count() > 0) {
        // A file that cannot be read leaves every key at its default, as at the
        // dialog's start-up.
        const stake::ProfileText file =
            stake::readProfileFile(pathFromUtf8(options.iniFile)).value_or(stake::ProfileText{});
        segmentstake::readSegmentSettings(file, inputs, segmentstake::SettingsDefaults::startUp);
    }
    for (const std::string& assignment : options.assignments)
        applyAssignment(inputs, assignment);
    const std::vector<bool> marks = parseMarks(options.marks);

    segmentstake::SegmentPlan plan;
    segmentstake::PlanTable table;
    std::string status;
    const auto step = [&](const segmentstake::StepResult& result) {
        if (result.status)
            status = *result.status;
        return result.message;
    };
    if (const auto message = step(plan.start(inputs, table))) {
        io.err << *message << '\n';
        return kExitRefused;
    }
    for (const bool hit : marks) {
        const auto message = step(hit ? plan.markHit(inputs, table) : plan.markMiss(inputs, table));
        if (message) {
            io.err << *message << '\n';
            return kExitRefused;
        }
    }

    std::vector<std::string> names;
    for (const stake::ColumnSpec& column : stake::parseColumnSpec(segmentstake::kSegmentColumnSpec))
        names.push_back(column.name);
    printFields(io.out, names);
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
    auto options = std::make_shared<Options>();
    options->ini = sub.add_option("--ini", options->iniFile,
                                  "Read section SetFD of FILE as the dialog does at start-up")
                       ->type_name("FILE");
    options->marksOption =
        sub.add_option("--marks", options->marks,
                       "After 初始, mark one draw per character: H or 中 a hit, M or 挂 a miss")
            ->type_name("STRING");
    std::string keys = "Settings of section SetFD, applied last:";
    for (const segmentstake::SegmentSetting& setting : segmentstake::kSegmentSettings)
        keys += ' ' + std::string(setting.key);
    sub.add_option("assignments", options->assignments, keys)->type_name("KEY=VALUE");
    return [options](Streams& io) { return runSegmentstake(*options, io); };
}

[[maybe_unused]] const bool registered = registerCommand({
    "segmentstake",
    "Segmented plan tracked against a profit target (分段倍投计算器)",
    kUsage,
    attachSegmentstake,
});

} // namespace

} // namespace trendtools
