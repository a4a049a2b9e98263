#include "AutoUpdateDlg.h"

#include <commctrl.h>

#include <cstdio>
#include <thread>

#include "Resource.h"
#include "UpdateAboutDlg.h"
#include "base/Guarded.h"
#include "updater/HashManager.h"
#include "updater/UpdateWorker.h"

#ifndef MELODARA_UPDATE_SERVER
#define MELODARA_UPDATE_SERVER "http://www.melodara.com"
#endif

namespace {

std::string Text(UINT id) {
  char buffer[512] = {};
  ::LoadStringA(AfxGetResourceHandle(), id, buffer, sizeof buffer);
  return buffer;
}

// The fixed texts of the code, written in the system's code page as the
// dialog's ANSI controls expect.
std::string Ansi(const wchar_t* text) {
  int size = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size : 1, '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], size, nullptr, nullptr);
  return out.c_str();
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

// What the update worker shows, in the progress dialog and the main dialog.
class DialogView : public IUpdateView {
 public:
  DialogView(HWND progress, HWND main) : m_progress(progress), m_main(main) {}
  void OnCopyStep(int index) override { MoveBar(index); }
  void ShowLine(int line, int stringId) override {
    HWND control = ::GetDlgItem(m_progress, line);
    ::SetWindowTextA(control, Text(stringId).c_str());
    ::ShowWindow(control, SW_SHOW);
  }
  void HideLine(int line) override { ::ShowWindow(::GetDlgItem(m_progress, line), SW_HIDE); }
  void SetBar(int low, int high) override {
    ::SendDlgItemMessageA(m_progress, IDC_PROGRESS, PBM_SETRANGE32, low, high);
  }
  void MoveBar(int position) override {
    ::SendDlgItemMessageA(m_progress, IDC_PROGRESS, PBM_SETPOS, position, 0);
  }
  void ShowBar(bool show) override {
    ::ShowWindow(::GetDlgItem(m_progress, IDC_PROGRESS), show ? SW_SHOW : SW_HIDE);
  }
  void ShowCloseButton() override { ::ShowWindow(::GetDlgItem(m_progress, IDC_CLOSE), SW_SHOW); }
  void SetStatus(int stringId) override {
    ::SetDlgItemTextA(m_main, IDC_STATUS, (Text(IDS_STATUS_PREFIX) + Text(stringId)).c_str());
  }
  void ShowMessage(int stringId) override {
    ::MessageBoxA(m_progress, Text(stringId).c_str(), Text(IDS_TITLE).c_str(), MB_OK);
  }

 private:
  HWND m_progress;
  HWND m_main;
};

}  // namespace

BEGIN_MESSAGE_MAP(CAutoUpdateDlg, CDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_WM_DESTROY()
  ON_BN_CLICKED(IDC_START, OnStart)
  ON_BN_CLICKED(IDC_EXIT, OnExit)
  ON_MESSAGE(kTextMessage, OnText)
  ON_MESSAGE(kDoneMessage, OnDone)
  ON_MESSAGE(kProgressMessage, OnProgress)
END_MESSAGE_MAP()

CAutoUpdateDlg::CAutoUpdateDlg()
    : CDialog(IDD_AUTOUPDATE_DIALOG), m_hIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME)) {}

CAutoUpdateDlg::~CAutoUpdateDlg() { m_downloader.DetachListener(); }

BOOL CAutoUpdateDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CRect window;
  GetWindowRect(&window);
  RECT desktop;
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &desktop, 0);
  ::GetWindowRect(::GetDesktopWindow(), &desktop);
  SetWindowPos(nullptr, desktop.right - window.Width(), desktop.bottom - window.Height() - 33, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER);
  m_programFolder = ProgramFolder();
  m_tempFolder = m_programFolder + Text(IDS_TEMP) + "\\";
  LayOut();
  CMenu* pSysMenu = GetSystemMenu(FALSE);
  std::string about = Text(IDS_ABOUTBOX);
  if (pSysMenu && !about.empty()) {
    pSysMenu->AppendMenu(MF_SEPARATOR);
    pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about.c_str());
  }
  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);
  m_downloader.SetListener(this);
  FileVersion own;
  std::string url;
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (GetProductVersion(self, &own))
    url = std::string(MELODARA_UPDATE_SERVER) + Text(IDS_VERSION_PATH) + FormatVersion(own);
  m_downloader.StartTextFetch(url);
  return TRUE;
}

