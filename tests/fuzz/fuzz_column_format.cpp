// The column layout text of the report lists ("期数,40;当前倍数,80;").
#include "stake/common/column_format.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view layout(reinterpret_cast<const char*>(data), size);
    std::size_t names = 0;
    for (const stake::ColumnLayout& column : stake::parseColumnLayout(layout))
        names += column.name.size() + 1;
    // Every column takes at least its name and a comma from the text.
    if (names > size)
        std::abort();
    return 0;
}
