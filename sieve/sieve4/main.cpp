#include "sieve/sieve4/sieve4_dialog.h"

#include "shell/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return shell::startTool(instance, shell::ToolTraits{.usesRichEdit = true}, runSieve4Dialog);
}
