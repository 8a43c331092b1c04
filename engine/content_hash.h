// The digest of a file's content for the content check: XXH3's 128-bit hash
// (xxHash, header only), fed chunk by chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace engine {

struct ContentDigest {
  uint64_t low = 0, high = 0;
  bool operator==(const ContentDigest& o) const { return low == o.low && high == o.high; }
  bool operator!=(const ContentDigest& o) const { return !(*this == o); }
};

class ContentHasher {
 public:
  ContentHasher();
  ~ContentHasher();
  ContentHasher(const ContentHasher&) = delete;
  ContentHasher& operator=(const ContentHasher&) = delete;

  // Starts the digest of a new content.
  void Reset();
  void Add(const char* data, size_t size);
  // The digest of everything added since Reset.
  ContentDigest Digest() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace engine
