#include "ui/CSkinManager.h"

#include <cstring>
#include <map>
#include <memory>

#include "base/Guarded.h"
#include "base/Handles.h"
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

// A plain 24-bit bitmap file (what the default skin ships) read directly: the
// general decoder costs about a millisecond a file, which a start pays
// for every image on screen. NULL for any other kind of file.
Gdiplus::Bitmap* ReadPlainBitmapFile(const std::string& path) {
  base::ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 54 || size.QuadPart > (64 << 20)) return nullptr;
  std::vector<unsigned char> bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
      read != bytes.size())
    return nullptr;
  BITMAPFILEHEADER fileHeader;
  BITMAPINFOHEADER info;
  std::memcpy(&fileHeader, bytes.data(), sizeof fileHeader);
  std::memcpy(&info, bytes.data() + sizeof fileHeader, sizeof info);
  if (fileHeader.bfType != 0x4D42 || info.biSize < sizeof info || info.biPlanes != 1 ||
      info.biBitCount != 24 || info.biCompression != BI_RGB || info.biWidth <= 0 || info.biHeight == 0 ||
      info.biWidth > 0x4000 || info.biHeight > 0x4000 || info.biHeight < -0x4000)
    return nullptr;
  const int width = info.biWidth;
  const bool bottomUp = info.biHeight > 0;
  const int height = bottomUp ? info.biHeight : -info.biHeight;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
  if (fileHeader.bfOffBits < sizeof fileHeader + info.biSize ||
      fileHeader.bfOffBits + stride * static_cast<size_t>(height) > bytes.size())
    return nullptr;
  std::unique_ptr<Gdiplus::Bitmap> bitmap(new Gdiplus::Bitmap(width, height, PixelFormat24bppRGB));
  if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
  // The same resolution the general decoder reads from the file.
  if (info.biXPelsPerMeter > 0 && info.biYPelsPerMeter > 0)
    bitmap->SetResolution(static_cast<Gdiplus::REAL>(info.biXPelsPerMeter * 0.0254),
                          static_cast<Gdiplus::REAL>(info.biYPelsPerMeter * 0.0254));
  Gdiplus::Rect all(0, 0, width, height);
  Gdiplus::BitmapData data;
  if (bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &data) != Gdiplus::Ok)
    return nullptr;
  const unsigned char* bits = bytes.data() + fileHeader.bfOffBits;
  for (int y = 0; y < height; ++y) {
    const int from = bottomUp ? height - 1 - y : y;
    std::memcpy(static_cast<unsigned char*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                bits + stride * static_cast<size_t>(from), static_cast<size_t>(width) * 3);
  }
  bitmap->UnlockBits(&data);
  return bitmap.release();
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

CSkinManager::~CSkinManager() {
  StopDecodingAhead();
  SkinImageTable().clear();
}

void CSkinManager::DecodeAhead(std::vector<unsigned short> ids) {
  StopDecodingAhead();
  m_decodeAhead = std::thread([this, ids = std::move(ids)] {
    for (unsigned short id : ids) {
      if (m_stopDecodingAhead.load()) return;
      // A decode that fails is noted like any other; nothing may end the
      // process from this thread.
      if (CSkinImage* image = GetSkinImage(id)) base::Guarded([image] { image->GetImage(); });
    }
  });
}

void CSkinManager::StopDecodingAhead() {
  if (!m_decodeAhead.joinable()) return;
  m_stopDecodingAhead.store(true);
  m_decodeAhead.join();
  m_stopDecodingAhead.store(false);
}

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
  StopDecodingAhead();
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
      if (!HasSkinExtension(path, "bmp") && !HasSkinExtension(path, "png") && !HasSkinExtension(path, "gif"))
        continue;
      // Decoded when first asked for: a start reads only what it shows.
      if (CSkinImage* holder = FindHolder(name))
        holder->SetDecoder([this, path, name] { return Decode(path, name); });
    }
  }
  return 0;
}

CSkinImage* CSkinManager::FindHolder(const std::string& fileName) const {
  const std::string key = Lower(fileName);
  for (auto& entry : SkinImageTable()) {
    if (Lower(entry.first) == key) return entry.second.get();
  }
  return nullptr;
}

void CSkinManager::DecodeAll() const {
  for (auto& entry : SkinImageTable()) entry.second->GetImage();
}

int CSkinManager::LoadSkinImage(const std::string& fullPath, const std::string& fileName) {
  CSkinImage* holder = FindHolder(fileName);
  if (!holder) return -1;
  holder->SetDecoder(nullptr);
  Gdiplus::Bitmap* bitmap = Decode(fullPath, fileName);
  if (!bitmap) return -1;
  holder->SetImage(bitmap);
  return 0;
}

Gdiplus::Bitmap* CSkinManager::Decode(const std::string& fullPath, const std::string& fileName) {
  if (Gdiplus::Bitmap* plain = ReadPlainBitmapFile(fullPath)) return plain;
  std::wstring wide;
  if (!ToWide(fullPath, wide)) return nullptr;
  std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromFile(wide.c_str(), FALSE));
  Gdiplus::Status status = bitmap ? bitmap->GetLastStatus() : Gdiplus::OutOfMemory;
  if (status == Gdiplus::Ok && bitmap->GetWidth() == 0) status = Gdiplus::InvalidParameter;
  if (status != Gdiplus::Ok) {
    // A file GDI+ cannot read would draw nothing and hide the image a
    // previous scheme gave this holder: keep that one and say why.
    std::lock_guard<std::mutex> hold(m_failuresLock);
    m_failures.push_back({fileName, static_cast<int>(status)});
    return nullptr;
  }
  return bitmap.release();
}

CSkinImage* CSkinManager::GetSkinImage(unsigned short id) const {
  auto file = SkinFileTable().find(id);
  if (file == SkinFileTable().end()) return nullptr;
  auto holder = SkinImageTable().find(file->second);
  if (holder == SkinImageTable().end()) return nullptr;
  return holder->second.get();
}

const std::vector<SkinLoadFailure>& CSkinManager::GetLoadFailures() const {
  DecodeAll();
  return m_failures;
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
  DecodeAll();
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
