// Opening web pages. Every page the player opens goes through
// OpenUrlInBrowser, and that through one replaceable launcher, so tests can
// see what would be opened without starting a browser.
#pragma once

#include <windows.h>

#include <string>

// Starts the browser on url; the answer is always 0 (a browser that cannot be
// started is not reported).
int OpenUrlInBrowser(const char* url, int showCommand);

// The launcher OpenUrlInBrowser uses; answers the one it replaces. Null puts
// the default back (the browser started through the shell).
using UrlLauncher = void (*)(const char* url, int showCommand);
UrlLauncher SetUrlLauncher(UrlLauncher launcher);

// The vendor's web address without a trailing slash: key HOME_URL of section
// GENERAL_SETTING in the settings file, else the built-in address. Read
// anew on every call (the update-notice thread asks too).
std::string GetHomeUrl();
void GetHomeUrl(std::string& out);
// The built-in address.
const char* DefaultHomeUrl();

// The page the links open: the home address with "/English_index.aspx".
std::string GetHomePageUrl();
// Opens it; always 0.
int OpenWebPage(int showCommand);
