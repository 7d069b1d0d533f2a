// The main window of sieve5.
#pragma once

// Runs the 五星缩水杀号 dialog modally; returns when it has closed.
void runSieve5Dialog();
