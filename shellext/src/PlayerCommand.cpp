#include "PlayerCommand.h"

#include <windows.h>
#include <shlwapi.h>

namespace shellmark {

bool IsMediaFile(const std::wstring& path) {
  static const wchar_t* const kPatterns[] = {L"*.mp3", L"*.wma", L"*.wmv", L"*.asf", L"*.mid"};
  if (path.empty() || path.find(L'"') != std::wstring::npos) return false;
  for (const wchar_t* pattern : kPatterns) {
    if (PathMatchSpecW(path.c_str(), pattern)) return true;
  }
  return false;
}

CommandStatus BuildPlayerCommandLine(const std::wstring& installPath, const std::wstring& appName,
                                     const std::vector<std::wstring>& files, std::wstring* line) {
  line->clear();
  // One backslash between folder and name, as the shell appends paths.
  std::wstring folder = installPath;
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  size_t nameStart = appName.find_first_not_of(L"\\/");
  if (folder.empty() || nameStart == std::wstring::npos) return CommandStatus::kNoPlayer;
  std::wstring program = folder + L"\\" + appName.substr(nameStart);
  // A quote inside, or a backslash before the closing quote, would change
  // where the program's name ends.
  if (program.find(L'"') != std::wstring::npos || program.back() == L'\\') return CommandStatus::kNoPlayer;
  if (files.empty()) return CommandStatus::kNoFiles;

  size_t length = program.size() + 2;
  for (const std::wstring& file : files) {
    length += file.size() + 3;
    if (length > kMaxCommandLine) return CommandStatus::kTooLong;
  }
  line->reserve(length);
  *line = L"\"" + program + L"\"";
  for (const std::wstring& file : files) {
    line->append(L" \"");
    line->append(file);
    line->push_back(L'"');
  }
  return CommandStatus::kOk;
}

}  // namespace shellmark
