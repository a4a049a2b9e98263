#include <afx.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

class CShape : public CObject {
  DECLARE_DYNAMIC(CShape)
};

class CCircle : public CShape {
  DECLARE_DYNCREATE(CCircle)
 public:
  int m_radius = 7;
};

class CSquare : public CShape {
  DECLARE_DYNCREATE(CSquare)
};

IMPLEMENT_DYNAMIC(CShape, CObject)
IMPLEMENT_DYNCREATE(CCircle, CShape)
IMPLEMENT_DYNCREATE(CSquare, CShape)

TEST(RuntimeClass, KindFollowsTheBaseChain) {
  CCircle circle;
  EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CCircle)));
  EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CShape)));
  EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(circle.IsKindOf(RUNTIME_CLASS(CSquare)));
  EXPECT_STREQ("CCircle", circle.GetRuntimeClass()->m_lpszClassName);
  EXPECT_EQ(static_cast<int>(sizeof(CCircle)), RUNTIME_CLASS(CCircle)->m_nObjectSize);
}

TEST(RuntimeClass, DynCreateMakesTheRightClass) {
  std::unique_ptr<CObject> made(RUNTIME_CLASS(CCircle)->CreateObject());
  ASSERT_NE(nullptr, made);
  EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CCircle)));
  EXPECT_EQ(7, static_cast<CCircle*>(made.get())->m_radius);

  std::unique_ptr<CObject> byName(CRuntimeClass::CreateObject("CSquare"));
  ASSERT_NE(nullptr, byName);
  EXPECT_TRUE(byName->IsKindOf(RUNTIME_CLASS(CSquare)));

  // A class that is only DYNAMIC cannot be made; an unknown name gives nothing.
  EXPECT_EQ(nullptr, RUNTIME_CLASS(CShape)->CreateObject());
  EXPECT_EQ(nullptr, CRuntimeClass::CreateObject("CNoSuchClass"));
  EXPECT_EQ(RUNTIME_CLASS(CShape), CRuntimeClass::FromName("CShape"));
}

TEST(RuntimeClass, DynamicDowncastChecksTheKind) {
  CSquare square;
  CObject* p = &square;
  EXPECT_EQ(&square, DYNAMIC_DOWNCAST(CSquare, p));
  EXPECT_EQ(&square, DYNAMIC_DOWNCAST(CShape, p));
  EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(CCircle, p));
  EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(CCircle, static_cast<CObject*>(nullptr)));
}

TEST(Exceptions, ThrownByPointerAndDeletedByTheCatcher) {
  bool caught = false;
  try {
    AfxThrowNotSupportedException();
  } catch (CException* e) {
    caught = e->IsKindOf(RUNTIME_CLASS(CNotSupportedException));
    char text[64];
    EXPECT_TRUE(e->GetErrorMessage(text, sizeof(text)));
    e->Delete();
  }
  EXPECT_TRUE(caught);
}

TEST(Exceptions, MemoryExceptionIsAStaticObject) {
  CException* first = nullptr;
  CException* second = nullptr;
  try {
    AfxThrowMemoryException();
  } catch (CMemoryException* e) {
    first = e;
    e->Delete();
  }
  try {
    AfxThrowMemoryException();
  } catch (CException* e) {
    second = e;
    e->Delete();
  }
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(first, second);  // Delete() did not free it
  EXPECT_TRUE(second->IsKindOf(RUNTIME_CLASS(CMemoryException)));
}

TEST(Exceptions, TryCatchMacrosDeleteOrRethrow) {
  int handled = 0;
  TRY { AfxThrowUserException(); }
  CATCH(CUserException, e) {
    ++handled;
    EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CUserException)));
  }
  END_CATCH
  EXPECT_EQ(1, handled);

  CException* outer = nullptr;
  try {
    TRY { AfxThrowResourceException(); }
    CATCH_ALL(e) { THROW_LAST(); }
    END_CATCH_ALL
  } catch (CException* e) {
    outer = e;
  }
  ASSERT_NE(nullptr, outer);
  EXPECT_TRUE(outer->IsKindOf(RUNTIME_CLASS(CResourceException)));
  outer->Delete();
}

}  // namespace
