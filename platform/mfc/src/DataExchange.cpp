#include <afxwin.h>
#include <afxcmn.h>

#include <errno.h>
#include <stdlib.h>

#include <limits>

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  try {
    DoDataExchange(&dx);
    return TRUE;
  } catch (CUserException* e) {
    // Validation failed; the user has been told and the focus is on the control.
    e->Delete();
  } catch (CException* e) {
    e->ReportError(MB_ICONEXCLAMATION);
    e->Delete();
  }
  return FALSE;
}

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate),
      m_pDlgWnd(pDlgWnd),
      m_hWndLastControl(nullptr),
      m_bEditLastControl(FALSE) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
  HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
  if (hWndCtrl == nullptr) {
    // A control the template does not have is our own mistake.
    char text[96];
    snprintf(text, sizeof(text), "Dialog data exchange: no control with id %d\n", nIDC);
    ::OutputDebugStringA(text);
    AfxThrowNotSupportedException();
  }
  m_hWndLastControl = hWndCtrl;
  m_bEditLastControl = FALSE;
  return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
  HWND hWndCtrl = PrepareCtrl(nIDC);
  m_bEditLastControl = TRUE;
  return hWndCtrl;
}

void CDataExchange::Fail() {
  if (!m_bSaveAndValidate) {
    // Filling the controls cannot fail for the user's input.
    AfxThrowUserException();
  }
  if (m_hWndLastControl != nullptr) {
    ::SetFocus(m_hWndLastControl);
    if (m_bEditLastControl) ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
  }
  AfxThrowUserException();
}

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd != nullptr) return;
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (!rControl.SubclassWindow(hWndCtrl)) AfxThrowNotSupportedException();
}

void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    value = static_cast<int>(::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0));
  else
    ::SendMessageA(hWndCtrl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) value = -1;
  // The group runs from nIDC up to the next control with WS_GROUP.
  int iButton = 0;
  do {
    if (::SendMessageA(hWndCtrl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
      if (pDX->m_bSaveAndValidate) {
        if (::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0) == BST_CHECKED) value = iButton;
      } else {
        ::SendMessageA(hWndCtrl, BM_SETCHECK, iButton == value ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      ++iButton;
    }
    hWndCtrl = ::GetWindow(hWndCtrl, GW_HWNDNEXT);
  } while (hWndCtrl != nullptr && !(::GetWindowLongPtrA(hWndCtrl, GWL_STYLE) & WS_GROUP));
}

namespace {

CString ControlText(HWND hWndCtrl) {
  CString text;
  int nLen = ::GetWindowTextLengthA(hWndCtrl);
  ::GetWindowTextA(hWndCtrl, text.GetBuffer(nLen), nLen + 1);
  text.ReleaseBuffer();
  return text;
}

[[noreturn]] void FailWithMessage(CDataExchange* pDX, LPCTSTR lpszText) {
  AfxMessageBox(lpszText, MB_ICONEXCLAMATION);
  pDX->Fail();
}

// Whole-text signed or unsigned numbers; blanks around them are allowed.
template <typename T>
void ExchangeInteger(CDataExchange* pDX, int nIDC, T& value, bool bSigned) {
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (!pDX->m_bSaveAndValidate) {
    CString text;
    if (bSigned)
      text.Format("%lld", static_cast<long long>(value));
    else
      text.Format("%llu", static_cast<unsigned long long>(value));
    ::SetWindowTextA(hWndCtrl, text);
    return;
  }
  CString text = ControlText(hWndCtrl);
  text.TrimLeft();
  text.TrimRight();
  char* end = nullptr;
  errno = 0;
  bool ok = !text.IsEmpty();
  long long parsed = 0;
  if (ok && bSigned) {
    parsed = strtoll(text, &end, 10);
    ok = errno == 0 && *end == '\0' && parsed >= static_cast<long long>(std::numeric_limits<T>::min()) &&
         parsed <= static_cast<long long>(std::numeric_limits<T>::max());
  } else if (ok) {
    unsigned long long u = text[0] == '-' ? ~0ULL : strtoull(text, &end, 10);
    ok = text[0] != '-' && errno == 0 && *end == '\0' &&
         u <= static_cast<unsigned long long>(std::numeric_limits<T>::max());
    parsed = static_cast<long long>(u);
  }
  if (!ok) FailWithMessage(pDX, bSigned ? "Please enter an integer." : "Please enter a positive integer.");
  value = static_cast<T>(parsed);
}

}  // namespace

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    value = ControlText(hWndCtrl);
  else
    ::SetWindowTextA(hWndCtrl, value);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value) { ExchangeInteger(pDX, nIDC, value, true); }
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, long& value) { ExchangeInteger(pDX, nIDC, value, true); }
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) { ExchangeInteger(pDX, nIDC, value, false); }
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value) { ExchangeInteger(pDX, nIDC, value, false); }

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (!pDX->m_bSaveAndValidate) {
    CString text;
    text.Format("%.15g", value);
    ::SetWindowTextA(hWndCtrl, text);
    return;
  }
  CString text = ControlText(hWndCtrl);
  text.TrimLeft();
  text.TrimRight();
  char* end = nullptr;
  double parsed = strtod(text, &end);
  if (text.IsEmpty() || *end != '\0') FailWithMessage(pDX, "Please enter a number.");
  value = parsed;
}

