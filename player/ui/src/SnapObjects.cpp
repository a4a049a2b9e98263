#include "ui/SnapObjects.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

bool Within(int a, int b) { return std::abs(a - b) <= kSnapDistance; }

void MoveRect(RECT* r, int dx, int dy) { ::OffsetRect(r, dx, dy); }

// After a side snap the window slides along the target until they touch.
void AlignVertically(RECT* r, const RECT& t) {
  if (r->top > t.bottom)
    MoveRect(r, 0, t.bottom - r->top);
  else if (r->bottom < t.top)
    MoveRect(r, 0, t.top - r->bottom);
}

void AlignHorizontally(RECT* r, const RECT& t) {
  if (r->left > t.right)
    MoveRect(r, t.right - r->left, 0);
  else if (r->right < t.left)
    MoveRect(r, t.left - r->right, 0);
}

void Erase(std::vector<ISnapObject*>& list, ISnapObject* obj) {
  list.erase(std::remove(list.begin(), list.end(), obj), list.end());
}

bool Contains(const std::vector<ISnapObject*>& list, ISnapObject* obj) {
  return std::find(list.begin(), list.end(), obj) != list.end();
}

// Null only detaches (no undocking); a host leaves the previous host's
// docked list; anything that is no host changes nothing.
void ReplaceHost(ISnapHost*& current, ISnapObject* self, ISnapObject* requested) {
  if (!requested) {
    current = nullptr;
    return;
  }
  ISnapHost* next = requested->AsHost();
  if (!next) return;
  if (current) current->Undock(self);
  current = next;
}

}  // namespace

// ---- Free functions

int SnapToScreenIn(RECT* r, int mask, const RECT& work) {
  int result = 0;
  const int right = r->right, bottom = r->bottom;
  if ((mask & kSnapScreenTop) && Within(r->top, 0)) {
    MoveRect(r, 0, -r->top);
    result |= kSnapScreenTop;
  }
  if ((mask & kSnapScreenLeft) && Within(r->left, 0)) {
    MoveRect(r, -r->left, 0);
    result |= kSnapScreenLeft;
  }
  if ((mask & kSnapScreenRight) && Within(right, work.right)) {
    MoveRect(r, work.right - r->right, 0);
    result |= kSnapScreenRight;
  }
  if ((mask & kSnapScreenBottom) && Within(bottom, work.bottom)) {
    MoveRect(r, 0, work.bottom - r->bottom);
    result |= kSnapScreenBottom;
  }
  return result;
}

int SnapToScreen(RECT* r, int mask) {
  RECT work;
  if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
    // Without a work area only the top and left edges can be tested.
    return SnapToScreenIn(r, mask & (kSnapScreenTop | kSnapScreenLeft), RECT{0, 0, 0, 0});
  }
  return SnapToScreenIn(r, mask, work);
}

int SnapToWindow(RECT* r, RECT* rScreen, const RECT* target, ISnapHost* host, ISnapObject* subject,
                 int screenMask) {
  const int T = r->top, B = r->bottom, L = r->left, R = r->right;
  const RECT& t = *target;
  const int sides = host->GetSnapSides();

  const bool verticalMeet = (t.top - kSnapDistance < T && T < t.bottom + kSnapDistance) ||
                            (t.top - kSnapDistance < B && B < t.bottom + kSnapDistance) ||
                            (T <= t.top && t.top <= B) || (T <= t.bottom && t.bottom <= B);
  if (verticalMeet) {
    if ((sides & kSnapRightOf) && Within(L, t.right)) {
      host->Dock(subject);
      MoveRect(r, t.right - L, 0);
      AlignVertically(r, t);
      return kSnapRightOf;
    }
    if ((sides & kSnapLeftOf) && Within(R, t.left)) {
      host->Dock(subject);
      MoveRect(r, t.left - R, 0);
      AlignVertically(r, t);
      return kSnapLeftOf;
    }
  }
  const bool horizontalMeet = (t.left - kSnapDistance < L && L < t.right + kSnapDistance) ||
                              (t.left - kSnapDistance < R && R < t.right + kSnapDistance) ||
                              (L <= t.left && t.left <= R) || (L <= t.right && t.right <= R);
  if (horizontalMeet) {
    if ((sides & kSnapAbove) && Within(B, t.top)) {
      host->Dock(subject);
      MoveRect(r, 0, t.top - B);
      AlignHorizontally(r, t);
      return kSnapAbove;
    }
    if ((sides & kSnapBelow) && Within(T, t.bottom)) {
      host->Dock(subject);
      MoveRect(r, 0, t.bottom - T);
      AlignHorizontally(r, t);
      return kSnapBelow;
    }
  }
  // A busy object is being moved by its host: that move must not undock it.
  if (subject->IsBusy()) return 0;
  host->Undock(subject);
  return SnapToScreen(rScreen, screenMask);
}

