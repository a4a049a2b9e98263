#include "Digests.h"

#include <cstring>

namespace updater_hash {
namespace {

inline uint32_t Rol(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }
inline uint32_t Ror(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }
inline uint64_t Ror64(uint64_t x, int n) { return (x >> n) | (x << (64 - n)); }

uint32_t LoadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint32_t LoadBe32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
uint64_t LoadBe64(const uint8_t* p) { return uint64_t(LoadBe32(p)) << 32 | LoadBe32(p + 4); }
void StoreLe32(uint32_t v, uint8_t* p) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
void StoreBe32(uint32_t v, uint8_t* p) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (24 - 8 * i));
}
void StoreBe64(uint64_t v, uint8_t* p) {
  StoreBe32(uint32_t(v >> 32), p);
  StoreBe32(uint32_t(v), p + 4);
}

// Buffers input into blocks of N bytes for the block functions of MD4, MD5,
// SHA-1 and SHA-2, and pads the last one with the bit length (Merkle-Damgard).
template <size_t N>
class BlockDigest : public Digest {
 public:
  void Update(const uint8_t* data, size_t length) override {
    m_total += length;
    if (m_used) {
      size_t take = std::min(N - m_used, length);
      memcpy(m_buffer + m_used, data, take);
      m_used += take;
      data += take;
      length -= take;
      if (m_used < N) return;
      Block(m_buffer);
      m_used = 0;
    }
    for (; length >= N; data += N, length -= N) Block(data);
    memcpy(m_buffer, data, length);
    m_used = length;
  }

 protected:
  virtual void Block(const uint8_t* block) = 0;
  // Appends 0x80, zeros and the bit count (lengthBytes wide, big or little endian).
  void Pad(size_t lengthBytes, bool bigEndian) {
    uint64_t bits = m_total * 8;
    uint8_t pad[N * 2] = {0x80};
    size_t fill = (N - lengthBytes > m_used) ? N - lengthBytes - m_used : 2 * N - lengthBytes - m_used;
    uint8_t length[16] = {};
    for (int i = 0; i < 8; ++i) {
      if (bigEndian)
        length[lengthBytes - 1 - i] = uint8_t(bits >> (8 * i));
      else
        length[i] = uint8_t(bits >> (8 * i));
    }
    uint64_t total = m_total;
    Update(pad, fill);
    Update(length, lengthBytes);
    m_total = total;
  }

  uint8_t m_buffer[N];
  size_t m_used = 0;
  uint64_t m_total = 0;
};

class Md5 : public BlockDigest<64> {
 public:
  std::vector<uint8_t> Finish() override {
    Pad(8, false);
    std::vector<uint8_t> out(16);
    for (int i = 0; i < 4; ++i) StoreLe32(m_h[i], &out[4 * i]);
    return out;
  }

