#pragma once
// Voxgate.dll's factories. Callers load the library by name and look these up
// with GetProcAddress; version 1 gives the library's one static object, any
// other version null. The objects are never freed by their users.
#include <voxgate/IChannelManager.h>
#include <voxgate/IMidiRecorder.h>

extern "C" {
typedef IMidiRecorder* (*CreateRecordCtrlFn)(int version);  // ordinal 1
typedef IChannelManager* (*CreateVoxgateFn)(int version);   // ordinal 2
}

constexpr const char kVoxgateLibrary[] = "Voxgate.dll";
constexpr const char kCreateRecordCtrlName[] = "CreateRecordCtrl";
constexpr const char kCreateVoxgateName[] = "CreateVoxgate";
