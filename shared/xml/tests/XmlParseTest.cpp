#include <xml/XmlParserNode.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

XmlParserNode Parse(const char* text, XmlResults* r, const char* firstTag = nullptr) {
  return XmlParserNode::ParseString(text, firstTag, r);
}

// Alternating names: a start tag named like the open element would close it.
std::string Nested(int levels) {
  std::string s;
  for (int i = 0; i < levels; ++i) s += i % 2 ? "<b>" : "<a>";
  return s;
}

struct ErrorCase {
  const char* what;
  std::string text;
  int code;
  int line;
  int column;
};

TEST(XmlParse, ErrorCodesAndPositions) {
  const ErrorCase cases[] = {
      {"stray end tag inside an element", "<a></b>", kXmlUnmatchedEndTag, 1, 8},
      {"end tag first in the document", "</x><r><a>1</a></r>", kXmlUnmatchedEndTag, 1, 5},
      {"end tag after the root element", "<a/>\n</b><c/>", kXmlUnmatchedEndTag, 2, 5},
      {"end tag after a prolog's element", "<?xml version=\"1.0\"?><r/></x>", kXmlUnmatchedEndTag, 1, 30},
      {"unclosed quote, where the text ends", "<a>\n<b c='x\n y", kXmlUnmatchedQuote, 3, 3},
      {"missing start tag name", "<a><></a>", kXmlMissingStartTagName, 1, 6},
      {"quoted start tag name", "<\"a\">", kXmlMissingStartTagName, 1, 5},
      {"missing end tag name", "<a></>", kXmlMissingEndTagName, 1, 7},
      {"end tag without close", "<a></a b>", kXmlMissingEndTagName, 1, 9},
      {"end tag cut off", "<a></a", kXmlMissingEndTagName, 1, 7},
      {"equals sign first in a tag", "<a =b>", kXmlUnexpectedToken, 1, 5},
      {"short-hand close outside a tag", "<a>x/></a>", kXmlUnexpectedToken, 1, 7},
      {"clear section never closed", "<a><!-- open", kXmlUnmatchedEndTag, 1, 13},
      {"CDATA never closed", "<a><![CDATA[x]]", kXmlUnmatchedEndTag, 1, 16},
      {"script close marker in other letter case", "<a><script>x</script></a>", kXmlUnmatchedEndTag, 1, 26},
      {"unknown entity in text", "<a>\n  x&nbsp;y</a>", kXmlUnknownEntity, 2, 4},
      {"numeric entity in an attribute", "<a b=\"&#169;\"/>", kXmlUnknownEntity, 1, 7},
      {"lone ampersand", "<a>x & y</a>", kXmlUnknownEntity, 1, 6},
      {"ampersand at the end of a text", "<a>x&</a>", kXmlUnknownEntity, 1, 5},
      {"entity without its semicolon", "<a b=x&amp/>", kXmlUnknownEntity, 1, 7},
      {"unknown entity in text before a child", "<a>&copy;<b/></a>", kXmlUnknownEntity, 1, 4},
      {"one level too deep", Nested(kXmlMaxDepth + 1), kXmlNestingTooDeep, 1, 3 * kXmlMaxDepth + 1},
      {"100,000 levels", Nested(100000), kXmlNestingTooDeep, 1, 3 * kXmlMaxDepth + 1},
  };
  for (const ErrorCase& c : cases) {
    XmlResults r{-1, -1, -1, -1};
    XmlParserNode node = Parse(c.text.c_str(), &r);
    EXPECT_TRUE(node.IsEmpty()) << c.what;
    EXPECT_EQ(c.code, r.error) << c.what;
    EXPECT_EQ(c.line, r.line) << c.what;
    EXPECT_EQ(c.column, r.column) << c.what;
  }
}

TEST(XmlParse, ErrorTextsKeepTheirNumbers) {
  EXPECT_STREQ("No error", XmlParserNode::GetErrorText(0));
  EXPECT_STREQ("Unmatched end tag", XmlParserNode::GetErrorText(6));
  EXPECT_STREQ("First Tag not found", XmlParserNode::GetErrorText(11));
  EXPECT_STREQ("Unknown entity", XmlParserNode::GetErrorText(12));
  EXPECT_STREQ("Nesting too deep", XmlParserNode::GetErrorText(13));
  EXPECT_STREQ("Unknown", XmlParserNode::GetErrorText(14));
  EXPECT_STREQ("Unknown", XmlParserNode::GetErrorText(-1));
}

