// What the song maker's Make does, without a window: the song-information
// file beside the audio file, the checks before anything is written, the
// compile of the lyric text onto the melody, and the pack program run through
// the command interpreter with playback suspended around it. The dialog
// fills the fields from its controls and shows the status and message.
#pragma once

#include <string>

class IPlayerHost;

// The outcome of running the pack program.
struct PackRun {
  bool started = false;
  unsigned long exitCode = 0;  // low 16 bits, when started
  unsigned long error = 0;     // the system's error code, when not started
};

class CSongMakerJob {
 public:
  // Fields (8-bit, system code page)
  int delayMs = 0;
  std::string audioPath;
  std::string outputFolder;
  std::string outputMidiPath;  // the audio path with ".mid"
  std::string songInfoPath;    // the audio path with ".ini"
  std::string sourceMidiPath;
  std::string lyricPath;  // the lyric text file the editor was loaded from
  std::string title, singer, composer, lyricist, album;
  // Default: the program folder's "pack\pack.exe" and "pack\Template.ini".
  std::string packProgram;
  std::string templatePath;

  CSongMakerJob();

  // The audio file chosen: derives the two paths beside it, copies the
  // template there when the song-information file is missing (never over
  // one), and reads the fields from it. An empty title is the audio file's
  // name.
  void SelectAudio(const std::string& path);

  // The song-information file's text, with LF line ends and no final one.
  std::string SongInfoText() const;

  // Before anything is written: empty string when Make may go on, else the
  // message to show.
  std::string CheckMake() const;

  // The command interpreter line for the pack program, every part quoted and
  // the whole quoted once more; false when it would pass 4,096 bytes.
  static bool BuildPackCommand(const std::string& interpreter, const std::string& program,
                               const std::string& audio, const std::string& folder, std::string* command);
  // Starts the command in a hidden console and waits for it.
  static PackRun RunCommandAndWait(const std::string& command);

  // The whole Make; status is the status line's text, message (may be
  // empty) a message for a box. True when the song was packed.
  bool Make(const std::string& lyricText, IPlayerHost* host, std::string* status, std::string* message);

  // Compile the lyric text into the output MIDI path: 0, or the compiler's
  // failure. The text is saved first (SaveLyricText), so the lyric file
  // holds what the song was made from; a failed save does not stop the
  // compile and leaves its message in saveMessage.
  int Compile(const std::string& lyricText, std::string* saveMessage = nullptr) const;

  // Where the lyric text is saved when no name is given: the lyric file, else
  // the source MIDI file's name with ".txt"; empty when neither is known.
  std::string LyricTextPath() const;
  // Saves the lyric text to path (empty: LyricTextPath()), never leaving a
  // half-written file. An empty string, or the message to show.
  std::string SaveLyricText(const std::string& lyricText, const std::string& path = std::string()) const;
  // The name a save dialog offers for a MIDI file: the source MIDI file's
  // name without folder and extension.
  std::string OfferedMidiName() const;

  // "^" after the last visible character of every non-empty line.
  static std::string AddEndMarks(const std::string& selection);

 private:
  bool WriteSongInfo(std::string* status, std::string* message) const;
};

// Whether two paths name the same file (both must exist).
bool IsSameFile(const std::string& a, const std::string& b);
