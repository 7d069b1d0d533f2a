// The main window of sieve2.
#pragma once

// Runs the 二星缩水杀号 dialog modally; returns when it has closed.
void runSieve2Dialog();
