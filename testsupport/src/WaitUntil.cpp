#include "testsupport/WaitUntil.h"

namespace testsupport {

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD stepMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (done()) return true;
    if (::GetTickCount() - start >= timeoutMs) return done();
    ::Sleep(stepMs);
  }
}

}  // namespace testsupport
