#include "lyrics/CSongMakerDlg.h"

#include <cderr.h>
#include <richedit.h>

#include <cstdlib>
#include <vector>

#include "lyrics/CLyricTextCompiler.h"
#include "ui/FolderBrowser.h"
#include "ui/IPlayerHost.h"
#include "ui/PlayerMessages.h"

namespace {

// Section words of the editor and their colours (COLORREF), in code page 936
// where they are Chinese.
struct Colored {
  const char* text;
  COLORREF color;
};
const Colored kColored[] = {
    {"<b>[Climax Start]", 0xFF0000},
    {"<b>[Climax End]", 0xFF0000},
    {"[\xBC\xE4\xD7\xE0\xBF\xAA\xCA\xBC]", 0x00FF00},  // interlude start
    {"[\xBC\xE4\xD7\xE0\xBD\xE1\xCA\xF8]", 0x00FF00},  // interlude end
    {"[\xC7\xB0\xD7\xE0\xBF\xAA\xCA\xBC]", 0x0000FF},  // prelude start
    {"[\xC7\xB0\xD7\xE0\xBD\xE1\xCA\xF8]", 0x0000FF},  // prelude end
    {"[\xCE\xB2\xC9\xF9]", 0xFFFF00},                  // coda
};

// The editor's whole text can be large; WM_GETTEXT with its real length.
std::string WindowText(HWND hwnd) {
  const int n = ::GetWindowTextLengthA(hwnd);
  std::string text(static_cast<size_t>(n > 0 ? n : 0) + 1, '\0');
  const int got = ::GetWindowTextA(hwnd, &text[0], n + 1);
  text.resize(got > 0 ? got : 0);
  return text;
}

std::string ReadWholeFile(const std::string& path, bool* ok) {
  *ok = false;
  HANDLE file =
      ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  LARGE_INTEGER size = {};
  std::string bytes;
  if (::GetFileSizeEx(file, &size) && size.QuadPart < 16 * 1024 * 1024) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    *ok = bytes.empty() || (::ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                            read == bytes.size());
  }
  ::CloseHandle(file);
  return bytes;
}

// Line ends as the editor and the markup expect them.
std::string WithCrLf(const std::string& bytes) {
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      out += "\r\n";
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else if (bytes[i] != '\0') {
      out += bytes[i];
    }
  }
  return out;
}

class SystemPrompts : public ISongMakerPrompts {
 public:
  Result ChooseOpenFile(HWND owner, const char* filter, std::string* path) override {
    return Run(TRUE, owner, filter, "", path);
  }
  Result ChooseSaveFile(HWND owner, const char* filter, const std::string& offered,
                        std::string* path) override {
    return Run(FALSE, owner, filter, offered, path);
  }
  bool ChooseFolder(HWND owner, std::string* folder) override {
    char out[MAX_PATH] = {};
    if (!BrowseForFolder(owner, nullptr, out, sizeof(out))) return false;
    *folder = out;
    return true;
  }
  void ShowMessage(HWND owner, const std::string& text) override {
    ::MessageBoxA(owner, text.c_str(), "Song Maker", MB_OK);
  }

 private:
  Result Run(BOOL open, HWND owner, const char* filter, const std::string& offered, std::string* path) {
    CFileDialog dialog(open, nullptr, offered.empty() ? nullptr : offered.c_str(),
                       open ? OFN_FILEMUSTEXIST | OFN_HIDEREADONLY : OFN_HIDEREADONLY, filter,
                       CWnd::FromHandle(owner));
    if (dialog.DoModal() == IDOK) {
      *path = static_cast<const char*>(dialog.GetPathName());
      return path->empty() ? kCancelled : kChosen;
    }
    return ::CommDlgExtendedError() == FNERR_BUFFERTOOSMALL ? kTooLong : kCancelled;
  }
};

}  // namespace

ISongMakerPrompts* GetSystemPrompts() {
  static SystemPrompts prompts;
  return &prompts;
}

