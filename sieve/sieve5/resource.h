// Resource identifiers of sieve5. Its criterion tiles are not in the
// template: the dialog creates them at start-up with ids from
// IDT_FIRST_TILE on.
#pragma once

#include "shell/shell_resources.h"

#define IDD_SIEVE5 102

#define IDC_NUMBERS 1000
#define IDC_RESET 1001
#define IDC_LOAD_BASE 1002
#define IDC_HANDOFF 1003
#define IDC_COUNT 1004
#define IDC_SHOW 1005
#define IDC_COPY 1006
#define IDX_MUST_ON 1010  // 胆码大底
#define IDX_DISTINCT 1011 // 不记重胆

#define IDT_FIRST_TILE 50000
