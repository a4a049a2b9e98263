// Whether a window thread, in this program or another, has handled what was
// posted to it. A thread takes the messages posted to its windows in the order
// they came: once a marker posted after them has had its effect, they have
// been handled too. The marker presses a button of that thread and then
// releases it; the release, posted once the press was seen, comes after
// whatever the thread posted to itself while handling the earlier messages (a
// report a worker's message is relayed as). The button should be one nobody
// sees at the time, as its pushed face is drawn.
#pragma once

#include <windows.h>

namespace testsupport {

// Presses and releases hiddenButton through posted messages; true once both
// took effect within timeoutMs each.
bool PostedMessagesHandled(HWND hiddenButton, DWORD timeoutMs = 10000);

}  // namespace testsupport
