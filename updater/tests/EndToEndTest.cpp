// The updater program from a prepared program folder against the local
// server, in the Chinese locale: what it shows, what it asks the server and
// what it leaves in the program folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "testsupport/FakePlayer.h"
#include "testsupport/PostedMarker.h"
#include "testsupport/TempDir.h"
#include "testsupport/UpdateServer.h"
#include "testsupport/WaitUntil.h"
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

// With UPDATER_SCREENSHOT_DIR set, a window as the screen shows it goes there
// as a BMP, to be looked at.
void Screenshot(HWND hwnd, const char* name) {
  char folder[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("UPDATER_SCREENSHOT_DIR", folder, MAX_PATH)) return;
  RECT r;
  GetWindowRect(hwnd, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER bih = {};
  bih.biSize = sizeof bih;
  bih.biWidth = width;
  bih.biHeight = height;
  bih.biPlanes = 1;
  bih.biBitCount = 24;
  const int stride = (width * 3 + 3) & ~3;
  std::string pixels(static_cast<size_t>(stride) * height, '\0');
  GetDIBits(screen, bitmap, 0, height, &pixels[0], reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS);
  BITMAPFILEHEADER bfh = {};
  bfh.bfType = 0x4D42;
  bfh.bfOffBits = sizeof bfh + sizeof bih;
  bfh.bfSize = bfh.bfOffBits + static_cast<DWORD>(pixels.size());
  std::string file(reinterpret_cast<const char*>(&bfh), sizeof bfh);
  file.append(reinterpret_cast<const char*>(&bih), sizeof bih);
  testsupport::WriteWholeFile(std::string(folder) + "\\" + name, file + pixels);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
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
    FindData data = {process, title, nullptr};
    testsupport::WaitUntil(
        [&] {
          EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&data));
          return data.found != nullptr;
        },
        timeoutMs, 50);
    return data.found;
  }
  std::wstring WaitForStatus(HWND dialog, const std::wstring& wanted, DWORD timeoutMs = 20000) {
    std::wstring text;
    testsupport::WaitUntil(
        [&] {
          text = ItemText(dialog, 1003);
          return text == wanted;
        },
        timeoutMs, 50);
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

void ServeList(const std::string& xml) {
  CreateDirectoryA((testsupport::UpdateServerRoot() + "\\SoftWare").c_str(), nullptr);
  CreateDirectoryA((testsupport::UpdateServerRoot() + "\\SoftWare\\update").c_str(), nullptr);
  PutServerFile("SoftWare\\update\\Update.xml", xml);
}

TEST_F(EndToEndTest, UpToDate) {
  Component a = A();
  a.ver = "1.0.0.0";
  ServeList(UpdateXml("1.0.0.0", {a}));
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

TEST_F(EndToEndTest, UpdatesWhileThePlayerRuns) {
  ServeList(UpdateXml("1.5.0.0", {A(), N()}));
  player = Start("\"" + folder + "Melodara.exe\" --fake-window", folder);
  ASSERT_NE(testsupport::WaitForPlayerWindow(10000), nullptr);
  HWND dialog = StartUpdater();
  ASSERT_NE(dialog, nullptr);
  const std::wstring choose =
      std::wstring(kPrefix) + L"请在列表中选择需要升级的组件，然后点击“开始”按钮进行升级";
  ASSERT_EQ(WaitForStatus(dialog, choose), choose);
  ASSERT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1000)));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED), 0);

  // The message box asks before the player is closed.
  HWND box = nullptr;
  testsupport::WaitUntil(
      [&] {
        HWND candidate = nullptr;
        while ((candidate = FindWindowExW(nullptr, candidate, nullptr, kTitle)) != nullptr) {
          DWORD process = 0;
          GetWindowThreadProcessId(candidate, &process);
          if (candidate != dialog && process == GetProcessId(updater) && IsWindowVisible(candidate))
            box = candidate;
        }
        return box != nullptr;
      },
      20000, 50);
  ASSERT_NE(box, nullptr);
  HWND progress = WaitForWindow(GetProcessId(updater), nullptr, 5000);
  ASSERT_NE(progress, nullptr);
  EXPECT_NE(WaitForSingleObject(player, 0), WAIT_OBJECT_0) << "closed before the user agreed";
  Sleep(300);
  Screenshot(dialog, "updater_main.bmp");
  Screenshot(progress, "updater_progress_box.bmp");
  // While the worker runs the progress dialog stays, whatever asks it to go.
  PostMessageW(progress, WM_CLOSE, 0, 0);
  PostMessageW(progress, WM_COMMAND, IDCANCEL, 0);
  PostMessageW(progress, WM_COMMAND, IDOK, 0);
  PostMessageW(progress, WM_KEYDOWN, VK_ESCAPE, 0);
  // The marker is the progress dialog's close button, hidden while the worker
  // runs.
  ASSERT_TRUE(testsupport::PostedMessagesHandled(GetDlgItem(progress, 1007)));
  EXPECT_TRUE(IsWindow(progress));
  PostMessageW(box, WM_COMMAND, IDOK, 0);

  std::wstring line;
  testsupport::WaitUntil(
      [&] {
        line = ItemText(progress, 1002);
        return line == L"升级成功啦！";
      },
      20000, 50);
  EXPECT_EQ(line, L"升级成功啦！");
  EXPECT_EQ(ItemText(progress, 1004), L"重新启动Melodara主程序");
  Sleep(300);
  Screenshot(progress, "updater_progress_done.bmp");
  EXPECT_EQ(WaitForSingleObject(player, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(ReadWholeFile(folder + "A.dll"), newA);
  EXPECT_EQ(ReadWholeFile(folder + "N.dll"), "a new component");
  EXPECT_EQ(ReadWholeFile(folder + "Backup\\A.dll"), ReadWholeFile("version_fixture_1_0_0_0.dll"));
  // The player was started again from the program folder.
  auto records = testsupport::WaitForFakePlayerLog(log, 3, 10000);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].event, "close");
  EXPECT_EQ(records[2].event, "start");
  EXPECT_EQ(records[2].Field("folder") + "\\", folder);

  // Closed by a key once the worker has ended.
  PostMessageW(progress, WM_CLOSE, 0, 0);
  testsupport::WaitUntil([&] { return !IsWindow(progress); }, 5000, 50);
  EXPECT_FALSE(IsWindow(progress));
  EXPECT_EQ(ItemText(dialog, 1000), L"开始");
  EXPECT_EQ(ItemText(dialog, 1001), L"退出");
  Sleep(300);
  Screenshot(dialog, "updater_main_done.bmp");
  ExitUpdater(dialog);
}