TEST(XmlParse, NullTextAndFirstTag) {
  XmlResults r{-1, -1, -1, -1};
  EXPECT_TRUE(Parse(nullptr, &r).IsEmpty());
  EXPECT_EQ(kXmlNoElements, r.error);
  EXPECT_EQ(0, r.line);

  XmlParserNode root = Parse("", &r);
  EXPECT_FALSE(root.IsEmpty());
  EXPECT_EQ(kXmlNoError, r.error);
  EXPECT_EQ(0, root.GetElementCount());
  EXPECT_TRUE(Parse("", &r, "Product").IsEmpty());
  EXPECT_EQ(kXmlFirstTagNotFound, r.error);
  EXPECT_EQ(0, r.column);
  EXPECT_TRUE(Parse("<a/>", &r, "Product").IsEmpty());
  EXPECT_EQ(kXmlFirstTagNotFound, r.error);
}

TEST(XmlParse, ContentsKeepDocumentOrderAndEveryTextIsUnescaped) {
  XmlResults r{};
  XmlParserNode a = Parse("<a>x &amp; w<b/>y &amp; z</a>", &r, "a");
  ASSERT_EQ(kXmlNoError, r.error);
  ASSERT_EQ(3, a.GetElementCount());
  EXPECT_EQ(kXmlText, a.EnumContents(0).kind);
  // The text ended by a child tag is unescaped too, so a tree read and written back reads equal.
  EXPECT_STREQ("x & w", a.EnumContents(0).text);
  EXPECT_EQ(kXmlChild, a.EnumContents(1).kind);
  EXPECT_STREQ("b", a.EnumContents(1).child.GetName());
  EXPECT_STREQ("y & z", a.EnumContents(2).text);
  EXPECT_EQ(kXmlNone, XmlParserNode().EnumContents(0).kind);
}

TEST(XmlParse, PrologHoldsTheDocument) {
  XmlResults r{};
  const char* text = "<?xml version=\"1.0\"?>\n<root><v>1</v></root>";
  XmlParserNode doc = Parse(text, &r);
  ASSERT_EQ(kXmlNoError, r.error);
  ASSERT_EQ(1, doc.GetChildCount());
  XmlParserNode xml = doc.GetChildNodeByIndex(0);
  EXPECT_TRUE(xml.IsDeclaration());
  EXPECT_STREQ("xml", xml.GetName());
  EXPECT_STREQ("1.0", xml.GetAttribute("version"));
  EXPECT_EQ(1, xml.GetAttributeCount());
  EXPECT_EQ(1, xml.CountChildNodes("root"));
  XmlParserNode root = Parse(text, &r, "root");
  EXPECT_EQ(kXmlNoError, r.error);
  EXPECT_STREQ("1", root.GetChildNode("v").GetText(0));
  // A bare '?' before the end of a declaration is no attribute.
  XmlParserNode bare = Parse(
                           "<?pi a b=c?"
                           "?><x/>",
                           &r)
                           .GetChildNodeByIndex(0);
  EXPECT_EQ(2, bare.GetAttributeCount());
  EXPECT_STREQ("c?", bare.GetAttribute("b"));
}

TEST(XmlParse, LenientStructure) {
  XmlResults r{};
  XmlParserNode doc = Parse("<p>one<p>two</p>", &r);
  ASSERT_EQ(kXmlNoError, r.error);
  ASSERT_EQ(2, doc.CountChildNodes("P"));
  EXPECT_STREQ("one", doc.GetChildNodeAt("p", 0).GetText(0));
  EXPECT_STREQ("two", doc.GetChildNodeAt("p", 1).GetText(0));
  EXPECT_TRUE(doc.GetChildNodeAt("p", 2).IsEmpty());

  // An end tag of an outer element closes the inner ones.
  doc = Parse("<a><b><c></a><d/>", &r);
  EXPECT_EQ(kXmlNoError, r.error);
  EXPECT_EQ(2, doc.GetChildCount());
  EXPECT_EQ(1, doc.GetChildNode("a").GetChildNode("b").GetChildCount());

  // Open elements stay at the end of the text, counted; trailing text goes.
  doc = Parse("<a><b>text", &r);
  EXPECT_EQ(kXmlNoError, r.error);
  EXPECT_EQ(2, r.unclosed);
  EXPECT_EQ(0, doc.GetChildNode("a").GetChildNode("b").GetTextCount());
  doc = Parse("<a/>tail", &r);
  EXPECT_EQ(1, doc.GetElementCount());
  EXPECT_EQ(0, r.unclosed);

  // Truncated inside a tag: the element read so far stays, as for any open element.
  doc = Parse("<Product><File name=x size", &r);
  EXPECT_EQ(kXmlNoError, r.error);
  EXPECT_EQ(2, r.unclosed);
  EXPECT_STREQ("x", doc.GetChildNode("product").GetChildNode("file").GetAttribute("name"));
}