 private:
  // Unrolled: constant shifts and message indices keep it at full speed.
  void Block(const uint8_t* p) override {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = LoadLe32(p + 4 * i);
    uint32_t a = m_h[0], b = m_h[1], c = m_h[2], d = m_h[3];
#define MD5_STEP(f, w, x, y, z, data, s) \
  w += f(x, y, z) + (data);              \
  w = Rol(w, s) + x;
#define F1(x, y, z) (z ^ (x & (y ^ z)))
#define F2(x, y, z) F1(z, x, y)
#define F3(x, y, z) (x ^ y ^ z)
#define F4(x, y, z) (y ^ (x | ~z))
    MD5_STEP(F1, a, b, c, d, x[0] + 0xd76aa478, 7)
    MD5_STEP(F1, d, a, b, c, x[1] + 0xe8c7b756, 12)
    MD5_STEP(F1, c, d, a, b, x[2] + 0x242070db, 17)
    MD5_STEP(F1, b, c, d, a, x[3] + 0xc1bdceee, 22)
    MD5_STEP(F1, a, b, c, d, x[4] + 0xf57c0faf, 7)
    MD5_STEP(F1, d, a, b, c, x[5] + 0x4787c62a, 12)
    MD5_STEP(F1, c, d, a, b, x[6] + 0xa8304613, 17)
    MD5_STEP(F1, b, c, d, a, x[7] + 0xfd469501, 22)
    MD5_STEP(F1, a, b, c, d, x[8] + 0x698098d8, 7)
    MD5_STEP(F1, d, a, b, c, x[9] + 0x8b44f7af, 12)
    MD5_STEP(F1, c, d, a, b, x[10] + 0xffff5bb1, 17)
    MD5_STEP(F1, b, c, d, a, x[11] + 0x895cd7be, 22)
    MD5_STEP(F1, a, b, c, d, x[12] + 0x6b901122, 7)
    MD5_STEP(F1, d, a, b, c, x[13] + 0xfd987193, 12)
    MD5_STEP(F1, c, d, a, b, x[14] + 0xa679438e, 17)
    MD5_STEP(F1, b, c, d, a, x[15] + 0x49b40821, 22)
    MD5_STEP(F2, a, b, c, d, x[1] + 0xf61e2562, 5)
    MD5_STEP(F2, d, a, b, c, x[6] + 0xc040b340, 9)
    MD5_STEP(F2, c, d, a, b, x[11] + 0x265e5a51, 14)
    MD5_STEP(F2, b, c, d, a, x[0] + 0xe9b6c7aa, 20)
    MD5_STEP(F2, a, b, c, d, x[5] + 0xd62f105d, 5)
    MD5_STEP(F2, d, a, b, c, x[10] + 0x02441453, 9)
    MD5_STEP(F2, c, d, a, b, x[15] + 0xd8a1e681, 14)
    MD5_STEP(F2, b, c, d, a, x[4] + 0xe7d3fbc8, 20)
    MD5_STEP(F2, a, b, c, d, x[9] + 0x21e1cde6, 5)
    MD5_STEP(F2, d, a, b, c, x[14] + 0xc33707d6, 9)
    MD5_STEP(F2, c, d, a, b, x[3] + 0xf4d50d87, 14)
    MD5_STEP(F2, b, c, d, a, x[8] + 0x455a14ed, 20)
    MD5_STEP(F2, a, b, c, d, x[13] + 0xa9e3e905, 5)
    MD5_STEP(F2, d, a, b, c, x[2] + 0xfcefa3f8, 9)
    MD5_STEP(F2, c, d, a, b, x[7] + 0x676f02d9, 14)
    MD5_STEP(F2, b, c, d, a, x[12] + 0x8d2a4c8a, 20)
    MD5_STEP(F3, a, b, c, d, x[5] + 0xfffa3942, 4)
    MD5_STEP(F3, d, a, b, c, x[8] + 0x8771f681, 11)
    MD5_STEP(F3, c, d, a, b, x[11] + 0x6d9d6122, 16)
    MD5_STEP(F3, b, c, d, a, x[14] + 0xfde5380c, 23)
    MD5_STEP(F3, a, b, c, d, x[1] + 0xa4beea44, 4)
    MD5_STEP(F3, d, a, b, c, x[4] + 0x4bdecfa9, 11)
    MD5_STEP(F3, c, d, a, b, x[7] + 0xf6bb4b60, 16)
    MD5_STEP(F3, b, c, d, a, x[10] + 0xbebfbc70, 23)
    MD5_STEP(F3, a, b, c, d, x[13] + 0x289b7ec6, 4)
    MD5_STEP(F3, d, a, b, c, x[0] + 0xeaa127fa, 11)
    MD5_STEP(F3, c, d, a, b, x[3] + 0xd4ef3085, 16)
    MD5_STEP(F3, b, c, d, a, x[6] + 0x04881d05, 23)
    MD5_STEP(F3, a, b, c, d, x[9] + 0xd9d4d039, 4)
    MD5_STEP(F3, d, a, b, c, x[12] + 0xe6db99e5, 11)
    MD5_STEP(F3, c, d, a, b, x[15] + 0x1fa27cf8, 16)
    MD5_STEP(F3, b, c, d, a, x[2] + 0xc4ac5665, 23)
    MD5_STEP(F4, a, b, c, d, x[0] + 0xf4292244, 6)
    MD5_STEP(F4, d, a, b, c, x[7] + 0x432aff97, 10)
    MD5_STEP(F4, c, d, a, b, x[14] + 0xab9423a7, 15)
    MD5_STEP(F4, b, c, d, a, x[5] + 0xfc93a039, 21)
    MD5_STEP(F4, a, b, c, d, x[12] + 0x655b59c3, 6)
    MD5_STEP(F4, d, a, b, c, x[3] + 0x8f0ccc92, 10)
    MD5_STEP(F4, c, d, a, b, x[10] + 0xffeff47d, 15)
    MD5_STEP(F4, b, c, d, a, x[1] + 0x85845dd1, 21)
    MD5_STEP(F4, a, b, c, d, x[8] + 0x6fa87e4f, 6)
    MD5_STEP(F4, d, a, b, c, x[15] + 0xfe2ce6e0, 10)
    MD5_STEP(F4, c, d, a, b, x[6] + 0xa3014314, 15)
    MD5_STEP(F4, b, c, d, a, x[13] + 0x4e0811a1, 21)
    MD5_STEP(F4, a, b, c, d, x[4] + 0xf7537e82, 6)
    MD5_STEP(F4, d, a, b, c, x[11] + 0xbd3af235, 10)
    MD5_STEP(F4, c, d, a, b, x[2] + 0x2ad7d2bb, 15)
    MD5_STEP(F4, b, c, d, a, x[9] + 0xeb86d391, 21)
#undef F1
#undef F2
#undef F3
#undef F4
#undef MD5_STEP
    m_h[0] += a;
    m_h[1] += b;
    m_h[2] += c;
    m_h[3] += d;
  }
  uint32_t m_h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
};

