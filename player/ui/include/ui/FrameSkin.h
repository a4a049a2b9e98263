// A tool frame's chrome as one record: the caption buttons it has and their
// images, its icon, and its border and caption images. The score frame, the
// lyrics window and the song maker differ in these ids alone.
#pragma once

#include "ui/CSkinCaptionButtons.h"

// Skin image ids of a frame's borders and caption.
struct ToolFrameImages {
  unsigned short left, right, top, bottom, topLeft, topRight, bottomLeft, bottomRight, title, titleInactive;
};

struct FrameSkin {
  int captionLayout;  // kCaptionClose or kCaptionCloseMinMax
  unsigned short closeButton;
  unsigned short maxButton;  // 0: none, nor a minimise button
  unsigned short minButton;
  unsigned short icon;  // 0: none
  // The buttons' tips from the string table ("Close", "Maximize", ...);
  // without, the close button's tip is empty.
  bool namedTips;
  ToolFrameImages images;
};

class CSkinWnd;

// The caption part of the record: the layout, the buttons with their tips and
// the icon.
void SetUpFrameCaption(CSkinWnd* frame, const FrameSkin& skin);
