#include "sieve/sieve2/sieve2_dialog_win.h"

#include "shell/app_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return shell::startTool(instance, shell::ToolTraits{}, runSieve2Dialog);
}
