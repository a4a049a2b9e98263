// A push or toggle button drawn from a four-frame skin strip (normal, hover,
// pressed or checked, disabled): a real owner-drawn "button" child window
// whose mouse input drives the object instead of the standard behaviour, so
// the standard click notification never comes; derived classes send their
// own messages. The parent routes WM_DRAWITEM for the button to DrawItem.
#pragma once

#include <windows.h>

#include <string>

class CSkinImage;

class CSkinButton {
 public:
  CSkinButton() = default;
  explicit CSkinButton(bool isToggle) : m_isToggle(isToggle) {}
  virtual ~CSkinButton();
  CSkinButton(const CSkinButton&) = delete;
  CSkinButton& operator=(const CSkinButton&) = delete;

  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual void OnLButtonDown(LPARAM lParam);
  virtual void OnLButtonUp();
  virtual void OnLButtonDblClk() {}
  virtual void OnMouseMove(WPARAM wParam, LPARAM lParam);
  virtual void Close();
  virtual void OnMouseHover(WPARAM wParam, LPARAM lParam);
  virtual void OnMouseLeave(WPARAM wParam, LPARAM lParam);

  void SetImage(CSkinImage* image) { m_image = image; }
  void EnableToolTip(bool enable) { m_hasToolTip = enable; }
  // A null checkedText keeps the previous checked text.
  void SetToolTipText(const char* text, const char* checkedText);
  const std::string& GetToolTipText() const { return m_tipText; }

  // Creates the child window: 0, or 1 on failure.
  int Create(int id, HWND parent, int x, int y, int cx, int cy);
  void MoveTo(int x, int y);
  // One frame: image width / 4 by image height; 0 by 0 without an image.
  void GetFrameSize(int* width, int* height) const;
  void SetCheck(bool checked);
  bool GetCheck() const { return m_checked; }
  void EnableWindow(bool enable);
  // The frame DrawItem shows for an item state: 2 hovered and pressed,
  // 1 hovered, 3 disabled, 2 checked toggle, else 0.
  int FrameFor(UINT itemState) const;
  void DrawItem(const DRAWITEMSTRUCT* item);

  HWND GetHwnd() const { return m_hwnd; }
  int GetToolId() const { return m_toolId; }
  bool IsHover() const { return m_hover; }
  bool IsPressed() const { return m_pressed; }

  // The tooltip window the skin buttons use, the one the element lists share
  // too (NULL while no button has a tool in it).
  static HWND GetSharedToolTip();

 protected:
  HWND ParentHwnd() const { return m_hwnd ? ::GetParent(m_hwnd) : nullptr; }
  int ControlId() const { return m_hwnd ? ::GetDlgCtrlID(m_hwnd) : 0; }
  LRESULT CallOldProc(UINT message, WPARAM wParam, LPARAM lParam);

  bool m_hover = false;
  bool m_tracking = false;
  bool m_pressed = false;
  bool m_isToggle = false;
  bool m_checked = false;
  HWND m_hwnd = nullptr;
  CSkinImage* m_image = nullptr;

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void AddTool();
  void RemoveTool();

  WNDPROC m_oldProc = nullptr;
  std::string m_tipText;
  std::string m_checkedTipText;
  bool m_hasCheckedTipText = false;
  bool m_hasToolTip = false;
  bool m_toolAdded = false;
  int m_toolId = 0;
};

// Looks the image up by id, sets tooltip texts and creates the button at
// (x, y), one frame in size (0 by 0 for an id without a loaded image).
int CreateSkinButton(CSkinButton* button, HWND parent, unsigned short imageId, int controlId, bool hasToolTip,
                     const char* tipText, const char* checkedTipText, int x = 0, int y = 0);

// Sends WM_CLOSE to the parent after the release.
class CSkinCloseButton : public CSkinButton {
 public:
  void OnLButtonUp() override;
};

class CSkinMinimizeButton : public CSkinButton {
 public:
  void OnLButtonUp() override;
};

// Alternates SC_MAXIMIZE and SC_RESTORE by its own click count (one count
// for the process made each window's first click depend on the others).
class CSkinMaximizeButton : public CSkinButton {
 public:
  CSkinMaximizeButton() : CSkinButton(true) {}
  void OnLButtonUp() override;

 private:
  int m_clicks = 0;
};

// Asks the parent to hide the child window (WM_SKIN_HIDE_CHILD).
class CSkinHideButton : public CSkinButton {
 public:
  void OnLButtonUp() override;
};

// A press opens the parent's system menu (WM_COMMAND with the control id);
// a double click asks it to close (WM_SKIN_CLOSE).
class CSkinIconButton : public CSkinButton {
 public:
  void OnLButtonDown(LPARAM lParam) override;
  void OnLButtonUp() override {}
  void OnLButtonDblClk() override;
  void OnMouseMove(WPARAM, LPARAM) override {}
  void OnMouseHover(WPARAM, LPARAM) override {}
  void OnMouseLeave(WPARAM, LPARAM) override {}
};

// Acts on press: WM_COMMAND (control id, 0) to the parent. The end buttons of
// the sliders.
class CSkinArrowButton : public CSkinButton {
 public:
  void OnLButtonDown(LPARAM lParam) override;
};

// Sends WM_COMMAND (id, BN_CLICKED) to the parent on release, like a push
// button. As a toggle it shows no hover; its checked state changes only
// through SetCheck.
class CSkinCmdButton : public CSkinButton {
 public:
  CSkinCmdButton() = default;
  explicit CSkinCmdButton(bool isToggle) : CSkinButton(isToggle) {}
  void OnLButtonUp() override;
  void OnMouseHover(WPARAM wParam, LPARAM lParam) override;
  void OnMouseLeave(WPARAM wParam, LPARAM lParam) override;
};
