// The face every calculator command shares:
//   trendtools <calculator> [--ini FILE] [KEY=VALUE ...] [its own options]
// The inputs start at the tool's fresh-start defaults, then take its settings
// section of FILE as its dialog reads it at start-up, then the KEY=VALUE pairs
// (each value read by the rules of the dialog's typed fields). The command
// then computes and prints its list: the column names, then one line per row,
// tab-separated.
#pragma once

#include "cli/commands.h"

#include "shell/field_text.h"
#include "stake/common/column_format.h"
#include "stake/common/plan_row.h"
#include "stake/common/profile_text.h"
#include "stake/common/settings_keys.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace trendtools {

// What the shared face needs of a calculator.
template <class Inputs> struct Calculator {
    std::string_view section; // its settings section
    std::span<const stake::SettingKey<Inputs>> settings;
    const stake::SettingKey<Inputs>* (*findSetting)(std::string_view key);
    void (*readSettings)(const stake::SettingsReader&, Inputs&); // as at start-up
};

// Computes from the finished inputs and prints; returns the exit status.
template <class Inputs> using CalculatorRun = std::function<int(Inputs&, Streams&)>;

// The refusal of the tool: its message on stderr, nothing on stdout.
inline int refuse(Streams& io, std::string_view message) {
    io.err << message << '\n';
    return kExitRefused;
}

// One line of tab-separated fields.
inline void printFields(std::ostream& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out << '\t';
        out << fields[i];
    }
    out << '\n';
}

// The column names of a list laid out by `layout`, as one line.
inline void printColumnNames(std::ostream& out, std::string_view layout) {
    std::vector<std::string> names;
    for (const stake::ColumnLayout& column : stake::parseColumnLayout(layout))
        names.push_back(column.name);
    printFields(out, names);
}

// The column names, then each row's cells.
inline void printList(std::ostream& out, std::string_view layout,
                      const std::vector<stake::PlanRow>& rows) {
    printColumnNames(out, layout);
    for (const stake::PlanRow& row : rows)
        printFields(out, row.cells);
}

template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

template <class Inputs>
void applyAssignment(const Calculator<Inputs>& calculator, Inputs& inputs,
                     std::string_view assignment) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string_view::npos)
        throw UsageError("expected KEY=VALUE, got '" + std::string(assignment) + "'");
    const std::string_view key = assignment.substr(0, equals);
    const std::string_view value = assignment.substr(equals + 1);
    const stake::SettingKey<Inputs>* setting = calculator.findSetting(key);
    if (setting == nullptr)
        throw UsageError("unknown key '" + std::string(key) + "'");

    const auto read = [&](const auto& number, std::string_view type) {
        if (!number)
            throw UsageError("the value of " + std::string(key) + " is not " + std::string(type) +
                             ": '" + std::string(value) + "'");
        return *number;
    };
    std::visit(Overloaded{
                   [&](const stake::IntKey<Inputs>& s) {
                       inputs.*s.field =
                           read(shell::parseInt32Field(value), "a signed 32-bit integer");
                   },
                   [&](const stake::UintKey<Inputs>& s) {
                       inputs.*s.field =
                           read(shell::parseUint32Field(value), "an unsigned 32-bit integer");
                   },
                   [&](const stake::RealKey<Inputs>& s) {
                       inputs.*s.field = read(shell::parseFloatField(value),
                                              "a real number finite in single precision");
                   },
               },
               setting->kind);
}

// Declares --ini FILE and the KEY=VALUE arguments on the subcommand; the
// returned action builds the inputs and hands them to `run`. A command's own
// options are declared after this call.
template <class Inputs>
CommandAction attachCalculator(CLI::App& sub, const Calculator<Inputs>& calculator,
                               CalculatorRun<Inputs> run) {
    struct Options {
        std::string iniFile;
        std::vector<std::string> assignments;
        CLI::Option* ini = nullptr;
    };
    auto options = std::make_shared<Options>();
    const std::string section(calculator.section);
    options->ini =
        sub.add_option("--ini", options->iniFile,
                       "Read section " + section + " of FILE as the dialog does at start-up")
            ->type_name("FILE");
    std::string keys = "Settings of section " + section + ", applied last:";
    for (const stake::SettingKey<Inputs>& setting : calculator.settings)
        keys += ' ' + std::string(setting.key);
    sub.add_option("assignments", options->assignments, keys)->type_name("KEY=VALUE");

    return [options, calculator, run = std::move(run)](Streams& io) {
        Inputs inputs;
        if (options->ini->count() > 0) {
            // A file that cannot be read leaves every key at its default, as at
            // the dialog's start-up.
            const std::string& name = options->iniFile;
            const stake::ProfileText file =
                stake::readProfileFile(
                    std::filesystem::path(std::u8string(name.begin(), name.end())))
                    .value_or(stake::ProfileText{});
            calculator.readSettings(file, inputs);
        }
        for (const std::string& assignment : options->assignments)
            applyAssignment(calculator, inputs, assignment);
        return run(inputs, io);
    };
}

} // namespace trendtools
