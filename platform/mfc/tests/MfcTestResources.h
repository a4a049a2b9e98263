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
