// stakeladder's custom multiplier list (自定义倍投): the list parser, the plan
// it gives, and the multiplier column copied back out as text.
#include "stake/common/multiplier_text.h"
#include "stake/stakeladder/stakeladder_plan.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto list = stakeladder::parseMultiplierList(text);
    if (list && list->size() > static_cast<std::size_t>(stakeladder::kMaxPlanRows))
        std::abort();

    stakeladder::LadderInputs inputs;
    inputs.useCustom = true;
    inputs.customText = text;
    const stake::PlanResult plan = stakeladder::computePlan(inputs);
    std::vector<std::string> column;
    for (const stake::PlanRow& row : plan.rows)
        column.push_back(row.cells[1]);
    stake::multipliersInRow(column);
    // The column cells as a user may have edited them.
    stake::multipliersInColumn(std::vector<std::string>{text, text.substr(size / 2)});
    return 0;
}
