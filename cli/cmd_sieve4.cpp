// trendtools sieve4 [--kill GROUP=I[,I...]]... [--must=DIGITS] [--hits=LIST]
//                   [--distinct] [--base TEXT | --base-file FILE]
//
// The four-digit filter (四星缩水杀号): prints the kept count and the numbers.
#include "cli/commands.h"
#include "cli/filter_options.h"

#include "sieve/sieve4/sieve4_engine.h"

namespace trendtools {
namespace {

[[maybe_unused]] const bool registered = registerCommand({
    "sieve4",
    "Four-digit filter (四星缩水杀号)",
    "trendtools sieve4 [--kill GROUP=I[,I...]]... [--must=DIGITS] [--hits=LIST] [--distinct] "
    "[--base TEXT | --base-file FILE]",
    [](CLI::App& sub) { return attachFilter(sub, sieve4::kDesign); },
});

} // namespace
} // namespace trendtools
