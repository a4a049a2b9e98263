#include "app/FileHandOver.h"

#include <cstring>

int SendFilesToPlayer(HWND target, const std::vector<std::string>& files) {
  std::vector<const std::string*> real;
  for (const std::string& file : files) {
    if (!file.empty()) real.push_back(&file);
  }
  int sent = 0;
  for (size_t k = 0; k < real.size(); ++k) {
    COPYDATASTRUCT record = {};
    record.dwData = k + 1 < real.size() ? 1 : 0;
    record.cbData = static_cast<DWORD>(real[k]->size());
    record.lpData = const_cast<char*>(real[k]->data());
    // Sent, not posted: the receiver reads the bytes before this returns, and
    // the order of a batch is the order of the calls.
    ::SendMessageA(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
    ++sent;
  }
  return sent;
}

bool ReadHandOverRecord(const COPYDATASTRUCT* record, std::string& path, bool& last) {
  if (!record || !record->lpData || record->cbData == 0) return false;
  // Paths are ANSI and MAX_PATH-bound; anything longer is not a path of ours.
  if (record->cbData > MAX_PATH - 1) return false;
  const char* bytes = static_cast<const char*>(record->lpData);
  const void* nul = memchr(bytes, '\0', record->cbData);
  size_t length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - bytes) : record->cbData;
  if (length == 0) return false;
  path.assign(bytes, length);
  last = record->dwData == 0;
  return true;
}

int CHandOverBatch::OnFile(bool last, bool added, int presentIndex, int listCount) {
  if (added) ++m_pending;
  if (!last) return -1;
  int play = -1;
  if (m_pending > 0) {
    // The first file of the batch that went in; the batch's added files are
    // the last m_pending entries (an entry added now is among them).
    play = listCount - m_pending;
  } else if (presentIndex >= 0) {
    play = presentIndex;
  }
  m_pending = 0;
  return play;
}
