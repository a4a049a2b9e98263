#pragma once
// Brevant.dll: a MIDI sequencer. The song engine copies a song into song
// buffers (IBrevantSongBuffer) and plays it with the one player
// (IBrevantPlayer) it keeps.
#include <brevant/IBrevantClock.h>
#include <brevant/IBrevantPlayer.h>
#include <brevant/IBrevantSongBuffer.h>
#include <brevant/IBrevantTimer.h>
#include <brevant/PlayEvent.h>

// Exports, looked up by name. Version 1 gives a new object that the caller
// ends with its Release; any other version gives null.
extern "C" {
typedef IBrevantPlayer* (*CreateBrevantFn)(int version);
typedef IBrevantSongBuffer* (*CreateSongBufferFn)(int version);
IBrevantPlayer* CreateBrevant(int version);
IBrevantSongBuffer* CreateSongBuffer(int version);
}

constexpr const char kBrevantLibrary[] = "Brevant.dll";
constexpr const char kCreateBrevantName[] = "CreateBrevant";
constexpr const char kCreateSongBufferName[] = "CreateSongBuffer";
