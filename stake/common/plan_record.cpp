#include "stake/common/plan_record.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace stake {

std::size_t planRecordSize(PlanKind kind) {
    return kind == PlanKind::Segment ? kSegmentRecordSize : kPlanRecordSize;
}

void storeUint32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
    if (offset > bytes.size() || bytes.size() - offset < 4)
        throw std::out_of_range("record field beyond the record");
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void storeInt32(std::span<std::uint8_t> bytes, std::size_t offset, std::int32_t value) {
    storeUint32(bytes, offset, static_cast<std::uint32_t>(value));
}

void storeFloat(std::span<std::uint8_t> bytes, std::size_t offset, float value) {
    storeUint32(bytes, offset, std::bit_cast<std::uint32_t>(value));
}

PlanRecord::PlanRecord(PlanKind kind) : bytes_(planRecordSize(kind), 0) {
    putInt32(record_offset::kKind, static_cast<std::int32_t>(kind));
}

void PlanRecord::putInt32(std::size_t offset, std::int32_t value) {
    storeInt32(bytes_, offset, value);
}

void PlanRecord::putUint32(std::size_t offset, std::uint32_t value) {
    storeUint32(bytes_, offset, value);
}

void PlanRecord::putFloat(std::size_t offset, float value) {
    storeFloat(bytes_, offset, value);
}

void PlanRecord::putText(std::string_view text) {
    const std::size_t length = std::min(text.size(), kRecordTextSize);
    const auto area = bytes_.begin() + static_cast<std::ptrdiff_t>(record_offset::kText);
    std::fill_n(area, kRecordTextSize, std::uint8_t{0});
    std::copy_n(text.begin(), length, area);
}

} // namespace stake
