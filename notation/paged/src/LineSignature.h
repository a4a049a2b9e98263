// Signatures of the first shown measure, shared by every line of a view:
// the first line fills it when it fits, the others draw their headers from it.
#pragma once

struct LineSignature {
  int startTick = 0;
  int beats = 4;
  int beatTicks = 120;
  bool showTime = false;
  int key = 0;
  int previousKey = 0;
  bool showKey = false;
};
