// Resource identifiers of stakeladder.
#pragma once

#include "shell/shell_resources.h"

#define IDD_STAKELADDER 103

#define IDC_PERIODS 1000
#define IDC_ODDS 1001
#define IDC_MODE 1002
#define IDC_STARS 1003
#define IDC_IMPORT 1004
#define IDC_EXPORT 1005
#define IDC_COMPUTE 1006
#define IDC_BETS 1007
#define IDC_RATE_TYPE 1008
#define IDC_RATE 1009
#define IDC_START_MULTIPLIER 1010
#define IDC_AMOUNT_TYPE 1011
#define IDC_AMOUNT 1012
#define IDC_COPY 1013
#define IDC_HANDOFF 1014
#define IDC_USE_CUSTOM 1015
#define IDC_CUSTOM 1016
#define IDC_PLAN 1017

#define ID_COPY_MULTIPLIERS 32771
#define ID_COPY_PERIODS 32772
