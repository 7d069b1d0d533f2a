// Resource identifiers of snowballstake.
#pragma once

#include "shell/shell_resources.h"

#define IDD_SNOWBALLSTAKE 104

#define IDC_ROLL_PERIODS 1000
#define IDC_BETS 1001
#define IDC_ODDS 1002
#define IDC_START_MULTIPLIER 1003
#define IDC_STARS 1004
#define IDC_MODE 1005
#define IDC_EXPORT 1006
#define IDC_IMPORT 1007
#define IDC_COMPUTE 1008
#define IDC_HANDOFF 1009
#define IDC_PLAN 1010

// The commands of the plan list's context menu.
#define ID_COPY_MULTIPLIERS 1111
#define ID_COPY_MULTIPLIER_LINES 2111
