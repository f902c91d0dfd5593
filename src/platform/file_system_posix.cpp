#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/absolute_path.h"
#include "platform/file_system.h"

namespace korvo {

const bool kLooksForUtf8Names = true;
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

namespace {

bool SameFile(const struct stat& first, const struct stat& second) {
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

// Two names are one file when their bytes are equal, or when both reach one existing file (a
// symbolic or hard link).
bool SameFileName(std::string_view first, std::string_view second) {
  if (first == second) return true;
  struct stat firstStatus {};
  struct stat secondStatus {};
  return stat(std::string(first).c_str(), &firstStatus) == 0 &&
         stat(std::string(second).c_str(), &secondStatus) == 0 &&
         SameFile(firstStatus, secondStatus);
}

bool OpenForReading(std::ifstream& stream, const std::string& name) {
  struct stat status {};
  if (stat(name.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return false;
  stream.open(name, std::ios::in | std::ios::binary);
  return stream.is_open();
}

}  // namespace korvo
