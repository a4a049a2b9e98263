#include "ui/CSkinToolTip.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {
HWND g_tooltip = nullptr;
int g_users = 0;
int g_toolIdCounter = 0;

// The hold-back: where the window will come from and the tools it will get.
struct HeldTool {
  HWND owner;
  int id;
  std::string text;
  RECT rect;
};
bool g_holding = false;
HINSTANCE g_heldInstance = nullptr;
std::vector<HeldTool> g_heldTools;

std::vector<HeldTool>::iterator FindHeld(HWND owner, int id) {
  return std::find_if(g_heldTools.begin(), g_heldTools.end(),
                      [&](const HeldTool& tool) { return tool.owner == owner && tool.id == id; });
}

LRESULT SendAddTool(HWND owner, const std::string& text, const RECT& rect, int id) {
  TOOLINFOA ti = MakeToolInfo(owner, static_cast<UINT_PTR>(id));
  ti.rect = rect;
  ti.lpszText = const_cast<char*>(text.c_str());
  return ::SendMessageA(g_tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void EndHold() {
  g_holding = false;
  g_heldInstance = nullptr;
  g_heldTools.clear();
}
}  // namespace

TOOLINFOA MakeToolInfo(HWND owner, UINT_PTR id) {
  TOOLINFOA ti = {};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.uFlags = TTF_SUBCLASS;
  ti.hwnd = owner;
  ti.uId = id;
  ti.hinst = ::GetModuleHandleA(nullptr);
  return ti;
}

HWND CreateSharedTooltipWindow(HINSTANCE instance) {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), 0xFF};
  ::InitCommonControlsEx(&icc);
  HWND tip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (tip) ::SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return tip;
}

CSkinToolTip::CSkinToolTip() { ++g_users; }

CSkinToolTip::~CSkinToolTip() {
  if (--g_users != 0) return;
  EndHold();
  if (g_tooltip) {
    ::DestroyWindow(g_tooltip);
    g_tooltip = nullptr;
  }
}

HWND CSkinToolTip::GetWindow() { return g_tooltip; }

int CSkinToolTip::Create(HINSTANCE instance) {
  if (g_tooltip) return 0;
  if (g_holding) {
    g_heldInstance = instance;
    return 0;
  }
  g_tooltip = CreateSharedTooltipWindow(instance);
  return g_tooltip ? 0 : 1;
}

int CSkinToolTip::NextId() { return ++g_toolIdCounter; }

LRESULT CSkinToolTip::AddTool(HWND owner, const std::string& text, const RECT& rect, int id) {
  if (!g_tooltip && g_holding && g_heldInstance) {
    auto held = FindHeld(owner, id);
    if (held == g_heldTools.end())
      g_heldTools.push_back({owner, id, text, rect});
    else
      *held = {owner, id, text, rect};
    return TRUE;
  }
  if (!g_tooltip) return -1;
  return SendAddTool(owner, text, rect, id);
}

LRESULT CSkinToolTip::DelTool(HWND owner, int id) {
  if (!g_tooltip && g_holding) {
    auto held = FindHeld(owner, id);
    if (held != g_heldTools.end()) g_heldTools.erase(held);
    return 0;
  }
  if (!g_tooltip) return -1;
  TOOLINFOA ti = MakeToolInfo(owner, static_cast<UINT_PTR>(id));
  return ::SendMessageA(g_tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

LRESULT CSkinToolTip::SetToolRect(HWND owner, int id, const RECT& rect) {
  if (!g_tooltip && g_holding) {
    auto held = FindHeld(owner, id);
    if (held != g_heldTools.end()) held->rect = rect;
    return 0;
  }
  if (!g_tooltip) return -1;
  TOOLINFOA ti = MakeToolInfo(owner, static_cast<UINT_PTR>(id));
  ti.rect = rect;
  return ::SendMessageA(g_tooltip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
}

LRESULT CSkinToolTip::UpdateTipText(HWND owner, int id, const std::string& text) {
  if (!g_tooltip && g_holding) {
    auto held = FindHeld(owner, id);
    if (held != g_heldTools.end()) held->text = text;
    return 0;
  }
  if (!g_tooltip) return -1;
  TOOLINFOA ti = MakeToolInfo(owner, static_cast<UINT_PTR>(id));
  ti.lpszText = const_cast<char*>(text.c_str());
  return ::SendMessageA(g_tooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CSkinToolTip::HoldBackWindow() {
  if (!g_tooltip) g_holding = true;
}

void CSkinToolTip::MakeHeldBackWindow() {
  if (!g_holding) return;
  const HINSTANCE instance = g_heldInstance;
  std::vector<HeldTool> tools;
  tools.swap(g_heldTools);
  EndHold();
  if (g_users == 0 || !instance) return;
  g_tooltip = CreateSharedTooltipWindow(instance);
  if (!g_tooltip) return;
  // A tool whose window went meanwhile without taking its tool is left out.
  for (const HeldTool& tool : tools)
    if (::IsWindow(tool.owner)) SendAddTool(tool.owner, tool.text, tool.rect, tool.id);
}
