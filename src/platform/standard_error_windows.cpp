#include "platform/standard_error_windows.h"

#include <windows.h>

#include <algorithm>
#include <climits>

#include "platform/crlf_writer.h"
#include "platform/standard_error.h"

namespace korvo {
namespace {

// The UTF-16 units converted at a time: a line is written in pieces, without allocating.
constexpr std::size_t kConsoleTextRoom = 1024;

bool IsContinuationByte(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

void WriteBytes(HANDLE standardError, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(standardError, bytes.data(), size, &written, nullptr) || written == 0) return;
    bytes.remove_prefix(written);
  }
}

void WriteConsoleText(HANDLE console, std::string_view line) {
  wchar_t utf16[kConsoleTextRoom];
  while (!line.empty()) {
    std::size_t used = 0;
    const std::size_t units = ConvertToConsoleText(line, utf16, used);
    if (units == 0) return;
    for (std::size_t done = 0; done < units;) {
      DWORD written = 0;
      if (!WriteConsoleW(console, utf16 + done, static_cast<DWORD>(units - done), &written,
                         nullptr) ||
          written == 0) {
        return;
      }
      done += written;
    }
    line.remove_prefix(used);
  }
}

void WriteLine(HANDLE standardError, bool toConsole, std::string_view line) {
  if (WritesAsConsoleText(toConsole, line)) {
    WriteConsoleText(standardError, line);
  } else {
    WriteBytes(standardError, line);
  }
}

}  // namespace

bool WritesAsConsoleText(bool toConsole, std::string_view line) {
  if (!toConsole || line.empty() || line.size() > INT_MAX) return false;
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, line.data(),
                             static_cast<int>(line.size()), nullptr, 0) > 0;
}

std::size_t ConvertToConsoleText(std::string_view utf8, std::span<wchar_t> utf16,
                                 std::size_t& used) {
  // Each byte gives at most one unit (four bytes give two), so as many bytes as units fit, cut
  // back to the start of a character.
  std::size_t size = std::min(utf8.size(), utf16.size());
  while (size < utf8.size() && size > 0 && IsContinuationByte(utf8[size])) --size;
  used = size;
  if (size == 0) return 0;
  return static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(),
                                                      static_cast<int>(size), utf16.data(),
                                                      static_cast<int>(utf16.size())));
}

// CR LF is already the line end of a Windows console and of a file standard error goes to. Each
// line, and a text without a line end, is written in the form its bytes allow.
void WriteToStandardError(std::string_view logText) {
  const HANDLE standardError = GetStdHandle(STD_ERROR_HANDLE);
  if (standardError == nullptr || standardError == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0;
  const bool toConsole = GetConsoleMode(standardError, &mode) != 0;
  while (!logText.empty()) {
    const std::size_t lineEnd = logText.find(kCrLf);
    const std::size_t lineSize =
        lineEnd == std::string_view::npos ? logText.size() : lineEnd + kCrLf.size();
    WriteLine(standardError, toConsole, logText.substr(0, lineSize));
    logText.remove_prefix(lineSize);
  }
}

}  // namespace korvo
