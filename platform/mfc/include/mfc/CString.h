// CString: the framework's 8-bit string. One char* into a buffer that carries
// its length and capacity in a header just before the characters, so a
// CString is as large as a pointer and converts to LPCTSTR for free.
#pragma once

#include <type_traits>

class CString;

namespace afx_detail {
// Format arguments: a CString becomes its character pointer; everything else
// must be something C varargs carry safely. Passing a class object through
// "..." is what breaks %s on 64-bit (g++ hands it over by hidden reference).
inline const char* FormatArg(const CString& s);
template <typename T>
inline std::decay_t<const T> FormatArg(const T& v) {
  static_assert(!std::is_class<T>::value, "only CString and plain values can be formatted");
  return v;
}
}  // namespace afx_detail

struct CStringData {
  int nDataLength;
  int nAllocLength;
  char* data() { return reinterpret_cast<char*>(this + 1); }
};

class CString {
 public:
  // Construction
  CString();
  CString(const CString& stringSrc);
  CString(CString&& stringSrc) noexcept;
  CString(char ch, int nRepeat = 1);
  // A MAKEINTRESOURCE value loads that string resource, as in the framework.
  CString(LPCSTR lpsz);
  CString(LPCSTR lpch, int nLength);
  CString(const unsigned char* psz);
  CString(LPCWSTR lpsz);
  ~CString();

  // Attributes
  int GetLength() const { return GetData()->nDataLength; }
  BOOL IsEmpty() const { return GetData()->nDataLength == 0; }
  void Empty();
  char GetAt(int nIndex) const;
  char operator[](int nIndex) const { return GetAt(nIndex); }
  void SetAt(int nIndex, char ch);
  operator LPCTSTR() const { return m_pchData; }

  // Assignment and concatenation
  const CString& operator=(const CString& stringSrc);
  const CString& operator=(CString&& stringSrc) noexcept;
  const CString& operator=(char ch);
  const CString& operator=(LPCSTR lpsz);
  const CString& operator=(const unsigned char* psz);
  const CString& operator=(LPCWSTR lpsz);
  const CString& operator+=(const CString& string);
  const CString& operator+=(char ch);
  const CString& operator+=(LPCSTR lpsz);

  friend CString operator+(const CString& string1, const CString& string2);
  friend CString operator+(const CString& string, char ch);
  friend CString operator+(char ch, const CString& string);
  friend CString operator+(const CString& string, LPCSTR lpsz);
  friend CString operator+(LPCSTR lpsz, const CString& string);

  // Comparison
  int Compare(LPCSTR lpsz) const { return strcmp(m_pchData, lpsz); }
  int CompareNoCase(LPCSTR lpsz) const { return lstrcmpiA(m_pchData, lpsz); }
  int Collate(LPCSTR lpsz) const { return lstrcmpA(m_pchData, lpsz); }
  int CollateNoCase(LPCSTR lpsz) const { return lstrcmpiA(m_pchData, lpsz); }

  // Extraction (out-of-range counts are clamped)
  CString Mid(int nFirst, int nCount) const;
  CString Mid(int nFirst) const;
  CString Left(int nCount) const;
  CString Right(int nCount) const;
  CString SpanIncluding(LPCSTR lpszCharSet) const;
  CString SpanExcluding(LPCSTR lpszCharSet) const;

  // Changing in place
  void MakeUpper();
  void MakeLower();
  void MakeReverse();
  int Replace(char chOld, char chNew);
  int Replace(LPCSTR lpszOld, LPCSTR lpszNew);
  int Remove(char chRemove);
  int Insert(int nIndex, char ch);
  int Insert(int nIndex, LPCSTR pstr);
  int Delete(int nIndex, int nCount = 1);
  void TrimRight();
  void TrimRight(char chTarget);
  void TrimRight(LPCSTR lpszTargets);
  void TrimLeft();
  void TrimLeft(char chTarget);
  void TrimLeft(LPCSTR lpszTargets);

