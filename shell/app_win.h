// Start-up of a tool and what the whole process knows about itself.
#pragma once

#include "shell/host_link_win.h"

#include <windows.h>

#include <functional>
#include <string>

namespace shell {

struct ToolTraits {
    // The window-handle picker never looks at its command line.
    bool readsCommandLine = true;
    // The four- and five-digit filters show their numbers in a rich edit box.
    bool usesRichEdit = false;
};

HINSTANCE instance();
const HostLink& hostLink();
// The program file's name without its extension: the title of every message box.
const std::wstring& appName();

// Runs the start-up sequence, then `runMainDialog`, which returns when the
// main dialog has closed; the tool then ends. Returns the process exit code:
// 0, or 1 when the main dialog could not be created.
int startTool(HINSTANCE instance, const ToolTraits& traits,
              const std::function<void()>& runMainDialog);

// Called by the main dialog as it opens. A tool whose main dialog never
// opened (its template or a control of it could not be created) tells the
// user so, and startTool returns a non-zero exit code.
void noteMainWindowOpened();

// The full path of the program file.
std::wstring programPath();

// A modal message box with one OK button and no icon, titled with appName().
void showMessage(HWND owner, const std::wstring& text);
// The message of a copy to the clipboard that did not take place.
void showCopyFailure(HWND owner);
// The message of a file that could not be written, naming it.
void showWriteFailure(HWND owner, const std::wstring& path);

} // namespace shell
