#include <xml/XmlParserNode.h>

#include <testsupport/SmfBuilder.h>
#include <testsupport/TempDir.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using testsupport::Bytes;

Bytes Ascii(const std::string& s) { return Bytes(s.begin(), s.end()); }

// UTF-16 bytes of the units (little-endian unless asked), with a byte-order mark when asked.
Bytes Utf16(const std::u16string& s, bool bom, bool bigEndian = false) {
  Bytes b;
  if (bom) b = {0xFF, 0xFE};
  for (char16_t u : s) {
    b.push_back(static_cast<uint8_t>(u & 0xFF));
    b.push_back(static_cast<uint8_t>(u >> 8));
  }
  if (bigEndian)
    for (size_t i = 0; i + 1 < b.size(); i += 2) std::swap(b[i], b[i + 1]);
  return b;
}

struct FileCase {
  const char* what;
  Bytes bytes;
  const char* firstTag;
  int code;
};

TEST(XmlFile, BadFilesGiveAnErrorResult) {
  testsupport::TempDir dir;
  Bytes oddUtf16 = Utf16(u"<r a=\"1\"/>", true);
  oddUtf16.push_back('x');
  const FileCase cases[] = {
      {"empty file", {}, nullptr, kXmlNoError},
      {"empty file with a first tag", {}, "Product", kXmlFirstTagNotFound},
      {"truncated in a comment", Ascii("<Product><!-- cut"), "Product", kXmlUnmatchedEndTag},
      {"truncated in CDATA", Ascii("<Product><![CDATA[cut"), "Product", kXmlUnmatchedEndTag},
      {"truncated in an attribute value", Ascii("<Product name=\"cu"), "Product", kXmlUnmatchedQuote},
      {"a NUL byte inside", Ascii(std::string("<Product>a\0b</Product>", 22)), "Product",
       kXmlUnexpectedToken},
      {"a NUL byte last", Ascii(std::string("<Product/>\0", 11)), "Product", kXmlUnexpectedToken},
      {"a NUL unit in UTF-16", Utf16(std::u16string(u"<r>a\0b</r>", 10), true), "r", kXmlUnexpectedToken},
      {"UTF-16 of odd length", oddUtf16, "r", kXmlNoError},
      {"UTF-16 with a lone surrogate", Utf16(u"<r a=\"\xD800\"/>", true), "r", kXmlNoError},
      {"a byte-order mark alone", {0xFF, 0xFE}, "r", kXmlFirstTagNotFound},
      {"one byte", {'<'}, nullptr, kXmlMissingStartTagName},
  };
  int n = 0;
  for (const FileCase& c : cases) {
    std::string path = dir.File("case" + std::to_string(n++) + ".xml");
    ASSERT_TRUE(testsupport::WriteBytes(path, c.bytes));
    XmlResults r{-1, -1, -1, -1};
    XmlParserNode node = XmlParserNode::ParseFile(path.c_str(), c.firstTag, &r);
    EXPECT_EQ(c.code, r.error) << c.what;
    EXPECT_EQ(c.code != kXmlNoError, node.IsEmpty()) << c.what;
  }
  // A NUL is reported where it stands.
  std::string path = dir.File("zero.xml");
  ASSERT_TRUE(testsupport::WriteBytes(path, Ascii(std::string("<r>\n<a>x\0</a></r>", 17))));
  XmlResults at{};
  EXPECT_TRUE(XmlParserNode::ParseFile(path.c_str(), nullptr, &at).IsEmpty());
  EXPECT_EQ(kXmlUnexpectedToken, at.error);
  EXPECT_EQ(2, at.line);
  EXPECT_EQ(5, at.column);
  XmlResults r{};
  EXPECT_TRUE(XmlParserNode::ParseFile(dir.File("missing.xml").c_str(), nullptr, &r).IsEmpty());
  EXPECT_EQ(kXmlFileNotFound, r.error);
  EXPECT_TRUE(XmlParserNode::ParseFile(dir.Path().c_str(), nullptr, &r).IsEmpty());
  EXPECT_EQ(kXmlFileNotFound, r.error);
  EXPECT_TRUE(XmlParserNode::ParseFile(nullptr, nullptr, &r).IsEmpty());
  EXPECT_EQ(kXmlFileNotFound, r.error);
}

