#pragma once
// Event queries over a loaded song, as the engine's feeders ask them.
#include <cstdint>
#include <functional>
#include <vector>

#include <scrivel/ISmfParser2.h>

// Every event of the track of that kind and type, over the whole song; for
// meta events only those whose type byte has a bit in type. False
// when the song refused the query (out is then empty); an empty result is
// not a failure.
bool QueryTrackEvents(ISmfParser2* parser, int track, uint32_t kind, uint32_t type,
                      std::vector<SmfEvent>& out);

// Queries every track in order (only "MCtl" tracks when controlOnly) and
// hands each non-empty result to sink. False when a query failed; the tracks
// before it have been handed over.
bool ForEachTrackEvents(ISmfParser2* parser, uint32_t kind, uint32_t type, bool controlOnly,
                        const std::function<void(int track, const std::vector<SmfEvent>& events)>& sink);

// The bytes of a channel message packed as midiOutShortMsg takes them.
int32_t PackShortMessage(const SmfEvent& event);

bool IsControlTrack(ISmfParser2* parser, int track);
