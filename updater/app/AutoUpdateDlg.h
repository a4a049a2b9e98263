#pragma once
// The update dialog: asks the server whether the updater is current, lists the
// newer components, downloads and checks the chosen ones, and runs the update
// worker under the progress dialog.
#include <afxwin.h>

#include <atomic>
#include <string>
#include <vector>

#include "UpdateProgressDlg.h"
#include "updater/Downloader.h"
#include "updater/FileHelper.h"
#include "updater/UpdateListCtrl.h"
#include "updater/UpdateProtocol.h"

class CAutoUpdateDlg : public CDialog, public IDownloadListener {
 public:
  CAutoUpdateDlg();
  ~CAutoUpdateDlg() override;

  // IDownloadListener, on the downloader's thread: each hands its news to the
  // dialog's own thread by a posted message and never waits on it.
  void OnDownloadDone(BOOL finished) override;
  void OnTextReceived(const std::string& text) override;
  void OnDataReceived(const char* data, DWORD count) override;

 protected:
  enum Stage {
    kChecking = 0,
    kFetchingList = 1,
    kSelfUpdate = 2,
    kDownloading = 3,
    kUpdating = 4,
    kNoTemp = 7
  };
  static constexpr UINT kTextMessage = WM_APP + 1;
  static constexpr UINT kDoneMessage = WM_APP + 2;
  static constexpr UINT kProgressMessage = WM_APP + 3;

  BOOL OnInitDialog() override;
  void OnCancel() override;
  void OnOK() override {}
  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnDestroy();
  afx_msg void OnStart();
  afx_msg void OnExit();
  afx_msg LRESULT OnText(WPARAM, LPARAM);
  afx_msg LRESULT OnDone(WPARAM, LPARAM);
  afx_msg LRESULT OnProgress(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

 private:
  void LayOut();
  void SetStatus(UINT id);
  void Fail(UINT id);
  void OnVersionAnswer(const std::string& answer);
  void OnUpdateList(const std::string& text);
  void OnSelfUpdateList(const std::string& text);
  void FillList();
  int NextCheckedRow(int from);
  void StartRowDownload();
  void RunUpdateWorker();

  HICON m_hIcon;
  CUpdateListCtrl m_list;
  CImageList m_images;
  CDownloader m_downloader;
  CFileHelper m_files;
  CUpdateProgressDlg m_progress;
  Stage m_stage = kChecking;
  std::string m_programFolder;
  std::string m_tempFolder;
  std::vector<UpdateFileRecord> m_offered;
  std::vector<std::string> m_targets;
  int m_currentRow = 0;
  bool m_progressCellMade = false;
  std::atomic<uint64_t> m_received{0};
  std::atomic<bool> m_progressPosted{false};
};
