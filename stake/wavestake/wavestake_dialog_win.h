// The main window of wavestake.
#pragma once

// Runs the 推波倍投计算器 dialog modally; returns when it has closed.
void runWaveDialog();
