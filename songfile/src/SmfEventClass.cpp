#include "SmfEventClass.h"

uint32_t SmfEventClass::ChannelTypeBit(uint8_t status) {
  if (status < 0x80 || status >= 0xF0) return 0;
  return 1u << ((status >> 4) - 8);
}

uint32_t SmfEventClass::MetaTypeBit(uint8_t type) { return SmfMetaTypeBit(type); }

SmfEventClass SmfEventClass::Of(const SmfEvent& e) {
  SmfEventClass c;
  if (e.length == 0 || !e.data) return c;
  if (e.kind != kSmfKindChannel && e.kind != kSmfKindSysEx && e.kind != kSmfKindMeta) return c;
  c.kind = e.kind;
  if (e.kind == kSmfKindChannel) {
    c.type = ChannelTypeBit(e.data[0]);
    if (c.type == kSmfTypeControl && e.length >= 2) c.subType = e.data[1];
  } else if (e.kind == kSmfKindMeta && e.length >= 2) {
    c.type = MetaTypeBit(e.data[1]);
  }
  return c;
}
