// CObject and the runtime class records behind DECLARE_DYNAMIC / DECLARE_DYNCREATE.
#pragma once

class CObject;

// One record per class that declares itself dynamic; records are chained
// through m_pBaseClass to answer IsKindOf and, for DYNCREATE classes, can
// make an object. The records are constant data, so they exist before any
// static constructor runs.
struct CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;
  CObject*(PASCAL* m_pfnCreateObject)();
  CRuntimeClass* m_pBaseClass;
  CRuntimeClass* m_pNextClass;  // list of every registered class, for FromName

  CObject* CreateObject();
  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

  static CRuntimeClass* PASCAL FromName(LPCSTR lpszClassName);
  static CObject* PASCAL CreateObject(LPCSTR lpszClassName);
};

// Enters a runtime class in the list searched by CRuntimeClass::FromName.
struct AFX_CLASSINIT {
  explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)       \
 public:                                  \
  static CRuntimeClass class##class_name; \
  CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* PASCAL CreateObject();

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                           \
  CRuntimeClass class_name::class##class_name = {#class_name, (int)sizeof(class class_name),  wSchema, \
                                                 pfnNew,      RUNTIME_CLASS(base_class_name), NULL};   \
  static const AFX_CLASSINIT _init_##class_name(&class_name::class##class_name);                       \
  CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, NULL)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                \
  CObject* PASCAL class_name::CreateObject() { return new class_name; } \
  IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

class CObject {
 public:
  static CRuntimeClass classCObject;
  virtual CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject() = default;

  BOOL IsKindOf(const CRuntimeClass* pClass) const;
  virtual void AssertValid() const {}

 protected:
  CObject() = default;

 private:
  // Objects of the framework own handles and windows; copying one would
  // give two owners. Derived classes that are values provide their own.
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;
};

CObject* AFXAPI AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject);
#define DYNAMIC_DOWNCAST(class_name, object) \
  static_cast<class_name*>(AfxDynamicDownCast(RUNTIME_CLASS(class_name), object))
#define STATIC_DOWNCAST(class_name, object) (static_cast<class_name*>(object))
