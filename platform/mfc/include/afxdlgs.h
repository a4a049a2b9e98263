// Common dialogs (colour, font, file) and property sheets.
#pragma once

#include <afxwin.h>
#include <afxcmn.h>

#include <commdlg.h>
#include <prsht.h>

#include <vector>

#include "mfc/CommonDialogs.h"
#include "mfc/CPropertySheet.h"
