// CFile: an unbuffered file over a Win32 handle, and the exception it throws.
#pragma once

class CFileException : public CException {
  DECLARE_DYNAMIC(CFileException)
 public:
  enum {
    none,
    generic,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };

  explicit CFileException(int cause = CFileException::none, LONG lOsError = -1, LPCTSTR lpszFileName = NULL);

  // Maps a GetLastError code to one of the causes above.
  static int PASCAL OsErrorToException(LONG lOsError);
  static void PASCAL ThrowOsError(LONG lOsError, LPCTSTR lpszFileName = NULL);

  BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) override;

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;
};

[[noreturn]] void AFXAPI AfxThrowFileException(int cause, LONG lOsError = -1, LPCTSTR lpszFileName = NULL);

class CFile : public CObject {
  DECLARE_DYNAMIC(CFile)
 public:
  enum OpenFlags {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000
  };
  enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };
  static const HANDLE hFileNull;

  CFile();
  explicit CFile(HANDLE hFile);
  // Throws CFileException when the file cannot be opened.
  CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
  ~CFile() override;

  // FALSE on failure, with the reason in *pError when given.
  virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL);
  virtual void Close();
  // Closes without throwing.
  virtual void Abort();

  virtual UINT Read(void* lpBuf, UINT nCount);
  virtual void Write(const void* lpBuf, UINT nCount);
  virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
  ULONGLONG SeekToEnd() { return Seek(0, CFile::end); }
  void SeekToBegin() { Seek(0, CFile::begin); }
  virtual ULONGLONG GetPosition() const;
  virtual ULONGLONG GetLength() const;
  virtual void SetLength(ULONGLONG dwNewLen);
  virtual void Flush();

  CString GetFileName() const;
  CString GetFilePath() const { return m_strFileName; }

  static void PASCAL Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);
  static void PASCAL Remove(LPCTSTR lpszFileName);

  operator HANDLE() const { return m_hFile; }

  HANDLE m_hFile;

 protected:
  CString m_strFileName;
  BOOL m_bCloseOnDelete;
};
