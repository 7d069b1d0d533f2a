// trendtools' command registry and its line parser, apart from main(): the
// program and the fuzz target of its argument parsing call the same run().
#include "cli/commands.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace trendtools {

namespace {

std::vector<Command>& commandRegistry() {
    static std::vector<Command> commands;
    return commands;
}

constexpr std::string_view kUsage = "trendtools <command> [options]  (trendtools --help)";

int reportUsageError(Streams& io, std::string_view message, std::string_view usage) {
    io.err << "trendtools: " << message << '\n' << "usage: " << usage << '\n';
    return kExitUsage;
}

} // namespace

bool registerCommand(Command command) {
    commandRegistry().push_back(std::move(command));
    return true;
}

const std::vector<Command>& registeredCommands() {
    return commandRegistry();
}

// Parses the arguments (the program name first) and runs the named command.
int run(const std::vector<std::string>& arguments, Streams io) {
    CLI::App app{"Command-line face of the trend-analysis tools", "trendtools"};
    app.require_subcommand(1, 1);
    // The project's version, as the programs' version resources carry it.
    app.set_version_flag("--version", "trendtools " TRENDTOOLS_VERSION);

    struct Attached {
        const Command* command;
        CLI::App* subcommand;
        CommandAction action;
    };
    std::vector<Attached> attached;
    for (const Command& command : registeredCommands()) {
        CLI::App* sub = app.add_subcommand(std::string(command.name), std::string(command.summary));
        attached.push_back({&command, sub, command.attach(*sub)});
    }
    // The usage line of the command being parsed, else the general one.
    const auto usageLine = [&attached] {
        for (const Attached& entry : attached) {
            if (entry.subcommand->parsed())
                return entry.command->usage;
        }
        return kUsage;
    };

    // CLI11 would only say that a command is required.
    if (arguments.size() > 1 && !arguments[1].empty() && arguments[1].front() != '-') {
        const bool known =
            std::any_of(attached.begin(), attached.end(),
                        [&](const Attached& entry) { return entry.command->name == arguments[1]; });
        if (!known)
            return reportUsageError(io, "unknown command '" + arguments[1] + "'", kUsage);
    }

    std::vector<const char*> argv;
    argv.reserve(arguments.size());
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());

    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& error) {
        // Help and version requests end well; every other parse error is bad
        // usage, whatever code CLI11 would give it.
        if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
            return app.exit(error, io.out, io.err);
        return reportUsageError(io, error.what(), usageLine());
    }

    for (const Attached& entry : attached) {
        if (!entry.subcommand->parsed())
            continue;
        try {
            return entry.action(io);
        } catch (const UsageError& error) {
            return reportUsageError(io, error.what(), entry.command->usage);
        }
    }
    return reportUsageError(io, "no command given", kUsage);
}

} // namespace trendtools
