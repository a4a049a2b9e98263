// Renders a song's chosen tracks as the staff view draws them, page after
// page, into one PNG image, for review by eye. The score buffer is filled the
// way the song engine fills it: from Scrivel's queries for a MIDI file, or
// from one of the built-in demo songs.
//
//   score_render <song.mid> <out.png> [--tracks 1,2] [options]   (the drum
//                                    track, if chosen, on a percussion staff)
//   score_render --demo <hymn|minuet|drums|etude|crowded|lowpiano|cymbals|verses> <out.png> [options]
//   score_render --write-demos <folder>      writes the demo songs as .mid
// options: --width <px> (1000)  --pages <n> (4)  --size <0..3> (0, as the
// player uses)  --at <tick>: play up to that
// tick first (cursor steps, sounding notes, sung syllables)  --jianpu: the
// numbered view instead of the staff view
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DemoSongs.h"
#include <scrivel/SmfMetaEvent.h>
#include "ViewBitmap.h"
#include "scrivel/Scrivel.h"
#include "score/IScoreBuffer.h"
#include "score/IScoreView.h"
#include "testsupport/SmfBuilder.h"

namespace {

struct PlayEvent {
  int tick;
  int track;
  int kind;  // 0 note message, 1 lyric
  uint32_t message;
};

struct Options {
  std::string input, output, demo, demoFolder;
  std::vector<int> tracks{1};
  int width = 1000;
  int pages = 4;
  int at = -1;
  int size = 0;
  bool jianpu = false;
};

template <typename T>
struct Releaser {
  void operator()(T* p) const {
    if (p) p->Release();
  }
};

bool Parse(int argc, char** argv, Options* o) {
  std::vector<std::string> plain;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
    if (a == "--demo")
      o->demo = next();
    else if (a == "--write-demos")
      o->demoFolder = next();
    else if (a == "--width")
      o->width = atoi(next().c_str());
    else if (a == "--pages")
      o->pages = atoi(next().c_str());
    else if (a == "--at")
      o->at = atoi(next().c_str());
    else if (a == "--jianpu")
      o->jianpu = true;
    else if (a == "--size")
      o->size = atoi(next().c_str());
    else if (a == "--tracks") {
      o->tracks.clear();
      const std::string list = next();
      for (const char* p = list.c_str(); *p;) {
        o->tracks.push_back(atoi(p));
        while (*p && *p != ',') ++p;
        if (*p == ',') ++p;
      }
    } else
      plain.push_back(a);
  }
  if (!o->demoFolder.empty()) return true;
  if (!o->demo.empty() && plain.size() == 1)
    o->output = plain[0];
  else if (o->demo.empty() && plain.size() == 2)
    o->input = plain[0], o->output = plain[1];
  else
    return false;
  return o->width > 50 && o->pages > 0;
}

// The song engine's fill, from Scrivel's queries.
bool FillFromSong(ISmfParser2* song, IScoreBuffer* buffer, IScoreView* view, const std::vector<int>& tracks,
                  std::vector<PlayEvent>* play) {
  buffer->Clear();
  std::vector<SmfKeySigEntry> keys(song->GetKeySignatures(nullptr));
  if (!keys.empty()) song->GetKeySignatures(keys.data());
  std::vector<ScoreKeySig> keySigs;
  for (const SmfKeySigEntry& k : keys)
    keySigs.push_back({static_cast<int32_t>(k.tick), static_cast<int8_t>(k.sharps)});
  buffer->SetKeySignatures(keySigs.data(), static_cast<int>(keySigs.size()));
  std::vector<SmfTimeSigEntry> times(song->GetTimeSignatures(nullptr));
  if (!times.empty()) song->GetTimeSignatures(times.data());
  std::vector<ScoreTimeSig> timeSigs;
  for (const SmfTimeSigEntry& t : times)
    timeSigs.push_back({static_cast<int32_t>(song->MeasureToTick(t.measure)), t.numerator,
                        static_cast<int32_t>(480.0 / (1 << t.power))});
  buffer->SetTimeSignatures(timeSigs.data(), static_cast<int>(timeSigs.size()));
  for (int track : tracks) {
    const uint32_t n = song->CountEvents(track, 0, 0xFFFFFFFFu, kSmfKindChannel,
                                         kSmfTypeNoteOff | kSmfTypeNoteOn, kSmfAllBits);
    if (n == 0) {
      fprintf(stderr, "track %d has no notes\n", track);
      return false;
    }
    std::vector<SmfEvent> events(n);
    if (song->GetEvents(track, 0, 0xFFFFFFFFu, events.data(), kSmfKindChannel,
                        kSmfTypeNoteOff | kSmfTypeNoteOn, kSmfAllBits) != 0)
      return false;
    std::vector<ScoreNoteEvent> notes;
    for (const SmfEvent& e : events) {
      if (e.length < 3) continue;
      notes.push_back({static_cast<int32_t>(e.tick), e.data[0], e.data[1], e.data[2], 0});
      play->push_back({static_cast<int>(e.tick), track, 0,
                       static_cast<uint32_t>(e.data[0] | e.data[1] << 8 | e.data[2] << 16)});
    }
    int16_t low = 0, high = 0;
    song->GetNoteRange(track, &low, &high);
    const int kind = view->ChooseClef(static_cast<uint16_t>(low), static_cast<uint16_t>(high));
    buffer->AddTrackNotes(track, notes.data(), static_cast<unsigned>(notes.size()),
                          song->GetTrackMeasureCount(track), kind);
    const uint32_t c = song->CountEvents(track, 0, 0xFFFFFFFFu, kSmfKindMeta, kSmfMetaLyric, kSmfAllBits);
    if (c == 0) continue;
    std::vector<SmfEvent> lyricEvents(c);
    if (song->GetEvents(track, 0, 0xFFFFFFFFu, lyricEvents.data(), kSmfKindMeta, kSmfMetaLyric,
                        kSmfAllBits) != 0)
      continue;
    std::vector<ScoreLyric> lyrics;
    for (const SmfEvent& e : lyricEvents) {
      lyrics.push_back({SmfMetaText(e.data, e.length), static_cast<int32_t>(e.tick)});
      play->push_back({static_cast<int>(e.tick), track, 1, 0});
    }
    buffer->SetLyrics(track, lyrics.data(), static_cast<int>(lyrics.size()));
  }
  return true;
}

