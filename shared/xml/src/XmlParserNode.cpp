// The handle, the node blocks, queries and building. The reader is in
// XmlParser.cpp, the writer and the entity functions in XmlWriter.cpp.
#include <xml/XmlParserNode.h>

#include "XmlArena.h"
#include "XmlCodePage.h"
#include "XmlNodeBlock.h"

#include <cstdlib>
#include <cstring>

const XmlClearTag kXmlClearTags[kXmlClearTagCount] = {
    {"<![CDATA[", "]]>"}, {"<PRE>", "</PRE>"}, {"<Script>", "</Script>"}, {"<!--", "-->"}, {"<!DOCTYPE", ">"},
};

// ---- text helpers

size_t XmlCharLength(const char* p) {
  const xmlcp::Tables& t = xmlcp::Current();
  return (t.lead[static_cast<unsigned char>(p[0])] && p[1] != 0) ? 2 : 1;
}

bool XmlEqualNoCase(const char* a, const char* b, size_t n) {
  const xmlcp::Tables& t = xmlcp::Current();
  size_t i = 0;
  while (i < n) {
    unsigned char ca = static_cast<unsigned char>(a[i]);
    unsigned char cb = static_cast<unsigned char>(b[i]);
    if (ca == 0 || cb == 0) return ca == cb;
    if (t.lead[ca] && i + 1 < n && a[i + 1] != 0) {
      // A double-byte character compares as a whole, never folded.
      if (ca != cb || a[i + 1] != b[i + 1]) return false;
      i += 2;
      continue;
    }
    if (t.lower[ca] != t.lower[cb]) return false;
    ++i;
  }
  return true;
}

bool CompareTagName(const char* name, const char* text) {
  if (!name || !text) return true;
  size_t n = strlen(name);
  if (!XmlEqualNoCase(text, name, n)) return true;
  switch (text[n]) {
    case '\n':
    case ' ':
    case '\t':
    case '\r':
    case '/':
    case '<':
    case '>':
    case '=':
      return false;
    default:
      return true;
  }
}

// ---- blocks

namespace {

// Grows one of the node's arrays to hold one more entry, doubling its
// capacity. A reader's node grows in its arena, where the old array stays
// until the document goes: the doubling bounds that to the array's own size.
template <typename T>
bool Reserve(const XmlNodeBlock* b, T*& items, int count, int& capacity) {
  if (count < capacity) return true;
  if (capacity > (1 << 28)) return false;
  int wanted = capacity < 8 ? 8 : capacity * 2;
  T* grown = nullptr;
  if (b->arena) {
    grown = b->arena->Allocate<T>(static_cast<size_t>(wanted));
    if (grown && count > 0) memcpy(grown, items, sizeof(T) * static_cast<size_t>(count));
  } else {
    grown = static_cast<T*>(realloc(items, sizeof(T) * static_cast<size_t>(wanted)));
  }
  if (!grown) return false;
  items = grown;
  capacity = wanted;
  return true;
}

bool ReserveOrder(XmlNodeBlock* b) { return Reserve(b, b->order, b->orderCount, b->orderCapacity); }

int DepthOf(const XmlNodeBlock* b) {
  int depth = 0;
  for (const XmlNodeBlock* p = b->parent; p; p = p->parent) ++depth;
  return depth;
}

// Names the writer puts out verbatim must come back as one name.
bool IsWritableName(const char* name) {
  if (!name || !*name) return false;
  char first = name[0];
  if (first == '"' || first == '\'' || first == '/' || first == '?' || first == '!') return false;
  size_t n = 0;
  for (const char* p = name; *p; ++p, ++n) {
    switch (*p) {
      case ' ':
      case '\t':
      case '\r':
      case '\n':
      case '<':
      case '>':
      case '=':
        return false;
      default:
        break;
    }
  }
  char last = name[n - 1];
  if (last == '/' || last == '?') return false;
  // "<PRE>" and "<Script>" open clear sections when read.
  return !(n == 3 && XmlEqualNoCase(name, "PRE", 3)) && !(n == 6 && XmlEqualNoCase(name, "Script", 6));
}

bool EndsInLeadByte(const char* text) {
  const xmlcp::Tables& t = xmlcp::Current();
  bool lone = false;
  for (const char* p = text; *p;) {
    size_t n = XmlCharLength(p);
    lone = n == 1 && t.lead[static_cast<unsigned char>(*p)];
    p += n;
  }
  return lone;
}

void RemoveChild(XmlNodeBlock* parent, XmlNodeBlock* child) {
  int index = -1;
  for (int i = 0; i < parent->childCount; ++i) {
    if (parent->children[i] == child) {
      index = i;
      break;
    }
  }
  if (index < 0) return;
  memmove(parent->children + index, parent->children + index + 1,
          sizeof(XmlNodeBlock*) * static_cast<size_t>(parent->childCount - index - 1));
  --parent->childCount;
  int out = 0;
  for (int i = 0; i < parent->orderCount; ++i) {
    int entry = parent->order[i];
    if ((entry & 3) == kXmlChild) {
      int at = entry >> 2;
      if (at == index) continue;
      if (at > index) entry = ((at - 1) << 2) | kXmlChild;
    }
    parent->order[out++] = entry;
  }
  parent->orderCount = out;
}

}  // namespace

