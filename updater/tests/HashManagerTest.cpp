#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "testsupport/TempDir.h"
#include "updater/HashManager.h"

namespace {

std::string TextHash(int algorithm, const std::string& text, int sha2Bits = 256) {
  CHashManager hash;
  hash.SetAlgorithm(algorithm);
  hash.SetSha2Length(sha2Bits);
  hash.SetText(text);
  return hash.GetHash();
}

std::string FileHash(int algorithm, const std::string& path, int format = CHashManager::kLower) {
  CHashManager hash;
  hash.SetFilePath(path);
  hash.SetAlgorithm(algorithm);
  hash.SetSource(CHashManager::kSourceFile);
  hash.SetFormat(format);
  return hash.GetHash();
}

std::string Pattern(size_t length) {
  std::string bytes(length, '\0');
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(i % 256);
  return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  FILE* file = fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  fwrite(bytes.data(), 1, bytes.size(), file);
  fclose(file);
}

const std::string kAlnum = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
const std::string kDigits80 =
    "12345678901234567890123456789012345678901234567890123456789012345678901234567890";

struct TextVector {
  int algorithm;
  int sha2Bits;
  std::string text;
  const char* digest;
};

TEST(HashManager, TextVectors) {
  const TextVector vectors[] = {
      {5, 0, "", "d41d8cd98f00b204e9800998ecf8427e"},
      {5, 0, "a", "0cc175b9c0f1b6a831c399e269772661"},
      {5, 0, "abc", "900150983cd24fb0d6963f7d28e17f72"},
      {5, 0, "message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {5, 0, "abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {5, 0, kAlnum, "d174ab98d277d9f5a5611c2c9f419d9f"},
      {5, 0, kDigits80, "57edf4a22be3c955ac49da2e2107b67a"},
      {4, 0, "", "31d6cfe0d16ae931b73c59d7e0c089c0"},
      {4, 0, "a", "bde52cb31de33e46245e05fbdbd6fb24"},
      {4, 0, "abc", "a448017aaf21d8525fc10ae87aa6729d"},
      {4, 0, "message digest", "d9130a8164549fe818874806e1c7014b"},
      {4, 0, "abcdefghijklmnopqrstuvwxyz", "d79e1c308aa5bbcdeea8ed63df412da9"},
      {4, 0, kAlnum, "043f8582f241db351ce627e153e7f0e4"},
      {4, 0, kDigits80, "e33b4ddc9c38f2199c3e7b164fcc0536"},
      {3, 0, "", "8350e5a3e24c153df2275c9f80692773"},
      {3, 0, "a", "32ec01ec4a6dac72c0ab96fb34c0b5d1"},
      {3, 0, "abc", "da853b0d3f88d99b30283a69e6ded6bb"},
      {3, 0, "message digest", "ab4f496bfb2a530b219ff33031fe06b0"},
      {3, 0, "abcdefghijklmnopqrstuvwxyz", "4e8ddff3650292ab5a4108c3aa47940b"},
      {3, 0, kAlnum, "da33def2a42df13975352846c30338cd"},
      {3, 0, kDigits80, "d5976f79d83d3a0dc9806c3c66f3efd8"},
      {6, 0, "", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {6, 0, "abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {6, 0, "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
      {7, 256, "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {7, 256, "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {7, 384, "abc",
       "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca134c825a7"},
      {7, 512, "abc",
       "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454d4"
       "4"
       "23643ce80e2a9ac94fa54ca49f"},
      {1, 0, "123456789", "cbf43926"},
      {1, 0, "", "00000000"},
      {1, 0, "The quick brown fox jumps over the lazy dog", "414fa339"},
      {2, 0, "", "ce85b99cc46752fffee35cab9a7b0278abb4c2d2055cff685af4912c49490f8d"},
      {2, 0, "a", "d42c539e367c66e9c88a801f6649349c21871b4344c6a573f849fdce62f314dd"},
      {2, 0, "abc", "f3134348c44fb1b2a277729e2285ebb5cb5e0f29c975bc753b70497c06a4d51d"},
      {2, 0, "message digest", "ad4434ecb18f2c99b60cbe59ec3d2469582b65273f48de72db2fde16a4889a4d"},
      {2, 0, "The quick brown fox jumps over the lazy dog",
       "77b7fa410c9ac58a25f49bca7d0468c9296529315eaca76bd1a10f376d1f4294"},
      {2, 0, std::string(32, 'a'), "fd1b746d9397e78edd311baef391450434271e02816caa37680d6d7381c79d4e"},
      {2, 0, std::string(50, 'U'), "aa698ed94ef91a42c86a0259eba3f6145a53d37a43a55263b2690469c15dae55"},
  };
  for (const TextVector& v : vectors)
    EXPECT_EQ(TextHash(v.algorithm, v.text, v.sha2Bits ? v.sha2Bits : 256), v.digest)
        << "algorithm " << v.algorithm << " text \"" << v.text << "\"";
}

struct FileVector {
  size_t length;
  int algorithm;
  const char* digest;
};

// Lengths around the blocks the algorithms read files in.
TEST(HashManager, FileVectorsAcrossBlockBoundaries) {
  const FileVector vectors[] = {
      {2048, 5, "1576a94d6cb334dd126cb1c27f19e0f2"},
      {2048, 6, "f10ccfde60c17db26e7d85d35665c7661dbbeb2c"},
      {2048, 1, "9f5edd58"},
      {4096, 5, "2bcd3c4de20c918e19fab5c36249c70d"},
      {4096, 1, "a2912082"},
      {5000, 5, "d00321d3eb2086742076e4386efbefb4"},
      {16000, 5, "4cd762d4e7eb0d3efbdb76e3c6af91b4"},
      {16000, 6, "101c9b5b87f5483c050f8507c81d20c2abc55763"},
      {16000, 3, "858726f1679d67cd8faa392b944dbbf4"},
      {16000, 4, "aab51a8cf27c64d388ebd1fa06d0587a"},
      {16000, 7, "0a8ed54aecc29c1d81ad5a2a5aad9eabc6ad85f880aec4fd4305cc9ad174eeb9"},
      {16000, 2, "6641eb3a404a7731c21cc3b990e645f18636feba49fa8f187a8dd0bf1ab9ac71"},
      {16000, 1, "3729929d"},
      {16001, 5, "4d025e9bbbe3560009e950c27c29f9a0"},
      {16001, 6, "0a92c87d9cdd42b8dcc6c189f5f4a34908b9d71b"},
  };
  testsupport::TempDir dir;
  for (const FileVector& v : vectors) {
    std::string path = dir.File("pattern" + std::to_string(v.length));
    WriteFile(path, Pattern(v.length));
    EXPECT_EQ(FileHash(v.algorithm, path), v.digest) << v.length << " bytes, algorithm " << v.algorithm;
  }
}

TEST(HashManager, FileSourceEdges) {
  testsupport::TempDir dir;
  std::string empty = dir.File("empty.bin");
  WriteFile(empty, "");
  std::string missing = dir.File("missing.bin");
  // An empty or missing component never matches a Verify text.
  EXPECT_EQ(FileHash(5, empty, CHashManager::kUpper), "");
  EXPECT_EQ(FileHash(5, missing, CHashManager::kUpper), "");
  for (int algorithm = 1; algorithm <= 7; ++algorithm) EXPECT_EQ(FileHash(algorithm, ""), "") << algorithm;
  EXPECT_EQ(FileHash(1, missing), "00000000");
  EXPECT_EQ(FileHash(6, missing), "");
  // The text source has no such rule: "" has its real digest.
  EXPECT_EQ(TextHash(5, ""), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(HashManager, FormatsSourcesAndSettings) {
  testsupport::TempDir dir;
  std::string path = dir.File("pattern.bin");
  WriteFile(path, Pattern(2048));
  EXPECT_EQ(FileHash(5, path, CHashManager::kUpper), "1576A94D6CB334DD126CB1C27F19E0F2");
  EXPECT_EQ(FileHash(1, path, CHashManager::kLowerSpaced), "9f 5e dd 58 ");
  EXPECT_EQ(FileHash(1, path, CHashManager::kUpperSpaced), "9F 5E DD 58 ");
  EXPECT_EQ(FileHash(1, path, 9), "9f5edd58");

  CHashManager hash;  // SHA-1 of the text by default
  hash.SetText("abc");
  EXPECT_EQ(hash.GetHash(), "a9993e364706816aba3e25717850c26c9cd0d89d");
  hash.SetSource(0);
  hash.SetFilePath(path);
  EXPECT_EQ(hash.GetHash(), "a9993e364706816aba3e25717850c26c9cd0d89d");
  hash.SetAlgorithm(7);
  hash.SetSha2Length(100);
  EXPECT_EQ(hash.GetHash(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  hash.SetAlgorithm(8);
  EXPECT_EQ(hash.GetHash(), "");
  hash.SetAlgorithm(0);
  EXPECT_EQ(hash.GetHash(), "");
}

TEST(HashManager, LongInputsFedInOddPieces) {
  // One million 'a': the classic long vectors, through the file path (16000-byte reads).
  testsupport::TempDir dir;
  std::string path = dir.File("million.bin");
  WriteFile(path, std::string(1000000, 'a'));
  EXPECT_EQ(FileHash(5, path), "7707d6ae4e027c70eea2a935c2296f21");
  EXPECT_EQ(FileHash(6, path), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
  EXPECT_EQ(FileHash(7, path), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

}  // namespace
