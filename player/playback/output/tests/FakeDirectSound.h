#pragma once
// A scripted DirectSound: the test sets the play cursor and the status, and
// reads what the stream wrote, the volumes it set and the calls it made.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <algorithm>
#include <cstring>
#include <vector>

class FakeSoundBuffer final : public IDirectSoundBuffer {
 public:
  explicit FakeSoundBuffer(const DSBUFFERDESC& desc)
      : flags(desc.dwFlags), bytes(desc.dwBufferBytes, 0x55), format(*desc.lpwfxFormat) {}

  // IUnknown
  STDMETHOD(QueryInterface)(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
  STDMETHOD_(ULONG, Release)() override {
    ULONG left = --refs;
    if (left == 0) {
      if (released != nullptr) *released = true;
      delete this;
    }
    return left;
  }
  // IDirectSoundBuffer
  STDMETHOD(GetCaps)(LPDSBCAPS) override { return E_NOTIMPL; }
  STDMETHOD(GetCurrentPosition)(LPDWORD play, LPDWORD write) override {
    // A device left to run moves on by itself (tests that need streams to
    // finish their fades without driving the cursor).
    if (advanceEach != nullptr && playing) Advance(*advanceEach);
    if (play) *play = playCursor;
    if (write) *write = playCursor;
    return S_OK;
  }
  STDMETHOD(GetFormat)(LPWAVEFORMATEX, DWORD, LPDWORD) override { return E_NOTIMPL; }
  STDMETHOD(GetVolume)(LPLONG level) override {
    *level = volume;
    return S_OK;
  }
  STDMETHOD(GetPan)(LPLONG) override { return E_NOTIMPL; }
  STDMETHOD(GetFrequency)(LPDWORD) override { return E_NOTIMPL; }
  STDMETHOD(GetStatus)(LPDWORD out) override {
    *out = status | (playing ? DSBSTATUS_PLAYING | DSBSTATUS_LOOPING : 0);
    return S_OK;
  }
  STDMETHOD(Initialize)(LPDIRECTSOUND, LPCDSBUFFERDESC) override { return E_NOTIMPL; }
  STDMETHOD(Lock)(DWORD offset, DWORD length, void** p1, DWORD* l1, void** p2, DWORD* l2, DWORD) override {
    DWORD size = static_cast<DWORD>(bytes.size());
    if (offset >= size || length > size) return DSERR_INVALIDPARAM;
    DWORD first = std::min(length, size - offset);
    *p1 = bytes.data() + offset;
    *l1 = first;
    *p2 = first < length ? bytes.data() : nullptr;
    *l2 = length - first;
    return S_OK;
  }
  STDMETHOD(Play)(DWORD, DWORD, DWORD) override {
    playing = true;
    ++plays;
    return S_OK;
  }
  STDMETHOD(SetCurrentPosition)(DWORD position) override {
    playCursor = position;
    ++resyncs;
    return S_OK;
  }
  STDMETHOD(SetFormat)(LPCWAVEFORMATEX) override { return E_NOTIMPL; }
  STDMETHOD(SetVolume)(LONG level) override {
    if (level > 0 || level < -10000) return DSERR_INVALIDPARAM;
    volume = level;
    return S_OK;
  }
  STDMETHOD(SetPan)(LONG) override { return E_NOTIMPL; }
  STDMETHOD(SetFrequency)(DWORD) override { return E_NOTIMPL; }
  STDMETHOD(Stop)() override {
    playing = false;
    ++stops;
    return S_OK;
  }
  STDMETHOD(Unlock)(void*, DWORD, void*, DWORD) override { return S_OK; }
  STDMETHOD(Restore)() override {
    ++restores;
    if (restoreFails) return DSERR_BUFFERLOST;
    status &= ~DSBSTATUS_BUFFERLOST;
    return S_OK;
  }

  // Moves the play cursor on, wrapping like the device.
  void Advance(DWORD n) { playCursor = (playCursor + n) % bytes.size(); }

  ULONG refs = 1;
  DWORD flags;
  std::vector<unsigned char> bytes;
  WAVEFORMATEX format;
  DWORD playCursor = 0;
  DWORD status = 0;
  bool playing = false;
  bool restoreFails = false;
  int plays = 0, stops = 0, restores = 0, resyncs = 0;
  LONG volume = 0;
  bool* released = nullptr;
  const DWORD* advanceEach = nullptr;
};

class FakeDirectSound : public IDirectSound {
 public:
  STDMETHOD(QueryInterface)(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
  STDMETHOD_(ULONG, Release)() override { return --refs; }  // lives in the test
  STDMETHOD(CreateSoundBuffer)(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* out, LPUNKNOWN) override {
    if (failBuffers) return DSERR_OUTOFMEMORY;
    auto* buffer = new FakeSoundBuffer(*desc);
    buffer->advanceEach = &advanceEach;
    buffers.push_back(buffer);
    *out = buffer;
    return S_OK;
  }
  STDMETHOD(GetCaps)(LPDSCAPS) override { return E_NOTIMPL; }
  STDMETHOD(DuplicateSoundBuffer)(LPDIRECTSOUNDBUFFER, LPDIRECTSOUNDBUFFER*) override { return E_NOTIMPL; }
  STDMETHOD(SetCooperativeLevel)(HWND, DWORD level) override {
    cooperativeLevel = level;
    return failCooperativeLevel ? DSERR_INVALIDPARAM : S_OK;
  }
  STDMETHOD(Compact)() override { return S_OK; }
  STDMETHOD(GetSpeakerConfig)(LPDWORD) override { return E_NOTIMPL; }
  STDMETHOD(SetSpeakerConfig)(DWORD) override { return E_NOTIMPL; }
  STDMETHOD(Initialize)(LPCGUID) override { return S_OK; }

  ULONG refs = 1;
  bool failBuffers = false;
  bool failCooperativeLevel = false;
  DWORD cooperativeLevel = 0;
  // Bytes a playing buffer's cursor moves at each position read (0: still).
  DWORD advanceEach = 0;
  std::vector<FakeSoundBuffer*> buffers;  // not owned: the streams release them
};
