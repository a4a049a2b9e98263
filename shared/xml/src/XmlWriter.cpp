// The writer and the entity functions.
#include <xml/XmlParserNode.h>

#include "XmlArena.h"
#include "XmlNodeBlock.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

struct Entity {
  const char* name;  // after the ampersand, with the semicolon
  size_t length;
  char value;
};
const Entity kEntities[] = {
    {"lt;", 3, '<'}, {"gt;", 3, '>'}, {"amp;", 4, '&'}, {"apos;", 5, '\''}, {"quot;", 5, '"'}};

const char* EntityFor(char c) {
  switch (c) {
    case '"':
      return "&quot;";
    case '&':
      return "&amp;";
    case '\'':
      return "&apos;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    default:
      return nullptr;
  }
}

// Measures while out is null, writes otherwise; one walk serves both passes.
struct Sink {
  char* out;
  size_t length;
  void Put(char c) {
    if (out) out[length] = c;
    ++length;
  }
  void Put(const char* s) { Put(s, strlen(s)); }
  void Put(const char* s, size_t n) {
    if (out) memcpy(out + length, s, n);
    length += n;
  }
  void Tabs(int n) {
    for (int i = 0; i < n; ++i) Put('\t');
  }
  void Escaped(const char* s) {
    if (out) {
      length = static_cast<size_t>(XmlParserNode::EscapeText(s, out + length) - out);
    } else {
      length += XmlParserNode::EscapedLength(s);
    }
  }
  // Drops the last byte written (the space after a name or attribute).
  void Unput() { --length; }
};

bool HasContents(const XmlNodeBlock* b) { return b->childCount + b->textCount + b->clearCount > 0; }

void WriteNode(const XmlNodeBlock* b, int depth, Sink& s) {
  const bool format = depth >= 0;
  if (b->name) {
    if (format) s.Tabs(depth);
    s.Put('<');
    if (b->isDeclaration) s.Put('?');
    s.Put(b->name);
    s.Put(' ');
    for (int i = 0; i < b->attributeCount; ++i) {
      const XmlAttribute& a = b->attributes[i];
      if (!a.name || !*a.name) continue;
      s.Put(a.name);
      // An empty value is written out: a bare name reads back as no value at all.
      if (a.value) {
        s.Put("=\"");
        s.Escaped(a.value);
        s.Put('"');
      }
      s.Put(' ');
    }
    s.Unput();
    if (b->isDeclaration) {
      s.Put("?>");
      if (format) s.Put('\n');
    } else if (HasContents(b)) {
      s.Put('>');
      if (format) s.Put('\n');
    }
  }
  // The unnamed root's children stand at its own depth; texts and clear
  // sections always one deeper.
  const int childDepth = !format ? -1 : b->name ? depth + 1 : depth;
  for (int i = 0; i < b->orderCount; ++i) {
    int entry = b->order[i];
    int index = entry >> 2;
    switch (entry & 3) {
      case kXmlChild:
        WriteNode(b->children[index], childDepth, s);
        break;
      case kXmlText: {
        const char* text = b->texts[index];
        if (!text || !*text) break;
        if (format) s.Tabs(depth + 1);
        s.Escaped(text);
        if (format) s.Put('\n');
        break;
      }
      case kXmlClearSection: {
        const XmlClear& c = b->clears[index];
        if (format) s.Tabs(depth + 1);
        s.Put(c.openTag);
        s.Put(c.value);
        s.Put(c.closeTag);
        if (format) s.Put('\n');
        break;
      }
      default:
        break;
    }
  }
  if (b->name && !b->isDeclaration) {
    if (!HasContents(b)) {
      s.Put("/>");
    } else {
      if (format) s.Tabs(depth);
      s.Put("</");
      s.Put(b->name);
      s.Put('>');
    }
    if (format) s.Put('\n');
  }
}

}  // namespace

size_t XmlParserNode::EscapedLength(const char* text) {
  if (!text) return 0;
  size_t n = 0;
  for (const char* p = text; *p; ++p) {
    const char* entity = EntityFor(*p);
    n += entity ? strlen(entity) : 1;
  }
  return n;
}

char* XmlParserNode::EscapeText(const char* text, char* out) {
  if (!text || !out) return out;
  for (const char* p = text; *p; ++p) {
    const char* entity = EntityFor(*p);
    if (!entity) {
      *out++ = *p;
      continue;
    }
    size_t n = strlen(entity);
    memcpy(out, entity, n);
    out += n;
  }
  *out = 0;
  return out;
}

char* XmlUnescape(const char* text, size_t n, size_t* badOffset, XmlArena* arena) {
  *badOffset = static_cast<size_t>(-1);
  size_t count = 0;
  size_t i = 0;
  for (; i < n && text[i]; ++count) {
    if (text[i] != '&') {
      ++i;
      continue;
    }
    const Entity* match = nullptr;
    for (const Entity& e : kEntities) {
      if (i + 1 + e.length <= n && XmlEqualNoCase(text + i + 1, e.name, e.length)) match = &e;
    }
    if (!match) {
      *badOffset = i;
      return nullptr;
    }
    i += 1 + match->length;
  }
  size_t end = i;
  char* out = arena ? arena->Allocate<char>(count + 1) : static_cast<char*>(malloc(count + 1));
  if (!out) return nullptr;
  size_t o = 0;
  for (i = 0; i < end;) {
    if (text[i] != '&') {
      out[o++] = text[i++];
      continue;
    }
    for (const Entity& e : kEntities) {
      if (i + 1 + e.length <= n && XmlEqualNoCase(text + i + 1, e.name, e.length)) {
        out[o++] = e.value;
        i += 1 + e.length;
        break;
      }
    }
  }
  out[o] = 0;
  return out;
}

char* XmlParserNode::UnescapeText(const char* text, size_t length) {
  if (!text) return nullptr;
  size_t bad = 0;
  return XmlUnescape(text, length, &bad, nullptr);
}

char* XmlParserNode::CreateXmlString(int format, int* length) const {
  if (length) *length = 0;
  if (!m_block) return nullptr;
  const int depth = format ? 0 : -1;
  Sink measure{nullptr, 0};
  WriteNode(m_block, depth, measure);
  if (measure.length > static_cast<size_t>(INT_MAX)) return nullptr;
  char* out = static_cast<char*>(malloc(measure.length + 1));
  if (!out) return nullptr;
  Sink write{out, 0};
  WriteNode(m_block, depth, write);
  out[write.length] = 0;
  if (length) *length = static_cast<int>(write.length);
  return out;
}
