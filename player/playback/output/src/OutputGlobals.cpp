#include "output/OutputGlobals.h"

CCriticalSection g_outputLock;
CPointerArray g_outputList;
CConfigVarGuid g_outputDevice("output_device");
CConfigVarInt g_allowHardwareMixing("allow hardware mixing", 1);
CConfigVarInt g_dsoundBufferSize("dsound_buffer_size", 2000);
CConfigVarInt g_fadeLen("fade_len", 200);
CConfigVarInt g_fadeWait("fade_wait", 0);
CDSoundThread* g_dsoundThread = nullptr;
