#pragma once
// Reads the payload of a meta event as the song file library hands it out:
// FF, the type byte, a variable-length length, then the data.
#include <cstdint>

#include <scrivel/SmfRecords.h>

struct MetaPayload {
  const uint8_t* data;
  uint32_t length;
};

// False for anything but a well-formed meta event of that type: no bytes, a
// wrong status or type, a length of more than four bytes, or a length that
// claims more data than the event holds.
bool ReadMetaPayload(const SmfEvent& event, uint8_t type, MetaPayload* out);
