// Starts GDI+ for the life of the object: the program and each test program
// hold one around everything that loads or draws skin images.
#pragma once

#include <windows.h>

class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool IsStarted() const { return m_token != 0; }

 private:
  ULONG_PTR m_token = 0;
};
