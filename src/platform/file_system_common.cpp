#include <algorithm>
#include <cstdio>
#include <ext/stdio_filebuf.h>

#include "platform/file_system.h"

namespace korvo {

std::string NativeName(std::string_view slashSeparatedName) {
  std::string name(slashSeparatedName);
  std::replace(name.begin(), name.end(), '/', kPathSeparator);
  return name;
}

UnbufferedFile OpenUnbuffered(const std::string& name) {
  UnbufferedFile file(std::fopen(name.c_str(), "wb"));
  if (file && std::setvbuf(file.get(), nullptr, _IONBF, 0) != 0) file.reset();
  return file;
}

bool WriteAll(std::FILE* file, std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
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
  const bool placed = written && (file.temporaryName.empty() || MoveTemporaryFileInPlace(file));
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
