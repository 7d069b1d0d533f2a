#include "stake/common/column_format.h"

#include "stake/common/stake_rules.h"

namespace stake {

std::vector<ColumnLayout> parseColumnLayout(std::string_view layout) {
    std::vector<ColumnLayout> columns;
    std::size_t position = 0;
    while (position <= layout.size()) {
        const std::size_t comma = layout.find(',', position);
        if (comma == std::string_view::npos)
            break;
        const std::size_t semicolon = layout.find(';', comma + 1);
        const std::size_t widthEnd =
            semicolon == std::string_view::npos ? layout.size() : semicolon;
        columns.push_back({std::string(layout.substr(position, comma - position)),
                           leadingInt(layout.substr(comma + 1, widthEnd - comma - 1))});
        position = widthEnd + 1;
    }
    return columns;
}

} // namespace stake
