#include "shell/strconv_win.h"

#include <windows.h>

namespace shell {
namespace {

constexpr UINT kChineseCodePage = 936;

std::wstring toWide(UINT codePage, std::string_view bytes) {
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, result.data(), length);
    return result;
}

std::string toBytes(UINT codePage, std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, result.data(), length, nullptr, nullptr);
    return result;
}

} // namespace

std::wstring widen(std::string_view utf8) {
    return toWide(CP_UTF8, utf8);
}
std::string toUtf8(std::wstring_view text) {
    return toBytes(CP_UTF8, text);
}
std::string toCodePage936(std::wstring_view text) {
    return toBytes(kChineseCodePage, text);
}
std::wstring fromCodePage936(std::string_view bytes) {
    return toWide(kChineseCodePage, bytes);
}

} // namespace shell
