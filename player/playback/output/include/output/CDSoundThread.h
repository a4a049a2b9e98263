#pragma once
// The DirectSound device and the worker that services its streams every 10 ms.
//
// Locking: one recursive lock guards the stream array, the device and the
// thread handle; the worker holds it for a whole pass over all streams, and
// every stream operation takes it too. The worker starts with the first stream
// and ends on its own once the last stream is gone (or when the device cannot
// be created, failing the streams it had); the next CreateStream starts it
// again. Once the destructor returns the worker has ended and every stream is
// deleted.
#include <windows.h>

#include "output/CCriticalSection.h"
#include "output/CDSoundStream.h"
#include "output/CPointerArray.h"

class CDSoundThread {
 public:
  // window: for the cooperative level. A manual thread starts no worker: the
  // caller drives it with ServicePass (tests).
  explicit CDSoundThread(HWND window, bool manual = false);
  virtual ~CDSoundThread();
  CDSoundThread(const CDSoundThread&) = delete;
  CDSoundThread& operator=(const CDSoundThread&) = delete;

  // Null when the stream or its ring cannot be allocated. The thread owns it.
  virtual CDSoundStream* CreateStream(const DSoundStreamParams& params, int ringBytes);
  // Null selects the default device; applies at the next device creation.
  virtual void SelectDevice(const GUID* device);
  // With wait, lets streams that are fading out to be released finish (10 s at
  // most), then deletes this object.
  virtual void Shutdown(bool wait);

  CCriticalSection* Lock() { return &m_lock; }
  // One pass of the worker's loop on the caller's thread. False when the
  // worker would end (device failed, or the last stream went).
  bool ServicePass();
  bool Running();
  int StreamCount();
  // Underruns of every stream serviced so far (benchmark figures).
  int Underruns();

 private:
  static DWORD WINAPI ThreadEntry(void* self);
  DWORD Run();
  bool OpenDeviceLocked();
  bool ServiceStreamsLocked();
  void EndLocked();

  HWND m_window;
  bool m_manual;
  GUID m_device{};
  bool m_hasDevice = false;
  IDirectSound* m_sound = nullptr;
  COwningPointerArray<CDSoundStream> m_streams;
  CCriticalSection m_lock;
  HANDLE m_thread = nullptr;
  DWORD m_threadId = 0;
  bool m_stop = false;
  int m_underruns = 0;
};
