#include "stake/snowballstake/snowball_settings.h"

namespace snowballstake {

namespace {

// Table positions in export order: nQishu, nXingshu, nMode, nZhushu,
// nStartBeishu, fPeilv.
constexpr std::array<std::size_t, kSnowballSettings.size()> kExportOrder{0, 2, 1, 3, 4, 5};

} // namespace

const SnowballSetting* findSnowballSetting(std::string_view key) {
    return stake::findSetting(kSnowballSettings, key);
}

void readSnowballSettings(const stake::SettingsReader& reader, SnowballInputs& inputs) {
    for (const SnowballSetting& setting : kSnowballSettings)
        stake::readSetting(reader, kSettingsSection, setting, inputs);
}

void writeSnowballSettings(stake::SettingsWriter& writer, const SnowballInputs& inputs,
                           KeyOrder order) {
    for (std::size_t i = 0; i < kSnowballSettings.size(); ++i) {
        const std::size_t index = order == KeyOrder::onExport ? kExportOrder[i] : i;
        stake::writeSetting(writer, kSettingsSection, kSnowballSettings[index], inputs);
    }
}

} // namespace snowballstake
