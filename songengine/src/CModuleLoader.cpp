#include "CModuleLoader.h"

#include <brevant/Brevant.h>
#include <cantomere/Cantomere.h>
#include <scrivel/Scrivel.h>
#include <voxgate/Voxgate.h>

namespace {
CModuleLoader g_loader;
}

CModuleLoader& ModuleLoader() { return g_loader; }

CModuleLoader::~CModuleLoader() { Unload(); }

FARPROC CModuleLoader::Resolve(Library& library, const char* exportName, bool keepLoaded) {
  if (!library.handle) {
    library.handle = LoadLibraryA(library.file);
    if (!library.handle) return nullptr;
  }
  FARPROC proc = GetProcAddress(library.handle, exportName);
  if (!proc && !keepLoaded) Free(library);
  return proc;
}

void CModuleLoader::Free(Library& library) {
  if (!library.handle) return;
  FreeLibrary(library.handle);
  library.handle = nullptr;
}

IChannelManager* CModuleLoader::GetVoxgate() {
  if (voxgate_) return voxgate_;
  auto create = reinterpret_cast<CreateVoxgateFn>(Resolve(voxgateLib_, kCreateVoxgateName, false));
  if (create) voxgate_ = create(1);
  return voxgate_;
}

IBrevantPlayer* CModuleLoader::GetBrevant() {
  if (brevant_) return brevant_;
  auto create = reinterpret_cast<CreateBrevantFn>(Resolve(brevantLib_, kCreateBrevantName, false));
  if (create) brevant_ = create(1);
  return brevant_;
}

ICantomereLyrics* CModuleLoader::GetCantomere() {
  if (cantomere_) return cantomere_;
  auto create = reinterpret_cast<CreateCantomereInstanceFn>(
      Resolve(cantomereLib_, kCreateCantomereInstanceName, false));
  if (create) cantomere_ = create(1);
  return cantomere_;
}

IBrevantSongBuffer* CModuleLoader::NewSongBuffer() {
  auto create =
      reinterpret_cast<CreateSongBufferFn>(Resolve(brevantLib_, kCreateSongBufferName, brevant_ != nullptr));
  return create ? create(1) : nullptr;
}

ICantomereLyricBuffer* CModuleLoader::NewLyricBuffer() {
  auto create = reinterpret_cast<CreateLyricBufferInstanceFn>(
      Resolve(cantomereLib_, kCreateLyricBufferInstanceName, cantomere_ != nullptr));
  return create ? create(1) : nullptr;
}

ISmfParser2* CModuleLoader::NewSongParser() {
  auto create = reinterpret_cast<CreateScrivel2Fn>(Resolve(scrivelLib_, "CreateScrivel2", false));
  return create ? create(1) : nullptr;
}

void CModuleLoader::Unload() {
  // The channel manager is a static object of Voxgate: forgotten, not released.
  voxgate_ = nullptr;
  Free(voxgateLib_);
  if (IBrevantPlayer* player = brevant_.exchange(nullptr)) player->Release();
  Free(brevantLib_);
  if (cantomere_) {
    cantomere_->Release();
    cantomere_ = nullptr;
  }
  Free(cantomereLib_);
  Free(scrivelLib_);
}
