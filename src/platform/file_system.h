#pragma once

#include <cstdint>
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

// A file that appears whole or not at all: it is written under a temporary name and put in place
// only once its last byte is written and it is closed, so a failed write leaves an existing file
// as it was.
// - Most files are put in place by a rename. The temporary file is created once beside the file
//   (on POSIX relative to its folder, which stays open, so that the temporary name is short
//   whatever the length of `name`) and written through that one descriptor or handle. A replaced
//   file keeps its permission bits, and on POSIX its owner and group where the run may set them.
// - A symbolic link at `name` stays, and the file it reaches is replaced, each relative target
//   taken from its own link's folder.
// - An existing file that a rename would wrongly replace (one with more than one hard link, or a
//   writable one in a folder whose permissions refuse a new file) is written in place, but only
//   once the new file is safe: it is staged whole in a temporary file, beside the old one when
//   its folder takes one, else in the system's temporary folder, then copied over the old one,
//   its bytes past the old end first, so that a full disk or a quota refuses them while the old
//   bytes are all there. Only an I/O error during that copy can cut the old file.
// - A device or a pipe is written directly.
// While a temporary file exists, a run ended by a signal (on Windows a console event or a crash)
// removes it first.
struct WholeFile {
  std::unique_ptr<std::filebuf> buffer;  // over the one descriptor or handle
  std::ostream stream{nullptr};          // writes into `buffer`
  std::string name;           // where the file goes, for a link the file it reaches; on POSIX its
                              // name within the folder it is in
  std::string temporaryName;  // empty when the file is written directly
  int folder = -1;      // POSIX: the folder of the temporary file; for a rename, of `name` too
  int oldFile = -1;     // a file written in place, which the staged copy goes over
  int stagedCopy = -1;  // the staged copy, open for reading

  WholeFile() = default;
  WholeFile(const WholeFile&) = delete;
  WholeFile& operator=(const WholeFile&) = delete;
  ~WholeFile();  // discards a file that was not finished
};

// Opens `name` for writing as a WholeFile. False, with nothing changed on disk, for a folder, for
// an existing file that cannot be opened for writing, and when no temporary file can be made
// (full disk, read-only file system) other than for the permissions of the folder.
bool OpenWholeFile(WholeFile& file, const std::string& name);

// Closes the file and puts it in place. False when a write, the close, the rename or the room
// for a copy in place failed; the temporary file is then removed and an existing file is left
// as it was (but for an I/O error while a staged copy goes over it).
bool FinishWholeFile(WholeFile& file);

// Closes the file and removes its temporary file, leaving an existing file as it was; a device
// or pipe keeps what was written. Allocates nothing.
void DiscardWholeFile(WholeFile& file) noexcept;

// The platform's side of the two above. MoveTemporaryFileInPlace renames the temporary file to
// the file's name. ReleaseWholeFile removes a temporary file that is still there and lets the
// folder and the descriptors go; from then on an interrupt removes nothing.
bool MoveTemporaryFileInPlace(WholeFile& file);
void ReleaseWholeFile(WholeFile& file) noexcept;

// The platform's side of copying a staged copy over the old file, on descriptors of the C
// runtime: a file's size (-1 when unknown), setting it, and one read or write of up to `size`
// bytes at `offset`, which gives the bytes it moved (0 at the end of the file) or -1.
std::int64_t SizeOfFile(int descriptor);
bool ResizeFile(int descriptor, std::int64_t size);
std::int64_t ReadAt(int descriptor, char* bytes, std::size_t size, std::int64_t offset);
std::int64_t WriteAt(int descriptor, const char* bytes, std::size_t size, std::int64_t offset);

// Lets the file's stream write through the C runtime's descriptor `descriptor`, which it then
// owns; false when it cannot, the descriptor then still the caller's.
bool StreamThrough(WholeFile& file, int descriptor);

}  // namespace korvo
