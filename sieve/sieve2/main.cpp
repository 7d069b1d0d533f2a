#include "sieve/sieve2/sieve2_dialog.h"

#include "shell/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return shell::startTool(instance, shell::ToolTraits{}, runSieve2Dialog);
}
