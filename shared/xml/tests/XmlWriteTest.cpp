#include <xml/XmlParserNode.h>

#include "XmlTreeSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using xmltest::Dup;

namespace {

std::string Write(const XmlParserNode& node, int format) {
  int length = -1;
  char* text = node.CreateXmlString(format, &length);
  if (!text) return "(null)";
  std::string s(text, static_cast<size_t>(length));
  EXPECT_EQ(strlen(text), s.size());
  free(text);
  return s;
}

TEST(XmlWrite, FormattedAndCompactOutput) {
  XmlParserNode doc = XmlParserNode::ParseString("");
  XmlParserNode a = doc.AddChild(Dup("a"), 0);
  a.AddAttribute(Dup("b"), Dup("1"));
  a.AddText(Dup("t"));
  a.AddChild(Dup("c"), 0);
  EXPECT_EQ("<a b=\"1\">\n\tt\n\t<c/>\n</a>\n", Write(a, 1));
  EXPECT_EQ("<a b=\"1\">t<c/></a>", Write(a, 0));
  EXPECT_EQ("<a b=\"1\">t<c/></a>", Write(doc, 0));

  // A bare name stays bare (no value); an empty value is written as one.
  XmlParserNode decl = XmlParserNode::ParseString("<?xml version=\"1.0\"?><r k v=\"\"><!-- c --></r>");
  EXPECT_EQ("<?xml version=\"1.0\"?><r k v=\"\"><!-- c --></r>", Write(decl, 0));
  EXPECT_EQ("<?xml version=\"1.0\"?>\n\t<r k v=\"\">\n\t\t<!-- c -->\n\t</r>\n", Write(decl, 1));
  XmlParserNode r = doc.AddChild(Dup("r"), 0);
  r.AddAttribute(Dup("a"), Dup(""));
  r.AddAttribute(Dup("b"), Dup("1"));
  r.AddAttribute(Dup("c"), nullptr);
  EXPECT_EQ("<r a=\"\" b=\"1\" c/>", Write(r, 0));
  XmlResults results{};
  XmlParserNode back = XmlParserNode::ParseString(Write(r, 0).c_str(), "r", &results);
  ASSERT_EQ(kXmlNoError, results.error);
  EXPECT_STREQ("", back.GetAttribute("a"));
  EXPECT_STREQ("1", back.GetAttribute("b"));
  EXPECT_EQ(nullptr, back.GetAttribute("c"));
  EXPECT_TRUE(back.IsAttributeSet("c"));

  int length = 7;
  EXPECT_EQ(nullptr, XmlParserNode().CreateXmlString(1, &length));
  EXPECT_EQ(0, length);
}

TEST(XmlWrite, Escaping) {
  const char* raw = "\"a\" & 'b' <c>";
  EXPECT_EQ(strlen("&quot;a&quot; &amp; &apos;b&apos; &lt;c&gt;"), XmlParserNode::EscapedLength(raw));
  char out[64];
  char* end = XmlParserNode::EscapeText(raw, out);
  EXPECT_STREQ("&quot;a&quot; &amp; &apos;b&apos; &lt;c&gt;", out);
  EXPECT_EQ(out + strlen(out), end);
  EXPECT_EQ(0u, XmlParserNode::EscapedLength(nullptr));

  XmlParserNode doc = XmlParserNode::ParseString("");
  XmlParserNode e = doc.AddChild(Dup("e"), 0);
  e.AddAttribute(Dup("v"), Dup("x<\"y\">"));
  e.AddText(Dup("a & b"));
  EXPECT_EQ("<e v=\"x&lt;&quot;y&quot;&gt;\">a &amp; b</e>", Write(e, 0));
}

TEST(XmlWrite, BuildingRefusesWhatCannotBeReadBack) {
  XmlParserNode doc = XmlParserNode::ParseString("");
  XmlParserNode a = doc.AddChild(Dup("a"), 0);
  const char* badNames[] = {"",   "two words", "a<b", "a>b",  "a=b", "x/",  "\"q",
                            "'q", "/x",        "?x",  "!--x", "x?",  "pre", "SCRIPT"};
  for (const char* name : badNames) {
    EXPECT_TRUE(a.AddChild(Dup(name), 0).IsEmpty()) << name;
    EXPECT_EQ(nullptr, a.AddAttribute(Dup(name), Dup("v")).name) << name;
  }
  EXPECT_TRUE(a.AddChild(nullptr, 0).IsEmpty());
  EXPECT_EQ(nullptr, a.AddText(nullptr));
  EXPECT_EQ(nullptr, a.AddClear(Dup("x]]>y"), "<![CDATA[", "]]>").value);
  EXPECT_EQ(nullptr, a.AddClear(Dup("a -- b -->"), "<!--", "-->").value);
  EXPECT_EQ(nullptr, a.AddClear(Dup("x"), "<unknown>", ">").value);
  EXPECT_EQ(nullptr, a.AddClear(nullptr, "<!--", "-->").value);
  EXPECT_EQ(0, a.GetElementCount());
  EXPECT_TRUE(XmlParserNode().AddChild(Dup("x"), 0).IsEmpty());

  // Hand-built trees keep to the reader's depth limit.
  XmlParserNode node = a;
  for (int depth = 2; depth <= kXmlMaxDepth; ++depth) node = node.AddChild(Dup(depth % 2 ? "a" : "b"), 0);
  ASSERT_FALSE(node.IsEmpty());
  EXPECT_TRUE(node.AddChild(Dup("c"), 0).IsEmpty());
  XmlResults r{};
  char* text = doc.CreateXmlString(1);
  EXPECT_TRUE(xmltest::TreesEqual(doc, XmlParserNode::ParseString(text, nullptr, &r)));
  EXPECT_EQ(kXmlNoError, r.error);
  free(text);
}

TEST(XmlWrite, FreeingAChildHandleLastDetachesNothingElse) {
  XmlParserNode doc = XmlParserNode::ParseString("<r><a/><b/><c/></r>");
  XmlParserNode b = doc.GetChildNode("r").GetChildNode("b");
  doc = XmlParserNode();  // the tree goes; the handle keeps its node
  EXPECT_STREQ("b", b.GetName());
  EXPECT_EQ("<b/>", Write(b, 0));
}

TEST(XmlWrite, ReadWriteReadIsEqualInBothFormats) {
  const char* fixtures[] = {
      "<?xml version=\"1.0\" encoding=\"x\"?>\n<Product name=\"Melodara\" version='2.1'>\n"
      "  <File path=\"a&amp;b.dll\" size=12 md5>text &lt;here&gt;<!-- note --></File>\n"
      "  <Script>if (a < b) {}</Script><![CDATA[ raw <x> ]]>\n</Product>",
      "<p>one<p>two &apos;2&apos;</p><q a=\"x y\" b/>",
      "<a>x &amp; y<b/>y &amp; z<c>\t deep\t text </c></a>",
  };
  for (const char* fixture : fixtures) {
    XmlResults r{};
    XmlParserNode first = XmlParserNode::ParseString(fixture, nullptr, &r);
    ASSERT_EQ(kXmlNoError, r.error) << fixture;
    for (int format = 0; format < 2; ++format) {
      std::string written = Write(first, format);
      XmlParserNode second = XmlParserNode::ParseString(written.c_str(), nullptr, &r);
      std::string why;
      EXPECT_EQ(kXmlNoError, r.error) << written;
      EXPECT_TRUE(xmltest::TreesEqual(first, second, &why)) << why << "\n" << written;
    }
  }
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    XmlParserNode tree = xmltest::GenerateTree(seed, 300, 2 + static_cast<int>(seed % 30));
    for (int format = 0; format < 2; ++format) {
      std::string written = Write(tree, format);
      XmlResults r{};
      XmlParserNode back = XmlParserNode::ParseString(written.c_str(), nullptr, &r);
      std::string why;
      ASSERT_EQ(kXmlNoError, r.error) << "seed " << seed;
      ASSERT_TRUE(xmltest::TreesEqual(tree, back, &why)) << "seed " << seed << ": " << why;
    }
  }
}

}  // namespace
