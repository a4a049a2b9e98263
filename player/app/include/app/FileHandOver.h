// Single-instance hand-over: a second start of the player sends its files to
// the running one as WM_COPYDATA records and exits.
//
// A record carries one ANSI path of exactly cbData bytes (no NUL); dwData is 1
// while more files of the same start follow and 0 on the last one.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The running player's main window class and title.
constexpr char kMainWndClass[] = "MelodaraBmpWnd0";
constexpr char kMainWndTitle[] = "Melodara";

// Sends every non-empty path to target in order, so that the last real file
// carries dwData 0 whatever empty arguments surround it. Answers the number
// of records sent.
int SendFilesToPlayer(HWND target, const std::vector<std::string>& files);

// Reads one received record: false (and nothing taken) for a null record, no
// data, an empty or overlong path. The path is cut at an embedded NUL; the
// record's bytes are never read past cbData.
bool ReadHandOverRecord(const COPYDATASTRUCT* record, std::string& path, bool& last);

// What the receiver does with the files of one start: counts the files of the
// current batch that were added, and names the entry to play when the last
// file arrives.
class CHandOverBatch {
 public:
  // added: the file went into the list as a new entry; present: it was
  // already there at index. Returns the index to play on the last file of a
  // batch, else -1.
  //  - one or more files of the batch added: the first of them (listCount is
  //    the list's size after this file);
  //  - none added, the last file already present: that entry;
  //  - otherwise nothing plays.
  int OnFile(bool last, bool added, int presentIndex, int listCount);
  int Pending() const { return m_pending; }

 private:
  int m_pending = 0;
};
