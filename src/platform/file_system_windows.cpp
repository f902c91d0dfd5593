#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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

// A C runtime descriptor over `handle`, which it then owns; -1, the handle closed, when none.
int DescriptorOf(HANDLE handle) {
  const int descriptor =
      _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_BINARY | _O_RDWR);
  if (descriptor < 0) CloseHandle(handle);
  return descriptor;
}

HANDLE HandleOf(int descriptor) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
}

// Lets the file's stream write through `handle`, which it then owns.
bool WriteThrough(WholeFile& file, HANDLE handle) {
  const int descriptor = DescriptorOf(handle);
  if (descriptor < 0) return false;
  if (StreamThrough(file, descriptor)) return true;
  _close(descriptor);
  return false;
}

// The folder of `name`, with its '\' at the end.
std::string FolderOf(const std::string& name) {
  return name.substr(0, name.rfind('\\') + 1);
}

// The system's temporary folder, with its '\' at the end; empty when there is none.
std::string TemporaryFolder() {
  std::vector<char> folder(kNameBufferSize);
  const DWORD length = GetTempPathA(static_cast<DWORD>(folder.size()), folder.data());
  return length == 0 || length >= folder.size() ? std::string()
                                                : std::string(folder.data(), length);
}

// Keeps a second descriptor of a staged copy, for reading it back.
bool KeepForReading(WholeFile& file, HANDLE handle) {
  HANDLE reading = INVALID_HANDLE_VALUE;
  if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &reading, 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    return false;
  }
  file.stagedCopy = DescriptorOf(reading);
  return file.stagedCopy >= 0;
}

// Creates the temporary file once, in `folder`, and opens it shared for removal, so that an
// interrupt can remove it while it is open; a staged copy also keeps a descriptor for reading.
// ERROR_SUCCESS when it is created, else the error that refused it.
DWORD CreateTemporaryFile(WholeFile& file, const std::string& folder, bool staged) {
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    std::string candidate = folder + ".korvo-" + std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(attempt) + ".tmp";
    RemoveOnInterrupt(-1, candidate);
    const HANDLE handle = CreateFileA(candidate.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
    if (error != ERROR_SUCCESS) {
      KeepOnInterrupt();
      return error;
    }
    file.temporaryName = std::move(candidate);
    if (staged && !KeepForReading(file, handle)) {
      CloseHandle(handle);
      return ERROR_WRITE_FAULT;
    }
    return WriteThrough(file, handle) ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
  }
  KeepOnInterrupt();
  return ERROR_FILE_EXISTS;
}

// A file written in place is staged whole first: in a temporary file beside it when
// `besideFirst` and its folder takes one, else in the system's temporary folder. The file holds
// `existing` from here on, and FinishWholeFile copies the staged copy over it.
bool StageCopy(WholeFile& file, HANDLE existing, bool besideFirst) {
  file.oldFile = DescriptorOf(existing);
  if (file.oldFile < 0) return false;
  if (besideFirst && CreateTemporaryFile(file, FolderOf(file.name), true) == ERROR_SUCCESS) {
    return true;
  }
  const std::string folder = TemporaryFolder();
  return file.temporaryName.empty() && !folder.empty() &&
         CreateTemporaryFile(file, folder, true) == ERROR_SUCCESS;
}

// The name of the file `handle` is open on, as the system reached it (through links, from each
// link's own folder); `name` when the system gives none.
std::string FinalName(HANDLE handle, const std::string& name) {
  std::vector<char> finalName(kNameBufferSize + 8);
  const DWORD length =
      GetFinalPathNameByHandleA(handle, finalName.data(), static_cast<DWORD>(finalName.size()), 0);
  if (length == 0 || length >= finalName.size()) return name;
  const std::string_view reached(finalName.data(), length);
  if (reached.starts_with("\\\\?\\UNC\\")) return "\\" + std::string(reached.substr(7));
  if (reached.starts_with("\\\\?\\")) return std::string(reached.substr(4));
  return std::string(reached);
}

// Opens the file at file.name; for a link, the file it reaches.
bool OpenNamedFile(WholeFile& file) {
  const DWORD attributes = GetFileAttributesA(file.name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return GetLastError() == ERROR_FILE_NOT_FOUND &&
           CreateTemporaryFile(file, FolderOf(file.name), false) == ERROR_SUCCESS;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  // Opened without emptying, so that a file that cannot be written is refused untouched.
  const HANDLE existing = CreateFileA(file.name.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (existing == INVALID_HANDLE_VALUE) return false;
  file.name = FinalName(existing, file.name);
  BY_HANDLE_FILE_INFORMATION information{};
  const bool hardLinked =
      GetFileInformationByHandle(existing, &information) != 0 && information.nNumberOfLinks > 1;
  if (GetFileType(existing) != FILE_TYPE_DISK) return WriteThrough(file, existing);
  if (hardLinked) return StageCopy(file, existing, true);
  const DWORD error = CreateTemporaryFile(file, FolderOf(file.name), false);
  if (error == ERROR_SUCCESS) {
    CloseHandle(existing);
    return true;
  }
  // A folder whose permissions take no new file still lets an existing, writable file be written
  // in place. A full disk or a name too long for the system does not: the old file stays.
  if (error == ERROR_ACCESS_DENIED) return StageCopy(file, existing, false);
  CloseHandle(existing);
  return false;
}

OVERLAPPED At(std::int64_t offset) {
  OVERLAPPED position{};
  position.Offset = static_cast<DWORD>(offset);
  position.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return position;
}

// At most this many bytes a call, which a DWORD holds.
DWORD Clamped(std::size_t size) {
  return static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
}

}  // namespace

bool OpenWholeFile(WholeFile& file, const std::string& name) {
  DiscardWholeFile(file);
  file.name = name;
  if (OpenNamedFile(file)) return true;
  ReleaseWholeFile(file);
  return false;
}

bool MoveTemporaryFileInPlace(WholeFile& file) {
  if (!MoveFileExA(file.temporaryName.c_str(), file.name.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    return false;
  }
  file.temporaryName.clear();
  return true;
}

std::int64_t SizeOfFile(int descriptor) {
  LARGE_INTEGER size{};
  return GetFileSizeEx(HandleOf(descriptor), &size) ? size.QuadPart : -1;
}

bool ResizeFile(int descriptor, std::int64_t size) {
  LARGE_INTEGER end{};
  end.QuadPart = size;
  const HANDLE file = HandleOf(descriptor);
  return SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

std::int64_t ReadAt(int descriptor, char* bytes, std::size_t size, std::int64_t offset) {
  OVERLAPPED position = At(offset);
  DWORD got = 0;
  if (ReadFile(HandleOf(descriptor), bytes, Clamped(size), &got, &position)) return got;
  return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
}

std::int64_t WriteAt(int descriptor, const char* bytes, std::size_t size, std::int64_t offset) {
  OVERLAPPED position = At(offset);
  DWORD written = 0;
  return WriteFile(HandleOf(descriptor), bytes, Clamped(size), &written, &position)
             ? std::int64_t{written}
             : -1;
}

void ReleaseWholeFile(WholeFile& file) noexcept {
  if (!file.temporaryName.empty()) DeleteFileA(file.temporaryName.c_str());
  file.temporaryName.clear();
  KeepOnInterrupt();
  for (int* descriptor : {&file.oldFile, &file.stagedCopy}) {
    if (*descriptor >= 0) _close(*descriptor);
    *descriptor = -1;
  }
}

}  // namespace korvo
