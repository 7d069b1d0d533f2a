// The filters' base set (装入大底): the first byte picks the digit count 2-5,
// the rest is the pasted text.
#include "sieve/common/base_set.h"
#include "sieve/common/candidate.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const int digitCount = sieve::kMinDigits + data[0] % 4;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    sieve::BaseSet base;
    const bool inForce =
        sieve::loadBaseSetText(text, digitCount, base) != sieve::BaseSetLoad::empty;
    const auto candidates = static_cast<std::size_t>(sieve::candidateCount(digitCount));
    if (base.inForce() != inForce || (inForce && base.members.size() != candidates))
        std::abort();
    return 0;
}
