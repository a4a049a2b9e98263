#include "CShellExtClassFactory.h"

#include <new>

#include "CShellExt.h"
#include "ShellmarkModule.h"

namespace shellmark {

CShellExtClassFactory::CShellExtClassFactory() { AddModuleObject(); }

CShellExtClassFactory::~CShellExtClassFactory() { RemoveModuleObject(); }

HRESULT STDMETHODCALLTYPE CShellExtClassFactory::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
  *object = static_cast<IClassFactory*>(this);
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE CShellExtClassFactory::AddRef() { return InterlockedIncrement(&m_refs); }

ULONG STDMETHODCALLTYPE CShellExtClassFactory::Release() {
  LONG refs = InterlockedDecrement(&m_refs);
  if (refs == 0) delete this;
  return refs;
}

HRESULT STDMETHODCALLTYPE CShellExtClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  CShellExt* extension = new (std::nothrow) CShellExt;
  if (!extension) return E_OUTOFMEMORY;
  // The creator's reference goes once the caller's is taken: an interface the
  // object does not have leaves nothing alive.
  HRESULT hr = extension->QueryInterface(iid, object);
  extension->Release();
  return hr;
}

HRESULT STDMETHODCALLTYPE CShellExtClassFactory::LockServer(BOOL) { return S_OK; }

}  // namespace shellmark
