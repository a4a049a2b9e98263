#include "base/CMsgWnd.h"

#include "base/Guarded.h"

namespace {

// The module this copy of the code lives in: Tunewell.dll inside the engine,
// the program inside the player.
HINSTANCE OwnModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&OwnModule), &module);
  return module;
}

}  // namespace

CMsgWnd::~CMsgWnd() { Destroy(); }

HWND CMsgWnd::Create(HWND parent) {
  if (hwnd_) return hwnd_;
  HINSTANCE instance = OwnModule();
  WNDCLASSA wc = {};
  wc.lpfnWndProc = &CMsgWnd::MsgWndProc;
  wc.cbWndExtra = 4;
  wc.hInstance = instance;
  wc.lpszClassName = kMsgWndClass;
  // A class already registered by another window of this module is reused.
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, kMsgWndClass, nullptr, 0, 0, 0, 1, 1, parent, nullptr, instance, nullptr);
  if (!hwnd) return nullptr;
  hwnd_ = hwnd;
  SetPropA(hwnd, kMsgWndOwnerProp, this);
  return hwnd;
}

int CMsgWnd::Destroy() {
  if (!hwnd_) return 0;
  RemovePropA(hwnd_, kMsgWndOwnerProp);
  DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  // Fails harmlessly while another window of the class still exists.
  UnregisterClassA(kMsgWndClass, OwnModule());
  return 1;
}

IMsgWndSink* CMsgWnd::SetSink(IMsgWndSink* sink) {
  IMsgWndSink* old = sink_;
  sink_ = sink;
  return old;
}

void CMsgWnd::SetCallback(MsgWndCallback callback, LONG_PTR user) {
  callback_ = callback;
  user_ = user;
}

LRESULT CALLBACK CMsgWnd::MsgWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* owner = static_cast<CMsgWnd*>(GetPropA(hwnd, kMsgWndOwnerProp));
  if (owner) {
    base::Guarded([&] {
      if (owner->sink_) owner->sink_->OnWndMessage(message, wParam, lParam);
      if (owner->callback_) owner->callback_(hwnd, message, wParam, lParam, owner->user_);
    });
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}
