#include "output/CDSoundOutput.h"

#include <cstring>

#include "afxwin.h"
#include "output/CDSoundThread.h"
#include "output/OutputGlobals.h"

namespace {

HWND ApplicationMainWindow() {
  CWnd* main = AfxGetMainWnd();
  return main != nullptr ? main->GetSafeHwnd() : nullptr;
}

double FadeSeconds() { return g_fadeLen.Get() / 1000.0; }

}  // namespace

MainWindowFn& MainWindowProvider() {
  static MainWindowFn provider = &ApplicationMainWindow;
  return provider;
}

CDSoundOutput::CDSoundOutput() {
  CScopedLock lock(&g_outputLock);
  g_outputList.Append(this);
}

CDSoundOutput::~CDSoundOutput() {
  CScopedLock lock(&g_outputLock);
  g_outputList.Remove(this);
  // The stream fades out on the worker after this device is gone.
  if (m_stream != nullptr) m_stream->FadeOutAndRelease(FadeSeconds());
}

bool CDSoundOutput::Open(int rate, int bits, int channels, int /*reserved*/, int ringBytes) {
  CScopedLock lock(&g_outputLock);
  if (m_stream != nullptr) {
    m_stream->Release();
    m_stream = nullptr;
  }
  if (g_dsoundThread == nullptr) {
    HWND window = MainWindowProvider()();
    if (window == nullptr) return false;
    g_dsoundThread = new CDSoundThread(window);
  }
  if (g_outputDevice.IsZero()) {
    g_dsoundThread->SelectDevice(nullptr);
  } else {
    ConfigGuid bytes = g_outputDevice.Get();
    GUID device;
    std::memcpy(&device, bytes.bytes, sizeof device);
    g_dsoundThread->SelectDevice(&device);
  }
  DSoundStreamParams params;
  params.rate = rate;
  params.channels = channels;
  params.bits = bits;
  params.isFloat = false;
  params.allowHardwareMixing = g_allowHardwareMixing.Get() != 0;
  params.bufferMs = g_dsoundBufferSize.Get();
  m_stream = g_dsoundThread->CreateStream(params, ringBytes);
  if (m_stream == nullptr) return false;
  m_stream->SetVolume(m_volume);
  if (m_fadeIn) {
    m_stream->Fade(0.0, m_volume, FadeSeconds());
    m_fadeIn = false;
  }
  return true;
}

int CDSoundOutput::GetFreeSpace() {
  CScopedLock lock(&g_outputLock);
  return m_stream != nullptr ? m_stream->GetFreeSpace() : 0;
}

bool CDSoundOutput::Write(const void* data, int length) {
  CScopedLock lock(&g_outputLock);
  return m_stream != nullptr && m_stream->Write(data, length);
}

bool CDSoundOutput::IsActive() {
  CScopedLock lock(&g_outputLock);
  return m_stream != nullptr && m_stream->IsActive();
}

bool CDSoundOutput::CloseWithFade() {
  CScopedLock lock(&g_outputLock);
  if (m_stream != nullptr) m_stream->FadeOutAndRelease(FadeSeconds());
  m_stream = nullptr;
  m_fadeIn = true;
  return true;
}

void CDSoundOutput::Pause(bool pause) {
  CScopedLock lock(&g_outputLock);
  if (m_stream != nullptr) m_stream->FadePause(FadeSeconds(), pause);
}

int CDSoundOutput::GetBufferedBytes() {
  CScopedLock lock(&g_outputLock);
  return m_stream != nullptr ? m_stream->GetBufferedBytes() : 0;
}

double CDSoundOutput::GetBufferedSeconds() {
  CScopedLock lock(&g_outputLock);
  return m_stream != nullptr ? m_stream->GetBufferedSeconds() : 0.0;
}

double CDSoundOutput::GetPlayedSeconds() {
  CScopedLock lock(&g_outputLock);
  return m_stream != nullptr ? m_stream->GetPlayedSeconds() : 0.0;
}

bool CDSoundOutput::Drain() {
  CScopedLock lock(&g_outputLock);
  return m_stream != nullptr && m_stream->Drain();
}

void CDSoundOutput::ReleaseStream() {
  if (m_stream != nullptr) m_stream->Release();
  m_stream = nullptr;
}

void CDSoundOutput::SetVolume(double volume) {
  if (m_stream != nullptr) m_stream->SetVolume(volume);
  m_volume = volume;
}
