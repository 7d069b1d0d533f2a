#include "stake/stakeladder/ladder_settings.h"

#include "stake/common/stake_rules.h"

#include <cmath>
#include <string>

namespace stakeladder {

namespace {

template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

// A decimal value that is not finite in single precision (such as "1e40")
// takes its default instead: no plan can be computed from an infinite odds or
// profit.
float readReal(const stake::SettingsReader& reader, std::string_view key,
               const RealSetting& setting) {
    std::string text = reader.readText(kSettingsSection, key);
    if (text.empty())
        text = setting.defaultText;
    const float value = static_cast<float>(stake::leadingReal(text));
    if (std::isfinite(value))
        return value;
    return static_cast<float>(stake::leadingReal(setting.defaultText));
}

} // namespace

const LadderSetting* findLadderSetting(std::string_view key) {
    for (const LadderSetting& setting : kLadderSettings) {
        if (setting.key == key)
            return &setting;
    }
    return nullptr;
}

void readLadderSettings(const stake::SettingsReader& reader, LadderInputs& inputs) {
    for (const LadderSetting& setting : kLadderSettings) {
        std::visit(
            Overloaded{
                [&](const IntSetting& s) {
                    inputs.*s.field = reader.readInt(kSettingsSection, setting.key, s.defaultValue);
                },
                [&](const UintSetting& s) {
                    inputs.*s.field = static_cast<std::uint32_t>(reader.readInt(
                        kSettingsSection, setting.key, static_cast<std::int32_t>(s.defaultValue)));
                },
                [&](const RealSetting& s) { inputs.*s.field = readReal(reader, setting.key, s); },
            },
            setting.kind);
    }
}

void writeLadderSettings(stake::SettingsWriter& writer, const LadderInputs& inputs) {
    for (const LadderSetting& setting : kLadderSettings) {
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

} // namespace stakeladder
