#include "XmlTreeSupport.h"

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace xmltest {

namespace {

bool Same(const char* a, const char* b) {
  if (!a || !b) return a == b;
  return strcmp(a, b) == 0;
}

bool Fail(std::string* why, const std::string& text) {
  if (why) *why = text;
  return false;
}

}  // namespace

bool TreesEqual(const XmlParserNode& a, const XmlParserNode& b, std::string* why) {
  if (a.IsEmpty() || b.IsEmpty()) return a.IsEmpty() == b.IsEmpty() || Fail(why, "one node is empty");
  std::string where = a.GetName() ? a.GetName() : "(root)";
  if (!Same(a.GetName(), b.GetName())) return Fail(why, "name " + where);
  if (a.IsDeclaration() != b.IsDeclaration()) return Fail(why, "declaration flag at " + where);
  if (a.GetElementCount() != b.GetElementCount()) return Fail(why, "element count at " + where);
  for (int i = 0; i < a.GetElementCount(); ++i) {
    XmlContents ca = a.EnumContents(i);
    XmlContents cb = b.EnumContents(i);
    if (ca.kind != cb.kind) return Fail(why, "content kind at " + where + " #" + std::to_string(i));
    switch (ca.kind) {
      case kXmlChild:
        if (!TreesEqual(ca.child, cb.child, why)) return false;
        break;
      case kXmlAttribute: {
        // An empty value and no value at all are different answers to a reader.
        if (!Same(ca.attribute.name, cb.attribute.name) || !Same(ca.attribute.value, cb.attribute.value))
          return Fail(why, "attribute at " + where);
        break;
      }
      case kXmlText:
        if (!Same(ca.text, cb.text))
          return Fail(why, "text at " + where + ": '" + ca.text + "' / '" + cb.text + "'");
        break;
      default:
        if (!Same(ca.clear.openTag, cb.clear.openTag) || !Same(ca.clear.value, cb.clear.value)) {
          return Fail(why, "clear section at " + where);
        }
        break;
    }
  }
  return true;
}

char* Dup(const char* text) {
  size_t n = strlen(text);
  char* copy = static_cast<char*>(malloc(n + 1));
  memcpy(copy, text, n + 1);
  return copy;
}

namespace {

const char* const kNames[] = {"Product", "File",    "item", "Entry", "a",
                              "b",       "Section", "x-y",  "n.1",   "data_2"};
const char* const kWords[] = {"alpha", "b&c",       "<tag>", "\"quoted\"", "it's",
                              "x=y",   "tab\there", "a/>b",  "1 < 2",      "end"};

struct Generator {
  std::mt19937 rng;
  int remaining;
  int maxDepth;
  bool bareAttributes;

  int Pick(int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); }

  std::string Words(int count) {
    std::string s;
    for (int i = 0; i < count; ++i) {
      if (i) s += ' ';
      s += kWords[Pick(10)];
    }
    return s;
  }

  void Fill(XmlParserNode& node, const char* parentName, int depth, bool top = false) {
    int attributes = Pick(3);
    for (int i = 0; i < attributes; ++i) {
      std::string name = std::string("at") + std::to_string(i);
      node.AddAttribute(Dup(name.c_str()),
                        bareAttributes && Pick(5) == 0 ? nullptr : Dup(Words(1 + Pick(2)).c_str()));
    }
    bool lastWasText = false;
    int contents = top ? 1 << 30 : depth >= maxDepth ? Pick(2) : 1 + Pick(5);
    for (int i = 0; i < contents && remaining > 0; ++i) {
      int kind = top && lastWasText ? 0 : Pick(10);
      if (kind < 5 && depth < maxDepth) {
        const char* name = kNames[Pick(10)];
        if (parentName && strcmp(name, parentName) == 0) name = "other";
        --remaining;
        XmlParserNode child = node.AddChild(Dup(name), 0);
        Fill(child, name, depth + 1);
        lastWasText = false;
      } else if (kind < 8 && !lastWasText) {
        node.AddText(Dup(Words(1 + Pick(4)).c_str()));
        lastWasText = true;
      } else if (kind == 8) {
        node.AddClear(Dup((" note " + std::to_string(Pick(100)) + " ").c_str()), "<!--", "-->");
        lastWasText = false;
      } else {
        node.AddClear(Dup("<raw> & \"data\""), "<![CDATA[", "]]>");
        lastWasText = false;
      }
    }
  }
};

}  // namespace

XmlParserNode GenerateTree(uint32_t seed, int elements, int maxDepth, bool bareAttributes) {
  XmlParserNode document = XmlParserNode::ParseString("");
  Generator g{std::mt19937(seed), elements, maxDepth, bareAttributes};
  XmlParserNode top = document.AddChild(Dup("Document"), 0);
  g.Fill(top, "Document", 1, true);
  return document;
}

std::string GenerateDocument(uint32_t seed, size_t bytes, bool bareAttributes) {
  std::string out;
  std::mt19937 rng(seed);
  int n = 0;
  while (out.size() < bytes) {
    XmlParserNode tree = GenerateTree(rng(), 2000, 2 + static_cast<int>(rng() % 40), bareAttributes);
    int length = 0;
    char* text = tree.CreateXmlString(n++ % 2, &length);
    out.append(text, static_cast<size_t>(length));
    free(text);
  }
  return "<Root>" + out + "</Root>";
}

}  // namespace xmltest
