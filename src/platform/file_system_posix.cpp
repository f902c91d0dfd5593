#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
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
constexpr mode_t kNewFileMode = 0666;     // before the umask, as any newly created file
constexpr mode_t kStagedCopyMode = 0600;  // a staged copy is the run's alone, also in /tmp
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

// $TMPDIR, else /tmp.
std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

// Takes one step along the symbolic link `name` in `folder`: both become its target's folder and
// name, a relative target's folder opened from the link's own folder, so that no name longer
// than the real one is ever formed. False when the link cannot be read or the folder opened.
bool FollowLink(int& folder, std::string& name) {
  std::vector<char> text(kNameBufferSize);
  const ssize_t length = readlinkat(folder, name.c_str(), text.data(), text.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= text.size()) return false;
  const std::string target(text.data(), static_cast<std::size_t>(length));
  const std::size_t slash = target.rfind('/');
  if (slash != std::string::npos) {
    const int targetFolder =
        openat(folder, slash == 0 ? "/" : target.substr(0, slash).c_str(), kFolderOpenFlags);
    close(folder);
    folder = targetFolder;
    if (folder < 0) return false;
  }
  name = target.substr(slash + 1);
  return true;
}

// Opens the folder of the file `name` reaches through its symbolic links, as file.folder, and
// names the file in it, as file.name: for links that lead nowhere the missing name the last of
// them gives. False for a chain of links the system would not follow either.
bool ReachFile(WholeFile& file, const std::string& name) {
  file.folder = open(FolderOf(name).c_str(), kFolderOpenFlags);
  file.name = FileNameOf(name);
  for (int links = 0; file.folder >= 0 && links <= kLongestLinkChain; ++links) {
    struct stat status {};
    if (fstatat(file.folder, file.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISLNK(status.st_mode)) {
      return !file.name.empty();
    }
    if (!FollowLink(file.folder, file.name)) return false;
  }
  return false;
}

// Lets the file's stream write through `descriptor`, which it then owns.
bool WriteThrough(WholeFile& file, int descriptor) {
  if (StreamThrough(file, descriptor)) return true;
  close(descriptor);
  return false;
}

// Creates the temporary file once, in file.folder, exclusively and not through a link, with the
// permission bits `mode` less the umask. Its descriptor, open for reading and writing, or -1
// with errno set.
int CreateTemporaryFile(WholeFile& file, mode_t mode) {
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    std::string candidate =
        ".korvo-" + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".tmp";
    RemoveOnInterrupt(file.folder, candidate);
    const int descriptor = openat(file.folder, candidate.c_str(),
                                  O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (descriptor >= 0) {
      file.temporaryName = std::move(candidate);
      return descriptor;
    }
    if (errno != EEXIST) break;
  }
  const int error = errno;
  KeepOnInterrupt();
  errno = error;
  return -1;
}

// A replaced file's owner and group go to its successor where the run may set them: another
// owner only as root, the group also when the run belongs to it; otherwise they stay the run's.
// Whether the group, and with it as root the owner, was kept.
bool KeepOwnerAndGroup(int descriptor, const struct stat& old) {
  return fchown(descriptor, old.st_uid, old.st_gid) == 0 ||
         fchown(descriptor, static_cast<uid_t>(-1), old.st_gid) == 0;
}

// Opens the temporary file of a new file, or of one that replaces `old` by a rename and keeps
// its permission bits (set after the owner, whose change clears set-user-ID and set-group-ID).
// 0, or the error that refused its creation (EIO for a later step).
int OpenReplacement(WholeFile& file, const struct stat* old) {
  const mode_t mode = old != nullptr ? old->st_mode & kPermissionBits : kNewFileMode;
  const int descriptor = CreateTemporaryFile(file, mode);
  if (descriptor < 0) return errno;
  if (old != nullptr) {
    KeepOwnerAndGroup(descriptor, *old);
    if (fchmod(descriptor, mode) != 0) {
      close(descriptor);
      return EIO;
    }
  }
  return WriteThrough(file, descriptor) ? 0 : EIO;
}

// A file written in place is staged whole first: in a temporary file beside it when
// `besideFirst` and its folder takes one, else in the system's temporary folder. The file holds
// `existing` from here on, and FinishWholeFile copies the staged copy over it.
bool StageCopy(WholeFile& file, int existing, bool besideFirst) {
  file.oldFile = existing;
  int staged = besideFirst ? CreateTemporaryFile(file, kStagedCopyMode) : -1;
  if (staged < 0) {
    if (file.folder >= 0) close(file.folder);
    file.folder = open(TemporaryFolder().c_str(), kFolderOpenFlags);
    staged = file.folder >= 0 ? CreateTemporaryFile(file, kStagedCopyMode) : -1;
  }
  if (staged < 0) return false;
  file.stagedCopy = fcntl(staged, F_DUPFD_CLOEXEC, 0);
  if (file.stagedCopy >= 0) return WriteThrough(file, staged);
  close(staged);
  return false;
}

// Opens the file that ReachFile found.
bool OpenFileReached(WholeFile& file) {
  struct stat status {};
  if (fstatat(file.folder, file.name.c_str(), &status, 0) != 0) {
    return errno == ENOENT && OpenReplacement(file, nullptr) == 0;
  }
  if (S_ISDIR(status.st_mode)) return false;
  // Opened without emptying, so that a file that cannot be written is refused untouched.
  const int existing = openat(file.folder, file.name.c_str(), O_WRONLY | O_CLOEXEC);
  if (existing < 0) return false;
  if (!S_ISREG(status.st_mode)) return WriteThrough(file, existing);
  if (status.st_nlink > 1) return StageCopy(file, existing, true);
  const int error = OpenReplacement(file, &status);
  if (error == 0) {
    close(existing);
    return true;
  }
  // A folder whose permissions take no new file still lets an existing, writable file be written
  // in place. A full disk or a read-only file system does not: the old file stays as it is.
  if (error == EACCES || error == EPERM) return StageCopy(file, existing, false);
  close(existing);
  return false;
}

}  // namespace

