#include "ui/WebPages.h"

#include <shellapi.h>

#include "ui/CProfileHelper.h"

namespace {

void ShellLaunch(const char* url, int showCommand) {
  ::ShellExecuteA(nullptr, "open", "iexplore.exe", url, nullptr, showCommand);
}

UrlLauncher g_launcher = &ShellLaunch;

}  // namespace

UrlLauncher SetUrlLauncher(UrlLauncher launcher) {
  UrlLauncher old = g_launcher;
  g_launcher = launcher ? launcher : &ShellLaunch;
  return old;
}

int OpenUrlInBrowser(const char* url, int showCommand) {
  g_launcher(url ? url : "", showCommand);
  return 0;
}

const char* DefaultHomeUrl() { return "http://www.melodara.com"; }

std::string GetHomeUrl() {
  std::string url;
  CProfileHelper::ReadProfileString("GENERAL_SETTING", "HOME_URL", url);
  // Blanks around a hand-edited value are no part of the address.
  const size_t first = url.find_first_not_of(" \t");
  const size_t last = url.find_last_not_of(" \t");
  url = first == std::string::npos ? std::string() : url.substr(first, last - first + 1);
  if (url.empty()) url = DefaultHomeUrl();
  while (!url.empty() && url.back() == '/') url.pop_back();
  return url;
}

void GetHomeUrl(std::string& out) { out = GetHomeUrl(); }

std::string GetHomePageUrl() { return GetHomeUrl() + "/English_index.aspx"; }

int OpenWebPage(int showCommand) { return OpenUrlInBrowser(GetHomePageUrl().c_str(), showCommand); }
