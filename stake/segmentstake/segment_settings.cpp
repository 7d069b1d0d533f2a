#include "stake/segmentstake/segment_settings.h"

#include "stake/common/settings_keys.h"
#include "stake/common/stake_rules.h"

namespace segmentstake {

namespace {

template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

} // namespace

const SegmentSetting* findSegmentSetting(std::string_view key) {
    for (const SegmentSetting& setting : kSegmentSettings) {
        if (setting.key == key)
            return &setting;
    }
    return nullptr;
}

void readSegmentSettings(const stake::SettingsReader& reader, SegmentInputs& inputs,
                         SettingsDefaults defaults) {
    const bool startUp = defaults == SettingsDefaults::startUp;
    for (const SegmentSetting& setting : kSegmentSettings) {
        std::visit(Overloaded{
                       [&](const IntSetting& s) {
                           inputs.*s.field =
                               reader.readInt(kSettingsSection, setting.key,
                                              startUp ? s.startUpDefault : s.importDefault);
                       },
                       [&](const UintSetting& s) {
                           const std::uint32_t fallback =
                               startUp ? s.startUpDefault : s.importDefault;
                           inputs.*s.field = static_cast<std::uint32_t>(reader.readInt(
                               kSettingsSection, setting.key, static_cast<std::int32_t>(fallback)));
                       },
                       [&](const RealSetting& s) {
                           inputs.*s.field = stake::readRealSetting(reader, kSettingsSection,
                                                                    setting.key, s.defaultText);
                       },
                   },
                   setting.kind);
    }
}

void writeSegmentSettings(stake::SettingsWriter& writer, const SegmentInputs& inputs) {
    for (const SegmentSetting& setting : kSegmentSettings) {
        std::visit(Overloaded{
                       [&](const IntSetting& s) {
                           writer.writeInt(kSettingsSection, setting.key, inputs.*s.field);
                       },
                       [&](const UintSetting& s) {
                           writer.writeInt(kSettingsSection, setting.key,
                                           static_cast<std::int32_t>(inputs.*s.field));
                       },
                       [&](const RealSetting& s) {
                           writer.writeText(kSettingsSection, setting.key,
                                            stake::formatFixed(inputs.*s.field, 6));
                       },
                   },
                   setting.kind);
    }
}

} // namespace segmentstake
