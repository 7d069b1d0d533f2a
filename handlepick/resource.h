// Resource identifiers of handlepick.
#pragma once

#include "shell/shell_resources.h"

#define IDD_HANDLEPICK 102

// The pointer icon at rest, the empty frame while it is dragged, and the
// pointer shape during the drag.
#define IDI_PICKER 129
#define IDI_PICKER_EMPTY 130
#define IDC_PICKER_CURSOR 134

#define IDC_PICKER 1000
#define IDX_ALWAYS_ON_TOP 1001
#define IDX_AUTO_COPY 1002
#define IDX_HEX_HANDLE 1003
#define IDC_HANDLE 1004
#define IDC_COPY 1005
#define IDC_WINDOW_TEXT 1006
