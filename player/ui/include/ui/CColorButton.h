// A push button that shows a colour swatch and lets the user pick another
// colour with the common colour dialog. The Preferences pages use it for
// their colour settings and hear about a change through a one-call sink.
#pragma once

#include <afxwin.h>

class IColorButtonSink {
 public:
  // Called with 1 after the user picked a different colour.
  virtual void OnColorChanged(int changed) = 0;

 protected:
  ~IColorButtonSink() = default;
};

class CColorButton : public CButton {
 public:
  CColorButton() = default;
  ~CColorButton() override = default;

  void SetColor(COLORREF color);
  COLORREF& GetColor() { return m_color; }
  void SetDarkFrame(BOOL dark);
  BOOL GetDarkFrame() const { return m_darkFrame; }
  CColorButton& SetPickOnClick(BOOL pick) {
    m_pickOnClick = pick;
    return *this;
  }
  BOOL GetPickOnClick() const { return m_pickOnClick; }
  // 16 colours the dialog shows and keeps its custom colours in (not owned).
  CColorButton& SetCustomColors(COLORREF* colors) {
    m_customColors = colors;
    return *this;
  }
  void SetChangeSink(IColorButtonSink* sink) { m_sink = sink; }

  // Runs the colour dialog; true when the user chose a different colour.
  bool PickColor();

  void PreSubclassWindow() override;
  void DrawItem(LPDRAWITEMSTRUCT dis) override;

 protected:
  // FALSE: the parent sees the click as well.
  afx_msg BOOL OnClicked();
  DECLARE_MESSAGE_MAP()

 private:
  COLORREF m_color = 0;
  BOOL m_pickOnClick = TRUE;
  BOOL m_darkFrame = FALSE;
  IColorButtonSink* m_sink = nullptr;
  COLORREF* m_customColors = nullptr;
};