XmlNodeBlock* XmlNodeOps::NewBlock(char* name, int isDeclaration) {
  XmlNodeBlock* b = static_cast<XmlNodeBlock*>(calloc(1, sizeof(XmlNodeBlock)));
  if (!b) return nullptr;
  b->name = name;
  b->isDeclaration = isDeclaration ? 1 : 0;
  b->refCount = 1;
  return b;
}

XmlNodeBlock* XmlNodeOps::NewBlock(XmlArena* arena, const char* name, size_t n, int isDeclaration) {
  XmlNodeBlock* b = arena->Allocate<XmlNodeBlock>(1);
  if (!b) return nullptr;
  memset(b, 0, sizeof(XmlNodeBlock));
  if (name) {
    b->name = arena->CopyText(name, n);
    if (!b->name) return nullptr;  // the block stays in the arena, unused
  }
  b->isDeclaration = isDeclaration ? 1 : 0;
  b->refCount = 1;
  b->arena = arena;
  XmlArena::AddRef(arena);
  return b;
}

void XmlNodeOps::Release(XmlNodeBlock* b) {
  if (--b->refCount > 0) return;
  if (b->parent) RemoveChild(b->parent, b);
  // The depth of every tree is bounded (kXmlMaxDepth), so this recursion is too.
  for (int i = 0; i < b->childCount; ++i) {
    b->children[i]->parent = nullptr;
    Release(b->children[i]);
  }
  for (int i = b->arenaTexts; i < b->textCount; ++i) free(b->texts[i]);
  for (int i = b->arenaClears; i < b->clearCount; ++i) free(b->clears[i].value);
  for (int i = b->arenaAttributes; i < b->attributeCount; ++i) {
    free(b->attributes[i].name);
    free(b->attributes[i].value);
  }
  if (b->arena) {
    XmlArena::Release(b->arena);
    return;
  }
  free(b->children);
  free(b->texts);
  free(b->clears);
  free(b->attributes);
  free(b->order);
  free(b->name);
  free(b);
}

bool XmlNodeOps::AppendChild(XmlNodeBlock* b, XmlNodeBlock* child) {
  if (!ReserveOrder(b) || !Reserve(b, b->children, b->childCount, b->childCapacity)) return false;
  child->parent = b;
  b->order[b->orderCount++] = (b->childCount << 2) | kXmlChild;
  b->children[b->childCount++] = child;
  return true;
}

bool XmlNodeOps::AppendText(XmlNodeBlock* b, char* text) {
  if (!ReserveOrder(b) || !Reserve(b, b->texts, b->textCount, b->textCapacity)) return false;
  b->order[b->orderCount++] = (b->textCount << 2) | kXmlText;
  b->texts[b->textCount++] = text;
  return true;
}

bool XmlNodeOps::AppendAttribute(XmlNodeBlock* b, char* name, char* value) {
  if (!ReserveOrder(b) || !Reserve(b, b->attributes, b->attributeCount, b->attributeCapacity)) return false;
  b->order[b->orderCount++] = (b->attributeCount << 2) | kXmlAttribute;
  b->attributes[b->attributeCount++] = XmlAttribute{name, value};
  return true;
}

