// The library's one export.
#include <new>

#include "CQuillixParser.h"
#include "base/Guarded.h"

extern "C" __declspec(dllexport) IQuillixParser* CreateIQuillixParser(int version) {
  if (version != 1) return nullptr;
  return base::Guarded([] { return static_cast<IQuillixParser*>(new CQuillixParser); },
                       static_cast<IQuillixParser*>(nullptr));
}
