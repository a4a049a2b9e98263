// The player's private window messages, the whole protocol in one place:
// the skinned frames, the media-file helper and the update notices speak it to
// the main window (and the tool frames to their owner). Every sender and
// receiver, tests included, uses these names; a number written out anywhere
// else is a second copy that can drift.
#pragma once

#include <windows.h>

// Sent to a skinned window by Create, before it is moved into place.
constexpr UINT WM_SKIN_CREATED = WM_USER + 100;
// A hide element or a tool frame asks its owner to hide a child window;
// wParam: the frame's ChildWndId (0 from a hide element of the main window).
constexpr UINT WM_SKIN_HIDE_CHILD = WM_USER + 101;
// The media-file helper's reports, posted from the players' threads.
constexpr UINT WM_PLAYER_POSITION = WM_USER + 102;       // lParam: position in ms
constexpr UINT WM_PLAYER_END = WM_USER + 103;            // the song played to its end
constexpr UINT WM_PLAYER_BEAT = WM_USER + 104;           // wParam measure, lParam beatsPerBar << 16 | beat
constexpr UINT WM_PLAYER_BEATS_PER_BAR = WM_USER + 105;  // lParam: beats per bar
// A close element (or a double click on the caption icon) asks its owner to close.
constexpr UINT WM_SKIN_CLOSE = WM_USER + 106;
// The update notices: show the pop-up (wParam 1 software update, 0 news) ...
constexpr UINT WM_PLAYER_SHOW_NOTICE = WM_USER + 107;
// ... the volume slider's drag step (lParam: volume 0..255) ...
constexpr UINT WM_SKIN_VOLUME = WM_USER + 108;
// ... and the notice's text (lParam: a heap std::string* the receiver takes over).
constexpr UINT WM_PLAYER_NOTICE_TEXT = WM_USER + 109;

// A play-list length measured off the window thread (lParam: a heap
// AudioLengthResult* the receiver takes over, playback/CAudioLengthWorker.h).
constexpr UINT WM_PLAYER_AUDIO_LENGTH = WM_USER + 110;

// WM_COMMAND id a click on a caption icon sends its owner, lParam the owner.
constexpr int kCaptionIconCommand = 3;
