#include "platform/crlf_writer.h"

namespace korvo {

void WriteCrLf(std::ostream& out, std::string_view text) {
  for (std::size_t lineEnd; (lineEnd = text.find('\n')) != std::string_view::npos;) {
    out.write(text.data(), static_cast<std::streamsize>(lineEnd));
    out.write(kCrLf.data(), static_cast<std::streamsize>(kCrLf.size()));
    text.remove_prefix(lineEnd + 1);
  }
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void AppendCrLf(std::string& out, std::string_view text) {
  for (std::size_t lineEnd; (lineEnd = text.find('\n')) != std::string_view::npos;) {
    out.append(text.substr(0, lineEnd)).append(kCrLf);
    text.remove_prefix(lineEnd + 1);
  }
  out.append(text);
}

}  // namespace korvo