bool XmlNodeOps::AppendClear(XmlNodeBlock* b, char* value, const XmlClearTag& tag) {
  if (!ReserveOrder(b) || !Reserve(b, b->clears, b->clearCount, b->clearCapacity)) return false;
  b->order[b->orderCount++] = (b->clearCount << 2) | kXmlClearSection;
  b->clears[b->clearCount++] = XmlClear{tag.open, value, tag.close};
  return true;
}

// ---- handle

XmlParserNode::XmlParserNode(XmlNodeBlock* block, bool addRef) : m_block(block) {
  if (m_block && addRef) XmlNodeOps::AddRef(m_block);
}

XmlParserNode::XmlParserNode(const XmlParserNode& other) : m_block(other.m_block) {
  if (m_block) XmlNodeOps::AddRef(m_block);
}

XmlParserNode& XmlParserNode::operator=(const XmlParserNode& other) {
  if (this == &other || m_block == other.m_block) return *this;
  XmlNodeBlock* old = m_block;
  m_block = other.m_block;
  if (m_block) XmlNodeOps::AddRef(m_block);
  if (old) XmlNodeOps::Release(old);
  return *this;
}

XmlParserNode::~XmlParserNode() {
  if (m_block) XmlNodeOps::Release(m_block);
}

const char* XmlParserNode::GetErrorText(int code) {
  static const char* const kTexts[] = {
      "No error",
      "No XML data",
      "First token not start tag",
      "Missing start tag name",
      "Missing end tag name",
      "Unmatched quote",
      "Unmatched end tag",
      "Unexpected token found",
      "Invalid tag found",
      "No elements found",
      "File not found",
      "First Tag not found",
      "Unknown entity",
      "Nesting too deep",
  };
  if (code < 0 || code >= static_cast<int>(sizeof(kTexts) / sizeof(kTexts[0]))) return "Unknown";
  return kTexts[code];
}

// ---- queries

const char* XmlParserNode::GetName() const { return m_block ? m_block->name : nullptr; }
bool XmlParserNode::IsDeclaration() const { return m_block && m_block->isDeclaration; }
int XmlParserNode::GetChildCount() const { return m_block ? m_block->childCount : 0; }
int XmlParserNode::GetTextCount() const { return m_block ? m_block->textCount : 0; }
int XmlParserNode::GetClearCount() const { return m_block ? m_block->clearCount : 0; }
int XmlParserNode::GetAttributeCount() const { return m_block ? m_block->attributeCount : 0; }
int XmlParserNode::GetElementCount() const {
  if (!m_block) return 0;
  return m_block->childCount + m_block->textCount + m_block->clearCount + m_block->attributeCount;
}

namespace {

bool NamesEqual(const char* a, const char* b) {
  if (!a || !b) return false;
  size_t n = strlen(b);
  return strlen(a) == n && XmlEqualNoCase(a, b, n);
}

}  // namespace

int XmlParserNode::CountChildNodes(const char* name) const {
  if (!m_block) return 0;
  int count = 0;
  for (int i = 0; i < m_block->childCount; ++i) {
    if (NamesEqual(m_block->children[i]->name, name)) ++count;
  }
  return count;
}

XmlParserNode XmlParserNode::GetChildNode(const char* name, int* position) const {
  if (!m_block) return XmlParserNode();
  int start = position && *position > 0 ? *position : 0;
  for (int i = start; i < m_block->childCount; ++i) {
    if (NamesEqual(m_block->children[i]->name, name)) {
      if (position) *position = i + 1;
      return XmlParserNode(m_block->children[i], true);
    }
  }
  return XmlParserNode();
}

XmlParserNode XmlParserNode::GetChildNodeAt(const char* name, int n) const {
  if (n < 0) return XmlParserNode();
  int position = 0;
  XmlParserNode found;
  for (int i = 0; i <= n; ++i) {
    found = GetChildNode(name, &position);
    if (found.IsEmpty()) break;
  }
  return found;
}

XmlParserNode XmlParserNode::GetChildNodeByIndex(int i) const {
  if (!m_block || i < 0 || i >= m_block->childCount) return XmlParserNode();
  return XmlParserNode(m_block->children[i], true);
}

const char* XmlParserNode::GetAttribute(const char* name, int* position) const {
  if (!m_block) return nullptr;
  int start = position && *position > 0 ? *position : 0;
  for (int i = start; i < m_block->attributeCount; ++i) {
    if (NamesEqual(m_block->attributes[i].name, name)) {
      if (position) *position = i + 1;
      return m_block->attributes[i].value;
    }
  }
  return nullptr;
}

