// The library's factories; the objects behind them arrive with the channel
// manager and the recorder.
#include <windows.h>

#include <voxgate/Voxgate.h>

extern "C" {
__declspec(dllexport) IMidiRecorder* CreateRecordCtrl(int version) { return nullptr; }
__declspec(dllexport) IChannelManager* CreateVoxgate(int version) { return nullptr; }
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
