#pragma once

#include <cstdio>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace korvo {

// The one separator of file names on this platform: '/' on POSIX, '\' on Windows.
extern const char kPathSeparator;

// A built-in relative name written with '/' between its parts, in the platform's own form.
std::string NativeName(std::string_view slashSeparatedName);

// The process's current directory, or an empty text when it cannot be read.
std::string CurrentDirectory();

// Whether two absolute names name the same file: when their bytes are equal (on Windows
// ignoring ASCII case), or when both reach one existing file.
bool SameFileName(std::string_view first, std::string_view second);

// Opens a file for reading in binary mode; a name that is a directory counts as not opened.
bool OpenForReading(std::ifstream& stream, const std::string& name);

// Whether the name reaches, through its links, an existing plain file: not a folder, a device or
// a pipe, which opening to read could block on.
bool IsPlainFile(const std::string& name);

// Closes a file of OpenUnbuffered.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// A file written without a buffer of its own: each write reaches the system at once, so after a
// failed write nothing is held back that a later write or the close could still add.
using UnbufferedFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file for writing in binary mode, creating it or emptying it; null when it cannot be.
UnbufferedFile OpenUnbuffered(const std::string& name);

// Writes all of `bytes`; false when the file took fewer of them.
bool WriteAll(std::FILE* file, std::string_view bytes);

// A file that appears whole or not at all: it is written under a temporary name in the folder
// of `name` and renamed to `name` once its last byte is written and it is closed, so that a
// failed write leaves an existing file as it was. The temporary file is written through one
// descriptor (POSIX) or handle (Windows). On POSIX it is created once, with that descriptor,
// relative to its folder, which stays open, so that the temporary name is short whatever the
// length of `name`, and it is renamed and removed relative to that folder. While it exists, a
// run ended by an interrupt (SIGINT, SIGTERM, SIGHUP, SIGQUIT; on Windows Ctrl+C, Ctrl+Break,
// the console closing) removes it first. An existing file that a rename would wrongly replace
// (a device, a pipe, a file with more than one hard link), and a writable one in a folder whose
// permissions refuse a new file, is written in place instead.
struct WholeFile {
  std::unique_ptr<std::filebuf> buffer;  // over the one descriptor or handle
  std::ostream stream{nullptr};          // writes into `buffer`
  std::string name;           // where the file goes: for a symbolic link, the file it reaches
  std::string temporaryName;  // in the folder of `name`; empty when the file is written in place
  int folder = -1;            // POSIX: the descriptor of the folder of `name`

  WholeFile() = default;
  WholeFile(const WholeFile&) = delete;
  WholeFile& operator=(const WholeFile&) = delete;
  ~WholeFile();  // discards a file that was not finished
};

// Opens `name` for writing as a WholeFile. False, with nothing changed on disk, for a folder, for
// an existing file that cannot be opened for writing, and when no temporary file can be made
// (full disk, read-only file system) other than for the permissions of the folder.
bool OpenWholeFile(WholeFile& file, const std::string& name);

// Closes the file and puts it in place. False when a write, the close or the rename failed;
// the temporary file is then removed and an existing file is left as it was.
bool FinishWholeFile(WholeFile& file);

// Closes the file and removes its temporary file, leaving an existing file as it was; a file
// written in place keeps what was written. Allocates nothing.
void DiscardWholeFile(WholeFile& file) noexcept;

// The platform's side of the two above. MoveTemporaryFileInPlace renames the temporary file to
// the file's name. ReleaseWholeFile removes a temporary file that is still there and lets the
// folder go; from then on an interrupt removes nothing.
bool MoveTemporaryFileInPlace(WholeFile& file);
void ReleaseWholeFile(WholeFile& file) noexcept;

// Lets the file's stream write through the C runtime's descriptor `descriptor`, which it then
// owns; false when it cannot, the descriptor then still the caller's.
bool StreamThrough(WholeFile& file, int descriptor);

}  // namespace korvo
