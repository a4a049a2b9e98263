// The node block behind an XmlParserNode handle, and the helpers the reader,
// the writer and the handle share. Defined in XmlParserNode.cpp unless noted.
#pragma once

#include <xml/XmlParserNode.h>

#include <cstddef>

class XmlArena;

// Who frees what: a node the reader made sits in its document's arena with
// its name and its arrays, and holds a reference on the arena until its own
// count reaches zero; a node a caller added comes from malloc with its name
// and arrays. In either kind the first arenaTexts texts (arenaClears clear
// values, arenaAttributes attributes) are the reader's, in the arena, and
// those after them were handed in by a caller and are freed with the node.
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
  XmlArena* arena;  // null for a node from malloc: a caller's, or the reader's when the arena ran dry
  int arenaTexts;
  int arenaClears;
  int arenaAttributes;
};

struct XmlClearTag {
  const char* open;
  const char* close;
};
constexpr int kXmlClearTagCount = 5;
extern const XmlClearTag kXmlClearTags[kXmlClearTagCount];

struct XmlNodeOps {
  // A caller's node, owning the malloc'd name.
  static XmlNodeBlock* NewBlock(char* name, int isDeclaration);
  // A reader's node in the arena, with a copy of n bytes of name (none when null).
  static XmlNodeBlock* NewBlock(XmlArena* arena, const char* name, size_t n, int isDeclaration);
  static void AddRef(XmlNodeBlock* b) { ++b->refCount; }
  static void Release(XmlNodeBlock* b);
  // A caller's additions. Each appends one order entry; false (and nothing
  // added) when memory runs out. Ownership of the texts passes on success only.
  // The reader fills its nodes' arrays in one go instead (XmlParser::Settle).
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
