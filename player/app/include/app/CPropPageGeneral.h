#pragma once
// The general Preferences page: a template with a caption and no controls.
// The sheet makes one but does not show it, so its settings stay unspoken for.
#include <afxdlgs.h>

class CPropPageGeneral : public CPropertyPage {
  DECLARE_DYNCREATE(CPropPageGeneral)
 public:
  enum { IDD = 159 };
  CPropPageGeneral();
};
