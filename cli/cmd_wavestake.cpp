// trendtools wavestake [--ini FILE] [KEY=VALUE ...]
//
// Computes the wave-push plan from the fresh-start inputs, then section SetBT
// of FILE as the dialog reads it at start-up, then the KEY=VALUE pairs, and
// prints the list: the column names, then one line per row, tab-separated,
// with an eighth field "end" on the last row of each wave.
#include "cli/commands.h"
#include "cli/stake_options.h"

#include "stake/wavestake/wavestake_plan.h"
#include "stake/wavestake/wavestake_settings.h"

#include <string>
#include <vector>

namespace trendtools {

namespace {

using wavestake::WaveSettings;

int runWavestake(WaveSettings& settings, Streams& io) {
    const wavestake::WavePlan plan = wavestake::computeWavePlan(settings);
    if (plan.refused())
        return refuse(io, *plan.message);
    printColumnNames(io.out, wavestake::kWaveColumnLayout);
    for (const wavestake::WaveRow& wave : plan.rows) {
        std::vector<std::string> fields = wave.row.cells;
        fields.push_back(wave.closesWave ? "end" : "");
        printFields(io.out, fields);
    }
    io.out.flush();
    return kExitSuccess;
}

CommandAction attachWavestake(CLI::App& sub) {
    return attachCalculator<WaveSettings>(sub,
                                          {wavestake::kSettingsSection, wavestake::kWaveSettings,
                                           wavestake::findWaveSetting, wavestake::readWaveSettings},
                                          runWavestake);
}

[[maybe_unused]] const bool registered = registerCommand({
    "wavestake",
    "Wave-push plan (推波倍投计算器)",
    "trendtools wavestake [--ini FILE] [KEY=VALUE ...]",
    attachWavestake,
});

} // namespace

} // namespace trendtools
