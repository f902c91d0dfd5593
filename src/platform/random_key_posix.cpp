#include <sys/random.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>

#include "platform/random_key.h"

namespace korvo {

RandomKey MakeRandomKey() {
  RandomKey key{};
  // GRND_NONBLOCK: a run so early in boot that the pool is not ready takes the fallback instead
  // of waiting for it.
  if (getrandom(key.data(), sizeof key, GRND_NONBLOCK) == static_cast<ssize_t>(sizeof key)) {
    return key;
  }
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  key[0] = static_cast<std::uint64_t>(ticks) ^ (static_cast<std::uint64_t>(getpid()) << 40);
  key[1] = reinterpret_cast<std::uintptr_t>(&key) ^ reinterpret_cast<std::uintptr_t>(&getpid);
  return key;
}

}  // namespace korvo
