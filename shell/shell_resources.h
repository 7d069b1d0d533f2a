// Resource pieces every tool shares: identifiers fixed for the whole suite
// and the About box, written once and instantiated by each tool's .rc.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDR_MAINFRAME 128
// The About item's command on the system menu (its low four bits are the
// system's).
#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// TOOL_ABOUT_BOX("关于 x", "x 1.0 版"): template 100, 235 x 55 dialog units.
#define TOOL_ABOUT_BOX(title, text)                                                                \
    IDD_ABOUTBOX DIALOGEX 0, 0, 235,                                                               \
        55 STYLE DS_SETFONT | DS_MODALFRAME | DS_FIXEDSYS | WS_POPUP | WS_CAPTION |                \
            WS_SYSMENU CAPTION title FONT 9,                                                       \
        "宋体", 0, 0, 0x1 BEGIN ICON IDR_MAINFRAME, IDC_STATIC, 11, 17, 20, 20 LTEXT text,         \
        IDC_STATIC, 40, 10, 119, 8, SS_NOPREFIX DEFPUSHBUTTON "确定", IDOK, 178, 7, 50, 14,        \
        WS_GROUP END

// The application icon and the manifest (common controls 6, per-monitor DPI,
// asInvoker); paths are relative to the project root, which is on the
// resource compiler's include path.
#define TOOL_COMMON_RESOURCES                                                                      \
    IDR_MAINFRAME ICON "shell/res/app.ico" CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST          \
                       "shell/res/app.manifest"