namespace {

// The selected index of a list or combo box (get/set messages given).
void ExchangeSelection(CDataExchange* pDX, int nIDC, int& index, UINT getMessage, UINT setMessage) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessageA(hWndCtrl, getMessage, 0, 0));
  else
    ::SendMessageA(hWndCtrl, setMessage, static_cast<WPARAM>(index), 0);
}

}  // namespace

void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
  ExchangeSelection(pDX, nIDC, index, CB_GETCURSEL, CB_SETCURSEL);
}

void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = ControlText(hWndCtrl);
  } else if (::SendMessageA(hWndCtrl, CB_SELECTSTRING, static_cast<WPARAM>(-1), (LPARAM)(LPCTSTR)value) ==
             CB_ERR) {
    // Not in the list: an editable combo box shows it anyway.
    ::SetWindowTextA(hWndCtrl, value);
  }
}

void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
  ExchangeSelection(pDX, nIDC, index, LB_GETCURSEL, LB_SETCURSEL);
}

void AFXAPI DDX_LBString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    int nIndex = static_cast<int>(::SendMessageA(hWndCtrl, LB_GETCURSEL, 0, 0));
    value.Empty();
    if (nIndex != LB_ERR) {
      int nLen = static_cast<int>(::SendMessageA(hWndCtrl, LB_GETTEXTLEN, nIndex, 0));
      ::SendMessageA(hWndCtrl, LB_GETTEXT, nIndex, (LPARAM)value.GetBuffer(nLen));
      value.ReleaseBuffer(nLen);
    }
  } else {
    ::SendMessageA(hWndCtrl, LB_SELECTSTRING, static_cast<WPARAM>(-1), (LPARAM)(LPCTSTR)value);
  }
}

void AFXAPI DDX_Slider(CDataExchange* pDX, int nIDC, int& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    value = static_cast<int>(::SendMessageA(hWndCtrl, TBM_GETPOS, 0, 0));
  else
    ::SendMessageA(hWndCtrl, TBM_SETPOS, TRUE, value);
}

void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  CString text;
  text.Format("Please enter an integer between %d and %d.", minVal, maxVal);
  FailWithMessage(pDX, text);
}

void AFXAPI DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  CString text;
  text.Format("Please enter an integer between %u and %u.", minVal, maxVal);
  FailWithMessage(pDX, text);
}

void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
  if (!pDX->m_bSaveAndValidate) {
    if (pDX->m_hWndLastControl != nullptr && pDX->m_bEditLastControl)
      ::SendMessageA(pDX->m_hWndLastControl, EM_LIMITTEXT, nChars, 0);
    return;
  }
  if (value.GetLength() > nChars) {
    CString text;
    text.Format("Enter no more than %d characters.", nChars);
    FailWithMessage(pDX, text);
  }
}
