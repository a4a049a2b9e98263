// A recording player host for tests of the windows and buttons that call the
// main window: every call is noted by name, and the answers are fields the
// test sets. A test hands it to what it makes.
#pragma once

#include <string>
#include <vector>

#include "app/IPlayListModel.h"
#include "ui/IPlayerHost.h"

class FakePlayerHost : public IPlayerHost {
 public:
  explicit FakePlayerHost(HWND window) : window(window) {}

  HWND GetHostWindow() override { return window; }
  void SetClickPosition(int eventIndex) override {
    clickPosition = eventIndex;
    calls.push_back("SetClickPosition " + std::to_string(eventIndex));
  }
  void PlayFromClickPosition() override { calls.push_back("PlayFromClickPosition"); }
  HMENU UpdatePopupMenu() override {
    calls.push_back("UpdatePopupMenu");
    return popupMenu;
  }
  void ShowPreferences(int page) override { calls.push_back("ShowPreferences " + std::to_string(page)); }
  bool PlayPrevious() override {
    calls.push_back("PlayPrevious");
    return true;
  }
  bool PlayNext() override {
    calls.push_back("PlayNext");
    return true;
  }
  void Stop() override { calls.push_back("Stop"); }
  void Pause() override { calls.push_back("Pause"); }
  bool IsPaused() const override { return paused; }
  bool IsStopped() const override { return stopped; }
  int ShowOpenDialog() override {
    calls.push_back("ShowOpenDialog");
    if (openDialogAdds > 0 && playList) {
      for (int i = 0; i < openDialogAdds; ++i) {
        const std::string path = "C:\\added\\song" + std::to_string(i) + ".mid";
        playList->AddEntry(path.c_str(), 0);
      }
    }
    return openDialogAdds;
  }
  IPlayListModel* GetPlayListModel() override { return playList; }
  int GetPlayOrder() override { return playOrder; }
  void SetPlayOrder(int order) override {
    playOrder = order;
    calls.push_back("SetPlayOrder " + std::to_string(order));
  }
  HWND GetChildWindow(int child) override { return child >= 0 && child < 5 ? children[child] : nullptr; }
  bool IsChildVisible(int child) override { return child >= 0 && child < 5 && visible[child]; }
  void SetChildVisible(int child, bool show) override {
    if (child >= 0 && child < 5) visible[child] = show && child != unmakeable;
    calls.push_back("SetChildVisible " + std::to_string(child) + (show ? " on" : " off"));
  }
  bool IsTopMost() override { return topMost; }
  void SetTopMost(bool on) override {
    topMost = on;
    calls.push_back(on ? "SetTopMost on" : "SetTopMost off");
  }
  bool SavePlayListFile(const char* path) override {
    calls.push_back(std::string("SavePlayListFile ") + path);
    return saveResult;
  }
  bool LoadPlayListFile(const char* path) override {
    calls.push_back(std::string("LoadPlayListFile ") + path);
    return true;
  }

  HWND window;
  std::vector<std::string> calls;
  int clickPosition = -1;
  HMENU popupMenu = nullptr;
  bool paused = false;
  bool stopped = true;
  int openDialogAdds = -1;
  IPlayListModel* playList = nullptr;
  int playOrder = 1;
  HWND children[5] = {};
  // A frame the main window cannot make: asked to show, it stays hidden.
  int unmakeable = -1;
  bool visible[5] = {};
  bool topMost = false;
  bool saveResult = true;
};
