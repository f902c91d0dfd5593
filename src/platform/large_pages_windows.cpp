#include "platform/large_pages.h"

namespace korvo {

// Large pages on Windows need a privilege that ordinary users lack; the hint is not given.
void AdviseLargePages(void* /*start*/, std::size_t /*size*/) {}

}  // namespace korvo