BEGIN_MESSAGE_MAP(CSongMakerDlg, CDialog)
  ON_BN_CLICKED(kIdcSelectAudio, OnSelectAudio)
  ON_BN_CLICKED(kIdcSelectFolder, OnSelectFolder)
  ON_BN_CLICKED(kIdcOpenSources, OnOpenSources)
  ON_BN_CLICKED(kIdcMake, OnMake)
  ON_BN_CLICKED(kIdcLoadSong, OnLoadSong)
  ON_BN_CLICKED(kIdcCancelButton, OnCancelButton)
  ON_COMMAND(kIdcApplyDelay, OnApplyDelay)
  ON_COMMAND(kIdcCompile, OnCompile)
  ON_COMMAND(kCmdChooseOutputMidi, OnChooseOutputMidi)
  ON_COMMAND(kCmdSaveAsMidi, OnSaveAsMidi)
  ON_COMMAND(kCmdSaveLyricTextAs, OnSaveLyricTextAs)
  ON_COMMAND(kCmdClimaxStart, OnInsertClimaxStart)
  ON_COMMAND(kCmdClimaxEnd, OnInsertClimaxEnd)
  ON_COMMAND(kCmdEndMarks, OnEndMarks)
  ON_COMMAND(kCmdNormalize, OnNormalize)
  ON_COMMAND(kCmdStrip, OnStrip)
  ON_NOTIFY(EN_MSGFILTER, kIdcLyricEditor, OnEditorFilter)
  ON_WM_CLOSE()
END_MESSAGE_MAP()

CSongMakerDlg::CSongMakerDlg(IPlayerHost* host)
    : CDialog(kIddSongMaker), m_host(host), m_prompts(GetSystemPrompts()) {
  AfxInitRichEdit();
}

CSongMakerDlg::~CSongMakerDlg() {
  if (m_menu) ::DestroyMenu(m_menu);
}

BOOL CSongMakerDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_editor.SetEventMask(m_editor.GetEventMask() | ENM_MOUSEEVENTS);
  m_editor.LimitText(16 * 1024 * 1024);
  m_menu = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIdmEditorMenu));
  return TRUE;
}

void CSongMakerDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, kIdcLyricEditor, m_editor);
  if (!pDX->m_bSaveAndValidate) {
    m_delayValue = m_job.delayMs;
    m_audio = m_job.audioPath.c_str();
    m_folder = m_job.outputFolder.c_str();
    m_outputMidi = m_job.outputMidiPath.c_str();
    m_title = m_job.title.c_str();
    m_singer = m_job.singer.c_str();
    m_composer = m_job.composer.c_str();
    m_lyricist = m_job.lyricist.c_str();
    m_album = m_job.album.c_str();
  }
  DDX_Text(pDX, kIdcDelay, m_delayValue);
  DDV_MinMaxInt(pDX, m_delayValue, 0, 10000000);
  DDX_Text(pDX, kIdcAudioPath, m_audio);
  DDX_Text(pDX, kIdcOutputFolder, m_folder);
  DDX_Text(pDX, kIdcOutputMidi, m_outputMidi);
  DDX_Text(pDX, kIdcSongInfoText, m_info);
  DDX_Text(pDX, kIdcTitle, m_title);
  DDX_Text(pDX, kIdcSinger, m_singer);
  DDX_Text(pDX, kIdcComposer, m_composer);
  DDX_Text(pDX, kIdcLyricist, m_lyricist);
  DDX_Text(pDX, kIdcAlbum, m_album);
  if (pDX->m_bSaveAndValidate) {
    m_job.delayMs = m_delayValue;
    m_job.audioPath = static_cast<const char*>(m_audio);
    m_job.outputFolder = static_cast<const char*>(m_folder);
    m_job.outputMidiPath = static_cast<const char*>(m_outputMidi);
    m_job.title = static_cast<const char*>(m_title);
    m_job.singer = static_cast<const char*>(m_singer);
    m_job.composer = static_cast<const char*>(m_composer);
    m_job.lyricist = static_cast<const char*>(m_lyricist);
    m_job.album = static_cast<const char*>(m_album);
  }
}

std::string CSongMakerDlg::GetEditorText() { return WindowText(m_editor.GetSafeHwnd()); }

void CSongMakerDlg::SetEditorText(const std::string& text) {
  ::SetWindowTextA(m_editor.GetSafeHwnd(), text.c_str());
  ColorSectionWords();
  m_editor.SendMessage(EM_EMPTYUNDOBUFFER, 0, 0);
}

std::string CSongMakerDlg::GetStatus() { return WindowText(::GetDlgItem(m_hWnd, kIdcStatus)); }

