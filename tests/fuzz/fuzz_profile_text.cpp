// A settings file as trendtools --ini reads it, through each calculator's
// settings reader; the first line also names a section and key to look up.
#include "stake/common/profile_text.h"
#include "stake/segmentstake/segmentstake_settings.h"
#include "stake/snowballstake/snowballstake_settings.h"
#include "stake/stakeladder/stakeladder_settings.h"
#include "stake/wavestake/wavestake_settings.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const stake::ProfileText file(text);

    stakeladder::LadderInputs ladder;
    stakeladder::readLadderSettings(file, ladder);
    segmentstake::SegmentInputs segment;
    segmentstake::readSegmentSettings(file, segment);
    wavestake::WaveSettings wave;
    wavestake::readWaveSettings(file, wave);
    snowballstake::SnowballInputs snowball;
    snowballstake::readSnowballSettings(file, snowball);

    const std::string_view line = text.substr(0, text.find('\n'));
    const std::size_t split = line.find('|');
    const std::string_view section = line.substr(0, split);
    const std::string_view key = split == std::string_view::npos ? "" : line.substr(split + 1);
    if (file.readText(section, key).size() > stake::ProfileText::kTextLimit)
        std::abort();
    file.readInt(section, key, 7);
    stake::profileInteger(line);
    return 0;
}
