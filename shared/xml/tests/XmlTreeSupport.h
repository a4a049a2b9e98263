// Helpers for the XML tests, the benchmark and the fuzz target: comparing
// trees and generating trees in the form the reader produces.
#pragma once

#include <xml/XmlParserNode.h>

#include <cstdint>
#include <string>

namespace xmltest {

// Same names, attributes (an empty value equals a missing one), texts, clear
// sections and document order, all the way down. *why says where they differ.
bool TreesEqual(const XmlParserNode& a, const XmlParserNode& b, std::string* why = nullptr);

// A malloc'd copy, for the Add operations.
char* Dup(const char* text);

// A document (an unnamed root) of about `elements` elements below one top
// element, with attributes, entity-bearing texts, comments and CDATA, nesting
// up to maxDepth. Texts never start or end with white space, never follow one
// another, and no element is named like its parent. Without bareAttributes
// every attribute has a value, as strict readers want.
XmlParserNode GenerateTree(uint32_t seed, int elements, int maxDepth, bool bareAttributes = true);

// The same kind of document as text, of at least `bytes` bytes.
std::string GenerateDocument(uint32_t seed, size_t bytes, bool bareAttributes = true);

}  // namespace xmltest
