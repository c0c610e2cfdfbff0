// Identifiers of the program's resources and of its windows' controls.
#pragma once

#define IDM_ABOUTBOX            0x0010
#define IDD_ABOUTBOX            100
#define IDS_ABOUTBOX            101
#define IDD_MAIN                102
#define IDR_MAINFRAME           128
#define IDR_LIST_MENU           129

// Main window
#define IDC_LIST                1000
#define IDC_VISIT_SITE          1002
#define IDC_DELETE_UNCHECKED    1003
#define IDC_ABOUT               1004
#define IDC_CHECK_ALL           1005
#define IDC_UNCHECK_ALL         1006
#define IDC_INVERT_CHECKS       1007

// The list's context menu
#define ID_LIST_OPEN            32771
#define ID_LIST_COPY            32772
#define ID_LIST_CHECK_SELECTED  32773
#define ID_LIST_UNCHECK_SELECTED 32774

// About box
#define IDC_VISIT_WEBSITE       1003

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif
