#include "ui/CSkinManager.h"

#include <map>
#include <memory>

#include "ui/GdiplusInclude.h"

namespace {

struct SkinFileRow {
  unsigned short id;
  const char* name;
};

const SkinFileRow kSkinFiles[] = {
    {kSkinClose, "Close.bmp"},
    {kSkinMin, "Min.bmp"},
    {kSkinMax, "Max.bmp"},
    {kSkinIcon, "Icon.bmp"},
    {kSkinPlay, "Play.bmp"},
    {kSkinStop, "Stop.bmp"},
    {kSkinPause, "Pause.bmp"},
    {kSkinToBegin, "ToBegin.bmp"},
    {kSkinToEnd, "ToEnd.bmp"},
    {kSkinOpen, "Open.bmp"},
    {kSkinPlayMode, "PlayMode.bmp"},
    {kSkinShowStaff, "ShowStaff.bmp"},
    {kSkinShowSonglist, "ShowSonglist.bmp"},
    {kSkinShowLyric, "ShowLyric.bmp"},
    {kSkinShowSongMaker, "ShowSongMaker.bmp"},
    {kSkinBorderLeft, "BorderLeft.bmp"},
    {kSkinBorderRight, "BorderRight.bmp"},
    {kSkinBorderTop, "BorderTop.bmp"},
    {kSkinBorderBottom, "BorderBottom.bmp"},
    {kSkinAddSongs, "AddSongs.bmp"},
    {kSkinRemoveSongs, "RemoveSongs.bmp"},
    {kSkinHScrollLBtn, "HScrollLBtn.bmp"},
    {kSkinHScrollRBtn, "HScrollRBtn.bmp"},
    {kSkinHScrollHumb, "HScrollHumb.bmp"},
    {kSkinHScrollBk, "HScrollBk.bmp"},
    {kSkinVScrollTBtn, "VScrollTBtn.bmp"},
    {kSkinVScrollBBtn, "VScrollBBtn.bmp"},
    {kSkinVScrollHumb, "VScrollHumb.bmp"},
    {kSkinVScrollBk, "VScrollBk.bmp"},
    {kSkinMainWndTitleActive, "MainWndTitleActive.bmp"},
    {kSkinMainWndTitleInActive, "MainWndTitleInActive.bmp"},
    {kSkinScoreTitleActive, "ScoreTitleActive.png"},
    {kSkinScoreTitleInActive, "ScoreTitleInActive.png"},
    {kSkinLyricTitleActive, "LyricTitleActive.bmp"},
    {kSkinLyricTitleInActive, "LyricTitleInActive.bmp"},
    {kSkinPlaylistTitleActive, "PlaylistTitleActive.bmp"},
    {kSkinPlaylistTitleInActive, "PlaylistTitleInActive.bmp"},
    {kSkinOkBtn, "OkBtn.bmp"},
    {kSkinCancelBtn, "CancelBtn.bmp"},
    {kSkinAdvancedBtn, "AdvancedBtn.bmp"},
    {kSkinSongSetting, "SongSetting.bmp"},
    {kSkinScoreLeftBorder, "ScoreLeftBorder.png"},
    {kSkinScoreRightBorder, "ScoreRightBorder.png"},
    {kSkinScoreTopBorder, "ScoreTopBorder.png"},
    {kSkinScoreBottomBorder, "ScoreBottomBorder.png"},
    {kSkinScoreTopLeft, "ScoreTopLeft.png"},
    {kSkinScoreTopRight, "ScoreTopRight.png"},
    {kSkinScoreBottomLeft, "ScoreBottomLeft.png"},
    {kSkinScoreBottomRight, "ScoreBottomRight.png"},
    {kSkinDisplayStaff, "DisplayStaff.bmp"},
    {kSkinDisplayJianPu, "DisplayJianPu.bmp"},
    {kSkinScoreAlwaysShowBtn, "ScoreAlwaysShowBtn.bmp"},
    {kSkinScoreMinBtn, "ScoreMinBtn.bmp"},
    {kSkinScoreMaxBtn, "ScoreMaxBtn.bmp"},
    {kSkinScoreCloseBtn, "ScoreCloseBtn.bmp"},
    {kSkinScoreIcon, "ScoreIcon.bmp"},
    {kSkinAlwaysShowBtn, "AlwaysShowBtn.bmp"},
    {kSkinLyricsLeftBorder, "LyricsLeftBorder.png"},
    {kSkinLyricsRightBorder, "LyricsRightBorder.png"},
    {kSkinLyricsTopBorder, "LyricsTopBorder.png"},
    {kSkinLyricsBottomBorder, "LyricsBottomBorder.png"},
    {kSkinLyricsTopLeft, "LyricsTopLeft.png"},
    {kSkinLyricsTopRight, "LyricsTopRight.png"},
    {kSkinLyricsBottomLeft, "LyricsBottomLeft.png"},
    {kSkinLyricsBottomRight, "LyricsBottomRight.png"},
    {kSkinLyricsAlwaysShowBtn, "LyricsAlwaysShowBtn.bmp"},
    {kSkinLyricsMinBtn, "LyricsMinBtn.bmp"},
    {kSkinLyricsMaxBtn, "LyricsMaxBtn.bmp"},
    {kSkinLyricsCloseBtn, "LyricsCloseBtn.bmp"},
    {kSkinLyricsIcon, "LyricsIcon.bmp"},
    {kSkinPlayListLeftBorder, "PlayListLeftBorder.png"},
    {kSkinPlayListRightBorder, "PlayListRightBorder.png"},
    {kSkinPlayListTopBorder, "PlayListTopBorder.png"},
    {kSkinPlayListBottomBorder, "PlayListBottomBorder.png"},
    {kSkinPlayListTopLeft, "PlayListTopLeft.png"},
    {kSkinPlayListTopRight, "PlayListTopRight.png"},
    {kSkinPlayListBottomLeft, "PlayListBottomLeft.png"},
    {kSkinPlayListBottomRight, "PlayListBottomRight.png"},
    {kSkinPlayListAlwaysShowBtn, "PlayListAlwaysShowBtn.bmp"},
    {kSkinPlayListMinBtn, "PlayListMinBtn.bmp"},
    {kSkinPlayListMaxBtn, "PlayListMaxBtn.bmp"},
    {kSkinPlayListCloseBtn, "PlayListCloseBtn.bmp"},
    {kSkinPlayListIcon, "PlayListIcon.bmp"},
    {kSkinPlayListAddSongsBtn, "PlayListAddSongsBtn.bmp"},
    {kSkinPlayListRemoveSongsBtn, "PlayListRemoveSongsBtn.bmp"},
    {kSkinPlayListExportSongListBtn, "PlayListExportSongListBtn.bmp"},
    {kSkinPlayListImportSongListBtn, "PlayListImportSongListBtn.bmp"},
    {kSkinMainWndLeftBorder, "MainWndLeftBorder.png"},
    {kSkinMainWndRightBorder, "MainWndRightBorder.png"},
    {kSkinMainWndTopBorder, "MainWndTopBorder.png"},
    {kSkinMainWndBottomBorder, "MainWndBottomBorder.png"},
    {kSkinMainWndTopLeft, "MainWndTopLeft.png"},
    {kSkinMainWndTopRight, "MainWndTopRight.png"},
    {kSkinMainWndBottomLeft, "MainWndBottomLeft.png"},
    {kSkinMainWndBottomRight, "MainWndBottomRight.png"},
    {kSkinMainWndAlwaysShowBtn, "MainWndAlwaysShowBtn.bmp"},
    {kSkinMainWndMinBtn, "MainWndMinBtn.bmp"},
    {kSkinMainWndMaxBtn, "MainWndMaxBtn.bmp"},
    {kSkinMainWndCloseBtn, "MainWndCloseBtn.bmp"},
    {kSkinMainWndIcon, "MainWndIcon.bmp"},
    {kSkinVolume, "Volume.bmp"},
    {kSkinVolumeBtn, "VolumeBtn.bmp"},
    {kSkinMainWndHumb, "MainWndHumb.bmp"},
    {kSkinMainWndScrollBk, "MainWndScrollBk.bmp"},
    {kSkinHeavyBeatNormal, "HeavyBeatNormal.bmp"},
    {kSkinLightBeatNormal, "LightBeatNormal.bmp"},
    {kSkinMiddleBeatNormal, "MiddleBeatNormal.bmp"},
    {kSkinHeavyBeatActive, "HeavyBeatActive.bmp"},
    {kSkinLightBeatActive, "LightBeatActive.bmp"},
    {kSkinMiddleBeatActive, "MiddleBeatActive.bmp"},
};
static_assert(sizeof(kSkinFiles) / sizeof(kSkinFiles[0]) == kSkinImageCount, "one row per registered image");

// Filled once; kept across managers so a manager made again after the
// release finds its ids (its holders are new).
std::map<unsigned short, std::string>& SkinFileTable() {
  static std::map<unsigned short, std::string> table;
  return table;
}

// One holder per registered name; the holders belong to the current manager.
std::map<std::string, std::unique_ptr<CSkinImage>>& SkinImageTable() {
  static std::map<std::string, std::unique_ptr<CSkinImage>> table;
  return table;
}

CSkinManager* g_skinManager = nullptr;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
  return s;
}

void RegisterSkinImages() {
  auto& files = SkinFileTable();
  if (files.empty())
    for (const SkinFileRow& row : kSkinFiles) files[row.id] = row.name;
  auto& images = SkinImageTable();
  if (images.empty())
    for (const SkinFileRow& row : kSkinFiles) images[row.name] = std::make_unique<CSkinImage>();
}

bool ToWide(const std::string& text, std::wstring& wide) {
  int n = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 0) return false;
  wide.assign(static_cast<size_t>(n), L'\0');
  if (::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n) <= 0) return false;
  wide.resize(static_cast<size_t>(n - 1));
  return true;
}

}  // namespace

bool HasSkinExtension(const std::string& text, const char* ext) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == ' ') --end;
  // "x.bmp" is the shortest name that passes: the full stop may not be the
  // first character.
  if (end < 5) return false;
  if (text[end - 4] != '.') return false;
  for (int i = 0; i < 3; ++i)
    if (::tolower(static_cast<unsigned char>(text[end - 3 + i])) != ext[i]) return false;
  return true;
}

CSkinManager::CSkinManager() { RegisterSkinImages(); }

CSkinManager::~CSkinManager() { SkinImageTable().clear(); }

CSkinManager* GetSkinManager() {
  if (!g_skinManager) g_skinManager = new CSkinManager();
  return g_skinManager;
}

