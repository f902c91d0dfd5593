#pragma once

#include <array>
#include <cstdint>

namespace korvo {

// 128 bits that differ from run to run, taken from the system's random source. Where that source
// fails, from the clock, the process id and the addresses the system chose for this run: less
// random, but still unknown before the run starts.
using RandomKey = std::array<std::uint64_t, 2>;
RandomKey MakeRandomKey();

}  // namespace korvo
