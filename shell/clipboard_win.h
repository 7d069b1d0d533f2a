// The clipboard as the tools use it: one text, placed as CF_TEXT with the
// exact code page 936 bytes (plus its Unicode form for programs that ask for
// that), in a block that passes to the clipboard.
#pragma once

#include <windows.h>

#include <string_view>

namespace shell {

// False when the clipboard cannot be opened (another program may hold it)
// or refuses the text; the caller then tells the user with showCopyFailure.
bool copyTextToClipboard(HWND owner, std::string_view codePage936Text);

} // namespace shell
