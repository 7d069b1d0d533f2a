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
    const sieve::BaseSetLoad load = sieve::loadBaseSetText(text, digitCount, base);
    if ((load == sieve::BaseSetLoad::empty) == base.inForce())
        std::abort();
    if (base.inForce() &&
        base.members.size() != static_cast<std::size_t>(sieve::candidateCount(digitCount)))
        std::abort();
    return 0;
}