void ReleaseSkinManager() {
  delete g_skinManager;
  g_skinManager = nullptr;
}

const char* CSkinManager::GetFileName(unsigned short id) {
  for (const SkinFileRow& row : kSkinFiles)
    if (row.id == id) return row.name;
  return nullptr;
}

int CSkinManager::LoadSkinScheme() {
  // Trailing blanks typed into the settings file would make the folder
  // unlistable; the first character always stays.
  while (m_folder.size() > 1 && m_folder.back() == ' ') m_folder.pop_back();

  std::string pattern = m_folder;
  if (pattern.empty() || pattern.back() != '\\') pattern += '\\';
  pattern += "*.*";

  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 1;
  std::vector<std::string> names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);

  if (!names.empty()) {
    if (m_folder.empty() || m_folder.back() != '\\') m_folder += '\\';
    for (const std::string& name : names) {
      std::string path = m_folder + name;
      if (HasSkinExtension(path, "bmp") || HasSkinExtension(path, "png") || HasSkinExtension(path, "gif"))
        LoadSkinImage(path, name);
    }
  }
  return 0;
}

int CSkinManager::LoadSkinImage(const std::string& fullPath, const std::string& fileName) {
  const std::string key = Lower(fileName);
  CSkinImage* holder = nullptr;
  for (auto& entry : SkinImageTable()) {
    if (Lower(entry.first) == key) {
      holder = entry.second.get();
      break;
    }
  }
  if (!holder) return -1;

  std::wstring wide;
  if (!ToWide(fullPath, wide)) return -1;
  std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromFile(wide.c_str(), FALSE));
  Gdiplus::Status status = bitmap ? bitmap->GetLastStatus() : Gdiplus::OutOfMemory;
  if (status == Gdiplus::Ok && bitmap->GetWidth() == 0) status = Gdiplus::InvalidParameter;
  if (status != Gdiplus::Ok) {
    // A file GDI+ cannot read would draw nothing and hide the image a
    // previous scheme gave this holder: keep that one and say why.
    m_failures.push_back({fileName, static_cast<int>(status)});
    return -1;
  }
  holder->SetImage(bitmap.release());
  return 0;
}

CSkinImage* CSkinManager::GetSkinImage(unsigned short id) const {
  auto file = SkinFileTable().find(id);
  if (file == SkinFileTable().end()) return nullptr;
  auto holder = SkinImageTable().find(file->second);
  if (holder == SkinImageTable().end()) return nullptr;
  return holder->second.get();
}

std::vector<std::string> CSkinManager::GetMissingFiles() const {
  std::vector<std::string> missing;
  for (const SkinFileRow& row : kSkinFiles) {
    CSkinImage* holder = GetSkinImage(row.id);
    if (!holder || !holder->IsLoaded()) missing.push_back(row.name);
  }
  return missing;
}

std::string CSkinManager::DescribeProblems() const {
  std::string text;
  if (!m_failures.empty()) {
    text += "Skin images that could not be read in \"" + m_folder + "\":";
    for (const SkinLoadFailure& f : m_failures) text += " " + f.fileName;
    text += ".";
  }
  std::vector<std::string> missing = GetMissingFiles();
  if (!missing.empty()) {
    if (!text.empty()) text += ' ';
    text += "Skin images missing from \"" + m_folder + "\":";
    for (const std::string& name : missing) text += " " + name;
    text += ".";
  }
  return text;
}