void CSongMakerDlg::Status(const std::string& text) { SetDlgItemText(kIdcStatus, text.c_str()); }

void CSongMakerDlg::Message(const std::string& text) {
  if (!text.empty()) m_prompts->ShowMessage(m_hWnd, text);
}

void CSongMakerDlg::ColorSectionWords() {
  if (m_editor.GetTextLength() == 0) return;
  HWND editor = m_editor.GetSafeHwnd();
  ::SendMessageA(editor, WM_SETREDRAW, FALSE, 0);
  CHARRANGE saved = {};
  m_editor.GetSel(saved);
  CHARFORMATA format = {};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_COLOR;
  format.crTextColor = 0;
  ::SendMessageA(editor, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  const long length = m_editor.GetTextLength();
  for (const Colored& c : kColored) {
    FINDTEXTEXA find = {};
    find.chrg.cpMin = 0;
    find.chrg.cpMax = length;
    find.lpstrText = c.text;
    for (;;) {
      const long at =
          static_cast<long>(m_editor.SendMessage(EM_FINDTEXTEX, FR_DOWN, reinterpret_cast<LPARAM>(&find)));
      if (at < 0) break;
      m_editor.SetSel(find.chrgText.cpMin, find.chrgText.cpMax);
      format.crTextColor = c.color;
      ::SendMessageA(editor, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
      if (find.chrgText.cpMax <= find.chrg.cpMin) break;
      find.chrg.cpMin = find.chrgText.cpMax;
    }
  }
  m_editor.SetSel(saved);
  ::SendMessageA(editor, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(editor, nullptr, TRUE);
}

void CSongMakerDlg::OnSelectAudio() {
  FromControls();
  std::string path;
  const auto result = m_prompts->ChooseOpenFile(
      m_hWnd,
      "All supported media "
      "formats|*.mp3;*.asf;*.wma;*.wmv|MP3(*.mp3)|*.mp3|WMA(*.wma)|*.wma|ASF(*.asf)|*.asf|"
      "WMV(*.wmv)|*.wmv||",
      &path);
  if (result == ISongMakerPrompts::kTooLong) {
    CString text;
    text.LoadString(103);
    Message(static_cast<const char*>(text));
    return;
  }
  if (result != ISongMakerPrompts::kChosen) return;
  m_job.SelectAudio(path);
  bool ok = false;
  m_info = WithCrLf(ReadWholeFile(m_job.songInfoPath, &ok)).c_str();
  ToControls();
}

void CSongMakerDlg::OnSelectFolder() {
  FromControls();
  std::string folder;
  if (!m_prompts->ChooseFolder(m_hWnd, &folder)) return;
  m_job.outputFolder = folder;
  ToControls();
}

void CSongMakerDlg::OnOpenSources() {
  std::string midi, lyrics;
  auto result = m_prompts->ChooseOpenFile(m_hWnd, "Midi Files (*.mid)|*.mid||", &midi);
  if (result == ISongMakerPrompts::kTooLong) Message("TOO LONG FILENAME");
  if (result != ISongMakerPrompts::kChosen) return;
  m_job.sourceMidiPath = midi;
  result = m_prompts->ChooseOpenFile(m_hWnd, "Lyrics Files (*.txt)|*.txt||", &lyrics);
  if (result == ISongMakerPrompts::kTooLong) Message("TOO LONG FILENAME");
  if (result != ISongMakerPrompts::kChosen) return;
  m_job.lyricPath = lyrics;
  bool ok = false;
  // Marked with a byte-order mark, the file is read as the compiler reads it.
  const std::string text = WithCrLf(LyricFileText(ReadWholeFile(lyrics, &ok)));
  if (ok) SetEditorText(text);
}

void CSongMakerDlg::OnMake() {
  if (!UpdateData(TRUE)) return;
  std::string status, message;
  Status("Start...");
  // The pack program runs while this thread waits: show where it stands.
  ::UpdateWindow(m_hWnd);
  m_job.Make(GetEditorText(), m_host, &status, &message);
  Status(status);
  Message(message);
  bool ok = false;
  m_info = WithCrLf(ReadWholeFile(m_job.songInfoPath, &ok)).c_str();
  ToControls();
}

void CSongMakerDlg::OnLoadSong() {
  if (!m_host) return;
  FromControls();
  const size_t slash = m_job.audioPath.find_last_of("\\/");
  const std::string song = m_job.outputFolder + "\\" +
                           (slash == std::string::npos ? m_job.audioPath : m_job.audioPath.substr(slash + 1));
  if (::GetFileAttributesA(song.c_str()) == INVALID_FILE_ATTRIBUTES) {
    Message("The file do not exist,please load it by hand.");
    return;
  }
  // Only a song that was added is played: the last entry is another song
  // otherwise.
  if (m_host->AddToPlayList(song.c_str(), 0)) m_host->PlayLastEntry();
}

void CSongMakerDlg::OnApplyDelay() {
  FromControls();
  if (m_host) {
    m_host->Stop();
    m_host->SetDelayTime(m_job.delayMs);
  }
}

void CSongMakerDlg::OnCompile() {
  FromControls();
  std::string saveMessage;
  const int result = m_job.Compile(GetEditorText(), &saveMessage);
  Message(saveMessage);
  if (result != 0) {
    Message("Save lyrics file failed! Perhaps you DONT select a output MIDI file.");
    Status("Failed to save lyrics file!");
  }
}

bool CSongMakerDlg::ChooseMidiToSave(std::string* path) {
  const auto result =
      m_prompts->ChooseSaveFile(m_hWnd, "MIDI file (*.mid)|*.mid||", m_job.OfferedMidiName(), path);
  if (result == ISongMakerPrompts::kTooLong) Message("Too long file name!");
  return result == ISongMakerPrompts::kChosen;
}

void CSongMakerDlg::OnChooseOutputMidi() {
  FromControls();
  if (m_job.sourceMidiPath.empty()) {
    Message("Please select the source MIDI file first!");
    return;
  }
  std::string path;
  if (!ChooseMidiToSave(&path)) return;
  m_job.outputMidiPath = path;
  ToControls();
}

void CSongMakerDlg::OnSaveAsMidi() {
  FromControls();
  std::string path;
  if (m_job.sourceMidiPath.empty() || !ChooseMidiToSave(&path)) return;
  m_job.outputMidiPath = path;
  ToControls();
  OnCompile();
}

void CSongMakerDlg::OnSaveLyricTextAs() {
  std::string path;
  const auto result = m_prompts->ChooseSaveFile(m_hWnd, "Text Files (*.txt)|*.txt||", m_job.lyricPath, &path);
  if (result == ISongMakerPrompts::kTooLong) Message("Too long file name!");
  if (result != ISongMakerPrompts::kChosen) return;
  Message(m_job.SaveLyricText(GetEditorText(), path));
}

void CSongMakerDlg::OnInsertClimaxStart() {
  m_editor.ReplaceSel("<b>[Climax Start]", TRUE);
  ColorSectionWords();
}

void CSongMakerDlg::OnInsertClimaxEnd() {
  m_editor.ReplaceSel("<b>[Climax End]", TRUE);
  ColorSectionWords();
}

void CSongMakerDlg::OnEndMarks() {
  const std::string selected = static_cast<const char*>(m_editor.GetSelText());
  m_editor.ReplaceSel(CSongMakerJob::AddEndMarks(selected).c_str(), TRUE);
}

void CSongMakerDlg::OnNormalize() {
  std::string out;
  if (!NormalizeText(GetEditorText(), &out)) {
    ::MessageBoxW(m_hWnd, L"\x6587\x672C\x683C\x5F0F\x6709\x9519\x8BEF!", L"Song Maker", MB_OK);
    return;
  }
  SetEditorText(out);
}

void CSongMakerDlg::OnStrip() {
  CLyricTextCompiler compiler;
  compiler.StripSong(m_job.sourceMidiPath.c_str());
}

void CSongMakerDlg::OnCancel() {
  if (CWnd* parent = GetParent()) ::SendMessageA(parent->GetSafeHwnd(), WM_SKIN_HIDE_CHILD, 0, 0);
}

void CSongMakerDlg::OnClose() { OnCancel(); }

void CSongMakerDlg::OnEditorFilter(NMHDR* header, LRESULT* result) {
  *result = 0;
  const MSGFILTER* filter = reinterpret_cast<const MSGFILTER*>(header);
  if (filter->msg != WM_RBUTTONUP || !m_menu) return;
  POINT pt;
  ::GetCursorPos(&pt);
  ::TrackPopupMenu(::GetSubMenu(m_menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr);
}