void CAutoUpdateDlg::LayOut() {
  CRect window, client;
  GetWindowRect(&window);
  GetClientRect(&client);
  const int width = window.Width();
  GetDlgItem(IDC_CAPTION)->MoveWindow(5, 5, width, 20);
  GetDlgItem(IDC_STATUS)->MoveWindow(5, client.bottom - 70, width, 20);
  SetDlgItemText(IDC_CAPTION, Text(IDS_CAPTION).c_str());
  SetStatus(IDS_CHECKING);
  GetDlgItem(IDC_CAPTION)->ShowWindow(SW_HIDE);

  CRect listRect(client.left + 5, 20, client.right - 5, client.bottom - 75);
  m_list.CreateEx(WS_EX_CLIENTEDGE, WC_LISTVIEWA, nullptr, 0x50030009, listRect, this, IDC_LIST);
  m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_FLATSB);
  m_list.EnableToolTips(TRUE);
  const int w = listRect.Width() - 2;
  const int widths[3] = {20, 10 * w / 64, 8 * w / 64};
  m_list.InsertColumn(0, "", LVCFMT_LEFT, widths[0]);
  m_list.InsertColumn(1, Ansi(L"组件").c_str(), LVCFMT_LEFT, widths[1]);
  m_list.InsertColumn(2, Ansi(L"进度").c_str(), LVCFMT_CENTER, widths[2]);
  m_list.InsertColumn(3, Ansi(L"说明").c_str(), LVCFMT_LEFT, w - widths[0] - widths[1] - widths[2] - 2);
  if (m_images.Create(IDB_LIST_IMAGES, 16, 1, RGB(255, 0, 255)))
    m_list.GetHeaderCtrl()->SetImageList(&m_images);
  m_list.SetTextBkColor(RGB(255, 255, 255));
  m_list.SetBkColor(RGB(255, 255, 255));

  CWnd* start = GetDlgItem(IDC_START);
  CWnd* exit = GetDlgItem(IDC_EXIT);
  start->SetWindowText(Ansi(L"开始").c_str());
  exit->SetWindowText(Ansi(L"退出").c_str());
  start->EnableWindow(FALSE);
  exit->EnableWindow(FALSE);
  CRect r1, r2;
  start->GetWindowRect(&r1);
  exit->GetWindowRect(&r2);
  const int a = 2 * (r1.Width() + r2.Width());
  const int b = (client.Width() - a) / 2;
  start->MoveWindow(b, client.bottom - (50 - r1.Height()) / 2 - r1.Height(), r1.Width(), r1.Height());
  exit->MoveWindow(b + a - r2.Width(), client.bottom - (50 - r2.Height()) / 2 - r2.Height(), r2.Width(),
                   r2.Height());
  SetWindowText(Text(IDS_TITLE).c_str());
}

void CAutoUpdateDlg::SetStatus(UINT id) {
  SetDlgItemText(IDC_STATUS, (Text(IDS_STATUS_PREFIX) + Text(id)).c_str());
}

void CAutoUpdateDlg::Fail(UINT id) {
  SetStatus(id);
  GetDlgItem(IDC_EXIT)->EnableWindow(TRUE);
}

void CAutoUpdateDlg::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
    CUpdateAboutDlg about;
    about.DoModal();
  } else {
    CDialog::OnSysCommand(nID, lParam);
  }
}

