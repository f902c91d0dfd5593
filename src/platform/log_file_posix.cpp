#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/log_file.h"

namespace korvo {
namespace {

constexpr std::chrono::milliseconds kLockRetryPause{10};
constexpr mode_t kNewFileMode = 0666;  // before the umask, as any newly created file

void SetReason(std::string& reason, int error) {
  const char* text = std::strerror(error);
  reason.assign(text, std::min(std::strlen(text), reason.capacity()));
}

// An error that ends the opening: the descriptor, if any, is closed, and the reason kept.
LogFileRefusal Refuse(int descriptor, int error, std::string& reason) {
  if (descriptor >= 0) close(descriptor);
  SetReason(reason, error);
  return LogFileRefusal::systemError;
}

// False when another holder kept the lock for all of `longestWait`. A file system that takes no
// locks (any error but the lock being held) lets the run write as before.
bool LockAlone(int descriptor, std::chrono::milliseconds longestWait) {
  const auto deadline = std::chrono::steady_clock::now() + longestWait;
  while (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kLockRetryPause);
  }
  return true;
}

// 0 once a plain file is emptied (a device or a pipe takes no emptying), else the error.
int Empty(int descriptor) {
  struct stat status {};
  if (fstat(descriptor, &status) != 0) return errno;
  return S_ISREG(status.st_mode) && ftruncate(descriptor, 0) != 0 ? errno : 0;
}

}  // namespace

LogFileRefusal OpenLogFileAlone(UnbufferedFile& file, const std::string& name,
                                std::chrono::milliseconds longestWait, std::string& reason) {
  file.reset();
  const int descriptor =
      open(name.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, kNewFileMode);
  if (descriptor < 0 && errno == ELOOP) return LogFileRefusal::symbolicLink;
  if (descriptor < 0) return Refuse(-1, errno, reason);
  if (!LockAlone(descriptor, longestWait)) {
    close(descriptor);
    return LogFileRefusal::inUse;
  }
  if (const int error = Empty(descriptor)) return Refuse(descriptor, error, reason);
  file.reset(fdopen(descriptor, "wb"));  // "wb" empties nothing here
  if (!file) return Refuse(descriptor, errno, reason);
  if (std::setvbuf(file.get(), nullptr, _IONBF, 0) == 0) return LogFileRefusal::none;
  file.reset();
  return Refuse(-1, ENOMEM, reason);
}

bool WriteLogBytes(std::FILE* file, std::string_view bytes, std::string& reason) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size()) return true;
  SetReason(reason, errno);
  return false;
}

}  // namespace korvo
