// The main window of handlepick.
#pragma once

// Runs the 外接句柄 dialog modally; returns when it has closed.
void runHandlePickDialog();
