#include "sieve/sieve5/sieve5_dialog_win.h"

#include "shell/app_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return shell::startTool(instance, shell::ToolTraits{.usesRichEdit = true}, runSieve5Dialog);
}
