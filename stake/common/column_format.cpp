#include "stake/common/column_format.h"

#include "stake/common/stake_rules.h"

namespace stake {

std::vector<ColumnSpec> parseColumnSpec(std::string_view spec) {
    std::vector<ColumnSpec> columns;
    std::size_t position = 0;
    while (position <= spec.size()) {
        const std::size_t comma = spec.find(',', position);
        if (comma == std::string_view::npos)
            break;
        const std::size_t semicolon = spec.find(';', comma + 1);
        const std::size_t widthEnd = semicolon == std::string_view::npos ? spec.size() : semicolon;
        columns.push_back({std::string(spec.substr(position, comma - position)),
                           leadingInt(spec.substr(comma + 1, widthEnd - comma - 1))});
        position = widthEnd + 1;
    }
    return columns;
}

} // namespace stake
