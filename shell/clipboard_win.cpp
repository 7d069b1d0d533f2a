#include "shell/clipboard_win.h"

#include "shell/handles_win.h"
#include "shell/strconv_win.h"

#include <cstring>
#include <string>

namespace shell {
namespace {

// Copies the bytes and a terminating zero into a movable block and hands it
// to the clipboard; the block is freed here only if the clipboard refuses it.
bool place(UINT format, const void* data, std::size_t bytes, std::size_t terminatorBytes) {
    GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, bytes + terminatorBytes));
    if (!block)
        return false;
    void* target = GlobalLock(block.get());
    if (!target)
        return false;
    std::memcpy(target, data, bytes);
    std::memset(static_cast<char*>(target) + bytes, 0, terminatorBytes);
    GlobalUnlock(block.get());
    if (!SetClipboardData(format, block.get()))
        return false;
    block.release();
    return true;
}

} // namespace

bool copyTextToClipboard(HWND owner, std::string_view codePage936Text) {
    ClipboardSession clipboard(owner);
    if (!clipboard.isOpen() || !EmptyClipboard())
        return false;
    if (!place(CF_TEXT, codePage936Text.data(), codePage936Text.size(), 1))
        return false;
    // The Unicode form is a courtesy to programs that ask for it; the text
    // the host and the user rely on is the CF_TEXT above.
    const std::wstring unicode = fromCodePage936(codePage936Text);
    place(CF_UNICODETEXT, unicode.data(), unicode.size() * sizeof(wchar_t), sizeof(wchar_t));
    return true;
}

} // namespace shell
