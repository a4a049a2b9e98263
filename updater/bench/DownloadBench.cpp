// A 50 MB file from the local server through CDownloader into a file, with a
// listener that sees every block. Run beside the update server
// (tools/bench starts it).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "updater/Downloader.h"

namespace {

constexpr uint64_t kSize = 50ull << 20;

class CountingListener : public IDownloadListener {
 public:
  void OnDownloadDone(BOOL) override { SetEvent(done); }
  void OnTextReceived(const std::string&) override {}
  void OnDataReceived(const char*, DWORD count) override { bytes += count; }
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  uint64_t bytes = 0;
};

}  // namespace

int main() {
  const char* server = getenv("UPDATE_SERVER_URL");
  if (!server) {
    std::printf("run beside the update server (tools/bench starts it)\n");
    return 1;
  }
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  std::string path = std::string(folder) + "melodara_download_bench.bin";
  CountingListener listener;
  CDownloader downloader;
  downloader.SetListener(&listener);
  auto start = std::chrono::steady_clock::now();
  downloader.StartFileDownload(std::string(server) + "/__gen/" + std::to_string(kSize), path);
  if (WaitForSingleObject(listener.done, 120000) != WAIT_OBJECT_0) return 1;
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  downloader.DetachListener();
  DownloadOutcome outcome = downloader.GetOutcome();
  DeleteFileA(path.c_str());
  std::printf("%-34s %8.1f MB/s   target >= 50%s\n", "50 MB download with a listener",
              kSize / 1048576.0 / seconds,
              outcome.Complete() && listener.bytes == kSize ? "" : "   (INCOMPLETE)");
  return outcome.Complete() ? 0 : 1;
}
