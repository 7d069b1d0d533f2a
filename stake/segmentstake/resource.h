// Resource identifiers of segmentstake.
#pragma once

#include "shell/shell_resources.h"

#define IDD_SEGMENTSTAKE 102

#define IDC_MAX_MULTIPLIER 1000
#define IDC_BETS 1001
#define IDC_ODDS 1002
#define IDC_TARGET 1003
#define IDC_HIT_PERIODS 1004
#define IDC_STARS 1005
#define IDC_MODE 1006
#define IDC_EXPORT 1007
#define IDC_IMPORT 1008
#define IDC_HANDOFF 1009
#define IDC_START 1010
#define IDC_HIT 1011
#define IDC_MISS 1012
#define IDC_STATUS 1013
#define IDC_PLAN 1014
