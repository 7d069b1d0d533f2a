// The main window of stakeladder.
#pragma once

// Runs the 倍投计算器 dialog modally; returns when it has closed.
void runLadderDialog();
