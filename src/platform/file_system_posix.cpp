#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/absolute_path.h"
#include "platform/file_system.h"

namespace korvo {

const bool kLooksForUtf8Names = true;
const char kPathSeparator = '/';

// PATH_MAX: the longest name the POSIX file calls take, terminating zero included.
extern const std::size_t kNameBufferSize = 4096;

std::string CurrentDirectory() {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() > (1u << 20)) return {};
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

AbsoluteName AbsolutePath(std::string_view currentDirectory, std::string_view name,
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

namespace {

// Tries this many temporary names before the file is written in place instead.
constexpr int kTemporaryNameTries = 100;
constexpr mode_t kNewFileMode = 0666;  // before the umask, as any newly created file
constexpr mode_t kPermissionBits = 07777;

// Creates an empty temporary file in the folder of `name` with the permission bits `mode`
// (`keepMode`: exactly those bits; otherwise the umask applies, as for a newly created file).
bool CreateTemporaryFile(WholeFile& file, mode_t mode, bool keepMode) {
  const std::string folder = file.name.substr(0, file.name.rfind('/') + 1);
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    std::string candidate =
        folder + ".korvo-" + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".tmp";
    const int descriptor = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (descriptor < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    const bool modeSet = !keepMode || fchmod(descriptor, mode) == 0;
    if (close(descriptor) != 0 || !modeSet || !OpenForWriting(file.stream, candidate)) {
      unlink(candidate.c_str());
      return false;
    }
    file.temporaryName = std::move(candidate);
    return true;
  }
  return false;
}

// The file a symbolic link reaches, or nothing when the link leads nowhere.
std::optional<std::string> LinkTarget(const std::string& name) {
  const std::unique_ptr<char, decltype(&std::free)> target(realpath(name.c_str(), nullptr),
                                                           &std::free);
  if (!target) return std::nullopt;
  return std::string(target.get());
}

}  // namespace

bool OpenWholeFile(WholeFile& file, const std::string& name) {
  file.name = name;
  file.temporaryName.clear();
  struct stat status {};
  if (lstat(name.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
    // The link stays and the file it reaches is replaced; a link that leads nowhere is written
    // through, which creates the file it names.
    std::optional<std::string> target = LinkTarget(name);
    if (!target) return OpenForWriting(file.stream, name);
    file.name = std::move(*target);
  }
  if (stat(file.name.c_str(), &status) != 0) {
    return CreateTemporaryFile(file, kNewFileMode, false) || OpenForWriting(file.stream, name);
  }
  if (S_ISDIR(status.st_mode)) return false;
  if (!S_ISREG(status.st_mode) || status.st_nlink > 1) return OpenForWriting(file.stream, name);
  // Opened without emptying, so that a file that cannot be written is refused untouched.
  const int existing = open(file.name.c_str(), O_WRONLY | O_CLOEXEC);
  if (existing < 0) return false;
  close(existing);
  // A folder that takes no new file still lets an existing, writable file be written in place.
  return CreateTemporaryFile(file, status.st_mode & kPermissionBits, true) ||
         OpenForWriting(file.stream, file.name);
}

bool MoveFileOver(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace korvo
