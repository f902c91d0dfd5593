#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/absolute_path.h"
#include "platform/file_system.h"
#include "platform/interrupt_cleanup.h"

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

bool IsPlainFile(const std::string& name) {
  struct stat status {};
  return stat(name.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

namespace {

// Tries this many temporary names before giving up.
constexpr int kTemporaryNameTries = 100;
constexpr mode_t kNewFileMode = 0666;  // before the umask, as any newly created file
constexpr mode_t kPermissionBits = 07777;
constexpr int kLongestLinkChain = 40;  // the links the system itself follows before ELOOP

// The folder is opened only to name files in it, which needs no permission to read it.
#ifdef O_PATH
constexpr int kFolderOpenFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kFolderOpenFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

std::string FolderOf(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : name.substr(0, slash);
}

std::string FileNameOf(const std::string& name) {
  return name.substr(name.rfind('/') + 1);
}

std::optional<std::string> ReadLink(const std::string& link) {
  std::vector<char> target(kNameBufferSize);
  const ssize_t length = readlink(link.c_str(), target.data(), target.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return std::nullopt;
  return std::string(target.data(), static_cast<std::size_t>(length));
}

// The file a name reaches through its symbolic links, or for links that lead nowhere the missing
// name the last of them gives (a relative one taken in that link's folder); nothing for a chain
// of links the system would not follow either.
std::optional<std::string> FileReached(const std::string& name) {
  std::string reached = name;
  for (int links = 0; links <= kLongestLinkChain; ++links) {
    struct stat status {};
    if (lstat(reached.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return reached;
    std::optional<std::string> target = ReadLink(reached);
    if (!target) return std::nullopt;
    reached = target->front() == '/' ? std::move(*target) : FolderOf(reached) + "/" + *target;
  }
  return std::nullopt;
}

// Lets the file's stream write through `descriptor`, which it then owns.
bool WriteThrough(WholeFile& file, int descriptor) {
  if (StreamThrough(file, descriptor)) return true;
  close(descriptor);
  return false;
}

// Writes an existing file in place, a regular one emptied first (a device or a pipe takes no
// emptying); the stream then owns `descriptor`.
bool WriteInPlace(WholeFile& file, int descriptor, bool regular) {
  if (regular && ftruncate(descriptor, 0) != 0) {
    close(descriptor);
    return false;
  }
  return WriteThrough(file, descriptor);
}

// Creates the temporary file once, in the folder, exclusively and not through a link, with the
// permission bits `mode` (`keepMode`: exactly those; otherwise the umask applies, as for any new
// file). 0 when it is created, else the error that refused it.
int CreateTemporaryFile(WholeFile& file, mode_t mode, bool keepMode) {
  file.folder = open(FolderOf(file.name).c_str(), kFolderOpenFlags);
  if (file.folder < 0) return errno;
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    std::string candidate =
        ".korvo-" + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".tmp";
    RemoveOnInterrupt(file.folder, candidate);
    const int descriptor = openat(file.folder, candidate.c_str(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    const int error = descriptor < 0 ? errno : 0;
    if (error == EEXIST) continue;
    if (error != 0) {
      ReleaseWholeFile(file);
      return error;
    }
    file.temporaryName = std::move(candidate);
    if (keepMode && fchmod(descriptor, mode) != 0) {
      const int modeError = errno;
      close(descriptor);
      ReleaseWholeFile(file);
      return modeError;
    }
    if (!WriteThrough(file, descriptor)) {
      ReleaseWholeFile(file);
      return EIO;
    }
    return 0;
  }
  ReleaseWholeFile(file);
  return EEXIST;
}

}  // namespace

bool OpenWholeFile(WholeFile& file, const std::string& name) {
  DiscardWholeFile(file);
  // A link stays and the file it reaches is replaced, or created when the link leads nowhere.
  std::optional<std::string> reached = FileReached(name);
  if (!reached) return false;
  file.name = std::move(*reached);
  struct stat status {};
  if (stat(file.name.c_str(), &status) != 0) {
    return errno == ENOENT && CreateTemporaryFile(file, kNewFileMode, false) == 0;
  }
  if (S_ISDIR(status.st_mode)) return false;
  // Opened without emptying, so that a file that cannot be written is refused untouched.
  const int existing = open(file.name.c_str(), O_WRONLY | O_CLOEXEC);
  if (existing < 0) return false;
  if (!S_ISREG(status.st_mode) || status.st_nlink > 1) {
    return WriteInPlace(file, existing, S_ISREG(status.st_mode));
  }
  const int error = CreateTemporaryFile(file, status.st_mode & kPermissionBits, true);
  if (error == 0) {
    close(existing);
    return true;
  }
  // A folder whose permissions take no new file still lets an existing, writable file be written
  // in place. A full disk or a read-only file system does not: emptying the file would lose it.
  if (error == EACCES || error == EPERM) return WriteInPlace(file, existing, true);
  close(existing);
  return false;
}

bool MoveTemporaryFileInPlace(WholeFile& file) {
  if (renameat(file.folder, file.temporaryName.c_str(), file.folder,
               FileNameOf(file.name).c_str()) != 0) {
    return false;
  }
  file.temporaryName.clear();
  return true;
}

void ReleaseWholeFile(WholeFile& file) noexcept {
  if (!file.temporaryName.empty()) unlinkat(file.folder, file.temporaryName.c_str(), 0);
  file.temporaryName.clear();
  KeepOnInterrupt();
  if (file.folder >= 0) close(file.folder);
  file.folder = -1;
}

}  // namespace korvo
