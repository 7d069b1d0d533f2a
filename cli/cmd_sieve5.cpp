// trendtools sieve5 [--kill GROUP=I[,I...]]... [--must=DIGITS] [--hits=LIST]
//                   [--distinct] [--base TEXT | --base-file FILE]
//
// The five-digit filter (五星缩水杀号): prints the kept count and the numbers.
#include "cli/commands.h"
#include "cli/filter_options.h"

#include "sieve/sieve5/sieve5_engine.h"

namespace trendtools {
namespace {

[[maybe_unused]] const bool registered = registerCommand({
    "sieve5",
    "Five-digit filter (五星缩水杀号)",
    "trendtools sieve5 [--kill GROUP=I[,I...]]... [--must=DIGITS] [--hits=LIST] [--distinct] "
    "[--base TEXT | --base-file FILE]",
    [](CLI::App& sub) { return attachFilter(sub, sieve5::kDesign); },
});

} // namespace
} // namespace trendtools