struct FaultCase {
  const char* what;
  const char* answer;  // to the version question
  std::string xml;     // empty: the standard list with the changes below
  std::string aUrl;
  std::string aVerify;
  std::string aSize;
  const wchar_t* status;
  bool nRequested;
};

// Whatever the server or the network does: a clear status, and the program
// folder exactly as before.
TEST_F(EndToEndTest, FaultsLeaveTheInstallationAlone) {
  const std::string huge = std::string(1 << 20, 'x');
  const FaultCase cases[] = {
      {"wrong hash", "false\r\n", "", "/A.dll", std::string(32, '0'), "", L"下载的文件已损坏，请重新下载",
       false},
      {"lower-case hash", "false\r\n", "", "/A.dll", "lower", "", L"下载的文件已损坏，请重新下载", false},
      {"404", "false\r\n", "", "/missing.dll", "", "", L"下载的文件已损坏，请重新下载", false},
      {"cut off", "false\r\n", "", "/__cut/100000/5000", "", "", L"下载的文件已损坏，请重新下载", false},
      {"64 MB for 1 MB", "false\r\n", "", "/__gen/67108864", Md5(huge), "1048576",
       L"下载的文件已损坏，请重新下载", false},
      {"unreachable", "false\r\n", "", "http://127.0.0.1:1/A.dll", "", "", L"无法从升级服务器下载文件！",
       false},
      {"damaged list", "false\r\n", "<Product><Version Value=\"2.0.0.0\"><File", "", "", "",
       L"更新列表文件解析出错。", false},
      {"unknown entity", "false\r\n",
       "<Product><Version Value=\"2.0.0.0\"><File Name=\"N.dll\"><Description>&nbsp;</Description></File>"
       "</Version></Product>",
       "", "", "", L"更新列表文件解析出错。", false},
      {"name leaving the folder", "false\r\n",
       "<Product><Version Value=\"2.0.0.0\"><File Name=\"..\\Melodara.exe\"><URL>/N.dll</URL></File>"
       "</Version></Product>",
       "", "", "", L"更新列表文件解析出错。", false},
      {"unusable answer", "nope!", "", "", "", "", L"无法从升级服务器下载文件！", false},
      {"empty answer", "", "", "", "", "", L"无法从升级服务器下载文件！", false},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.what);
    PutServerFile("version-answer.txt", c.answer);
    if (c.xml.empty()) {
      Component a = A(c.aUrl);
      if (c.aUrl.compare(0, 4, "http") == 0) a.url = c.aUrl;
      if (!c.aVerify.empty()) a.verify = c.aVerify == "lower" ? Md5(newA).insert(0, "") : c.aVerify;
      if (c.aVerify == "lower")
        for (char& ch : a.verify) ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
      if (!c.aSize.empty()) a.size = c.aSize;
      ServeList(UpdateXml("1.5.0.0", {a, N()}));
    } else {
      ServeList(c.xml);
    }
    auto before = Snapshot();
    size_t requestsBefore = testsupport::ServerRequests().size();
    HWND dialog = StartUpdater();
    ASSERT_NE(dialog, nullptr);
    const std::wstring choose =
        std::wstring(kPrefix) + L"请在列表中选择需要升级的组件，然后点击“开始”按钮进行升级";
    std::wstring wanted = std::wstring(kPrefix) + c.status;
    std::wstring status = WaitForStatus(dialog, c.xml.empty() && c.answer[0] == 'f' ? choose : wanted);
    if (status == choose) {
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED), 0);
      status = WaitForStatus(dialog, wanted, 30000);
    }
    EXPECT_EQ(status, wanted);
    auto requests = testsupport::ServerRequests();
    bool nRequested = false;
    for (size_t i = requestsBefore; i < requests.size(); ++i)
      if (requests[i].compare(0, 11, "GET /N.dll ") == 0) nRequested = true;
    EXPECT_EQ(nRequested, c.nRequested);
    ExitUpdater(dialog);
    CloseHandle(updater);
    updater = nullptr;
    EXPECT_EQ(Snapshot(), before);
  }
}

