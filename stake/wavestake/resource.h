// Resource identifiers of wavestake.
#pragma once

#include "shell/shell_resources.h"

#define IDD_WAVESTAKE 102

#define IDC_PERIODS 1000
#define IDC_BETS 1001
#define IDC_ODDS 1002
#define IDC_STARS 1003
#define IDC_WAVES 1004
#define IDC_PROFIT 1005
#define IDC_MODE 1006
#define IDC_COMPUTE 1007
#define IDC_EXPORT 1008
#define IDC_IMPORT 1009
#define IDC_HANDOFF 1010
#define IDC_PLAN 1011

#define ID_COPY_MULTIPLIERS 32771
#define ID_COPY_MULTIPLIERS_VERTICAL 32772
