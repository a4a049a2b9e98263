#include "updater/UpdateWorker.h"

#include <shellapi.h>

#include "base/Handles.h"

namespace {

enum Text {
  kTextUpdatingFiles = 111,
  kTextDoNotClose = 112,
  kTextClosingPlayer = 114,
  kTextRestartingPlayer = 116,
  kTextUpdateSucceeded = 118,
  kTextCopyError = 120,
  kTextCannotRestart = 122,
  kTextCannotClosePlayer = 123,
  kTextFilesDownloaded = 156,
  kTextUpdateFailed = 157,
  kTextRestoreFailed = 158,
  kTextBackupFailed = 159,
  kTextPleaseWait = 161,
  kTextCloseAndRetry = 162,
};

}  // namespace

CUpdateWorker::CUpdateWorker(const UpdatePlan& plan, IUpdateView& view, CFileHelper& files)
    : m_plan(plan), m_view(view), m_files(files) {}

CUpdateWorker::Outcome CUpdateWorker::Run() {
  const int n = static_cast<int>(m_plan.components.size());
  m_files.SetListener(&m_view);
  m_view.SetBar(0, n - 1);
  m_view.ShowBar(true);
  std::vector<std::string> targets;
  for (const std::string& name : m_plan.components) targets.push_back(m_plan.programFolder + name);
  if (!m_files.BackupFiles(targets, m_plan.programFolder + "Backup", &m_backedUp)) {
    m_view.SetStatus(kTextCopyError);
    m_view.ShowLine(IUpdateView::kMiddleLine, kTextCopyError);
    m_view.ShowBar(false);
    m_view.ShowLine(IUpdateView::kBottomLine, kTextBackupFailed);
    return kBackupFailed;
  }
  if (!ClosePlayer()) return kPlayerNotClosed;

  m_view.ShowLine(IUpdateView::kTopLine, kTextDoNotClose);
  m_view.ShowLine(IUpdateView::kMiddleLine, kTextUpdatingFiles);
  m_view.HideLine(IUpdateView::kBottomLine);
  m_view.ShowBar(true);
  if (!ReplaceFiles()) {
    bool restored = RestoreFiles();
    m_view.SetStatus(restored ? kTextUpdateFailed : kTextRestoreFailed);
    m_view.ShowLine(IUpdateView::kTopLine, kTextUpdateFailed);
    m_view.ShowLine(IUpdateView::kMiddleLine, kTextCloseAndRetry);
    m_view.ShowBar(false);
    m_view.ShowCloseButton();
    return restored ? kReplaceFailed : kRestoreFailed;
  }
  m_files.CloseHandles();
  m_view.ShowLine(IUpdateView::kTopLine, kTextUpdateSucceeded);
  m_view.ShowLine(IUpdateView::kMiddleLine, kTextRestartingPlayer);
  m_view.HideLine(IUpdateView::kBottomLine);
  m_view.ShowBar(false);
  m_restarted = RestartPlayer();
  if (!m_restarted) m_view.ShowLine(IUpdateView::kMiddleLine, kTextCannotRestart);
  m_view.ShowCloseButton();
  return kReplaced;
}

bool CUpdateWorker::ClosePlayer() {
  const DWORD limit = m_plan.waitLimitMs;
  m_view.ShowLine(IUpdateView::kTopLine, kTextClosingPlayer);
  m_view.ShowLine(IUpdateView::kMiddleLine, kTextPleaseWait);
  m_view.HideLine(IUpdateView::kBottomLine);
  m_view.SetBar(0, static_cast<int>(limit));
  m_view.ShowBar(true);
  HWND player = FindWindowA(m_plan.playerClass.c_str(), nullptr);
  if (!player) return true;
  m_view.ShowMessage(kTextFilesDownloaded);
  m_view.SetStatus(kTextClosingPlayer);
  // The process may outlive its window while it saves and unloads: the
  // installed DLLs stay in use until it has ended.
  DWORD processId = 0;
  GetWindowThreadProcessId(player, &processId);
  base::ScopedHandle process(processId ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr);
  PostMessageA(player, WM_CLOSE, 0, 0);
  DWORD elapsed = 0;
  bool closed = false;
  for (;;) {
    bool windowGone = !FindWindowA(m_plan.playerClass.c_str(), nullptr);
    bool processGone = !process || WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0;
    if (windowGone && processGone) {
      closed = true;
      break;
    }
    if (elapsed >= limit) break;
    Sleep(m_plan.pollMs);
    elapsed += m_plan.pollMs;
    m_view.MoveBar(static_cast<int>(elapsed));
  }
  process.Close();
  if (!closed) {
    m_view.ShowLine(IUpdateView::kTopLine, kTextCannotClosePlayer);
    m_view.HideLine(IUpdateView::kMiddleLine);
    m_view.HideLine(IUpdateView::kBottomLine);
    m_view.ShowBar(false);
    m_view.ShowCloseButton();
    return false;
  }
  m_view.MoveBar(static_cast<int>(limit));
  Sleep(m_plan.settleMs);
  return true;
}

bool CUpdateWorker::ReplaceFiles() {
  const size_t n = m_plan.components.size();
  m_changed.assign(n, false);
  m_view.SetBar(0, static_cast<int>(n));
  const std::string temp = m_plan.programFolder + "Temp\\";
  for (size_t i = 0; i < n; ++i) {
    if (!m_files.CopyIntoFolder(temp + m_plan.components[i], m_plan.programFolder)) {
      // Refused at open, the installed file is as it was; anything else may
      // have written part of it.
      DWORD error = GetLastError();
      m_changed[i] = error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED;
      return false;
    }
    m_changed[i] = true;
    m_view.MoveBar(static_cast<int>(i + 1));
  }
  return true;
}

// Puts back what this run changed: the backup over each replaced file, and a
// file that was not installed before removed again. Goes on past failures.
bool CUpdateWorker::RestoreFiles() {
  m_files.CloseHandles();
  bool ok = true;
  const std::string backup = m_plan.programFolder + "Backup\\";
  for (size_t i = 0; i < m_plan.components.size(); ++i) {
    if (!m_changed[i]) continue;
    const std::string installed = m_plan.programFolder + m_plan.components[i];
    if (m_backedUp[i]) {
      if (!m_files.CopyIntoFolder(backup + m_plan.components[i], m_plan.programFolder)) ok = false;
    } else if (GetFileAttributesA(installed.c_str()) != INVALID_FILE_ATTRIBUTES &&
               !DeleteFileA(installed.c_str())) {
      ok = false;
    }
  }
  return ok;
}

bool CUpdateWorker::RestartPlayer() {
  std::string folder = m_plan.programFolder;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  const std::string player = m_plan.programFolder + m_plan.playerExe;
  HINSTANCE result = ShellExecuteA(nullptr, "open", player.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

bool StartUpdateHelper(const std::string& programFolder) {
  const std::string helper = programFolder + "MelodaraUpdateHelper.exe";
  const std::string parameters =
      "\"" + programFolder + "Temp\\MelodaraUpdate.exe\" \"" + programFolder + "MelodaraUpdate.exe\"";
  HINSTANCE result = ShellExecuteA(nullptr, "open", helper.c_str(), parameters.c_str(), nullptr, SW_HIDE);
  return reinterpret_cast<INT_PTR>(result) > 32;
}
