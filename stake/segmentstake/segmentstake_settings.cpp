#include "stake/segmentstake/segmentstake_settings.h"

namespace segmentstake {

const SegmentSetting* findSegmentSetting(std::string_view key) {
    return stake::findSetting(kSegmentSettings, key);
}

void readSegmentSettings(const stake::SettingsReader& reader, SegmentInputs& inputs,
                         SettingsDefaults defaults) {
    stake::readSettings(reader, kSettingsSection, kSegmentSettings, inputs, defaults);
}

void writeSegmentSettings(stake::SettingsWriter& writer, const SegmentInputs& inputs) {
    stake::writeSettings(writer, kSettingsSection, kSegmentSettings, inputs);
}

} // namespace segmentstake
