#include "stake/stakeladder/stakeladder_settings.h"

namespace stakeladder {

const LadderSetting* findLadderSetting(std::string_view key) {
    return stake::findSetting(kLadderSettings, key);
}

void readLadderSettings(const stake::SettingsReader& reader, LadderInputs& inputs) {
    stake::readSettings(reader, kSettingsSection, kLadderSettings, inputs);
}

void writeLadderSettings(stake::SettingsWriter& writer, const LadderInputs& inputs) {
    stake::writeSettings(writer, kSettingsSection, kLadderSettings, inputs);
}

} // namespace stakeladder
