#include <afx.h>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)

namespace {

BOOL CopyMessage(LPCSTR text, LPSTR lpszError, UINT nMaxError) {
  if (lpszError == nullptr || nMaxError == 0) return FALSE;
  lstrcpynA(lpszError, text, static_cast<int>(nMaxError));
  return TRUE;
}

// Running out of memory must not need memory to report: one object, never deleted.
CMemoryException g_memoryException(FALSE);

}  // namespace

CException::CException() : m_bAutoDelete(TRUE) {}

CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}

void CException::Delete() {
  if (m_bAutoDelete) delete this;
}

BOOL CException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
  if (pnHelpContext != nullptr) *pnHelpContext = 0;
  if (lpszError != nullptr && nMaxError > 0) *lpszError = '\0';
  return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID) {
  char text[512];
  if (!GetErrorMessage(text, sizeof(text))) {
    CString fallback;
    if (nMessageID == 0 || !fallback.LoadString(nMessageID)) fallback = "An unexpected error occurred.";
    lstrcpynA(text, fallback, sizeof(text));
  }
  return ::MessageBoxA(::GetActiveWindow(), text, nullptr, nType);
}

BOOL CMemoryException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
  if (pnHelpContext != nullptr) *pnHelpContext = 0;
  return CopyMessage("Out of memory.", lpszError, nMaxError);
}

BOOL CNotSupportedException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
  if (pnHelpContext != nullptr) *pnHelpContext = 0;
  return CopyMessage("The operation is not supported.", lpszError, nMaxError);
}

BOOL CResourceException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
  if (pnHelpContext != nullptr) *pnHelpContext = 0;
  return CopyMessage("A resource could not be found or created.", lpszError, nMaxError);
}

void AFXAPI AfxThrowMemoryException() { throw &g_memoryException; }

void AFXAPI AfxThrowNotSupportedException() { throw new CNotSupportedException; }

void AFXAPI AfxThrowResourceException() { throw new CResourceException; }

void AFXAPI AfxThrowUserException() { throw new CUserException; }
