#include "playback/CMediaHelper.h"

#include <shlwapi.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "base/ReleasePtr.h"
#include "playback/AudioLength.h"
#include "quillix/SongBlock.h"

namespace {

std::string g_quillixName = "QuillixLib.dll";

using ParserPtr = base::ReleasePtr<IQuillixParser>;

// A chunk's bytes; empty when absent (or when memory runs out for a huge one).
std::string ReadChunkText(IQuillixParser* parser, uint32_t tag) {
  int length = parser->ReadChunk(tag, nullptr);
  if (length <= 0) return std::string();
  std::string text;
  try {
    text.resize(size_t(length));
  } catch (...) {
    return std::string();
  }
  parser->ReadChunk(tag, &text[0]);
  return text;
}

}  // namespace

void CMediaHelper::SetQuillixLibraryName(const char* name) { g_quillixName = name ? name : "QuillixLib.dll"; }

CMediaHelper::~CMediaHelper() {
  if (sync_) sync_->Release();
  if (audio_) {
    audio_->Close();
    audio_->Release();
  }
  if (song_) song_->Release();
  quillix_.Free();
}

bool CMediaHelper::Init() {
  audio_ = CAudioFilePlayer::Create();
  song_ = CPlayerProxy::Create();
  sync_ = CSyncPlayer::Create();
  if (sync_) {
    sync_->SetMidiPlayer(song_);
    sync_->SetAudioPlayer(audio_);
  }
  return audio_ && song_;
}

void CMediaHelper::SetSongEngine(ISongEngine* engine) {
  engine_ = engine;
  if (song_) song_->SetSongEngine(engine);
  if (sync_) sync_->SetSongEngine(engine);
}

bool CMediaHelper::SetDelayTime(int ms) {
  if (!sync_ || current_ != sync_) return false;
  sync_->SetDelayTime(ms);
  return true;
}

bool CMediaHelper::HasExtension(const char* path, const char* extension) {
  return _stricmp(PathFindExtensionA(path), extension) == 0;
}

void CMediaHelper::Post(UINT message, WPARAM wParam, LPARAM lParam) {
  if (window_) PostMessageA(window_, message, wParam, lParam);
}

void CMediaHelper::OnPosition(int ms) { Post(WM_PLAYER_POSITION, 0, ms); }

void CMediaHelper::OnBeat(int beat, int beatsPerBar, int extra) {
  Post(WM_PLAYER_BEAT, WPARAM(extra), LPARAM(beatsPerBar) << 16 | LPARAM(beat));
}

void CMediaHelper::OnSongEnd() { Post(WM_PLAYER_END, 0, 0); }

IQuillixParser* CMediaHelper::GetQuillixParser() {
  if (!quillix_ && !quillix_.Load(g_quillixName.c_str())) return nullptr;  // tried again at the next need
  auto create = quillix_.Find<CreateIQuillixParserFn>("CreateIQuillixParser");
  if (!create) {
    quillix_.Free();
    return nullptr;
  }
  return create(1);
}

bool CMediaHelper::HasEmbeddedSong(const char* path) {
  ParserPtr parser(GetQuillixParser());
  return parser && parser->HasEmbeddedSong(path) != 0;
}

void CMediaHelper::ClearSongInfo() {
  title_.clear(), singer_.clear(), composer_.clear(), lyricist_.clear(), album_.clear();
}

void CMediaHelper::ReadSongInfo(IQuillixParser* parser) {
  title_ = ReadChunkText(parser, quillix::kTagTitle);
  singer_ = ReadChunkText(parser, quillix::kTagSinger);
  lyricist_ = ReadChunkText(parser, quillix::kTagLyricist);
  composer_ = ReadChunkText(parser, quillix::kTagComposer);
  album_ = ReadChunkText(parser, quillix::kTagAlbum);
}

