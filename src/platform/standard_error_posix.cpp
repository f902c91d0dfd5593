#include <unistd.h>

#include <cerrno>

#include "platform/crlf_writer.h"
#include "platform/standard_error.h"

namespace korvo {
namespace {

void WriteBytes(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(STDERR_FILENO, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

}  // namespace

void WriteToStandardError(std::string_view logText) {
  for (std::size_t lineEnd; (lineEnd = logText.find(kCrLf)) != std::string_view::npos;) {
    WriteBytes(logText.substr(0, lineEnd));
    WriteBytes("\n");
    logText.remove_prefix(lineEnd + kCrLf.size());
  }
  WriteBytes(logText);
}

}  // namespace korvo