// ---- CSnapWnd

CSnapWnd::~CSnapWnd() {
  if (m_host) {
    m_host->Undock(this);
    m_host->RemoveTarget(this);
  }
}

void CSnapWnd::SetHost(ISnapObject* host) { ReplaceHost(m_host, this, host); }

bool CSnapWnd::IsDocked() { return m_host ? m_host->IsDocked(this) : false; }

bool CSnapWnd::SetBusy(bool busy) { return std::exchange(m_busy, busy); }

int CSnapWnd::Snap(RECT* r) {
  if (!m_host) return SnapToScreen(r, GetSnapSides());
  RECT hostRect;
  m_host->GetRect(&hostRect);
  return SnapToWindow(r, r, &hostRect, m_host, this, GetSnapSides());
}

// ---- CSnapHost

CSnapHost::~CSnapHost() {
  if (m_host) m_host->Undock(this);
  std::vector<ISnapObject*> docked;
  docked.swap(m_docked);
  for (ISnapObject* obj : docked) obj->SetHost(nullptr);
  m_targets.clear();
}

void CSnapHost::SetHost(ISnapObject* host) { ReplaceHost(m_host, this, host); }

void CSnapHost::MoveBy(int dx, int dy) {
  DoMoveBy(dx, dy);
  MoveDocked(dx, dy);
}

bool CSnapHost::IsDocked() { return m_host ? m_host->IsDocked(this) : false; }

bool CSnapHost::SetBusy(bool busy) { return std::exchange(m_busy, busy); }

void CSnapHost::AddTarget(ISnapObject* obj) {
  if (obj && !Contains(m_targets, obj)) m_targets.push_back(obj);
}

void CSnapHost::RemoveTarget(ISnapObject* obj) { Erase(m_targets, obj); }

bool CSnapHost::Dock(ISnapObject* obj) {
  if (!obj || Contains(m_docked, obj)) return false;
  m_docked.push_back(obj);
  return true;
}

void CSnapHost::Undock(ISnapObject* obj) { Erase(m_docked, obj); }

bool CSnapHost::IsDocked(ISnapObject* obj) { return obj && Contains(m_docked, obj); }

void CSnapHost::MoveDocked(int dx, int dy) {
  // A copy: moving a window may run code that changes the list.
  const std::vector<ISnapObject*> docked = m_docked;
  for (ISnapObject* obj : docked) {
    obj->SetBusy(true);
    obj->MoveBy(dx, dy);
    obj->SetBusy(false);
  }
}

void CSnapHost::MoveDockedExceptLast(int dx, int dy) {
  if (m_docked.empty()) return;
  const std::vector<ISnapObject*> docked = m_docked;
  ISnapObject* last = docked.back();
  for (ISnapObject* obj : docked) {
    if (obj == last) continue;
    obj->SetBusy(true);
    obj->MoveBy(dx, dy);
    obj->SetBusy(false);
  }
}

bool CSnapHost::GetGroupRect(const RECT* in, RECT* out) {
  *out = *in;
  if (m_docked.empty()) return false;
  for (ISnapObject* obj : m_docked) {
    RECT r;
    obj->GetRect(&r);
    out->left = std::min(out->left, r.left);
    out->top = std::min(out->top, r.top);
    out->right = std::max(out->right, r.right);
    out->bottom = std::max(out->bottom, r.bottom);
  }
  return true;
}

int CSnapHost::Snap(RECT* r, RECT* group) {
  const int mask = GetSnapSides();
  if (m_targets.empty()) return SnapToScreen(group, mask);
  const std::vector<ISnapObject*> targets = m_targets;
  for (ISnapObject* target : targets) {
    if (IsDocked(target)) continue;
    RECT targetRect;
    target->GetRect(&targetRect);
    if (int result = SnapToWindow(r, group, &targetRect, this, target, mask)) return result;
  }
  return SnapToScreen(group, mask);
}
