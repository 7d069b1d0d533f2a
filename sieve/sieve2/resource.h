// Resource identifiers of sieve2. The check boxes of each criterion group are
// numbered consecutively from the group's first id, in box order, so that
// the dialog loops over first + i.
#pragma once

#include "shell/shell_resources.h"

#define IDD_SIEVE2 102

#define IDC_NUMBERS 1000
#define IDC_RESET 1001
#define IDC_LOAD_BASE 1002
#define IDC_HANDOFF 1003
#define IDC_COUNT 1004
#define IDC_SHOW 1005
#define IDC_COPY 1006

// The must-contain group (胆码大底).
#define IDX_MUST_ON 1010
#define IDX_DISTINCT 1011   // 不记重胆
#define IDX_MUST_DIGIT 1020 // 0 .. 9
#define IDX_HIT 1030        // hit counts 0 .. 2

// The kill groups.
#define IDX_TENS 1100      // 十位 0 .. 9
#define IDX_UNITS 1110     // 个位 0 .. 9
#define IDX_ROUTE 1120     // 012路 00 .. 22 (9)
#define IDX_SUM 1130       // 和值 00 .. 18 (19)
#define IDX_TAIL 1150      // 尾和 0 .. 9
#define IDX_SPAN 1160      // 跨度 0 .. 9
#define IDX_BIGSMALL 1170  // 大小 (4)
#define IDX_ODDEVEN 1180   // 奇偶 (4)
#define IDX_PRIMECOMP 1190 // 质合 (4)
#define IDX_PAIR 1200      // 对子 顺子
