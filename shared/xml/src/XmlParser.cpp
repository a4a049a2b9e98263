// The reader: a tokenizer and a lenient recursive descent over elements.
#include <xml/XmlParserNode.h>

#include "XmlArena.h"
#include "XmlCodePage.h"
#include "XmlNodeBlock.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

// Defined in XmlWriter.cpp: unescapes n bytes into the arena (malloc without
// one); on an unknown entity answers null with *badOffset at its ampersand
// (SIZE_MAX when memory ran out instead).
char* XmlUnescape(const char* text, size_t n, size_t* badOffset, XmlArena* arena);

namespace {

enum TokenKind {
  kError,
  kClear,
  kQuotedText,
  kTagStart,
  kTagEnd,
  kDeclaration,
  kShortHandClose,
  kEquals,
  kCloseTag,
  kText
};

struct Token {
  TokenKind kind;
  size_t start;
  size_t length;
  const XmlClearTag* clear;
};

// Bytes that end a Text token (besides "/>").
struct StopTable {
  bool stop[256];
  StopTable() {
    memset(stop, 0, sizeof(stop));
    for (char c : {'\0', ' ', '\t', '\r', '\n', '<', '=', '>', '/'})
      stop[static_cast<unsigned char>(c)] = true;
  }
};
const StopTable kStops;

inline bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// One content of an element still being read; its texts are in the arena.
struct Pending {
  XmlContentKind kind;
  XmlNodeBlock* child;  // holds the parent's reference
  char* text;           // the text, attribute name or clear value
  char* value;          // the attribute's value
  const XmlClearTag* clear;
};

}  // namespace

struct XmlParser {
  const char* text;
  XmlArena* arena;  // every node, name and text read goes here
  size_t pos = 0;
  int error = kXmlNoError;
  size_t errorPos = 0;
  const char* pendingEnd = nullptr;  // an end tag that closes an outer element
  const char* pendingNew = nullptr;  // a start tag that closed the open element
  bool firstCall = true;
  int depth = 0;
  int unclosed = 0;  // elements open when the text ended

  // The contents of every open element, innermost last: an element's go into
  // arrays of their exact size when it ends (Settle), so the arena holds no
  // arrays outgrown on the way.
  Pending* pending = nullptr;
  size_t pendingCount = 0;
  size_t pendingCapacity = 0;

  XmlParser(const char* t, XmlArena* a) : text(t), arena(a) {}
  ~XmlParser() { free(pending); }
  XmlParser(const XmlParser&) = delete;
  XmlParser& operator=(const XmlParser&) = delete;

  bool Fail(int code, size_t at) {
    if (error == kXmlNoError) {
      error = code;
      errorPos = at;
    }
    return false;
  }

  Token Next(bool inTag = true);
  bool ParseElement(XmlNodeBlock* node);
  bool ReadContents(XmlNodeBlock* node);
  // False, and nothing kept, when memory runs out; as with a text the arena
  // had no room for, the document is read on without it.
  bool Push(const Pending& p);
  void Settle(XmlNodeBlock* node, size_t first);
  void NoteOpenAtEnd(const XmlNodeBlock* node);
  bool StoreText(size_t start, size_t end);
  bool AddChildNamed(XmlNodeBlock* node, size_t nameStart, bool declaration, XmlNodeBlock** child,
                     size_t tagPos);
  size_t FindClose(const char* marker) const;
};

// A quote opens a quoted value only inside a tag; in contents it is a
// character of the text ("it's"), or it would swallow the markup up to the
// next quote of its kind.
Token XmlParser::Next(bool inTag) {
  while (IsSpace(text[pos])) ++pos;
  Token t{kError, pos, 0, nullptr};
  char c = text[pos];
  if (c == 0) return t;
  if (c == '<') {
    // Every clear-section marker goes on with '!', 'P' or 'S'; most tags do not.
    const char second = static_cast<char>(text[pos + 1] | 0x20);
    const bool maybeClear = text[pos + 1] == '!' || second == 'p' || second == 's';
    for (const XmlClearTag& row : kXmlClearTags) {
      if (!maybeClear) break;
      size_t n = strlen(row.open);
      if (XmlEqualNoCase(text + pos, row.open, n)) {
        t.kind = kClear;
        t.clear = &row;
        t.length = n;
        pos += n;
        return t;
      }
    }
    char next = text[pos + 1];
    t.kind = next == '/' ? kTagEnd : next == '?' ? kDeclaration : kTagStart;
    t.length = t.kind == kTagStart ? 1 : 2;
    pos += t.length;
    return t;
  }
  if (inTag && (c == '"' || c == '\'')) {
    const char* close = strchr(text + pos + 1, c);
    if (!close) {
      pos += strlen(text + pos);
      Fail(kXmlUnmatchedQuote, pos);
      return t;
    }
    t.kind = kQuotedText;
    t.length = static_cast<size_t>(close - (text + pos)) + 1;
    pos += t.length;
    while (IsSpace(text[pos])) ++pos;
    return t;
  }
  if (c == '/' && text[pos + 1] == '>') {
    t.kind = kShortHandClose;
    t.length = 2;
    pos += 2;
    return t;
  }
  if (c == '=' || c == '>') {
    t.kind = c == '=' ? kEquals : kCloseTag;
    t.length = 1;
    pos += 1;
    return t;
  }
  t.kind = kText;
  size_t p = pos + 1;
  for (;;) {
    unsigned char b = static_cast<unsigned char>(text[p]);
    if (!kStops.stop[b] || (b == '/' && text[p + 1] != '>')) {
      ++p;
      continue;
    }
    break;
  }
  t.length = p - pos;
  pos = IsSpace(text[p]) ? p + 1 : p;
  return t;
}

