#include "ui/DialogOwner.h"

HWND DialogOwner(HWND fallback) {
  HWND active = ::GetActiveWindow();
  if (!active || active == fallback) return fallback;
  // A child never owns a dialog, and a hidden or disabled window (another
  // modal dialog's owner) would leave the new one unreachable.
  if (::GetAncestor(active, GA_ROOT) != active || !::IsWindowVisible(active) || !::IsWindowEnabled(active))
    return fallback;
  return active;
}
