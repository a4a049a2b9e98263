#pragma once
// A scripted Windows Media reader: outputs, header attributes and status
// answers set by the test; the test drives samples through the callback it
// was opened with.
#include <windows.h>
#include <mmreg.h>
#include <nserror.h>
#include <wmsdkidl.h>

#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

// ASF_E_NOTFOUND: the file has no such attribute.
constexpr HRESULT kAttributeNotFound = HRESULT(0xC00D07F0);

class FakeOutputProps final : public IWMOutputMediaProps {
 public:
  FakeOutputProps(const GUID& major, std::vector<BYTE> format)
      : m_major(major), m_format(std::move(format)) {}
  STDMETHOD(QueryInterface)(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHOD_(ULONG, AddRef)() override { return ++m_refs; }
  STDMETHOD_(ULONG, Release)() override {
    ULONG left = --m_refs;
    if (left == 0) delete this;
    return left;
  }
  STDMETHOD(GetType)(GUID* type) override {
    *type = m_major;
    return S_OK;
  }
  STDMETHOD(GetMediaType)(WM_MEDIA_TYPE* type, DWORD* size) override {
    DWORD need = static_cast<DWORD>(sizeof(WM_MEDIA_TYPE) + m_format.size());
    if (type == nullptr) {
      *size = need;
      return S_OK;
    }
    if (*size < need) return E_INVALIDARG;
    std::memset(type, 0, need);
    type->majortype = m_major;
    type->cbFormat = static_cast<ULONG>(m_format.size());
    type->pbFormat = m_format.empty() ? nullptr : reinterpret_cast<BYTE*>(type + 1);
    if (!m_format.empty()) std::memcpy(type + 1, m_format.data(), m_format.size());
    return S_OK;
  }
  STDMETHOD(SetMediaType)(WM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  STDMETHOD(GetStreamGroupName)(WCHAR*, WORD*) override { return E_NOTIMPL; }
  STDMETHOD(GetConnectionName)(WCHAR*, WORD*) override { return E_NOTIMPL; }

 private:
  ULONG m_refs = 1;
  GUID m_major;
  std::vector<BYTE> m_format;
};

// 44.1 kHz 16-bit stereo PCM.
inline std::vector<BYTE> CdFormat() {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = 44100;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = 176400;
  const BYTE* bytes = reinterpret_cast<const BYTE*>(&format);
  return std::vector<BYTE>(bytes, bytes + sizeof format);
}

struct FakeAttribute {
  WMT_ATTR_DATATYPE type;
  std::vector<BYTE> value;
};

inline FakeAttribute TextAttribute(const std::wstring& text) {
  const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
  return {WMT_TYPE_STRING, std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t))};
}

class FakeWMReader final : public IWMReader, public IWMReaderAdvanced, public IWMHeaderInfo {
 public:
  struct Output {
    GUID major;
    std::vector<BYTE> format;
  };

  // Script.
  HRESULT openCall = S_OK;     // what Open returns
  HRESULT openStatus = S_OK;   // the result of the OPENED status
  bool answers = true;         // false: statuses never come
  bool answerOnThread = true;  // the OPENED status from another thread, as the real reader does
  std::vector<Output> outputs{{WMMEDIATYPE_Audio, CdFormat()}};
  std::map<std::wstring, FakeAttribute> attributes;
  std::map<std::wstring, HRESULT> failingAttributes;
  DWORD maxSampleSize = 8192;
  HRESULT maxSampleSizeResult = S_OK;
  bool hasAdvanced = true;
  bool* destroyed = nullptr;

  // Record.
  IWMReaderCallback* callback = nullptr;
  std::wstring openedName;
  std::vector<QWORD> starts;
  int stops = 0, closes = 0, pauses = 0, resumes = 0;
  DWORD allocateOutput = 0xFFFFFFFF;

  ~FakeWMReader() {
    Join();
    if (callback != nullptr) callback->Release();
    if (destroyed != nullptr) *destroyed = true;
  }