void CMediaHelper::FillSongInfoFromPlayer() {
  if (!current_) return;
  struct Field {
    std::string* text;
    int (IMediaPlayer::*get)(char**);
  } fields[] = {{&title_, &IMediaPlayer::GetTitle},
                {&singer_, &IMediaPlayer::GetAlbumArtist},
                {&composer_, &IMediaPlayer::GetComposer},
                {&lyricist_, &IMediaPlayer::GetLyrics},
                {&album_, &IMediaPlayer::GetAlbumTitle}};
  for (const Field& field : fields) {
    if (!field.text->empty()) continue;
    char* text = nullptr;
    // A player that says "stored" but stored nothing gives no text.
    if ((current_->*field.get)(&text) && text) *field.text = text;
    delete[] text;
  }
}

void CMediaHelper::PrepareEmbeddedSong(const char* path) {
  ParserPtr parser(GetQuillixParser());
  if (!parser) return;
  parser->Open(path);
  std::string song = ReadChunkText(parser.get(), quillix::kTagSong);
  // The offset is taken only from a chunk of exactly its size.
  int32_t offset = 0;
  if (parser->ReadChunk(quillix::kTagOffset, nullptr) == int(sizeof offset))
    parser->ReadChunk(quillix::kTagOffset, &offset);
  ReadSongInfo(parser.get());

  char folder[MAX_PATH + 1];
  DWORD length = GetTempPathA(sizeof folder, folder);
  char songPath[MAX_PATH] = "";
  bool written = false;
  if (length > 0 && length < sizeof folder && GetTempFileNameA(folder, "EXT", 0, songPath) != 0) {
    if (FILE* file = std::fopen(songPath, "wb")) {
      written = song.empty() || std::fwrite(song.data(), 1, song.size(), file) == song.size();
      written = std::fclose(file) == 0 && written;
    }
  }
  // Without the song on disk the audio plays alone, as for an empty song.
  if (written) {
    sync_->OpenSong(songPath);
    sync_->MuteSong();
    if (engine_) Post(WM_PLAYER_BEATS_PER_BAR, 0, engine_->GetBeatsPerBar());
    sync_->SetDelayTime(offset);
  }
  // The engine read the whole song while opening it.
  if (songPath[0]) DeleteFileA(songPath);
}

int CMediaHelper::PrepareMediaFile(const char* path) {
  const MediaKind kind = GetMediaType(path);
  if (kind == MediaKind::kNone || !PathFileExistsA(path)) return 1;
  if (current_) current_->Close();
  current_ = nullptr;
  ClearSongInfo();
  if (kind == MediaKind::kSong) {
    if (!song_) return 1;
    song_->SetListener(this);
    if (engine_) {
      engine_->CloseMidiOut(false);
      Post(WM_PLAYER_BEATS_PER_BAR, 0, engine_->GetBeatsPerBar());
    }
    if (song_->Open(path) != 0) return 1;
    current_ = song_;
    return 0;
  }
  if (engine_) engine_->CloseMidiOut(true);
  if (song_) song_->SetListener(nullptr);
  if (!audio_) return 1;
  const bool embedded = HasEmbeddedSong(path);
  // A file carrying a song is the synchronised player's kind: without that
  // player it is not prepared at all rather than played as something else.
  if (embedded && !sync_) return 1;
  if (!embedded) {
    audio_->SetListener(this);
    if (sync_) sync_->SetListener(nullptr);
    if (audio_->Open(path) != 0) return 1;
    current_ = audio_;
    FillSongInfoFromPlayer();
    return 0;
  }
  sync_->SetListener(this);
  audio_->SetListener(nullptr);
  PrepareEmbeddedSong(path);
  if (sync_->Open(path) != 0) {
    // The song may have opened: close it with the audio.
    sync_->Close();
    return 1;
  }
  current_ = sync_;
  FillSongInfoFromPlayer();
  return 0;
}

int CMediaHelper::GetDurationSeconds(const char* path) {
  const MediaKind kind = GetMediaType(path);
  if (kind == MediaKind::kNone) return 0;
  uint32_t ms = 0;
  if (kind == MediaKind::kSong) {
    ms = song_ ? uint32_t(song_->GetDurationMs(path)) : 0;
  } else {
    // Bounded, but may still wait up to its bound: the play list's own adds
    // measure on CAudioLengthWorker's thread instead.
    ms = uint32_t(MeasureAudioLengthMs(path));
  }
  return int(std::ceil(ms / 1000.0));
}
