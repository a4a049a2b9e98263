#include "CVoiceList.h"

#include <algorithm>

CVoiceList& CVoiceList::Process() {
  static CVoiceList list;
  return list;
}

void CVoiceList::Remove(CMidiChannel* voice) {
  voices_.erase(std::remove(voices_.begin(), voices_.end(), voice), voices_.end());
}
