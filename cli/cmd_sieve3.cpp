// trendtools sieve3 [--kill GROUP=I[,I...]]... [--must=DIGITS] [--hits=LIST]
//                   [--distinct] [--base TEXT | --base-file FILE]
//
// The three-digit filter (三星缩水杀号): prints the kept count and the numbers.
#include "cli/commands.h"
#include "cli/filter_options.h"

#include "sieve/sieve3/sieve3_engine.h"

namespace trendtools {
namespace {

[[maybe_unused]] const bool registered = registerCommand({
    "sieve3",
    "Three-digit filter (三星缩水杀号)",
    "trendtools sieve3 [--kill GROUP=I[,I...]]... [--must=DIGITS] [--hits=LIST] [--distinct] "
    "[--base TEXT | --base-file FILE]",
    [](CLI::App& sub) { return attachFilter(sub, sieve3::kDesign); },
});

} // namespace
} // namespace trendtools
