#pragma once
// Named, typed settings of the DirectSound output chain. Every variable joins
// one process-wide list (newest first) when it is built. Variables are built
// by static initialisers only, before any thread runs, so the list needs no lock.
#include <cstddef>
#include <cstdint>

class CConfigVar;

class IConfigVarListener {
 public:
  // name is "" for a variable without one.
  virtual void OnVarChanged(const char* name, CConfigVar* variable) = 0;

  IConfigVarListener* nextListener = nullptr;

 protected:
  ~IConfigVarListener() = default;
};

class IByteSink {
 public:
  virtual void Write(const void* data, size_t length) = 0;

 protected:
  ~IByteSink() = default;
};

// A read cursor over a byte range: each Read takes n bytes or nothing.
class CByteReader {
 public:
  CByteReader(const void* data, size_t length)
      : m_cursor(static_cast<const uint8_t*>(data)), m_left(length) {}
  bool Read(void* dest, size_t n);
  size_t Remaining() const { return m_left; }

 private:
  const uint8_t* m_cursor;
  size_t m_left;
};

class CConfigVar {
 public:
  explicit CConfigVar(const char* name);
  // Frees the name only: the variables live until the process ends, and
  // nothing walks the list during exit.
  virtual ~CConfigVar();
  CConfigVar(const CConfigVar&) = delete;
  CConfigVar& operator=(const CConfigVar&) = delete;

  virtual bool Write(IByteSink& sink) const = 0;
  virtual bool Read(const void* data, size_t length) = 0;

  const char* Name() const { return m_name != nullptr ? m_name : ""; }
  CConfigVar* Next() const { return m_next; }
  // The listener must outlive the variable. Listeners are called newest first.
  void AddListener(IConfigVarListener* listener);
  static CConfigVar* First();
  // The variable of that name, or null.
  static CConfigVar* Find(const char* name);

 protected:
  void NotifyListeners();

 private:
  char* m_name = nullptr;
  CConfigVar* m_next = nullptr;
  IConfigVarListener* m_listeners = nullptr;
};

class CConfigVarInt : public CConfigVar {
 public:
  CConfigVarInt(const char* name, int32_t value) : CConfigVar(name), m_value(value) {}
  int32_t Get() const { return m_value; }
  bool Write(IByteSink& sink) const override;
  // Takes exactly 4 bytes and tells the listeners; any other length is ignored.
  bool Read(const void* data, size_t length) override;

 private:
  int32_t m_value;
};

struct ConfigGuid {
  uint8_t bytes[16];
};

class CConfigVarGuid : public CConfigVar {
 public:
  explicit CConfigVarGuid(const char* name) : CConfigVar(name), m_value{} {}
  ConfigGuid Get() const { return m_value; }
  bool IsZero() const;
  bool Write(IByteSink& sink) const override;
  // Needs 16 bytes (more are ignored); false with fewer, keeping the value.
  bool Read(const void* data, size_t length) override;

 private:
  ConfigGuid m_value;
};
