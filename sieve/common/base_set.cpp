#include "sieve/common/base_set.h"

#include "sieve/common/candidate.h"

#include <algorithm>

namespace sieve {
namespace {

// The length of the UTF-8 character that starts with `lead`; a stray byte
// counts as one character.
std::size_t characterLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    length = std::min(length, text.size() - at);
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80)
            return i;
    }
    return length;
}

} // namespace

std::string cleanBaseSetText(std::string_view text) {
    std::size_t start = 0;
    if (const std::size_t paren = text.find(')'); paren != std::string_view::npos) {
        start = paren + 1;
        if (start < text.size())
            start += characterLength(text, start);
    }
    std::string cleaned(text.substr(std::min(start, text.size())));
    for (char& c : cleaned) {
        if (c == ',' || c == '\r' || c == '\n')
            c = ' ';
    }
    return cleaned;
}

BaseSetLoad loadBaseSetText(std::string_view text, int digitCount, BaseSet& base) {
    base.baseText = cleanBaseSetText(text);
    if (base.baseText.empty())
        return BaseSetLoad::empty;
    base.members.assign(static_cast<std::size_t>(candidateCount(digitCount)), 0);

    const std::string_view cleaned = base.baseText;
    const auto width = static_cast<std::size_t>(digitCount);
    bool anyToken = false;
    std::size_t at = 0;
    while (at < cleaned.size()) {
        if (cleaned[at] == ' ') {
            ++at;
            continue;
        }
        const std::size_t end = std::min(cleaned.find(' ', at), cleaned.size());
        if (end - at != width)
            return BaseSetLoad::malformed;
        int number = 0;
        for (std::size_t i = at; i < end; ++i) {
            const char c = cleaned[i];
            if (c < '0' || c > '9')
                return BaseSetLoad::malformed;
            number = number * 10 + (c - '0');
        }
        base.members[static_cast<std::size_t>(number)] = 1;
        anyToken = true;
        at = end;
    }
    return anyToken ? BaseSetLoad::loaded : BaseSetLoad::noNumbers;
}

} // namespace sieve