void PlayUpTo(IScoreView* view, IScoreBuffer* buffer, std::vector<PlayEvent> events, int at) {
  std::stable_sort(events.begin(), events.end(),
                   [](const PlayEvent& a, const PlayEvent& b) { return a.tick < b.tick; });
  const ScoreData* data = buffer->GetData();
  const int bar =
      data->timeSigs.empty() ? 480 : data->timeSigs[0].beatsPerBar * data->timeSigs[0].ticksPerBeat;
  const int beat = data->timeSigs.empty() ? 120 : data->timeSigs[0].ticksPerBeat;
  size_t next = 0;
  for (int tick = 0; tick <= at; tick += 30) {
    // Bar lines step to the next measure; inside a bar the cursor moves in quarter beats.
    if (tick % bar == 0)
      view->StepCursor(0);
    else
      view->StepCursor((tick % bar) * 4 / std::max(1, beat));
    for (; next < events.size() && events[next].tick <= tick; ++next) {
      const PlayEvent& e = events[next];
      if (e.kind == 0)
        view->NoteEvent(e.message, e.tick, e.track);
      else
        view->MarkLyric(e.tick, e.track);
    }
  }
}

int Render(const Options& o) {
  HMODULE score = LoadLibraryA("Score.dll");
  if (!score) {
    fprintf(stderr, "cannot load Score.dll\n");
    return 1;
  }
  auto createView = reinterpret_cast<CreateScoreViewFn>(
      GetProcAddress(score, o.jianpu ? "CreateJianPuInstance" : "CreateStaffInstance"));
  auto createBuffer =
      reinterpret_cast<CreateScoreBufferInstanceFn>(GetProcAddress(score, "CreateScoreBufferInstance"));
  if (!createView || !createBuffer) {
    fprintf(stderr, "Score.dll lacks its factories\n");
    return 1;
  }
  std::unique_ptr<IScoreView, Releaser<IScoreView>> view(createView(nullptr, 2));
  std::unique_ptr<IScoreBuffer, Releaser<IScoreBuffer>> buffer(createBuffer(2));
  if (!view || !buffer) return 1;
  view->SetScoreBuffer(buffer.get());

  std::vector<PlayEvent> play;
  if (!o.demo.empty()) {
    const DemoSong* song = FindDemoSong(o.demo);
    if (!song) {
      fprintf(stderr, "no demo song '%s'\n", o.demo.c_str());
      return 2;
    }
    FillDemo(buffer.get(), view.get(), *song);
    for (const DemoTrack& t : song->tracks) {
      for (const ScoreNoteEvent& e : DemoEvents(t))
        play.push_back(
            {e.tick, t.number, 0, static_cast<uint32_t>(e.status | e.note << 8 | e.velocity << 16)});
      for (const ScoreLyric& l : t.lyrics) play.push_back({l.tick, t.number, 1, 0});
    }
  } else {
    HMODULE scrivel = LoadLibraryA(kScrivelDll);
    auto create =
        scrivel ? reinterpret_cast<CreateScrivel2Fn>(GetProcAddress(scrivel, "CreateScrivel2")) : nullptr;
    std::unique_ptr<ISmfParser2, Releaser<ISmfParser2>> song(create ? create(1) : nullptr);
    if (!song) {
      fprintf(stderr, "cannot load Scrivel.dll\n");
      return 1;
    }
    const int rc = song->Load(o.input.c_str(), nullptr, 0);
    if (rc != kSmfLoadOk) {
      fprintf(stderr, "cannot read %s (code %d)\n", o.input.c_str(), rc);
      return 1;
    }
    if (!FillFromSong(song.get(), buffer.get(), view.get(), o.tracks, &play)) return 1;
    // The engine's fill picks clefs by range only; the drum track is shown on
    // a percussion staff, as the player's staff-kind choice would set it.
    const int drums = song->GetDrumTrack();
    for (ScoreTrackEntry& e : buffer->GetData()->tracks)
      if (e.track == drums) e.staffKind = 7;
  }

  const ScoreData* data = buffer->GetData();
  int partsHeight = 0;
  // Part heights of the staff view by size level; the numbered view's first part is taller.
  static const int kOne[4] = {78, 104, 130, 156}, kTwo[4] = {146, 194, 242, 286};
  static const int kFirstDigits[4] = {80, 126, 152, 152}, kDigits[4] = {60, 76, 102, 102};
  const int size = o.size < 0 || o.size > 3 ? 0 : o.size;
  for (const ScoreTrackEntry& e : data->tracks)
    partsHeight += o.jianpu ? (partsHeight == 0 ? kFirstDigits[size] : kDigits[size])
                            : (e.staffKind == 2 ? kTwo[size] : kOne[size]);
  // Parts grow to hold their lyric lines and bar numbers: the view gets room
  // for that, and the sheet keeps the rows that any page drew on.
  const int pageHeight = 2 * partsHeight + 60;
  constexpr COLORREF kBackground = RGB(24, 24, 40);
  const RECT rect{0, 0, o.width, pageHeight};
  view->SetSizeLevel(size);
  view->SetRect(&rect);
  if (view->Rebuild() != 0) fprintf(stderr, "rebuild reported a failure\n");
  if (o.at >= 0) PlayUpTo(view.get(), buffer.get(), play, o.at);

  CViewBitmap page(o.width, pageHeight);
  CViewBitmap sheet(o.width, pageHeight * o.pages);
  if (!page.Valid() || !sheet.Valid()) return 1;
  sheet.Fill(kBackground);
  int shown = 0;
  for (; shown < o.pages; ++shown) {
    page.Fill(kBackground);
    view->Paint(page.Dc());
    BitBlt(sheet.Dc(), 0, shown * pageHeight, o.width, pageHeight, page.Dc(), 0, 0, SRCCOPY);
    if (o.at >= 0) {
      ++shown;
      break;
    }
    char fits = 0;
    const int count = view->GetPageMeasureCount(&fits);
    const int first = view->ScrollTo(0, 1);
    const int next = first + count - (fits ? 0 : 1);
    if (count == 0 || next <= first || view->ScrollTo(next, 0) < 0) {
      ++shown;
      break;
    }
  }
  int top = pageHeight, bottom = 0;
  for (int i = 0; i < shown; ++i)
    for (int y = 0; y < pageHeight; ++y)
      if (sheet.Ink(RECT{0, i * pageHeight + y, o.width, i * pageHeight + y + 1}, kBackground) > 0) {
        top = std::min(top, y);
        bottom = std::max(bottom, y + 1);
      }
  constexpr int kMargin = 20;
  top = std::max(0, top - kMargin);
  bottom = std::min(pageHeight, bottom + kMargin);
  if (bottom <= top) top = 0, bottom = pageHeight;
  CViewBitmap cropped(o.width, (bottom - top) * shown);
  if (!cropped.Valid()) return 1;
  for (int i = 0; i < shown; ++i)
    BitBlt(cropped.Dc(), 0, i * (bottom - top), o.width, bottom - top, sheet.Dc(), 0, i * pageHeight + top,
           SRCCOPY);
  if (!cropped.SavePng(o.output)) {
    fprintf(stderr, "cannot write %s\n", o.output.c_str());
    return 1;
  }
  printf("%s: %d page(s), %d measures in the song\n", o.output.c_str(), shown,
         data->tracks.empty() ? 0 : data->tracks[0].barCount);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, &o)) {
    fprintf(stderr,
            "usage: score_render <song.mid> <out.png> [--tracks 1,2] [--width px] [--pages n] [--at tick] "
            "[--jianpu]\n"
            "       score_render --demo <hymn|minuet|drums|etude|crowded|lowpiano|cymbals|verses> <out.png> "
            "[options]\n"
            "       score_render --write-demos <folder>\n");
    return 2;
  }
  if (!o.demoFolder.empty()) {
    for (const DemoSong& s : DemoSongs()) {
      const std::string path = o.demoFolder + "/" + s.name + ".mid";
      if (!testsupport::WriteBytes(path, DemoMidiFile(s))) return 1;
      printf("%s\n", path.c_str());
    }
    return 0;
  }
  return Render(o);
}
