// Resource ids of the framework's sample program.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_SAMPLE 300
#define IDD_SAMPLE_PAGE_A 301
#define IDD_SAMPLE_PAGE_B 302
#define IDC_S_EDIT 3001
#define IDC_S_CHECK 3002
#define IDC_S_RADIO1 3003
#define IDC_S_RADIO2 3004
#define IDC_S_COMBO 3005
#define IDC_S_LIST 3006
#define IDC_S_PROGRESS 3007
#define IDC_S_SLIDER 3008
#define IDC_S_SCROLL 3009
#define IDC_S_LISTCTRL 3010
#define IDC_S_TREE 3011
#define IDC_S_BUTTON 3012
#define IDC_S_RICH 3013
