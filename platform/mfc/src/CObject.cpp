#include <afx.h>

namespace {
// Head of the list of registered runtime classes. Filled by static
// constructors (AFX_CLASSINIT), read afterwards, so it needs no lock.
CRuntimeClass* g_pFirstClass = nullptr;
}  // namespace

CRuntimeClass CObject::classCObject = {"CObject", (int)sizeof(CObject), 0xFFFF, nullptr, nullptr, nullptr};
static const AFX_CLASSINIT _init_CObject(&CObject::classCObject);

CRuntimeClass* CObject::GetRuntimeClass() const { return RUNTIME_CLASS(CObject); }

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass) {
  pNewClass->m_pNextClass = g_pFirstClass;
  g_pFirstClass = pNewClass;
}

CObject* CRuntimeClass::CreateObject() {
  if (m_pfnCreateObject == nullptr) return nullptr;
  try {
    return (*m_pfnCreateObject)();
  } catch (CException* e) {
    e->Delete();
  } catch (...) {}
  return nullptr;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
  for (const CRuntimeClass* pClass = this; pClass != nullptr; pClass = pClass->m_pBaseClass) {
    if (pClass == pBaseClass) return TRUE;
  }
  return FALSE;
}

CRuntimeClass* PASCAL CRuntimeClass::FromName(LPCSTR lpszClassName) {
  if (lpszClassName == nullptr) return nullptr;
  for (CRuntimeClass* pClass = g_pFirstClass; pClass != nullptr; pClass = pClass->m_pNextClass) {
    if (strcmp(pClass->m_lpszClassName, lpszClassName) == 0) return pClass;
  }
  return nullptr;
}

CObject* PASCAL CRuntimeClass::CreateObject(LPCSTR lpszClassName) {
  CRuntimeClass* pClass = FromName(lpszClassName);
  return pClass != nullptr ? pClass->CreateObject() : nullptr;
}

CObject* AFXAPI AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject) {
  return pObject != nullptr && pObject->IsKindOf(pClass) ? pObject : nullptr;
}

IMPLEMENT_DYNAMIC(CStringArray, CObject)
IMPLEMENT_DYNAMIC(CPtrArray, CObject)
IMPLEMENT_DYNAMIC(CObArray, CObject)
IMPLEMENT_DYNAMIC(CDWordArray, CObject)
IMPLEMENT_DYNAMIC(CUIntArray, CObject)
IMPLEMENT_DYNAMIC(CByteArray, CObject)
IMPLEMENT_DYNAMIC(CStringList, CObject)
IMPLEMENT_DYNAMIC(CPtrList, CObject)
IMPLEMENT_DYNAMIC(CObList, CObject)
