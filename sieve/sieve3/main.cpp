#include "sieve/sieve3/sieve3_dialog_win.h"

#include "shell/app_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return shell::startTool(instance, shell::ToolTraits{}, runSieve3Dialog);
}