  // IUnknown, for all three faces.
  STDMETHOD(QueryInterface)(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid == __uuidof(IWMReader) || iid == __uuidof(IUnknown)) *out = static_cast<IWMReader*>(this);
    if (iid == __uuidof(IWMReaderAdvanced) && hasAdvanced) *out = static_cast<IWMReaderAdvanced*>(this);
    if (iid == __uuidof(IWMHeaderInfo)) *out = static_cast<IWMHeaderInfo*>(this);
    if (*out == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
  STDMETHOD_(ULONG, Release)() override {
    ULONG left = --refs;
    if (left == 0) delete this;
    return left;
  }

  // IWMReader
  STDMETHOD(Open)(const WCHAR* url, IWMReaderCallback* cb, void*) override {
    if (FAILED(openCall)) return openCall;
    openedName = url;
    if (callback == nullptr) {
      callback = cb;
      callback->AddRef();
    }
    if (!answers) return S_OK;
    Join();
    if (answerOnThread) {
      m_thread = std::thread([this] {
        Sleep(20);
        callback->OnStatus(WMT_OPENED, openStatus, WMT_TYPE_DWORD, nullptr, nullptr);
      });
    } else {
      callback->OnStatus(WMT_OPENED, openStatus, WMT_TYPE_DWORD, nullptr, nullptr);
    }
    return S_OK;
  }
  STDMETHOD(Close)() override {
    Join();
    ++closes;
    if (callback == nullptr) return NS_E_INVALID_REQUEST;
    if (answers) callback->OnStatus(WMT_CLOSED, S_OK, WMT_TYPE_DWORD, nullptr, nullptr);
    callback->Release();
    callback = nullptr;
    return S_OK;
  }
  STDMETHOD(GetOutputCount)(DWORD* count) override {
    *count = static_cast<DWORD>(outputs.size());
    return S_OK;
  }
  STDMETHOD(GetOutputProps)(DWORD output, IWMOutputMediaProps** props) override {
    if (output >= outputs.size()) return E_INVALIDARG;
    *props = new FakeOutputProps(outputs[output].major, outputs[output].format);
    return S_OK;
  }
  STDMETHOD(SetOutputProps)(DWORD, IWMOutputMediaProps*) override { return E_NOTIMPL; }
  STDMETHOD(GetOutputFormatCount)(DWORD, DWORD*) override { return E_NOTIMPL; }
  STDMETHOD(GetOutputFormat)(DWORD, DWORD, IWMOutputMediaProps**) override { return E_NOTIMPL; }
  STDMETHOD(Start)(QWORD start, QWORD, float, void*) override {
    if (callback == nullptr) return E_UNEXPECTED;
    starts.push_back(start);
    callback->OnStatus(WMT_STARTED, S_OK, WMT_TYPE_DWORD, nullptr, nullptr);
    return S_OK;
  }
  STDMETHOD(Stop)() override {
    ++stops;
    if (callback == nullptr) return E_UNEXPECTED;
    if (answers) callback->OnStatus(WMT_STOPPED, S_OK, WMT_TYPE_DWORD, nullptr, nullptr);
    return S_OK;
  }
  STDMETHOD(Pause)() override {
    ++pauses;
    return S_OK;
  }
  STDMETHOD(Resume)() override {
    ++resumes;
    return S_OK;
  }

  // IWMReaderAdvanced
  STDMETHOD(SetUserProvidedClock)(WINBOOL) override { return E_NOTIMPL; }
  STDMETHOD(GetUserProvidedClock)(WINBOOL*) override { return E_NOTIMPL; }
  STDMETHOD(DeliverTime)(QWORD) override { return E_NOTIMPL; }
  STDMETHOD(SetManualStreamSelection)(WINBOOL) override { return E_NOTIMPL; }
  STDMETHOD(GetManualStreamSelection)(WINBOOL*) override { return E_NOTIMPL; }
  STDMETHOD(SetStreamsSelected)(WORD, WORD*, WMT_STREAM_SELECTION*) override { return E_NOTIMPL; }
  STDMETHOD(GetStreamSelected)(WORD, WMT_STREAM_SELECTION*) override { return E_NOTIMPL; }
  STDMETHOD(SetReceiveSelectionCallbacks)(WINBOOL) override { return E_NOTIMPL; }
  STDMETHOD(GetReceiveSelectionCallbacks)(WINBOOL*) override { return E_NOTIMPL; }
  STDMETHOD(SetReceiveStreamSamples)(WORD, WINBOOL) override { return E_NOTIMPL; }
  STDMETHOD(GetReceiveStreamSamples)(WORD, WINBOOL*) override { return E_NOTIMPL; }
  STDMETHOD(SetAllocateForOutput)(DWORD output, WINBOOL on) override {
    if (on) allocateOutput = output;
    return S_OK;
  }
  STDMETHOD(GetAllocateForOutput)(DWORD, WINBOOL*) override { return E_NOTIMPL; }
  STDMETHOD(SetAllocateForStream)(WORD, WINBOOL) override { return E_NOTIMPL; }
  STDMETHOD(GetAllocateForStream)(WORD, WINBOOL*) override { return E_NOTIMPL; }
  STDMETHOD(GetStatistics)(WM_READER_STATISTICS*) override { return E_NOTIMPL; }
  STDMETHOD(SetClientInfo)(WM_READER_CLIENTINFO*) override { return E_NOTIMPL; }
  STDMETHOD(GetMaxOutputSampleSize)(DWORD, DWORD* size) override {
    if (FAILED(maxSampleSizeResult)) return maxSampleSizeResult;
    *size = maxSampleSize;
    return S_OK;
  }
  STDMETHOD(GetMaxStreamSampleSize)(WORD, DWORD*) override { return E_NOTIMPL; }
  STDMETHOD(NotifyLateDelivery)(QWORD) override { return E_NOTIMPL; }

  // IWMHeaderInfo
  STDMETHOD(GetAttributeCount)(WORD, WORD*) override { return E_NOTIMPL; }
  STDMETHOD(GetAttributeByIndex)(WORD, WORD*, WCHAR*, WORD*, WMT_ATTR_DATATYPE*, BYTE*, WORD*) override {
    return E_NOTIMPL;
  }
  STDMETHOD(GetAttributeByName)
  (WORD* stream, LPCWSTR name, WMT_ATTR_DATATYPE* type, BYTE* value, WORD* length) override {
    if (*stream != 0) return E_INVALIDARG;
    auto failing = failingAttributes.find(name);
    if (failing != failingAttributes.end()) return failing->second;
    auto it = attributes.find(name);
    if (it == attributes.end()) return kAttributeNotFound;
    WORD size = static_cast<WORD>(it->second.value.size());
    *type = it->second.type;
    if (value == nullptr) {
      *length = size;
      return S_OK;
    }
    if (*length < size) return E_INVALIDARG;
    std::memcpy(value, it->second.value.data(), size);
    *length = size;
    return S_OK;
  }
  STDMETHOD(SetAttribute)(WORD, LPCWSTR, WMT_ATTR_DATATYPE, const BYTE*, WORD) override { return E_NOTIMPL; }
  STDMETHOD(GetMarkerCount)(WORD*) override { return E_NOTIMPL; }
  STDMETHOD(GetMarker)(WORD, WCHAR*, WORD*, QWORD*) override { return E_NOTIMPL; }
  STDMETHOD(AddMarker)(LPCWSTR_WMSDK_TYPE_SAFE, QWORD) override { return E_NOTIMPL; }
  STDMETHOD(RemoveMarker)(WORD) override { return E_NOTIMPL; }
  STDMETHOD(GetScriptCount)(WORD*) override { return E_NOTIMPL; }
  STDMETHOD(GetScript)(WORD, WCHAR*, WORD*, WCHAR*, WORD*, QWORD*) override { return E_NOTIMPL; }
  STDMETHOD(AddScript)(LPCWSTR_WMSDK_TYPE_SAFE, LPCWSTR_WMSDK_TYPE_SAFE, QWORD) override { return E_NOTIMPL; }
  STDMETHOD(RemoveScript)(WORD) override { return E_NOTIMPL; }

  // A status as the reader's thread would send it.
  void Send(WMT_STATUS status, HRESULT hr = S_OK) {
    callback->OnStatus(status, hr, WMT_TYPE_DWORD, nullptr, nullptr);
  }

  ULONG refs = 1;

 private:
  void Join() {
    if (m_thread.joinable()) m_thread.join();
  }
  std::thread m_thread;
};
