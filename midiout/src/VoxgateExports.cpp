// The library's factories and its two static objects. The recorder is made
// first: the manager sends through its output hook.
#include <windows.h>
#include <mmsystem.h>

#include <voxgate/Voxgate.h>

#include "CChannelManager.h"
#include "CMidiRecorder.h"
#include "CVoiceList.h"

namespace {

void SendToDevice(HMIDIOUT port, uint32_t message) { midiOutShortMsg(port, message); }
uint32_t Milliseconds() { return GetTickCount(); }

CMidiRecorder g_recorder(CVoiceList::Process(), SendToDevice, Milliseconds);
CChannelManager g_manager(CVoiceList::Process(), g_recorder);

}  // namespace

extern "C" {
__declspec(dllexport) IMidiRecorder* CreateRecordCtrl(int version) {
  return version == 1 ? &g_recorder : nullptr;
}
__declspec(dllexport) IChannelManager* CreateVoxgate(int version) {
  return version == 1 ? &g_manager : nullptr;
}
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