bool OpenWholeFile(WholeFile& file, const std::string& name) {
  DiscardWholeFile(file);
  // A link stays and the file it reaches is replaced, or created when the link leads nowhere.
  if (ReachFile(file, name) && OpenFileReached(file)) return true;
  ReleaseWholeFile(file);
  return false;
}

bool MoveTemporaryFileInPlace(WholeFile& file) {
  if (renameat(file.folder, file.temporaryName.c_str(), file.folder, file.name.c_str()) != 0) {
    return false;
  }
  file.temporaryName.clear();
  return true;
}

std::int64_t SizeOfFile(int descriptor) {
  struct stat status {};
  return fstat(descriptor, &status) == 0 ? status.st_size : -1;
}

bool ResizeFile(int descriptor, std::int64_t size) {
  return ftruncate(descriptor, size) == 0;
}

std::int64_t ReadAt(int descriptor, char* bytes, std::size_t size, std::int64_t offset) {
  ssize_t got;
  do got = pread(descriptor, bytes, size, offset);
  while (got < 0 && errno == EINTR);
  return got;
}

std::int64_t WriteAt(int descriptor, const char* bytes, std::size_t size, std::int64_t offset) {
  ssize_t written;
  do written = pwrite(descriptor, bytes, size, offset);
  while (written < 0 && errno == EINTR);
  return written;
}

void ReleaseWholeFile(WholeFile& file) noexcept {
  if (!file.temporaryName.empty()) unlinkat(file.folder, file.temporaryName.c_str(), 0);
  file.temporaryName.clear();
  KeepOnInterrupt();
  for (int* descriptor : {&file.folder, &file.oldFile, &file.stagedCopy}) {
    if (*descriptor >= 0) close(*descriptor);
    *descriptor = -1;
  }
}

}  // namespace korvo
