// The main window's song-position slider. It has no arrow buttons, so the
// arrow steps do nothing; track clicks and thumb drags reach the main window
// through the slider's sink.
#pragma once

#include "ui/CSkinSlider.h"

class CProgressSlider : public CSkinSlider {
 public:
  void StepBack() override {}
  void StepForward() override {}
};