void CAutoUpdateDlg::OnPaint() {
  if (IsIconic()) {
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    CRect rect;
    GetClientRect(&rect);
    dc.DrawIcon((rect.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2,
                (rect.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2, m_hIcon);
  } else {
    CDialog::OnPaint();
  }
}

HCURSOR CAutoUpdateDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

// Exit and the close box: stop the transfer and go; a worker still running
// finds no listener. While the update worker runs the progress dialog is
// modal and cannot be closed, so this never ends the program under it.
void CAutoUpdateDlg::OnCancel() {
  if (m_stage == kUpdating) return;
  m_downloader.Cancel();
  m_downloader.DetachListener();
  EndDialog(IDCANCEL);
}

void CAutoUpdateDlg::OnExit() { OnCancel(); }

void CAutoUpdateDlg::OnDestroy() {
  m_downloader.DetachListener();
  CDialog::OnDestroy();
}

void CAutoUpdateDlg::OnTextReceived(const std::string& text) {
  auto* copy = new std::string(text);
  if (!::PostMessageA(m_hWnd, kTextMessage, 0, reinterpret_cast<LPARAM>(copy))) delete copy;
}

void CAutoUpdateDlg::OnDownloadDone(BOOL finished) { ::PostMessageA(m_hWnd, kDoneMessage, finished, 0); }

void CAutoUpdateDlg::OnDataReceived(const char*, DWORD count) {
  m_received += count;
  if (!m_progressPosted.exchange(true)) ::PostMessageA(m_hWnd, kProgressMessage, 0, 0);
}

LRESULT CAutoUpdateDlg::OnText(WPARAM, LPARAM lParam) {
  std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(lParam));
  if (m_stage == kChecking)
    OnVersionAnswer(*text);
  else if (m_stage == kFetchingList)
    OnUpdateList(*text);
  else if (m_stage == kSelfUpdate)
    OnSelfUpdateList(*text);
  return 0;
}

// The new updater goes to the helper only once the update description
// vouches for every byte of it: a download cut short without a length, an
// error page or a file left in Temp never replaces the updater.
void CAutoUpdateDlg::OnSelfUpdateList(const std::string& fetched) {
  std::string text = fetched.c_str();  // up to the first NUL
  if (text.empty()) {
    Fail(IDS_SERVER_FAILED);
    return;
  }
  if (!IsListedDownload(text, Text(IDS_SELF_NAME), m_tempFolder + Text(IDS_SELF_NAME))) {
    Fail(IDS_DAMAGED);
    return;
  }
  if (!StartUpdateHelper(m_programFolder)) {
    Fail(IDS_SERVER_FAILED);
    return;
  }
  PostMessage(WM_CLOSE);
}

void CAutoUpdateDlg::OnVersionAnswer(const std::string& answer) {
  switch (ClassifyVersionAnswer(answer.c_str())) {
    case kAnswerUnusable:
      Fail(IDS_SERVER_FAILED);
      return;
    case kAnswerOutdated:
      m_stage = kSelfUpdate;
      ::CreateDirectoryA(m_tempFolder.c_str(), nullptr);
      m_downloader.StartFileDownload(MELODARA_UPDATE_SERVER + Text(IDS_SELF_PATH),
                                     m_tempFolder + Text(IDS_SELF_NAME));
      return;
    case kAnswerCurrent:
      m_stage = kFetchingList;
      GetDlgItem(IDC_EXIT)->EnableWindow(TRUE);
      SetStatus(IDS_FETCHING_LIST);
      m_downloader.StartTextFetch(MELODARA_UPDATE_SERVER + Text(IDS_LIST_PATH));
      return;
  }
}

void CAutoUpdateDlg::OnUpdateList(const std::string& fetched) {
  std::string text = fetched.c_str();  // up to the first NUL
  if (text.empty()) {
    Fail(IDS_SERVER_FAILED);
    return;
  }
  // The list is kept beside the program; what is checked is the text that
  // was fetched, never an older file left there.
  std::string release;
  std::vector<UpdateFileRecord> records;
  if (!SaveUpdateXml(m_programFolder + "Update.xml", text) ||
      ReadUpdateXml(text, &release, &records) != kStatusOk) {
    Fail(IDS_BAD_LIST);
    return;
  }
  if (ChooseOfferedRecords(release, records, m_programFolder, &m_offered) != kStatusOk) {
    Fail(IDS_UP_TO_DATE);
    return;
  }
  FillList();
  SetStatus(IDS_CHOOSE);
  GetDlgItem(IDC_START)->EnableWindow(TRUE);
}

void CAutoUpdateDlg::FillList() {
  m_list.LockWindowUpdate();
  for (size_t i = 0; i < m_offered.size(); ++i) {
    const int row = static_cast<int>(i);
    m_list.InsertItem(row, "");
    m_list.SetCheckbox(row, 0, 1);
    m_list.SetEnabled(row, !m_offered[i].Necessary);
    m_list.SetItemText(row, 1, m_offered[i].ComponentName.c_str(), RGB(0, 0, 0), RGB(255, 255, 255));
    m_list.SetItemText(row, 3, m_offered[i].Description.c_str(), RGB(0, 0, 0), RGB(255, 255, 255));
  }
  m_list.UnlockWindowUpdate();
}

int CAutoUpdateDlg::NextCheckedRow(int from) {
  for (int row = from; row < static_cast<int>(m_offered.size()); ++row)
    if (m_list.GetCheckbox(row, 0) == 1) return row;
  return -1;
}

void CAutoUpdateDlg::OnStart() {
  GetDlgItem(IDC_START)->EnableWindow(FALSE);
  int row = NextCheckedRow(0);
  if (row < 0) return;
  m_files.DeleteFolderFiles(m_tempFolder, TRUE);
  if (!::CreateDirectoryA(m_tempFolder.c_str(), nullptr)) {
    m_stage = kNoTemp;
    SetStatus(IDS_NO_TEMP);
    return;
  }
  m_stage = kDownloading;
  m_currentRow = row;
  StartRowDownload();
}

void CAutoUpdateDlg::StartRowDownload() {
  m_received = 0;
  m_progressCellMade = false;
  const UpdateFileRecord& record = m_offered[m_currentRow];
  m_downloader.StartFileDownload(record.URL, m_tempFolder + record.Name);
}

LRESULT CAutoUpdateDlg::OnProgress(WPARAM, LPARAM) {
  m_progressPosted = false;
  if (m_stage != kDownloading || m_currentRow < 0 || m_currentRow >= static_cast<int>(m_offered.size()))
    return 0;
  if (!m_progressCellMade) {
    m_list.SetProgress(m_currentRow, 2, TRUE);
    m_progressCellMade = true;
  }
  uint64_t size = ParseSizeText(m_offered[m_currentRow].Size);
  if (size > 0) {
    int64_t percent = DownloadPercent(m_received, size);
    m_list.UpdateProgress(m_currentRow, 2, static_cast<int>(std::min<int64_t>(percent, INT_MAX)));
  }
  return 0;
}

LRESULT CAutoUpdateDlg::OnDone(WPARAM finished, LPARAM) {
  DownloadOutcome outcome = m_downloader.GetOutcome();
  if (m_stage == kSelfUpdate) {
    if (!finished || !outcome.Complete()) {
      Fail(IDS_SERVER_FAILED);
      return 0;
    }
    // Whether it is whole the update description's checksum tells (OnSelfUpdateList).
    m_downloader.StartTextFetch(MELODARA_UPDATE_SERVER + Text(IDS_LIST_PATH));
    return 0;
  }
  if (m_stage != kDownloading) return 0;
  OnProgress(0, 0);
  m_received = 0;
  if (!finished || outcome.readFailed || m_currentRow < 0 ||
      m_currentRow >= static_cast<int>(m_offered.size())) {
    Fail(IDS_SERVER_FAILED);
    return 0;
  }
  const UpdateFileRecord& record = m_offered[m_currentRow];
  CHashManager hash;
  hash.SetFilePath(m_tempFolder + record.Name);
  hash.SetAlgorithm(CHashManager::kMd5);
  hash.SetSource(CHashManager::kSourceFile);
  hash.SetFormat(CHashManager::kUpper);
  if (hash.GetHash() != record.Verify) {
    Fail(IDS_DAMAGED);
    return 0;
  }
  m_targets.push_back(record.Name);
  int next = NextCheckedRow(m_currentRow + 1);
  if (next >= 0) {
    m_currentRow = next;
    StartRowDownload();
    return 0;
  }
  RunUpdateWorker();
  return 0;
}

void CAutoUpdateDlg::RunUpdateWorker() {
  m_stage = kUpdating;
  UpdatePlan plan;
  plan.programFolder = m_programFolder;
  plan.components = m_targets;
  plan.waitLimitMs = static_cast<DWORD>(atoi(Text(IDS_WAIT_LIMIT).c_str()));
  plan.playerClass = Text(IDS_PLAYER_CLASS);
  plan.playerExe = Text(IDS_PLAYER_EXE);
  std::thread worker;
  HWND main = m_hWnd;
  m_progress.SetStartWorker([&](HWND progress) {
    worker = std::thread([this, plan, progress, main] {
      // The progress dialog closes on the done message, so it is posted
      // however the update ended.
      base::Guarded([&] {
        DialogView view(progress, main);
        CUpdateWorker(plan, view, m_files).Run();
      });
      ::PostMessageA(progress, CUpdateProgressDlg::kWorkerDone, 0, 0);
    });
  });
  m_progress.DoModal();
  if (worker.joinable()) worker.join();
  m_stage = kChecking;
  GetDlgItem(IDC_EXIT)->EnableWindow(TRUE);
}
