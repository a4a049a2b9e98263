#pragma once
// Percent-encoding of the characters that may not stand literally in a URL.
#include <afx.h>

class CURLEncoder {
 public:
  CURLEncoder();
  virtual ~CURLEncoder() = default;

  // Every character of the reserved table becomes "%XX" (upper-case hex).
  CString Encode(const CString& text) const;
  // Undoes Encode: only escapes of table characters are decoded, so "%41" and
  // a lower-case "%e9" stay as they are.
  CString Decode(const CString& text) const;

 private:
  // The percent sign comes first so that the escapes made by later entries
  // are not encoded again; Decode walks the table backwards for the same
  // reason.
  CString m_reserved;
};
