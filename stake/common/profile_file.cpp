#include "stake/common/profile_file.h"

#include "shell/strconv.h"

#include <windows.h>

namespace {

std::wstring programDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return L".";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

} // namespace

namespace stake {

void ProfileFile::setPath(const std::wstring& name) {
    path_ = name.find(L'\\') == std::wstring::npos ? programDirectory() + L"\\" + name : name;
}

std::int32_t ProfileFile::readInt(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const {
    return static_cast<std::int32_t>(GetPrivateProfileIntW(
        shell::widen(section).c_str(), shell::widen(key).c_str(), defaultValue, path_.c_str()));
}

std::string ProfileFile::readText(std::string_view section, std::string_view key) const {
    wchar_t value[260] = {};
    GetPrivateProfileStringW(shell::widen(section).c_str(), shell::widen(key).c_str(), L"", value,
                             260, path_.c_str());
    return shell::toUtf8(value);
}

void ProfileFile::writeInt(std::string_view section, std::string_view key, std::int32_t value) {
    writeText(section, key, std::to_string(value));
}

void ProfileFile::writeText(std::string_view section, std::string_view key, std::string_view text) {
    WritePrivateProfileStringW(shell::widen(section).c_str(), shell::widen(key).c_str(),
                               shell::widen(text).c_str(), path_.c_str());
}

} // namespace stake
