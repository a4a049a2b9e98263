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
  if (m_sync) m_sync->Release();
  if (m_audio) {
    m_audio->Close();
    m_audio->Release();
  }
  if (m_song) m_song->Release();
  m_quillix.Free();
}

bool CMediaHelper::Init() {
  m_audio = CAudioFilePlayer::Create();
  m_song = CPlayerProxy::Create();
  m_sync = CSyncPlayer::Create();
  if (m_sync) {
    m_sync->SetMidiPlayer(m_song);
    m_sync->SetAudioPlayer(m_audio);
  }
  return m_audio && m_song;
}

void CMediaHelper::SetSongEngine(ISongEngine* engine) {
  m_engine = engine;
  if (m_song) m_song->SetSongEngine(engine);
  if (m_sync) m_sync->SetSongEngine(engine);
}

bool CMediaHelper::SetDelayTime(int ms) {
  if (!m_sync || m_current != m_sync) return false;
  m_sync->SetDelayTime(ms);
  return true;
}

bool CMediaHelper::HasExtension(const char* path, const char* extension) {
  return _stricmp(PathFindExtensionA(path), extension) == 0;
}

void CMediaHelper::Post(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_window) PostMessageA(m_window, message, wParam, lParam);
}

void CMediaHelper::OnPosition(int ms) { Post(WM_PLAYER_POSITION, 0, ms); }

void CMediaHelper::OnBeat(int beat, int beatsPerBar, int extra) {
  Post(WM_PLAYER_BEAT, WPARAM(extra), LPARAM(beatsPerBar) << 16 | LPARAM(beat));
}

void CMediaHelper::OnSongEnd() { Post(WM_PLAYER_END, 0, 0); }

IQuillixParser* CMediaHelper::GetQuillixParser() {
  if (!m_quillix && !m_quillix.Load(g_quillixName.c_str())) return nullptr;  // tried again at the next need
  auto create = m_quillix.Find<CreateIQuillixParserFn>("CreateIQuillixParser");
  if (!create) {
    m_quillix.Free();
    return nullptr;
  }
  return create(1);
}

bool CMediaHelper::HasEmbeddedSong(const char* path) {
  ParserPtr parser(GetQuillixParser());
  return parser && parser->HasEmbeddedSong(path) != 0;
}

void CMediaHelper::ClearSongInfo() {
  m_title.clear(), m_singer.clear(), m_composer.clear(), m_lyricist.clear(), m_album.clear();
}

void CMediaHelper::ReadSongInfo(IQuillixParser* parser) {
  m_title = ReadChunkText(parser, quillix::kTagTitle);
  m_singer = ReadChunkText(parser, quillix::kTagSinger);
  m_lyricist = ReadChunkText(parser, quillix::kTagLyricist);
  m_composer = ReadChunkText(parser, quillix::kTagComposer);
  m_album = ReadChunkText(parser, quillix::kTagAlbum);
}

void CMediaHelper::FillSongInfoFromPlayer() {
  if (!m_current) return;
  struct Field {
    std::string* text;
    int (IMediaPlayer::*get)(char**);
  } fields[] = {{&m_title, &IMediaPlayer::GetTitle},
                {&m_singer, &IMediaPlayer::GetAlbumArtist},
                {&m_composer, &IMediaPlayer::GetComposer},
                {&m_lyricist, &IMediaPlayer::GetLyrics},
                {&m_album, &IMediaPlayer::GetAlbumTitle}};
  for (const Field& field : fields) {
    if (!field.text->empty()) continue;
    char* text = nullptr;
    // A player that says "stored" but stored nothing gives no text.
    if ((m_current->*field.get)(&text) && text) *field.text = text;
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
    m_sync->OpenSong(songPath);
    m_sync->MuteSong();
    if (m_engine) Post(WM_PLAYER_BEATS_PER_BAR, 0, m_engine->GetBeatsPerBar());
    m_sync->SetDelayTime(offset);
  }
  // The engine read the whole song while opening it.
  if (songPath[0]) DeleteFileA(songPath);
}

int CMediaHelper::PrepareMediaFile(const char* path) {
  const MediaKind kind = GetMediaType(path);
  if (kind == MediaKind::kNone || !PathFileExistsA(path)) return 1;
  if (m_current) m_current->Close();
  m_current = nullptr;
  ClearSongInfo();
  if (kind == MediaKind::kSong) {
    if (!m_song) return 1;
    m_song->SetListener(this);
    if (m_engine) {
      m_engine->CloseMidiOut(false);
      Post(WM_PLAYER_BEATS_PER_BAR, 0, m_engine->GetBeatsPerBar());
    }
    if (m_song->Open(path) != 0) return 1;
    m_current = m_song;
    return 0;
  }
  if (m_engine) m_engine->CloseMidiOut(true);
  if (m_song) m_song->SetListener(nullptr);
  if (!m_audio) return 1;
  const bool embedded = HasEmbeddedSong(path);
  // A file carrying a song is the synchronised player's kind: without that
  // player it is not prepared at all rather than played as something else.
  if (embedded && !m_sync) return 1;
  if (!embedded) {
    m_audio->SetListener(this);
    if (m_sync) m_sync->SetListener(nullptr);
    if (m_audio->Open(path) != 0) return 1;
    m_current = m_audio;
    FillSongInfoFromPlayer();
    return 0;
  }
  m_sync->SetListener(this);
  m_audio->SetListener(nullptr);
  PrepareEmbeddedSong(path);
  if (m_sync->Open(path) != 0) {
    // The song may have opened: close it with the audio.
    m_sync->Close();
    return 1;
  }
  m_current = m_sync;
  FillSongInfoFromPlayer();
  return 0;
}

int CMediaHelper::GetDurationSeconds(const char* path) {
  const MediaKind kind = GetMediaType(path);
  if (kind == MediaKind::kNone) return 0;
  uint32_t ms = 0;
  if (kind == MediaKind::kSong) {
    ms = m_song ? uint32_t(m_song->GetDurationMs(path)) : 0;
  } else {
    // Bounded, but may still wait up to its bound: the play list's own adds
    // measure on CAudioLengthWorker's thread instead.
    ms = uint32_t(MeasureAudioLengthMs(path));
  }
  return int(std::ceil(ms / 1000.0));
}
