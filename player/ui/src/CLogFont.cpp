#include "ui/CLogFont.h"

#include <afxdlgs.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

// The C library's reading (blanks skipped, the leading integer, 0 without
// one), but clamped where atol would be undefined.
long ReadLong(const std::string& text) {
  long long v = std::strtoll(text.c_str(), nullptr, 10);
  if (v > INT_MAX) v = INT_MAX;
  if (v < INT_MIN) v = INT_MIN;
  return static_cast<long>(v);
}

void CopyFace(char (&face)[LF_FACESIZE], const char* text) { lstrcpynA(face, text ? text : "", LF_FACESIZE); }

// One comma-separated token; without a comma the token is empty and the
// rest stays whole.
std::string TakeToken(std::string& rest) {
  const size_t comma = rest.find(',');
  if (comma == std::string::npos) return std::string();
  std::string token = rest.substr(0, comma);
  rest.erase(0, comma + 1);
  return token;
}

}  // namespace

LOGFONTA CLogFont::DefaultLogFont() {
  LOGFONTA lf = {};
  lf.lfHeight = -12;
  lf.lfWeight = 400;
  lf.lfQuality = 2;
  lf.lfPitchAndFamily = 18;
  CopyFace(lf.lfFaceName, "Times New Roman");
  return lf;
}

CLogFont::CLogFont() : m_logFont(DefaultLogFont()) { Recreate(); }

CLogFont::CLogFont(const std::string& faceName) : m_logFont(DefaultLogFont()) {
  CopyFace(m_logFont.lfFaceName, faceName.c_str());
  Recreate();
}

CLogFont::CLogFont(const LOGFONTA& logFont) : m_logFont(logFont) {
  m_logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
  Recreate();
}

CLogFont::CLogFont(CFont& font) : m_logFont(DefaultLogFont()) {
  HGDIOBJ handle = font.Detach();
  if (handle) {
    LOGFONTA lf = {};
    if (::GetObjectA(handle, sizeof(lf), &lf) == sizeof(lf)) m_logFont = lf;
    Attach(handle);
  } else {
    Recreate();
  }
}

void CLogFont::Recreate() {
  DeleteObject();
  CreateFontIndirect(&m_logFont);
}

std::string CLogFont::ToString() const {
  const LOGFONTA& lf = m_logFont;
  char buffer[256];
  snprintf(buffer, sizeof(buffer), "%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%s,%u",
           static_cast<int>(lf.lfHeight), static_cast<int>(lf.lfWidth), static_cast<int>(lf.lfEscapement),
           static_cast<int>(lf.lfOrientation), static_cast<int>(lf.lfWeight), lf.lfItalic, lf.lfUnderline,
           lf.lfStrikeOut, lf.lfCharSet, lf.lfOutPrecision, lf.lfClipPrecision, lf.lfQuality,
           lf.lfPitchAndFamily, lf.lfFaceName, static_cast<unsigned>(m_color));
  return buffer;
}

COLORREF CLogFont::FromString(const std::string& text) {
  std::string rest = text;
  LONG* const numbers[] = {&m_logFont.lfHeight, &m_logFont.lfWidth, &m_logFont.lfEscapement,
                           &m_logFont.lfOrientation, &m_logFont.lfWeight};
  BYTE* const bytes[] = {&m_logFont.lfItalic,  &m_logFont.lfUnderline,     &m_logFont.lfStrikeOut,
                         &m_logFont.lfCharSet, &m_logFont.lfOutPrecision,  &m_logFont.lfClipPrecision,
                         &m_logFont.lfQuality, &m_logFont.lfPitchAndFamily};
  for (LONG* field : numbers) *field = ReadLong(TakeToken(rest));
  for (BYTE* field : bytes) *field = static_cast<BYTE>(ReadLong(TakeToken(rest)) & 0xFF);
  CopyFace(m_logFont.lfFaceName, TakeToken(rest).c_str());
  Recreate();
  // The colour was written unsigned: the whole 32-bit range reads back.
  long long colour = std::strtoll(rest.c_str(), nullptr, 10);
  if (colour > 0xFFFFFFFFLL) colour = 0xFFFFFFFFLL;
  if (colour < INT_MIN) colour = INT_MIN;
  m_color = static_cast<COLORREF>(static_cast<unsigned long long>(colour) & 0xFFFFFFFFu);
  return m_color;
}

bool CLogFont::ChooseFont(CFont* seed, CDC* printer, CWnd* parent) {
  LOGFONTA start = m_logFont;
  if (seed && seed->GetSafeHandle()) seed->GetLogFont(&start);
  CFontDialog dialog(&start, CF_SCREENFONTS | CF_EFFECTS, printer, parent);
  dialog.m_cf.rgbColors = m_color;
  if (dialog.DoModal() != IDOK) return false;
  dialog.GetCurrentFont(&m_logFont);
  m_logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
  Recreate();
  SetColor(dialog.GetColor());
  return true;
}

void CLogFont::SetColor(COLORREF color) {
  m_color = color;
  if (m_textDC) ::SetTextColor(m_textDC, color);
}

CLogFont& CLogFont::SetTextDC(HDC dc) {
  m_textDC = dc;
  return *this;
}

int CLogFont::SetHeight(int height) { return Replace<LONG>(m_logFont.lfHeight, height); }
int CLogFont::SetCharHeight(int height) { return SetHeight(height >= 1 ? -height : height); }
int CLogFont::SetWidth(int width) { return Replace<LONG>(m_logFont.lfWidth, width); }
int CLogFont::SetEscapement(int escapement) { return Replace<LONG>(m_logFont.lfEscapement, escapement); }
int CLogFont::SetOrientation(int orientation) { return Replace<LONG>(m_logFont.lfOrientation, orientation); }
int CLogFont::SetWeight(int weight) { return Replace<LONG>(m_logFont.lfWeight, weight); }
BYTE CLogFont::SetCharSet(BYTE value) { return Replace(m_logFont.lfCharSet, value); }
BYTE CLogFont::SetOutPrecision(BYTE value) { return Replace(m_logFont.lfOutPrecision, value); }
BYTE CLogFont::SetClipPrecision(BYTE value) { return Replace(m_logFont.lfClipPrecision, value); }
BYTE CLogFont::SetQuality(BYTE value) { return Replace(m_logFont.lfQuality, value); }
BYTE CLogFont::SetPitchAndFamily(BYTE value) { return Replace(m_logFont.lfPitchAndFamily, value); }
BYTE CLogFont::SetItalic(BYTE value) { return Replace(m_logFont.lfItalic, value); }
BYTE CLogFont::SetUnderline(BYTE value) { return Replace(m_logFont.lfUnderline, value); }
BYTE CLogFont::SetStrikeOut(BYTE value) { return Replace(m_logFont.lfStrikeOut, value); }

bool CLogFont::SetBold(bool bold) { return SetWeight(bold ? 700 : 400) >= 500; }

std::string CLogFont::SetFaceName(const std::string& face) {
  std::string old = m_logFont.lfFaceName;
  CopyFace(m_logFont.lfFaceName, face.c_str());
  Recreate();
  return old;
}

const char* CLogFont::SetFaceName(const char* face) {
  CopyFace(m_logFont.lfFaceName, face);
  Recreate();
  return m_logFont.lfFaceName;
}

void CLogFont::SetLogFont(const LOGFONTA& logFont) {
  m_logFont = logFont;
  m_logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
  Recreate();
}
