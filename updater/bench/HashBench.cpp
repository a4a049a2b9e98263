// Digest speed: MD5 of a 256 MB file read as the updater reads it, and of the
// same bytes in memory, beside the system's own MD5, SHA-1 and SHA-256 (the
// CryptoAPI) and our SHA-1, SHA-256 and CRC-32.
#include <windows.h>
#include <wincrypt.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Digests.h"
#include "updater/HashManager.h"

namespace {

constexpr size_t kSize = 256u << 20;

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Report(const char* what, double seconds, const char* target = nullptr) {
  std::printf("%-34s %8.1f MB/s%s%s\n", what, kSize / 1048576.0 / seconds, target ? "   target " : "",
              target ? target : "");
}

void Ours(const char* what, int algorithm, const std::vector<uint8_t>& data, const char* target = nullptr) {
  auto digest = updater_hash::MakeDigest(algorithm, 256);
  auto start = std::chrono::steady_clock::now();
  digest->Update(data.data(), data.size());
  digest->Finish();
  Report(what, Seconds(start), target);
}

void System(const char* what, ALG_ID algorithm, const std::vector<uint8_t>& data) {
  HCRYPTPROV provider = 0;
  HCRYPTHASH hash = 0;
  if (!CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) {
    std::printf("%-34s unavailable\n", what);
    return;
  }
  auto start = std::chrono::steady_clock::now();
  CryptCreateHash(provider, algorithm, 0, 0, &hash);
  CryptHashData(hash, data.data(), static_cast<DWORD>(data.size()), 0);
  BYTE value[64];
  DWORD length = sizeof value;
  CryptGetHashParam(hash, HP_HASHVAL, value, &length, 0);
  Report(what, Seconds(start));
  CryptDestroyHash(hash);
  CryptReleaseContext(provider, 0);
}

}  // namespace

int main() {
  std::vector<uint8_t> data(kSize);
  uint32_t x = 12345;
  for (auto& b : data) b = static_cast<uint8_t>((x = x * 1103515245 + 12345) >> 24);
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  std::string path = std::string(folder) + "melodara_hash_bench.bin";
  FILE* file = fopen(path.c_str(), "wb");
  if (!file || fwrite(data.data(), 1, data.size(), file) != data.size()) return 1;
  fclose(file);

  CHashManager hash;
  hash.SetFilePath(path);
  hash.SetAlgorithm(CHashManager::kMd5);
  hash.SetSource(CHashManager::kSourceFile);
  hash.SetFormat(CHashManager::kUpper);
  auto start = std::chrono::steady_clock::now();
  std::string md5 = hash.GetHash();
  Report("MD5, file, as the updater reads it", Seconds(start), ">= 400");
  DeleteFileA(path.c_str());

  Ours("MD5, memory", 5, data, ">= 400");
  Ours("SHA-1, memory", 6, data);
  Ours("SHA-256, memory", 7, data);
  Ours("CRC-32, memory", 1, data);
  System("MD5, system CryptoAPI", CALG_MD5, data);
  System("SHA-1, system CryptoAPI", CALG_SHA1, data);
  System("SHA-256, system CryptoAPI", CALG_SHA_256, data);
  return md5.size() == 32 ? 0 : 1;
}
