#pragma once
// Reaches the libraries the engine loads by file name, each at its first
// need: Voxgate (MIDI output), Brevant (sequencer), Cantomere (lyrics) and,
// for per-song parsers, Scrivel. One process-wide loader holds the library
// handles and the objects every engine shares; objects made per call belong
// to the caller, who must release them before Unload frees their library.
#include <windows.h>

#include <atomic>

#include "base/Library.h"

class IBrevantPlayer;
class IBrevantSongBuffer;
class ICantomereLyrics;
class ICantomereLyricBuffer;
class IChannelManager;
class ISmfParser2;

class CModuleLoader {
 public:
  CModuleLoader() = default;
  virtual ~CModuleLoader();
  CModuleLoader(const CModuleLoader&) = delete;
  CModuleLoader& operator=(const CModuleLoader&) = delete;

  // @name Shared objects, cached; null when the library or its factory is missing
  IChannelManager* GetVoxgate();
  IBrevantPlayer* GetBrevant();
  ICantomereLyrics* GetCantomere();
  // The cached objects without loading anything: safe from any thread.
  IBrevantPlayer* CachedBrevant() const { return brevant_; }
  ICantomereLyrics* CachedCantomere() const { return cantomere_; }

  // @name New objects per call, owned by the caller
  IBrevantSongBuffer* NewSongBuffer();
  ISmfParser2* NewSongParser();
  ICantomereLyricBuffer* NewLyricBuffer();

  // Releases the owned objects and frees every library; a second call finds
  // nothing to do, and the next request loads again.
  void Unload();

  // @name Engines sharing the loader
  // Every engine of the process plays through the one sequencer and sings
  // through the one lyric controller, and both know a single engine: the one
  // bound last. Only the last engine to go may unload, as the others still
  // hold buffers and timers of the libraries.
  void AddEngine() { ++engines_; }
  // True when the leaving engine was the last one.
  bool RemoveEngine() { return engines_ > 0 && --engines_ == 0; }
  void SetBoundEngine(const void* engine) { boundEngine_ = engine; }
  const void* BoundEngine() const { return boundEngine_; }

 private:
  struct Library {
    const char* file;
    base::Library module;
  };
  // The export of the library, loading it when needed; null when either is
  // missing. A missing export frees the library unless keepLoaded: a cached
  // object of that library still runs code in it.
  template <class Fn>
  Fn Resolve(Library& library, const char* exportName, bool keepLoaded);

  IChannelManager* voxgate_ = nullptr;
  Library voxgateLib_{"Voxgate.dll", {}};
  // Read by CachedBrevant from the audio thread.
  std::atomic<IBrevantPlayer*> brevant_{nullptr};
  Library brevantLib_{"Brevant.dll", {}};
  Library scrivelLib_{"Scrivel.dll", {}};
  ICantomereLyrics* cantomere_ = nullptr;
  Library cantomereLib_{"Cantomere.dll", {}};
  int engines_ = 0;
  const void* boundEngine_ = nullptr;
};

// The one loader of the process.
CModuleLoader& ModuleLoader();
