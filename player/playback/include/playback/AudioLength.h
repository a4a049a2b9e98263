#pragma once
// The length of an audio file for the play list, measured through the sound
// library without holding the caller longer than a short bound: a file the
// library cannot open by then counts as unmeasurable. The play list measures
// on CAudioLengthWorker's thread; callers that need the length at once (the
// song maker's adds) wait here for that bound.

// Milliseconds; 0 for a file that does not open in time or as a sound
// stream, and for an HTTP stream.
int MeasureAudioLengthMs(const char* path);
