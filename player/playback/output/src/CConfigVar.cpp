#include "output/CConfigVar.h"

#include <cstring>

namespace {
// Constant-initialised, so it is null before any variable's constructor runs,
// whatever the order of the translation units.
CConfigVar* g_firstVar = nullptr;
}  // namespace

bool CByteReader::Read(void* dest, size_t n) {
  if (n > left_) return false;
  std::memcpy(dest, cursor_, n);
  cursor_ += n;
  left_ -= n;
  return true;
}

CConfigVar::CConfigVar(const char* name) {
  if (name != nullptr) {
    size_t length = std::strlen(name);
    name_ = new char[length + 1];
    std::memcpy(name_, name, length + 1);
  }
  next_ = g_firstVar;
  g_firstVar = this;
}

CConfigVar::~CConfigVar() { delete[] name_; }

void CConfigVar::AddListener(IConfigVarListener* listener) {
  listener->nextListener = listeners_;
  listeners_ = listener;
}

CConfigVar* CConfigVar::First() { return g_firstVar; }

CConfigVar* CConfigVar::Find(const char* name) {
  for (CConfigVar* var = g_firstVar; var != nullptr; var = var->next_) {
    if (std::strcmp(var->Name(), name) == 0) return var;
  }
  return nullptr;
}

void CConfigVar::NotifyListeners() {
  for (IConfigVarListener* listener = listeners_; listener != nullptr; listener = listener->nextListener) {
    listener->OnVarChanged(Name(), this);
  }
}

bool CConfigVarInt::Write(IByteSink& sink) const {
  sink.Write(&value_, sizeof value_);
  return true;
}

bool CConfigVarInt::Read(const void* data, size_t length) {
  if (length != sizeof value_) return false;
  std::memcpy(&value_, data, sizeof value_);
  NotifyListeners();
  return true;
}

bool CConfigVarGuid::IsZero() const {
  for (uint8_t byte : value_.bytes) {
    if (byte != 0) return false;
  }
  return true;
}

bool CConfigVarGuid::Write(IByteSink& sink) const {
  sink.Write(value_.bytes, sizeof value_.bytes);
  return true;
}

bool CConfigVarGuid::Read(const void* data, size_t length) {
  CByteReader reader(data, length);
  ConfigGuid read;
  if (!reader.Read(read.bytes, sizeof read.bytes)) return false;
  value_ = read;
  return true;
}
