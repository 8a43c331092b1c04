// The content digest (see content_hash.h): xxHash compiled into this file.
#include "engine/content_hash.h"

#define XXH_INLINE_ALL
#include "xxhash.h"

namespace engine {

struct ContentHasher::State {
  XXH3_state_t xxh;
};

ContentHasher::ContentHasher() : state_(new State) { Reset(); }
ContentHasher::~ContentHasher() = default;

void ContentHasher::Reset() { XXH3_128bits_reset(&state_->xxh); }

void ContentHasher::Add(const char* data, size_t size) { XXH3_128bits_update(&state_->xxh, data, size); }

ContentDigest ContentHasher::Digest() const {
  const XXH128_hash_t hash = XXH3_128bits_digest(&state_->xxh);
  return ContentDigest{hash.low64, hash.high64};
}

}  // namespace engine
