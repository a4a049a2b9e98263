// The window messages the list control family exchanges with its owners,
// registered by name once at program start (both programs call it first).
#pragma once

#include <windows.h>

// From the list control to its parent: wParam item, lParam column.
extern UINT WM_XLISTCTRL_COMBO_SELECTION;
extern UINT WM_XLISTCTRL_CHECKBOX_CLICKED;
// From the combo drop-down to its owner: wParam 0, lParam 0.
extern UINT WM_XCOMBOLIST_VK_RETURN;
extern UINT WM_XCOMBOLIST_VK_ESCAPE;
extern UINT WM_XCOMBOLIST_KEYDOWN;
extern UINT WM_XCOMBOLIST_LBUTTONUP;

// Registers the six messages; later calls find the same numbers. FALSE when
// one could not be registered.
BOOL RegisterXListMessages();
