// trendtools stakeladder [--ini FILE] [KEY=VALUE ...] [--custom TEXT]
//
// Computes the doubling plan from the fresh-start inputs, then section SetBT of
// FILE as the dialog reads it at start-up, then the KEY=VALUE pairs, and prints
// the list: the column names, then one line per row, tab-separated.
#include "cli/commands.h"
#include "cli/stake_options.h"

#include "stake/stakeladder/stakeladder_plan.h"
#include "stake/stakeladder/stakeladder_settings.h"

#include <memory>
#include <string>

namespace trendtools {

namespace {

using stakeladder::LadderInputs;

CommandAction attachStakeladder(CLI::App& sub) {
    struct Custom {
        std::string text;
        CLI::Option* option = nullptr;
    };
    auto custom = std::make_shared<Custom>();
    const auto run = [custom](LadderInputs& inputs, Streams& io) {
        if (custom->option->count() > 0) {
            inputs.useCustom = true;
            inputs.customText = custom->text;
        }
        const stake::PlanResult plan = stakeladder::computePlan(inputs);
        if (plan.refused())
            return refuse(io, *plan.message);
        printList(io.out, stakeladder::kLadderColumnLayout, plan.rows);
        io.out.flush();
        return kExitSuccess;
    };
    CommandAction action = attachCalculator<LadderInputs>(
        sub,
        {stakeladder::kSettingsSection, stakeladder::kLadderSettings,
         stakeladder::findLadderSetting, stakeladder::readLadderSettings},
        run);
    custom->option = sub.add_option("--custom", custom->text,
                                    "Compute the plan of this multiplier list (自定义倍投)")
                         ->type_name("TEXT");
    return action;
}

[[maybe_unused]] const bool registered = registerCommand({
    "stakeladder",
    "Doubling plan (倍投计算器)",
    "trendtools stakeladder [--ini FILE] [KEY=VALUE ...] [--custom TEXT]",
    attachStakeladder,
});

} // namespace

} // namespace trendtools
