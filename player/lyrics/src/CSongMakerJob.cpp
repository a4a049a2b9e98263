#include "lyrics/CSongMakerJob.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/Handles.h"
#include "base/SaveFile.h"
#include "lyrics/CLyricTextCompiler.h"
#include "ui/CProfileHelper.h"
#include "ui/IPlayerHost.h"

namespace {

constexpr size_t kMaxCommandBytes = 4096;

std::string WithExtension(const std::string& path, const char* extension) {
  const size_t slash = path.find_last_of("\\/");
  const size_t dot = path.find_last_of('.');
  std::string out = path;
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) out.erase(dot);
  return out + extension;
}

std::string FileTitle(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return std::string();
  return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

std::string ReadString(const char* key, const std::string& file) {
  std::string value;
  CProfileHelper::ReadProfileString("SETTING", key, value, nullptr, file.c_str());
  return value;
}

}  // namespace

bool IsSameFile(const std::string& a, const std::string& b) {
  auto identity = [](const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
    base::ScopedHandle file(::CreateFileA(path.c_str(), 0,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return false;
    return ::GetFileInformationByHandle(file.Get(), info) != FALSE;
  };
  BY_HANDLE_FILE_INFORMATION x = {}, y = {};
  if (identity(a, &x) && identity(b, &y))
    return x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
           x.nFileIndexLow == y.nFileIndexLow;
  // Without identities, the full names.
  char fa[MAX_PATH] = {}, fb[MAX_PATH] = {};
  if (!::GetFullPathNameA(a.c_str(), MAX_PATH, fa, nullptr) ||
      !::GetFullPathNameA(b.c_str(), MAX_PATH, fb, nullptr))
    return false;
  return ::lstrcmpiA(fa, fb) == 0;
}

CSongMakerJob::CSongMakerJob() {
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  packProgram = std::string(folder) + "\\pack\\pack.exe";
  templatePath = std::string(folder) + "\\pack\\Template.ini";
}

void CSongMakerJob::SelectAudio(const std::string& path) {
  audioPath = path;
  songInfoPath = WithExtension(path, ".ini");
  outputMidiPath = WithExtension(path, ".mid");
  if (::GetFileAttributesA(songInfoPath.c_str()) == INVALID_FILE_ATTRIBUTES)
    ::CopyFileA(templatePath.c_str(), songInfoPath.c_str(), TRUE);
  delayMs = std::max(0, std::min(10000000, CProfileHelper::ReadProfileInt("SETTING", "OffSetTime", 0,
                                                                          songInfoPath.c_str())));
  title = Trim(ReadString("SongTitle", songInfoPath));
  singer = ReadString("Singer", songInfoPath);
  lyricist = ReadString("Lyricer", songInfoPath);
  composer = ReadString("Composier", songInfoPath);
  album = ReadString("AlbumTitle", songInfoPath);
  if (title.empty()) title = FileTitle(path);
}

std::string CSongMakerJob::SongInfoText() const {
  char delay[16];
  std::snprintf(delay, sizeof(delay), "%d\n", delayMs);
  return "[SETTING]\nOffSetTime = " + std::string(delay) + "SongTitle = " + title + "\nSinger = " + singer +
         "\nLyricer = " + lyricist + "\nComposier = " + composer + "\nAlbumTitle = " + album;
}

std::string CSongMakerJob::CheckMake() const {
  if (audioPath.empty()) return "You should select an audio file first!";
  if (audioPath.find(' ') != std::string::npos)
    return "The full path for the audio file should not have white space,\nplease remove it first.";
  if (songInfoPath.empty()) return "You should select an INI file first!";
  if (outputFolder.empty()) return "You should select an output file path first!";
  if (outputFolder.find(' ') != std::string::npos)
    return "The Output path should not have white space,\nplease remove it first.";
  if (!sourceMidiPath.empty() && !outputMidiPath.empty() && IsSameFile(sourceMidiPath, outputMidiPath))
    return "The melody MIDI file would be overwritten by the song's MIDI file.\nPlease keep the melody under "
           "another name or in another folder.";
  return std::string();
}

bool CSongMakerJob::BuildPackCommand(const std::string& interpreter, const std::string& program,
                                     const std::string& audio, const std::string& folder,
                                     std::string* command) {
  // cmd strips the outer pair of quotes and keeps the inner ones, so each
  // part reaches the program whole and no metacharacter is interpreted.
  const std::string line = (interpreter.empty() ? std::string("CMD.EXE") : interpreter) + " /c \"\"" +
                           program + "\" \"" + audio + "\" \"" + folder + "\"\"";
  if (line.size() > kMaxCommandBytes) return false;
  *command = line;
  return true;
}

PackRun CSongMakerJob::RunCommandAndWait(const std::string& command) {
  PackRun run;
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                        &startup, &process)) {
    run.error = ::GetLastError();
    return run;
  }
  base::ScopedHandle processHandle(process.hProcess);
  base::ScopedHandle threadHandle(process.hThread);
  run.started = true;
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  if (::GetExitCodeProcess(process.hProcess, &code)) run.exitCode = code & 0xFFFF;
  return run;
}

