// rand_s is declared only when this is defined before the C runtime's headers.
#define _CRT_RAND_S
#include <stdlib.h>
#include <windows.h>

#include <chrono>
#include <cstdint>

#include "platform/random_key.h"

namespace korvo {

namespace {

// Fills `half` from the system's random source; false when it fails.
bool RandomHalf(std::uint64_t& half) {
  unsigned int high = 0;
  unsigned int low = 0;
  if (rand_s(&high) != 0 || rand_s(&low) != 0) return false;
  half = (std::uint64_t{high} << 32) | low;
  return true;
}

}  // namespace

RandomKey MakeRandomKey() {
  RandomKey key{};
  if (RandomHalf(key[0]) && RandomHalf(key[1])) return key;
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  key[0] = static_cast<std::uint64_t>(ticks) ^ (std::uint64_t{GetCurrentProcessId()} << 40);
  key[1] = reinterpret_cast<std::uintptr_t>(&key) ^
           reinterpret_cast<std::uintptr_t>(&GetCurrentProcessId);
  return key;
}

}  // namespace korvo
