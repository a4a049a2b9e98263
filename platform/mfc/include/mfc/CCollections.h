// The framework's ready-made collections of strings, pointers and numbers.
#pragma once

class CStringArray : public CArray<CString, LPCTSTR> {
  DECLARE_DYNAMIC(CStringArray)
 public:
  using CArray<CString, LPCTSTR>::Add;
  INT_PTR Add(const CString& newElement) { return CArray<CString, LPCTSTR>::Add(newElement); }
};

class CPtrArray : public CArray<void*, void*> {
  DECLARE_DYNAMIC(CPtrArray)
};

class CObArray : public CArray<CObject*, CObject*> {
  DECLARE_DYNAMIC(CObArray)
};

class CDWordArray : public CArray<DWORD, DWORD> {
  DECLARE_DYNAMIC(CDWordArray)
};

class CUIntArray : public CArray<UINT, UINT> {
  DECLARE_DYNAMIC(CUIntArray)
};

class CByteArray : public CArray<BYTE, BYTE> {
  DECLARE_DYNAMIC(CByteArray)
};

class CStringList : public CList<CString, LPCTSTR> {
  DECLARE_DYNAMIC(CStringList)
};

class CPtrList : public CList<void*, void*> {
  DECLARE_DYNAMIC(CPtrList)
};

class CObList : public CList<CObject*, CObject*> {
  DECLARE_DYNAMIC(CObList)
};
