// A small XML reader and writer: a text (or a file) becomes a tree of nodes held
// by reference-counted handles; a tree is written back with or without indentation.
//
// All text is 8-bit text in the system code page. Names and markers compare
// case-insensitively and a double-byte character as a whole; the search for the
// end of a clear section (comment, CDATA, PRE, Script, DOCTYPE) is case-sensitive.
//
// The reader is lenient in the manner of HTML readers: a start tag named like
// the open element closes it, elements left open at the end of the text stay in
// the tree (XmlResults::unclosed counts them, so that a caller can tell a text
// cut short from a whole one), and a declaration (<?xml ...?>) holds the rest
// of the document. Outside a tag a quote is an ordinary character.
// It never ends the process and never recurses deeper than kXmlMaxDepth, so a
// downloaded text can be handed to it as it is: bad input gives an error code
// in the results record and the empty node.
//
// Ownership: every text handed to an Add operation must come from malloc; the
// node owns it from then on, also when the addition is refused. Texts returned
// by CreateXmlString and UnescapeText are malloc'd and the caller frees them.
// Texts returned by queries belong to the node and live as long as it does.
// A parsed document's nodes and texts share its memory, which goes when no
// handle reaches into the document any more: a handle kept on one element
// keeps the whole document's memory, though its ancestors and siblings are
// gone from the element's view as before.
#pragma once

#include <cstddef>

struct XmlNodeBlock;

// Error codes of XmlResults::error; XmlParserNode::GetErrorText words them.
enum XmlError {
  kXmlNoError = 0,
  kXmlNoData = 1,            // never reported
  kXmlFirstTokenNotTag = 2,  // never reported
  kXmlMissingStartTagName = 3,
  kXmlMissingEndTagName = 4,
  kXmlUnmatchedQuote = 5,
  kXmlUnmatchedEndTag = 6,  // also a clear section without its close marker
  kXmlUnexpectedToken = 7,  // also a NUL byte inside a file
  kXmlInvalidTag = 8,       // never reported
  kXmlNoElements = 9,       // the text is null
  kXmlFileNotFound = 10,    // also a file too large to hold
  kXmlFirstTagNotFound = 11,
  kXmlUnknownEntity = 12,   // position of the ampersand
  kXmlNestingTooDeep = 13,  // position of the start tag one level too deep
};

// Elements may nest this deep; the document root's children are at depth 1.
constexpr int kXmlMaxDepth = 1000;

// Where a parse stopped. line and column count from 1; both are 0 for codes
// 9, 10 and 11. unclosed is the number of elements (declarations aside) still
// open when the text ended: their start tags were read, their end tags never
// came. A parse with error 0 and unclosed above 0 read a text that was cut
// short or never finished; whoever needs the whole document refuses it.
struct XmlResults {
  int error;
  int line;
  int column;
  int unclosed;
};

// value is null for an attribute written without one (a bare name).
struct XmlAttribute {
  char* name;
  char* value;
};

// The markers point into the clear-tag table; the value is the verbatim text
// between them.
struct XmlClear {
  const char* openTag;
  char* value;
  const char* closeTag;
};

enum XmlContentKind { kXmlChild = 0, kXmlAttribute = 1, kXmlText = 2, kXmlClearSection = 3, kXmlNone = 4 };

struct XmlContents;

class XmlParserNode {
 public:
  XmlParserNode() : m_block(nullptr) {}
  XmlParserNode(const XmlParserNode& other);
  XmlParserNode& operator=(const XmlParserNode& other);
  ~XmlParserNode();

  // Parsing: the empty node on any error, with the code in *results.
  static XmlParserNode ParseString(const char* text, const char* firstTag = nullptr,
                                   XmlResults* results = nullptr);
  // Reads the whole file; UTF-16 text (either byte order when it starts with
  // its byte-order mark) is converted to the system code page first. A NUL
  // byte (or unit) in the file is error 7 at its place, not the text's end.
  static XmlParserNode ParseFile(const char* path, const char* firstTag = nullptr,
                                 XmlResults* results = nullptr);
  // For tools that cannot go on without the file: prints the error to standard
  // output and ends the process with exit code 255. Never use it on downloaded text.
  static XmlParserNode OpenFileOrExit(const char* path, const char* firstTag);
  static const char* GetErrorText(int code);

  // Queries; the empty node answers 0, null or the empty node.
  bool IsEmpty() const { return m_block == nullptr; }
  const char* GetName() const;
  bool IsDeclaration() const;
  int GetChildCount() const;
  int GetTextCount() const;
  int GetClearCount() const;
  int GetAttributeCount() const;
  int GetElementCount() const;  // children + texts + clears + attributes

  int CountChildNodes(const char* name) const;
  // The first child of that name at or after *position (0 without one); when
  // found, *position becomes its index + 1, so repeated calls walk them all.
  XmlParserNode GetChildNode(const char* name, int* position = nullptr) const;
  XmlParserNode GetChildNodeAt(const char* name, int n) const;
  XmlParserNode GetChildNodeByIndex(int i) const;
  const char* GetAttribute(const char* name, int* position = nullptr) const;
  const char* GetAttributeAt(const char* name, int n) const;
  bool IsAttributeSet(const char* name) const;
  XmlAttribute GetAttributeByIndex(int i) const;
  const char* GetText(int i) const;
  XmlClear GetClear(int i) const;

  // The i-th content in document order; only the member of its kind is filled.
  XmlContents EnumContents(int i) const;

  // Building. Names that could not be read back as one name (empty, holding
  // white space, '<', '>', '=', starting with a quote, '/', '?' or '!', ending
  // with '/' or '?', or PRE and Script, which open clear sections) are refused
  // like a null name, and so is a child beyond
  // kXmlMaxDepth. A refused addition frees what was handed in.
  XmlParserNode AddChild(char* name, int isDeclaration);
  XmlAttribute AddAttribute(char* name, char* value);
  char* AddText(char* text);
  // openTag names a row of the clear-tag table ("<!--", "<![CDATA[", "<PRE>",
  // "<Script>", "<!DOCTYPE"); a value holding that row's close marker is refused.
  XmlClear AddClear(char* value, const char* openTag, const char* closeTag);

  // The node and its subtree as XML; format 0 writes one line, any other value
  // indents with TABs. Null for the empty node (and *length 0).
  char* CreateXmlString(int format, int* length = nullptr) const;

  // The five entities &quot; &amp; &apos; &lt; &gt;.
  static size_t EscapedLength(const char* text);
  static char* EscapeText(const char* text, char* out);  // returns the end of what it wrote
  // Null for null text and for any other entity.
  static char* UnescapeText(const char* text, size_t length);

 private:
  explicit XmlParserNode(XmlNodeBlock* block, bool addRef);
  XmlNodeBlock* m_block;
  friend struct XmlParser;
  friend struct XmlNodeOps;
};

struct XmlContents {
  XmlContentKind kind;
  XmlParserNode child;
  XmlAttribute attribute;
  const char* text;
  XmlClear clear;
};

// True when the text does not start with the name followed by a delimiter
// (LF, space, TAB, CR, '/', '<', '>', '='); a null name always differs.
bool CompareTagName(const char* name, const char* text);
