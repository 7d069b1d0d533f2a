// The fixed little-endian record in which a calculator hands its plan to the
// host. All four calculators share one layout; each fills only its own fields
// and sends every other byte as zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace stake {

// The first 32-bit word of a record names the calculator that sent it.
enum class PlanKind : std::int32_t {
    Ladder = 1,
    Wave = 2,
    Snowball = 3,
    Segment = 5,
};

namespace record_offset {
inline constexpr std::size_t kKind = 0;
inline constexpr std::size_t kWaves = 4;
inline constexpr std::size_t kProfitGoal = 8;
inline constexpr std::size_t kPeriods = 12; // or the maximum multiplier
inline constexpr std::size_t kBets = 16;
inline constexpr std::size_t kStarIndex = 20;
inline constexpr std::size_t kModeIndex = 24;
inline constexpr std::size_t kText = 28;
inline constexpr std::size_t kStartMultiplier = 2028;
inline constexpr std::size_t kHitPeriods = 2032;   // segmented record only
inline constexpr std::size_t kTargetProfit = 2036; // segmented record only
} // namespace record_offset

inline constexpr std::size_t kRecordTextSize = 2000;
inline constexpr std::size_t kPlanRecordSize = 2032;
inline constexpr std::size_t kSegmentRecordSize = 2040;

// Record size of a kind: the segmented record is 8 bytes longer.
std::size_t planRecordSize(PlanKind kind);

// Little-endian stores, written byte by byte so that they are right on any host.
void storeUint32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value);
void storeInt32(std::span<std::uint8_t> bytes, std::size_t offset, std::int32_t value);
void storeFloat(std::span<std::uint8_t> bytes, std::size_t offset, float value);

// A zero-filled record of the kind's size with its kind word written.
class PlanRecord {
  public:
    explicit PlanRecord(PlanKind kind);

    void putInt32(std::size_t offset, std::int32_t value);
    void putUint32(std::size_t offset, std::uint32_t value);
    void putFloat(std::size_t offset, float value);

    // Copies at most kRecordTextSize bytes of `text` into the text area; the
    // rest of the area stays zero, so a text of 2000 bytes or more has no
    // terminating zero.
    void putText(std::string_view text);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace stake
