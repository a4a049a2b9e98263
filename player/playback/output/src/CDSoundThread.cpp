#include "output/CDSoundThread.h"

#include <new>

#include "base/Guarded.h"
#include "output/DSoundApi.h"

DirectSoundCreateFn& DirectSoundCreateHook() {
  static DirectSoundCreateFn create = &DirectSoundCreate;
  return create;
}

CDSoundThread::CDSoundThread(HWND window, bool manual) : m_window(window), m_manual(manual) {}

CDSoundThread::~CDSoundThread() {
  HANDLE worker = nullptr;
  {
    CScopedLock lock(&m_lock);
    m_stop = true;
    if (m_thread != nullptr) {
      DuplicateHandle(GetCurrentProcess(), m_thread, GetCurrentProcess(), &worker, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);
    }
  }
  // No worker (it ended on its own, or never started): nothing to wait for.
  if (worker != nullptr) {
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
  }
  CScopedLock lock(&m_lock);
  m_streams.DeleteAll();
  if (m_thread != nullptr) CloseHandle(m_thread);
  m_thread = nullptr;
  if (m_sound != nullptr) m_sound->Release();
  m_sound = nullptr;
}

CDSoundStream* CDSoundThread::CreateStream(const DSoundStreamParams& params, int ringBytes) {
  auto* stream = new (std::nothrow) CDSoundStream(this, params, ringBytes);
  if (stream == nullptr) return nullptr;
  if (!stream->Valid()) {
    delete stream;
    return nullptr;
  }
  CScopedLock lock(&m_lock);
  if (!m_streams.Append(stream)) {
    delete stream;
    return nullptr;
  }
  if (!m_manual && m_thread == nullptr) {
    m_stop = false;
    m_thread = CreateThread(nullptr, 0, &CDSoundThread::ThreadEntry, this, 0, &m_threadId);
    if (m_thread == nullptr) {
      m_threadId = 0;
      stream->Fail();
    }
  }
  return stream;
}

void CDSoundThread::SelectDevice(const GUID* device) {
  CScopedLock lock(&m_lock);
  m_hasDevice = device != nullptr;
  if (device != nullptr) m_device = *device;
}

void CDSoundThread::Shutdown(bool wait) {
  if (wait) {
    DWORD begin = GetTickCount();
    for (;;) {
      bool fadingOut = false;
      {
        CScopedLock lock(&m_lock);
        for (int i = 0; i < m_streams.Count(); ++i) {
          CDSoundStream* stream = m_streams.At(i);
          if (stream->IsActive() && !stream->Paused() && stream->FadingOut()) fadingOut = true;
        }
      }
      if (!fadingOut || GetTickCount() - begin > 10000) break;
      SleepEx(1, TRUE);
    }
  }
  delete this;
}

bool CDSoundThread::Running() {
  CScopedLock lock(&m_lock);
  return m_thread != nullptr;
}

int CDSoundThread::StreamCount() {
  CScopedLock lock(&m_lock);
  return m_streams.Count();
}

int CDSoundThread::Underruns() {
  CScopedLock lock(&m_lock);
  int total = m_underruns;
  for (int i = 0; i < m_streams.Count(); ++i) total += m_streams.At(i)->Underruns();
  return total;
}

DWORD WINAPI CDSoundThread::ThreadEntry(void* self) {
  return base::Guarded([self] { return static_cast<CDSoundThread*>(self)->Run(); }, DWORD{1});
}

bool CDSoundThread::OpenDeviceLocked() {
  if (m_sound != nullptr) return true;
  IDirectSound* sound = nullptr;
  if (SUCCEEDED(DirectSoundCreateHook()(m_hasDevice ? &m_device : nullptr, &sound, nullptr)) &&
      sound != nullptr) {
    if (SUCCEEDED(sound->SetCooperativeLevel(m_window, DSSCL_PRIORITY))) {
      m_sound = sound;
      return true;
    }
    sound->Release();
  }
  // Without a device the streams could never play: fail them so writers see
  // no free space, and let the next CreateStream try again with a new worker.
  for (int i = 0; i < m_streams.Count(); ++i) m_streams.At(i)->Fail();
  if (m_thread != nullptr) CloseHandle(m_thread);
  m_thread = nullptr;
  m_threadId = 0;
  return false;
}

bool CDSoundThread::ServiceStreamsLocked() {
  bool removed = false;
  for (int i = 0; i < m_streams.Count();) {
    CDSoundStream* stream = m_streams.At(i);
    if (stream->Service(m_sound)) {
      ++i;
      continue;
    }
    m_underruns += stream->Underruns();
    m_streams.RemoveAndDelete(i);
    removed = true;
  }
  return !(removed && m_streams.Count() == 0);
}

void CDSoundThread::EndLocked() {
  if (m_thread != nullptr) CloseHandle(m_thread);
  m_thread = nullptr;
  m_threadId = 0;
  if (m_sound != nullptr) m_sound->Release();
  m_sound = nullptr;
}

bool CDSoundThread::ServicePass() {
  CScopedLock lock(&m_lock);
  if (!OpenDeviceLocked()) return false;
  if (!ServiceStreamsLocked()) {
    EndLocked();
    return false;
  }
  return true;
}

DWORD CDSoundThread::Run() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  {
    CScopedLock lock(&m_lock);
    if (!OpenDeviceLocked()) return 0;
  }
  for (;;) {
    {
      CScopedLock lock(&m_lock);
      if (m_stop) return 0;
      if (!ServiceStreamsLocked()) {
        EndLocked();
        return 0;
      }
    }
    SleepEx(10, TRUE);
  }
}
