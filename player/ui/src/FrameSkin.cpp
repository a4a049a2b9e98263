#include "ui/FrameSkin.h"

#include "ui/CSkinWnd.h"
#include "ui/CToolFrame.h"

namespace {

// The player's string table (the program's own resources).
enum : UINT {
  kStrClose = 102,
  kStrMinimize = 104,
  kStrMaximize = 105,
  kStrRestoreDown = 107,
};

}  // namespace

void SetUpFrameCaption(CSkinWnd* frame, const FrameSkin& skin) {
  SetCaptionLayout(frame, skin.captionLayout);
  const std::string close = skin.namedTips ? LoadPlayerString(kStrClose) : std::string();
  frame->SetCaptionButton(SchemeImage(skin.closeButton), kCaptionBtnClose, true, close.c_str(), nullptr);
  if (skin.maxButton) {
    frame->SetCaptionButton(SchemeImage(skin.maxButton), kCaptionBtnMax, true,
                            LoadPlayerString(kStrMaximize).c_str(),
                            LoadPlayerString(kStrRestoreDown).c_str());
    frame->SetCaptionButton(SchemeImage(skin.minButton), kCaptionBtnMin, true,
                            LoadPlayerString(kStrMinimize).c_str(), nullptr);
  }
  if (skin.icon) frame->SetIconImage(SchemeImage(skin.icon));
}
