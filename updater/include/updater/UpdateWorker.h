#pragma once
// The update itself, once every component is downloaded and verified: back up
// the installed files, close the player, copy the new files in, put back what
// was changed when a copy fails, and start the player again.
#include <windows.h>

#include <string>
#include <vector>

#include "updater/FileHelper.h"

// What the worker shows: the progress dialog's lines, bar and close button, the
// update dialog's status line and the message box. Texts are string ids.
class IUpdateView : public ICopyProgressListener {
 public:
  enum Line { kTopLine = 1002, kMiddleLine = 1004, kBottomLine = 1003 };
  virtual void ShowLine(int line, int stringId) = 0;
  virtual void HideLine(int line) = 0;
  virtual void SetBar(int low, int high) = 0;  // range
  virtual void MoveBar(int position) = 0;
  virtual void ShowBar(bool show) = 0;
  virtual void ShowCloseButton() = 0;
  virtual void SetStatus(int stringId) = 0;
  // Returns once the user has answered it.
  virtual void ShowMessage(int stringId) = 0;
};

struct UpdatePlan {
  std::string programFolder;            // with a trailing backslash
  std::vector<std::string> components;  // Names, in download order
  DWORD waitLimitMs = 30000;
  DWORD pollMs = 100;
  DWORD settleMs = 500;
  std::string playerClass = "MelodaraBmpWnd0";
  std::string playerExe = "Melodara.exe";
};

class CUpdateWorker {
 public:
  enum Outcome { kReplaced, kBackupFailed, kPlayerNotClosed, kReplaceFailed, kRestoreFailed };

  CUpdateWorker(const UpdatePlan& plan, IUpdateView& view, CFileHelper& files);
  Outcome Run();
  // Whether the player was started again after a replace.
  bool PlayerRestarted() const { return m_restarted; }

 private:
  bool ClosePlayer();
  bool ReplaceFiles();
  bool RestoreFiles();
  bool RestartPlayer();

  UpdatePlan m_plan;
  IUpdateView& m_view;
  CFileHelper& m_files;
  std::vector<bool> m_backedUp;
  std::vector<bool> m_changed;  // this run may have written the installed file
  bool m_restarted = false;
};

// Hands the downloaded updater to the update helper in the program folder:
// "<P>Temp\MelodaraUpdate.exe" "<P>MelodaraUpdate.exe". False when it did not start.
bool StartUpdateHelper(const std::string& programFolder);
