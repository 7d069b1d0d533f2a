// trendtools snowballstake [--ini FILE] [KEY=VALUE ...]
//
// Computes the snowball plan from the fresh-start inputs, then section SetBT of
// FILE as the dialog reads it at start-up, then the KEY=VALUE pairs, and prints
// the list: the column names, then one line per row, tab-separated. A plan that
// ends before 滚利期数 prints its rows and then the dialog's note on stderr.
#include "cli/commands.h"

#include "shell/field_text.h"
#include "stake/common/column_format.h"
#include "stake/common/profile_text.h"
#include "stake/snowballstake/snowball_plan.h"
#include "stake/snowballstake/snowball_settings.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace trendtools {

namespace {

using snowballstake::SnowballInputs;

constexpr std::string_view kUsage = "trendtools snowballstake [--ini FILE] [KEY=VALUE ...]";

struct Options {
    std::string iniFile;
    std::vector<std::string> assignments;
    CLI::Option* ini = nullptr;
};

// Values are read by the rules of the dialog's typed fields.
void applyAssignment(SnowballInputs& inputs, std::string_view assignment) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string_view::npos)
        throw UsageError("expected KEY=VALUE, got '" + std::string(assignment) + "'");
    const std::string_view key = assignment.substr(0, equals);
    const std::string_view value = assignment.substr(equals + 1);
    const snowballstake::SnowballSetting* setting = snowballstake::findSnowballSetting(key);
    if (setting == nullptr)
        throw UsageError("unknown key '" + std::string(key) + "'");

    const auto refuse = [&](std::string_view type) {
        return UsageError("the value of " + std::string(key) + " is not " + std::string(type) +
                          ": '" + std::string(value) + "'");
    };
    if (const auto* integer = std::get_if<snowballstake::IntSetting>(&setting->kind)) {
        const auto number = shell::parseInt32Field(value);
        if (!number)
            throw refuse("a signed 32-bit integer");
        inputs.*integer->field = *number;
    } else if (const auto* real = std::get_if<snowballstake::RealSetting>(&setting->kind)) {
        const auto number = shell::parseFloatField(value);
        if (!number)
            throw refuse("a real number finite in single precision");
        inputs.*real->field = *number;
    }
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

int runSnowballstake(const Options& options, Streams& io) {
    SnowballInputs inputs;
    if (options.ini->count() > 0) {
        // A file that cannot be read leaves every key at its default, as at the
        // dialog's start-up.
        const stake::ProfileText file =
            stake::readProfileFile(pathFromUtf8(options.iniFile)).value_or(stake::ProfileText{});
        snowballstake::readSnowballSettings(file, inputs);
    }
    for (const std::string& assignment : options.assignments)
        applyAssignment(inputs, assignment);

    const snowballstake::SnowballResult result = snowballstake::computePlan(inputs);
    if (result.plan.refused()) {
        io.err << *result.plan.message << '\n';
        return kExitRefused;
    }
    std::vector<std::string> names;
    for (const stake::ColumnSpec& column :
         stake::parseColumnSpec(snowballstake::kSnowballColumnSpec))
        names.push_back(column.name);
    printRow(io.out, names);
    for (const stake::PlanRow& row : result.plan.rows)
        printRow(io.out, row.cells);
    io.out.flush();
    if (result.endNote)
        io.err << *result.endNote << '\n';
    return kExitSuccess;
}

CommandAction attachSnowballstake(CLI::App& sub) {
    auto options = std::make_shared<Options>();
    options->ini = sub.add_option("--ini", options->iniFile,
                                  "Read section SetBT of FILE as the dialog does at start-up")
                       ->type_name("FILE");
    std::string keys = "Settings of section SetBT, applied last:";
    for (const snowballstake::SnowballSetting& setting : snowballstake::kSnowballSettings)
        keys += ' ' + std::string(setting.key);
    sub.add_option("assignments", options->assignments, keys)->type_name("KEY=VALUE");
    return [options](Streams& io) { return runSnowballstake(*options, io); };
}

[[maybe_unused]] const bool registered = registerCommand({
    "snowballstake",
    "Snowball plan (滚雪球倍投计算器)",
    kUsage,
    attachSnowballstake,
});

} // namespace

} // namespace trendtools
