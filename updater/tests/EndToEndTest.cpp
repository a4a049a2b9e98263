// The updater program from a prepared program folder against the local
// server, in the Chinese locale: what it shows, what it asks the server and
// what it leaves in the program folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "testsupport/FakePlayer.h"
#include "testsupport/TempDir.h"
#include "testsupport/UpdateServer.h"
#include "updater/HashManager.h"

namespace {

using testsupport::PutServerFile;
using testsupport::ReadWholeFile;
using testsupport::UpdateServerUrl;

const wchar_t kTitle[] = L"Melodara 在线升级程序";
const wchar_t kPrefix[] = L"当前状态：";

std::string Md5(const std::string& bytes) {
  testsupport::TempDir dir;
  testsupport::WriteWholeFile(dir.File("x"), bytes);
  CHashManager hash;
  hash.SetFilePath(dir.File("x"));
  hash.SetAlgorithm(CHashManager::kMd5);
  hash.SetSource(CHashManager::kSourceFile);
  hash.SetFormat(CHashManager::kUpper);
  return hash.GetHash();
}

std::wstring ItemText(HWND dialog, int id) {
  wchar_t text[512] = {};
  GetDlgItemTextW(dialog, id, text, 512);
  return text;
}

struct Component {
  std::string name, ver, size, url, verify;
  bool necessary;
};

std::string UpdateXml(const std::string& release, const std::vector<Component>& components) {
  std::string xml = "<?xml version=\"1.0\"?>\n<Product>\n<Version Value=\"" + release + "\">\n";
  for (const Component& c : components)
    xml += "<File Name=\"" + c.name + "\"><Ver>" + c.ver + "</Ver><ComponentName>" + c.name +
           "</ComponentName><Description>About " + c.name + "</Description><Size>" + c.size + "</Size><URL>" +
           c.url + "</URL><Folder></Folder><Verify>" + c.verify + "</Verify><Necessary>" +
           (c.necessary ? "true" : "false") + "</Necessary></File>\n";
  return xml + "</Version>\n</Product>\n";
}

struct FindData {
  DWORD process;
  const wchar_t* title;
  HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND hwnd, LPARAM lParam) {
  auto* data = reinterpret_cast<FindData*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != data->process || !IsWindowVisible(hwnd)) return TRUE;
  wchar_t title[256] = {};
  GetWindowTextW(hwnd, title, 256);
  if (data->title ? wcscmp(title, data->title) == 0 : GetDlgItem(hwnd, 1007) != nullptr) {
    data->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

class EndToEndTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(UpdateServerUrl().empty()) << "run beside the update server";
    ASSERT_EQ(GetACP(), 936u) << "run in the Chinese locale";
    folder = dir.Path() + "\\";
    ASSERT_TRUE(CopyFileA("MelodaraUpdateLoopback.exe", (folder + "MelodaraUpdate.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(testsupport::FakePlayerPath().c_str(), (folder + "Melodara.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA("version_fixture_1_0_0_0.dll", (folder + "A.dll").c_str(), FALSE));
    log = folder + "player.log";
    SetEnvironmentVariableA(testsupport::kFakePlayerLogVariable, log.c_str());
    newA = ReadWholeFile("version_fixture_1_2_0_0.dll");
    PutServerFile("A.dll", newA);
    PutServerFile("N.dll", "a new component");
    PutServerFile("version-answer.txt", "false\r\n");
  }
  void TearDown() override {
    for (HANDLE process : {updater, player}) {
      if (!process) continue;
      if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) TerminateProcess(process, 1);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
    SetEnvironmentVariableA(testsupport::kFakePlayerLogVariable, nullptr);
  }

  Component A(const std::string& url = "/A.dll") const {
    return {"A.dll", "1.2.0.0", std::to_string(newA.size()), UpdateServerUrl() + url, Md5(newA), false};
  }
  Component N() const {
    return {"N.dll", "1.0.0.0", "15", UpdateServerUrl() + "/N.dll", Md5("a new component"), true};
  }

  HANDLE Start(const std::string& command, const std::string& cwd) {
    std::string line = command;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi))
      return nullptr;
    CloseHandle(pi.hThread);
    processId = pi.dwProcessId;
    return pi.hProcess;
  }
  // Starts the updater the way the player would: no arguments, another folder.
  HWND StartUpdater() {
    updater = Start("\"" + folder + "MelodaraUpdate.exe\"", other.Path());
    DWORD id = processId;
    return WaitForWindow(id, kTitle, 15000);
  }
  HWND WaitForWindow(DWORD process, const wchar_t* title, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
      FindData data = {process, title, nullptr};
      EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&data));
      if (data.found) return data.found;
      Sleep(50);
    }
    return nullptr;
  }
  std::wstring WaitForStatus(HWND dialog, const std::wstring& wanted, DWORD timeoutMs = 20000) {
    std::wstring text;
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
      text = ItemText(dialog, 1003);
      if (text == wanted) break;
      Sleep(50);
    }
    return text;
  }
  std::map<std::string, std::string> Snapshot() {
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    do {
      std::string name = found.cFileName;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == "Update.xml" || name == "player.log")
        continue;
      files[name] = ReadWholeFile(folder + name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
  }
  bool Requested(const std::string& path) {
    for (const std::string& request : testsupport::ServerRequests())
      if (request.compare(0, 5 + path.size(), "GET " + path + " ") == 0) return true;
    return false;
  }
  void ExitUpdater(HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0);
    EXPECT_EQ(WaitForSingleObject(updater, 10000), WAIT_OBJECT_0);
  }

  testsupport::TempDir dir, other;
  std::string folder, log, newA;
  HANDLE updater = nullptr, player = nullptr;
  DWORD processId = 0;
};

TEST_F(EndToEndTest, UpToDate) {
  PutServerFile("SoftWare\\update\\Update.xml", "");
  CreateDirectoryA((testsupport::UpdateServerRoot() + "\\SoftWare").c_str(), nullptr);
  CreateDirectoryA((testsupport::UpdateServerRoot() + "\\SoftWare\\update").c_str(), nullptr);
  Component a = A();
  a.ver = "1.0.0.0";
  PutServerFile("SoftWare\\update\\Update.xml", UpdateXml("1.0.0.0", {a}));
  HWND dialog = StartUpdater();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WaitForStatus(dialog, std::wstring(kPrefix) + L"你的版本已经是最新啦！"),
            std::wstring(kPrefix) + L"你的版本已经是最新啦！");
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1000)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1001)));
  // Its own product version went with the question.
  EXPECT_TRUE(Requested("/LiveUpdateVersion.aspx?ver=1.0.0.1"));
  // Bottom right, 33 pixels above the desktop's bottom edge.
  RECT window, desktop;
  GetWindowRect(dialog, &window);
  GetWindowRect(GetDesktopWindow(), &desktop);
  EXPECT_EQ(window.right, desktop.right);
  EXPECT_EQ(window.bottom, desktop.bottom - 33);
  ExitUpdater(dialog);
}

}  // namespace
