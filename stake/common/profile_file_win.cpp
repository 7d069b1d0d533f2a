#include "stake/common/profile_file_win.h"

#include "shell/app_win.h"
#include "shell/handles_win.h"
#include "shell/strconv_win.h"

#include <windows.h>

namespace {

std::wstring programDirectory() {
    const std::wstring path = shell::programPath();
    const auto slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

// %APPDATA%\TrendTools, or empty when the variable is not set.
std::wstring userFolder() {
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
    if (length == 0)
        return {};
    std::wstring folder(length, L'\0');
    const DWORD written = GetEnvironmentVariableW(L"APPDATA", folder.data(), length);
    if (written == 0 || written >= length)
        return {};
    folder.resize(written);
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder + stake::ProfileFile::kUserFolderName;
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Whether the settings file at `path` can be written, found out without
// changing anything: an existing file is opened for writing and closed; for a
// missing one a file of another name is created in its folder and deleted
// again (never the settings file itself, which another tool sharing it may be
// writing at that moment).
bool writable(const std::wstring& path) {
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return false;
        return static_cast<bool>(
            shell::FileHandle(CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    }
    const std::wstring probe = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    return static_cast<bool>(shell::FileHandle(
        CreateFileW(probe.c_str(), GENERIC_WRITE | DELETE, kShareAll, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr)));
}

} // namespace

namespace stake {

void ProfileFile::setPath(const std::wstring& name) {
    userCopy_.clear();
    writeFailed_ = false;
    if (name.find(L'\\') != std::wstring::npos) {
        path_ = name;
        return;
    }
    path_ = programDirectory() + L"\\" + name;
    const std::wstring folder = userFolder();
    if (folder.empty())
        return;
    const std::wstring userCopy = folder + L"\\" + name;
    if (!writable(path_) && exists(userCopy))
        path_ = userCopy;
    else
        userCopy_ = userCopy;
}

// The per-user copy takes over from the chosen file; false when there is none
// to take over or its folder cannot be made.
bool ProfileFile::moveToUserCopy() {
    if (userCopy_.empty())
        return false;
    const std::wstring userCopy = std::move(userCopy_);
    userCopy_.clear();
    const std::wstring folder = userCopy.substr(0, userCopy.find_last_of(L'\\'));
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    // The copy keeps the source's attributes; a read-only source must not
    // make the copy read-only too.
    if (CopyFileW(path_.c_str(), userCopy.c_str(), TRUE))
        SetFileAttributesW(userCopy.c_str(), FILE_ATTRIBUTE_NORMAL);
    path_ = userCopy;
    return true;
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
    const std::wstring wideSection = shell::widen(section);
    const std::wstring wideKey = shell::widen(key);
    const std::wstring wideText = shell::widen(text);
    const auto write = [&] {
        return WritePrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), wideText.c_str(),
                                          path_.c_str()) != FALSE;
    };
    if (!write() && !(moveToUserCopy() && write()))
        writeFailed_ = true;
}

} // namespace stake
