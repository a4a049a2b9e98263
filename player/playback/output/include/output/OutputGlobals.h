#pragma once
// The output chain's process-wide objects. They live in one translation unit,
// built in this order before the application starts and destroyed in reverse at
// exit; the player links that unit as objects (see CMakeLists.txt), so they
// exist in every run even though nothing in the player calls the chain.
#include "output/CConfigVar.h"
#include "output/CCriticalSection.h"
#include "output/CPointerArray.h"

class CDSoundThread;

// Serialises every DirectSound output and the first creation of the thread.
extern CCriticalSection g_outputLock;
// Every live CDSoundOutput (not owned).
extern CPointerArray g_outputList;

// "output_device": all zero selects the default device.
extern CConfigVarGuid g_outputDevice;
// "allow hardware mixing": 0 forces software buffers.
extern CConfigVarInt g_allowHardwareMixing;
// "dsound_buffer_size": milliseconds queued in the device buffer.
extern CConfigVarInt g_dsoundBufferSize;
// "fade_len": milliseconds of the open, pause and close fades.
extern CConfigVarInt g_fadeLen;
// "fade_wait": read by nothing.
extern CConfigVarInt g_fadeWait;

// Null until the first open; never destroyed afterwards.
extern CDSoundThread* g_dsoundThread;
