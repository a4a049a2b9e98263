#include "output/CDSoundThread.h"

#include <new>

#include "base/Guarded.h"
#include "output/DSoundApi.h"

DirectSoundCreateFn& DirectSoundCreateHook() {
  static DirectSoundCreateFn create = &DirectSoundCreate;
  return create;
}

CDSoundThread::CDSoundThread(HWND window, bool manual) : window_(window), manual_(manual) {}

CDSoundThread::~CDSoundThread() {
  HANDLE worker = nullptr;
  {
    CScopedLock lock(&lock_);
    stop_ = true;
    if (thread_ != nullptr) {
      DuplicateHandle(GetCurrentProcess(), thread_, GetCurrentProcess(), &worker, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);
    }
  }
  // No worker (it ended on its own, or never started): nothing to wait for.
  if (worker != nullptr) {
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
  }
  CScopedLock lock(&lock_);
  streams_.DeleteAll();
  if (thread_ != nullptr) CloseHandle(thread_);
  thread_ = nullptr;
  if (sound_ != nullptr) sound_->Release();
  sound_ = nullptr;
}

CDSoundStream* CDSoundThread::CreateStream(const DSoundStreamParams& params, int ringBytes) {
  auto* stream = new (std::nothrow) CDSoundStream(this, params, ringBytes);
  if (stream == nullptr) return nullptr;
  if (!stream->Valid()) {
    delete stream;
    return nullptr;
  }
  CScopedLock lock(&lock_);
  if (!streams_.Append(stream)) {
    delete stream;
    return nullptr;
  }
  if (!manual_ && thread_ == nullptr) {
    stop_ = false;
    thread_ = CreateThread(nullptr, 0, &CDSoundThread::ThreadEntry, this, 0, &threadId_);
    if (thread_ == nullptr) {
      threadId_ = 0;
      stream->Fail();
    }
  }
  return stream;
}

void CDSoundThread::SelectDevice(const GUID* device) {
  CScopedLock lock(&lock_);
  hasDevice_ = device != nullptr;
  if (device != nullptr) device_ = *device;
}

void CDSoundThread::Shutdown(bool wait) {
  if (wait) {
    DWORD begin = GetTickCount();
    for (;;) {
      bool fadingOut = false;
      {
        CScopedLock lock(&lock_);
        for (int i = 0; i < streams_.Count(); ++i) {
          CDSoundStream* stream = streams_.At(i);
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
  CScopedLock lock(&lock_);
  return thread_ != nullptr;
}

int CDSoundThread::StreamCount() {
  CScopedLock lock(&lock_);
  return streams_.Count();
}

int CDSoundThread::Underruns() {
  CScopedLock lock(&lock_);
  int total = underruns_;
  for (int i = 0; i < streams_.Count(); ++i) total += streams_.At(i)->Underruns();
  return total;
}

DWORD WINAPI CDSoundThread::ThreadEntry(void* self) {
  return base::Guarded([self] { return static_cast<CDSoundThread*>(self)->Run(); }, DWORD{1});
}

bool CDSoundThread::OpenDeviceLocked() {
  if (sound_ != nullptr) return true;
  IDirectSound* sound = nullptr;
  if (SUCCEEDED(DirectSoundCreateHook()(hasDevice_ ? &device_ : nullptr, &sound, nullptr)) &&
      sound != nullptr) {
    if (SUCCEEDED(sound->SetCooperativeLevel(window_, DSSCL_PRIORITY))) {
      sound_ = sound;
      return true;
    }
    sound->Release();
  }
  // Without a device the streams could never play: fail them so writers see
  // no free space, and let the next CreateStream try again with a new worker.
  for (int i = 0; i < streams_.Count(); ++i) streams_.At(i)->Fail();
  if (thread_ != nullptr) CloseHandle(thread_);
  thread_ = nullptr;
  threadId_ = 0;
  return false;
}

bool CDSoundThread::ServiceStreamsLocked() {
  bool removed = false;
  for (int i = 0; i < streams_.Count();) {
    CDSoundStream* stream = streams_.At(i);
    if (stream->Service(sound_)) {
      ++i;
      continue;
    }
    underruns_ += stream->Underruns();
    streams_.RemoveAndDelete(i);
    removed = true;
  }
  return !(removed && streams_.Count() == 0);
}

void CDSoundThread::EndLocked() {
  if (thread_ != nullptr) CloseHandle(thread_);
  thread_ = nullptr;
  threadId_ = 0;
  if (sound_ != nullptr) sound_->Release();
  sound_ = nullptr;
}

bool CDSoundThread::ServicePass() {
  CScopedLock lock(&lock_);
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
    CScopedLock lock(&lock_);
    if (!OpenDeviceLocked()) return 0;
  }
  for (;;) {
    {
      CScopedLock lock(&lock_);
      if (stop_) return 0;
      if (!ServiceStreamsLocked()) {
        EndLocked();
        return 0;
      }
    }
    SleepEx(10, TRUE);
  }
}
