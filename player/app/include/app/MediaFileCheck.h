// Why a file a user named cannot go into the play list, and the short text
// that tells him so. Window-free: the main window shows the text, the start
// of the program reads its command line through SpellablePath.
#pragma once

#include <string>

enum class FileRejection {
  kNone,          // the file may go in
  kMissing,       // no such file
  kFolder,        // a folder, not a file
  kEmpty,         // a file of no bytes
  kUnknownKind,   // not a kind the player plays (playback/MediaKinds.h)
  kUnmeasurable,  // of a known kind, but its length cannot be read
  kUnspellable,   // the system code page cannot spell its path and it has no short name
};

// What is wrong with path before the player tries to measure it.
FileRejection CheckMediaFile(const std::string& path);

// One line naming the file (its name, without the folder) and the reason.
std::string RejectionText(const std::string& path, FileRejection why);

// A path the ANSI calls can open: the path itself when the system code page
// spells it, else its short (8.3) name. False when neither exists; then
// *spelled holds the path with the unspellable characters replaced, for the
// message.
bool SpellablePath(const std::wstring& path, std::string* spelled);
