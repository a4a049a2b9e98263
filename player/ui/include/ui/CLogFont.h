// The player's font value: a framework font that always carries the LOGFONT
// it was made from and a text colour, stored in the settings as one line
// ("-12,0,0,0,400,0,0,0,0,0,0,2,18,Times New Roman,0": thirteen numbers, the
// face and the colour) and edited with the common font dialog.
#pragma once

#include <afxwin.h>
// Before our class: ChooseFont is a macro there, and must name our member
// the same way in every file.
#include <commdlg.h>

#include <string>

class CLogFont : public CFont {
 public:
  CLogFont();
  explicit CLogFont(const std::string& faceName);
  explicit CLogFont(const LOGFONTA& logFont);
  // Takes over the handle of font (which is left without one).
  explicit CLogFont(CFont& font);
  ~CLogFont() override = default;

  // Text form and dialog
  std::string ToString() const;
  // Never fails: missing numbers read as 0, a missing face as empty, and
  // whatever follows the last comma found is the colour (returned).
  COLORREF FromString(const std::string& text);
  // The font dialog, seeded with seed's LOGFONT when given, else our own.
  // True (and everything taken over) on OK; Cancel changes nothing.
  bool ChooseFont(CFont* seed = nullptr, CDC* printer = nullptr, CWnd* parent = nullptr);

  // Colour: also the text colour of the attached DC, when there is one.
  void SetColor(COLORREF color);
  COLORREF GetColor() const { return m_color; }
  CLogFont& SetTextDC(HDC dc);

  // Setters answer the previous value.
  int SetHeight(int height);
  // 1 or more is a character height, stored negated.
  int SetCharHeight(int height);
  int SetWidth(int width);
  int SetEscapement(int escapement);
  int SetOrientation(int orientation);
  int SetWeight(int weight);
  BYTE SetCharSet(BYTE value);
  BYTE SetOutPrecision(BYTE value);
  BYTE SetClipPrecision(BYTE value);
  BYTE SetQuality(BYTE value);
  BYTE SetPitchAndFamily(BYTE value);
  BYTE SetItalic(BYTE value);
  BYTE SetUnderline(BYTE value);
  BYTE SetStrikeOut(BYTE value);
  // 700 or 400; answers whether the previous weight was bold (500 or more).
  bool SetBold(bool bold);
  // Faces are cut at 31 characters, the room LOGFONT has.
  std::string SetFaceName(const std::string& face);
  const char* SetFaceName(const char* face);
  void SetLogFont(const LOGFONTA& logFont);

  int GetHeight() const { return m_logFont.lfHeight; }
  int GetWidth() const { return m_logFont.lfWidth; }
  int GetEscapement() const { return m_logFont.lfEscapement; }
  int GetOrientation() const { return m_logFont.lfOrientation; }
  int GetWeight() const { return m_logFont.lfWeight; }
  BYTE GetCharSet() const { return m_logFont.lfCharSet; }
  BYTE GetOutPrecision() const { return m_logFont.lfOutPrecision; }
  BYTE GetClipPrecision() const { return m_logFont.lfClipPrecision; }
  BYTE GetQuality() const { return m_logFont.lfQuality; }
  BYTE GetPitchAndFamily() const { return m_logFont.lfPitchAndFamily; }
  const char* GetFaceName() const { return m_logFont.lfFaceName; }
  bool IsBold() const { return m_logFont.lfWeight >= 500; }
  bool IsItalic() const { return m_logFont.lfItalic != 0; }
  bool IsUnderline() const { return m_logFont.lfUnderline != 0; }
  bool IsStrikeOut() const { return m_logFont.lfStrikeOut != 0; }
  const LOGFONTA& GetLogFontRef() const { return m_logFont; }

  // The default description: Times New Roman, 12 pixels, normal weight.
  static LOGFONTA DefaultLogFont();

 private:
  // Deletes the handle and makes a new one from the whole LOGFONT; a
  // failure leaves no handle until the next successful change.
  void Recreate();
  template <class T>
  T Replace(T& field, T value) {
    T old = field;
    field = value;
    Recreate();
    return old;
  }

  LOGFONTA m_logFont;
  COLORREF m_color = 0;
  HDC m_textDC = nullptr;
};