bool XmlParser::StoreText(size_t start, size_t end) {
  while (end > start && IsSpace(text[end - 1])) --end;
  if (end == start) return true;
  size_t bad = 0;
  char* value = XmlUnescape(text + start, end - start, &bad, arena);
  if (!value) return bad == static_cast<size_t>(-1) ? true : Fail(kXmlUnknownEntity, start + bad);
  Push(Pending{kXmlText, nullptr, value, nullptr, nullptr});
  return true;
}

bool XmlParser::AddChildNamed(XmlNodeBlock* node, size_t nameStart, bool declaration, XmlNodeBlock** child,
                              size_t tagPos) {
  *child = nullptr;
  if (depth + 1 > kXmlMaxDepth) return Fail(kXmlNestingTooDeep, tagPos);
  size_t n = 0;
  const char* name = text + nameStart;
  while (!kStops.stop[static_cast<unsigned char>(name[n])] || (name[n] == '/' && name[n + 1] != '>')) ++n;
  // "<?xml?>": the question mark closes the declaration, as after its last attribute.
  if (declaration && n > 1 && name[n - 1] == '?') --n;
  // Out of memory, the element is read but not kept: a detached block.
  XmlNodeBlock* block = XmlNodeOps::NewBlock(arena, name, n, declaration);
  if (!block) {
    block = XmlNodeOps::NewBlock(nullptr, declaration);
    if (!block) return Fail(kXmlNoElements, tagPos);
    *child = block;
    return true;
  }
  if (!Push(Pending{kXmlChild, block, nullptr, nullptr, nullptr})) {
    *child = block;  // parsed into a detached block, then dropped
    return true;
  }
  block->parent = node;
  XmlNodeOps::AddRef(block);
  *child = block;
  return true;
}

size_t XmlParser::FindClose(const char* marker) const {
  size_t n = strlen(marker);
  for (size_t p = pos; text[p]; p += XmlCharLength(text + p)) {
    if (text[p] == marker[0] && strncmp(text + p, marker, n) == 0) return p;
  }
  return static_cast<size_t>(-1);
}

// Every element from the innermost one out is left open when the text ends.
void XmlParser::NoteOpenAtEnd(const XmlNodeBlock* node) {
  for (const XmlNodeBlock* b = node; b; b = b->parent)
    if (b->name && !b->isDeclaration) ++unclosed;
}

bool XmlParser::Push(const Pending& p) {
  if (pendingCount == pendingCapacity) {
    size_t wanted = pendingCapacity < 64 ? 64 : pendingCapacity * 2;
    if (wanted > (static_cast<size_t>(1) << 28)) return false;
    Pending* grown = static_cast<Pending*>(realloc(pending, sizeof(Pending) * wanted));
    if (!grown) return false;
    pending = grown;
    pendingCapacity = wanted;
  }
  pending[pendingCount++] = p;
  return true;
}

namespace {

// An array for the node's kind of memory: a reader's node never frees its
// arrays, the detached stand-in made when the arena ran dry frees them.
template <typename T>
T* NewArray(XmlArena* arena, const XmlNodeBlock* node, int count) {
  if (count == 0) return nullptr;
  if (node->arena) return arena->Allocate<T>(static_cast<size_t>(count));
  return static_cast<T*>(malloc(sizeof(T) * static_cast<size_t>(count)));
}

}  // namespace

