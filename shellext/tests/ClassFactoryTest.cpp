// The COM rules of the module, the factory and the object, through the
// module's own exports as COM calls them.
#include <gtest/gtest.h>

#include "ShellmarkTestSupport.h"
#include "base/Library.h"
#include "shellmark/Shellmark.h"

namespace shellmark_test {
namespace {

using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(WINAPI*)();

// COM loads the module from the same file, so these are the same entry points
// and the same object count COM sees.
class ModuleExports : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_module.Load(ShellmarkPath().c_str()));
    m_getClassObject = m_module.Find<GetClassObjectFn>("DllGetClassObject");
    m_canUnloadNow = m_module.Find<CanUnloadNowFn>("DllCanUnloadNow");
    ASSERT_NE(nullptr, m_getClassObject);
    ASSERT_NE(nullptr, m_canUnloadNow);
    ASSERT_NE(nullptr, m_module.Find<FARPROC>("DllRegisterServer"));
    ASSERT_NE(nullptr, m_module.Find<FARPROC>("DllUnregisterServer"));
  }
  void TearDown() override { m_module.Free(); }

  base::ReleasePtr<IClassFactory> Factory() {
    IClassFactory* factory = nullptr;
    EXPECT_EQ(S_OK, m_getClassObject(CLSID_Shellmark, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    return base::ReleasePtr<IClassFactory>(factory);
  }

  base::Library m_module;
  GetClassObjectFn m_getClassObject = nullptr;
  CanUnloadNowFn m_canUnloadNow = nullptr;
};

void* const kJunk = reinterpret_cast<void*>(0x1234);

TEST_F(ModuleExports, GetClassObjectAnswersOnlyItsClassAndClearsTheOutPointer) {
  void* object = kJunk;
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, m_getClassObject(IID_IUnknown, IID_IClassFactory, &object));
  EXPECT_EQ(nullptr, object);
  object = kJunk;
  EXPECT_EQ(E_NOINTERFACE, m_getClassObject(CLSID_Shellmark, IID_IShellExtInit, &object));
  EXPECT_EQ(nullptr, object);
  object = nullptr;
  ASSERT_EQ(S_OK, m_getClassObject(CLSID_Shellmark, IID_IUnknown, &object));
  static_cast<IUnknown*>(object)->Release();
}

TEST_F(ModuleExports, FactoryAnswersItsInterfacesAndRefusesAggregation) {
  base::ReleasePtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  IUnknown* unknown = nullptr;
  ASSERT_EQ(S_OK, factory->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)));
  EXPECT_EQ(static_cast<IUnknown*>(factory.get()), unknown);
  unknown->Release();
  void* object = kJunk;
  EXPECT_EQ(E_NOINTERFACE, factory->QueryInterface(IID_IContextMenu, &object));
  EXPECT_EQ(nullptr, object);

  object = kJunk;
  EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(factory.get(), IID_IUnknown, &object));
  EXPECT_EQ(nullptr, object);
  object = kJunk;
  EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IContextMenu2, &object));
  EXPECT_EQ(nullptr, object);
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  EXPECT_EQ(S_OK, factory->LockServer(FALSE));
}

TEST_F(ModuleExports, ObjectHasOneIdentityAndTwoInterfaces) {
  base::ReleasePtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  IShellExtInit* init = nullptr;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IShellExtInit, reinterpret_cast<void**>(&init)));
  base::ReleasePtr<IShellExtInit> initOwner(init);

  IContextMenu* menu = nullptr;
  ASSERT_EQ(S_OK, init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu)));
  base::ReleasePtr<IContextMenu> menuOwner(menu);
  IUnknown* fromInit = nullptr;
  IUnknown* fromMenu = nullptr;
  ASSERT_EQ(S_OK, init->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromInit)));
  ASSERT_EQ(S_OK, menu->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromMenu)));
  EXPECT_EQ(fromInit, fromMenu);
  EXPECT_EQ(static_cast<IUnknown*>(init), fromInit) << "IUnknown is the IShellExtInit face";
  IShellExtInit* back = nullptr;
  ASSERT_EQ(S_OK, menu->QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(&back)));
  EXPECT_EQ(init, back);
  back->Release();
  fromInit->Release();
  fromMenu->Release();

  for (REFIID iid : {IID_IContextMenu2, IID_IContextMenu3, IID_IClassFactory, IID_IDataObject}) {
    void* object = kJunk;
    EXPECT_EQ(E_NOINTERFACE, menu->QueryInterface(iid, &object));
    EXPECT_EQ(nullptr, object);
  }
  // Two interfaces held: each AddRef and Release reports the one count.
  EXPECT_EQ(3u, init->AddRef());
  EXPECT_EQ(2u, menu->Release());
}

TEST_F(ModuleExports, CanUnloadOnlyWhenNoFactoryOrObjectLives) {
  ASSERT_EQ(S_OK, m_canUnloadNow()) << "an object of an earlier test is still alive";
  base::ReleasePtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  EXPECT_EQ(S_FALSE, m_canUnloadNow());
  IUnknown* object = nullptr;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)));
  factory.reset();
  EXPECT_EQ(S_FALSE, m_canUnloadNow()) << "the object still lives";
  object->Release();
  EXPECT_EQ(S_OK, m_canUnloadNow());
  // A failed CreateInstance leaves nothing behind.
  factory = Factory();
  void* none = nullptr;
  EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IDataObject, &none));
  factory.reset();
  EXPECT_EQ(S_OK, m_canUnloadNow());
}

}  // namespace
}  // namespace shellmark_test