std::string CSongMakerJob::LyricTextPath() const {
  if (!lyricPath.empty()) return lyricPath;
  if (!sourceMidiPath.empty()) return WithExtension(sourceMidiPath, ".txt");
  return std::string();
}

std::string CSongMakerJob::SaveLyricText(const std::string& lyricText, const std::string& path) const {
  const std::string target = path.empty() ? LyricTextPath() : path;
  if (target.empty()) return "You must select a MIDI file!";
  if (!base::SaveFileReplacing(target.c_str(), lyricText.data(), lyricText.size(), "lyr"))
    return "Open lyric file failed!";
  return std::string();
}

std::string CSongMakerJob::OfferedMidiName() const { return FileTitle(sourceMidiPath); }

int CSongMakerJob::Compile(const std::string& lyricText, std::string* saveMessage) const {
  if (sourceMidiPath.empty() || outputMidiPath.empty()) return -1;
  const std::string saved = SaveLyricText(lyricText);
  if (saveMessage) *saveMessage = saved;
  CLyricTextCompiler compiler;
  std::vector<LyricSyllable> syllables;
  std::vector<LyricMarker> markers;
  const int read = compiler.ReadText(lyricText.c_str(), sourceMidiPath.c_str(), &syllables, &markers);
  if (read != 0) return read;
  return compiler.WriteSong(sourceMidiPath.c_str(), outputMidiPath.c_str(), syllables, markers);
}

bool CSongMakerJob::WriteSongInfo(std::string* status, std::string* message) const {
  // The text holds OffSetTime already; written whole or not at all, so a
  // failed save keeps the song information that was there.
  const std::string text = SongInfoText();
  if (!base::SaveFileReplacing(songInfoPath.c_str(), text.data(), text.size(), "ini")) {
    *message = "Failed to save INI file!";
    *status = "Failed to save INI file!";
    return false;
  }
  return true;
}

bool CSongMakerJob::Make(const std::string& lyricText, IPlayerHost* host, std::string* status,
                         std::string* message) {
  message->clear();
  *message = CheckMake();
  if (!message->empty()) return false;
  *status = "Start...";
  if (!host) return false;
  // A failed compile stops here: packing the old or no MIDI file and saying
  // "Succeed!" would hide it.
  std::string saveMessage;
  if (Compile(lyricText, &saveMessage) != 0) {
    *message = "Save lyrics file failed! Perhaps you DONT select a output MIDI file.";
    *status = "Failed to save lyrics file!";
    return false;
  }
  if (!WriteSongInfo(status, message)) return false;

  PlaybackState state;
  const bool suspended = host->SuspendPlayback(&state);
  char comspec[MAX_PATH] = {};
  const DWORD n = ::GetEnvironmentVariableA("COMSPEC", comspec, sizeof(comspec));
  std::string command;
  PackRun run;
  if (!BuildPackCommand(n > 0 && n < sizeof(comspec) ? comspec : "CMD.EXE", packProgram, audioPath,
                        outputFolder, &command)) {
    run.error = ERROR_FILENAME_EXCED_RANGE;
  } else {
    run = RunCommandAndWait(command);
  }
  // Playback comes back whatever the pack program did.
  if (suspended) host->ResumePlayback(state);
  char text[96];
  if (!run.started) {
    std::snprintf(text, sizeof(text), "Failed to start the pack program! (error %lu)", run.error);
    *status = text;
    return false;
  }
  if (run.exitCode != 0) {
    std::snprintf(text, sizeof(text), "Failed to pack the song! (exit code %lu)", run.exitCode);
    *status = text;
    return false;
  }
  *status = "Succeed!";
  *message = saveMessage;
  return true;
}

std::string CSongMakerJob::AddEndMarks(const std::string& selection) {
  std::string out;
  size_t start = 0;
  for (;;) {
    const size_t lf = selection.find('\n', start);
    std::string line = selection.substr(start, lf == std::string::npos ? std::string::npos : lf - start);
    if (!Trim(line).empty()) {
      if (!line.empty() && line.back() == '\r')
        line.insert(line.size() - 1, "^");
      else
        line += '^';
    }
    out += line;
    if (lf == std::string::npos) break;
    out += '\n';
    start = lf + 1;
  }
  return out;
}
