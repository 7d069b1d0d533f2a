// trendtools stakeladder [--ini FILE] [KEY=VALUE ...] [--custom TEXT]
//
// Computes the doubling plan from the fresh-start inputs, then section SetBT of
// FILE as the dialog reads it at start-up, then the KEY=VALUE pairs, and prints
// the list: the column names, then one line per row, tab-separated.
#include "cli/commands.h"

#include "stake/common/column_format.h"
#include "stake/common/profile_text.h"
#include "stake/common/stake_rules.h"
#include "shell/field_text.h"
#include "stake/stakeladder/ladder_plan.h"
#include "stake/stakeladder/ladder_settings.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <type_traits>
#include <variant>
#include <vector>

namespace trendtools {

namespace {

using stakeladder::LadderInputs;

constexpr std::string_view kUsage =
    "trendtools stakeladder [--ini FILE] [KEY=VALUE ...] [--custom TEXT]";

struct Options {
    std::string iniFile;
    std::string customText;
    std::vector<std::string> assignments;
    CLI::Option* ini = nullptr;
    CLI::Option* custom = nullptr;
};

// Values are read by the rules of the dialog's typed fields.
template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

void applyAssignment(LadderInputs& inputs, std::string_view assignment) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string_view::npos)
        throw UsageError("expected KEY=VALUE, got '" + std::string(assignment) + "'");
    const std::string_view key = assignment.substr(0, equals);
    const std::string_view value = assignment.substr(equals + 1);
    const stakeladder::LadderSetting* setting = stakeladder::findLadderSetting(key);
    if (setting == nullptr)
        throw UsageError("unknown key '" + std::string(key) + "'");

    const auto refuse = [&](std::string_view type) {
        return UsageError("the value of " + std::string(key) + " is not " + std::string(type) +
                          ": '" + std::string(value) + "'");
    };
    std::visit(Overloaded{
                   [&](const stakeladder::IntSetting& s) {
                       const auto number = shell::parseInt32Field(value);
                       if (!number)
                           throw refuse("a signed 32-bit integer");
                       inputs.*s.field = *number;
                   },
                   [&](const stakeladder::UintSetting& s) {
                       const auto number = shell::parseUint32Field(value);
                       if (!number)
                           throw refuse("an unsigned 32-bit integer");
                       inputs.*s.field = *number;
                   },
                   [&](const stakeladder::RealSetting& s) {
                       const auto number = shell::parseFloatField(value);
                       if (!number)
                           throw refuse("a real number finite in single precision");
                       inputs.*s.field = *number;
                   },
               },
               setting->kind);
}

std::filesystem::path pathFromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

void printRow(std::ostream& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out << '\t';
        out << cells[i];
    }
    out << '\n';
}

int runStakeladder(const Options& options, Streams& io) {
    LadderInputs inputs;
    if (options.ini->count() > 0) {
        // A file that cannot be read leaves every key at its default, as at the
        // dialog's start-up.
        const stake::ProfileText file =
            stake::readProfileFile(pathFromUtf8(options.iniFile)).value_or(stake::ProfileText{});
        stakeladder::readLadderSettings(file, inputs);
    }
    for (const std::string& assignment : options.assignments)
        applyAssignment(inputs, assignment);
    if (options.custom->count() > 0) {
        inputs.useCustom = true;
        inputs.customText = options.customText;
    }

    const stake::PlanResult plan = stakeladder::computePlan(inputs);
    if (plan.refused()) {
        io.err << *plan.message << '\n';
        return kExitRefused;
    }
    std::vector<std::string> names;
    for (const stake::ColumnSpec& column : stake::parseColumnSpec(stakeladder::kLadderColumnSpec))
        names.push_back(column.name);
    printRow(io.out, names);
    for (const stake::PlanRow& row : plan.rows)
        printRow(io.out, row.cells);
    io.out.flush();
    return kExitSuccess;
}

CommandAction attachStakeladder(CLI::App& sub) {
    auto options = std::make_shared<Options>();
    options->ini = sub.add_option("--ini", options->iniFile,
                                  "Read section SetBT of FILE as the dialog does at start-up")
                       ->type_name("FILE");
    options->custom = sub.add_option("--custom", options->customText,
                                     "Compute the plan of this multiplier list (自定义倍投)")
                          ->type_name("TEXT");
    std::string keys = "Settings of section SetBT, applied last:";
    for (const stakeladder::LadderSetting& setting : stakeladder::kLadderSettings)
        keys += ' ' + std::string(setting.key);
    sub.add_option("assignments", options->assignments, keys)->type_name("KEY=VALUE");
    return [options](Streams& io) { return runStakeladder(*options, io); };
}

[[maybe_unused]] const bool registered = registerCommand({
    "stakeladder",
    "Doubling plan (倍投计算器)",
    kUsage,
    attachStakeladder,
});

} // namespace

} // namespace trendtools
