// CException and its kin. The framework throws exceptions by pointer; the
// catcher deletes them with Delete() (the TRY/CATCH macros do it for you).
#pragma once

class CException : public CObject {
  DECLARE_DYNAMIC(CException)
 public:
  CException();
  explicit CException(BOOL bAutoDelete);
  ~CException() override = default;

  // Frees the exception unless it is a static object (see m_bAutoDelete).
  void Delete();

  virtual BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL);
  // Shows the message in a message box; returns the box's answer.
  virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0);

  BOOL m_bAutoDelete;
};

class CMemoryException : public CException {
  DECLARE_DYNAMIC(CMemoryException)
 public:
  CMemoryException() = default;
  explicit CMemoryException(BOOL bAutoDelete) : CException(bAutoDelete) {}
  BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) override;
};

class CNotSupportedException : public CException {
  DECLARE_DYNAMIC(CNotSupportedException)
 public:
  BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) override;
};

class CResourceException : public CException {
  DECLARE_DYNAMIC(CResourceException)
 public:
  BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) override;
};

// Thrown by data exchange after it has told the user what is wrong.
class CUserException : public CException {
  DECLARE_DYNAMIC(CUserException)
};

[[noreturn]] void AFXAPI AfxThrowMemoryException();
[[noreturn]] void AFXAPI AfxThrowNotSupportedException();
[[noreturn]] void AFXAPI AfxThrowResourceException();
[[noreturn]] void AFXAPI AfxThrowUserException();

// Deletes the caught exception when a TRY block ends, unless it was thrown on.
struct AfxExceptionLink {
  CException* m_pException = nullptr;
  AfxExceptionLink() = default;
  ~AfxExceptionLink() {
    if (m_pException) m_pException->Delete();
  }
  AfxExceptionLink(const AfxExceptionLink&) = delete;
  AfxExceptionLink& operator=(const AfxExceptionLink&) = delete;
};

#define TRY                             \
  {                                     \
    AfxExceptionLink _afxExceptionLink; \
    try {
#define CATCH(class_name, e) \
  }                          \
  catch (class_name * e) {   \
    _afxExceptionLink.m_pException = e;
#define AND_CATCH(class_name, e) \
  }                              \
  catch (class_name * e) {       \
    _afxExceptionLink.m_pException = e;
#define CATCH_ALL(e)       \
  }                        \
  catch (CException * e) { \
    _afxExceptionLink.m_pException = e;
#define AND_CATCH_ALL(e)   \
  }                        \
  catch (CException * e) { \
    _afxExceptionLink.m_pException = e;
#define END_CATCH \
  }               \
  }
#define END_CATCH_ALL \
  }                   \
  }
#define THROW(e) throw e
#define THROW_LAST()                          \
  do {                                        \
    _afxExceptionLink.m_pException = nullptr; \
    throw;                                    \
  } while (0)
