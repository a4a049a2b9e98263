#pragma once
// The track and staff setting dialog: per track of a MIDI song, whether the
// notation shows it, whether it is muted, its staff kind and its note,
// highlight and line colours. It lists the tracks from the song engine's
// song-information facet and keeps the choices per song path in
// CSongValueMap, from which the main window applies them. Nothing in the
// player opens it: a caller sets the song path and runs it modally.
#include <afxcmn.h>
#include <listctrl/CXListCtrl.h>

#include <string>

#include "app/TrackRecords.h"
#include "base/GdiHandles.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinDialog.h"

class ISongEngine;

class CTrackSettingDlg : public CSkinDialog {
 public:
  enum { IDD = 129 };
  enum : int {
    kIdList = 3,
    kIdViewToggle = 4,
    kIdStaffKind = 1008,
    kIdBackground = 1017,
    kIdNote = 1020,
    kIdHighlight = 1021,
    kIdLine = 1022
  };
  static constexpr int kCompactHeight = 230;
  static constexpr int kFullHeight = 420;

  explicit CTrackSettingDlg(CWnd* parent = nullptr);
  ~CTrackSettingDlg() override;

  void SetSongPath(const std::string& path) { m_songPath = path; }
  const std::string& GetSongPath() const { return m_songPath; }
  // The engine whose song-information facet lists the tracks, given by the
  // caller that makes the dialog (none: the list stays empty).
  void SetSongEngine(ISongEngine* engine) { m_engine = engine; }
  void EnableStaffType(bool enable);

  BOOL OnInitDialog() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDrawItem(WPARAM wParam, LPARAM lParam) override;
  void DrawClient(Gdiplus::Graphics* graphics) override;

  // What the dialog holds, for its owner and tests.
  CXListCtrl& GetList() { return m_list; }
  const TrackSettingMap& GetSettings() const { return m_settings; }
  const TrackColourMap& GetColours() const { return m_colours; }
  COLORREF GetNoteColour() const { return m_note; }
  COLORREF GetHighlightColour() const { return m_highlight; }
  COLORREF GetLineColour() const { return m_line; }
  COLORREF GetBackgroundColour() const { return m_background; }
  bool IsCompact() const { return m_compact; }

 protected:
  // The colour dialog (fully open, starting at colour); true when the user
  // confirmed a colour, which is then in colour.
  virtual bool ChooseColour(COLORREF& colour);

 private:
  void CreateList();
  void FillList();
  void LoadTrack(int track);
  int RowTrack(int row);
  void OnListClick();
  void OnStaffKind();
  void OnColour(int id);
  void ToggleView();
  void SetHeight(int height);
  void StoreSong();
  void Repaint();
  HBRUSH BrushFor(int id) const;

  std::string m_songPath;
  ISongEngine* m_engine = nullptr;
  CXListCtrl m_list;
  CImageList m_headerImages;
  CComboBox m_staffKind;
  CSkinCmdButton m_ok;
  CSkinCmdButton m_cancel;
  CSkinCmdButton m_viewToggle{true};
  bool m_compact = false;
  COLORREF m_background = 0x000000;
  COLORREF m_note = 0x00FF00;
  COLORREF m_highlight = 0x0000FF;
  COLORREF m_line = 0xC8C8C8;
  base::GdiBrush m_backgroundBrush, m_noteBrush, m_highlightBrush, m_lineBrush;
  TrackSettingMap m_settings;
  TrackColourMap m_colours;
};
