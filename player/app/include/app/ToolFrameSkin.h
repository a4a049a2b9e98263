// What the player's skinned tool frames (the play list, the score frame) do
// alike when they are built: their frame images from the skin, their stored
// rectangle kept within what can be shown, and their topmost mode.
#pragma once

#include <windows.h>

class CSkinImage;
class CSkinWnd;

// The skin image ids of one frame: borders, corners and the two titles.
struct FrameImageIds {
  unsigned short left, right, top, bottom;
  unsigned short topLeft, topRight, bottomLeft, bottomRight;
  unsigned short title, titleInactive;
};

// The skin's image, or null when the scheme lacks it or it did not load.
CSkinImage* LoadedSkinImage(unsigned short id);

// Gives the frame its images; missing ones keep the frame's defaults.
void SetFrameImages(CSkinWnd* frame, const FrameImageIds& ids);

// The layout from a stored rectangle: at least the size the frame images
// need, and no coordinate or side no screen has. Call after SetFrameImages.
void ApplyStoredFrameRect(CSkinWnd* frame, const RECT& stored);

// Closing a tool frame only hides it: the owner is asked (WM_USER+101 with
// the frame's ChildWndId), and the frame's hover and pressed looks are cleared.
void AskOwnerToHide(CSkinWnd* frame, HWND owner, int child);

// Above every non-topmost window, or back among them; neither moved nor sized.
void SetWindowTopMost(HWND window, bool topMost);