class Md4 : public BlockDigest<64> {
 public:
  std::vector<uint8_t> Finish() override {
    Pad(8, false);
    std::vector<uint8_t> out(16);
    for (int i = 0; i < 4; ++i) StoreLe32(m_h[i], &out[4 * i]);
    return out;
  }

 private:
  void Block(const uint8_t* p) override {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = LoadLe32(p + 4 * i);
    uint32_t h[4] = {m_h[0], m_h[1], m_h[2], m_h[3]};
    static const int r1[4] = {3, 7, 11, 19}, r2[4] = {3, 5, 9, 13}, r3[4] = {3, 9, 11, 15};
    static const int o2[16] = {0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15};
    static const int o3[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
    for (int i = 0; i < 48; ++i) {
      uint32_t& a = h[(16 - i) & 3];
      uint32_t b = h[(17 - i) & 3], c = h[(18 - i) & 3], d = h[(19 - i) & 3];
      if (i < 16)
        a = Rol(a + ((b & c) | (~b & d)) + x[i], r1[i & 3]);
      else if (i < 32)
        a = Rol(a + ((b & c) | (b & d) | (c & d)) + x[o2[i - 16]] + 0x5a827999, r2[i & 3]);
      else
        a = Rol(a + (b ^ c ^ d) + x[o3[i - 32]] + 0x6ed9eba1, r3[i & 3]);
    }
    for (int i = 0; i < 4; ++i) m_h[i] += h[i];
  }
  uint32_t m_h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
};

class Sha1 : public BlockDigest<64> {
 public:
  std::vector<uint8_t> Finish() override {
    Pad(8, true);
    std::vector<uint8_t> out(20);
    for (int i = 0; i < 5; ++i) StoreBe32(m_h[i], &out[4 * i]);
    return out;
  }

 private:
  void Block(const uint8_t* p) override {
    uint32_t w[80];
    for (int i = 0; i < 16; ++i) w[i] = LoadBe32(p + 4 * i);
    for (int i = 16; i < 80; ++i) w[i] = Rol(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    uint32_t a = m_h[0], b = m_h[1], c = m_h[2], d = m_h[3], e = m_h[4];
    for (int i = 0; i < 80; ++i) {
      uint32_t f, k;
      if (i < 20) {
        f = d ^ (b & (c ^ d));
        k = 0x5a827999;
      } else if (i < 40) {
        f = b ^ c ^ d;
        k = 0x6ed9eba1;
      } else if (i < 60) {
        f = (b & c) | (d & (b | c));
        k = 0x8f1bbcdc;
      } else {
        f = b ^ c ^ d;
        k = 0xca62c1d6;
      }
      uint32_t t = Rol(a, 5) + f + e + k + w[i];
      e = d;
      d = c;
      c = Rol(b, 30);
      b = a;
      a = t;
    }
    m_h[0] += a;
    m_h[1] += b;
    m_h[2] += c;
    m_h[3] += d;
    m_h[4] += e;
  }
  uint32_t m_h[5] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476, 0xc3d2e1f0};
};

class Sha256 : public BlockDigest<64> {
 public:
  std::vector<uint8_t> Finish() override {
    Pad(8, true);
    std::vector<uint8_t> out(32);
    for (int i = 0; i < 8; ++i) StoreBe32(m_h[i], &out[4 * i]);
    return out;
  }