const char* XmlParserNode::GetAttributeAt(const char* name, int n) const {
  if (!m_block || n < 0) return nullptr;
  int seen = 0;
  for (int i = 0; i < m_block->attributeCount; ++i) {
    if (NamesEqual(m_block->attributes[i].name, name) && seen++ == n) return m_block->attributes[i].value;
  }
  return nullptr;
}

bool XmlParserNode::IsAttributeSet(const char* name) const {
  if (!m_block) return false;
  for (int i = 0; i < m_block->attributeCount; ++i) {
    if (NamesEqual(m_block->attributes[i].name, name)) return true;
  }
  return false;
}

XmlAttribute XmlParserNode::GetAttributeByIndex(int i) const {
  if (!m_block || i < 0 || i >= m_block->attributeCount) return XmlAttribute{nullptr, nullptr};
  return m_block->attributes[i];
}

const char* XmlParserNode::GetText(int i) const {
  if (!m_block || i < 0 || i >= m_block->textCount) return nullptr;
  return m_block->texts[i];
}

XmlClear XmlParserNode::GetClear(int i) const {
  if (!m_block || i < 0 || i >= m_block->clearCount) return XmlClear{nullptr, nullptr, nullptr};
  return m_block->clears[i];
}

XmlContents XmlParserNode::EnumContents(int i) const {
  XmlContents c{kXmlNone, XmlParserNode(), XmlAttribute{nullptr, nullptr}, nullptr,
                XmlClear{nullptr, nullptr, nullptr}};
  if (!m_block || i < 0 || i >= m_block->orderCount) return c;
  int entry = m_block->order[i];
  int index = entry >> 2;
  c.kind = static_cast<XmlContentKind>(entry & 3);
  switch (c.kind) {
    case kXmlChild:
      c.child = XmlParserNode(m_block->children[index], true);
      break;
    case kXmlAttribute:
      c.attribute = m_block->attributes[index];
      break;
    case kXmlText:
      c.text = m_block->texts[index];
      break;
    default:
      c.clear = m_block->clears[index];
      break;
  }
  return c;
}

// ---- building

XmlParserNode XmlParserNode::AddChild(char* name, int isDeclaration) {
  if (!m_block || !IsWritableName(name) || DepthOf(m_block) + 1 > kXmlMaxDepth) {
    free(name);
    return XmlParserNode();
  }
  XmlNodeBlock* child = XmlNodeOps::NewBlock(name, isDeclaration);
  if (!child) {
    free(name);
    return XmlParserNode();
  }
  if (!XmlNodeOps::AppendChild(m_block, child)) {
    XmlNodeOps::Release(child);
    return XmlParserNode();
  }
  return XmlParserNode(child, true);
}

XmlAttribute XmlParserNode::AddAttribute(char* name, char* value) {
  if (!m_block || !IsWritableName(name) || !XmlNodeOps::AppendAttribute(m_block, name, value)) {
    free(name);
    free(value);
    return XmlAttribute{nullptr, nullptr};
  }
  return m_block->attributes[m_block->attributeCount - 1];
}

char* XmlParserNode::AddText(char* text) {
  if (!m_block || !text || !XmlNodeOps::AppendText(m_block, text)) {
    free(text);
    return nullptr;
  }
  return text;
}

XmlClear XmlParserNode::AddClear(char* value, const char* openTag, const char* closeTag) {
  const XmlClearTag* tag = nullptr;
  if (openTag) {
    for (const XmlClearTag& row : kXmlClearTags) {
      if (NamesEqual(openTag, row.open)) tag = &row;
    }
  }
  // A value holding its own close marker would end the section early when read
  // back, and one ending in a lone lead byte would swallow the marker's first byte.
  bool ok = m_block && value && tag && (!closeTag || strcmp(closeTag, tag->close) == 0) &&
            strstr(value, tag->close) == nullptr && !EndsInLeadByte(value);
  if (!ok || !XmlNodeOps::AppendClear(m_block, value, *tag)) {
    free(value);
    return XmlClear{nullptr, nullptr, nullptr};
  }
  return m_block->clears[m_block->clearCount - 1];
}
