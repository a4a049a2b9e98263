#pragma once
// The digest algorithms behind CHashManager, each fed in pieces.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace updater_hash {

class Digest {
 public:
  virtual ~Digest() = default;
  virtual void Update(const uint8_t* data, size_t length) = 0;
  virtual std::vector<uint8_t> Finish() = 0;
};

// algorithm as CHashManager numbers them (1..7); null for an unknown one.
std::unique_ptr<Digest> MakeDigest(int algorithm, int sha2Bits);

}  // namespace updater_hash
