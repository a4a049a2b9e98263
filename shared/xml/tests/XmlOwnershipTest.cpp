// Who keeps what alive: the reader's nodes and texts live in their document's
// arena, nodes and texts a caller adds are the caller's allocations handed
// over; both mix in one tree, and any handle keeps what it reaches readable
// whichever handle goes first. The native build under AddressSanitizer
// (tests/run-native) is where a node or text freed too early shows.
#include <xml/XmlParserNode.h>

#include "XmlTreeSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using xmltest::Dup;

namespace {

std::string Write(const XmlParserNode& node) {
  int length = 0;
  char* text = node.CreateXmlString(0, &length);
  if (!text) return "(null)";
  std::string s(text, static_cast<size_t>(length));
  free(text);
  return s;
}

// The node at a path of names below the node ("a/b"; "" is the node itself).
XmlParserNode Walk(XmlParserNode node, const std::string& path) {
  size_t start = 0;
  while (start < path.size() && !node.IsEmpty()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    node = node.GetChildNode(path.substr(start, slash - start).c_str());
    start = slash + 1;
  }
  return node;
}

const char kDocument[] =
    "<?xml version=\"1.0\"?><r k=\"v\"><a x=\"1\">one<!-- c --><b "
    "y=\"2\">two<![CDATA[<raw>]]></b></a><z/></r>";

TEST(XmlOwnership, AParsedNodeOutlivesItsDocumentsHandle) {
  const struct {
    const char* path;
    const char* written;
  } rows[] = {
      {"xml/r", "<r k=\"v\"><a x=\"1\">one<!-- c --><b y=\"2\">two<![CDATA[<raw>]]></b></a><z/></r>"},
      {"xml/r/a", "<a x=\"1\">one<!-- c --><b y=\"2\">two<![CDATA[<raw>]]></b></a>"},
      {"xml/r/a/b", "<b y=\"2\">two<![CDATA[<raw>]]></b>"},
      {"xml/r/z", "<z/>"},
  };
  for (const auto& row : rows) {
    XmlParserNode kept;
    {
      XmlParserNode doc = XmlParserNode::ParseString(kDocument);
      kept = Walk(doc, row.path);
      ASSERT_FALSE(kept.IsEmpty()) << row.path;
    }
    EXPECT_EQ(row.written, Write(kept)) << row.path;
    // A caller's node, attribute and text on the kept node, and one more
    // parsed document's worth of memory taken and freed in between.
    XmlParserNode added = kept.AddChild(Dup("n"), 0);
    added.AddText(Dup("new"));
    kept.AddAttribute(Dup("q"), Dup("w"));
    XmlParserNode::ParseString(kDocument);
    EXPECT_EQ("<n>new</n>", Write(added)) << row.path;
    EXPECT_STREQ("w", kept.GetAttribute("q")) << row.path;
  }
}

TEST(XmlOwnership, HandlesInOneDocumentGoInAnyOrder) {
  const char* const paths[] = {"", "xml/r", "xml/r/a", "xml/r/a/b", "xml/r/z"};
  const int count = static_cast<int>(sizeof(paths) / sizeof(paths[0]));
  // Release orders: each rotation of the list, forwards and backwards.
  for (int first = 0; first < count; ++first) {
    for (int backwards = 0; backwards < 2; ++backwards) {
      std::vector<XmlParserNode> handles;
      std::vector<std::string> written;
      {
        XmlParserNode doc = XmlParserNode::ParseString(kDocument);
        for (const char* path : paths) {
          handles.push_back(Walk(doc, path));
          written.push_back(Write(handles.back()));
        }
      }
      EXPECT_EQ(kDocument, written[0]);
      for (int i = 0; i < count; ++i) {
        handles[backwards ? (first - i + count) % count : (first + i) % count] = XmlParserNode();
        // Every handle still held writes what it did with all of them held.
        for (int j = 0; j < count; ++j) {
          if (handles[j].IsEmpty()) continue;
          EXPECT_EQ(written[j], Write(handles[j])) << paths[j] << ", order " << first;
        }
      }
    }
  }
}

// One line for each content, in document order.
std::vector<std::string> Contents(const XmlParserNode& node) {
  std::vector<std::string> lines;
  for (int i = 0; i < node.GetElementCount(); ++i) {
    XmlContents c = node.EnumContents(i);
    switch (c.kind) {
      case kXmlChild:
        lines.push_back(std::string("child ") + c.child.GetName());
        break;
      case kXmlAttribute:
        lines.push_back(std::string("attribute ") + c.attribute.name + "=" + c.attribute.value);
        break;
      case kXmlText:
        lines.push_back(std::string("text ") + c.text);
        break;
      default:
        lines.push_back(std::string("clear ") + c.clear.value);
        break;
    }
  }
  return lines;
}

TEST(XmlOwnership, CallerAdditionsToAParsedNodeKeepTheirOrderAndTheirTexts) {
  XmlParserNode doc = XmlParserNode::ParseString("<r a=\"1\">t<c/><!--x--></r>");
  XmlParserNode r = doc.GetChildNode("r");
  const char* parsedText = r.GetText(0);
  XmlAttribute parsedAttribute = r.GetAttributeByIndex(0);
  // Enough of each kind to outgrow the arrays the reader made to measure.
  std::vector<std::string> expected = {"attribute a=1", "text t", "child c", "clear x"};
  std::vector<XmlAttribute> added;
  for (int i = 0; i < 40; ++i) {
    const std::string n = std::to_string(i);
    switch (i % 4) {
      case 0: {
        // The node keeps the text it was handed, as it always has.
        char* handed = Dup(("t" + n).c_str());
        EXPECT_EQ(handed, r.AddText(handed));
        expected.push_back("text t" + n);
        break;
      }
      case 1:
        added.push_back(r.AddAttribute(Dup(("a" + n).c_str()), Dup(n.c_str())));
        expected.push_back("attribute a" + n + "=" + n);
        break;
      case 2:
        r.AddChild(Dup(("c" + n).c_str()), 0).AddText(Dup(n.c_str()));
        expected.push_back("child c" + n);
        break;
      default:
        r.AddClear(Dup(n.c_str()), "<!--", "-->");
        expected.push_back("clear " + n);
        break;
    }
  }
  EXPECT_EQ(expected, Contents(r));
  // Texts handed out before the arrays grew still read.
  EXPECT_STREQ("t", parsedText);
  EXPECT_STREQ("a", parsedAttribute.name);
  EXPECT_STREQ("1", parsedAttribute.value);
  for (size_t i = 0; i < added.size(); ++i) EXPECT_STREQ(std::to_string(4 * i + 1).c_str(), added[i].value);

  // A caller's child kept past the document keeps its own children, parsed
  // siblings kept with it keep theirs.
  XmlParserNode kept = r.GetChildNode("c2");
  kept.AddChild(Dup("g"), 0);
  XmlParserNode parsed = r.GetChildNode("c");
  parsed.AddChild(Dup("h"), 0).AddAttribute(Dup("k"), nullptr);
  doc = XmlParserNode();
  r = XmlParserNode();
  EXPECT_EQ("<c2>2<g/></c2>", Write(kept));
  EXPECT_EQ("<c><h k/></c>", Write(parsed));
}

// Freed documents leave chunks for the next ones: documents alive together
// must each get memory of their own, also from what another left.
TEST(XmlOwnership, DocumentsAliveTogetherKeepTheirOwnMemory) {
  // Large enough that every tree needs whole chunks past its first.
  std::vector<std::string> texts;
  std::vector<std::string> expected;
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    texts.push_back(xmltest::GenerateDocument(seed, 300 * 1024));
    expected.push_back(Write(XmlParserNode::ParseString(texts.back().c_str())));
  }
  for (int round = 0; round < 3; ++round) {
    std::vector<XmlParserNode> alive;
    for (const std::string& text : texts) alive.push_back(XmlParserNode::ParseString(text.c_str()));
    for (size_t i = 0; i < alive.size(); ++i) EXPECT_EQ(expected[i], Write(alive[i])) << "document " << i;
  }
}

}  // namespace
