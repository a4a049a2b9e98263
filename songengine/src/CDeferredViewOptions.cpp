#include "CDeferredViewOptions.h"

CDeferredViewOptions::~CDeferredViewOptions() { options_->Release(); }

void CDeferredViewOptions::Destroy(unsigned flags) {
  this->~CDeferredViewOptions();
  if (flags & 1) ::operator delete(this);
}