// Exit in the middle of a download ends the program at once; the transfer
// stops and nothing installed changes.
TEST_F(EndToEndTest, ExitDuringADownload) {
  Component a = A("/__slow/400000/2048/50");
  ServeList(UpdateXml("1.5.0.0", {a, N()}));
  auto before = Snapshot();
  const size_t requestsBefore = testsupport::ServerRequests().size();
  HWND dialog = StartUpdater();
  ASSERT_NE(dialog, nullptr);
  const std::wstring choose =
      std::wstring(kPrefix) + L"请在列表中选择需要升级的组件，然后点击“开始”按钮进行升级";
  ASSERT_EQ(WaitForStatus(dialog, choose), choose);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED), 0);
  testsupport::WaitUntil(
      [&] { return GetFileAttributesA((folder + "Temp\\A.dll").c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000,
      50);
  Sleep(300);
  DWORD start = GetTickCount();
  ExitUpdater(dialog);
  EXPECT_LT(GetTickCount() - start, 5000u);
  EXPECT_EQ(Snapshot(), before);
  auto requests = testsupport::ServerRequests();
  for (size_t i = requestsBefore; i < requests.size(); ++i)
    EXPECT_NE(requests[i].compare(0, 11, "GET /N.dll "), 0);
}

TEST_F(EndToEndTest, SelfUpdateHandsOverOnlyAWholeDownload) {
  // A stand-in helper that records how it was started.
  ASSERT_TRUE(
      CopyFileA(testsupport::FakePlayerPath().c_str(), (folder + "MelodaraUpdateHelper.exe").c_str(), FALSE));
  PutServerFile("version-answer.txt", "TRUE\r\n");
  CreateDirectoryA((testsupport::UpdateServerRoot() + "\\software").c_str(), nullptr);
  CreateDirectoryA((testsupport::UpdateServerRoot() + "\\software\\update").c_str(), nullptr);

  // Not there: no hand-over, the updater says so and stays.
  HWND dialog = StartUpdater();
  ASSERT_NE(dialog, nullptr);
  std::wstring failed = std::wstring(kPrefix) + L"无法从升级服务器下载文件！";
  EXPECT_EQ(WaitForStatus(dialog, failed), failed);
  EXPECT_TRUE(testsupport::ReadFakePlayerLog(log).empty());
  ExitUpdater(dialog);
  CloseHandle(updater);
  updater = nullptr;

  // The server's answer cut short, as a connection closed early leaves it:
  // Update.xml's checksum tells, and the updater stays.
  const std::string next = ReadWholeFile("MelodaraUpdateLoopback.exe");
  ASSERT_GT(next.size(), 4096u);
  ServeList(
      UpdateXml("1.0.0.0", {{"MelodaraUpdate.exe", "1.0.0.2", std::to_string(next.size()),
                             UpdateServerUrl() + "/software/update/MelodaraUpdate.rar", Md5(next), true}}));
  PutServerFile("software\\update\\MelodaraUpdate.rar", next.substr(0, 4096));
  dialog = StartUpdater();
  ASSERT_NE(dialog, nullptr);
  std::wstring damaged = std::wstring(kPrefix) + L"下载的文件已损坏，请重新下载";
  EXPECT_EQ(WaitForStatus(dialog, damaged), damaged);
  EXPECT_TRUE(Requested("/SoftWare/update/Update.xml"));
  EXPECT_TRUE(testsupport::ReadFakePlayerLog(log).empty());
  ExitUpdater(dialog);
  CloseHandle(updater);
  updater = nullptr;
  EXPECT_EQ(ReadWholeFile(folder + "MelodaraUpdate.exe"), ReadWholeFile("MelodaraUpdateLoopback.exe"));

  PutServerFile("software\\update\\MelodaraUpdate.rar", next);
  // The dialog may be gone again before a search finds it.
  updater = Start("\"" + folder + "MelodaraUpdate.exe\"", other.Path());
  ASSERT_NE(updater, nullptr);
  EXPECT_EQ(WaitForSingleObject(updater, 15000), WAIT_OBJECT_0) << "the updater ends after the hand-over";
  auto records = testsupport::WaitForFakePlayerLog(log, 1, 10000);
  ASSERT_EQ(records.size(), 1u);
  std::string expected = "\"" + folder + "Temp\\MelodaraUpdate.exe\" \"" + folder + "MelodaraUpdate.exe\"";
  EXPECT_NE(records[0].Field("cmdA").find(expected), std::string::npos) << records[0].Field("cmdA");
  EXPECT_EQ(records[0].Field("module"), folder + "MelodaraUpdateHelper.exe");
  EXPECT_EQ(ReadWholeFile(folder + "Temp\\MelodaraUpdate.exe"), next);
}

}  // namespace
