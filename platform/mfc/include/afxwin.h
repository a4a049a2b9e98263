// Windows, GDI, message maps, the application object, dialogs and the standard controls.
#pragma once

#include <afx.h>

#include <commctrl.h>
#include <shellapi.h>

// Plain Win32 macros that would rename our members.
#undef GetNextWindow

#include "mfc/CGdiObject.h"
#include "mfc/CDC.h"
#include "mfc/CMenu.h"
#include "mfc/CCmdTarget.h"
#include "mfc/AfxMsgMacros.h"
#include "mfc/CWnd.h"
#include "mfc/CWinApp.h"
#include "mfc/CDialog.h"
#include "mfc/CControls.h"
