#include "app/CURLEncoder.h"

namespace {

CString EscapeOf(unsigned char c) {
  CString escape;
  escape.Format("%%%02X", static_cast<unsigned>(c));
  return escape;
}

}  // namespace

CURLEncoder::CURLEncoder() {
  m_reserved = "%=\"<>\\^[]`+$,@:;/!#?&'";
  for (int c = 1; c <= 32; ++c) m_reserved += static_cast<char>(c);
  for (int c = 124; c <= 255; ++c) m_reserved += static_cast<char>(c);
}

CString CURLEncoder::Encode(const CString& text) const {
  CString work = text;
  for (int i = 0; i < m_reserved.GetLength(); ++i) {
    const char c = m_reserved[i];
    const char literal[2] = {c, '\0'};
    work.Replace(literal, EscapeOf(static_cast<unsigned char>(c)));
  }
  return work;
}

CString CURLEncoder::Decode(const CString& text) const {
  CString work = text;
  for (int i = m_reserved.GetLength() - 1; i >= 0; --i) {
    const char c = m_reserved[i];
    const char literal[2] = {c, '\0'};
    work.Replace(EscapeOf(static_cast<unsigned char>(c)), literal);
  }
  return work;
}
