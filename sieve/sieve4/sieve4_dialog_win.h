// The main window of sieve4.
#pragma once

// Runs the 四星缩水杀号 dialog modally; returns when it has closed.
void runSieve4Dialog();
