#include "SmfEventClass.h"

uint32_t SmfEventClass::ChannelTypeBit(uint8_t status) {
  if (status < 0x80 || status >= 0xF0) return 0;
  return 1u << ((status >> 4) - 8);
}

uint32_t SmfEventClass::MetaTypeBit(uint8_t type) {
  if (type <= 0x07) return 1u << type;
  switch (type) {
    case 0x2F:
      return kSmfMetaEndOfTrack;
    case 0x51:
      return kSmfMetaTempo;
    case 0x54:
      return kSmfMetaSmpteOffset;
    case 0x58:
      return kSmfMetaTimeSig;
    case 0x59:
      return kSmfMetaKeySig;
    case 0x7F:
      return kSmfMetaSequencer;
    case 0x80:
      return kSmfMetaControl;
    default:
      return 0;
  }
}

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
