// trendtools sieve2 [--kill GROUP=I[,I...]]... [--must=DIGITS] [--hits=LIST]
//                   [--distinct] [--base TEXT | --base-file FILE]
//
// The two-digit filter (二星缩水杀号): prints the kept count and the numbers.
#include "cli/commands.h"
#include "cli/filter_options.h"

#include "sieve/sieve2/sieve2_engine.h"

namespace trendtools {
namespace {

[[maybe_unused]] const bool registered = registerCommand({
    "sieve2",
    "Two-digit filter (二星缩水杀号)",
    "trendtools sieve2 [--kill GROUP=I[,I...]]... [--must=DIGITS] [--hits=LIST] [--distinct] "
    "[--base TEXT | --base-file FILE]",
    [](CLI::App& sub) { return attachFilter(sub, sieve2::kDesign); },
});

} // namespace
} // namespace trendtools
