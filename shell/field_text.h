// The text rules of the dialogs' typed fields, apart from any window: how an
// edit box's text becomes a signed, unsigned or real field, how a real field
// is written back, and how the host handle is read from the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace shell {

// Each parser accepts white space around the number and nothing else: "12abc"
// is not a number, and neither is a value outside the field's range.
std::optional<std::int32_t> parseInt32Field(std::string_view text);
std::optional<std::uint32_t> parseUint32Field(std::string_view text);
// A decimal number (optional sign, digits with an optional point, optional
// exponent) whose value is finite in single precision.
std::optional<float> parseFloatField(std::string_view text);

// The shortest decimal text that reads back as the same float ("1956", "0.5").
std::string formatFloatField(float value);

// The host handle argument, read by the atoi rule (leading white space and a
// sign allowed, reading stops at the first non-digit, no digits give 0) and
// kept as the 32 bits a window handle has between 32- and 64-bit processes.
// A value that does not fit 32 bits names no window and gives 0.
std::uint32_t hostHandleFromArgument(std::string_view argument);

} // namespace shell
