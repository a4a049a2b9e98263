// The text of a meta event as Scrivel hands it over: FF, the type byte, the
// length as a variable-length quantity of one to four bytes, then the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Empty for anything shorter than its own header or not a meta event; a
// length that claims more than the bytes hold gives what is there.
std::string MetaEventText(const uint8_t* data, size_t length);
