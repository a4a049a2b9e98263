// The framework's core: runtime classes, exceptions, strings, collections, files.
#pragma once

#include "mfc/AfxCore.h"
#include "mfc/CObject.h"
#include "mfc/CException.h"
#include "mfc/CString.h"
#include "mfc/CGeometry.h"
#include "mfc/CArray.h"
#include "mfc/CCollections.h"
#include "mfc/CFile.h"

// The module whose resources (dialogs, strings, icons) the framework loads:
// the program itself unless changed.
HINSTANCE AFXAPI AfxGetInstanceHandle();
HINSTANCE AFXAPI AfxGetResourceHandle();
void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource);
// Set by the application object from WinMain's instance.
void AFXAPI AfxSetInstanceHandle(HINSTANCE hInstance);
