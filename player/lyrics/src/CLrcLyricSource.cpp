#include <lyrics/CLrcLyricSource.h>

#include <linewick/Linewick.h>
#include <playback/CAudioFilePlayer.h>

#include <base/Guarded.h>

#include <new>

namespace {
const char* g_libraryName = "Linewick.dll";
}  // namespace

void CLrcLyricSource::SetLibraryName(const char* name) { g_libraryName = name ? name : "Linewick.dll"; }

CLrcLyricSource::CLrcLyricSource() = default;

CLrcLyricSource::~CLrcLyricSource() {
  if (m_nTimerId) ::KillTimer(nullptr, m_nTimerId);
  if (m_pInner && m_pInner->GetStream()) m_pInner->GetStream()->RemoveListener(this);
  // The parser goes back through its own third operation, before its library goes.
  if (m_pParser) m_pParser->Release();
  m_pParser = nullptr;
  m_linewick.Free();
}

void CLrcLyricSource::Release() { delete this; }

void CLrcLyricSource::BindLinewick() {
  if (m_linewick || !m_linewick.Load(g_libraryName)) return;
  // A missing export leaves the source unbound; the library stays loaded until
  // the source goes, so a later Open does not try again.
  auto get = m_linewick.Find<GetLinewickInstanceProc>("GetLinewickInstance");
  if (get) m_pParser = base::Guarded([&] { return get(); }, static_cast<ILinewick*>(nullptr));
}

int CLrcLyricSource::Open(const char* path) {
  if (!m_pInner) return 1;
  if (IWMAudioPlayer* stream = m_pInner->GetStream()) {
    stream->RemoveListener(this);
    stream->AddListener(this);
  }
  int result = m_pInner->Open(path);
  BindLinewick();
  return result;
}

int CLrcLyricSource::Close() {
  Stop();
  if (m_pInner) m_pInner->Close();
  return 0;
}

int CLrcLyricSource::Play() {
  if (!m_pInner) return 0;
  m_pInner->Play();
  // One timer at a time: a second Play replaces the first timer instead of leaking it.
  if (m_nTimerId) ::KillTimer(nullptr, m_nTimerId);
  m_nTimerId = ::SetTimer(nullptr, 1, m_nPeriod, &CLrcLyricSource::OnTimer);
  return 0;
}

int CLrcLyricSource::Stop() {
  if (!m_nTimerId) return 0;
  if (m_pInner) m_pInner->Stop();
  ::KillTimer(nullptr, m_nTimerId);
  m_nTimerId = 0;
  m_nTimerCount = 0;
  return 0;
}

int CLrcLyricSource::Pause() {
  if (!m_nTimerId) return 0;
  if (m_pInner) m_pInner->Pause();
  ::KillTimer(nullptr, m_nTimerId);
  m_nTimerId = 0;
  return 0;
}

IMediaPlayer* CreateLrcLyricSource() { return new (std::nothrow) CLrcLyricSource(); }

void SetInnerPlayer(IMediaPlayer* source, CAudioFilePlayer* player) {
  if (source) static_cast<CLrcLyricSource*>(source)->SetInnerPlayer(player);
}
