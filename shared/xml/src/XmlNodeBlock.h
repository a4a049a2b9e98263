// The node block behind an XmlParserNode handle, and the helpers the reader,
// the writer and the handle share. Defined in XmlParserNode.cpp unless noted.
#pragma once

#include <xml/XmlParserNode.h>

#include <cstddef>

struct XmlNodeBlock {
  char* name;  // null only for the document root made by the parser
  int childCount;
  int textCount;
  int clearCount;
  int attributeCount;
  int isDeclaration;
  XmlNodeBlock* parent;     // not a reference: cleared when the parent is freed
  XmlNodeBlock** children;  // each holds one reference
  char** texts;
  XmlClear* clears;
  XmlAttribute* attributes;
  int* order;  // document order: index * 4 + kind
  int orderCount;
  // Capacities, kept apart from the counts so that growth is geometric.
  int childCapacity;
  int textCapacity;
  int clearCapacity;
  int attributeCapacity;
  int orderCapacity;
  int refCount;
};

struct XmlClearTag {
  const char* open;
  const char* close;
};
constexpr int kXmlClearTagCount = 5;
extern const XmlClearTag kXmlClearTags[kXmlClearTagCount];

struct XmlNodeOps {
  static XmlNodeBlock* NewBlock(char* name, int isDeclaration);
  static void AddRef(XmlNodeBlock* b) { ++b->refCount; }
  static void Release(XmlNodeBlock* b);
  // Each appends one order entry; false (and nothing added) when memory runs out.
  // Ownership of the texts passes on success only.
  static bool AppendChild(XmlNodeBlock* b, XmlNodeBlock* child);
  static bool AppendText(XmlNodeBlock* b, char* text);
  static bool AppendAttribute(XmlNodeBlock* b, char* name, char* value);
  static bool AppendClear(XmlNodeBlock* b, char* value, const XmlClearTag& tag);
  static XmlParserNode Wrap(XmlNodeBlock* b, bool addRef) { return XmlParserNode(b, addRef); }
  static XmlNodeBlock* Block(const XmlParserNode& n) { return n.m_block; }
};

// Multibyte-aware, case-insensitive: do the first n bytes of a equal b's?
// A lead byte followed by the end of either text counts as a single byte.
bool XmlEqualNoCase(const char* a, const char* b, size_t n);
// Length of the character at p: 2 for a lead byte with a trail byte, else 1.
size_t XmlCharLength(const char* p);
// A copy of n bytes as a NUL-terminated malloc'd text, or null.
char* XmlCopyText(const char* text, size_t n);