TEST(XmlParse, ElementsLeftOpenAtTheEndAreCounted) {
  const struct {
    const char* text;
    const char* firstTag;
    int unclosed;
  } cases[] = {
      {"<r><a>1</a><b>2", "r", 2},
      {"<r><a>1</a><b>2</b></r>", "r", 0},
      {"<?xml version=\"1.0\"?><r><a/></r>", "r", 0},  // a declaration has no end tag to miss
      {"<?xml version=\"1.0\"?><r><a/>", "r", 1},
      {"<p>one<p>two", nullptr, 1},   // the second p closed the first
      {"<a><b><c></a>", nullptr, 0},  // the end tag of a closed b and c too
      {"<r><!-- c --><v k='1'/>", "r", 1},
      {"", nullptr, 0},
  };
  for (const auto& c : cases) {
    XmlResults r{-1, -1, -1, -1};
    XmlParserNode node = Parse(c.text, &r, c.firstTag);
    EXPECT_EQ(kXmlNoError, r.error) << c.text;
    EXPECT_FALSE(node.IsEmpty()) << c.text;
    EXPECT_EQ(c.unclosed, r.unclosed) << c.text;
  }
  // A parse that fails counts nothing.
  XmlResults r{-1, -1, -1, -1};
  EXPECT_TRUE(Parse("<r><a b='x", &r).IsEmpty());
  EXPECT_EQ(kXmlUnmatchedQuote, r.error);
  EXPECT_EQ(0, r.unclosed);
}

TEST(XmlParse, QuotesInContentsAreText) {
  XmlResults r{};
  XmlParserNode root = Parse("<r><name>TamilNet '99</name><v>lost</v><name>it's</name></r>", &r, "r");
  ASSERT_EQ(kXmlNoError, r.error);
  ASSERT_EQ(2, root.CountChildNodes("name"));
  EXPECT_STREQ("TamilNet '99", root.GetChildNodeAt("name", 0).GetText(0));
  EXPECT_STREQ("lost", root.GetChildNode("v").GetText(0));
  EXPECT_STREQ("it's", root.GetChildNodeAt("name", 1).GetText(0));
  // Both kinds, unbalanced, before a child and first in the text; in a tag a quote still opens a value.
  root = Parse("<r>\"a\" 'b<c q='x \"y\"'/>\"</r>", &r, "r");
  ASSERT_EQ(kXmlNoError, r.error);
  EXPECT_STREQ("\"a\" 'b", root.GetText(0));
  EXPECT_STREQ("x \"y\"", root.GetChildNode("c").GetAttribute("q"));
  EXPECT_STREQ("\"", root.GetText(1));
}

TEST(XmlParse, ClearSections) {
  XmlResults r{};
  XmlParserNode a = Parse(
      "<a><!-- hi there --><!----><Script>if (a<b) x();</Script><![CDATA[<b>&amp;]]><pre>  p </PRE>"
      "<!DOCTYPE html></a>",
      &r, "a");
  ASSERT_EQ(kXmlNoError, r.error);
  ASSERT_EQ(6, a.GetClearCount());
  EXPECT_STREQ("<!--", a.GetClear(0).openTag);
  EXPECT_STREQ(" hi there ", a.GetClear(0).value);
  EXPECT_STREQ("-->", a.GetClear(0).closeTag);
  EXPECT_STREQ("", a.GetClear(1).value);
  EXPECT_STREQ("if (a<b) x();", a.GetClear(2).value);
  EXPECT_STREQ("<b>&amp;", a.GetClear(3).value);
  EXPECT_STREQ("<PRE>", a.GetClear(4).openTag);
  EXPECT_STREQ("  p ", a.GetClear(4).value);
  EXPECT_STREQ(" html", a.GetClear(5).value);
  EXPECT_EQ(nullptr, a.GetClear(6).value);
  EXPECT_EQ(nullptr, a.GetClear(-1).openTag);
}

