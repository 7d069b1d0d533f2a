// The main window of segmentstake.
#pragma once

// Runs the 分段倍投计算器 dialog modally; returns when it has closed.
void runSegmentDialog();
