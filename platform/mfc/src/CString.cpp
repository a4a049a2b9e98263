#include <afx.h>

#include <ctype.h>

#include <new>
#include <utility>

namespace {

// Every empty string shares this header, so a default CString allocates nothing.
struct EmptyStringBlock {
  CStringData header;
  char text[1];
};
EmptyStringBlock g_emptyString = {{0, 0}, {0}};

LPSTR EmptyPchData() { return g_emptyString.header.data(); }

// All upper bits clear: on 64-bit a real pointer may have a zero HIWORD.
bool IsResourceId(LPCSTR lpsz) { return lpsz != nullptr && (reinterpret_cast<ULONG_PTR>(lpsz) >> 16) == 0; }

int SafeStrlen(LPCSTR lpsz) { return lpsz == nullptr ? 0 : static_cast<int>(strlen(lpsz)); }

}  // namespace

void CString::AllocBuffer(int nLen) {
  if (nLen <= 0) {
    m_pchData = EmptyPchData();
    return;
  }
  // Allocation failure follows the framework: a memory exception, never a null string.
  void* block = ::operator new(sizeof(CStringData) + nLen + 1, std::nothrow);
  if (block == nullptr) {
    m_pchData = EmptyPchData();
    AfxThrowMemoryException();
  }
  CStringData* pData = static_cast<CStringData*>(block);
  pData->nDataLength = nLen;
  pData->nAllocLength = nLen;
  m_pchData = pData->data();
  m_pchData[nLen] = '\0';
}

void CString::Release() {
  if (m_pchData != EmptyPchData()) ::operator delete(GetData());
  m_pchData = EmptyPchData();
}

void CString::AssignCopy(int nSrcLen, LPCSTR lpszSrcData) {
  if (nSrcLen <= GetData()->nAllocLength && m_pchData != EmptyPchData()) {
    memmove(m_pchData, lpszSrcData, nSrcLen);
    GetData()->nDataLength = nSrcLen;
    m_pchData[nSrcLen] = '\0';
    return;
  }
  CString copy;
  copy.AllocBuffer(nSrcLen);
  memcpy(copy.m_pchData, lpszSrcData, nSrcLen);
  std::swap(m_pchData, copy.m_pchData);
}

void CString::ConcatInPlace(int nSrcLen, LPCSTR lpszSrcData) {
  if (nSrcLen == 0) return;
  int oldLen = GetLength();
  if (oldLen + nSrcLen <= GetData()->nAllocLength && m_pchData != EmptyPchData()) {
    memmove(m_pchData + oldLen, lpszSrcData, nSrcLen);
    GetData()->nDataLength = oldLen + nSrcLen;
    m_pchData[oldLen + nSrcLen] = '\0';
    return;
  }
  // Grow geometrically so that a loop of += stays linear.
  int newAlloc = oldLen + nSrcLen;
  if (newAlloc < oldLen * 2) newAlloc = oldLen * 2;
  CString grown;
  grown.AllocBuffer(newAlloc);
  memcpy(grown.m_pchData, m_pchData, oldLen);
  memcpy(grown.m_pchData + oldLen, lpszSrcData, nSrcLen);
  grown.GetData()->nDataLength = oldLen + nSrcLen;
  grown.m_pchData[oldLen + nSrcLen] = '\0';
  std::swap(m_pchData, grown.m_pchData);
}

CString::CString() : m_pchData(EmptyPchData()) {}

CString::CString(const CString& stringSrc) : m_pchData(EmptyPchData()) {
  AssignCopy(stringSrc.GetLength(), stringSrc.m_pchData);
}

CString::CString(CString&& stringSrc) noexcept : m_pchData(stringSrc.m_pchData) {
  stringSrc.m_pchData = EmptyPchData();
}

CString::CString(char ch, int nRepeat) : m_pchData(EmptyPchData()) {
  if (nRepeat > 0) {
    AllocBuffer(nRepeat);
    memset(m_pchData, ch, nRepeat);
  }
}

CString::CString(LPCSTR lpsz) : m_pchData(EmptyPchData()) {
  if (IsResourceId(lpsz))
    LoadString(LOWORD(reinterpret_cast<ULONG_PTR>(lpsz)));
  else
    AssignCopy(SafeStrlen(lpsz), lpsz);
}

