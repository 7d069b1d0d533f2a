#include "stake/common/profile_text.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace stake {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The profile functions count tab to carriage return, the DOS end-of-file mark
// ^Z and the space as white space.
bool isProfileSpace(char c) {
    return (c >= '\t' && c <= '\r') || c == '\x1a' || c == ' ';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isProfileSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isProfileSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// Names and values are zero-terminated strings on the platform: whatever
// follows a zero byte is never seen.
std::string_view uptoZero(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

// Requested names are trimmed before they are compared.
std::string_view requestedName(std::string_view name) {
    return trimmed(uptoZero(name));
}

// How a value is copied into a buffer of `bufferLength` characters: matching
// quotes around it are dropped, and the copy keeps at most bufferLength - 1
// characters. The closing quote is dropped by removing the last character
// copied whenever the quoted text (with its closing quote) would have fitted
// the whole buffer, so a quoted value of exactly bufferLength characters loses
// one character of its own.
std::string copiedEntry(std::string_view value, std::size_t bufferLength) {
    bool quoted = false;
    if (value.size() >= 2 && (value.front() == '\'' || value.front() == '"') &&
        value.back() == value.front()) {
        quoted = true;
        value.remove_prefix(1);
    }
    std::string copy(value.substr(0, bufferLength - 1));
    if (quoted && bufferLength >= value.size() && !copy.empty())
        copy.pop_back();
    return copy;
}

int digitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    return -1;
}

} // namespace

ProfileText::ProfileText(std::string_view text) {
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        text.remove_prefix(kUtf8Bom.size());

    // Keys before the first section header belong to a section without a name.
    sections_.push_back({});
    std::size_t position = 0;
    while (position < text.size()) {
        // A line ends at a carriage return or a line feed; runs of them
        // (CRLF, blank lines) separate the same way.
        std::size_t lineEnd = text.find_first_of("\r\n", position);
        if (lineEnd == std::string_view::npos)
            lineEnd = text.size();
        const std::string_view line = trimmed(text.substr(position, lineEnd - position));
        position = std::min(text.find_first_not_of("\r\n", lineEnd), text.size());
        if (line.empty())
            continue;

        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close != std::string_view::npos && close > 0) {
                sections_.push_back(
                    {std::string(uptoZero(trimmed(line.substr(1, close - 1)))), {}});
                continue;
            }
            // Without a closing bracket the line is an ordinary key line.
        }

        std::string_view name = line;
        std::optional<std::string_view> value;
        if (const std::size_t equals = line.find('='); equals != std::string_view::npos) {
            name = trimmed(line.substr(0, equals));
            value = trimmed(line.substr(equals + 1));
        }

        // Of several lines in a row whose key name is empty, only the first is kept.
        std::vector<Key>& keys = sections_.back().keys;
        if (name.empty() && !keys.empty() && keys.back().name.empty())
            continue;
        Key key{std::string(uptoZero(name)), std::nullopt};
        if (value)
            key.value = std::string(uptoZero(*value));
        keys.push_back(std::move(key));
    }
}

const ProfileText::Key* ProfileText::findKey(std::string_view section, std::string_view key) const {
    const std::string_view sectionName = requestedName(section);
    const std::string_view keyName = requestedName(key);
    for (const Section& candidate : sections_) {
        if (!equalsIgnoringCase(candidate.name, sectionName))
            continue;
        // Only the first section of a name is searched, even when the key is
        // missing there and present in a later one.
        for (const Key& entry : candidate.keys) {
            if (equalsIgnoringCase(entry.name, keyName))
                return &entry;
        }
        return nullptr;
    }
    return nullptr;
}

std::string ProfileText::readValue(std::string_view section, std::string_view key,
                                   std::size_t bufferLength) const {
    const Key* entry = findKey(section, key);
    if (entry == nullptr || !entry->value)
        return {};
    return copiedEntry(*entry->value, bufferLength);
}

std::string ProfileText::readText(std::string_view section, std::string_view key) const {
    return readValue(section, key, kTextLimit + 1);
}

std::int32_t ProfileText::readInt(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const {
    const std::string text = readValue(section, key, kIntTextLimit + 1);
    if (text.empty())
        return defaultValue;
    return profileInteger(text);
}

std::int32_t profileInteger(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && static_cast<unsigned char>(text[at]) <= ' ')
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    int base = 10;
    if (text.size() - at >= 2 && text[at] == '0') {
        const char prefix = text[at + 1];
        const int prefixBase = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 0;
        if (prefixBase != 0) {
            base = prefixBase;
            at += 2;
        }
    }
    std::uint32_t total = 0;
    for (; at < text.size(); ++at) {
        const int digit = digitValue(text[at]);
        if (digit < 0 || digit >= base)
            break;
        total = total * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
    }
    if (negative)
        total = 0u - total;
    return static_cast<std::int32_t>(total);
}

std::optional<ProfileText> readProfileFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    // A read error (a folder opens like a file on POSIX systems, then fails
    // to read) is thrown by the stream buffer, past the stream's state.
    try {
        const std::string content{std::istreambuf_iterator<char>(file),
                                  std::istreambuf_iterator<char>()};
        if (file.bad())
            return std::nullopt;
        return ProfileText(content);
    } catch (const std::ios_base::failure&) {
        return std::nullopt;
    }
}

} // namespace stake