void XmlParser::Settle(XmlNodeBlock* node, size_t first) {
  const Pending* items = pending + first;
  const int n = static_cast<int>(pendingCount - first);
  pendingCount = first;
  if (n == 0) return;
  int counts[4] = {0, 0, 0, 0};
  for (int i = 0; i < n; ++i) ++counts[items[i].kind];
  node->order = NewArray<int>(arena, node, n);
  node->children = NewArray<XmlNodeBlock*>(arena, node, counts[kXmlChild]);
  node->attributes = NewArray<XmlAttribute>(arena, node, counts[kXmlAttribute]);
  node->texts = NewArray<char*>(arena, node, counts[kXmlText]);
  node->clears = NewArray<XmlClear>(arena, node, counts[kXmlClearSection]);
  if (!node->order || (counts[kXmlChild] && !node->children) ||
      (counts[kXmlAttribute] && !node->attributes) || (counts[kXmlText] && !node->texts) ||
      (counts[kXmlClearSection] && !node->clears)) {
    // Out of memory the element keeps none of its contents; its children
    // lose the reference it held.
    if (!node->arena) {
      free(node->order);
      free(node->children);
      free(node->attributes);
      free(node->texts);
      free(node->clears);
    }
    node->order = nullptr;
    node->children = nullptr;
    node->attributes = nullptr;
    node->texts = nullptr;
    node->clears = nullptr;
    for (int i = 0; i < n; ++i) {
      if (items[i].kind != kXmlChild) continue;
      items[i].child->parent = nullptr;
      XmlNodeOps::Release(items[i].child);
    }
    return;
  }
  for (int i = 0; i < n; ++i) {
    const Pending& p = items[i];
    switch (p.kind) {
      case kXmlChild:
        node->order[i] = (node->childCount << 2) | kXmlChild;
        node->children[node->childCount++] = p.child;
        break;
      case kXmlAttribute:
        node->order[i] = (node->attributeCount << 2) | kXmlAttribute;
        node->attributes[node->attributeCount++] = XmlAttribute{p.text, p.value};
        break;
      case kXmlText:
        node->order[i] = (node->textCount << 2) | kXmlText;
        node->texts[node->textCount++] = p.text;
        break;
      default:
        node->order[i] = (node->clearCount << 2) | kXmlClearSection;
        node->clears[node->clearCount++] = XmlClear{p.clear->open, p.text, p.clear->close};
        break;
    }
  }
  node->orderCount = n;
  node->childCapacity = node->childCount;
  node->attributeCapacity = node->attributeCount;
  node->textCapacity = node->textCount;
  node->clearCapacity = node->clearCount;
  node->orderCapacity = n;
  node->arenaAttributes = node->attributeCount;
  node->arenaTexts = node->textCount;
  node->arenaClears = node->clearCount;
}

// Whatever way the element's reading ends, its contents settle in it: on an
// error too, so that freeing the tree reaches every node.
bool XmlParser::ParseElement(XmlNodeBlock* node) {
  const size_t first = pendingCount;
  const bool ok = ReadContents(node);
  Settle(node, first);
  return ok;
}

