#include "output/CConfigVar.h"

#include <cstring>

namespace {
// Constant-initialised, so it is null before any variable's constructor runs,
// whatever the order of the translation units.
CConfigVar* g_firstVar = nullptr;
}  // namespace

bool CByteReader::Read(void* dest, size_t n) {
  if (n > m_left) return false;
  std::memcpy(dest, m_cursor, n);
  m_cursor += n;
  m_left -= n;
  return true;
}

CConfigVar::CConfigVar(const char* name) {
  if (name != nullptr) {
    size_t length = std::strlen(name);
    m_name = new char[length + 1];
    std::memcpy(m_name, name, length + 1);
  }
  m_next = g_firstVar;
  g_firstVar = this;
}

CConfigVar::~CConfigVar() { delete[] m_name; }

void CConfigVar::AddListener(IConfigVarListener* listener) {
  listener->nextListener = m_listeners;
  m_listeners = listener;
}

CConfigVar* CConfigVar::First() { return g_firstVar; }

CConfigVar* CConfigVar::Find(const char* name) {
  for (CConfigVar* var = g_firstVar; var != nullptr; var = var->m_next) {
    if (std::strcmp(var->Name(), name) == 0) return var;
  }
  return nullptr;
}

void CConfigVar::NotifyListeners() {
  for (IConfigVarListener* listener = m_listeners; listener != nullptr; listener = listener->nextListener) {
    listener->OnVarChanged(Name(), this);
  }
}

bool CConfigVarInt::Write(IByteSink& sink) const {
  sink.Write(&m_value, sizeof m_value);
  return true;
}

bool CConfigVarInt::Read(const void* data, size_t length) {
  if (length != sizeof m_value) return false;
  std::memcpy(&m_value, data, sizeof m_value);
  NotifyListeners();
  return true;
}

bool CConfigVarGuid::IsZero() const {
  for (uint8_t byte : m_value.bytes) {
    if (byte != 0) return false;
  }
  return true;
}

bool CConfigVarGuid::Write(IByteSink& sink) const {
  sink.Write(m_value.bytes, sizeof m_value.bytes);
  return true;
}

bool CConfigVarGuid::Read(const void* data, size_t length) {
  CByteReader reader(data, length);
  ConfigGuid read;
  if (!reader.Read(read.bytes, sizeof read.bytes)) return false;
  m_value = read;
  return true;
}