CString::CString(LPCSTR lpch, int nLength) : m_pchData(EmptyPchData()) {
  if (lpch != nullptr && nLength > 0) AssignCopy(nLength, lpch);
}

CString::CString(const unsigned char* psz) : CString(reinterpret_cast<LPCSTR>(psz)) {}

CString::CString(LPCWSTR lpsz) : m_pchData(EmptyPchData()) { *this = lpsz; }

CString::~CString() { Release(); }

void CString::Empty() { Release(); }

char CString::GetAt(int nIndex) const {
  ASSERT(nIndex >= 0 && nIndex < GetLength());
  if (nIndex < 0 || nIndex > GetLength()) return '\0';
  return m_pchData[nIndex];
}

void CString::SetAt(int nIndex, char ch) {
  if (nIndex >= 0 && nIndex < GetLength()) m_pchData[nIndex] = ch;
}

const CString& CString::operator=(const CString& stringSrc) {
  if (this != &stringSrc) AssignCopy(stringSrc.GetLength(), stringSrc.m_pchData);
  return *this;
}

const CString& CString::operator=(CString&& stringSrc) noexcept {
  if (this != &stringSrc) {
    Release();
    std::swap(m_pchData, stringSrc.m_pchData);
  }
  return *this;
}

const CString& CString::operator=(char ch) {
  AssignCopy(1, &ch);
  return *this;
}

const CString& CString::operator=(LPCSTR lpsz) {
  // lpsz may point into our own buffer; AssignCopy copes with that.
  AssignCopy(SafeStrlen(lpsz), lpsz);
  return *this;
}

const CString& CString::operator=(const unsigned char* psz) { return *this = reinterpret_cast<LPCSTR>(psz); }

const CString& CString::operator=(LPCWSTR lpsz) {
  if (lpsz == nullptr || *lpsz == 0) {
    Empty();
    return *this;
  }
  int nLen = WideCharToMultiByte(CP_ACP, 0, lpsz, -1, nullptr, 0, nullptr, nullptr);
  if (nLen <= 1) {
    Empty();
    return *this;
  }
  CString converted;
  converted.AllocBuffer(nLen - 1);
  WideCharToMultiByte(CP_ACP, 0, lpsz, -1, converted.m_pchData, nLen, nullptr, nullptr);
  std::swap(m_pchData, converted.m_pchData);
  return *this;
}

const CString& CString::operator+=(const CString& string) {
  ConcatInPlace(string.GetLength(), string.m_pchData);
  return *this;
}

const CString& CString::operator+=(char ch) {
  ConcatInPlace(1, &ch);
  return *this;
}

const CString& CString::operator+=(LPCSTR lpsz) {
  ConcatInPlace(SafeStrlen(lpsz), lpsz);
  return *this;
}

CString operator+(const CString& string1, const CString& string2) {
  CString s(string1);
  s += string2;
  return s;
}

CString operator+(const CString& string, char ch) {
  CString s(string);
  s += ch;
  return s;
}

CString operator+(char ch, const CString& string) {
  CString s(ch);
  s += string;
  return s;
}

CString operator+(const CString& string, LPCSTR lpsz) {
  CString s(string);
  s += lpsz;
  return s;
}

CString operator+(LPCSTR lpsz, const CString& string) {
  CString s(lpsz);
  s += string;
  return s;
}