  // Searching: -1 when not found
  int Find(char ch) const { return Find(ch, 0); }
  int Find(char ch, int nStart) const;
  int Find(LPCSTR lpszSub) const { return Find(lpszSub, 0); }
  int Find(LPCSTR lpszSub, int nStart) const;
  int ReverseFind(char ch) const;
  int FindOneOf(LPCSTR lpszCharSet) const;

  // Formatting. CString arguments are passed as their characters.
  template <typename... Args>
  void Format(LPCTSTR lpszFormat, const Args&... args) {
    FormatArgs(lpszFormat, afx_detail::FormatArg(args)...);
  }
  // The format comes from a string resource.
  template <typename... Args>
  void Format(UINT nFormatID, const Args&... args) {
    CString strFormat;
    strFormat.LoadString(nFormatID);
    FormatArgs(strFormat.m_pchData, afx_detail::FormatArg(args)...);
  }
  void FormatV(LPCTSTR lpszFormat, va_list argList);

  BOOL LoadString(UINT nID);

  // Raw buffer access
  LPSTR GetBuffer(int nMinBufLength);
  void ReleaseBuffer(int nNewLength = -1);
  LPSTR GetBufferSetLength(int nNewLength);
  void FreeExtra();
  LPSTR LockBuffer() { return m_pchData; }
  void UnlockBuffer() {}

 private:
  CStringData* GetData() const { return reinterpret_cast<CStringData*>(m_pchData) - 1; }
  void AllocBuffer(int nLen);  // replaces the buffer by an uninitialised one of nLen characters
  void AssignCopy(int nSrcLen, LPCSTR lpszSrcData);
  void ConcatInPlace(int nSrcLen, LPCSTR lpszSrcData);
  void Release();
  void FormatArgs(LPCTSTR lpszFormat, ...);

  LPSTR m_pchData;
};

static_assert(sizeof(CString) == sizeof(char*), "CString is one pointer");

inline const char* afx_detail::FormatArg(const CString& s) { return s; }

// Comparison operators: CString or character pointer on either side.
inline bool operator==(const CString& s1, const CString& s2) { return s1.Compare(s2) == 0; }
inline bool operator==(const CString& s1, LPCSTR s2) { return s1.Compare(s2) == 0; }
inline bool operator==(LPCSTR s1, const CString& s2) { return s2.Compare(s1) == 0; }
inline bool operator!=(const CString& s1, const CString& s2) { return s1.Compare(s2) != 0; }
inline bool operator!=(const CString& s1, LPCSTR s2) { return s1.Compare(s2) != 0; }
inline bool operator!=(LPCSTR s1, const CString& s2) { return s2.Compare(s1) != 0; }
inline bool operator<(const CString& s1, const CString& s2) { return s1.Compare(s2) < 0; }
inline bool operator<(const CString& s1, LPCSTR s2) { return s1.Compare(s2) < 0; }
inline bool operator<(LPCSTR s1, const CString& s2) { return s2.Compare(s1) > 0; }
inline bool operator>(const CString& s1, const CString& s2) { return s1.Compare(s2) > 0; }
inline bool operator>(const CString& s1, LPCSTR s2) { return s1.Compare(s2) > 0; }
inline bool operator>(LPCSTR s1, const CString& s2) { return s2.Compare(s1) < 0; }
inline bool operator<=(const CString& s1, const CString& s2) { return s1.Compare(s2) <= 0; }
inline bool operator<=(const CString& s1, LPCSTR s2) { return s1.Compare(s2) <= 0; }
inline bool operator<=(LPCSTR s1, const CString& s2) { return s2.Compare(s1) >= 0; }
inline bool operator>=(const CString& s1, const CString& s2) { return s1.Compare(s2) >= 0; }
inline bool operator>=(const CString& s1, LPCSTR s2) { return s1.Compare(s2) >= 0; }
inline bool operator>=(LPCSTR s1, const CString& s2) { return s2.Compare(s1) <= 0; }
