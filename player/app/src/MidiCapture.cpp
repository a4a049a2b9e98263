#include "app/MidiCapture.h"

#include <voxgate/Voxgate.h>

namespace {

// Never opened, never written to: the recorder's hook is muted, so the port
// only gives the channel manager channels to hand out.
HMIDIOUT CapturePort() { return reinterpret_cast<HMIDIOUT>(static_cast<INT_PTR>(0x7E57)); }

}  // namespace

CMidiCapture::~CMidiCapture() { Finish(); }

void CMidiCapture::Start() {
  if (m_recorder) return;
  char path[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableA(kVariable, path, sizeof path);
  if (length == 0 || length >= sizeof path) return;
  // Our own reference keeps the recorder alive until its recording is saved,
  // whatever the engine does with the library meanwhile.
  if (!m_voxgate.Load(kVoxgateLibrary)) return;
  auto createManager = m_voxgate.Find<CreateVoxgateFn>(kCreateVoxgateName);
  auto createRecorder = m_voxgate.Find<CreateRecordCtrlFn>(kCreateRecordCtrlName);
  m_manager = createManager ? createManager(1) : nullptr;
  IMidiRecorder* recorder = createRecorder ? createRecorder(1) : nullptr;
  if (!m_manager || !recorder) {
    m_manager = nullptr;
    m_voxgate.Free();
    return;
  }
  m_path = path;
  m_manager->AddPort(CapturePort());
  recorder->SetMute(1);
  recorder->StartRecording();
  m_recorder = recorder;
}

void CMidiCapture::Finish() {
  if (!m_recorder) return;
  m_recorder->StopRecording();
  m_recorder->Save(m_path.c_str());
  m_manager->RemovePort(CapturePort());
  m_recorder = nullptr;
  m_manager = nullptr;
  m_voxgate.Free();
}
