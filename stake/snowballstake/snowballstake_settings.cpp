#include "stake/snowballstake/snowballstake_settings.h"

#include <cstddef>

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
    stake::readSettings(reader, kSettingsSection, kSnowballSettings, inputs);
}

void writeSnowballSettings(stake::SettingsWriter& writer, const SnowballInputs& inputs,
                           KeyOrder order) {
    if (order == KeyOrder::onExport)
        stake::writeSettings(writer, kSettingsSection, kSnowballSettings, inputs, kExportOrder);
    else
        stake::writeSettings(writer, kSettingsSection, kSnowballSettings, inputs);
}

} // namespace snowballstake
