#include "tools/hostprobe/payload_decode.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace hostprobe {
namespace {

constexpr std::size_t kKindOffset = 0;
constexpr std::size_t kWavesOffset = 4;
constexpr std::size_t kProfitGoalOffset = 8;
constexpr std::size_t kPeriodsOffset = 12;
constexpr std::size_t kBetsOffset = 16;
constexpr std::size_t kStarOffset = 20;
constexpr std::size_t kModeOffset = 24;
constexpr std::size_t kTextOffset = 28;
constexpr std::size_t kStartMultiplierOffset = 2028;
constexpr std::size_t kHitPeriodsOffset = 2032;
constexpr std::size_t kTargetProfitOffset = 2036;

constexpr std::size_t kShownTextBytes = 160;
constexpr std::size_t kShownNumbers = 8;
constexpr std::size_t kShownRawBytes = 16;

struct KindName {
    std::int32_t kind;
    const char* tool;
    const char* periodsField; // what offset 12 holds for this tool
    std::size_t size;
};

constexpr std::array<KindName, 4> kKinds{{
    {1, "stakeladder", "periods", kPlanRecordSize},
    {2, "wavestake", "periods", kPlanRecordSize},
    {3, "snowballstake", "rollPeriods", kPlanRecordSize},
    {5, "segmentstake", "maxMultiplier", kSegmentRecordSize},
}};

const KindName* findKind(std::int32_t kind) {
    for (const KindName& entry : kKinds) {
        if (entry.kind == kind)
            return &entry;
    }
    return nullptr;
}

std::uint32_t loadUint32(Bytes bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) |
           static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

std::int32_t loadInt32(Bytes bytes, std::size_t offset) {
    return static_cast<std::int32_t>(loadUint32(bytes, offset));
}

float loadFloat(Bytes bytes, std::size_t offset) {
    const std::uint32_t raw = loadUint32(bytes, offset);
    float value;
    std::memcpy(&value, &raw, sizeof(value));
    return value;
}

bool isDigit(std::uint8_t byte) {
    return byte >= '0' && byte <= '9';
}

std::string formatReal(float value) {
    char text[48];
    std::snprintf(text, sizeof(text), "%g", static_cast<double>(value));
    return text;
}

// Bytes above 0x7F as \xNN, control characters too: the fallback when no
// code page 936 converter is at hand.
std::string escapeBytes(std::string_view bytes) {
    std::string shown;
    for (const char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            shown += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\x%02x", byte);
            shown += escaped;
        }
    }
    return shown;
}

std::string describeRecord(const PlanRecordFields& record, std::size_t size,
                           const Cp936ToUtf8& toUtf8) {
    const KindName* kind = findKind(record.kind);
    std::string line = "kind " + std::to_string(record.kind) + " (" + kind->tool + ")";
    if (size != kind->size)
        line +=
            " [" + std::to_string(size) + " bytes, expected " + std::to_string(kind->size) + "]";
    line += " waves=" + std::to_string(record.waves);
    line += " profitGoal=" + formatReal(record.profitGoal);
    line += std::string(" ") + kind->periodsField + "=" + std::to_string(record.periods);
    line += " bets=" + std::to_string(record.bets);
    line += " star=" + std::to_string(record.starIndex);
    line += " mode=" + std::to_string(record.modeIndex);
    line += " start=" + std::to_string(record.startMultiplier);
    if (record.hitPeriods)
        line += " hitPeriods=" + std::to_string(*record.hitPeriods);
    if (record.targetProfit)
        line += " targetProfit=" + formatReal(*record.targetProfit);

    const std::string_view text(record.text);
    const std::string_view shown = text.substr(0, kShownTextBytes);
    line += " text[" + std::to_string(text.size()) +
            (record.textTerminated ? "" : ", unterminated") + "]=\"" +
            (toUtf8 ? toUtf8(shown) : escapeBytes(shown));
    line += shown.size() < text.size() ? "...\"" : "\"";
    return line;
}

