// The song maker: a modeless dialog (template 101) with a rich-edit lyric
// editor whose section words are coloured, the audio, output and song
// information fields, and Make. The work is CSongMakerJob's; this class
// moves values between it and the controls and shows what it reports.
// Make, loading the made song and applying the delay act on the player host
// it was made with (none: Make stops after its checks, the others do
// nothing).
// File dialogs, the folder picker and message boxes go through
// ISongMakerPrompts, which tests replace.
#pragma once

#include <afxcmn.h>
#include <afxdlgs.h>
#include <afxwin.h>

#include <string>

#include "lyrics/CSongMakerJob.h"

class IPlayerHost;

class ISongMakerPrompts {
 public:
  enum Result { kChosen, kCancelled, kTooLong };
  // filter: the common dialog's filter string ("name|pattern|...|").
  virtual Result ChooseOpenFile(HWND owner, const char* filter, std::string* path) = 0;
  virtual Result ChooseSaveFile(HWND owner, const char* filter, const std::string& offered,
                                std::string* path) = 0;
  virtual bool ChooseFolder(HWND owner, std::string* folder) = 0;
  virtual void ShowMessage(HWND owner, const std::string& text) = 0;

 protected:
  ~ISongMakerPrompts() = default;
};

// The system's dialogs and message boxes.
ISongMakerPrompts* GetSystemPrompts();

enum SongMakerIds : UINT {
  kIddSongMaker = 101,
  kIdcLyricEditor = 1040,
  kIdcDelay = 1041,
  kCmdSaveAsMidi = 1044,
  kIdcMake = 1042,
  kIdcOpenSources = 1043,
  kIdcAudioPath = 1045,
  kIdcSelectAudio = 1046,
  kIdcOutputFolder = 1047,
  kIdcSelectFolder = 1048,
  kIdcApplyDelay = 1049,
  kIdcOutputMidi = 1051,
  kIdcCompile = 1052,
  kCmdSaveLyricTextAs = 1053,
  kIdcSongInfoText = 1054,
  kCmdChooseOutputMidi = 1055,
  kIdcStatus = 1056,
  kIdcTitle = 1057,
  kIdcLyricist = 1058,
  kIdcComposer = 1059,
  kIdcSinger = 1060,
  kIdcAlbum = 1061,
  kIdcLoadSong = 1063,
  kIdcCancelButton = 1014,
  kIdmEditorMenu = 185,
  kCmdClimaxStart = 32788,
  kCmdClimaxEnd = 32789,
  kCmdNormalize = 32795,
  kCmdStrip = 32797,
  kCmdEndMarks = 32798,
};

class CSongMakerDlg : public CDialog {
 public:
  explicit CSongMakerDlg(IPlayerHost* host);
  ~CSongMakerDlg() override;

  void SetPrompts(ISongMakerPrompts* prompts) { m_prompts = prompts ? prompts : GetSystemPrompts(); }
  CSongMakerJob& GetJob() { return m_job; }
  CRichEditCtrl& GetEditor() { return m_editor; }
  std::string GetEditorText();
  void SetEditorText(const std::string& text);
  std::string GetStatus();
  // Colours the section words in the editor's text.
  void ColorSectionWords();

  // Commands, public for the frame and tests
  void OnSelectAudio();
  void OnSelectFolder();
  void OnOpenSources();
  void OnMake();
  void OnLoadSong();
  void OnApplyDelay();
  void OnCompile();
  void OnChooseOutputMidi();
  void OnSaveAsMidi();
  void OnSaveLyricTextAs();
  void OnInsertClimaxStart();
  void OnInsertClimaxEnd();
  void OnEndMarks();
  void OnNormalize();
  void OnStrip();

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  // Enter in a field must not end the dialog inside its frame.
  void OnOK() override {}
  // Cancel and close ask the frame to hide; the dialog stays.
  void OnCancel() override;
  void OnClose();
  void OnEditorFilter(NMHDR* header, LRESULT* result);
  void OnCancelButton() { OnCancel(); }

  DECLARE_MESSAGE_MAP()

 private:
  void Status(const std::string& text);
  void Message(const std::string& text);
  void ToControls() { UpdateData(FALSE); }
  void FromControls() { UpdateData(TRUE); }
  // A save dialog for a MIDI file offering the source MIDI file's name.
  bool ChooseMidiToSave(std::string* path);

  IPlayerHost* m_host;
  CSongMakerJob m_job;
  ISongMakerPrompts* m_prompts;
  CRichEditCtrl m_editor;
  CString m_delay, m_audio, m_folder, m_outputMidi, m_info, m_title, m_singer, m_composer, m_lyricist,
      m_album;
  int m_delayValue = 0;
  HMENU m_menu = nullptr;
};
