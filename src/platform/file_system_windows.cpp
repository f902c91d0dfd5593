#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/absolute_path.h"
#include "platform/file_system.h"

namespace korvo {

const char kPathSeparator = '\\';

std::string CurrentDirectory() {
  const DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return {};
  std::vector<char> buffer(needed);
  const DWORD written = GetCurrentDirectoryA(needed, buffer.data());
  if (written == 0 || written >= needed) return {};
  return std::string(buffer.data(), written);
}

std::optional<std::string> AbsolutePath(std::string_view currentDirectory, std::string_view name,
                                        std::size_t capacity) {
  return AbsolutePathWindows(currentDirectory, name, capacity);
}

bool SameFileName(std::string_view first, std::string_view second) {
  const auto lower = [](char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  };
  return first.size() == second.size() &&
         std::equal(first.begin(), first.end(), second.begin(),
                    [&](char a, char b) { return lower(a) == lower(b); });
}

bool OpenForReading(std::ifstream& stream, const std::string& name) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  stream.open(name, std::ios::in | std::ios::binary);
  return stream.is_open();
}

}  // namespace korvo
