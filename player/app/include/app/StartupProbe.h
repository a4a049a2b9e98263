// Marks on the way from the program's start to the main window's first paint,
// for the start-up benchmark. Each mark keeps the performance counter when it
// is first reached. When the environment names a probe, the first paint's end
// copies the marks into that probe's shared block and sets its event, so the
// program that started the player learns when and where the time went; with
// no probe named nothing leaves the process.
#pragma once

#include <windows.h>

// The variable holding the probe's name: the event is called by that name,
// the shared block (a StartupMarks) by the name followed by "Marks".
constexpr char kStartupProbeVariable[] = "MELODARA_STARTUP_PROBE";
constexpr char kStartupProbeBlockSuffix[] = "Marks";

enum StartupMark : int {
  kStartupEntered,      // the application object begins its work
  kStartupSkinLoaded,   // the skin scheme's images are loaded
  kStartupWindowShown,  // the main window and its frames are made and shown
  kStartupPainted,      // the main window's first WM_PAINT has finished
  kStartupMarkCount
};

struct StartupMarks {
  LONGLONG counter[kStartupMarkCount];  // QueryPerformanceCounter, 0 for a mark not reached
};

// Keeps the counter for mark unless it was reached before; the first paint's
// mark also tells the probe.
void MarkStartup(StartupMark mark);
