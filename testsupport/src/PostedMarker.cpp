#include "testsupport/PostedMarker.h"

#include "testsupport/MessagePump.h"

namespace testsupport {

bool PostedMessagesHandled(HWND hiddenButton, DWORD timeoutMs) {
  if (!::IsWindow(hiddenButton)) return false;
  auto pushed = [hiddenButton] {
    return (::SendMessageW(hiddenButton, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  };
  ::PostMessageW(hiddenButton, BM_SETSTATE, TRUE, 0);
  if (!PumpUntil(pushed, timeoutMs)) return false;
  ::PostMessageW(hiddenButton, BM_SETSTATE, FALSE, 0);
  return PumpUntil([&] { return !pushed(); }, timeoutMs);
}

}  // namespace testsupport