bool XmlParser::ReadContents(XmlNodeBlock* node) {
  bool inside = !firstCall;
  firstCall = false;
  int attrState = 0;
  Token attrName{kError, 0, 0, nullptr};
  bool textPending = false;
  size_t textStart = 0;
  auto storeAttribute = [&](size_t valueStart, size_t valueLength, bool unescape) -> bool {
    char* value = nullptr;
    if (unescape) {
      size_t bad = 0;
      value = XmlUnescape(text + valueStart, valueLength, &bad, arena);
      if (!value && bad != static_cast<size_t>(-1)) return Fail(kXmlUnknownEntity, valueStart + bad);
    }
    char* name = arena->CopyText(text + attrName.start, attrName.length);
    if (name) Push(Pending{kXmlAttribute, nullptr, name, value, nullptr});
    return true;
  };
  for (;;) {
    Token t = Next(inside);
    if (t.kind == kError) {
      if (error == kXmlNoError) NoteOpenAtEnd(node);
      return false;
    }
    if (inside) {
      if (attrState == 0) {
        if (t.kind == kText) {
          attrName = t;
          attrState = 1;
        } else if (t.kind == kCloseTag) {
          inside = false;
        } else if (t.kind == kShortHandClose) {
          return true;
        } else {
          return Fail(kXmlUnexpectedToken, pos);
        }
      } else if (attrState == 1) {
        if (t.kind == kText) {
          storeAttribute(0, 0, false);
          attrName = t;
        } else if (t.kind == kEquals) {
          attrState = 2;
        } else if (t.kind == kCloseTag || t.kind == kShortHandClose) {
          if (node->isDeclaration && attrName.length > 0 &&
              text[attrName.start + attrName.length - 1] == '?') {
            --attrName.length;
          }
          if (attrName.length > 0) storeAttribute(0, 0, false);
          if (t.kind == kShortHandClose) return true;
          inside = false;
          attrState = 0;
        } else {
          return Fail(kXmlUnexpectedToken, pos);
        }
      } else {
        if (t.kind != kText && t.kind != kQuotedText) return Fail(kXmlUnexpectedToken, pos);
        size_t start = t.start;
        size_t length = t.length;
        if (node->isDeclaration && text[start + length - 1] == '?') --length;
        if (attrName.length > 0) {
          if (t.kind == kQuotedText) {
            ++start;
            length -= 2;
          }
          if (!storeAttribute(start, length, true)) return false;
        }
        attrState = 0;
      }
      continue;
    }
    switch (t.kind) {
      case kText:
      case kQuotedText:
      case kEquals:
        if (!textPending) {
          textPending = true;
          textStart = t.start;
        }
        break;
      case kTagStart:
      case kDeclaration: {
        if (textPending && !StoreText(textStart, t.start)) return false;
        textPending = false;
        Token name = Next();
        if (name.kind != kText) return Fail(kXmlMissingStartTagName, pos);
        if (!CompareTagName(node->name, text + name.start)) {
          pendingNew = text + name.start;
          return true;
        }
        XmlNodeBlock* child = nullptr;
        if (!AddChildNamed(node, name.start, t.kind == kDeclaration, &child, t.start)) return false;
        for (;;) {
          ++depth;
          bool ok = ParseElement(child);
          --depth;
          XmlNodeOps::Release(child);
          if (!ok) return false;
          if (pendingEnd) {
            if (!node->name) return Fail(kXmlUnmatchedEndTag, pos);
            if (!CompareTagName(node->name, pendingEnd)) pendingEnd = nullptr;
            return true;
          }
          if (!pendingNew) break;
          if (!CompareTagName(node->name, pendingNew)) return true;
          size_t nameStart = static_cast<size_t>(pendingNew - text);
          pendingNew = nullptr;
          if (!AddChildNamed(node, nameStart, false, &child, nameStart)) return false;
        }
        break;
      }
      case kTagEnd: {
        if (textPending && !StoreText(textStart, t.start)) return false;
        textPending = false;
        Token name = Next();
        if (name.kind != kText) return Fail(kXmlMissingEndTagName, pos);
        Token close = Next();
        if (close.kind != kCloseTag) return Fail(kXmlMissingEndTagName, pos);
        // In the document root an end tag closes nothing, as in any element it does not name.
        if (!node->name) return Fail(kXmlUnmatchedEndTag, pos);
        if (CompareTagName(node->name, text + name.start)) pendingEnd = text + name.start;
        return true;
      }
      case kClear: {
        if (textPending && !StoreText(textStart, t.start)) return false;
        textPending = false;
        size_t end = FindClose(t.clear->close);
        if (end == static_cast<size_t>(-1)) return Fail(kXmlUnmatchedEndTag, pos + strlen(text + pos));
        char* value = arena->CopyText(text + pos, end - pos);
        if (value) Push(Pending{kXmlClearSection, nullptr, value, nullptr, t.clear});
        pos = end + strlen(t.clear->close);
        break;
      }
      default:
        return Fail(kXmlUnexpectedToken, pos);
    }
  }
}

namespace {

bool LooksLikeUtf16(const unsigned char* bytes, size_t count) {
  if (count < 2) return false;
  if (bytes[0] == 0xFF && bytes[1] == 0xFE) return true;
  // The statistics can take plain 8-bit markup for UTF-16; a document that
  // starts with a tag in single bytes is 8-bit.
  if (bytes[0] == '<' && bytes[1] != 0) return false;
  return xmlcp::Utf16Statistics(bytes, count);
}

void SetResults(XmlResults* results, int error, int line, int column, int unclosed = 0) {
  if (!results) return;
  results->error = error;
  results->line = line;
  results->column = column;
  results->unclosed = unclosed;
}

// An error at a byte of the text: line = 1 + line feeds before it, column =
// 1 + bytes after the last of them.
void SetErrorAt(XmlResults* results, int error, const char* text, size_t at) {
  int line = 1;
  size_t lastBreak = static_cast<size_t>(-1);
  for (size_t i = 0; i < at; ++i) {
    if (text[i] == '\n') {
      ++line;
      lastBreak = i;
    }
  }
  SetResults(results, error, line, static_cast<int>(at - (lastBreak + 1)) + 1);
}

}  // namespace

