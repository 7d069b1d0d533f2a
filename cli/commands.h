// The subcommands of trendtools. Each tool's command lives in its own source
// file and registers itself with registerCommand at start-up; run() parses the
// command line with every registered command and runs the one that was named.
#pragma once

#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
}

namespace trendtools {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRefused = 1; // the tool refused the input, with its message
inline constexpr int kExitUsage = 2;   // bad usage, with a usage line

struct Streams {
    std::ostream& out;
    std::ostream& err;
};

// A usage error found once the line has been parsed (an unknown key, a value
// that is not a number of its field's type). run() reports it with the
// command's usage line and exit status 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Runs a parsed command; returns the exit status.
using CommandAction = std::function<int(Streams&)>;

struct Command {
    std::string_view name;
    std::string_view summary;
    std::string_view usage; // the usage line shown with a usage error
    // Declares the command's options on its subcommand; the returned action
    // runs once the whole line has been parsed.
    std::function<CommandAction(CLI::App& subcommand)> attach;
};

// For a static initialiser in the command's file; always returns true.
bool registerCommand(Command command);

const std::vector<Command>& registeredCommands();

// Parses `arguments` (the program name first) with every registered command and
// runs the one named; returns the exit status.
int run(const std::vector<std::string>& arguments, Streams io);

} // namespace trendtools
