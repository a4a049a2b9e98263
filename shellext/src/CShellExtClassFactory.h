#pragma once
// The class factory DllGetClassObject hands out: it makes CShellExt objects.
#include <windows.h>
#include <unknwn.h>

namespace shellmark {

class CShellExtClassFactory final : public IClassFactory {
 public:
  // Starts with one reference, the creator's.
  CShellExtClassFactory();
  CShellExtClassFactory(const CShellExtClassFactory&) = delete;
  CShellExtClassFactory& operator=(const CShellExtClassFactory&) = delete;

  // IUnknown: IUnknown and IClassFactory answer with this object.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IClassFactory
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  // Changes nothing: the module stays loaded while any object lives anyway.
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  // Deleted only through Release.
  ~CShellExtClassFactory();

  LONG volatile m_refs = 1;
};

}  // namespace shellmark
