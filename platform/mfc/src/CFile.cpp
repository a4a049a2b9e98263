#include <afx.h>

IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CFile, CObject)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName) {}

int PASCAL CFileException::OsErrorToException(LONG lOsError) {
  switch (lOsError) {
    case NO_ERROR:
      return none;
    case ERROR_FILE_NOT_FOUND:
      return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_NAME:
      return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
      return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return accessDenied;
    case ERROR_INVALID_HANDLE:
      return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
      return removeCurrentDir;
    case ERROR_CANNOT_MAKE:
      return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
      return badSeek;
    case ERROR_SHARING_VIOLATION:
      return sharingViolation;
    case ERROR_LOCK_VIOLATION:
      return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return diskFull;
    case ERROR_HANDLE_EOF:
      return endOfFile;
    default:
      return generic;
  }
}

void PASCAL CFileException::ThrowOsError(LONG lOsError, LPCTSTR lpszFileName) {
  if (lOsError != 0) AfxThrowFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

BOOL CFileException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
  if (pnHelpContext != nullptr) *pnHelpContext = 0;
  if (lpszError == nullptr || nMaxError == 0) return FALSE;
  static const char* const kCauses[] = {"No error",
                                        "An unspecified error occurred while accessing",
                                        "could not be found",
                                        "contains an incorrect path",
                                        "could not be opened because there are too many open files",
                                        "Access to the file was denied:",
                                        "has an invalid handle",
                                        "The current directory cannot be removed:",
                                        "The directory is full:",
                                        "A seek error occurred on",
                                        "A hardware I/O error was reported while accessing",
                                        "A sharing violation occurred while accessing",
                                        "A locking violation occurred while accessing",
                                        "The disk is full while accessing",
                                        "An attempt was made to access beyond the end of"};
  int cause = m_cause >= 0 && m_cause < static_cast<int>(_countof(kCauses)) ? m_cause : generic;
  CString text;
  text.Format("%s %s.", kCauses[cause], m_strFileName.IsEmpty() ? "an unnamed file" : (LPCTSTR)m_strFileName);
  lstrcpynA(lpszError, text, static_cast<int>(nMaxError));
  return TRUE;
}

void AFXAPI AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName) {
  throw new CFileException(cause, lOsError, lpszFileName);
}

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(FALSE) {}

CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE) {}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_hFile(hFileNull), m_bCloseOnDelete(FALSE) {
  CFileException error;
  if (!Open(lpszFileName, nOpenFlags, &error))
    AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile() {
  if (m_hFile != hFileNull && m_bCloseOnDelete) Abort();
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  if (m_hFile != hFileNull) Abort();
  DWORD access = 0;
  switch (nOpenFlags & 3) {
    case modeRead:
      access = GENERIC_READ;
      break;
    case modeWrite:
      access = GENERIC_WRITE;
      break;
    case modeReadWrite:
      access = GENERIC_READ | GENERIC_WRITE;
      break;
    default:
      access = GENERIC_READ;
      break;
  }
  DWORD share = 0;
  switch (nOpenFlags & 0x70) {
    case shareCompat:
    case shareExclusive:
      share = 0;
      break;
    case shareDenyWrite:
      share = FILE_SHARE_READ;
      break;
    case shareDenyRead:
      share = FILE_SHARE_WRITE;
      break;
    default:
      share = FILE_SHARE_READ | FILE_SHARE_WRITE;
      break;
  }
  DWORD creation = OPEN_EXISTING;
  if (nOpenFlags & modeCreate) creation = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
  SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, (nOpenFlags & modeNoInherit) ? FALSE : TRUE};
  HANDLE hFile = ::CreateFileA(lpszFileName, access, share, &sa, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) {
    LONG err = static_cast<LONG>(::GetLastError());
    if (pError != nullptr) {
      pError->m_lOsError = err;
      pError->m_cause = CFileException::OsErrorToException(err);
      pError->m_strFileName = lpszFileName;
    }
    return FALSE;
  }
  m_hFile = hFile;
  m_bCloseOnDelete = TRUE;
  m_strFileName = lpszFileName;
  return TRUE;
}

void CFile::Close() {
  BOOL ok = TRUE;
  if (m_hFile != hFileNull) ok = ::CloseHandle(m_hFile);
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
  if (!ok) CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
}

void CFile::Abort() {
  if (m_hFile != hFileNull) ::CloseHandle(m_hFile);
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
  if (nCount == 0) return 0;
  DWORD nRead = 0;
  if (!::ReadFile(m_hFile, lpBuf, nCount, &nRead, nullptr))
    CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
  return nRead;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
  if (nCount == 0) return;
  DWORD nWritten = 0;
  if (!::WriteFile(m_hFile, lpBuf, nCount, &nWritten, nullptr))
    CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
  if (nWritten != nCount) AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
  LARGE_INTEGER distance;
  distance.QuadPart = lOff;
  LARGE_INTEGER result;
  if (!::SetFilePointerEx(m_hFile, distance, &result, nFrom))
    CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
  return static_cast<ULONGLONG>(result.QuadPart);
}

ULONGLONG CFile::GetPosition() const {
  LARGE_INTEGER zero = {};
  LARGE_INTEGER result = {};
  if (!::SetFilePointerEx(m_hFile, zero, &result, FILE_CURRENT))
    CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
  return static_cast<ULONGLONG>(result.QuadPart);
}

ULONGLONG CFile::GetLength() const {
  LARGE_INTEGER size = {};
  if (!::GetFileSizeEx(m_hFile, &size))
    CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
  return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::SetLength(ULONGLONG dwNewLen) {
  Seek(static_cast<LONGLONG>(dwNewLen), begin);
  if (!::SetEndOfFile(m_hFile))
    CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
}

void CFile::Flush() {
  if (m_hFile != hFileNull && !::FlushFileBuffers(m_hFile))
    CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
}

CString CFile::GetFileName() const {
  int nSlash = m_strFileName.ReverseFind('\\');
  int nForward = m_strFileName.ReverseFind('/');
  if (nForward > nSlash) nSlash = nForward;
  return m_strFileName.Mid(nSlash + 1);
}

void PASCAL CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName) {
  if (!::MoveFileA(lpszOldName, lpszNewName))
    CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), lpszOldName);
}

void PASCAL CFile::Remove(LPCTSTR lpszFileName) {
  if (!::DeleteFileA(lpszFileName))
    CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), lpszFileName);
}
