#include "stake/common/column_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using stake::ColumnLayout;
using stake::parseColumnLayout;

TEST(ColumnLayout, Entries) {
    struct Case {
        const char* name;
        std::string_view spec;
        std::vector<ColumnLayout> expected;
    };
    const Case cases[] = {
        {"two columns", "期数,40;当前倍数,80;", {{"期数", 40}, {"当前倍数", 80}}},
        {"last semicolon left out", "期数,40;当前倍数,80", {{"期数", 40}, {"当前倍数", 80}}},
        {"empty", "", {}},
        {"no comma", "期数;40;", {}},
        {"entry without a width", "a,;b,5", {{"a", 0}, {"b", 5}}},
        {"width that is not a number", "a,x;", {{"a", 0}}},
        {"width with trailing text", "a,12px;", {{"a", 12}}},
        {"width with spaces and sign", "a, -5;", {{"a", -5}}},
        {"empty name", ",10;", {{"", 10}}},
        {"double semicolon joins the next name", "a,10;;b,20", {{"a", 10}, {";b", 20}}},
        {"second comma inside the width", "a,1,2;", {{"a", 1}}},
        {"only commas", ",,,", {{"", 0}}},
        {"trailing name without comma", "a,1;tail", {{"a", 1}}},
        {"huge width saturates", "a,99999999999999999999;", {{"a", 2147483647}}},
        {"huge negative width saturates", "a,-99999999999999999999;", {{"a", INT32_MIN}}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parseColumnLayout(c.spec), c.expected);
    }
}

} // namespace
