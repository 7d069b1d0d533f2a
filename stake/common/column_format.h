// Columns of a report list declared by one text: entries of a name, a comma, a
// width in pixels and a semicolon, as in "期数,40;当前倍数,80;".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace stake {

// One column of a layout: its name and its width in pixels.
struct ColumnLayout {
    std::string name;
    std::int32_t width = 0;

    friend bool operator==(const ColumnLayout&, const ColumnLayout&) = default;
};

// The name runs from the current position to the next comma; the width is the
// atoi value of the text between that comma and the next semicolon (or the end
// of the text). A text without a comma declares no columns, an entry without a
// width gets width 0, and the last semicolon may be left out.
std::vector<ColumnLayout> parseColumnLayout(std::string_view layout);

} // namespace stake
