// trendtools wavestake [--ini FILE] [KEY=VALUE ...]
//
// Computes the wave-push plan from the fresh-start inputs, then section SetBT
// of FILE as the dialog reads it at start-up, then the KEY=VALUE pairs, and
// prints the list: the column names, then one line per row, tab-separated,
// with an eighth field "end" on the last row of each wave.
#include "cli/commands.h"

#include "shell/field_text.h"
#include "stake/common/column_format.h"
#include "stake/common/profile_text.h"
#include "stake/wavestake/wave_plan.h"
#include "stake/wavestake/wave_settings.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace trendtools {

namespace {

using wavestake::WaveSettings;

constexpr std::string_view kUsage = "trendtools wavestake [--ini FILE] [KEY=VALUE ...]";

struct Options {
    std::string iniFile;
    std::vector<std::string> assignments;
    CLI::Option* ini = nullptr;
};

// Values are read by the rules of the dialog's typed fields.
void applyAssignment(WaveSettings& settings, std::string_view assignment) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string_view::npos)
        throw UsageError("expected KEY=VALUE, got '" + std::string(assignment) + "'");
    const std::string_view key = assignment.substr(0, equals);
    const std::string_view value = assignment.substr(equals + 1);
    const wavestake::WaveSetting* setting = wavestake::findWaveSetting(key);
    if (setting == nullptr)
        throw UsageError("unknown key '" + std::string(key) + "'");

    const auto refuse = [&](std::string_view type) {
        return UsageError("the value of " + std::string(key) + " is not " + std::string(type) +
                          ": '" + std::string(value) + "'");
    };
    if (const auto* integer = std::get_if<wavestake::IntSetting>(&setting->kind)) {
        const auto number = shell::parseInt32Field(value);
        if (!number)
            throw refuse("a signed 32-bit integer");
        settings.*integer->field = *number;
    } else if (const auto* real = std::get_if<wavestake::RealSetting>(&setting->kind)) {
        const auto number = shell::parseFloatField(value);
        if (!number)
            throw refuse("a real number finite in single precision");
        settings.*real->field = *number;
    }
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

int runWavestake(const Options& options, Streams& io) {
    WaveSettings settings;
    if (options.ini->count() > 0) {
        // A file that cannot be read leaves every key at its default, as at the
        // dialog's start-up.
        const stake::ProfileText file =
            stake::readProfileFile(pathFromUtf8(options.iniFile)).value_or(stake::ProfileText{});
        wavestake::readWaveSettings(file, settings);
    }
    for (const std::string& assignment : options.assignments)
        applyAssignment(settings, assignment);

    const wavestake::WavePlan plan = wavestake::computeWavePlan(settings);
    if (plan.refused()) {
        io.err << *plan.message << '\n';
        return kExitRefused;
    }
    std::vector<std::string> names;
    for (const stake::ColumnSpec& column : stake::parseColumnSpec(wavestake::kWaveColumnSpec))
        names.push_back(column.name);
    printFields(io.out, names);
    for (const wavestake::WaveRow& wave : plan.rows) {
        std::vector<std::string> fields = wave.row.cells;
        fields.push_back(wave.closesWave ? "end" : "");
        printFields(io.out, fields);
    }
    io.out.flush();
    return kExitSuccess;
}

CommandAction attachWavestake(CLI::App& sub) {
    auto options = std::make_shared<Options>();
    options->ini = sub.add_option("--ini", options->iniFile,
                                  "Read section SetBT of FILE as the dialog does at start-up")
                       ->type_name("FILE");
    std::string keys = "Settings of section SetBT, applied last:";
    for (const wavestake::WaveSetting& setting : wavestake::kWaveSettings)
        keys += ' ' + std::string(setting.key);
    sub.add_option("assignments", options->assignments, keys)->type_name("KEY=VALUE");
    return [options](Streams& io) { return runWavestake(*options, io); };
}

[[maybe_unused]] const bool registered = registerCommand({
    "wavestake",
    "Wave-push plan (推波倍投计算器)",
    kUsage,
    attachWavestake,
});

} // namespace

} // namespace trendtools