CString CString::Mid(int nFirst, int nCount) const {
  int nLen = GetLength();
  if (nFirst < 0) nFirst = 0;
  if (nCount < 0) nCount = 0;
  if (nFirst > nLen) nFirst = nLen;
  if (nCount > nLen - nFirst) nCount = nLen - nFirst;
  return CString(m_pchData + nFirst, nCount);
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Left(int nCount) const { return Mid(0, nCount); }

CString CString::Right(int nCount) const {
  int nLen = GetLength();
  if (nCount < 0) nCount = 0;
  if (nCount > nLen) nCount = nLen;
  return CString(m_pchData + nLen - nCount, nCount);
}

CString CString::SpanIncluding(LPCSTR lpszCharSet) const {
  return Left(static_cast<int>(strspn(m_pchData, lpszCharSet)));
}

CString CString::SpanExcluding(LPCSTR lpszCharSet) const {
  return Left(static_cast<int>(strcspn(m_pchData, lpszCharSet)));
}

void CString::MakeUpper() { CharUpperBuffA(m_pchData, GetLength()); }

void CString::MakeLower() { CharLowerBuffA(m_pchData, GetLength()); }

void CString::MakeReverse() {
  for (int i = 0, j = GetLength() - 1; i < j; ++i, --j) std::swap(m_pchData[i], m_pchData[j]);
}

int CString::Replace(char chOld, char chNew) {
  int nCount = 0;
  if (chOld == chNew) return 0;
  for (int i = 0; i < GetLength(); ++i) {
    if (m_pchData[i] == chOld) {
      m_pchData[i] = chNew;
      ++nCount;
    }
  }
  return nCount;
}

int CString::Replace(LPCSTR lpszOld, LPCSTR lpszNew) {
  int nOldLen = SafeStrlen(lpszOld);
  if (nOldLen == 0) return 0;
  int nNewLen = SafeStrlen(lpszNew);
  CString result;
  int nCount = 0;
  LPCSTR pStart = m_pchData;
  for (LPCSTR pHit = strstr(pStart, lpszOld); pHit != nullptr; pHit = strstr(pStart, lpszOld)) {
    result.ConcatInPlace(static_cast<int>(pHit - pStart), pStart);
    result.ConcatInPlace(nNewLen, lpszNew);
    pStart = pHit + nOldLen;
    ++nCount;
  }
  if (nCount == 0) return 0;
  result.ConcatInPlace(static_cast<int>(m_pchData + GetLength() - pStart), pStart);
  *this = std::move(result);
  return nCount;
}

int CString::Remove(char chRemove) {
  int nLen = GetLength();
  int nWrite = 0;
  for (int i = 0; i < nLen; ++i) {
    if (m_pchData[i] != chRemove) m_pchData[nWrite++] = m_pchData[i];
  }
  if (nWrite != nLen) {
    m_pchData[nWrite] = '\0';
    GetData()->nDataLength = nWrite;
  }
  return nLen - nWrite;
}

int CString::Insert(int nIndex, char ch) { return Insert(nIndex, CString(ch)); }

int CString::Insert(int nIndex, LPCSTR pstr) {
  int nLen = GetLength();
  if (nIndex < 0) nIndex = 0;
  if (nIndex > nLen) nIndex = nLen;
  CString result(m_pchData, nIndex);
  result += pstr;
  result.ConcatInPlace(nLen - nIndex, m_pchData + nIndex);
  *this = std::move(result);
  return GetLength();
}

int CString::Delete(int nIndex, int nCount) {
  int nLen = GetLength();
  if (nIndex < 0) nIndex = 0;
  if (nCount > 0 && nIndex < nLen) {
    if (nCount > nLen - nIndex) nCount = nLen - nIndex;
    memmove(m_pchData + nIndex, m_pchData + nIndex + nCount, nLen - nIndex - nCount + 1);
    GetData()->nDataLength = nLen - nCount;
  }
  return GetLength();
}

void CString::TrimRight() {
  int nLen = GetLength();
  while (nLen > 0 && isspace(static_cast<unsigned char>(m_pchData[nLen - 1]))) --nLen;
  if (nLen != GetLength()) {
    m_pchData[nLen] = '\0';
    GetData()->nDataLength = nLen;
  }
}

void CString::TrimRight(char chTarget) {
  char targets[2] = {chTarget, '\0'};
  TrimRight(targets);
}

void CString::TrimRight(LPCSTR lpszTargets) {
  int nLen = GetLength();
  while (nLen > 0 && m_pchData[nLen - 1] != '\0' && strchr(lpszTargets, m_pchData[nLen - 1]) != nullptr)
    --nLen;
  if (nLen != GetLength()) {
    m_pchData[nLen] = '\0';
    GetData()->nDataLength = nLen;
  }
}

void CString::TrimLeft() {
  int n = 0;
  while (n < GetLength() && isspace(static_cast<unsigned char>(m_pchData[n]))) ++n;
  Delete(0, n);
}

void CString::TrimLeft(char chTarget) {
  char targets[2] = {chTarget, '\0'};
  TrimLeft(targets);
}

void CString::TrimLeft(LPCSTR lpszTargets) {
  int n = 0;
  while (n < GetLength() && strchr(lpszTargets, m_pchData[n]) != nullptr) ++n;
  Delete(0, n);
}

int CString::Find(char ch, int nStart) const {
  if (nStart < 0 || nStart >= GetLength()) return -1;
  LPCSTR p = strchr(m_pchData + nStart, ch);
  return p == nullptr || ch == '\0' ? -1 : static_cast<int>(p - m_pchData);
}

int CString::Find(LPCSTR lpszSub, int nStart) const {
  if (lpszSub == nullptr || nStart < 0 || nStart > GetLength()) return -1;
  LPCSTR p = strstr(m_pchData + nStart, lpszSub);
  return p == nullptr ? -1 : static_cast<int>(p - m_pchData);
}

int CString::ReverseFind(char ch) const {
  LPCSTR p = strrchr(m_pchData, ch);
  return p == nullptr || ch == '\0' ? -1 : static_cast<int>(p - m_pchData);
}

int CString::FindOneOf(LPCSTR lpszCharSet) const {
  LPCSTR p = strpbrk(m_pchData, lpszCharSet);
  return p == nullptr ? -1 : static_cast<int>(p - m_pchData);
}

void CString::FormatV(LPCTSTR lpszFormat, va_list argList) {
  va_list measure;
  va_copy(measure, argList);
  int nLen = vsnprintf(nullptr, 0, lpszFormat, measure);
  va_end(measure);
  if (nLen <= 0) {
    Empty();
    return;
  }
  // Format into a fresh buffer: an argument may point into our own text.
  CString result;
  result.AllocBuffer(nLen);
  vsnprintf(result.m_pchData, static_cast<size_t>(nLen) + 1, lpszFormat, argList);
  std::swap(m_pchData, result.m_pchData);
}

void CString::FormatArgs(LPCTSTR lpszFormat, ...) {
  va_list argList;
  va_start(argList, lpszFormat);
  FormatV(lpszFormat, argList);
  va_end(argList);
}

BOOL CString::LoadString(UINT nID) {
  // A string resource holds at most 65535 characters; start small and grow.
  HINSTANCE hInst = AfxGetResourceHandle();
  for (int nSize = 256; nSize <= 65536; nSize *= 4) {
    CString buffer;
    buffer.AllocBuffer(nSize);
    int nLen = ::LoadStringA(hInst, nID, buffer.m_pchData, nSize + 1);
    if (nLen < nSize) {
      if (nLen <= 0) {
        Empty();
        return FALSE;
      }
      AssignCopy(nLen, buffer.m_pchData);
      return TRUE;
    }
  }
  return FALSE;
}

LPSTR CString::GetBuffer(int nMinBufLength) {
  if (nMinBufLength < 0) nMinBufLength = 0;
  if (m_pchData == EmptyPchData() || nMinBufLength > GetData()->nAllocLength) {
    int nOldLen = GetLength();
    CString grown;
    grown.AllocBuffer(nMinBufLength > nOldLen ? nMinBufLength : nOldLen);
    if (grown.m_pchData == EmptyPchData()) return m_pchData;  // a zero-length request on an empty string
    memcpy(grown.m_pchData, m_pchData, nOldLen + 1);
    grown.GetData()->nDataLength = nOldLen;
    std::swap(m_pchData, grown.m_pchData);
  }
  return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength) {
  if (m_pchData == EmptyPchData()) return;
  if (nNewLength < 0) nNewLength = static_cast<int>(strnlen(m_pchData, GetData()->nAllocLength));
  if (nNewLength > GetData()->nAllocLength) nNewLength = GetData()->nAllocLength;
  GetData()->nDataLength = nNewLength;
  m_pchData[nNewLength] = '\0';
}

LPSTR CString::GetBufferSetLength(int nNewLength) {
  GetBuffer(nNewLength);
  if (m_pchData != EmptyPchData()) {
    GetData()->nDataLength = nNewLength;
    m_pchData[nNewLength] = '\0';
  }
  return m_pchData;
}

void CString::FreeExtra() {
  if (m_pchData != EmptyPchData() && GetData()->nDataLength != GetData()->nAllocLength) {
    CString exact(m_pchData, GetLength());
    std::swap(m_pchData, exact.m_pchData);
  }
}
