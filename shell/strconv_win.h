// Text conversion at the edges of a tool. The user interface is UTF-16 and
// the engines speak UTF-8; every byte that leaves a tool (settings files,
// CF_TEXT, hand-off payloads, indicator files) is code page 936.
#pragma once

#include <string>
#include <string_view>

namespace shell {

std::wstring widen(std::string_view utf8);
std::string toUtf8(std::wstring_view text);
std::string toCodePage936(std::wstring_view text);
std::wstring fromCodePage936(std::string_view bytes);

} // namespace shell
