// trendtools snowballstake [--ini FILE] [KEY=VALUE ...]
//
// Computes the snowball plan from the fresh-start inputs, then section SetBT of
// FILE as the dialog reads it at start-up, then the KEY=VALUE pairs, and prints
// the list: the column names, then one line per row, tab-separated. A plan that
// ends before 滚利期数 prints its rows and then the dialog's note on stderr.
#include "cli/commands.h"
#include "cli/stake_options.h"

#include "stake/snowballstake/snowballstake_plan.h"
#include "stake/snowballstake/snowballstake_settings.h"

namespace trendtools {

namespace {

using snowballstake::SnowballInputs;

int runSnowballstake(SnowballInputs& inputs, Streams& io) {
    const snowballstake::SnowballResult result = snowballstake::computePlan(inputs);
    if (result.plan.refused())
        return refuse(io, *result.plan.message);
    printList(io.out, snowballstake::kSnowballColumnLayout, result.plan.rows);
    io.out.flush();
    if (result.endNote)
        io.err << *result.endNote << '\n';
    return kExitSuccess;
}

CommandAction attachSnowballstake(CLI::App& sub) {
    return attachCalculator<SnowballInputs>(
        sub,
        {snowballstake::kSettingsSection, snowballstake::kSnowballSettings,
         snowballstake::findSnowballSetting, snowballstake::readSnowballSettings},
        runSnowballstake);
}

[[maybe_unused]] const bool registered = registerCommand({
    "snowballstake",
    "Snowball plan (滚雪球倍投计算器)",
    "trendtools snowballstake [--ini FILE] [KEY=VALUE ...]",
    attachSnowballstake,
});

} // namespace

} // namespace trendtools
