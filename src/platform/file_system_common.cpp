#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ext/stdio_filebuf.h>
#include <vector>

#include "platform/file_system.h"
#include "platform/interrupt_cleanup.h"

namespace korvo {

std::string NativeName(std::string_view slashSeparatedName) {
  std::string name(slashSeparatedName);
  std::replace(name.begin(), name.end(), '/', kPathSeparator);
  return name;
}

namespace {

// Closes the file's descriptor or handle; true when every write and the close succeeded.
bool CloseStream(WholeFile& file) noexcept {
  if (!file.buffer) return false;
  file.stream.flush();
  const bool written = !file.stream.fail();
  const bool closed = file.buffer->close() != nullptr;
  file.stream.rdbuf(nullptr);
  file.buffer.reset();
  return written && closed;
}

constexpr std::size_t kCopyPiece = 1 << 16;

// Writes all of `size` bytes at `offset`.
bool WriteAllAt(int descriptor, const char* bytes, std::size_t size, std::int64_t offset) {
  while (size > 0) {
    const std::int64_t written = WriteAt(descriptor, bytes, size, offset);
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<std::size_t>(written);
    offset += written;
  }
  return true;
}

// Copies the staged bytes from `begin` to `end` to the same place in the old file.
bool CopyStagedBytes(const WholeFile& file, std::int64_t begin, std::int64_t end) {
  std::vector<char> piece(kCopyPiece);
  while (begin < end) {
    const auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(kCopyPiece, end - begin));
    const std::int64_t got = ReadAt(file.stagedCopy, piece.data(), wanted, begin);
    if (got <= 0 || !WriteAllAt(file.oldFile, piece.data(), static_cast<std::size_t>(got), begin)) {
      return false;
    }
    begin += got;
  }
  return true;
}

// The staged copy goes over the old file only once it is whole. Its bytes past the old end go
// first, so that a full disk or a quota refuses them while the old bytes are all there, and the
// old file then gets its size back. The staged copy was written under the run's file-size limit,
// so the copy stays within it. Interrupts wait for the copy, so that only an I/O error cuts it.
bool CopyOverOldFile(WholeFile& file) {
  const std::int64_t newSize = SizeOfFile(file.stagedCopy);
  const std::int64_t oldSize = SizeOfFile(file.oldFile);
  if (newSize < 0 || oldSize < 0) return false;
  HoldInterrupts();
  bool copied = newSize <= oldSize || CopyStagedBytes(file, oldSize, newSize);
  if (!copied) ResizeFile(file.oldFile, oldSize);
  copied = copied && CopyStagedBytes(file, 0, std::min(oldSize, newSize)) &&
           ResizeFile(file.oldFile, newSize);
  ResumeInterrupts();
  return copied;
}

// Puts a closed temporary file in place: over the old file when that is written in place, else
// by a rename. A file written directly is in place already.
bool PutInPlace(WholeFile& file) {
  if (file.temporaryName.empty()) return true;
  return file.oldFile >= 0 ? CopyOverOldFile(file) : MoveTemporaryFileInPlace(file);
}

}  // namespace

bool StreamThrough(WholeFile& file, int descriptor) {
  auto buffer = std::make_unique<__gnu_cxx::stdio_filebuf<char>>(descriptor,
                                                                 std::ios::out | std::ios::binary);
  if (!buffer->is_open()) return false;
  file.buffer = std::move(buffer);
  file.stream.rdbuf(file.buffer.get());
  return true;
}

bool FinishWholeFile(WholeFile& file) {
  const bool written = CloseStream(file);
  const bool placed = written && PutInPlace(file);
  ReleaseWholeFile(file);
  return placed;
}

void DiscardWholeFile(WholeFile& file) noexcept {
  CloseStream(file);
  ReleaseWholeFile(file);
}

WholeFile::~WholeFile() {
  DiscardWholeFile(*this);
}

}  // namespace korvo
