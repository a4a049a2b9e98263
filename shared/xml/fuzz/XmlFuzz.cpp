// Fuzz target: any bytes through the reader, both writers and the reader again.
// A tree the reader made must read back equal from what the writer makes of it.
#include <xml/XmlParserNode.h>

#include "../tests/XmlTreeSupport.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Whether the writer can put the tree out as it came in: names the builder
// would refuse (the reader takes any run of bytes up to a delimiter as a name)
// and two shapes only odd input makes cannot come back.
bool Writable(const XmlParserNode& node) {
  const char* name = node.GetName();
  if (name) {
    size_t n = strlen(name);
    char first = name[0];
    if (first == '/' || first == '?' || first == '!' || first == '"' || first == '\'') return false;
    if (name[n - 1] == '?' || name[n - 1] == '/') return false;
    if (!CompareTagName("PRE", (std::string(name) + ">").c_str())) return false;
    if (!CompareTagName("Script", (std::string(name) + ">").c_str())) return false;
  }
  for (int i = 0; i < node.GetAttributeCount(); ++i) {
    const char* a = node.GetAttributeByIndex(i).name;
    size_t n = strlen(a);
    if (a[0] == '"' || a[0] == '\'' || a[n - 1] == '?' || a[n - 1] == '/') return false;
  }
  // A declaration holds everything after it once written ("<?x?>" has no end),
  // so only one that "/>" closed can have siblings after it.
  for (int i = 0; i + 1 < node.GetElementCount(); ++i) {
    XmlContents c = node.EnumContents(i);
    if (c.kind == kXmlChild && c.child.IsDeclaration()) return false;
  }
  // Nor does a declaration end its last text, which then reads as trailing text.
  if (node.IsDeclaration() && node.GetElementCount() > 0 &&
      node.EnumContents(node.GetElementCount() - 1).kind == kXmlText) {
    return false;
  }
  for (int i = 0; i < node.GetChildCount(); ++i) {
    XmlParserNode child = node.GetChildNodeByIndex(i);
    // Only the end of the text nests an element in one of its own name ("<a><a"):
    // written out, the inner start tag closes the outer element.
    if (name && !CompareTagName(name, (std::string(child.GetName()) + ">").c_str())) return false;
    if (!Writable(child)) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  XmlResults r{};
  XmlParserNode tree = XmlParserNode::ParseString(text.c_str(), nullptr, &r);
  if (r.error != kXmlNoError) {
    if (!tree.IsEmpty() || r.line < 1 || r.column < 1) abort();
    return 0;
  }
  if (r.line != 0 || tree.IsEmpty()) abort();
  // A text last in the unnamed root is dropped when read back, as any text after the last element.
  bool checkEqual = Writable(tree) && tree.GetTextCount() == 0;
  for (int format = 0; format < 2; ++format) {
    int length = 0;
    char* written = tree.CreateXmlString(format, &length);
    if (!written || static_cast<size_t>(length) != strlen(written)) abort();
    XmlResults again{};
    XmlParserNode back = XmlParserNode::ParseString(written, nullptr, &again);
    std::string why;
    if (checkEqual && (again.error != kXmlNoError || !xmltest::TreesEqual(tree, back, &why))) {
      fprintf(stderr, "round trip (format %d) differs: error %d, %s\n--- written:\n%s\n", format, again.error,
              why.c_str(), written);
      abort();
    }
    free(written);
  }
  // The queries on what was read.
  for (int i = 0; i < tree.GetElementCount(); ++i) tree.EnumContents(i);
  tree.GetChildNodeAt("a", 2);
  return 0;
}
