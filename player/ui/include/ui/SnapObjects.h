// The geometry of snapping: frames that come within reach of the main window
// or a screen edge land flush against it, and frames caught by the main
// window are docked and travel with it. Everything here works on rectangles
// in screen coordinates and on small snap objects, so it can be tested
// without windows; SnapWindows.h binds it to real windows.
#pragma once

#include <windows.h>

#include <vector>

// Snap side bits: as results they tell how a window is attached, as masks
// which sides may snap. Each also names the edge a sizing drag may not move.
enum SnapSide : int {
  kSnapAbove = 0x01,         // bottom edge on the target's top
  kSnapBelow = 0x02,         // top edge on the target's bottom
  kSnapLeftOf = 0x04,        // right edge on the target's left
  kSnapRightOf = 0x08,       // left edge on the target's right
  kSnapScreenTop = 0x10,     // top at screen y = 0
  kSnapScreenBottom = 0x20,  // bottom at the bottom of the work area
  kSnapScreenLeft = 0x40,    // left at screen x = 0
  kSnapScreenRight = 0x80,   // right at the right of the work area
  kSnapAllSides = 0xFF,
  kSnapScreenBits = 0xF0,
};

// An edge is caught at this distance or less.
constexpr int kSnapDistance = 10;

class ISnapHost;

class ISnapObject {
 public:
  virtual void SetHost(ISnapObject* host) = 0;
  virtual void MoveBy(int dx, int dy) = 0;
  virtual void GetRect(RECT* rect) = 0;
  virtual ISnapHost* AsHost() = 0;
  virtual bool IsDocked() = 0;
  // Returns the previous value.
  virtual bool SetBusy(bool busy) = 0;
  virtual bool IsBusy() = 0;
  virtual void SetSnapSides(int mask) = 0;
  virtual int GetSnapSides() = 0;

 protected:
  ~ISnapObject() = default;
};

class ISnapHost : public ISnapObject {
 public:
  using ISnapObject::IsDocked;
  virtual void AddTarget(ISnapObject* obj) = 0;
  virtual void RemoveTarget(ISnapObject* obj) = 0;
  // True when obj was appended to the docked list, false when already there.
  virtual bool Dock(ISnapObject* obj) = 0;
  virtual void Undock(ISnapObject* obj) = 0;
  virtual bool IsDocked(ISnapObject* obj) = 0;

 protected:
  ~ISnapHost() = default;
};

// The client side: a floating frame that snaps to its host and the screen.
class CSnapWnd : public ISnapObject {
 public:
  CSnapWnd() = default;
  // Leaves the host's docked list and target set: a host must never reach
  // a destroyed frame through either.
  virtual ~CSnapWnd();
  CSnapWnd(const CSnapWnd&) = delete;
  CSnapWnd& operator=(const CSnapWnd&) = delete;

  void SetHost(ISnapObject* host) override;
  void MoveBy(int dx, int dy) override { DoMoveBy(dx, dy); }
  void GetRect(RECT* rect) override { DoGetRect(rect); }
  ISnapHost* AsHost() override { return nullptr; }
  bool IsDocked() override;
  bool SetBusy(bool busy) override;
  bool IsBusy() override { return m_busy; }

  ISnapHost* GetHost() const { return m_host; }
  // Snaps r (the proposed rectangle) to the host, else to the screen.
  int Snap(RECT* r);

 protected:
  virtual void DoMoveBy(int dx, int dy) = 0;
  virtual void DoGetRect(RECT* rect) = 0;

 private:
  ISnapHost* m_host = nullptr;
  bool m_busy = false;
};

// The host side: the main window, which docks frames and moves them along.
class CSnapHost : public ISnapHost {
 public:
  CSnapHost() = default;
  // Leaves its own host and releases every docked object.
  virtual ~CSnapHost();
  CSnapHost(const CSnapHost&) = delete;
  CSnapHost& operator=(const CSnapHost&) = delete;

  void SetHost(ISnapObject* host) override;
  void MoveBy(int dx, int dy) override;
  void GetRect(RECT* rect) override { DoGetRect(rect); }
  ISnapHost* AsHost() override { return this; }
  bool IsDocked() override;
  bool SetBusy(bool busy) override;
  bool IsBusy() override { return m_busy; }

  void AddTarget(ISnapObject* obj) override;
  void RemoveTarget(ISnapObject* obj) override;
  bool Dock(ISnapObject* obj) override;
  void Undock(ISnapObject* obj) override;
  bool IsDocked(ISnapObject* obj) override;

  // Moves every docked object (marked busy meanwhile, so it is not undocked
  // by its own position change).
  void MoveDocked(int dx, int dy);
  // The same, leaving out the object docked last (the one just caught).
  void MoveDockedExceptLast(int dx, int dy);
  // out = in grown over every docked object; false when none is docked.
  bool GetGroupRect(const RECT* in, RECT* out);
  // The host moving to r: tries the targets not docked yet, then the
  // screen with the whole group's rectangle.
  int Snap(RECT* r, RECT* group);

  const std::vector<ISnapObject*>& GetDocked() const { return m_docked; }
  const std::vector<ISnapObject*>& GetTargets() const { return m_targets; }

 protected:
  virtual void DoMoveBy(int dx, int dy) = 0;
  virtual void DoGetRect(RECT* rect) = 0;

 private:
  std::vector<ISnapObject*> m_docked;  // in docking order
  ISnapHost* m_host = nullptr;
  bool m_busy = false;
  std::vector<ISnapObject*> m_targets;  // in the order added, unique
};

// Moves r flush to the screen edges within reach (top and left at screen 0,
// right and bottom at the work area) and answers the screen bits caught.
int SnapToScreen(RECT* r, int mask);
// The same against a given work area.
int SnapToScreenIn(RECT* r, int mask, const RECT& workArea);

// Snaps r against target (docking subject to host when it catches); when
// nothing catches, an idle subject is undocked and rScreen snapped to the
// screen instead.
int SnapToWindow(RECT* r, RECT* rScreen, const RECT* target, ISnapHost* host, ISnapObject* subject,
                 int screenMask);
