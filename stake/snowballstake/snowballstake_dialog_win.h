// The main window of snowballstake.
#pragma once

// Runs the 滚雪球倍投计算器 dialog modally; returns when it has closed.
void runSnowballDialog();
