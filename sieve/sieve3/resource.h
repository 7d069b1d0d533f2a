// Resource identifiers of sieve3. The check boxes of each criterion group are
// numbered consecutively from the group's first id, in box order, so that
// the dialog loops over first + i.
#pragma once

#include "shell/shell_resources.h"

#define IDD_SIEVE3 102

#define IDC_NUMBERS 1000
#define IDC_RESET 1001
#define IDC_LOAD_BASE 1002
#define IDC_HANDOFF 1003
#define IDC_COUNT 1004
#define IDC_SHOW 1005
#define IDC_COPY 1006
#define IDC_SAVE_INDICATOR 1007

// The must-contain group (胆码选号).
#define IDX_MUST_ON 1010
#define IDX_DISTINCT 1011
#define IDX_MUST_DIGIT 1020 // 0 .. 9
#define IDX_HIT 1030        // hit counts 0 .. 3

// The kill groups.
#define IDX_HUNDREDS 1100  // 百位 0 .. 9
#define IDX_TENS 1110      // 十位 0 .. 9
#define IDX_UNITS 1120     // 个位 0 .. 9
#define IDX_ROUTE 1130     // 012路 000 .. 222 (27)
#define IDX_SUM 1160       // 和值 00 .. 27 (28)
#define IDX_TAIL 1190      // 尾和 0 .. 9
#define IDX_SPAN 1200      // 跨度 0 .. 9
#define IDX_BIGSMALL 1210  // 大小 (8)
#define IDX_ODDEVEN 1220   // 奇偶 (8)
#define IDX_PRIMECOMP 1230 // 质合 (8)
#define IDX_FORM 1240      // 组六 组三 豹子 顺子
#define IDX_SMALLEST 1250  // 排序一 小数 中数 大数
#define IDX_LARGEST 1260   // 排序三 小数 中数 大数