TEST(XmlFile, Utf16FilesAreConverted) {
  testsupport::TempDir dir;
  std::string path = dir.File("u.xml");
  // With and without a byte-order mark; without one the text statistics decide.
  // Big-endian text is known by its mark.
  const struct {
    bool bom;
    bool bigEndian;
  } forms[] = {{true, false}, {false, false}, {true, true}};
  for (const auto& form : forms) {
    ASSERT_TRUE(testsupport::WriteBytes(
        path, Utf16(u"<Product version=\"2.0\"><File>a &amp; b</File></Product>", form.bom, form.bigEndian)));
    XmlResults r{};
    XmlParserNode p = XmlParserNode::ParseFile(path.c_str(), "product", &r);
    ASSERT_EQ(kXmlNoError, r.error) << form.bom << form.bigEndian;
    EXPECT_STREQ("2.0", p.GetAttribute("version"));
    EXPECT_STREQ("a & b", p.GetChildNode("File").GetText(0));
    EXPECT_EQ(1, XmlParserNode::ParseFile(path.c_str(), nullptr, &r).GetElementCount())
        << "no mark in the text";
  }
  // A UTF-8 byte-order mark is no text of the root, in a file or a downloaded text.
  const std::string utf8 = "\xEF\xBB\xBF<r a=\"1\"/>";
  ASSERT_TRUE(testsupport::WriteBytes(path, Ascii(utf8)));
  for (XmlParserNode doc : {XmlParserNode::ParseFile(path.c_str(), nullptr, nullptr),
                            XmlParserNode::ParseString(utf8.c_str(), nullptr, nullptr)}) {
    EXPECT_EQ(0, doc.GetTextCount());
    EXPECT_EQ(1, doc.GetElementCount());
    EXPECT_STREQ("1", doc.GetChildNode("r").GetAttribute("a"));
  }
  // 8-bit markup is never taken for UTF-16, whatever its statistics.
  ASSERT_TRUE(testsupport::WriteBytes(path, Ascii("<ab><cd>ef</cd></ab>")));
  XmlResults r{};
  EXPECT_STREQ("ef", XmlParserNode::ParseFile(path.c_str(), "ab", &r).GetChildNode("cd").GetText(0));
}

// Every unit of a double-byte code page's text can need two bytes: the whole
// text must come through, not the first half of it.
TEST(XmlFile, Utf16ToDoubleByteCodePage) {
  const char* expectAcp = getenv("XML_EXPECT_ACP");
  if (expectAcp) {
    ASSERT_EQ(static_cast<UINT>(atoi(expectAcp)), GetACP());
  }
  std::u16string chinese;
  for (int i = 0; i < 200; ++i) chinese += u"\u4E2D\u6587";
  testsupport::TempDir dir;
  std::string path = dir.File("cjk.xml");
  ASSERT_TRUE(testsupport::WriteBytes(path, Utf16(u"<r t=\"" + chinese + u"\">" + chinese + u"</r>", true)));
  XmlResults r{};
  XmlParserNode node = XmlParserNode::ParseFile(path.c_str(), "r", &r);
  ASSERT_EQ(kXmlNoError, r.error);
  if (GetACP() == 936) {
    std::string gbk;
    for (int i = 0; i < 200; ++i) gbk += "\xD6\xD0\xCE\xC4";
    EXPECT_EQ(gbk, node.GetAttribute("t"));
    EXPECT_EQ(gbk, node.GetText(0));
    // Double-byte names compare as whole characters.
    XmlParserNode doc = XmlParserNode::ParseString("<\xD6\xD0 a=1>x</\xD6\xD0><b\x81", nullptr, &r);
    EXPECT_EQ(kXmlNoError, r.error);
    EXPECT_EQ(1, doc.CountChildNodes("\xD6\xD0"));
    EXPECT_TRUE(CompareTagName("b\x81", "b\x81"));
  } else {
    EXPECT_EQ(400u, strlen(node.GetAttribute("t")));
  }
}

}  // namespace

namespace {

// The one operation that ends the process, as its name says; nothing reads
// downloaded text through it.
TEST(XmlFileDeathTest, OpenFileOrExitEndsTheProcessOnError) {
  testing::FLAGS_gtest_death_test_style = "threadsafe";
  EXPECT_EXIT(XmlParserNode::OpenFileOrExit("no such file.xml", "Product"), testing::ExitedWithCode(255), "");
}

}  // namespace
