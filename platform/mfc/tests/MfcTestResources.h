// Resource ids shared by the framework's test programs and their resource script.
#pragma once

#define IDS_GREETING 101
#define IDS_COUNT_FORMAT 102

#define IDD_DATA 200
#define IDC_NAME 1001
#define IDC_COUNT 1002
#define IDC_LOUD 1003
#define IDC_MODE_A 1004
#define IDC_MODE_B 1005
#define IDC_MODE_C 1006
#define IDC_STYLE 1007
#define IDC_SWATCH 1008

#define IDD_PAGE_ONE 210
#define IDD_PAGE_TWO 211
#define IDC_PAGE_EDIT 1101
#define IDC_PAGE_CHECK 1102
#define IDC_PAGE_LABEL 1103
