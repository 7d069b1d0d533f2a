// The base set (大底): the numbers a user pasted, which replace the full set
// of candidates as the start of every recompute while they are in force.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sieve {

enum class BaseSetLoad {
    empty,     // the cleaned text is empty: no base set in force any more
    noNumbers, // separators only: an empty base set is in force
    loaded,
    malformed, // a token that is not a number stopped parsing; what came before stays
};

struct BaseSet {
    std::vector<std::uint8_t> members; // one flag per candidate
    // The cleaned text it was loaded from; empty when no base set is in force.
    std::string baseText;

    bool inForce() const { return !baseText.empty(); }
    bool contains(int candidate) const { return members[static_cast<std::size_t>(candidate)] != 0; }
};

// The pasted text with every ASCII comma, carriage return and line feed made
// a space and, when it holds an ASCII ")", everything up to that first ")"
// and the one character after it (normally a space) dropped.
std::string cleanBaseSetText(std::string_view text);

// Loads `text` into `base` (members sized for 10^digitCount candidates):
// tokens are separated by runs of spaces and must be exactly `digitCount`
// decimal digits. Linear in the length of the text, whatever it holds.
BaseSetLoad loadBaseSetText(std::string_view text, int digitCount, BaseSet& base);

} // namespace sieve
