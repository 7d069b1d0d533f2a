#include "sieve/sieve3/sieve3_dialog.h"

#include "shell/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return shell::startTool(instance, shell::ToolTraits{}, runSieve3Dialog);
}