TEST(XmlParse, AttributesAndQueries) {
  XmlResults r{};
  XmlParserNode a = Parse("<A k=1 bare K='two' q=\"&lt;&QUOT;&apos;\"/>", &r, "a");
  ASSERT_EQ(kXmlNoError, r.error);
  EXPECT_EQ(4, a.GetAttributeCount());
  EXPECT_TRUE(a.IsAttributeSet("BARE"));
  EXPECT_EQ(nullptr, a.GetAttribute("bare"));
  EXPECT_FALSE(a.IsAttributeSet("missing"));
  int position = 0;
  EXPECT_STREQ("1", a.GetAttribute("k", &position));
  EXPECT_EQ(1, position);
  EXPECT_STREQ("two", a.GetAttribute("k", &position));
  EXPECT_EQ(3, position);
  EXPECT_EQ(nullptr, a.GetAttribute("k", &position));
  EXPECT_EQ(3, position);
  EXPECT_STREQ("two", a.GetAttributeAt("k", 1));
  EXPECT_STREQ("<\"'", a.GetAttribute("q"));
  EXPECT_STREQ("bare", a.GetAttributeByIndex(1).name);
  EXPECT_EQ(nullptr, a.GetAttributeByIndex(4).name);

  XmlParserNode empty;
  EXPECT_EQ(0, empty.GetChildCount());
  EXPECT_EQ(nullptr, empty.GetName());
  EXPECT_EQ(nullptr, empty.GetAttribute("k"));
  EXPECT_TRUE(empty.GetChildNode("x").IsEmpty());
  EXPECT_EQ(nullptr, empty.GetText(0));
}

TEST(XmlParse, ChildWalkByName) {
  XmlResults r{};
  XmlParserNode p = Parse("<Product><File n=1/><Note/><file n=2/><FILE n=3/></Product>", &r, "product");
  ASSERT_EQ(kXmlNoError, r.error);
  EXPECT_EQ(3, p.CountChildNodes("File"));
  int position = 0;
  std::string seen;
  for (XmlParserNode f = p.GetChildNode("file", &position); !f.IsEmpty();
       f = p.GetChildNode("file", &position)) {
    seen += f.GetAttribute("n");
  }
  EXPECT_EQ("123", seen);
  EXPECT_EQ(4, position);
  EXPECT_STREQ("Note", p.GetChildNodeByIndex(1).GetName());
  EXPECT_TRUE(p.GetChildNodeByIndex(4).IsEmpty());
}

TEST(XmlParse, CompareTagNameDelimiters) {
  struct Row {
    const char* name;
    const char* text;
    bool differ;
  } rows[] = {
      {"item", "ITEM>", false},  {"item", "item ", false},  {"item", "item/", false},
      {"item", "item=", false},  {"item", "item\t", false}, {"item", "item\r", false},
      {"item", "item\n", false}, {"item", "item<", false},  {"item", "items>", true},
      {"item", "item", true},    {"item", "ite", true},     {nullptr, "item>", true},
      {"a\x81", "a\x81", true},  // a lone lead byte at the end never reads past the NUL
  };
  for (const Row& row : rows) EXPECT_EQ(row.differ, CompareTagName(row.name, row.text)) << row.text;
}

TEST(XmlParse, BadInputNeverCrashes) {
  XmlResults r{};
  // A 10 MB attribute value, closed and unclosed.
  std::string big = "<a b=\"" + std::string(10 * 1024 * 1024, 'x') + "\"/>";
  XmlParserNode a = Parse(big.c_str(), &r, "a");
  EXPECT_EQ(kXmlNoError, r.error);
  EXPECT_EQ(10u * 1024 * 1024, strlen(a.GetAttribute("b")));
  big.resize(big.size() - 3);
  EXPECT_TRUE(Parse(big.c_str(), &r).IsEmpty());
  EXPECT_EQ(kXmlUnmatchedQuote, r.error);
  // Exactly the deepest nesting allowed, closed again.
  std::string deep = Nested(kXmlMaxDepth);
  for (int i = kXmlMaxDepth - 1; i >= 0; --i) deep += i % 2 ? "</b>" : "</a>";
  EXPECT_FALSE(Parse(deep.c_str(), &r).IsEmpty());
  EXPECT_EQ(kXmlNoError, r.error);
  // 100,000 siblings are read in linear time.
  std::string wide = "<r>";
  for (int i = 0; i < 100000; ++i) wide += "<i/>";
  EXPECT_EQ(100000, Parse(wide.c_str(), &r, "r").GetChildCount());
}

TEST(XmlParse, UnescapeText) {
  char* s = XmlParserNode::UnescapeText("a&LT;b&gt;&amp;&apos;&quot;", 100);
  EXPECT_STREQ("a<b>&'\"", s);
  free(s);
  s = XmlParserNode::UnescapeText("x&amp;y", 3);  // only the bytes asked for
  EXPECT_EQ(nullptr, s);
  s = XmlParserNode::UnescapeText("x&amp;y", 6);
  EXPECT_STREQ("x&", s);
  free(s);
  EXPECT_EQ(nullptr, XmlParserNode::UnescapeText("&nbsp;", 6));
  EXPECT_EQ(nullptr, XmlParserNode::UnescapeText(nullptr, 6));
}

}  // namespace
