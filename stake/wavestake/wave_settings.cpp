#include "stake/wavestake/wave_settings.h"

#include <cstddef>

namespace wavestake {

namespace {

// Positions in kWaveSettings, in the order each writer uses.
constexpr std::array<std::size_t, 7> kClosingOrder{0, 1, 2, 3, 4, 5, 6};
constexpr std::array<std::size_t, 7> kExportOrder{0, 1, 3, 2, 4, 5, 6};

} // namespace

const WaveSetting* findWaveSetting(std::string_view key) {
    return stake::findSetting(kWaveSettings, key);
}

void readWaveSettings(const stake::SettingsReader& reader, WaveSettings& settings) {
    for (const WaveSetting& setting : kWaveSettings)
        stake::readSetting(reader, kSettingsSection, setting, settings);
}

void writeWaveSettings(stake::SettingsWriter& writer, const WaveSettings& settings,
                       KeyOrder order) {
    const auto& positions = order == KeyOrder::exporting ? kExportOrder : kClosingOrder;
    for (const std::size_t position : positions)
        stake::writeSetting(writer, kSettingsSection, kWaveSettings[position], settings);
}

} // namespace wavestake