XmlParserNode XmlParserNode::ParseString(const char* text, const char* firstTag, XmlResults* results) {
  SetResults(results, kXmlNoError, 0, 0);
  if (!text) {
    SetResults(results, kXmlNoElements, 0, 0);
    return XmlParserNode();
  }
  // A UTF-8 byte-order mark says how the file was stored; it is no text of the document.
  if (text[0] == '\xEF' && text[1] == '\xBB' && text[2] == '\xBF') text += 3;
  // The tree takes about as much memory as its text; the arena grows from there.
  XmlArena* arena = XmlArena::Create(strlen(text));
  XmlNodeBlock* root = arena ? XmlNodeOps::NewBlock(arena, nullptr, 0, 0) : nullptr;
  if (!root) {
    if (arena) XmlArena::Release(arena);
    SetResults(results, kXmlNoElements, 0, 0);
    return XmlParserNode();
  }
  XmlParser parser(text, arena);
  parser.ParseElement(root);
  XmlParserNode document = XmlNodeOps::Wrap(root, false);
  // From here the nodes alone hold the arena.
  XmlArena::Release(arena);
  if (parser.error != kXmlNoError) {
    SetErrorAt(results, parser.error, text, parser.errorPos);
    return XmlParserNode();
  }
  if (results) results->unclosed = parser.unclosed;
  if (!firstTag || !*firstTag) return document;
  // The first tag may sit inside declarations (the prolog holds the document).
  XmlParserNode current = document;
  for (int i = 0; i < current.GetChildCount();) {
    XmlParserNode child = current.GetChildNodeByIndex(i);
    const char* name = child.GetName();
    if (name && strlen(name) == strlen(firstTag) && XmlEqualNoCase(name, firstTag, strlen(firstTag)))
      return child;
    if (child.IsDeclaration()) {
      current = child;
      i = 0;
      continue;
    }
    ++i;
  }
  SetResults(results, kXmlFirstTagNotFound, 0, 0, parser.unclosed);
  return XmlParserNode();
}

XmlParserNode XmlParserNode::ParseFile(const char* path, const char* firstTag, XmlResults* results) {
  unsigned char* data = nullptr;
  size_t size = 0;
  if (!path || xmlcp::ReadWholeFile(path, &data, &size) != xmlcp::ReadStatus::kOk) {
    SetResults(results, kXmlFileNotFound, 0, 0);
    return XmlParserNode();
  }
  const char* text = reinterpret_cast<const char*>(data);
  size_t length = size;
  char* converted = nullptr;
  const bool bigEndian = size >= 2 && data[0] == 0xFE && data[1] == 0xFF;
  if (bigEndian || LooksLikeUtf16(data, size < 10000 ? size : 10000)) {
    size_t units = size / 2;
    const unsigned char* first = data;
    // The byte-order mark says how the file is stored; it is not part of the text.
    if (units > 0 && (bigEndian || (data[0] == 0xFF && data[1] == 0xFE))) {
      first += 2;
      --units;
    }
    // Copied to aligned storage: the file buffer's units may be read as such only by bytes.
    uint16_t* aligned = static_cast<uint16_t*>(malloc(units * 2 + 2));
    length = 0;
    if (aligned) {
      for (size_t i = 0; i < units; ++i) {
        const unsigned char* unit = first + 2 * i;
        aligned[i] = bigEndian ? static_cast<uint16_t>(unit[0] << 8 | unit[1])
                               : static_cast<uint16_t>(unit[1] << 8 | unit[0]);
      }
      converted = xmlcp::Utf16ToAnsi(aligned, units, &length);
      free(aligned);
    }
    if (!converted) {
      free(data);
      SetResults(results, kXmlFileNotFound, 0, 0);
      return XmlParserNode();
    }
    text = converted;
  }
  // A NUL would end the text there and the rest of the file would go unread.
  const void* nul = memchr(text, 0, length);
  XmlParserNode node;
  if (nul) {
    SetErrorAt(results, kXmlUnexpectedToken, text, static_cast<size_t>(static_cast<const char*>(nul) - text));
  } else {
    node = ParseString(text, firstTag, results);
  }
  free(converted);
  free(data);
  return node;
}

XmlParserNode XmlParserNode::OpenFileOrExit(const char* path, const char* firstTag) {
  XmlResults results{};
  XmlParserNode node = ParseFile(path, firstTag, &results);
  if (results.error == kXmlNoError) return node;
  printf("XML Parsing error inside file '%s'.\nError: %s\nAt line %i, column %i.\n", path,
         GetErrorText(results.error), results.line, results.column);
  if (results.error == kXmlFirstTagNotFound) printf("Tag is '%s'.\n", firstTag);
  fflush(stdout);
  exit(255);
}
