#include <afxtempl.h>

#include <gtest/gtest.h>

namespace {

TEST(CArray, GrowsInsertsAndRemoves) {
  CArray<int, int> a;
  EXPECT_TRUE(a.IsEmpty());
  for (int i = 0; i < 5; ++i) EXPECT_EQ(i, a.Add(i * 10));
  a.InsertAt(1, 5, 2);
  a.RemoveAt(4, 1);
  const int expected[] = {0, 5, 5, 10, 30, 40};
  ASSERT_EQ(static_cast<INT_PTR>(_countof(expected)), a.GetSize());
  for (INT_PTR i = 0; i < a.GetSize(); ++i) EXPECT_EQ(expected[i], a[i]) << i;
  a.SetAtGrow(8, 99);
  EXPECT_EQ(9, a.GetSize());
  EXPECT_EQ(0, a[7]);
  EXPECT_EQ(8, a.GetUpperBound());
  a.RemoveAt(7, 100);  // a count past the end removes what is there
  EXPECT_EQ(7, a.GetSize());
  a.RemoveAll();
  EXPECT_EQ(0, a.GetSize());
}

TEST(CArray, InsertingAnElementOfItself) {
  CStringArray a;
  a.Add("first");
  for (int i = 0; i < 50; ++i) a.InsertAt(0, a[a.GetUpperBound()]);  // may reallocate under the argument
  EXPECT_EQ(51, a.GetSize());
  EXPECT_STREQ("first", a[0]);
}

TEST(CStringArray, HoldsCopies) {
  CStringArray a;
  CString s("one");
  a.Add(s);
  a.Add("two");
  s = "changed";
  EXPECT_STREQ("one", a.GetAt(0));
  EXPECT_STREQ("two", a[1]);
  a[1] += "!";
  EXPECT_STREQ("two!", a[1]);
  EXPECT_TRUE(a.IsKindOf(RUNTIME_CLASS(CStringArray)));
}

TEST(CTypedPtrArray, HandsOutTheElementType) {
  int values[3] = {1, 2, 3};
  CTypedPtrArray<CPtrArray, int*> a;
  for (int& v : values) a.Add(&v);
  int sum = 0;
  for (INT_PTR i = 0; i < a.GetSize(); ++i) sum += *a[i];
  EXPECT_EQ(6, sum);
}

TEST(CList, WalksBothWaysAndRemovesAnywhere) {
  CStringList list;
  list.AddTail("b");
  list.AddHead("a");
  list.AddTail("d");
  POSITION posD = list.Find("d");
  ASSERT_NE(nullptr, posD);
  list.InsertBefore(posD, "c");
  EXPECT_EQ(4, list.GetCount());

  CString forward;
  for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) forward += list.GetNext(pos);
  EXPECT_STREQ("abcd", forward);

  CString backward;
  for (POSITION pos = list.GetTailPosition(); pos != nullptr;) backward += list.GetPrev(pos);
  EXPECT_STREQ("dcba", backward);

  list.RemoveAt(list.FindIndex(1));
  EXPECT_STREQ("a", list.RemoveHead());
  EXPECT_STREQ("d", list.RemoveTail());
  EXPECT_EQ(1, list.GetCount());
  EXPECT_STREQ("c", list.GetHead());
  EXPECT_EQ(nullptr, list.FindIndex(1));
  list.RemoveAll();
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(nullptr, list.GetHeadPosition());
}

TEST(CList, TypedPointerList) {
  CTypedPtrList<CPtrList, CString*> list;
  CString a("x"), b("y");
  list.AddTail(&a);
  list.AddTail(&b);
  CString joined;
  for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) joined += *list.GetNext(pos);
  EXPECT_STREQ("xy", joined);
}

TEST(Geometry, RectArithmetic) {
  CRect r(10, 20, 110, 70);
  EXPECT_EQ(100, r.Width());
  EXPECT_EQ(50, r.Height());
  EXPECT_EQ(CPoint(60, 45), r.CenterPoint());
  r.DeflateRect(5, 10);
  EXPECT_EQ(CRect(15, 30, 105, 60), r);
  r.InflateRect(1, 2, 3, 4);
  EXPECT_EQ(CRect(14, 28, 108, 64), r);
  r.OffsetRect(CPoint(-14, -28));
  EXPECT_EQ(CPoint(0, 0), r.TopLeft());
  EXPECT_EQ(CPoint(94, 36), r.BottomRight());
  EXPECT_TRUE(r.PtInRect(CPoint(93, 35)));
  EXPECT_FALSE(r.PtInRect(CPoint(94, 35)));  // right and bottom are outside
  EXPECT_TRUE(CRect(5, 5, 5, 9).IsRectEmpty());
  EXPECT_EQ(CRect(5, 5, 10, 10), CRect(0, 0, 10, 10) & CRect(5, 5, 20, 20));
  EXPECT_EQ(CSize(3, 4), CPoint(5, 7) - CPoint(2, 3));
  LPRECT asRect = r;
  EXPECT_EQ(static_cast<RECT*>(&r), asRect);
  static_assert(
      sizeof(CRect) == sizeof(RECT) && sizeof(CPoint) == sizeof(POINT) && sizeof(CSize) == sizeof(SIZE),
      "the Win32 layouts");
  EXPECT_EQ(CPoint(-3, 40), CPoint(MAKELPARAM(-3, 40)));
}

}  // namespace
