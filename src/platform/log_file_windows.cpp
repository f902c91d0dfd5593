#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <thread>

#include "platform/log_file.h"

namespace korvo {
namespace {

constexpr std::chrono::milliseconds kLockRetryPause{10};
// The lock covers one byte far beyond the end of any log: a Windows lock keeps others from
// reading what it covers, and the log stays readable while a run holds it.
constexpr DWORD kLockOffsetLow = 0xFFFFFFFE;
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;
constexpr DWORD kMessageRoom = 512;

// The system's text for `error`: in English where the system has it, as the log's lines are,
// else in the system's own language. Its line ends become blanks, and it is cut to the capacity
// of `reason`.
void SetReason(std::string& reason, DWORD error) {
  char text[kMessageRoom];
  const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  DWORD size = FormatMessageA(flags, nullptr, error, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                              text, kMessageRoom, nullptr);
  if (size == 0) size = FormatMessageA(flags, nullptr, error, 0, text, kMessageRoom, nullptr);
  if (size == 0) {
    size = static_cast<DWORD>(std::snprintf(text, kMessageRoom, "system error %lu", error));
  }
  reason.clear();
  for (DWORD index = 0; index < size && reason.size() < reason.capacity(); ++index) {
    if (text[index] != '\r') reason += text[index] == '\n' ? ' ' : text[index];
  }
  while (!reason.empty() && reason.back() == ' ') reason.pop_back();
}

LogFileRefusal Refuse(HANDLE handle, DWORD error, std::string& reason) {
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  SetReason(reason, error);
  return LogFileRefusal::systemError;
}

// Shared with readers and with other runs, which then wait for the lock.
HANDLE OpenForLog(const std::string& name, DWORD flags) {
  return CreateFileA(name.c_str(), GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL | flags, nullptr);
}

enum class ReparseKind : std::uint8_t { none, link, other };

// A reparse point that stands for another name (a symbolic link, a junction) is a link; any
// other (a file that a cloud service or deduplication keeps) is the file itself.
ReparseKind ReparseKindOf(HANDLE handle) {
  FILE_ATTRIBUTE_TAG_INFO information{};
  if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &information,
                                    sizeof information) ||
      !(information.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return ReparseKind::none;
  }
  return IsReparseTagNameSurrogate(information.ReparseTag) ? ReparseKind::link : ReparseKind::other;
}

// False when another holder kept the lock for all of `longestWait`. A file system that takes no
// locks (any error but the lock being held) lets the run write as before.
bool LockAlone(HANDLE handle, std::chrono::milliseconds longestWait) {
  const auto deadline = std::chrono::steady_clock::now() + longestWait;
  for (;;) {
    OVERLAPPED place{};
    place.Offset = kLockOffsetLow;
    place.OffsetHigh = kLockOffsetHigh;
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &place)) {
      return true;
    }
    if (GetLastError() != ERROR_LOCK_VIOLATION) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kLockRetryPause);
  }
}

// The C runtime's file over `handle`, which it then owns; only its owning is used, as
// WriteLogBytes writes through the handle.
LogFileRefusal KeepAsFile(UnbufferedFile& file, HANDLE handle, std::string& reason) {
  const int descriptor =
      _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (descriptor < 0) return Refuse(handle, ERROR_NOT_ENOUGH_MEMORY, reason);
  file.reset(_fdopen(descriptor, "wb"));
  if (file && std::setvbuf(file.get(), nullptr, _IONBF, 0) == 0) return LogFileRefusal::none;
  if (!file) _close(descriptor);
  file.reset();
  return Refuse(INVALID_HANDLE_VALUE, ERROR_NOT_ENOUGH_MEMORY, reason);
}

}  // namespace

LogFileRefusal OpenLogFileAlone(UnbufferedFile& file, const std::string& name,
                                std::chrono::milliseconds longestWait, std::string& reason) {
  file.reset();
  HANDLE handle = OpenForLog(name, FILE_FLAG_OPEN_REPARSE_POINT);
  if (handle == INVALID_HANDLE_VALUE) return Refuse(handle, GetLastError(), reason);
  const ReparseKind kind = ReparseKindOf(handle);
  if (kind == ReparseKind::link) {
    CloseHandle(handle);
    return LogFileRefusal::symbolicLink;
  }
  if (kind == ReparseKind::other) {
    CloseHandle(handle);
    handle = OpenForLog(name, 0);
    if (handle == INVALID_HANDLE_VALUE) return Refuse(handle, GetLastError(), reason);
  }
  if (!LockAlone(handle, longestWait)) {
    CloseHandle(handle);
    return LogFileRefusal::inUse;
  }
  if (GetFileType(handle) == FILE_TYPE_DISK && !SetEndOfFile(handle)) {
    return Refuse(handle, GetLastError(), reason);
  }
  return KeepAsFile(file, handle, reason);
}

bool WriteLogBytes(std::FILE* file, std::string_view bytes, std::string& reason) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  while (!bytes.empty()) {
    const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data(), size, &written, nullptr)) {
      SetReason(reason, GetLastError());
      return false;
    }
    if (written == 0) {
      SetReason(reason, ERROR_DISK_FULL);
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace korvo
