#pragma once
// Which files the player takes and the command line that starts it with them.
#include <string>
#include <vector>

namespace shellmark {

// The longest command line CreateProcess takes, without its terminating NUL.
constexpr size_t kMaxCommandLine = 32766;

// True when the path ends in one of the player's media patterns, "*.mp3",
// "*.wma", "*.wmv", "*.asf", "*.mid", matched as the shell matches them (case
// does not matter). A name holding a double quote is no file's name: it could
// only break out of its quotes on the command line.
bool IsMediaFile(const std::wstring& path);

enum class CommandStatus {
  kOk,
  kNoPlayer,  // no program folder or name, or a path that cannot be quoted
  kNoFiles,
  kTooLong,  // longer than kMaxCommandLine
};

// "<folder>\<name>" in double quotes, then each file as a blank and the path
// in double quotes. The program path is quoted so that a folder with blanks
// ("C:\Program Files\...") never starts a program named by its first word.
CommandStatus BuildPlayerCommandLine(const std::wstring& installPath, const std::wstring& appName,
                                     const std::vector<std::wstring>& files, std::wstring* line);

}  // namespace shellmark
