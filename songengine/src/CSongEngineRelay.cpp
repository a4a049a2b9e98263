// The playback-event relay: the sequencer's callback turns each event into a
// message for the engine's hidden window, and the window's handler, on the UI
// thread, hands it to the views, the lyric controller and the listener.
#include <memory>
#include <new>

#include <brevant/Brevant.h>
#include <cantomere/Cantomere.h>

#include "CModuleLoader.h"
#include "CScoreHost.h"
#include "CSongEngine.h"
#include "base/Guarded.h"
#include "SongQueries.h"

namespace {
constexpr uint32_t kTagWordEnd = SmfChunkId('W', 'D', 'O', 'F');  // end of a sung phrase
}

int CSongEngine::OnPlayEvent(const PlayEvent* event, void* context, int synchronous) {
  auto* engine = static_cast<CSongEngine*>(context);
  if (!event || !engine) return 1;
  const uint32_t type = event->type;
  if (type < kPlayEventNote || type > kPlayEventEnd || type == kPlayEventReserved2 ||
      type == kPlayEventReserved7)
    return 1;
  // The window is made by Init before the callback is registered; without it
  // there is nowhere to deliver to.
  HWND window = engine->eventWindow_;
  if (!window) return 1;
  const UINT message = type == kPlayEventEnd ? WM_SONG_END : WM_SONG_EVENT;
  auto* copy = new (std::nothrow) PlayEvent(*event);
  if (!copy) return 1;
  const WPARAM wParam = reinterpret_cast<WPARAM>(copy);
  if (synchronous) {
    // The handler frees the record, so a failed send is one that never
    // reached the window at all.
    if (!SendMessageTimeoutA(window, message, wParam, 0, SMTO_NORMAL, INFINITE, nullptr)) {
      delete copy;
      return 1;
    }
  } else if (!PostMessageA(window, message, wParam, 0)) {
    // A full queue or a window gone: the record would never be freed.
    delete copy;
    return 1;
  }
  return 0;
}

int CSongEngine::OnWndMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COUNT_IN) {
    if (ICantomereLyrics* lyrics = ModuleLoader().GetCantomere())
      lyrics->OnCountIn(static_cast<int>(wParam), static_cast<int>(lParam));
    return 0;
  }
  if (message != WM_SONG_EVENT && message != WM_SONG_END) return 0;
  // The record is ours from here on, whatever happens to the event.
  std::unique_ptr<PlayEvent> event(reinterpret_cast<PlayEvent*>(wParam));
  // Nothing may be thrown through the window procedure: an event that finds
  // no memory for the score host is dropped.
  return base::Guarded(
      [&] {
        Host();
        if (event) HandleSongEvent(*event);
        return 0;
      },
      0);
}

void CSongEngine::HandleSongEvent(const PlayEvent& event) {
  CScoreHost* host = scoreHost_.get();
  ICantomereLyrics* lyrics = ModuleLoader().GetCantomere();
  switch (event.type) {
    case kPlayEventNote:
      host->NoteEvent(static_cast<uint32_t>(event.value1), event.value3, event.value4);
      break;
    case kPlayEventBeat:
      if (listener_) listener_->OnBeat(event.value1, event.value2, event.value3);
      break;
    case kPlayEventCursor:
      host->StepCursor(event.value1);
      break;
    case kPlayEventSeek:
      host->SeekTick(event.value1);
      if (lyrics) lyrics->SeekTick(event.value1);
      break;
    case kPlayEventLyric:
      host->MarkLyric(event.value1, event.value2);
      if (lyrics) lyrics->MarkLyric(event.value1, event.value2);
      break;
    case kPlayEventTag:
      if (static_cast<uint32_t>(event.value1) == kTagWordEnd) host->UnmarkLyrics(event.value2, event.value3);
      if (lyrics) lyrics->OnTagEvent(static_cast<uint32_t>(event.value1), event.value2, event.value3);
      break;
    case kPlayEventPosition:
      if (listener_) listener_->OnPosition(event.value1);
      break;
    case kPlayEventEnd:
      if (listener_) listener_->OnSongEnd(event.value1);
      break;
    default:
      break;
  }
}

void CSongEngine::DrainQueued(UINT message) {
  if (!msgWnd_ || !msgWnd_->GetHwnd()) return;
  MSG msg;
  while (PeekMessageA(&msg, msgWnd_->GetHwnd(), message, message, PM_REMOVE))
    delete reinterpret_cast<PlayEvent*>(msg.wParam);
}
