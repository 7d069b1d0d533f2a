#include "stake/snowballstake/snowball_dialog.h"

#include "shell/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return shell::startTool(instance, shell::ToolTraits{}, runSnowballDialog);
}
