#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
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

namespace {

constexpr char kTemporaryPrefix[] = "kvo";

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

bool WriteInPlace(WholeFile& file) {
  auto buffer = std::make_unique<std::filebuf>();
  if (!buffer->open(file.name, std::ios::out | std::ios::binary | std::ios::trunc)) return false;
  file.buffer = std::move(buffer);
  file.stream.rdbuf(file.buffer.get());
  return true;
}

// Creates an empty temporary file in the folder of the file's name and opens it, shared for
// removal, so that an interrupt can remove it while it is open.
bool CreateTemporaryFile(WholeFile& file) {
  const std::string folder = file.name.substr(0, file.name.rfind('\\') + 1);
  std::vector<char> temporary(MAX_PATH + 1);
  if (GetTempFileNameA(folder.c_str(), kTemporaryPrefix, 0, temporary.data()) == 0) return false;
  file.temporaryName = temporary.data();
  RemoveOnInterrupt(-1, file.temporaryName);
  const HANDLE handle =
      CreateFileA(file.temporaryName.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                  nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE || !WriteThrough(file, handle)) {
    ReleaseWholeFile(file);
    return false;
  }
  return true;
}

}  // namespace

bool OpenWholeFile(WholeFile& file, const std::string& name) {
  DiscardWholeFile(file);
  file.name = name;
  const DWORD attributes = GetFileAttributesA(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
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
    CloseHandle(existing);
    if (hardLinked || !onDisk) return WriteInPlace(file);
  }
  // A folder that takes no new file still lets an existing, writable file be written in place.
  return CreateTemporaryFile(file) || WriteInPlace(file);
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
