#include <windows.h>

#include <algorithm>

#include "platform/standard_error.h"

namespace korvo {

// CR LF is already the line end of a Windows console and of a file standard error goes to.
void WriteToStandardError(std::string_view logText) {
  const HANDLE standardError = GetStdHandle(STD_ERROR_HANDLE);
  if (standardError == nullptr || standardError == INVALID_HANDLE_VALUE) return;
  while (!logText.empty()) {
    const auto size = static_cast<DWORD>(std::min<std::size_t>(logText.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(standardError, logText.data(), size, &written, nullptr) || written == 0) return;
    logText.remove_prefix(written);
  }
}

}  // namespace korvo
