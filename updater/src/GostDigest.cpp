// GOST R 34.11-94 with the test parameter set: a 256-bit state, a 256-bit
// checksum of the message and its bit length, each 32-byte block mixed in by
// four GOST 28147-89 encryptions. Numbers are little endian throughout.
#include <cstring>

#include "Digests.h"

namespace updater_hash {
namespace {

struct GostTables {
  GostTables() {
    static const uint8_t sbox[8][16] = {{4, 10, 9, 2, 13, 8, 0, 14, 6, 11, 1, 12, 7, 15, 5, 3},
                                        {14, 11, 4, 12, 6, 13, 15, 10, 2, 3, 8, 1, 0, 7, 5, 9},
                                        {5, 8, 1, 13, 10, 3, 4, 2, 14, 15, 12, 7, 6, 0, 9, 11},
                                        {7, 13, 10, 1, 0, 8, 9, 15, 14, 4, 6, 12, 11, 2, 5, 3},
                                        {6, 12, 7, 1, 5, 15, 13, 8, 4, 10, 9, 14, 0, 3, 11, 2},
                                        {4, 11, 10, 0, 7, 2, 1, 13, 3, 6, 8, 5, 9, 12, 15, 14},
                                        {13, 11, 4, 1, 3, 15, 5, 9, 0, 10, 14, 7, 6, 8, 2, 12},
                                        {1, 15, 13, 0, 5, 7, 10, 4, 9, 2, 3, 14, 6, 11, 8, 12}};
    // One table per byte of the round input: both nibbles substituted, placed
    // and rotated left by 11 as the round function wants.
    for (int byte = 0; byte < 4; ++byte) {
      for (int v = 0; v < 256; ++v) {
        uint32_t x = uint32_t(sbox[2 * byte][v & 15]) << (8 * byte) | uint32_t(sbox[2 * byte + 1][v >> 4])
                                                                          << (8 * byte + 4);
        table[byte][v] = (x << 11) | (x >> 21);
      }
    }
  }
  uint32_t table[4][256];
};

const GostTables& Tables() {
  static const GostTables tables;
  return tables;
}

inline uint32_t Round(const GostTables& t, uint32_t x) {
  return t.table[0][x & 0xff] ^ t.table[1][(x >> 8) & 0xff] ^ t.table[2][(x >> 16) & 0xff] ^
         t.table[3][x >> 24];
}

void Encrypt(const uint32_t key[8], uint32_t& low, uint32_t& high) {
  const GostTables& t = Tables();
  uint32_t r = low, l = high;
  for (int pass = 0; pass < 4; ++pass) {
    for (int k = 0; k < 8; k += 2) {
      int k1 = pass < 3 ? k : 7 - k, k2 = pass < 3 ? k + 1 : 6 - k;
      l ^= Round(t, key[k1] + r);
      r ^= Round(t, key[k2] + l);
    }
  }
  low = l;
  high = r;
}

// A: y4|y3|y2|y1 -> (y1^y2)|y4|y3|y2, on 64-bit halves.
void TransformA(uint32_t u[8]) {
  uint32_t l = u[0] ^ u[2], r = u[1] ^ u[3];
  memmove(u, u + 2, 6 * sizeof(uint32_t));
  u[6] = l;
  u[7] = r;
}

// P: byte 4k+n of the key is byte 8n+k of w.
void TransformP(const uint32_t w[8], uint32_t key[8]) {
  uint8_t in[32], out[32];
  for (int i = 0; i < 8; ++i)
    for (int b = 0; b < 4; ++b) in[4 * i + b] = uint8_t(w[i] >> (8 * b));
  for (int k = 0; k < 8; ++k)
    for (int n = 0; n < 4; ++n) out[4 * k + n] = in[8 * n + k];
  for (int i = 0; i < 8; ++i)
    key[i] = uint32_t(out[4 * i]) | uint32_t(out[4 * i + 1]) << 8 | uint32_t(out[4 * i + 2]) << 16 |
             uint32_t(out[4 * i + 3]) << 24;
}

// psi on sixteen 16-bit words: the new top word is the sum of words 1,2,3,4,13,16.
void Psi(uint16_t x[16], int times) {
  for (int n = 0; n < times; ++n) {
    uint16_t top = x[0] ^ x[1] ^ x[2] ^ x[3] ^ x[12] ^ x[15];
    memmove(x, x + 1, 15 * sizeof(uint16_t));
    x[15] = top;
  }
}

void ToWords16(const uint32_t w[8], uint16_t x[16]) {
  for (int i = 0; i < 8; ++i) {
    x[2 * i] = uint16_t(w[i]);
    x[2 * i + 1] = uint16_t(w[i] >> 16);
  }
}

void Compress(uint32_t h[8], const uint32_t m[8]) {
  static const uint32_t c3[8] = {0xff00ff00, 0xff00ff00, 0x00ff00ff, 0x00ff00ff,
                                 0x00ffff00, 0xff0000ff, 0x000000ff, 0xff00ffff};
  uint32_t u[8], v[8], w[8], key[8], s[8];
  memcpy(u, h, sizeof u);
  memcpy(v, m, sizeof v);
  for (int i = 0; i < 8; i += 2) {
    if (i > 0) {
      TransformA(u);
      if (i == 4)
        for (int j = 0; j < 8; ++j) u[j] ^= c3[j];
      TransformA(v);
      TransformA(v);
    }
    for (int j = 0; j < 8; ++j) w[j] = u[j] ^ v[j];
    TransformP(w, key);
    s[i] = h[i];
    s[i + 1] = h[i + 1];
    Encrypt(key, s[i], s[i + 1]);
  }
  uint16_t x[16], mx[16], hx[16];
  ToWords16(s, x);
  ToWords16(m, mx);
  ToWords16(h, hx);
  Psi(x, 12);
  for (int j = 0; j < 16; ++j) x[j] ^= mx[j];
  Psi(x, 1);
  for (int j = 0; j < 16; ++j) x[j] ^= hx[j];
  Psi(x, 61);
  for (int i = 0; i < 8; ++i) h[i] = uint32_t(x[2 * i]) | uint32_t(x[2 * i + 1]) << 16;
}

void Add256(uint32_t sum[8], const uint32_t add[8]) {
  uint64_t carry = 0;
  for (int i = 0; i < 8; ++i) {
    carry += uint64_t(sum[i]) + add[i];
    sum[i] = uint32_t(carry);
    carry >>= 32;
  }
}

class Gost : public Digest {
 public:
  void Update(const uint8_t* data, size_t length) override {
    for (size_t i = 0; i < length; ++i) {
      m_buffer[m_used++] = data[i];
      if (m_used == 32) {
        Block(256);
        m_used = 0;
      }
    }
  }
  std::vector<uint8_t> Finish() override {
    if (m_used > 0) {
      memset(m_buffer + m_used, 0, 32 - m_used);
      Block(uint32_t(m_used * 8));
    }
    Compress(m_hash, m_length);
    Compress(m_hash, m_sum);
    std::vector<uint8_t> out(32);
    for (int i = 0; i < 8; ++i)
      for (int b = 0; b < 4; ++b) out[4 * i + b] = uint8_t(m_hash[i] >> (8 * b));
    return out;
  }

 private:
  void Block(uint32_t bits) {
    uint32_t m[8];
    for (int i = 0; i < 8; ++i)
      m[i] = uint32_t(m_buffer[4 * i]) | uint32_t(m_buffer[4 * i + 1]) << 8 |
             uint32_t(m_buffer[4 * i + 2]) << 16 | uint32_t(m_buffer[4 * i + 3]) << 24;
    Compress(m_hash, m);
    Add256(m_sum, m);
    uint32_t add[8] = {bits};
    Add256(m_length, add);
  }
  uint32_t m_hash[8] = {};
  uint32_t m_sum[8] = {};
  uint32_t m_length[8] = {};
  uint8_t m_buffer[32] = {};
  size_t m_used = 0;
};

}  // namespace

std::unique_ptr<Digest> MakeGostDigest() { return std::make_unique<Gost>(); }

}  // namespace updater_hash
