// Registry value objects: one named value under one key, read on demand,
// cached, written back on change. A family of six over one template that
// does the opening, reading and writing; the members differ in the value's
// type and in how their path splits into subkey and value name.
//
//   CRegValue          DWORD      REG_DWORD   path trimmed of stray backslashes
//   CRegStringValue    text       REG_SZ      path trimmed
//   CRegRectValue      RECT       REG_BINARY  path trimmed (16 bytes)
//   CRegPointValue     POINT      REG_BINARY  path trimmed (8 bytes)
//   CRegStdStringValue text       REG_SZ      path split as it stands
//   CRegStdValue       DWORD      REG_DWORD   path split as it stands; no setter
//
// A value that cannot be read (no key, wrong type, wrong size, a string
// without its terminator) reads as the default and is not cached, so the
// next Get tries the registry again.
#pragma once

#include <windows.h>

#include <string>

// Path splitting: the subkey and the value name.
struct RegPath {
  std::string subkey;
  std::string name;
};
// Leading backslashes dropped; the subkey is what precedes the last
// backslash (its trailing backslashes dropped), the name what follows (its
// leading ones dropped). No backslash: the root key itself and the whole path.
RegPath SplitRegPathTrimmed(const std::string& path);
// Before and after the last backslash as they stand; no backslash: the whole
// path is both the subkey and the name.
RegPath SplitRegPathPlain(const std::string& path);

namespace regvalue {

// The bytes of a value: false when the key or value is missing or the data
// is not of the type and size the codec accepts.
bool ReadRaw(HKEY root, const RegPath& path, std::string& bytes, DWORD& type);
LONG WriteRaw(HKEY root, const RegPath& path, DWORD type, const void* data, DWORD size);

struct DwordCodec {
  using Value = DWORD;
  static Value Empty() { return 0; }
  static bool Decode(const std::string& bytes, DWORD type, Value& out);
  static LONG Write(HKEY root, const RegPath& path, const Value& value);
  static bool Equal(const Value& a, const Value& b) { return a == b; }
};
struct StringCodec {
  using Value = std::string;
  static Value Empty() { return std::string(); }
  static bool Decode(const std::string& bytes, DWORD type, Value& out);
  static LONG Write(HKEY root, const RegPath& path, const Value& value);
  static bool Equal(const Value& a, const Value& b) { return a == b; }
};
struct RectCodec {
  using Value = RECT;
  static Value Empty() { return RECT{0, 0, 0, 0}; }
  static bool Decode(const std::string& bytes, DWORD type, Value& out);
  static LONG Write(HKEY root, const RegPath& path, const Value& value);
  static bool Equal(const Value& a, const Value& b) { return ::EqualRect(&a, &b) != FALSE; }
};
struct PointCodec {
  using Value = POINT;
  static Value Empty() { return POINT{0, 0}; }
  static bool Decode(const std::string& bytes, DWORD type, Value& out);
  static LONG Write(HKEY root, const RegPath& path, const Value& value);
  static bool Equal(const Value& a, const Value& b) { return a.x == b.x && a.y == b.y; }
};

}  // namespace regvalue

template <class Codec, RegPath (*Split)(const std::string&)>
class CRegValueOf {
 public:
  using Value = typename Codec::Value;

  CRegValueOf() : m_value(Codec::Empty()), m_default(Codec::Empty()) {}
  // Reads the value at once.
  CRegValueOf(const std::string& path, const Value& defaultValue, BOOL reRead = FALSE,
              HKEY root = HKEY_CURRENT_USER)
      : m_root(root), m_value(Codec::Empty()), m_default(defaultValue), m_reRead(reRead) {
    m_path = Split(path);
    Read();
  }
  virtual ~CRegValueOf() = default;

  // The registry's value, or the default when it cannot be read.
  Value Read() {
    std::string bytes;
    DWORD type = 0;
    Value value = Codec::Empty();
    if (!regvalue::ReadRaw(m_root, m_path, bytes, type) || !Codec::Decode(bytes, type, value))
      return m_default;
    m_value = value;
    m_valid = TRUE;
    return m_value;
  }
  // 0, or the registry's error code.
  LONG Write() {
    LONG rc = Codec::Write(m_root, m_path, m_value);
    if (rc == ERROR_SUCCESS) m_valid = TRUE;
    return rc;
  }
  Value Get() { return m_valid && !m_reRead ? m_value : Read(); }
  bool IsValid() const { return m_valid != FALSE; }
  const RegPath& GetPath() const { return m_path; }

 protected:
  void SetValue(const Value& value) {
    if (Codec::Equal(value, m_value) && !m_reRead) return;
    m_value = value;
    Write();
  }
  const Value& Cached() const { return m_value; }

 private:
  HKEY m_root = HKEY_CURRENT_USER;
  RegPath m_path;
  Value m_value;
  Value m_default;
  BOOL m_valid = FALSE;
  BOOL m_reRead = FALSE;
};

class CRegValue : public CRegValueOf<regvalue::DwordCodec, SplitRegPathTrimmed> {
 public:
  using CRegValueOf::CRegValueOf;
  void Set(DWORD value) { SetValue(value); }
};

class CRegStringValue : public CRegValueOf<regvalue::StringCodec, SplitRegPathTrimmed> {
 public:
  using CRegValueOf::CRegValueOf;
  void Set(const std::string& value) { SetValue(value); }
};

class CRegRectValue : public CRegValueOf<regvalue::RectCodec, SplitRegPathTrimmed> {
 public:
  using CRegValueOf::CRegValueOf;
  void Set(const RECT& value) { SetValue(value); }
};

class CRegPointValue : public CRegValueOf<regvalue::PointCodec, SplitRegPathTrimmed> {
 public:
  using CRegValueOf::CRegValueOf;
  void Set(const POINT& value) { SetValue(value); }
};

class CRegStdStringValue : public CRegValueOf<regvalue::StringCodec, SplitRegPathPlain> {
 public:
  using CRegValueOf::CRegValueOf;
  void Set(const std::string& value) { SetValue(value); }
  // The cached characters: valid while the object lives and is not read again.
  const char* GetPtr() { return Cached().c_str(); }
};

class CRegStdValue : public CRegValueOf<regvalue::DwordCodec, SplitRegPathPlain> {
 public:
  using CRegValueOf::CRegValueOf;
};
