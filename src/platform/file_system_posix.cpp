#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/absolute_path.h"
#include "platform/file_system.h"

namespace korvo {

const char kPathSeparator = '/';

std::string CurrentDirectory() {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() > (1u << 20)) return {};
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

std::optional<std::string> AbsolutePath(std::string_view currentDirectory, std::string_view name,
                                        std::size_t capacity) {
  return AbsolutePathPosix(currentDirectory, name, capacity);
}

bool SameFileName(std::string_view first, std::string_view second) { return first == second; }

bool OpenForReading(std::ifstream& stream, const std::string& name) {
  struct stat status {};
  if (stat(name.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return false;
  stream.open(name, std::ios::in | std::ios::binary);
  return stream.is_open();
}

}  // namespace korvo
