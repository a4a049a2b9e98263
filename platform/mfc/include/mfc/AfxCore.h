// Basic types, diagnostics macros and the exception-link helper shared by every
// framework header. Included through <afx.h>.
#pragma once

#ifdef UNICODE
#error "The framework is an ANSI build: do not define UNICODE"
#endif

#include <windows.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>
#include <tchar.h>

#define AFXAPI
#define AFX_CDECL __cdecl
#define afx_msg
#define AFX_INLINE inline

// Diagnostics: our release builds carry no _DEBUG, so these cost nothing there.
#ifdef _DEBUG
void AfxAssertFailedLine(LPCSTR lpszFileName, int nLine);
void AfxTrace(LPCSTR lpszFormat, ...);
#define ASSERT(f) ((f) ? (void)0 : AfxAssertFailedLine(__FILE__, __LINE__))
#define VERIFY(f) ASSERT(f)
#define TRACE(...) AfxTrace(__VA_ARGS__)
#else
#define ASSERT(f) ((void)0)
#define VERIFY(f) ((void)(f))
#define TRACE(...) ((void)0)
#endif
#define TRACE0(sz) TRACE("%s", sz)
#define TRACE1(sz, p1) TRACE(sz, p1)
#define TRACE2(sz, p1, p2) TRACE(sz, p1, p2)
#define TRACE3(sz, p1, p2, p3) TRACE(sz, p1, p2, p3)
#define ASSERT_VALID(pOb) ((void)0)
#define ASSERT_KINDOF(class_name, object) ASSERT((object)->IsKindOf(RUNTIME_CLASS(class_name)))
#define DEBUG_NEW new
#define UNUSED(x) ((void)(x))
#define UNUSED_ALWAYS(x) ((void)(x))

// Iteration cookie of the list and map collections.
struct __POSITION {};
typedef __POSITION* POSITION;
#define BEFORE_START_POSITION ((POSITION)-1L)

#ifndef _countof
#define _countof(a) (sizeof(a) / sizeof((a)[0]))
#endif

// The handle behind a framework object pointer, NULL for a null pointer.
// Inline code in the headers uses these rather than calling through a pointer
// that may be null.
template <class T>
inline HWND AfxHwndOf(const T* p) {
  return p != NULL ? p->m_hWnd : NULL;
}
template <class T>
inline HDC AfxHdcOf(const T* p) {
  return p != NULL ? p->m_hDC : NULL;
}
template <class T>
inline HGDIOBJ AfxGdiOf(const T* p) {
  return p != NULL ? p->m_hObject : NULL;
}
