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

template <class Fn>
Fn CModuleLoader::Resolve(Library& library, const char* exportName, bool keepLoaded) {
  if (!library.module && !library.module.Load(library.file)) return nullptr;
  Fn proc = library.module.Find<Fn>(exportName);
  if (!proc && !keepLoaded) library.module.Free();
  return proc;
}

IChannelManager* CModuleLoader::GetVoxgate() {
  if (voxgate_) return voxgate_;
  auto create = Resolve<CreateVoxgateFn>(voxgateLib_, kCreateVoxgateName, false);
  if (create) voxgate_ = create(1);
  return voxgate_;
}

IBrevantPlayer* CModuleLoader::GetBrevant() {
  if (brevant_) return brevant_;
  auto create = Resolve<CreateBrevantFn>(brevantLib_, kCreateBrevantName, false);
  if (create) brevant_ = create(1);
  return brevant_;
}

ICantomereLyrics* CModuleLoader::GetCantomere() {
  if (cantomere_) return cantomere_;
  auto create = Resolve<CreateCantomereInstanceFn>(cantomereLib_, kCreateCantomereInstanceName, false);
  if (create) cantomere_ = create(1);
  return cantomere_;
}

IBrevantSongBuffer* CModuleLoader::NewSongBuffer() {
  auto create = Resolve<CreateSongBufferFn>(brevantLib_, kCreateSongBufferName, brevant_ != nullptr);
  return create ? create(1) : nullptr;
}

ICantomereLyricBuffer* CModuleLoader::NewLyricBuffer() {
  auto create = Resolve<CreateLyricBufferInstanceFn>(cantomereLib_, kCreateLyricBufferInstanceName,
                                                     cantomere_ != nullptr);
  return create ? create(1) : nullptr;
}

ISmfParser2* CModuleLoader::NewSongParser() {
  auto create = Resolve<CreateScrivel2Fn>(scrivelLib_, "CreateScrivel2", false);
  return create ? create(1) : nullptr;
}

void CModuleLoader::Unload() {
  // The channel manager is a static object of Voxgate: forgotten, not released.
  voxgate_ = nullptr;
  voxgateLib_.module.Free();
  if (IBrevantPlayer* player = brevant_.exchange(nullptr)) player->Release();
  brevantLib_.module.Free();
  if (cantomere_) {
    cantomere_->Release();
    cantomere_ = nullptr;
  }
  cantomereLib_.module.Free();
  scrivelLib_.module.Free();
}