std::string describeNumbers(const NumberTextFields& numbers, std::size_t size) {
    std::string line = "numbers: " + std::to_string(numbers.count);
    if (numbers.count > 0)
        line += numbers.digits > 0 ? ", " + std::to_string(numbers.digits) + " digits each"
                                   : ", mixed lengths";
    line += numbers.terminatingZero ? ", terminating zero" : ", no terminating zero";
    if (!numbers.oneSpaceAfterEach)
        line += ", irregular spacing";
    line += " (" + std::to_string(size) + " bytes)";
    if (!numbers.firstNumbers.empty())
        line += " first: " + numbers.firstNumbers;
    return line;
}

} // namespace

std::optional<PlanRecordFields> readPlanRecord(Bytes bytes) {
    if (bytes.size() != kPlanRecordSize && bytes.size() != kSegmentRecordSize)
        return std::nullopt;
    PlanRecordFields record;
    record.kind = loadInt32(bytes, kKindOffset);
    if (!findKind(record.kind))
        return std::nullopt;
    record.waves = loadInt32(bytes, kWavesOffset);
    record.profitGoal = loadFloat(bytes, kProfitGoalOffset);
    record.periods = loadInt32(bytes, kPeriodsOffset);
    record.bets = loadInt32(bytes, kBetsOffset);
    record.starIndex = loadInt32(bytes, kStarOffset);
    record.modeIndex = loadInt32(bytes, kModeOffset);
    const auto* text = reinterpret_cast<const char*>(bytes.data() + kTextOffset);
    const auto* zero = static_cast<const char*>(std::memchr(text, 0, kRecordTextSize));
    const std::size_t length = zero ? static_cast<std::size_t>(zero - text) : kRecordTextSize;
    record.text.assign(text, length);
    record.textTerminated = length < kRecordTextSize;
    record.startMultiplier = loadInt32(bytes, kStartMultiplierOffset);
    if (bytes.size() == kSegmentRecordSize) {
        record.hitPeriods = loadInt32(bytes, kHitPeriodsOffset);
        record.targetProfit = loadFloat(bytes, kTargetProfitOffset);
    }
    return record;
}

std::optional<NumberTextFields> readNumberText(Bytes bytes) {
    if (bytes.empty())
        return std::nullopt;
    NumberTextFields numbers;
    numbers.terminatingZero = bytes.back() == 0;
    const Bytes text = numbers.terminatingZero ? bytes.first(bytes.size() - 1) : bytes;

    bool mixed = false;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            // A space that does not follow a number.
            numbers.oneSpaceAfterEach = false;
            ++i;
            continue;
        }
        if (!isDigit(text[i]))
            return std::nullopt;
        const std::size_t start = i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        const int length = static_cast<int>(i - start);
        mixed = mixed || (numbers.count > 0 && numbers.digits != length);
        numbers.digits = length;
        if (numbers.count < kShownNumbers) {
            if (numbers.count > 0)
                numbers.firstNumbers += ' ';
            numbers.firstNumbers.append(reinterpret_cast<const char*>(text.data() + start),
                                        static_cast<std::size_t>(length));
        }
        ++numbers.count;
        if (i < text.size() && text[i] == ' ')
            ++i;
        else if (i == text.size())
            numbers.oneSpaceAfterEach = false;
    }
    if (numbers.count > kShownNumbers)
        numbers.firstNumbers += " ...";
    if (mixed)
        numbers.digits = 0;
    return numbers;
}

std::string describePayload(Bytes bytes, const Cp936ToUtf8& toUtf8) {
    if (const auto record = readPlanRecord(bytes))
        return describeRecord(*record, bytes.size(), toUtf8);
    if (const auto numbers = readNumberText(bytes))
        return describeNumbers(*numbers, bytes.size());
    if (bytes.empty())
        return "empty";
    std::string line = "unrecognised, " + std::to_string(bytes.size()) + " bytes:";
    const std::string hex = toHex(bytes.first(std::min(bytes.size(), kShownRawBytes)));
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        line += ' ';
        line.append(hex, i, 2);
    }
    if (bytes.size() > kShownRawBytes)
        line += " ...";
    return line;
}

std::string toHex(Bytes bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

} // namespace hostprobe
