#include "shell/clipboard.h"

#include "shell/strconv.h"

#include <cstring>
#include <string>

namespace shell {
namespace {

class ClipboardSession {
  public:
    explicit ClipboardSession(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~ClipboardSession() {
        if (open_)
            CloseClipboard();
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    bool isOpen() const { return open_; }

  private:
    bool open_;
};

// Copies the bytes and a terminating zero into a movable block and hands it
// to the clipboard; the block is freed here only if the clipboard refuses it.
bool place(UINT format, const void* data, std::size_t bytes, std::size_t terminatorBytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes + terminatorBytes);
    if (!block)
        return false;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return false;
    }
    std::memcpy(target, data, bytes);
    std::memset(static_cast<char*>(target) + bytes, 0, terminatorBytes);
    GlobalUnlock(block);
    if (!SetClipboardData(format, block)) {
        GlobalFree(block);
        return false;
    }
    return true;
}

} // namespace

bool copyTextToClipboard(HWND owner, std::string_view codePage936Text) {
    ClipboardSession clipboard(owner);
    if (!clipboard.isOpen())
        return false;
    EmptyClipboard();
    place(CF_TEXT, codePage936Text.data(), codePage936Text.size(), 1);
    const std::wstring unicode = fromCodePage936(codePage936Text);
    place(CF_UNICODETEXT, unicode.data(), unicode.size() * sizeof(wchar_t), sizeof(wchar_t));
    return true;
}

} // namespace shell
