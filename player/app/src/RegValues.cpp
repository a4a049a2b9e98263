#include "app/RegValues.h"

#include <cstring>
#include <vector>

namespace {

// Registry values we keep are a few words or a path; anything larger is not ours.
constexpr DWORD kMaxValueBytes = 64 * 1024;

class KeyHandle {
 public:
  KeyHandle() = default;
  ~KeyHandle() {
    if (m_key) ::RegCloseKey(m_key);
  }
  KeyHandle(const KeyHandle&) = delete;
  KeyHandle& operator=(const KeyHandle&) = delete;
  HKEY* Out() { return &m_key; }
  HKEY Get() const { return m_key; }
  LONG Close() {
    LONG rc = m_key ? ::RegCloseKey(m_key) : ERROR_SUCCESS;
    m_key = nullptr;
    return rc;
  }

 private:
  HKEY m_key = nullptr;
};

}  // namespace

RegPath SplitRegPathTrimmed(const std::string& path) {
  std::string rest = path;
  rest.erase(0,
             rest.find_first_not_of('\\') == std::string::npos ? rest.size() : rest.find_first_not_of('\\'));
  RegPath out;
  const size_t last = rest.find_last_of('\\');
  if (last == std::string::npos) {
    out.name = rest;
    return out;
  }
  out.subkey = rest.substr(0, last);
  while (!out.subkey.empty() && out.subkey.back() == '\\') out.subkey.pop_back();
  out.name = rest.substr(last);
  out.name.erase(0, out.name.find_first_not_of('\\') == std::string::npos ? out.name.size()
                                                                          : out.name.find_first_not_of('\\'));
  return out;
}

RegPath SplitRegPathPlain(const std::string& path) {
  RegPath out;
  const size_t last = path.find_last_of('\\');
  if (last == std::string::npos) {
    out.subkey = path;
    out.name = path;
    return out;
  }
  out.subkey = path.substr(0, last);
  out.name = path.substr(last + 1);
  return out;
}

namespace regvalue {

bool ReadRaw(HKEY root, const RegPath& path, std::string& bytes, DWORD& type) {
  KeyHandle key;
  if (::RegOpenKeyExA(root, path.subkey.empty() ? nullptr : path.subkey.c_str(), 0, KEY_READ, key.Out()) !=
      ERROR_SUCCESS)
    return false;
  DWORD size = 0;
  if (::RegQueryValueExA(key.Get(), path.name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return false;
  if (size > kMaxValueBytes) return false;
  std::vector<BYTE> data(size + 1);
  if (::RegQueryValueExA(key.Get(), path.name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
    return false;
  bytes.assign(reinterpret_cast<const char*>(data.data()), size);
  return true;
}

LONG WriteRaw(HKEY root, const RegPath& path, DWORD type, const void* data, DWORD size) {
  KeyHandle key;
  LONG rc = ::RegCreateKeyExA(root, path.subkey.c_str(), 0, const_cast<char*>(""), 0, KEY_WRITE, nullptr,
                              key.Out(), nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  rc = ::RegSetValueExA(key.Get(), path.name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  LONG closed = key.Close();
  return rc != ERROR_SUCCESS ? rc : closed;
}

bool DwordCodec::Decode(const std::string& bytes, DWORD, Value& out) {
  if (bytes.size() != sizeof(DWORD)) return false;
  memcpy(&out, bytes.data(), sizeof(DWORD));
  return true;
}

LONG DwordCodec::Write(HKEY root, const RegPath& path, const Value& value) {
  return WriteRaw(root, path, REG_DWORD, &value, sizeof(value));
}

bool StringCodec::Decode(const std::string& bytes, DWORD type, Value& out) {
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  // A string stored without its terminator is not one we wrote.
  const size_t end = bytes.find('\0');
  if (end == std::string::npos) return false;
  out = bytes.substr(0, end);
  return true;
}

LONG StringCodec::Write(HKEY root, const RegPath& path, const Value& value) {
  return WriteRaw(root, path, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

bool RectCodec::Decode(const std::string& bytes, DWORD, Value& out) {
  if (bytes.size() < 4 * sizeof(LONG)) return false;
  memcpy(&out, bytes.data(), 4 * sizeof(LONG));
  return true;
}

LONG RectCodec::Write(HKEY root, const RegPath& path, const Value& value) {
  return WriteRaw(root, path, REG_BINARY, &value, 4 * sizeof(LONG));
}

bool PointCodec::Decode(const std::string& bytes, DWORD, Value& out) {
  if (bytes.size() < 2 * sizeof(LONG)) return false;
  memcpy(&out, bytes.data(), 2 * sizeof(LONG));
  return true;
}

LONG PointCodec::Write(HKEY root, const RegPath& path, const Value& value) {
  return WriteRaw(root, path, REG_BINARY, &value, 2 * sizeof(LONG));
}

}  // namespace regvalue
