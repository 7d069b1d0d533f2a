// The main window of sieve3.
#pragma once

// Runs the 三星缩水杀号 dialog modally; returns when it has closed.
void runSieve3Dialog();
