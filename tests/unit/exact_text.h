// A text in a heap block of exactly its length, with no terminating zero, so
// that AddressSanitizer reports a parser that reads past its end.
#pragma once

#include <string_view>
#include <vector>

struct ExactText : std::vector<char> {
    explicit ExactText(std::string_view text) : std::vector<char>(text.begin(), text.end()) {}
    operator std::string_view() const { return {data(), size()}; }
};
