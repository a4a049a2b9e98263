// The common controls: image lists, tooltips, list, header, tree, tab,
// progress, slider and rich-edit controls.
#pragma once

#include <afxwin.h>

#include <richedit.h>

#include "mfc/CImageList.h"
#include "mfc/CToolTipCtrl.h"
#include "mfc/CCommonCtrls.h"
