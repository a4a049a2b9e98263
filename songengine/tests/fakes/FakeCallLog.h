#pragma once
// Test doubles only. One call log shared by the fake outside libraries and
// the test program, so a test can check which calls crossed a library
// boundary and in what order; and a table of named integers through which a
// test steers what the fakes answer.
#ifdef FAKECALLLOG_BUILD
#define FAKECALLLOG_API __declspec(dllexport)
#else
#define FAKECALLLOG_API __declspec(dllimport)
#endif

extern "C" {
FAKECALLLOG_API void FakeLog(const char* format, ...);
FAKECALLLOG_API int FakeLogCount();
FAKECALLLOG_API const char* FakeLogLine(int index);
FAKECALLLOG_API void FakeLogClear();
FAKECALLLOG_API void FakeSet(const char* key, int value);
FAKECALLLOG_API int FakeGet(const char* key, int fallback);
FAKECALLLOG_API void FakeResetSettings();
}
