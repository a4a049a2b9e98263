#pragma once
// The HTTP text fetch of the player's update notice and of the updater.
#include <string>

class CHttpCancel;

// Fetches the body of an http URL and appends it to out: 0 the whole body was
// read; 1 the URL cannot be parsed or is not http (nothing is sent); 2 a
// status other than 200, any network failure or time-out, or a body over the
// size cap. After a failure while reading, out keeps what arrived before it.
// The bytes are appended exactly, NULs included: callers that want a C string
// cut at the first NUL.
// A cancel object (may be null) lets another thread end the fetch (result 2).
int GetUpdateInfoFile(const char* url, std::string& out, CHttpCancel* cancel = nullptr);

// Drops markup from a NUL-terminated text in place. A tag may span two calls:
// insideTag carries that from one chunk to the next, and a caller starts each
// text with its own flag, false, so one text's open tag never eats another's.
void StripHtmlTags(char* text, bool& insideTag);