 private:
  void Block(const uint8_t* p) override {
    static const uint32_t K[64] = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
        0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
        0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
        0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
        0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
        0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
        0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
    uint32_t w[64];
    for (int i = 0; i < 16; ++i) w[i] = LoadBe32(p + 4 * i);
    for (int i = 16; i < 64; ++i) {
      uint32_t s0 = Ror(w[i - 15], 7) ^ Ror(w[i - 15], 18) ^ (w[i - 15] >> 3);
      uint32_t s1 = Ror(w[i - 2], 17) ^ Ror(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t v[8];
    memcpy(v, m_h, sizeof v);
    for (int i = 0; i < 64; ++i) {
      uint32_t s1 = Ror(v[4], 6) ^ Ror(v[4], 11) ^ Ror(v[4], 25);
      uint32_t ch = (v[4] & v[5]) ^ (~v[4] & v[6]);
      uint32_t t1 = v[7] + s1 + ch + K[i] + w[i];
      uint32_t s0 = Ror(v[0], 2) ^ Ror(v[0], 13) ^ Ror(v[0], 22);
      uint32_t maj = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
      memmove(v + 1, v, 7 * sizeof(uint32_t));
      v[4] += t1;
      v[0] = t1 + s0 + maj;
    }
    for (int i = 0; i < 8; ++i) m_h[i] += v[i];
  }
  uint32_t m_h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                     0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
};

class Sha512 : public BlockDigest<128> {
 public:
  explicit Sha512(bool is384) : m_length(is384 ? 48 : 64) {
    static const uint64_t h384[8] = {0xcbbb9d5dc1059ed8ULL, 0x629a292a367cd507ULL, 0x9159015a3070dd17ULL,
                                     0x152fecd8f70e5939ULL, 0x67332667ffc00b31ULL, 0x8eb44a8768581511ULL,
                                     0xdb0c2e0d64f98fa7ULL, 0x47b5481dbefa4fa4ULL};
    static const uint64_t h512[8] = {0x6a09e667f3bcc908ULL, 0xbb67ae8584caa73bULL, 0x3c6ef372fe94f82bULL,
                                     0xa54ff53a5f1d36f1ULL, 0x510e527fade682d1ULL, 0x9b05688c2b3e6c1fULL,
                                     0x1f83d9abfb41bd6bULL, 0x5be0cd19137e2179ULL};
    memcpy(m_h, is384 ? h384 : h512, sizeof m_h);
  }
  std::vector<uint8_t> Finish() override {
    Pad(16, true);
    std::vector<uint8_t> out(64);
    for (int i = 0; i < 8; ++i) StoreBe64(m_h[i], &out[8 * i]);
    out.resize(m_length);
    return out;
  }

 private:
  void Block(const uint8_t* p) override {
    static const uint64_t K[80] = {
        0x428a2f98d728ae22ULL, 0x7137449123ef65cdULL, 0xb5c0fbcfec4d3b2fULL, 0xe9b5dba58189dbbcULL,
        0x3956c25bf348b538ULL, 0x59f111f1b605d019ULL, 0x923f82a4af194f9bULL, 0xab1c5ed5da6d8118ULL,
        0xd807aa98a3030242ULL, 0x12835b0145706fbeULL, 0x243185be4ee4b28cULL, 0x550c7dc3d5ffb4e2ULL,
        0x72be5d74f27b896fULL, 0x80deb1fe3b1696b1ULL, 0x9bdc06a725c71235ULL, 0xc19bf174cf692694ULL,
        0xe49b69c19ef14ad2ULL, 0xefbe4786384f25e3ULL, 0x0fc19dc68b8cd5b5ULL, 0x240ca1cc77ac9c65ULL,
        0x2de92c6f592b0275ULL, 0x4a7484aa6ea6e483ULL, 0x5cb0a9dcbd41fbd4ULL, 0x76f988da831153b5ULL,
        0x983e5152ee66dfabULL, 0xa831c66d2db43210ULL, 0xb00327c898fb213fULL, 0xbf597fc7beef0ee4ULL,
        0xc6e00bf33da88fc2ULL, 0xd5a79147930aa725ULL, 0x06ca6351e003826fULL, 0x142929670a0e6e70ULL,
        0x27b70a8546d22ffcULL, 0x2e1b21385c26c926ULL, 0x4d2c6dfc5ac42aedULL, 0x53380d139d95b3dfULL,
        0x650a73548baf63deULL, 0x766a0abb3c77b2a8ULL, 0x81c2c92e47edaee6ULL, 0x92722c851482353bULL,
        0xa2bfe8a14cf10364ULL, 0xa81a664bbc423001ULL, 0xc24b8b70d0f89791ULL, 0xc76c51a30654be30ULL,
        0xd192e819d6ef5218ULL, 0xd69906245565a910ULL, 0xf40e35855771202aULL, 0x106aa07032bbd1b8ULL,
        0x19a4c116b8d2d0c8ULL, 0x1e376c085141ab53ULL, 0x2748774cdf8eeb99ULL, 0x34b0bcb5e19b48a8ULL,
        0x391c0cb3c5c95a63ULL, 0x4ed8aa4ae3418acbULL, 0x5b9cca4f7763e373ULL, 0x682e6ff3d6b2b8a3ULL,
        0x748f82ee5defb2fcULL, 0x78a5636f43172f60ULL, 0x84c87814a1f0ab72ULL, 0x8cc702081a6439ecULL,
        0x90befffa23631e28ULL, 0xa4506cebde82bde9ULL, 0xbef9a3f7b2c67915ULL, 0xc67178f2e372532bULL,
        0xca273eceea26619cULL, 0xd186b8c721c0c207ULL, 0xeada7dd6cde0eb1eULL, 0xf57d4f7fee6ed178ULL,
        0x06f067aa72176fbaULL, 0x0a637dc5a2c898a6ULL, 0x113f9804bef90daeULL, 0x1b710b35131c471bULL,
        0x28db77f523047d84ULL, 0x32caab7b40c72493ULL, 0x3c9ebe0a15c9bebcULL, 0x431d67c49c100d4cULL,
        0x4cc5d4becb3e42b6ULL, 0x597f299cfc657e2aULL, 0x5fcb6fab3ad6faecULL, 0x6c44198c4a475817ULL};
    uint64_t w[80];
    for (int i = 0; i < 16; ++i) w[i] = LoadBe64(p + 8 * i);
    for (int i = 16; i < 80; ++i) {
      uint64_t s0 = Ror64(w[i - 15], 1) ^ Ror64(w[i - 15], 8) ^ (w[i - 15] >> 7);
      uint64_t s1 = Ror64(w[i - 2], 19) ^ Ror64(w[i - 2], 61) ^ (w[i - 2] >> 6);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint64_t v[8];
    memcpy(v, m_h, sizeof v);
    for (int i = 0; i < 80; ++i) {
      uint64_t s1 = Ror64(v[4], 14) ^ Ror64(v[4], 18) ^ Ror64(v[4], 41);
      uint64_t ch = (v[4] & v[5]) ^ (~v[4] & v[6]);
      uint64_t t1 = v[7] + s1 + ch + K[i] + w[i];
      uint64_t s0 = Ror64(v[0], 28) ^ Ror64(v[0], 34) ^ Ror64(v[0], 39);
      uint64_t maj = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
      memmove(v + 1, v, 7 * sizeof(uint64_t));
      v[4] += t1;
      v[0] = t1 + s0 + maj;
    }
    for (int i = 0; i < 8; ++i) m_h[i] += v[i];
  }
  uint64_t m_h[8];
  size_t m_length;
};

class Md2 : public Digest {
 public:
  void Update(const uint8_t* data, size_t length) override {
    for (size_t i = 0; i < length; ++i) {
      m_buffer[m_used++] = data[i];
      if (m_used == 16) {
        Block();
        m_used = 0;
      }
    }
  }
  std::vector<uint8_t> Finish() override {
    uint8_t pad = uint8_t(16 - m_used);
    for (size_t i = m_used; i < 16; ++i) m_buffer[i] = pad;
    Block();
    memcpy(m_buffer, m_checksum, 16);
    Block();
    return std::vector<uint8_t>(m_state, m_state + 16);
  }

 private:
  void Block() {
    static const uint8_t S[256] = {
        41,  46,  67,  201, 162, 216, 124, 1,   61,  54,  84,  161, 236, 240, 6,   19,  98,  167, 5,   243,
        192, 199, 115, 140, 152, 147, 43,  217, 188, 76,  130, 202, 30,  155, 87,  60,  253, 212, 224, 22,
        103, 66,  111, 24,  138, 23,  229, 18,  190, 78,  196, 214, 218, 158, 222, 73,  160, 251, 245, 142,
        187, 47,  238, 122, 169, 104, 121, 145, 21,  178, 7,   63,  148, 194, 16,  137, 11,  34,  95,  33,
        128, 127, 93,  154, 90,  144, 50,  39,  53,  62,  204, 231, 191, 247, 151, 3,   255, 25,  48,  179,
        72,  165, 181, 209, 215, 94,  146, 42,  172, 86,  170, 198, 79,  184, 56,  210, 150, 164, 125, 182,
        118, 252, 107, 226, 156, 116, 4,   241, 69,  157, 112, 89,  100, 113, 135, 32,  134, 91,  207, 101,
        230, 45,  168, 2,   27,  96,  37,  173, 174, 176, 185, 246, 28,  70,  97,  105, 52,  64,  126, 15,
        85,  71,  163, 35,  221, 81,  175, 58,  195, 92,  249, 206, 186, 197, 234, 38,  44,  83,  13,  110,
        133, 40,  132, 9,   211, 223, 205, 244, 65,  129, 77,  82,  106, 220, 55,  200, 108, 193, 171, 250,
        36,  225, 123, 8,   12,  189, 177, 74,  120, 136, 149, 139, 227, 99,  232, 109, 233, 203, 213, 254,
        59,  0,   29,  57,  242, 239, 183, 14,  102, 88,  208, 228, 166, 119, 114, 248, 235, 117, 75,  10,
        49,  68,  80,  180, 143, 237, 31,  26,  219, 153, 141, 51,  159, 17,  131, 20};
    uint8_t x[48];
    memcpy(x, m_state, 16);
    memcpy(x + 16, m_buffer, 16);
    uint8_t last = m_checksum[15];
    for (int i = 0; i < 16; ++i) {
      x[32 + i] = m_state[i] ^ m_buffer[i];
      last = m_checksum[i] ^= S[m_buffer[i] ^ last];
    }
    uint8_t t = 0;
    for (int round = 0; round < 18; ++round) {
      for (int k = 0; k < 48; ++k) t = x[k] ^= S[t];
      t = uint8_t(t + round);
    }
    memcpy(m_state, x, 16);
  }
  uint8_t m_state[16] = {};
  uint8_t m_checksum[16] = {};
  uint8_t m_buffer[16] = {};
  size_t m_used = 0;
};

class Crc32 : public Digest {
 public:
  Crc32() {
    static const Table table;
    m_table = table.values;
  }
  void Update(const uint8_t* data, size_t length) override {
    for (size_t i = 0; i < length; ++i) m_crc = m_table[(m_crc ^ data[i]) & 0xff] ^ (m_crc >> 8);
  }
  std::vector<uint8_t> Finish() override {
    uint32_t crc = ~m_crc;
    std::vector<uint8_t> out(4);
    StoreBe32(crc, out.data());
    return out;
  }

 private:
  struct Table {
    Table() {
      for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320 ^ (c >> 1) : c >> 1;
        values[n] = c;
      }
    }
    uint32_t values[256];
  };
  const uint32_t* m_table;
  uint32_t m_crc = 0xffffffff;
};

}  // namespace

std::unique_ptr<Digest> MakeGostDigest();

std::unique_ptr<Digest> MakeDigest(int algorithm, int sha2Bits) {
  switch (algorithm) {
    case 1:
      return std::make_unique<Crc32>();
    case 2:
      return MakeGostDigest();
    case 3:
      return std::make_unique<Md2>();
    case 4:
      return std::make_unique<Md4>();
    case 5:
      return std::make_unique<Md5>();
    case 6:
      return std::make_unique<Sha1>();
    case 7:
      if (sha2Bits == 256) return std::make_unique<Sha256>();
      return std::make_unique<Sha512>(sha2Bits == 384);
  }
  return nullptr;
}

}  // namespace updater_hash
