#include "stake/wavestake/wavestake_settings.h"

#include <cstddef>

namespace wavestake {

namespace {

// Positions in kWaveSettings of an export: nXingshu before nMode.
constexpr std::array<std::size_t, kWaveSettings.size()> kExportOrder{0, 1, 3, 2, 4, 5, 6};

} // namespace

const WaveSetting* findWaveSetting(std::string_view key) {
    return stake::findSetting(kWaveSettings, key);
}

void readWaveSettings(const stake::SettingsReader& reader, WaveSettings& settings) {
    stake::readSettings(reader, kSettingsSection, kWaveSettings, settings);
}

void writeWaveSettings(stake::SettingsWriter& writer, const WaveSettings& settings,
                       KeyOrder order) {
    if (order == KeyOrder::exporting)
        stake::writeSettings(writer, kSettingsSection, kWaveSettings, settings, kExportOrder);
    else
        stake::writeSettings(writer, kSettingsSection, kWaveSettings, settings);
}

} // namespace wavestake
