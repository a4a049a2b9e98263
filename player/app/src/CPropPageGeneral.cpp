#include "app/CPropPageGeneral.h"

IMPLEMENT_DYNCREATE(CPropPageGeneral, CPropertyPage)

CPropPageGeneral::CPropPageGeneral() : CPropertyPage(IDD) { m_psp.dwFlags &= ~PSP_HASHELP; }
