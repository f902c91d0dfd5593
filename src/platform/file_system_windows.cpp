#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/absolute_path.h"
#include "platform/file_system.h"
#include "platform/interrupt_cleanup.h"

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

AbsoluteName AbsolutePath(std::string_view currentDirectory, std::string_view name,
                          std::size_t capacity) {
  return AbsolutePathWindows(currentDirectory, name, capacity);
}

namespace {

bool EqualIgnoringAsciiCase(std::string_view first, std::string_view second) {
  const auto lower = [](char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  };
  return first.size() == second.size() &&
         std::equal(first.begin(), first.end(), second.begin(),
                    [&](char a, char b) { return lower(a) == lower(b); });
}

using FileIdentity = std::tuple<DWORD, DWORD, DWORD>;  // volume, index high, index low

// Which file an existing name reaches; nothing for a name that reaches none.
std::optional<FileIdentity> IdentityOf(std::string_view name) {
  const std::string terminated(name);
  const HANDLE file =
      CreateFileA(terminated.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION information{};
  const bool known = GetFileInformationByHandle(file, &information) != 0;
  CloseHandle(file);
  if (!known) return std::nullopt;
  return FileIdentity{information.dwVolumeSerialNumber, information.nFileIndexHigh,
                      information.nFileIndexLow};
}

}  // namespace

// Windows reaches one file by many names: letter case, trailing dots and blanks, '/' for '\',
// short names. So two names that differ are still the same file when both reach one file.
bool SameFileName(std::string_view first, std::string_view second) {
  if (EqualIgnoringAsciiCase(first, second)) return true;
  const std::optional<FileIdentity> firstFile = IdentityOf(first);
  return firstFile && firstFile == IdentityOf(second);
}

bool OpenForReading(std::ifstream& stream, const std::string& name) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  stream.open(name, std::ios::in | std::ios::binary);
  return stream.is_open();
}

bool IsPlainFile(const std::string& name) {
  const HANDLE file =
      CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION information{};
  const bool plain = GetFileType(file) == FILE_TYPE_DISK &&
                     GetFileInformationByHandle(file, &information) != 0 &&
                     (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  CloseHandle(file);
  return plain;
}

namespace {

// Tries this many temporary names before giving up.
constexpr int kTemporaryNameTries = 100;

// Lets the file's stream write through `handle`, which it then owns.
bool WriteThrough(WholeFile& file, HANDLE handle) {
  const int descriptor =
      _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_BINARY | _O_WRONLY);
  if (descriptor < 0) {
    CloseHandle(handle);
    return false;
  }
  if (StreamThrough(file, descriptor)) return true;
  _close(descriptor);
  return false;
}

// Writes an existing file in place through `handle`, a disk file emptied first (a device or a
// pipe takes no emptying); the stream then owns `handle`.
bool WriteInPlace(WholeFile& file, HANDLE handle, bool onDisk) {
  if (onDisk && !SetEndOfFile(handle)) {
    CloseHandle(handle);
    return false;
  }
  return WriteThrough(file, handle);
}

std::string TemporaryNameBeside(const std::string& name, int attempt) {
  return name.substr(0, name.rfind('\\') + 1) + ".korvo-" + std::to_string(GetCurrentProcessId()) +
         "-" + std::to_string(attempt) + ".tmp";
}

// Creates the temporary file once, beside the file, and opens it shared for removal, so that an
// interrupt can remove it while it is open. ERROR_SUCCESS when it is created, else the error that
// refused it.
DWORD CreateTemporaryFile(WholeFile& file) {
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    std::string candidate = TemporaryNameBeside(file.name, attempt);
    RemoveOnInterrupt(-1, candidate);
    const HANDLE handle =
        CreateFileA(candidate.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
    if (error != ERROR_SUCCESS) {
      ReleaseWholeFile(file);
      return error;
    }
    file.temporaryName = std::move(candidate);
    if (!WriteThrough(file, handle)) {
      ReleaseWholeFile(file);
      return ERROR_WRITE_FAULT;
    }
    return ERROR_SUCCESS;
  }
  ReleaseWholeFile(file);
  return ERROR_FILE_EXISTS;
}

}  // namespace

bool OpenWholeFile(WholeFile& file, const std::string& name) {
  DiscardWholeFile(file);
  file.name = name;
  const DWORD attributes = GetFileAttributesA(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return GetLastError() == ERROR_FILE_NOT_FOUND && CreateTemporaryFile(file) == ERROR_SUCCESS;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  // Opened without emptying, so that a file that cannot be written is refused untouched.
  const HANDLE existing = CreateFileA(name.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (existing == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION information{};
  const bool hardLinked =
      GetFileInformationByHandle(existing, &information) != 0 && information.nNumberOfLinks > 1;
  const bool onDisk = GetFileType(existing) == FILE_TYPE_DISK;
  if (hardLinked || !onDisk) return WriteInPlace(file, existing, onDisk);
  const DWORD error = CreateTemporaryFile(file);
  if (error == ERROR_SUCCESS) {
    CloseHandle(existing);
    return true;
  }
  // A folder whose permissions take no new file still lets an existing, writable file be written
  // in place. A full disk or a name too long for the system does not: emptying would lose it.
  if (error == ERROR_ACCESS_DENIED) return WriteInPlace(file, existing, true);
  CloseHandle(existing);
  return false;
}

bool MoveTemporaryFileInPlace(WholeFile& file) {
  if (!MoveFileExA(file.temporaryName.c_str(), file.name.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    return false;
  }
  file.temporaryName.clear();
  return true;
}

void ReleaseWholeFile(WholeFile& file) noexcept {
  if (!file.temporaryName.empty()) DeleteFileA(file.temporaryName.c_str());
  file.temporaryName.clear();
  KeepOnInterrupt();
}

}  // namespace korvo
